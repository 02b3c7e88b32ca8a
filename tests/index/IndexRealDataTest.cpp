// The index loader on the real embedded files, loaded once per test binary into the globals
// through the loader thread body (LoadIndexFile).
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>

#include "data/EmbeddedResources.h"
#include "index/IndexLoader.h"
#include "index/IndexSearch.h"
#include "startup/LoadedData.h"
#include "tests/common/RecordingMessages.h"

namespace {

struct TCounts {
    std::size_t letters = 0;
    std::size_t mainTerms = 0;
    std::size_t subTerms = 0;
    int32_t deepest = 0;
};

void CountTerm(const TTerm& term, int32_t expectedLevel, TCounts& counts) {
    EXPECT_EQ(term.FLevel, expectedLevel);
    counts.deepest = std::max(counts.deepest, term.FLevel);
    for (const auto& sub : term.FSubTermList) {
        EXPECT_EQ(sub->FParent, &term);
        ++counts.subTerms;
        CountTerm(*sub, expectedLevel + 1, counts);
    }
}

TCounts Count(const TAlphaLetterList& letters) {
    TCounts counts;
    counts.letters = letters.size();
    for (const auto& letter : letters) {
        for (const auto& term : letter->FMainTermList) {
            EXPECT_EQ(term->FParent, letter.get());
            ++counts.mainTerms;
            CountTerm(*term, 0, counts);
        }
    }
    return counts;
}

std::vector<std::string> LoadMessages;

void LoadRealIndexes() {
    static std::once_flag once;
    std::call_once(once, [] {
        TRecordingMessages messages;
        OpenResourceStreams(EmbeddedResources());
        for (TDataSet set : IndexDataSets) LoadIndexFile(LoadedData().Index, set, LoadedData().Status[set]);
        LoadMessages = messages.Messages();
    });
}

class RealIndexData : public ::testing::Test {
protected:
    static void SetUpTestSuite() { LoadRealIndexes(); }
};

const TTerm* FindMain(const TAlphaLetterList& letters, const std::string& title) {
    for (const auto& letter : letters) {
        for (const auto& term : letter->FMainTermList) {
            if (term->FTitle == title) return term.get();
        }
    }
    return nullptr;
}

const TTerm* FindSub(const TTerm* term, const std::string& title) {
    if (term == nullptr) return nullptr;
    for (const auto& sub : term->FSubTermList) {
        if (sub->FTitle == title) return sub.get();
    }
    return nullptr;
}

}  // namespace

TEST_F(RealIndexData, AllFourFilesLoadWithoutAnyMessage) {
    EXPECT_EQ(LoadedData().Status[TDataSet::DiseaseIndex].load(), TLoadState::Done);
    EXPECT_EQ(LoadedData().Status[TDataSet::ExternalIndex].load(), TLoadState::Done);
    EXPECT_EQ(LoadedData().Status[TDataSet::DrugTable].load(), TLoadState::Done);
    EXPECT_EQ(LoadedData().Status[TDataSet::NeoplasmTable].load(), TLoadState::Done);
    EXPECT_TRUE(LoadMessages.empty());
}

TEST_F(RealIndexData, ExternalCauseIndexHasItsPublishedSize) {
    const TCounts counts = Count(LoadedData().Index.ExternalIndex);
    EXPECT_EQ(counts.letters, 22u);
    EXPECT_EQ(counts.mainTerms, 314u);
    EXPECT_EQ(counts.subTerms, 7484u);
    EXPECT_EQ(counts.deepest, 8);
}

TEST_F(RealIndexData, DrugTableHasDigitGroupFirstThenAToZ) {
    const TCounts counts = Count(LoadedData().Index.DrugTable);
    EXPECT_EQ(counts.letters, 27u);
    EXPECT_EQ(counts.mainTerms, 5173u);
    EXPECT_EQ(counts.subTerms, 2248u);
    EXPECT_EQ(counts.deepest, 4);
    ASSERT_EQ(LoadedData().Index.DrugTable.size(), 27u);
    EXPECT_EQ(LoadedData().Index.DrugTable[0]->FLetter, "#");
    for (std::size_t i = 1; i < 27; ++i)
        EXPECT_EQ(LoadedData().Index.DrugTable[i]->FLetter, std::string(1, char('A' + i - 1)));
}

TEST_F(RealIndexData, NeoplasmTableIsOneLetterWithOneMainTermKeepingItsTrailingBlank) {
    const TCounts counts = Count(LoadedData().Index.NeoplasmTable);
    EXPECT_EQ(counts.letters, 1u);
    EXPECT_EQ(counts.mainTerms, 1u);
    EXPECT_EQ(counts.subTerms, 1938u);
    EXPECT_EQ(counts.deepest, 4);
    ASSERT_EQ(LoadedData().Index.NeoplasmTable.size(), 1u);
    EXPECT_EQ(LoadedData().Index.NeoplasmTable[0]->FLetter, "N");
    const TTerm& neoplasm = *LoadedData().Index.NeoplasmTable[0]->FMainTermList.at(0);
    EXPECT_EQ(neoplasm.FTitle, "Neoplasm, neoplastic ");
    EXPECT_EQ(neoplasm.GetTextLines(), 1939);
    EXPECT_EQ(neoplasm.Cell(2), "C80.1");
    EXPECT_EQ(neoplasm.Cell(7), "D49.9");
}

TEST_F(RealIndexData, DiseaseIndexIsTheEditionItsFileNames) {
    const TCounts counts = Count(LoadedData().Index.DiseaseIndex);
    EXPECT_EQ(counts.letters, 26u);
    EXPECT_FALSE(LoadedData().Index.DiseaseIndexEdition.empty());
    // Counts of the edition the data folder holds; a newer file brings its own.
    if (LoadedData().Index.DiseaseIndexEdition == "2017") {
        EXPECT_EQ(counts.mainTerms, 7973u);
        EXPECT_EQ(counts.subTerms, 69226u);
        EXPECT_EQ(counts.deepest, 9);
    } else if (LoadedData().Index.DiseaseIndexEdition == "2021") {
        EXPECT_EQ(counts.mainTerms, 8012u);
        EXPECT_EQ(counts.subTerms, 70908u);
        EXPECT_EQ(counts.deepest, 9);
    }
    std::size_t lines = 0;
    for (const auto& letter : LoadedData().Index.DiseaseIndex) {
        for (const auto& term : letter->FMainTermList) lines += static_cast<std::size_t>(term->GetTextLines());
    }
    EXPECT_EQ(lines, counts.mainTerms + counts.subTerms);
}

TEST_F(RealIndexData, DiseaseIndexTitlesAndFullTitles) {
    const TTerm* abasia = FindMain(LoadedData().Index.DiseaseIndex, "Abasia (-astasia) (hysterical) ");
    ASSERT_NE(abasia, nullptr);
    EXPECT_EQ(abasia->FCode, "F44.4");

    const TTerm* abandonment = FindMain(LoadedData().Index.DiseaseIndex, "Abandonment");
    ASSERT_NE(abandonment, nullptr);
    EXPECT_EQ(abandonment->GetFullTitle(true), "Abandonment --see Maltreatment");
    EXPECT_EQ(abandonment->FCode, "");

    const TTerm* aberrant = FindMain(LoadedData().Index.DiseaseIndex, "Aberrant (congenital) ");
    ASSERT_NE(aberrant, nullptr);
    EXPECT_EQ(aberrant->GetFullTitle(true), "Aberrant (congenital)  --see also Malposition, congenital");
    EXPECT_NE(FindSub(aberrant, "vein (peripheral)  NEC"), nullptr);

    const TTerm* salmonella =
        FindSub(FindMain(LoadedData().Index.DiseaseIndex, "Infection, infected, infective (opportunistic) "),
                "Salmonella (aertrycke) "
                "(arizonae) (callinarum) (cholerae-suis) (enteritidis) (suipestifer) (typhimurium) ");
    const TTerm* gastro = FindSub(FindSub(salmonella, "with"), " (gastro) enteritis");
    ASSERT_NE(gastro, nullptr);
    EXPECT_EQ(gastro->FCode, "A02.0");
    EXPECT_EQ(gastro->FLevel, 3);
    EXPECT_EQ(gastro->GetLevelTitle(false), "---  (gastro) enteritis");

    const TTerm* amyloid = FindMain(LoadedData().Index.DiseaseIndex, "Amyloid heart (disease) ");
    ASSERT_NE(amyloid, nullptr);
    EXPECT_EQ(amyloid->FManifest, "I43");
    EXPECT_EQ(amyloid->GetFullTitle(false), "Amyloid heart (disease) ");
    EXPECT_EQ(amyloid->GetFullTitle(true), "Amyloid heart (disease)  [I43]");
}

TEST_F(RealIndexData, DrugRowsKeepTheirCellsIncludingNoCodeMarks) {
    const TTerm* absinthe = FindMain(LoadedData().Index.DrugTable, "Absinthe");
    ASSERT_NE(absinthe, nullptr);
    const char* expected[] = {"T51.0X1", "T51.0X2", "T51.0X3", "T51.0X4", "--", "--"};
    for (int column = 2; column <= 7; ++column) EXPECT_EQ(absinthe->Cell(column), expected[column - 2]) << column;
    EXPECT_EQ(absinthe->FCode, "");
    ASSERT_FALSE(absinthe->FSubTermList.empty());
    EXPECT_EQ(absinthe->FSubTermList[0]->FTitle, "beverage");

    // Some neoplasm rows carry "-" for "no code"; the text stays as it is.
    bool sawDash = false;
    for (const auto& site : LoadedData().Index.NeoplasmTable.at(0)->FMainTermList.at(0)->FSubTermList) {
        for (int column = 2; column <= 7; ++column) sawDash = sawDash || site->Cell(column) == "-";
    }
    EXPECT_TRUE(sawDash);
}

TEST_F(RealIndexData, PrefixLookUpOnTheRealFiles) {
    const auto absinthe = FindMainTermsByPrefix(LoadedData().Index.DrugTable, "ABSIN");
    ASSERT_EQ(absinthe.size(), 1u);
    EXPECT_EQ(TermLine(*absinthe[0], true), "Absinthe\tT51.0X1\tT51.0X2\tT51.0X3\tT51.0X4\t--\t--");

    const auto abuse = FindMainTermsByPrefix(LoadedData().Index.ExternalIndex, "abuse");
    ASSERT_EQ(abuse.size(), 1u);
    EXPECT_EQ(TermLine(*abuse[0], false), "Abuse (adult) (child) (mental) (physical) (sexual) \tX58");

    // Every main term of letter "A" of the disease index starts with "a" in some case.
    const auto startingWithA = FindMainTermsByPrefix(LoadedData().Index.DiseaseIndex, "a");
    EXPECT_EQ(startingWithA.size(), LoadedData().Index.DiseaseIndex.at(0)->FMainTermList.size());
}

TEST(IndexLoadFile, WithoutItsResourceStreamTheLoadFails) {
    {
        TRecordingMessages messages;
        // The stream was never opened, or an earlier load of this run has taken it.
        (void)TakeResourceStream("TableOfNeoplasms");
        LoadedData().Status[TDataSet::NeoplasmTable] = TLoadState::Loading;
        LoadedData().Index.NeoplasmTable.push_back(std::make_unique<TAlphaLetter>());
        LoadIndexFile(LoadedData().Index, TDataSet::NeoplasmTable, LoadedData().Status[TDataSet::NeoplasmTable]);
        EXPECT_EQ(LoadedData().Status[TDataSet::NeoplasmTable].load(), TLoadState::Failed);
        EXPECT_TRUE(LoadedData().Index.NeoplasmTable.empty());
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Load Alpha Search File Fail1!"});
    }
    // Put the real table back for the other tests of this binary.
    OpenResourceStreams(EmbeddedResources());
    LoadedData().Status[TDataSet::NeoplasmTable] = TLoadState::NotStarted;
    LoadIndexFile(LoadedData().Index, TDataSet::NeoplasmTable, LoadedData().Status[TDataSet::NeoplasmTable]);
    EXPECT_EQ(LoadedData().Status[TDataSet::NeoplasmTable].load(), TLoadState::Done);
}
