// The index window's plain logic: the filter key and title test, which terms a level lists, page
// arithmetic including a resize, the row and label texts and the code text a term field opens.
// Hand-made letters for the rules, the real embedded indexes for the published examples.
#include <gtest/gtest.h>

#include "index/AlphaSearchLogic.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/common/TermFixtures.h"
#include "tests/common/TestSupport.h"

namespace {

TTerm* AddSub(TTerm& parent, const std::string& title) {
    parent.FSubTermList.push_back(std::make_unique<TTerm>(&parent, parent.FLevel + 1));
    parent.FSubTermList.back()->FTitle = title;
    return parent.FSubTermList.back().get();
}

}  // namespace

TEST(AlphaFilterKey, TrimsBlanksAndControlsAndCapitalisesOnlyAsciiLetters) {
    EXPECT_EQ(AlphaFilterKey("  ab c\t\r\n"), "AB C");
    EXPECT_EQ(AlphaFilterKey("\x01x\x1f"), "X");
    EXPECT_EQ(AlphaFilterKey("caf\xC3\xA9 (x)"), "CAF\xC3\xA9 (X)");  // e acute stays small
    EXPECT_EQ(AlphaFilterKey("   "), "");
}

TEST(AlphaTitleMatches, ComparesThePrefixWithSmallLettersCapitalised) {
    EXPECT_TRUE(AlphaTitleMatches("Abasia (-astasia) (hysterical) ", "ABA"));
    EXPECT_TRUE(AlphaTitleMatches("abc", ""));
    EXPECT_TRUE(AlphaTitleMatches("Ab", "AB"));
    EXPECT_FALSE(AlphaTitleMatches("A", "AB"));                          // shorter than the key
    EXPECT_FALSE(AlphaTitleMatches(" (gastro) enteritis", "(GASTRO)"));  // a leading blank is part of the title
    EXPECT_TRUE(AlphaTitleMatches("\xC3\xA9tat", "\xC3\xA9T"));
    EXPECT_FALSE(AlphaTitleMatches("\xC3\x89tat", "\xC3\xA9T"));  // only a to z change case
}

TEST(AlphaFillItemList, MainLevelListsEverythingForAnEmptyKeyElseOnlyTheKeysLetterGroup) {
    const TAlphaLetterList letters =
        Letters({{"A", {"Abandonment", "abc", " (gastro) A", "Aa"}}, {"B", {"Ab-letter-b", "Bone"}}, {"B", {"Bx"}}});
    EXPECT_EQ(AlphaFillItemList(letters, nullptr, "").size(), 7u);
    // "AB" looks only in the group named "A", in file order, any case.
    EXPECT_EQ(Titles(AlphaFillItemList(letters, nullptr, "AB")), (std::vector<std::string>{"Abandonment", "abc"}));
    // Only the first group named "B" is searched.
    EXPECT_EQ(Titles(AlphaFillItemList(letters, nullptr, "B")), (std::vector<std::string>{"Bone"}));
    EXPECT_TRUE(AlphaFillItemList(letters, nullptr, "1").empty());
    EXPECT_TRUE(AlphaFillItemList(letters, nullptr, "(").empty());
    EXPECT_TRUE(AlphaFillItemList(letters, nullptr, "\xC3\x89").empty());
    EXPECT_TRUE(AlphaFillItemList(TAlphaLetterList{}, nullptr, "").empty());
}

TEST(AlphaFillItemList, SubLevelFiltersTheTermsSubTermsByTitleOnly) {
    TAlphaLetterList letters = Letters({{"A", {"Abscess"}}});
    TTerm& abscess = *letters[0]->FMainTermList[0];
    AddSub(abscess, "abdomen");
    TTerm* wall = AddSub(abscess, "Abdominal wall");
    wall->FSee = "Abdomen";
    AddSub(abscess, " (nemod) abdomen");
    AddSub(abscess, "lung");
    EXPECT_EQ(AlphaFillItemList(letters, &abscess, "").size(), 4u);
    EXPECT_EQ(Titles(AlphaFillItemList(letters, &abscess, "ABD")),
              (std::vector<std::string>{"abdomen", "Abdominal wall"}));
    // A sub-level key is not bound to a letter group.
    EXPECT_EQ(Titles(AlphaFillItemList(TAlphaLetterList{}, &abscess, "L")), (std::vector<std::string>{"lung"}));
    EXPECT_TRUE(AlphaFillItemList(letters, &abscess, "ABDOMEN ").empty());
}

TEST(AlphaPaging, CountsClampsAndStopsAtBothEnds) {
    TAlphaPaging paging;
    paging.FCount = 8012;
    EXPECT_EQ(paging.PageCount(), 401);
    paging.FCount = 0;
    paging.FCurPage = 3;
    paging.Clamp();
    EXPECT_EQ(paging.FCurPage, 1);
    EXPECT_EQ(paging.PageCount(), 0);
    EXPECT_EQ(AlphaPageCaption(paging), "Page: 0/0");
    EXPECT_FALSE(paging.PriorEnabled());
    EXPECT_FALSE(paging.NextEnabled());
    EXPECT_FALSE(paging.Next());
    EXPECT_EQ(paging.RowsOnPage(), 0);

    paging.FCount = 45;
    EXPECT_TRUE(paging.Next());
    EXPECT_TRUE(paging.Next());
    EXPECT_FALSE(paging.Next());
    EXPECT_EQ(paging.FCurPage, 3);
    EXPECT_EQ(paging.RowsOnPage(), 5);
    EXPECT_EQ(AlphaPageCaption(paging), "Page: 3/3");
    EXPECT_TRUE(paging.PriorEnabled());
    EXPECT_FALSE(paging.NextEnabled());
    // A narrower list keeps the page unless it no longer exists.
    paging.FCount = 30;
    paging.Clamp();
    EXPECT_EQ(paging.FCurPage, 2);
    paging.FCount = 100;
    paging.Clamp();
    EXPECT_EQ(paging.FCurPage, 2);
    EXPECT_TRUE(paging.Prior());
    EXPECT_FALSE(paging.Prior());
    EXPECT_EQ(paging.FCurPage, 1);
}

TEST(AlphaPaging, ResizeKeepsTheSelectedTermInView) {
    TAlphaPaging paging;
    paging.FCount = 100;
    paging.FCurPage = 3;  // terms 41 to 60
    // Selected row 4 is term 45; 600 px of 20 px rows give 28 rows per page: term 45 is row 17 of page 2.
    EXPECT_EQ(paging.Resize(600, 20, 4), 16);
    EXPECT_EQ(paging.FLinesPerPage, 28);
    EXPECT_EQ(paging.FCurPage, 2);
    // Nothing selected: the first row of the page (term 29) stays in view; 10 rows are too few to change.
    EXPECT_EQ(paging.Resize(200, 20, -1), 0);
    EXPECT_EQ(paging.FLinesPerPage, 28);
    EXPECT_EQ(paging.FCurPage, 2);
    // Back to 20 rows: term 29 is the ninth row of page 2.
    EXPECT_EQ(paging.Resize(440, 20, 0), 8);
    EXPECT_EQ(paging.FCurPage, 2);
    // A term at the end of a page maps to the last row.
    paging.FCurPage = 1;
    EXPECT_EQ(paging.Resize(440, 20, 19), 19);
    EXPECT_EQ(paging.FCurPage, 1);
    // An empty list has no row to select.
    TAlphaPaging empty;
    empty.FCount = 0;
    EXPECT_EQ(empty.Resize(600, 20, -1), -1);
    EXPECT_EQ(empty.FCurPage, 1);
}

TEST(AlphaRowHeight, RoundsTheScaledFontHeightHalfToEven) {
    EXPECT_EQ(AlphaRowHeight(14, 96), 20);  // 18.67 -> 19
    EXPECT_EQ(AlphaRowHeight(14, 72), 15);
    EXPECT_EQ(AlphaRowHeight(1, 180), 3);  // 2.5 -> 2
    EXPECT_EQ(AlphaRowHeight(1, 252), 5);  // 3.5 -> 4
}

TEST(AlphaTexts, LevelCaptionsMarkersTitlesAndPath) {
    TAlphaLetterList letters = Letters({{"A", {"Abscess"}}});
    TTerm& abscess = *letters[0]->FMainTermList[0];
    TTerm* wall = AddSub(abscess, "wall");
    TTerm* deep = AddSub(*wall, "deep");
    EXPECT_EQ(AlphaLevelCaption(nullptr), "Main Term:  ");
    EXPECT_EQ(AlphaLevelCaption(&abscess), "#1 Level Term");
    EXPECT_EQ(AlphaLevelCaption(deep), "#3 Level Term");
    EXPECT_EQ(AlphaMarker(abscess), "+");
    EXPECT_EQ(AlphaMarker(*deep), " ");
    EXPECT_EQ(AlphaRecordsCaption(0), "Records: 0");
    EXPECT_EQ(AlphaWindowTitle(TDataSet::DiseaseIndex), "Disease && Injury Alphabetical Search");
    EXPECT_EQ(AlphaWindowTitle(TDataSet::ExternalIndex), "External Causes of Injury Alphabetical Search");
    EXPECT_EQ(AlphaWindowTitle(TDataSet::DrugTable), "");
    const std::vector<const TTerm*> path = AlphaTermPath(deep);
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[0], &abscess);
    EXPECT_EQ(path[2], deep);
    EXPECT_TRUE(AlphaTermPath(nullptr).empty());
}

TEST(AlphaInitCode, KeepsCategoryAndSubCodeAndRejectsNonCodes) {
    EXPECT_EQ(AlphaInitCode("C79.8-"), "C79.8");
    EXPECT_EQ(AlphaInitCode("I43"), "I43");
    EXPECT_EQ(AlphaInitCode("M86.8X-"), "M86.8X");
    EXPECT_EQ(AlphaInitCode("S52.521A"), "S52.521A");
    EXPECT_EQ(AlphaInitCode("M01.-"), "M01");
    EXPECT_FALSE(AlphaInitCode("C64-"));
    EXPECT_FALSE(AlphaInitCode("--"));
    EXPECT_FALSE(AlphaInitCode(""));
    EXPECT_EQ(AlphaInitCode("c64"), "C64");  // any letter case

    TTerm term(nullptr, 0);
    term.FCode = "A";
    term.FManifest = "B";
    term.FSeeCat = "C";
    term.FSubCat = "D";
    EXPECT_EQ(AlphaCodeField(term, TAlphaCodeKind::Code), "A");
    EXPECT_EQ(AlphaCodeField(term, TAlphaCodeKind::Manifest), "B");
    EXPECT_EQ(AlphaCodeField(term, TAlphaCodeKind::SeeCategory), "C");
    EXPECT_EQ(AlphaCodeField(term, TAlphaCodeKind::SeeSubcategory), "D");
}

TEST(AlphaSearchRealData, DiseaseIndexMainLevelFiltersAndTheAbandonmentRow) {
    EnsureRealDataLoaded();
    ASSERT_EQ(LoadedData().Status[TDataSet::DiseaseIndex].load(), TLoadState::Done);
    std::size_t mainTerms = 0;
    for (const auto& letter : LoadedData().Index.DiseaseIndex) mainTerms += letter->FMainTermList.size();
    const std::vector<TTerm*> all = AlphaFillItemList(LoadedData().Index.DiseaseIndex, nullptr, "");
    EXPECT_EQ(all.size(), mainTerms);
    TAlphaPaging paging;
    paging.FCount = static_cast<int32_t>(all.size());
    EXPECT_EQ(paging.PageCount(), static_cast<int32_t>((mainTerms + 19) / 20));

    // "Ab" lists the main terms of "A" starting with "AB" in any case, and nothing else.
    const std::vector<TTerm*> ab = AlphaFillItemList(LoadedData().Index.DiseaseIndex, nullptr, AlphaFilterKey("Ab"));
    ASSERT_FALSE(ab.empty());
    std::size_t expected = 0;
    for (const auto& term : LoadedData().Index.DiseaseIndex[0]->FMainTermList)
        if (term->FTitle.size() >= 2 && (term->FTitle[0] == 'A' || term->FTitle[0] == 'a') &&
            (term->FTitle[1] == 'b' || term->FTitle[1] == 'B'))
            ++expected;
    EXPECT_EQ(ab.size(), expected);
    EXPECT_EQ(ab.front()->FTitle, "Abandonment");
    EXPECT_TRUE(AlphaFillItemList(LoadedData().Index.DiseaseIndex, nullptr, "1").empty());

    const TTerm* abandonment = ab.front();
    EXPECT_EQ(AlphaMarker(*abandonment), " ");
    EXPECT_EQ(abandonment->GetFullTitle(true), "Abandonment --see Maltreatment");
    EXPECT_TRUE(abandonment->FCode.empty());
    EXPECT_FALSE(AlphaInitCode(abandonment->FCode));
}

TEST(AlphaSearchRealData, ExternalCauseIndexSubLevelOfAMainTerm) {
    EnsureRealDataLoaded();
    ASSERT_EQ(LoadedData().Status[TDataSet::ExternalIndex].load(), TLoadState::Done);
    const TTerm* accident = MainTerm(LoadedData().Index.ExternalIndex, "Accident (to) ");
    ASSERT_NE(accident, nullptr);
    const std::vector<TTerm*> subs = AlphaFillItemList(LoadedData().Index.ExternalIndex, accident, "");
    EXPECT_EQ(subs.size(), accident->FSubTermList.size());
    for (const TTerm* term : AlphaFillItemList(LoadedData().Index.ExternalIndex, accident, "T"))
        EXPECT_TRUE(term->FTitle[0] == 't' || term->FTitle[0] == 'T');
    EXPECT_EQ(AlphaLevelCaption(accident), "#1 Level Term");
}
