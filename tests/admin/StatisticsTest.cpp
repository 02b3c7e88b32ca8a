// Statistics of the loaded data sets and the generated order file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "admin/DataPipeline.h"
#include "admin/OrderFile.h"
#include "admin/Statistics.h"
#include "index/IndexModel.h"
#include "model/TabularLoader.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/admin/RunProgram.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"

namespace {

std::string ReadAll(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Code with its dot and flag of every line: the published order file and a generated one agree on these.
std::vector<std::string> CodesAndFlags(std::string_view orderText, bool generated) {
    std::vector<std::string> result;
    ForEachLine(orderText, [&](std::string_view line) {
        if (generated) {
            result.push_back(std::string(TrimBlanks(line.substr(0, 9))) + " " + std::string(1, line[9]));
        } else {
            TOrderFileEntry entry;
            if (ParseOrderFileLine(line, entry)) result.push_back(entry.Code + " " + entry.Flag);
        }
    });
    return result;
}

const char* SmallTabular = R"(<?xml version="1.0" encoding="utf-8"?>
<ICD10CM.tabular>
  <chapter><name>1</name><desc>Chapter (A01-T07)</desc>
    <section id="A01-T07"><desc>Section (A01-T07)</desc>
      <diag><name>A01</name><desc>Plain category</desc></diag>
      <diag><name>A02</name><desc>Tree</desc>
        <diag><name>A02.1</name><desc>One</desc></diag>
        <diag><name>A02.2</name><desc>Two</desc>
          <diag><name>A02.21</name><desc>Two one</desc></diag>
          <diag><name>A02.22</name><desc>Two two</desc>
            <diag><name>A02.221</name><desc>Two two one</desc></diag>
          </diag>
        </diag>
      </diag>
      <diag><name>T07</name><desc>Multiple</desc>
        <sevenChrDef><extension char="A">initial</extension><extension char="S">sequela</extension></sevenChrDef>
      </diag>
    </section>
  </chapter>
</ICD10CM.tabular>
)";

}  // namespace

TEST(Statistics, CountsNodesByLevelAndValidCodesByLength) {
    TRecordingMessages messages;
    TChapterList chapters;
    TIntroduction introduction;
    TLoadStatus status{TLoadState::NotStarted};
    std::istringstream source(SmallTabular);
    ASSERT_EQ(LoadTabularFromStream(source, chapters, introduction, status), TLoadState::Done);

    // One letter: a main term with two sub-terms and a plain main term: 4 lines.
    TAlphaLetterList diseases;
    diseases.push_back(std::make_unique<TAlphaLetter>());
    auto& letter = *diseases.back();
    letter.FMainTermList.push_back(std::make_unique<TTerm>(&letter, 0));
    auto& main = *letter.FMainTermList.back();
    main.FSubTermList.push_back(std::make_unique<TTerm>(&main, 1));
    main.FSubTermList.push_back(std::make_unique<TTerm>(&main, 1));
    letter.FMainTermList.push_back(std::make_unique<TTerm>(&letter, 0));
    const TAlphaLetterList empty;

    testing_support::TTempFolder folder;
    const auto withFile = Statistics(chapters, diseases, empty, empty, empty, true, folder.File("order.txt"));
    ASSERT_TRUE(withFile.has_value());
    EXPECT_EQ(withFile->IndexLine, "DLines : 4, ELines: 0, DTLines: 0, NTLines: 0, Total: 4 ");
    const std::string expectedCounts =
        "Node3: 3, Node4: 2, Node5: 2, Node6: 1, Total: 8, 3 codes: 1, 4 codes: 1, 5 codes: 1, 6 codes: 1, "
        "7 codes: 2, total: 6";
    EXPECT_TRUE(withFile->TabularLine.starts_with("ChpNum : 1, ChpLines: ")) << withFile->TabularLine;
    EXPECT_TRUE(withFile->TabularLine.ends_with(expectedCounts)) << withFile->TabularLine;
    EXPECT_EQ(ReadAll(folder.File("order.txt")),
              "A01      1 Plain category\r\n"
              "A02      0 Tree\r\n"
              "A02.1    1 One\r\n"
              "A02.2    0 Two\r\n"
              "A02.21   1 Two one\r\n"
              "A02.22   0 Two two\r\n"
              "A02.221  1 Two two one\r\n"
              "T07      0 Multiple\r\n"
              "T07.XXXA 1 Multiple, initial\r\n"
              "T07.XXXS 1 Multiple, sequela\r\n");

    // Without the order file the codes are counted from the valid-code lists: same line.
    const auto withoutFile = Statistics(chapters, diseases, empty, empty, empty, false, "");
    ASSERT_TRUE(withoutFile.has_value());
    EXPECT_EQ(withoutFile->TabularLine, withFile->TabularLine);

    EXPECT_FALSE(Statistics(chapters, diseases, empty, empty, empty, true, folder.File("no/such/dir/o.txt")));
}

TEST(Statistics, GeneratedOrderFileMatchesThePublishedOneLineForLine) {
    EnsureRealDataLoaded();
    testing_support::TTempFolder folder;
    const auto lines = StatisticsOfLoadedData(LoadedData().Tabular.Chapters, LoadedData().Index, LoadedData().Status,
                                              true, folder.File("order.txt"));
    ASSERT_TRUE(lines.has_value());
    EXPECT_TRUE(lines->TabularLine.starts_with("ChpNum : 22, ")) << lines->TabularLine;
    EXPECT_NE(lines->TabularLine.find(", SubChpNum: 296, "), std::string::npos) << lines->TabularLine;
    EXPECT_NE(lines->TabularLine.find(", Node3: 1911, "), std::string::npos) << lines->TabularLine;
    EXPECT_TRUE(lines->TabularLine.ends_with(", total: 72621")) << lines->TabularLine;

    int diseases = 0, external = 0, drugs = 0, neoplasms = 0, total = 0;
    ASSERT_EQ(std::sscanf(lines->IndexLine.c_str(), "DLines : %d, ELines: %d, DTLines: %d, NTLines: %d, Total: %d ",
                          &diseases, &external, &drugs, &neoplasms, &total),
              5)
        << lines->IndexLine;
    EXPECT_GT(diseases, 60000);
    EXPECT_GT(external, 0);
    EXPECT_GT(drugs, 0);
    EXPECT_GT(neoplasms, 0);
    EXPECT_EQ(total, diseases + external + drugs + neoplasms);

    const auto generated = CodesAndFlags(ReadAll(folder.File("order.txt")), true);
    const auto published = CodesAndFlags(
        ReadDataFile((testing_support::SourceDir() / "data" / "icd10cm_order_2021.txt.gz").string()), false);
    ASSERT_EQ(published.size(), 95358u);
    ASSERT_EQ(generated.size(), published.size());
    for (std::size_t i = 0; i < published.size(); ++i) {
        ASSERT_EQ(generated[i], published[i]) << "first difference at line " << i + 1;
    }
    EXPECT_EQ(
        std::count_if(generated.begin(), generated.end(), [](const std::string& line) { return line.ends_with(" 1"); }),
        72621);
}
