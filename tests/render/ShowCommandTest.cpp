// The "show" command of zendra-icd10-cli, run as a user would run it.
#include <gtest/gtest.h>

#include <string>

#include "tests/admin/RunProgram.h"

namespace {

testing_support::TRunResult RunShow(const std::string& arguments, bool withErrors = false) {
    const std::string cli = (testing_support::BinaryDir() / "cli" / "zendra-icd10-cli").string();
    return testing_support::RunCommand(testing_support::Quoted(cli) + " show " + arguments, withErrors);
}

}  // namespace

TEST(ShowCommand, PrintsThePageWithKindDigitsAndTheUnderlinedLine) {
    const auto run = RunShow("A00.1 --width 40");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output,
              "page 1/1, 8 lines, width 40, 16 lines per page\n"
              "2 |A00 Cholera\n"
              "3 |  A00.0 Cholera due to Vibrio cholerae\n"
              "9 |        01, biovar cholerae\n"
              "4 |          Classical cholera\n"
              "3_|  A00.1 Cholera due to Vibrio cholerae\n"
              "9 |        01, biovar eltor\n"
              "4 |          Cholera eltor\n"
              "3 |  A00.9 Cholera, unspecified\n");
}

TEST(ShowCommand, SeventhCharacterCodeShowsThePageOfItsLeafAndPagesClamp) {
    auto run = RunShow("S52.521A --width 60 --lines 20");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("5_|      S52.521 Torus fracture of lower end of right radius\n"), std::string::npos);

    run = RunShow("S52 --page 999");
    EXPECT_EQ(run.exitCode, 0);
    const std::string header = run.output.substr(0, run.output.find('\n'));
    const std::string counter = header.substr(5, header.find(',') - 5);  // "n/n"
    EXPECT_EQ(counter.substr(0, counter.find('/')), counter.substr(counter.find('/') + 1)) << header;
}

TEST(ShowCommand, RejectsBadArgumentsAndUnknownCodes) {
    EXPECT_EQ(RunShow("A00 --width").exitCode, 2);
    EXPECT_EQ(RunShow("A00 --lines 0").exitCode, 2);
    EXPECT_EQ(RunShow("a00").exitCode, 0);  // any letter case
    EXPECT_EQ(RunShow("hello").exitCode, 2);
    EXPECT_EQ(RunShow("").exitCode, 2);
    const auto run = RunShow("B9Z.1", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("Code is not exist!"), std::string::npos);
}
