// Reading the published order file and deriving its six files (administrator statistics).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "admin/DataPipeline.h"
#include "admin/OrderFile.h"
#include "admin/Statistics.h"
#include "tests/admin/RunProgram.h"

namespace {

// One line in the published layout: order number, code without dot, flag, short (60 columns), long.
std::string OrderLine(int number, const std::string& code, char flag, const std::string& shortDesc,
                      const std::string& longDesc) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%05d %-7s %c %-60s %s", number, code.c_str(), flag, shortDesc.c_str(),
                  longDesc.c_str());
    return buffer;
}

std::string ReadAll(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string SampleOrderText =
    OrderLine(1, "A00", '0', "Cholera", "Cholera") + "\r\n" +
    OrderLine(2, "A000", '1', "Cholera due to Vibrio cholerae 01, biovar cholerae",
              "Cholera due to Vibrio cholerae 01, biovar cholerae") +
    "\r\n" +
    OrderLine(3, "A09", '1', "Infectious gastroenteritis and colitis, unspecified",
              "Infectious gastroenteritis and colitis, unspecified") +
    "\r\n" +
    OrderLine(4, "S52521A", '1', "Torus fx lower end of right radius, init for clos fx",
              "Torus fracture of lower end of right radius, initial encounter for closed fracture") +
    "\r\n";

}  // namespace

TEST(OrderFile, LineColumnsGiveDottedCodeFlagAndBothDescriptions) {
    TOrderFileEntry entry;
    ASSERT_TRUE(ParseOrderFileLine(OrderLine(7, "S52521A", '1', "Torus fx", "Torus fracture, initial"), entry));
    EXPECT_EQ(entry.Code, "S52.521A");
    EXPECT_EQ(entry.Flag, '1');
    EXPECT_EQ(entry.ShortDesc, "Torus fx");
    EXPECT_EQ(entry.LongDesc, "Torus fracture, initial");

    ASSERT_TRUE(ParseOrderFileLine("00001 A00     0 C", entry));
    EXPECT_EQ(entry.Code, "A00");
    EXPECT_EQ(entry.Flag, '0');
    EXPECT_EQ(entry.ShortDesc, "C");
    EXPECT_EQ(entry.LongDesc, "");
    EXPECT_FALSE(ParseOrderFileLine("00001 A00     0", entry)) << "15 characters are not an entry";
}

TEST(OrderFile, WholeTextSkipsShortLinesAndAcceptsBothLineEnds) {
    const auto entries = ParseOrderFile("00001 A00     0 Cholera\n\r\nshort\r\n00002 A000    1 Vibrio");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Code, "A00");
    EXPECT_EQ(entries[0].ShortDesc, "Cholera");
    EXPECT_EQ(entries[1].Code, "A00.0");
    EXPECT_EQ(entries[1].ShortDesc, "Vibrio");
}

TEST(StatisticsOrderFile, CountsLinesOfSixteenCharactersOrMoreOnly) {
    TOrderFileOutputs outputs;
    const std::string text = "00001 A00     0\r\n" + std::string("00002 A000    1 \r\n") + "\r\n";
    EXPECT_EQ(StatisticsOrderFileText(text, outputs), "Total: 1, Valide Code: 1");
    EXPECT_EQ(outputs.ShortCodes, "A00.0     \r\n");
    EXPECT_EQ(StatisticsOrderFileText(SampleOrderText, outputs = {}), "Total: 4, Valide Code: 3");
}

TEST(StatisticsOrderFile, SixFilesPutTheDescriptionsInTheirColumns) {
    TOrderFileOutputs outputs;
    StatisticsOrderFileText(SampleOrderText, outputs);
    EXPECT_EQ(outputs.ShortWithoutFlag,
              "A00       Cholera\r\n"
              "A00.0     Cholera due to Vibrio cholerae 01, biovar cholerae\r\n"
              "A09       Infectious gastroenteritis and colitis, unspecified\r\n"
              "S52.521A  Torus fx lower end of right radius, init for clos fx\r\n");
    EXPECT_EQ(outputs.LongWithoutFlag,
              "A00      Cholera\r\n"
              "A00.0    Cholera due to Vibrio cholerae 01, biovar cholerae\r\n"
              "A09      Infectious gastroenteritis and colitis, unspecified\r\n"
              "S52.521A Torus fracture of lower end of right radius, initial encounter for closed fracture\r\n");
    const std::string firstTwo =
        "A00      0 Cholera\r\n"
        "A00.0    1 Cholera due to Vibrio cholerae 01, biovar cholerae\r\n";
    EXPECT_EQ(outputs.ShortWithFlag.substr(0, firstTwo.size()), firstTwo);
    EXPECT_EQ(outputs.LongWithFlag.substr(outputs.LongWithFlag.rfind("S52")),
              "S52.521A 1 Torus fracture of lower end of right radius, initial encounter for closed fracture\r\n");
    // The reportable-code files leave the header A00 out.
    EXPECT_EQ(outputs.ShortCodes,
              "A00.0     Cholera due to Vibrio cholerae 01, biovar cholerae\r\n"
              "A09       Infectious gastroenteritis and colitis, unspecified\r\n"
              "S52.521A  Torus fx lower end of right radius, init for clos fx\r\n");
    EXPECT_EQ(outputs.LongCodes.substr(0, 11), "A00.0    Ch");
}

TEST(StatisticsOrderFile, FilesAreWrittenOnlyWhenEveryOneOpens) {
    testing_support::TTempFolder folder;
    const std::string order = folder.File("order.txt");
    std::ofstream(order, std::ios::binary) << SampleOrderText;
    const auto name = [&](const char* base) { return folder.File(base); };

    std::string memo;
    ASSERT_TRUE(StatisticsOrderFile(order, name("s.txt"), name("l.txt"), name("sf.txt"), name("lf.txt"), name("c.txt"),
                                    name("cl.txt"), memo));
    EXPECT_EQ(memo, "Total: 4, Valide Code: 3");
    TOrderFileOutputs expected;
    StatisticsOrderFileText(SampleOrderText, expected);
    EXPECT_EQ(ReadAll(name("s.txt")), expected.ShortWithoutFlag);
    EXPECT_EQ(ReadAll(name("lf.txt")), expected.LongWithFlag);
    EXPECT_EQ(ReadAll(name("c.txt")), expected.ShortCodes);
    EXPECT_EQ(ReadAll(name("cl.txt")), expected.LongCodes);

    memo = "unchanged";
    EXPECT_FALSE(StatisticsOrderFile(name("missing.txt"), name("s2.txt"), name("l2.txt"), name("sf2.txt"),
                                     name("lf2.txt"), name("c2.txt"), name("cl2.txt"), memo));
    EXPECT_FALSE(std::filesystem::exists(name("s2.txt"))) << "a missing order file creates nothing";
    EXPECT_FALSE(StatisticsOrderFile(order, name("s3.txt"), name("l3.txt"), name("sf3.txt"), name("lf3.txt"),
                                     name("no/such/folder/c.txt"), name("cl3.txt"), memo));
    EXPECT_EQ(ReadAll(name("s3.txt")), "") << "no line is written when a later output fails";
    EXPECT_EQ(memo, "unchanged");
}

TEST(StatisticsOrderFile, PublishedOrderFileGivesOneShortLinePerReportableCode) {
    const std::string text =
        ReadDataFile((testing_support::SourceDir() / "data" / "icd10cm_order_2021.txt.gz").string());
    TOrderFileOutputs outputs;
    EXPECT_EQ(StatisticsOrderFileText(text, outputs), "Total: 95358, Valide Code: 72621");
    std::size_t lines = 0;
    std::size_t longest = 0;
    std::set<std::string> codes;
    ForEachLine(outputs.ShortCodes, [&](std::string_view line) {
        ++lines;
        ASSERT_GE(line.size(), 11u);
        EXPECT_EQ(line.substr(8, 2), "  ") << line;
        EXPECT_NE(line[10], ' ') << line;
        longest = std::max(longest, line.size() - 10);
        codes.insert(std::string(TrimBlanks(line.substr(0, 8))));
    });
    EXPECT_EQ(lines, 72621u);
    EXPECT_EQ(codes.size(), 72621u) << "every reportable code once";
    EXPECT_LE(longest, 60u);
    EXPECT_EQ(outputs.ShortCodes.substr(0, 62), "A00.0     Cholera due to Vibrio cholerae 01, biovar cholerae\r\n");
}
