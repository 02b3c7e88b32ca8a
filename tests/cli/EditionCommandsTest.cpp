// zendra-icd10-cli editions, diff, --edition and validate by date of service, as a new user runs
// them: the unchanged 2021 files and the synthetic FY2022 release imported into a fresh data folder.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/admin/RunProgram.h"
#include "tests/common/SyntheticEdition.h"

namespace {

using testing_support::Quoted;
using testing_support::RunCommand;
using testing_support::TTempFolder;

class EditionCommands : public testing::Test {
protected:
    static void SetUpTestSuite() {
        home = new TTempFolder;
        WriteReleaseZip(home->File("icd10cm-2022.zip"), Synthetic2022Files(testing_support::SourceDir() / "data"));
    }
    static void TearDownTestSuite() {
        delete home;
        home = nullptr;
    }
    // The command line with the data folders inside the private folder.
    static testing_support::TRunResult Run(const std::string& arguments, bool withErrors = true) {
        const std::string folder = Quoted(home->Path().string());
        return RunCommand("AppData=" + folder + " ProgramData=" + folder + " " +
                              Quoted((testing_support::BinaryDir() / "cli" / "zendra-icd10-cli").string()) + " " +
                              arguments,
                          withErrors);
    }
    static TTempFolder* home;
};

TTempFolder* EditionCommands::home = nullptr;

}  // namespace

TEST_F(EditionCommands, ImportListSwitchDiffAndValidateByDate) {
    auto run = Run("editions import " + Quoted((testing_support::SourceDir() / "data").string()));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("[1/6] Reading the release files"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("installed edition 2021"), std::string::npos) << run.output;
    run = Run("editions import " + Quoted(home->File("icd10cm-2022.zip")));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    run = Run("editions import " + Quoted(home->File("icd10cm-2022.zip")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("add --replace"), std::string::npos) << run.output;

    run = Run("editions list", false);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("2021\tFY2021 (effective 2020-10-01, addenda"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("2022\tFY2022 (effective 2021-10-01)\t"), std::string::npos) << run.output;

    // The same code in the two editions.
    run = Run("--edition 2021 code A00.1", false);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Run("code --edition 2022 A00.1").exitCode, 1);
    EXPECT_EQ(Run("--edition 2022 code U10.12XS").exitCode, 1);
    EXPECT_EQ(Run("--edition 2019 code A00").exitCode, 2);
    run = Run("--edition 2022 search quorvalitis", false);
    EXPECT_NE(run.output.find("U10"), std::string::npos) << run.output;

    run = Run("diff 2021 2022", false);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("category-added\tU10\t\tQuorvalitis\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("deleted\tR05\tCough\t\n"), std::string::npos) << run.output;
    EXPECT_EQ(Run("diff 2021 2021", false).output, "");

    // Validation by date of service: one date, then a date per row.
    const std::string codes = home->File("codes.txt");
    std::ofstream(codes) << "A00.1\nU10.9\n";
    run = Run("validate --date 2021-06-30 " + Quoted(codes), false);
    EXPECT_EQ(run.output,
              "A00.1\tA00.1\treportable\tCholera due to Vibrio cholerae 01, biovar eltor\n"
              "U10.9\tU10.9\tnot-in-edition\t\n");
    run = Run("validate --date 2021-10-01 " + Quoted(codes), false);
    EXPECT_NE(run.output.find("U10.9\tU10.9\treportable"), std::string::npos) << run.output;
    run = Run("validate --date 2019-05-01 " + Quoted(codes));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("no installed edition covers 2019-05-01; installed: 2021"), std::string::npos)
        << run.output;

    const std::string claims = home->File("claims.csv");
    std::ofstream(claims) << "Claim,Service date,Code\n1,2021-06-30,A00.1\n2,10/15/2021,A00.1\n3,2021-11-02,U10.9\n"
                             "4,2018-01-01,A00.1\n";
    run = Run("validate --column Code --date-column \"Service date\" " + Quoted(claims), false);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("A00.1\tA00.1\treportable"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("A00.1\tA00.1\tnot-in-edition"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("U10.9\tU10.9\treportable"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("A00.1\t\tno-edition\tno installed edition covers 2018-01-01"), std::string::npos)
        << run.output;

    // The imported 2021 goes; the embedded one stays and cannot go.
    EXPECT_EQ(Run("editions remove 2021").exitCode, 0);
    run = Run("editions remove 2021");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("embedded edition 2021 cannot be removed"), std::string::npos) << run.output;
    EXPECT_EQ(Run("--edition 2021 code A00.1").exitCode, 0);
}

// Without --edition the command line reads the edition chosen in the desktop program, kept in the
// user's settings file; a choice no longer installed falls back to the embedded edition, said.
TEST_F(EditionCommands, WithoutEditionReadsTheDesktopsChoice) {
    Run("editions import " + Quoted(home->File("icd10cm-2022.zip")));  // installed, or already there
    const auto writeChoice = [](const std::string& AId) {
        std::ofstream(home->File("Zendra ICD10 2021/config.ini"), std::ios::binary)
            << "[Config]\r\nFullScreen=0\r\nEdition=" << AId << "\r\n";
    };
    writeChoice("2022");
    EXPECT_EQ(Run("code U10.11").exitCode, 0);
    EXPECT_EQ(Run("code A00.1").exitCode, 1);
    EXPECT_EQ(Run("--edition 2021 code U10.11").exitCode, 1);
    // A kept choice is no command-line choice: a date of service still picks its own edition.
    const std::string codes = home->File("chosen.txt");
    std::ofstream(codes) << "U10.9\n";
    EXPECT_EQ(Run("validate --date 2021-06-30 " + Quoted(codes), false).output, "U10.9\tU10.9\tnot-in-edition\t\n");
    writeChoice("2030");
    const auto run = Run("code A00.1");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("2030 chosen before is no longer installed"), std::string::npos) << run.output;
}
