// The suggestion logic on hand-written keyword sets: input splitting, insertion, filtering by the
// keywords before the last comma, the sorted suggestion list and its pages.
#include <gtest/gtest.h>

#include <sstream>

#include "keywords/KeywordPrompt.h"

namespace {

struct TPromptFixture {
    TKeywordTables tables;
    TKeywordPrompt prompt{tables};

    explicit TPromptFixture(const std::string& text) {
        TLoadStatus status{TLoadState::NotStarted};
        std::istringstream source(text);
        LoadCodeKeywords(source, true, false, true, tables, status);
    }

    std::vector<std::string> Cells() const {
        std::vector<std::string> cells;
        for (const std::string& cell : prompt.FCells) {
            if (!cell.empty()) cells.push_back(cell);
        }
        return cells;
    }
};

const char* const TyphoidSet =
    "A01 typhoid, meningitis, fever, Para Typhoid,\r\n"
    "A75 typhus, fever,\r\n"
    "X37 typhoon, TYPHOID,\r\n"
    "Z22 typhoid, meningococci, carrier,\r\n";

}  // namespace

TEST(SplitKeywordInput, PartBeforeTheLastCommaAndTheTrimmedWord) {
    std::string before;
    std::string word;
    SplitKeywordInput("", before, word);
    EXPECT_EQ(before, "");
    EXPECT_EQ(word, "");
    SplitKeywordInput(" typ ", before, word);
    EXPECT_EQ(before, "");
    EXPECT_EQ(word, "typ");
    SplitKeywordInput("gas, abdomen, pa in", before, word);
    EXPECT_EQ(before, "gas, abdomen");
    EXPECT_EQ(word, "pa in");
    SplitKeywordInput(",men", before, word);
    EXPECT_EQ(before, "");
    EXPECT_EQ(word, "men");
    SplitKeywordInput("typhoid,", before, word);
    EXPECT_EQ(before, "typhoid");
    EXPECT_EQ(word, "");
}

TEST(InsertPromptKeyword, ReplacesTheTypedWordAndAddsAComma) {
    EXPECT_EQ(InsertPromptKeyword("typhoid,men", "Meningitis"), "typhoid,Meningitis,");
    EXPECT_EQ(InsertPromptKeyword("typ", "Typhoid"), "Typhoid,");
    EXPECT_EQ(InsertPromptKeyword(",men", "Meningitis"), "Meningitis,");
    EXPECT_EQ(InsertPromptKeyword("a, b ,  c", "Cyst"), "a, b ,Cyst,");
}

TEST(PromptPrefix, IgnoresCaseTreatsBlankAndHyphenAlikeAndKnowsJoinedSpellings) {
    EXPECT_TRUE(PromptPrefixMatches("typ", "Typhoid"));
    EXPECT_TRUE(PromptPrefixMatches("para-t", "Para Typhoid"));
    EXPECT_TRUE(PromptPrefixMatches("para t", "Para-Typhoid"));
    // Joined spellings: "xr" and "xray" begin "X-Ray", "crohns" begins "Crohn's Disease".
    EXPECT_TRUE(PromptPrefixMatches("parat", "Para Typhoid"));
    EXPECT_TRUE(PromptPrefixMatches("xr", "X-Ray"));
    EXPECT_TRUE(PromptPrefixMatches("xray", "X Ray"));
    EXPECT_TRUE(PromptPrefixMatches("crohns", "Crohn's Disease"));
    EXPECT_FALSE(PromptPrefixMatches("xrays", "X-Ray"));
    EXPECT_FALSE(PromptPrefixMatches("typhoids", "Typhoid"));
    EXPECT_TRUE(PromptPrefixMatches("", "Typhoid"));
}

TEST(KeywordPrompt, SuggestsEachMatchingKeywordOnceSortedSpelledAsInTheSet) {
    TPromptFixture fixture(TyphoidSet);
    ASSERT_TRUE(fixture.prompt.RefreshPrompt("typ", false));
    EXPECT_EQ(fixture.prompt.FGotPromptList.Items(), (TStringList{"Typhoid", "Typhoon", "Typhus"}));
    EXPECT_EQ(fixture.Cells(), (std::vector<std::string>{"Typhoid", "Typhoon", "Typhus"}));
    EXPECT_EQ(fixture.prompt.Cell(2, 0), "Typhus");
    EXPECT_EQ(fixture.prompt.FCaption, std::string("1/1  ") + PromptHint);

    // The same word again changes nothing.
    EXPECT_FALSE(fixture.prompt.RefreshPrompt("typ", false));
    EXPECT_EQ(fixture.prompt.FGotPromptList.Count(), 3u);

    // para-t offers what para t offers.
    fixture.prompt.RefreshPrompt("para-t", false);
    const TStringList hyphen = fixture.prompt.FGotPromptList.Items();
    fixture.prompt.RefreshPrompt("para t", false);
    EXPECT_EQ(fixture.prompt.FGotPromptList.Items(), hyphen);
    EXPECT_EQ(hyphen, TStringList{"Para Typhoid"});
}

TEST(KeywordPrompt, KeywordsBeforeTheCommaNarrowTheCategoriesButNotInFullText) {
    TPromptFixture fixture(TyphoidSet);
    fixture.prompt.RefreshPrompt("typhoid,men", false);
    EXPECT_EQ(fixture.prompt.FGotPromptList.Items(), (TStringList{"Meningitis", "Meningococci"}));
    EXPECT_EQ(fixture.prompt.FFiltedCodeKWs.size(), 3u);  // A01, X37, Z22
    EXPECT_EQ(fixture.prompt.FInputedKWs.Items(), TStringList{"TYPHOID"});
    EXPECT_TRUE(fixture.prompt.FTmpInputedKWs.Empty());

    fixture.prompt.RefreshPrompt("typhoid,fever,f", false);
    EXPECT_EQ(fixture.prompt.FGotPromptList.Items(), TStringList{"Fever"});
    EXPECT_EQ(fixture.prompt.FFiltedCodeKWs.size(), 1u);

    // A75 gains TYPHOID behind the prompt's back: the same keywords in another case and order
    // keep the cached filter, so A75 stays out until the keywords change.
    FindCodeKeywords(fixture.tables.Codes, "A75")->AddKeyword("Typhoid");
    fixture.prompt.RefreshPrompt("FEVER,typhoid,fe", false);
    ASSERT_EQ(fixture.prompt.FFiltedCodeKWs.size(), 1u);
    EXPECT_EQ(fixture.prompt.FFiltedCodeKWs[0]->FCode, "A01");
    fixture.prompt.RefreshPrompt("typhoid,fe", false);
    EXPECT_EQ(fixture.prompt.FFiltedCodeKWs.size(), 4u);
    FindCodeKeywords(fixture.tables.Codes, "A75")->FKeywords = {"Fever", "Typhus"};

    // The keywords before the comma changed while the word stayed: recomputed.
    EXPECT_TRUE(fixture.prompt.RefreshPrompt("typhus,fe", false));
    EXPECT_EQ(fixture.prompt.FGotPromptList.Items(), TStringList{"Fever"});
    EXPECT_EQ(fixture.prompt.FFiltedCodeKWs.size(), 1u);
    EXPECT_EQ(fixture.prompt.FFiltedCodeKWs[0]->FCode, "A75");

    // Full text: every distinct keyword of the set, no filter.
    EXPECT_TRUE(fixture.prompt.RefreshPrompt("typhus,men", true));
    EXPECT_EQ(fixture.prompt.FGotPromptList.Items(), (TStringList{"Meningitis", "Meningococci"}));

    // Without keywords before the comma every record takes part.
    fixture.prompt.RefreshPrompt("me", false);
    EXPECT_EQ(fixture.prompt.FFiltedCodeKWs.size(), fixture.tables.Codes.size());
    EXPECT_TRUE(fixture.prompt.FInputedKWs.Empty());
}

TEST(KeywordPrompt, NinetyFiveSuggestionsMakeThreePagesOfFortyClamped) {
    std::string text = "A01 ";
    for (int i = 0; i < 95; ++i) text += "kw" + std::to_string(100 + i) + ",";
    TPromptFixture fixture(text + "\r\nB02 other,\r\n");
    fixture.prompt.RefreshPrompt("k", false);
    ASSERT_EQ(fixture.prompt.FGotPromptList.Count(), 95u);
    EXPECT_EQ(fixture.prompt.PageCount(), 3);
    EXPECT_EQ(fixture.prompt.FCaption.substr(0, 5), "1/3  ");
    EXPECT_EQ(fixture.Cells().size(), 40u);
    EXPECT_EQ(fixture.prompt.Cell(0, 0), "Kw100");
    EXPECT_EQ(fixture.prompt.Cell(3, 9), "Kw139");

    fixture.prompt.PriorPage(false);
    EXPECT_EQ(fixture.prompt.FLastPromptPage, 1);
    fixture.prompt.NextPage(false);
    fixture.prompt.NextPage(false);
    EXPECT_EQ(fixture.prompt.FLastPromptPage, 3);
    EXPECT_EQ(fixture.prompt.FCaption.substr(0, 5), "3/3  ");
    EXPECT_EQ(fixture.Cells().size(), 15u);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) EXPECT_FALSE(fixture.prompt.Cell(column, row).empty());
    }
    EXPECT_EQ(fixture.prompt.Cell(0, 3), "Kw192");
    EXPECT_EQ(fixture.prompt.Cell(2, 3), "Kw194");
    EXPECT_TRUE(fixture.prompt.Cell(3, 3).empty());
    EXPECT_TRUE(fixture.prompt.Cell(0, 4).empty());

    fixture.prompt.NextPage(false);
    EXPECT_EQ(fixture.prompt.FLastPromptPage, 3);
    EXPECT_EQ(fixture.Cells().size(), 15u);
}

TEST(KeywordPrompt, NoSuggestionLeavesTheGridEmptyAndTheCaptionAsItWas) {
    TPromptFixture fixture(TyphoidSet);
    EXPECT_EQ(fixture.prompt.FCaption, PromptHint);
    fixture.prompt.RefreshPrompt("typ", false);
    const std::string caption = fixture.prompt.FCaption;
    fixture.prompt.RefreshPrompt("zzz", false);
    EXPECT_TRUE(fixture.Cells().empty());
    EXPECT_EQ(fixture.prompt.FCaption, caption);
    // An empty word empties the list.
    fixture.prompt.RefreshPrompt("typhoid,", false);
    EXPECT_TRUE(fixture.prompt.FGotPromptList.Empty());
    EXPECT_EQ(fixture.prompt.FLastPromptPage, 1);
}

TEST(KeywordPrompt, RefilledTablesDropTheCachedFilter) {
    TPromptFixture fixture(TyphoidSet);
    fixture.prompt.RefreshPrompt("typhoid,men", false);
    ASSERT_FALSE(fixture.prompt.FFiltedCodeKWs.empty());
    // Replace the tables as the administrator tool does.
    fixture.tables.ClearCodes();
    TLoadStatus status{TLoadState::NotStarted};
    std::istringstream source("B01 typhoid, mental,\r\n");
    LoadCodeKeywords(source, true, false, true, fixture.tables.Codes, fixture.tables.Refs, status);
    EXPECT_TRUE(fixture.prompt.RefreshPrompt("typhoid,men", false));
    EXPECT_EQ(fixture.prompt.FGotPromptList.Items(), TStringList{"Mental"});
}

TEST(SortedKeywordList, CaseInsensitiveOrderFirstSpellingKept) {
    TSortedKeywordList list;
    EXPECT_TRUE(list.Add("beta"));
    EXPECT_TRUE(list.Add("Alpha"));
    EXPECT_FALSE(list.Add("ALPHA"));
    EXPECT_TRUE(list.Add("alphabet"));
    EXPECT_TRUE(list.Add("Gamma"));
    EXPECT_EQ(list.Items(), (TStringList{"Alpha", "alphabet", "beta", "Gamma"}));
    // Hyphens and apostrophes are skipped; a phrase stays beside the word it begins with.
    list.Clear();
    for (const char* text : {"Tympanum", "Ty-Neg", "Tylosis", "Heartburn", "Heart Failure", "Heart", "Crohn's Disease",
                             "Crohn", "Preeclampsia", "Pre-eclampsia", "Crohns"}) {
        list.Add(text);
    }
    EXPECT_EQ(list.Items(), (TStringList{"Crohn", "Crohns", "Crohn's Disease", "Heart", "Heart Failure", "Heartburn",
                                         "Pre-eclampsia", "Preeclampsia", "Tylosis", "Tympanum", "Ty-Neg"}));
}
