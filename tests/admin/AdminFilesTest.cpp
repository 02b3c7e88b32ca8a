// Code-text and keyword files of the administrator tool.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "admin/CodeTextFile.h"
#include "admin/DataPipeline.h"
#include "admin/KeywordFiles.h"
#include "model/TabularLoader.h"
#include "services/Resources.h"
#include "startup/LoadedData.h"
#include "tests/admin/RunProgram.h"
#include "tests/common/RecordingMessages.h"
#include "tests/common/TestSupport.h"

namespace {

using testing_support::TTempFolder;

std::string ReadAll(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& fileName, const std::string& text) {
    std::ofstream(fileName, std::ios::binary) << text;
}

const char* NotesTabular = R"(<?xml version="1.0" encoding="utf-8"?>
<ICD10CM.tabular>
  <chapter><name>1</name><desc>Chapter (A01-A02)</desc>
    <section id="A01-A02"><desc>Section (A01-A02)</desc>
      <diag><name>A01</name><desc>Typhoid  fever</desc>
        <inclusionTerm><note>Enteric fever</note></inclusionTerm>
        <excludes1><note>never written</note></excludes1>
        <sevenChrNote><note>The appropriate 7th character is to be added</note></sevenChrNote>
        <sevenChrDef><extension char="A">initial encounter</extension><extension char="S">sequela</extension></sevenChrDef>
        <diag><name>A01.0</name><desc>Typhoid, fever unspecified</desc>
          <includes><note>Infection due to Salmonella typhi</note></includes>
        </diag>
      </diag>
    </section>
  </chapter>
</ICD10CM.tabular>
)";

struct TLoadedTabular {
    TChapterList chapters;
    TIntroduction introduction;

    explicit TLoadedTabular(const char* text) {
        TLoadStatus status{TLoadState::NotStarted};
        std::istringstream source(text);
        LoadTabularFromStream(source, chapters, introduction, status);
    }
    const TCodeInfo& Category() const { return *chapters.at(0)->FSubList.at(0)->FCodeList.at(0); }
};

}  // namespace

TEST(JoinWordsWithCommas, JoinsWordsAndKeepsCommasThatAreThere) {
    int pieces = -1;
    EXPECT_EQ(JoinWordsWithCommas("Cholera due to Vibrio cholerae 01, biovar cholerae", pieces),
              "Cholera, due, to, Vibrio, cholerae, 01, biovar, cholerae");
    EXPECT_EQ(pieces, 7);
    EXPECT_EQ(JoinWordsWithCommas("  Typhoid   fever ", pieces), "Typhoid, fever");
    EXPECT_EQ(pieces, 2);
    EXPECT_EQ(JoinWordsWithCommas("   ", pieces), "");
    EXPECT_EQ(pieces, 0);
}

TEST(CodeTextFile, TitleSeventhCharactersAndChosenNotesInTheKeywordLayout) {
    TRecordingMessages messages;
    const TLoadedTabular tabular(NotesTabular);
    TStringList lines;
    int count = 0;
    AppendTitle(tabular.Category(), lines, count, false);
    // Only the includes list has a type word of its own, so only it gets a heading line.
    const TStringList plain = {
        "A01      Typhoid  fever",
        "         Enteric fever",
        "         The appropriate 7th character is to be added",
        "         A - initial encounter",
        "         S - sequela",
        "A01.0    Typhoid, fever unspecified",
        "         " + TIncludes().FTypeWord,
        "         Infection due to Salmonella typhi",
    };
    EXPECT_EQ(lines, plain);
    EXPECT_EQ(count, 7) << "title, note lines and characters count 1 each; headings none";

    lines.clear();
    count = 0;
    AppendTitle(tabular.Category(), lines, count, true);
    EXPECT_EQ(lines[0], "A01      Typhoid, fever");
    EXPECT_EQ(lines[3], "         A - initial encounter") << "seventh characters are never joined";
    EXPECT_EQ(lines[5], "A01.0    Typhoid, fever, unspecified");
    // "Typhoid," then "fever" after a blank (not counted), then ", unspecified".
    EXPECT_EQ(count, 2 + 2 + 8 + 2 + 2 + 5);
}

TEST(CodeTextFile, FilesOfAllCategoriesAndOfAllValidCodes) {
    TRecordingMessages messages;
    const TLoadedTabular tabular(NotesTabular);
    TTempFolder folder;
    int count = 0;
    ASSERT_TRUE(GenerateCodeTextFile(tabular.chapters, false, folder.File("codes.txt"), count));
    EXPECT_EQ(count, 7);
    EXPECT_TRUE(ReadAll(folder.File("codes.txt")).starts_with("A01      Typhoid  fever\r\n         Enteric fever\r\n"));

    ASSERT_TRUE(GenerateAllCodeText(tabular.chapters, folder.File("all.txt")));
    EXPECT_EQ(ReadAll(folder.File("all.txt")),
              "A01.0XXA Typhoid, fever unspecified, initial encounter\r\n"
              "A01.0XXS Typhoid, fever unspecified, sequela\r\n");
    EXPECT_FALSE(GenerateAllCodeText(tabular.chapters, folder.File("missing/all.txt")));
    EXPECT_FALSE(GenerateCodeTextFile(tabular.chapters, true, folder.File("missing/codes.txt"), count));
}

TEST(CodeTextFile, RealCholeraTitleWithCommas) {
    EnsureRealDataLoaded();
    const TCodeInfo* cholera = LoadedData().Tabular.Chapters.at(0)->FSubList.at(0)->FCodeList.at(0).get();
    ASSERT_EQ(cholera->FCode, "A00");
    TStringList lines;
    int count = 0;
    AppendTitle(*cholera, lines, count, true);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "A00.0    Cholera, due, to, Vibrio, cholerae, 01, biovar, cholerae");
}

TEST(KeywordFiles, NormaliseCleansItemsAndReportsBadCodeLines) {
    TRecordingMessages messages;
    TTempFolder folder;
    const std::string input = folder.File("kw.txt");
    WriteAll(input,
             "A00 Cholera,\tVibrio   cholerae ,, biovar\r\n"
             "\t Eltor ,\t\tClassical  type,\r\n"
             "\r\n"
             "A0123 Bad code\r\n"
             "AB Too short\r\n"
             "A01.0 Typhoid\r\n"
             "   ,  ,\r\n");
    ASSERT_TRUE(NormalizeKeywordFile(input));
    EXPECT_EQ(ReadAll(input + "-New.txt"),
              "A00      Cholera, Vibrio cholerae, biovar,\r\n"
              "         Eltor, Classical type,\r\n"
              "A01.0    Typhoid,\r\n");
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Invalid line 4 (error code definition): A0123 Bad code"});
    EXPECT_FALSE(NormalizeKeywordFile(folder.File("absent.txt")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("absent.txt-New.txt")));
}

TEST(KeywordFiles, ArrangeWritesFourKeywordsALineAndTheDistinctList) {
    TCodeKeywordsList list;
    list.push_back(std::make_unique<TCodeKeywords>("A00"));
    for (const char* keyword : {"Vibrio", "cholera", "Biovar", "Eltor", "Classical", "Diarrhea"}) {
        list.back()->AddKeyword(keyword);
    }
    list.push_back(std::make_unique<TCodeKeywords>("A01"));
    list.back()->AddKeyword("Cholera");
    list.back()->AddKeyword("Typhoid");
    TTempFolder folder;
    ASSERT_TRUE(ArrangeCodeKeyword(list, folder.File("arranged.txt"), folder.File("distinct.txt")));
    EXPECT_EQ(ReadAll(folder.File("arranged.txt")),
              "A00      Biovar, cholera, Classical, Diarrhea,\r\n"
              "         Eltor, Vibrio,\r\n"
              "A01      Cholera, Typhoid,\r\n");
    EXPECT_EQ(ReadAll(folder.File("distinct.txt")),
              "Biovar\r\ncholera\r\nClassical\r\nDiarrhea\r\nEltor\r\nTyphoid\r\nVibrio\r\n");
    EXPECT_FALSE(ArrangeCodeKeyword(list, folder.File("missing/a.txt"), folder.File("d.txt")));
}

TEST(KeywordFiles, ArrangeAndVerifyReadAKeywordFileIntoTheSharedTables) {
    TRecordingMessages messages;
    TTempFolder folder;
    const std::string keywords = folder.File("kw.txt");
    WriteAll(keywords,
             "A00      x-ray, cholera, Para typhi,\r\n"
             "A01.0    Fever, X Ray,\r\n"
             "B02      fever,\r\n");
    ASSERT_TRUE(ArrangeKeywordFile(keywords, true, false, true, folder.File("arranged.txt"), folder.File("d.txt"),
                                   LoadedData().Keywords, LoadedData().Status[TDataSet::CodeKeywords]));
    EXPECT_EQ(ReadAll(folder.File("arranged.txt")),
              "A00      Cholera, Para Typhi, X-Ray,\r\n"
              "A01      Fever, X Ray,\r\n"
              "B02      Fever,\r\n");
    // Multi-word keywords only (a hyphen counts on a code line).
    ASSERT_TRUE(ArrangeKeywordFile(keywords, true, true, false, folder.File("arranged.txt"), folder.File("d.txt"),
                                   LoadedData().Keywords, LoadedData().Status[TDataSet::CodeKeywords]));
    EXPECT_EQ(ReadAll(folder.File("arranged.txt")), "A00      Para typhi, x-ray,\r\nA01      X Ray,\r\n");

    WriteAll(folder.File("list.txt"), "X RAY\r\nfever\r\nnone\r\n");
    ASSERT_TRUE(ExtractKeywordsForVerify(keywords, folder.File("list.txt"), true, LoadedData().Keywords,
                                         LoadedData().Status[TDataSet::CodeKeywords]));
    EXPECT_EQ(ReadAll(keywords + "-Verify.txt"),
              "X RAY\r\n         A00, A01.0\r\nfever\r\n         A01.0, B02\r\nnone\r\n");
    EXPECT_FALSE(ExtractKeywordsForVerify(keywords, folder.File("absent.txt"), true, LoadedData().Keywords,
                                          LoadedData().Status[TDataSet::CodeKeywords]));
}

TEST(KeywordFiles, VerifyKeepsTheSpellingWhenCapitalisingIsOff) {
    TRecordingMessages messages;
    TTempFolder folder;
    const std::string keywords = folder.File("kw.txt");
    WriteAll(keywords, "A00      x-ray, para typhi,\r\n");
    WriteAll(folder.File("list.txt"), "x ray\r\n");
    for (const bool capitalize : {false, true}) {
        ASSERT_TRUE(ExtractKeywordsForVerify(keywords, folder.File("list.txt"), capitalize, LoadedData().Keywords,
                                             LoadedData().Status[TDataSet::CodeKeywords]));
        ASSERT_EQ(LoadedData().Keywords.Codes.size(), 1u);
        const TStringList expected =
            capitalize ? TStringList{"Para Typhi", "X-Ray"} : TStringList{"para typhi", "x-ray"};
        EXPECT_EQ(LoadedData().Keywords.Codes[0]->FKeywords, expected) << capitalize;
    }
    LoadedData().Keywords.ClearCodes();
}

TEST(KeywordFiles, VerifyWritesFiveCodesALine) {
    TRecordingMessages messages;
    TTempFolder folder;
    const std::string keywords = folder.File("kw.txt");
    std::string text;
    for (const char* code : {"A00", "A01", "A02", "A03", "A04", "A05", "A06"})
        text += std::string(code) + "      Fever,\r\n";
    WriteAll(keywords, text);
    WriteAll(folder.File("list.txt"), "Fever\r\n");
    ASSERT_TRUE(ExtractKeywordsForVerify(keywords, folder.File("list.txt"), true, LoadedData().Keywords,
                                         LoadedData().Status[TDataSet::CodeKeywords]));
    EXPECT_EQ(ReadAll(keywords + "-Verify.txt"), "Fever\r\n         A00, A01, A02, A03, A04\r\n         A05, A06\r\n");
}

TEST(KeywordFiles, DistinctStatisticsCountWordsAndShowLongLines) {
    TRecordingMessages messages;
    TTempFolder folder;
    WriteAll(folder.File("distinct.txt"),
             "Fever\r\nDue To\r\n\r\nOsteo Myelitis Of Jaw\r\nA B C\r\nOne Two Three Four Five\r\n");
    EXPECT_EQ(StatisticsDistinctKW(folder.File("distinct.txt")), "Total: 4, 1: 1, 2: 1, 3: 1, 4: 1");
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"One Two Three Four Five"});
    EXPECT_FALSE(StatisticsDistinctKW(folder.File("absent.txt")).has_value());
}

TEST(ZipResourceFiles, CompressesTheDataFilesPresentAndSkipsTheRest) {
    TTempFolder folder;
    WriteAll(folder.File("SpecialKWs2021.txt"), "foot,feet\r\n");
    WriteAll(folder.File("icd10cm_tabular_2021.xml"), "<ICD10CM.tabular/>\r\n");
    EXPECT_EQ(ZipResourceFiles(folder.Path().string()), 2);
    const std::string packed = ReadAll(folder.File("SpecialKWs2021.dzip"));
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(packed[1]), 0xDA);
    EXPECT_EQ(InflateAll({reinterpret_cast<const unsigned char*>(packed.data()), packed.size()}), "foot,feet\r\n");
    EXPECT_TRUE(std::filesystem::exists(folder.File("icd10cm_tabular_2021.dzip")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("CodeKeywords2021.dzip")));
}
