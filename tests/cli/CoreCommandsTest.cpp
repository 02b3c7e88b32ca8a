// The core commands of zendra-icd10-cli, run as a user would run them.
#include <gtest/gtest.h>

#include <algorithm>
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

testing_support::TRunResult RunCli(const std::string& arguments, bool withErrors = false) {
    return RunCommand(Cli() + " " + arguments, withErrors);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

}  // namespace

TEST(CodeCommand, ReportsFinalCodesNodesAndTheirCompletions) {
    auto run = RunCli("code A00.0");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "A00.0  Cholera due to Vibrio cholerae 01, biovar cholerae\nfinal code\n");

    run = RunCli("code A00");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output,
              "A00  Cholera\nnot a final code\nvalid codes: 3\n"
              "A00.0  Cholera due to Vibrio cholerae 01, biovar cholerae\n"
              "A00.1  Cholera due to Vibrio cholerae 01, biovar eltor\n"
              "A00.9  Cholera, unspecified\n");

    // A leaf that needs its seventh character lists the inherited completions.
    run = RunCli("code S52.521");
    EXPECT_EQ(run.exitCode, 0);
    const auto lines = Lines(run.output);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], "not a final code");
    EXPECT_EQ(lines[2], "valid codes: " + std::to_string(lines.size() - 3));
    EXPECT_EQ(lines[3], "S52.521A  Torus fracture of lower end of right radius, initial encounter for closed fracture");

    run = RunCli("code S52.521A");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output,
              "S52.521A  Torus fracture of lower end of right radius, initial encounter for closed fracture\n"
              "final code\n");
    run = RunCli("code T07.XXXA");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(CodeCommand, SeventhCharacterRulesDecideFullCodes) {
    auto run = RunCli("code S06.1X1D");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(Lines(run.output).back(), "final code");

    // "D" does not apply with a 7 in sixth place: not found, and the valid completion is offered.
    run = RunCli("code S06.1X7D", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("valid codes: 1\nS06.1X7A  "), std::string::npos) << run.output;

    run = RunCli("code S06.1X7");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("valid codes: 1\n"), std::string::npos) << run.output;
}

TEST(CodeCommand, ExitCodesTellNotFoundFromInvalidText) {
    for (const char* missing : {"U99", "S52.9ZZ", "S52.521Z", "A00.5"}) {
        const auto run = RunCli(std::string("code ") + missing, true);
        EXPECT_EQ(run.exitCode, 1) << missing << ": " << run.output;
        EXPECT_FALSE(run.output.empty()) << missing;
    }
    for (const char* invalid : {"hello", "A00.12345", "A0", "'A00.1 x'"}) {
        const auto run = RunCli(std::string("code ") + invalid, true);
        EXPECT_EQ(run.exitCode, 2) << invalid << ": " << run.output;
    }
    EXPECT_EQ(RunCli("code").exitCode, 2);
}

TEST(CodeCommand, AcceptsAnyCaseWithOrWithoutTheDotAndFourCharacterSubCodes) {
    const struct {
        const char* text;
        const char* firstLine;
    } cases[] = {
        {"C44.1021", "C44.1021  Unspecified malignant neoplasm of skin of right upper eyelid, including canthus"},
        {"H54.512A", "H54.512A  Low vision right eye category 2, normal vision left eye"},
        {"s52.521a", "S52.521A  Torus fracture of lower end of right radius, initial encounter for closed fracture"},
        {"S52521A", "S52.521A  Torus fracture of lower end of right radius, initial encounter for closed fracture"},
        {"a00", "A00  Cholera"},
    };
    for (const auto& c : cases) {
        const auto run = RunCli(std::string("code ") + c.text);
        EXPECT_EQ(run.exitCode, 0) << c.text;
        EXPECT_EQ(Lines(run.output).front(), c.firstLine);
    }
}

TEST(OrderFileCommand, MatchesThePublishedOrderFileLineForLine) {
    const auto run = RunCli("order-file");
    ASSERT_EQ(run.exitCode, 0);
    const std::string published =
        ReadDataFile((testing_support::SourceDir() / "data" / "icd10cm_order_2021.txt.gz").string());
    std::vector<std::string> expected;
    ForEachLine(published, [&](std::string_view line) {
        TOrderFileEntry entry;
        if (ParseOrderFileLine(line, entry)) expected.push_back(entry.Code + " " + entry.Flag);
    });
    const auto lines = Lines(run.output);
    ASSERT_EQ(expected.size(), 95358u);
    ASSERT_EQ(lines.size(), expected.size());
    std::size_t valid = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        ASSERT_GE(line.size(), 11u) << "line " << i + 1;
        ASSERT_EQ(line[10], ' ') << "line " << i + 1;
        ASSERT_EQ(std::string(TrimBlanks(line.substr(0, 9))) + " " + line[9], expected[i]) << "line " << i + 1;
        if (line[9] == '1') ++valid;
    }
    EXPECT_EQ(valid, 72621u);
    EXPECT_EQ(lines[1], "A00.0    1 Cholera due to Vibrio cholerae 01, biovar cholerae");
}

TEST(StatsCommand, PrintsTheTwoStatisticsLines) {
    const auto run = RunCli("stats");
    ASSERT_EQ(run.exitCode, 0);
    const auto lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 2u) << run.output;
    EXPECT_TRUE(lines[0].starts_with("DLines : ")) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("ChpNum : 22, ")) << lines[1];
    EXPECT_TRUE(lines[1].ends_with(", total: 72621")) << lines[1];
    EXPECT_EQ(RunCli("stats --bogus").exitCode, 2);
}

TEST(CoreCommands, HelpListsTheirUsage) {
    const auto run = RunCli("--help");
    EXPECT_EQ(run.exitCode, 0);
    for (const char* usage : {"  stats ", "  code TEXT", "  order-file"}) {
        EXPECT_NE(run.output.find(usage), std::string::npos) << usage;
    }
    const auto codeHelp = RunCli("code --help");
    EXPECT_EQ(codeHelp.exitCode, 0);
    EXPECT_NE(codeHelp.output.find("exit 0 found, 1 not found, 2 not a code text"), std::string::npos);
}
