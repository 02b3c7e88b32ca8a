// zendra-icd10-cli validate and --version, run as a user would run them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "admin/DataPipeline.h"
#include "admin/OrderFile.h"
#include "tests/admin/RunProgram.h"

namespace {

using testing_support::Quoted;
using testing_support::RunCommand;

std::string Cli() {
    return Quoted((testing_support::BinaryDir() / "cli" / "zendra-icd10-cli").string());
}

// Writes a text to a file of its own in the temporary folder and returns its name.
std::string TextFile(const std::string& name, const std::string& text) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("zendra-validate-" + std::to_string(getpid()) + "-" + name))
            .string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::vector<std::vector<std::string>> Rows(const std::string& output) {
    std::vector<std::vector<std::string>> rows;
    ForEachLine(output, [&](std::string_view line) {
        std::vector<std::string> fields(1);
        for (char c : line) {
            if (c == '\t')
                fields.emplace_back();
            else
                fields.back() += c;
        }
        rows.push_back(fields);
    });
    return rows;
}

}  // namespace

TEST(ValidateCommand, ThePublishedOrderFileCodesAsTheFileWritesThem) {
    std::string codes;
    ForEachLine(ReadDataFile((testing_support::SourceDir() / "data" / "icd10cm_order_2021.txt.gz").string()),
                [&](std::string_view line) {
                    if (line.size() >= 13) codes += std::string(TrimBlanks(line.substr(6, 7))) + "\n";
                });
    const std::string file = TextFile("order.txt", codes);
    const auto run = RunCommand(Cli() + " validate " + Quoted(file));
    std::filesystem::remove(file);
    EXPECT_EQ(run.exitCode, 1);
    std::map<std::string, int> verdicts;
    const auto rows = Rows(run.output);
    ASSERT_EQ(rows.size(), 95358u);
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 4u);
        ASSERT_EQ(DottedCode(row[0]), row[1]);
        ++verdicts[row[2]];
    }
    EXPECT_EQ(verdicts, (std::map<std::string, int>{{"reportable", 72621}, {"not-reportable", 22737}}));
}

TEST(ValidateCommand, ReportsEveryBadLineAndGoesOn) {
    const std::string longLine(10000, 'A');
    const std::string file = TextFile("bad.txt", "\nS52.5\nhello\nS06.1X7D\n" + longLine +
                                                     "\n\xFF\xFE"
                                                     "A00\r\na000\n");
    const auto run = RunCommand(Cli() + " validate < " + Quoted(file));
    std::filesystem::remove(file);
    EXPECT_EQ(run.exitCode, 1);
    const auto rows = Rows(run.output);
    ASSERT_EQ(rows.size(), 7u) << run.output.substr(0, 500);
    const std::vector<std::vector<std::string>> expected{
        {"", "", "not-a-code", ""},
        {"S52.5", "S52.5", "not-reportable", "Fracture of lower end of radius"},
        {"hello", "", "not-a-code", ""},
        {"S06.1X7D", "S06.1X7D", "seventh-not-allowed",
         "S06.1X7  Traumatic cerebral edema with loss of consciousness of any duration with death due to brain "
         "injury prior to regaining consciousness"},
        {longLine, "", "not-a-code", ""},
        {"\xEF\xBF\xBD\xEF\xBF\xBD"
         "A00",
         "", "not-a-code", ""},  // invalid bytes echoed as U+FFFD
        {"a000", "A00.0", "reportable", "Cholera due to Vibrio cholerae 01, biovar cholerae"},
    };
    EXPECT_EQ(rows, expected);
}

TEST(ValidateCommand, CsvColumnByHeaderName) {
    const std::string csv =
        "claim,\"Diagnosis Code\",note\r\n"
        "1,s52521a,\"torus, right\"\r\n"
        "2,\"H54.512A\",\"two\nlines\"\r\n"
        "3,Z20822,\r\n";
    const std::string file = TextFile("claims.csv", csv);
    auto run = RunCommand(Cli() + " validate --column 'diagnosis code' " + Quoted(file));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const auto rows = Rows(run.output);
    ASSERT_EQ(rows.size(), 3u) << run.output;
    EXPECT_EQ(rows[0][1], "S52.521A");
    EXPECT_EQ(rows[1][1], "H54.512A");
    EXPECT_EQ(rows[2][1], "Z20.822");

    run = RunCommand(Cli() + " validate --column Code " + Quoted(file), true);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("no column \"Code\""), std::string::npos) << run.output;
    std::filesystem::remove(file);
    EXPECT_EQ(RunCommand(Cli() + " validate /nonexistent/codes.txt").exitCode, 2);
}

TEST(ValidateCommand, ChecksEveryRecordOrStopsWithTheReasonNeverAbortingOnHostileInput) {
    const std::string longLine(70000, 'A');
    const struct {
        std::string arguments;
        std::string text;  // written to the file named by "@" in the arguments
        int exitCode;
        std::vector<std::string> verdicts;
        std::string said;  // part of standard error
    } cases[] = {
        // A quote inside a field that does not start with one groups nothing.
        {"--column code @",
         "code,note\nA00.0,5\" pipe\nZZZ,bad\nnot a code,x\n",
         1,
         {"reportable", "not-in-edition", "not-a-code"},
         "3 inputs, 1 reportable"},
        {"--column code @", "code\nA00.0\n\"A00.1\nB00\n", 2, {"reportable"}, "line 3: a quoted field opened here"},
        {"--column code @", "Code,x,CODE\nA00.0,1,2\n", 2, {}, "names column \"code\" twice (columns 1 and 3)"},
        {"@", "A00.0\n" + longLine + "\nA00.1\n", 1, {"reportable", "too-long", "reportable"}, "3 inputs"},
        {"/dev/zero", "", 2, {}, "holds a NUL byte"},
    };
    for (const auto& test : cases) {
        const std::string file = TextFile("hostile.csv", test.text);
        std::string arguments = test.arguments;
        if (const auto at = arguments.find('@'); at != std::string::npos) arguments.replace(at, 1, Quoted(file));
        const std::string errors = file + ".err";
        const auto run = RunCommand("(" + Cli() + " validate " + arguments + " 2>" + Quoted(errors) + ")");
        std::ifstream errorStream(errors);
        const std::string said((std::istreambuf_iterator<char>(errorStream)), std::istreambuf_iterator<char>());
        std::filesystem::remove(file);
        std::filesystem::remove(errors);
        EXPECT_EQ(run.exitCode, test.exitCode) << arguments << "\n" << said;
        std::vector<std::string> verdicts;
        for (const auto& row : Rows(run.output)) verdicts.push_back(row.size() == 4 ? row[2] : "bad row");
        EXPECT_EQ(verdicts, test.verdicts) << arguments;
        EXPECT_NE(said.find(test.said), std::string::npos) << said;
    }
}

TEST(VersionOption, NamesTheEmbeddedEditionsAndItsAddendaAreThere) {
    const auto run = RunCommand(Cli() + " --version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("FY2021 (effective Oct 1 2020) with the addenda effective Jan 1 2021 "
                              "(J12.82, M35.81, M35.89, Z11.52, Z20.822, Z86.16)"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Index to Diseases and Injuries: FY2017"), std::string::npos) << run.output;
    // The six codes the addenda added are reportable in the embedded data.
    const auto check =
        RunCommand("printf 'J12.82\\nM35.81\\nM35.89\\nZ11.52\\nZ20.822\\nZ86.16\\n' | " + Cli() + " validate");
    EXPECT_EQ(check.exitCode, 0) << check.output;
}
