// The zendra-datatool commands as the build and the maintainers run them.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "admin/DataPipeline.h"
#include "services/Resources.h"
#include "tests/admin/RunProgram.h"

namespace {

using testing_support::Quoted;
using testing_support::RunCommand;
using testing_support::TTempFolder;

std::string DataTool() {
    return Quoted((testing_support::BinaryDir() / "tools" / "zendra-datatool").string());
}

std::string ReadAll(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& fileName, const std::string& text) {
    std::ofstream(fileName, std::ios::binary) << text;
}

}  // namespace

TEST(DataTool, RegenerateReproducesEveryCommittedDerivedFile) {
    TTempFolder folder;
    const auto data = testing_support::SourceDir() / "data";
    const auto run =
        RunCommand(DataTool() + " regenerate " + Quoted(data.string()) + " " + Quoted(folder.Path()), true);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const auto& name : DerivedDataFileNames()) {
        const std::string regenerated = ReadAll(folder.File(name));
        EXPECT_FALSE(regenerated.empty()) << name;
        // Compared as whole texts; the size check first keeps a failure message short.
        const std::string committed = ReadAll((data / name).string());
        ASSERT_EQ(committed.size(), regenerated.size())
            << name << " differs from what `zendra-datatool regenerate data` writes";
        EXPECT_TRUE(committed == regenerated) << name << " differs from what `zendra-datatool regenerate data` writes";
    }
}

TEST(DataTool, FailuresExitNonZeroWithAMessage) {
    TTempFolder folder;
    auto run = RunCommand(
        DataTool() + " regenerate " + Quoted(folder.File("no-such-data")) + " " + Quoted(folder.Path()), true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no-such-data"), std::string::npos) << run.output;

    // Crosswise omissions: "D" missing for X01.12 and X01.21 only; no position:character rule set fits.
    const std::string tabular =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<ICD10CM.tabular><chapter><desc>C (X00-X99)</desc>"
        "<section><desc>S (X00-X99)</desc><diag><name>X01</name><desc>Injury</desc>"
        "<sevenChrDef><extension char=\"A\">initial</extension><extension char=\"D\">later</extension></sevenChrDef>"
        "<diag><name>X01.1</name><desc>1</desc>"
        "<diag><name>X01.11</name><desc>a</desc></diag><diag><name>X01.12</name><desc>b</desc></diag></diag>"
        "<diag><name>X01.2</name><desc>2</desc>"
        "<diag><name>X01.21</name><desc>c</desc></diag><diag><name>X01.22</name><desc>d</desc></diag></diag>"
        "</diag></section></chapter></ICD10CM.tabular>\r\n";
    std::string order;
    for (const char* code : {"X0111XA", "X0111XD", "X0112XA", "X0121XA", "X0122XA", "X0122XD"}) {
        order += "00001 " + std::string(code) + " 1 short\r\n";
    }
    WriteAll(folder.File("tabular.xml"), tabular);
    WriteAll(folder.File("order.txt"), order);
    run = RunCommand(DataTool() + " tabular " + Quoted(folder.File("tabular.xml")) + " " +
                         Quoted(folder.File("order.txt")) + " " + Quoted(folder.File("out.xml")),
                     true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no position:character rule"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.xml")));

    // With "D" also listed for X01.12 and X01.21 the same files go through unchanged.
    WriteAll(folder.File("order.txt"), order + "00001 X0112XD 1 s\r\n00001 X0121XD 1 s\r\n");
    run = RunCommand(DataTool() + " tabular " + Quoted(folder.File("tabular.xml")) + " " +
                         Quoted(folder.File("order.txt")) + " " + Quoted(folder.File("out.xml")),
                     true);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadAll(folder.File("out.xml")), tabular);

    run = RunCommand(DataTool() + " frobnicate", true);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("usage"), std::string::npos);
}

TEST(DataTool, PackWritesOneZlibStreamAtTheHighestLevel) {
    TTempFolder folder;
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "A00.0     Cholera due to Vibrio cholerae 01, biovar cholerae\r\n";
    WriteAll(folder.File("plain.txt"), text);
    const auto run = RunCommand(
        DataTool() + " pack " + Quoted(folder.File("plain.txt")) + " " + Quoted(folder.File("plain.dzip")), true);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string packed = ReadAll(folder.File("plain.dzip"));
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x78);
    EXPECT_EQ(static_cast<unsigned char>(packed[1]), 0xDA);
    EXPECT_LT(packed.size(), text.size() / 20);
    const TResourceBytes bytes{reinterpret_cast<const unsigned char*>(packed.data()), packed.size()};
    EXPECT_EQ(InflateAll(bytes), text);
}
