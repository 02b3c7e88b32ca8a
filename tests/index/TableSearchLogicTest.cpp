// Logic of the drug and neoplasm table window: filter key and prefix test, the terms one level
// lists (the "#" group for digits), paging and its resize rule, row and label texts, the code a
// cell opens, and what a window does with a nested window's result. Hand-built tables for the
// rules, the real embedded tables for the examples a user meets.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "index/TableSearchLogic.h"
#include "model/CodeLookup.h"
#include "startup/LoadedData.h"
#include "tests/common/TermFixtures.h"
#include "tests/common/TestSupport.h"

TEST(TableFilterKey, TrimsBlanksAndControlsAndCapitalisesOnlyAsciiLetters) {
    EXPECT_EQ(TableFilterKey("  abs\t\r\n"), "ABS");
    EXPECT_EQ(TableFilterKey("\x01p-acet "), "P-ACET");
    EXPECT_EQ(TableFilterKey("m\xC3\xA9ni"), "M\xC3\xA9NI") << "a non-ASCII letter is kept as typed";
    EXPECT_EQ(TableFilterKey("a b"), "A B") << "inner blanks stay";
    EXPECT_EQ(TableFilterKey(" \t "), "");
}

TEST(TableTitleMatches, ComparesThePrefixInAnyCaseAndNeedsTheWholeKey) {
    EXPECT_TRUE(TableTitleMatches("Absinthe", "ABS"));
    EXPECT_TRUE(TableTitleMatches("absinthe", "ABSINTHE"));
    EXPECT_TRUE(TableTitleMatches("anything", ""));
    EXPECT_FALSE(TableTitleMatches("Abs", "ABSI")) << "a title shorter than the key never matches";
    EXPECT_FALSE(TableTitleMatches(" nonessential", "N")) << "a leading blank is part of the title";
    EXPECT_FALSE(TableTitleMatches("m\xC3\xA9ni", "M\xC3\x89NI")) << "only a to z fold";
}

TEST(TableFillItemList, MainLevelPicksTheGroupOfTheFirstCharacterAndDigitsTheHashGroup) {
    const TAlphaLetterList letters = Letters({{"#", {"1-propanol", "2-propanol", "14-hydroxy", "0-test"}},
                                              {"A", {"Absinthe", "/beverage", "Acid", "P-Acetamidophenol"}},
                                              {"B", {"Barium"}}});
    EXPECT_EQ(TableFillItemList(letters, nullptr, "").size(), 8u);
    EXPECT_EQ(Titles(TableFillItemList(letters, nullptr, "1")), (std::vector<std::string>{"1-propanol", "14-hydroxy"}));
    EXPECT_EQ(Titles(TableFillItemList(letters, nullptr, "2-P")), (std::vector<std::string>{"2-propanol"}));
    EXPECT_TRUE(TableFillItemList(letters, nullptr, "0").empty()) << "0 names no group";
    EXPECT_TRUE(TableFillItemList(letters, nullptr, "0-").empty());
    EXPECT_EQ(Titles(TableFillItemList(letters, nullptr, "A")), (std::vector<std::string>{"Absinthe", "Acid"}));
    // A term filed under another letter than its first character is found only by the empty key.
    EXPECT_TRUE(TableFillItemList(letters, nullptr, "P").empty());
    EXPECT_TRUE(TableFillItemList(letters, nullptr, "Z").empty());
    EXPECT_TRUE(TableFillItemList(letters, nullptr, "-").empty());
    // Only the group named by the first character is searched.
    EXPECT_EQ(TableLetterForKey(letters, "BAR"), letters[2].get());
    EXPECT_EQ(TableLetterForKey(letters, "9"), letters[0].get());
    EXPECT_EQ(TableLetterForKey(letters, ""), nullptr);

    // A deeper level filters the sub-terms of its term, whatever their first letter.
    const TTerm* absinthe = MainTerm(letters, "Absinthe");
    ASSERT_NE(absinthe, nullptr);
    EXPECT_EQ(Titles(TableFillItemList(letters, absinthe, "")), (std::vector<std::string>{"beverage"}));
    EXPECT_EQ(Titles(TableFillItemList(letters, absinthe, "BEV")), (std::vector<std::string>{"beverage"}));
    EXPECT_TRUE(TableFillItemList(letters, absinthe, "A").empty());
}

TEST(TTablePaging, CountsClampsAndStepsWithoutWrapping) {
    TTablePaging paging{41, 20, 1};
    EXPECT_EQ(paging.PageCount(), 3);
    EXPECT_FALSE(paging.PriorEnabled());
    EXPECT_TRUE(paging.NextEnabled());
    EXPECT_FALSE(paging.Prior());
    EXPECT_TRUE(paging.Next());
    EXPECT_TRUE(paging.Next());
    EXPECT_EQ(paging.FCurPage, 3);
    EXPECT_EQ(paging.RowsOnPage(), 1);
    EXPECT_EQ(paging.FirstIndex(), 40);
    EXPECT_FALSE(paging.Next()) << "no wrap at the end";
    EXPECT_EQ(TablePageCaption(paging), "Page: 3/3");

    // A narrower filter clamps the page; a wider one keeps it.
    paging.FCount = 25;
    paging.Clamp();
    EXPECT_EQ(paging.FCurPage, 2);
    paging.FCount = 100;
    paging.Clamp();
    EXPECT_EQ(paging.FCurPage, 2);

    TTablePaging empty{0, 20, 4};
    empty.Clamp();
    EXPECT_EQ(empty.FCurPage, 1);
    EXPECT_EQ(empty.RowsOnPage(), 0);
    EXPECT_FALSE(empty.PriorEnabled());
    EXPECT_FALSE(empty.NextEnabled());
    EXPECT_EQ(TablePageCaption(empty), "Page: 0/0");
    EXPECT_EQ(TableRecordsCaption(0), "Records: 0");
}

TEST(TTablePaging, ResizeKeepsTheCurrentTermOnThePageShown) {
    // Term 35 (page 2, row 15 of 20) stays current when pages grow to 22 rows: page 2, row 13.
    TTablePaging paging{100, 20, 2};
    EXPECT_EQ(paging.Resize(50 + 24 * 20, 50, 15), 13);
    EXPECT_EQ(paging.FLinesPerPage, 22);
    EXPECT_EQ(paging.FCurPage, 2);
    // Pages shrink to 9 rows: term 35 is row 8 of page 4.
    EXPECT_EQ(paging.Resize(36 + 11 * 20 + 19, 36, 13), 8);
    EXPECT_EQ(paging.FLinesPerPage, 9);
    EXPECT_EQ(paging.FCurPage, 4);
    // Heading row current: the first term of the page (28) decides, no row to restore.
    EXPECT_EQ(paging.Resize(50 + 24 * 20, 50, 0), 0);
    EXPECT_EQ(paging.FCurPage, 2);
    // Ten rows or fewer fit: the page size is kept.
    EXPECT_EQ(paging.Resize(50 + 10 * 20, 50, 1), 1);
    EXPECT_EQ(paging.FLinesPerPage, 22);
    // An empty list stays on page 1.
    TTablePaging empty{0, 20, 1};
    EXPECT_EQ(empty.Resize(600, 50, 0), 0);
    EXPECT_EQ(empty.FCurPage, 1);
    EXPECT_EQ(empty.FLinesPerPage, 25);
}

TEST(TableTexts, TitlesHeadingsCaptionsAndRowTexts) {
    EXPECT_EQ(TableWindowTitle(TDataSet::DrugTable), "Drugs && Chemicals Alphabetical Search");
    EXPECT_EQ(TableWindowTitle(TDataSet::NeoplasmTable), "Neoplasms Alphabetical Search");
    EXPECT_EQ(TableWindowTitle(TDataSet::DiseaseIndex), "");
    EXPECT_EQ(TableHeadings(TDataSet::DrugTable)[1], "\r\nSubstance");
    EXPECT_EQ(TableHeadings(TDataSet::DrugTable)[2], "Poisoning, Accidental unintentional");
    EXPECT_EQ(TableHeadings(TDataSet::DrugTable)[7], "\r\nUnderdosing");
    EXPECT_EQ(TableHeadings(TDataSet::NeoplasmTable)[1], "");
    EXPECT_EQ(TableHeadings(TDataSet::NeoplasmTable)[4], "Ca in situ");
    EXPECT_EQ(TableHeadings(TDataSet::NeoplasmTable)[7], "Unspecified Behavior");
    EXPECT_EQ(TableHeadingHeight(TDataSet::DrugTable), 50);
    EXPECT_EQ(TableHeadingHeight(TDataSet::NeoplasmTable), 36);
    EXPECT_EQ(TableBackMainCaption(TDataSet::DrugTable), "Back to Main Term (F3)");
    EXPECT_EQ(TableBackMainCaption(TDataSet::NeoplasmTable), "Back To Level #1");
    EXPECT_EQ(TableLevelCaption(nullptr), "Main Term");

    TAlphaLetter letter;
    TTerm term(&letter, 0);
    term.FTitle = "Adrenalin";
    term.FSee = "Adrenaline";
    EXPECT_EQ(TableLevelCaption(&term), "#1 Level Term");
    EXPECT_EQ(TableRowTexts(term),
              (std::array<std::string, 8>{"", "Adrenalin --see Adrenaline", "", "", "", "", "", ""}));
    term.FSubTermList.push_back(std::make_unique<TTerm>(&term, 1));
    TTerm& sub = *term.FSubTermList.back();
    sub.FTitle = "beverage";
    sub.FManifest = "X99";
    sub.FCodesInCell = {"T51.0X1", "T51.0X2", "T51.0X3", "T51.0X4", "--", "--"};
    sub.FSubTermList.push_back(std::make_unique<TTerm>(&sub, 2));
    EXPECT_EQ(TableRowTexts(term)[0], "+");
    EXPECT_EQ(TableRowTexts(sub), (std::array<std::string, 8>{"+", "beverage [X99]", "T51.0X1", "T51.0X2", "T51.0X3",
                                                              "T51.0X4", "--", "--"}))
        << "the qualifier stored as the manifestation shows in the title";
    EXPECT_EQ(TableLevelCaption(sub.FSubTermList.front().get()), "#3 Level Term");
    const std::vector<const TTerm*> path = TableTermPath(sub.FSubTermList.front().get());
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[0], &term);
    EXPECT_EQ(path[1], &sub);
    EXPECT_TRUE(TableTermPath(nullptr).empty());
}

TEST(TableCellInitCode, OpensCodesAndIncompleteCodesAndRejectsEverythingElse) {
    EXPECT_EQ(TableCellInitCode(1, 2, "T51.0X1"), std::optional<std::string>("T51.0X1"));
    EXPECT_EQ(TableCellInitCode(1, 7, "C79.8-"), std::optional<std::string>("C79.8"));
    EXPECT_EQ(TableCellInitCode(1, 3, "D24.-"), std::optional<std::string>("D24"));
    EXPECT_EQ(TableCellInitCode(20, 4, "C80.1"), std::optional<std::string>("C80.1"));
    EXPECT_EQ(TableCellInitCode(1, 5, "I43"), std::optional<std::string>("I43"));
    EXPECT_EQ(TableCellInitCode(1, 6, "C44.40 "), std::optional<std::string>("C44.40")) << "trailing blank of the file";
    EXPECT_EQ(TableCellInitCode(1, 2, "t51.0x1"), std::optional<std::string>("T51.0X1"));
    for (const char* text : {"--", "-", "", "C64-", "\r\nSubstance", "Adverse effect", "Absinthe", "T51.0X1A9"})
        EXPECT_EQ(TableCellInitCode(1, 2, text), std::nullopt) << '"' << text << '"';
    // Titles, the marker column and the heading row never open a code, whatever they read.
    for (const char* title : {"B15", "LSD", "T51.0X1"}) {
        EXPECT_EQ(TableCellInitCode(1, 1, title), std::nullopt) << title;
        EXPECT_EQ(TableCellInitCode(1, 0, title), std::nullopt) << title;
        EXPECT_EQ(TableCellInitCode(0, 2, title), std::nullopt) << title;
        EXPECT_EQ(TableCellInitCode(1, 8, title), std::nullopt) << title;
    }
}

TEST(TableChildResultAction, BackToMainEndsNestedWindowsButNotTheNeoplasmTop) {
    TAlphaLetter letter;
    TTerm main(&letter, 0);
    TTerm site(&main, 1);
    // Quit always passes up.
    for (const TTerm* item : std::initializer_list<const TTerm*>{nullptr, &main, &site})
        for (TDataSet type : {TDataSet::DrugTable, TDataSet::NeoplasmTable})
            EXPECT_EQ(TableChildResultAction(3, type, item), TTableChildAction::EndWithQuit);
    // Back to the main term: the drug top window stays, every nested drug window ends.
    EXPECT_EQ(TableChildResultAction(1, TDataSet::DrugTable, nullptr), TTableChildAction::Stay);
    EXPECT_EQ(TableChildResultAction(1, TDataSet::DrugTable, &main), TTableChildAction::EndWithBack);
    EXPECT_EQ(TableChildResultAction(1, TDataSet::DrugTable, &site), TTableChildAction::EndWithBack);
    // The neoplasm top window holds the single main term and stays; deeper windows end.
    EXPECT_EQ(TableChildResultAction(1, TDataSet::NeoplasmTable, &main), TTableChildAction::Stay);
    EXPECT_EQ(TableChildResultAction(1, TDataSet::NeoplasmTable, &site), TTableChildAction::EndWithBack);
    // Back one level: stay.
    for (const TTerm* item : std::initializer_list<const TTerm*>{nullptr, &main, &site})
        EXPECT_EQ(TableChildResultAction(2, TDataSet::DrugTable, item), TTableChildAction::Stay);
}

TEST(TableSearchRealData, DrugTableExamples) {
    EnsureRealDataLoaded();
    const TAlphaLetterList& drugs = LoadedData().Index.DrugTable;
    EXPECT_EQ(Titles(TableFillItemList(drugs, nullptr, TableFilterKey("1"))),
              (std::vector<std::string>{"1-propanol", "14-hydroxydihydro-morphinone"}));
    EXPECT_TRUE(TableFillItemList(drugs, nullptr, "0").empty());
    const std::vector<TTerm*> absinthe = TableFillItemList(drugs, nullptr, TableFilterKey("absinthe"));
    ASSERT_EQ(absinthe.size(), 1u);
    EXPECT_EQ(TableRowTexts(*absinthe.front()),
              (std::array<std::string, 8>{"+", "Absinthe", "T51.0X1", "T51.0X2", "T51.0X3", "T51.0X4", "--", "--"}));
    const std::vector<TTerm*> adrenalin = TableFillItemList(drugs, nullptr, "ADRENALIN ");
    ASSERT_EQ(adrenalin.size(), 0u) << "a key ending in a blank is no trimmed key";
    // "Adrenalin" only refers to "Adrenaline" (listed just before it): a row of empty code cells.
    const std::vector<TTerm*> adrenalinRows = TableFillItemList(drugs, nullptr, TableFilterKey("Adrenalin"));
    ASSERT_GE(adrenalinRows.size(), 2u);
    EXPECT_EQ(adrenalinRows[0]->FTitle, "Adrenaline");
    EXPECT_EQ(adrenalinRows[1]->FTitle, "Adrenalin");
    EXPECT_EQ(TableRowTexts(*adrenalinRows[1]),
              (std::array<std::string, 8>{"", "Adrenalin --see Adrenaline", "", "", "", "", "", ""}));
    // "P-Acetamidophenol" is filed under "A": listed by the empty key only.
    const std::vector<TTerm*> all = TableFillItemList(drugs, nullptr, "");
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const TTerm* t) { return t->FTitle == "P-Acetamidophenol"; }));
    const std::vector<TTerm*> p = TableFillItemList(drugs, nullptr, "P-ACET");
    EXPECT_TRUE(p.empty());
}

TEST(TableSearchRealData, NeoplasmTableHasOneMainTermWhoseSitesStartWithAbdomen) {
    EnsureRealDataLoaded();
    const std::vector<TTerm*> main = TableFillItemList(LoadedData().Index.NeoplasmTable, nullptr, "");
    ASSERT_EQ(main.size(), 1u);
    EXPECT_EQ(main.front()->FTitle, "Neoplasm, neoplastic ");
    const std::vector<TTerm*> sites = TableFillItemList(LoadedData().Index.NeoplasmTable, main.front(), "");
    ASSERT_GT(sites.size(), 20u);
    EXPECT_EQ(sites.front()->FTitle, "abdomen, abdominal");
    EXPECT_EQ(TableRowTexts(*sites.front())[3], "C79.8-");
    EXPECT_EQ(TableLevelCaption(sites.front()), "#2 Level Term");
    const std::vector<TTerm*> bookLeaf = TableFillItemList(LoadedData().Index.NeoplasmTable, main.front(), "BOOK-LEAF");
    ASSERT_FALSE(bookLeaf.empty());
    EXPECT_NE(TableRowTexts(*bookLeaf.front())[1].find("[ventral surface of tongue and floor of mouth]"),
              std::string::npos);
}

// Every cell of both tables either says "no code" or opens a code of the Tabular List.
TEST(TableSearchRealData, EveryCodeCellOpensACodeOfTheTabularList) {
    EnsureRealDataLoaded();
    std::size_t opened = 0;
    std::set<std::string> unknown;
    std::set<std::string> rejected;
    std::function<void(const TTerm&)> visit = [&](const TTerm& term) {
        for (int column = TTerm::FirstCellColumn; column <= TTerm::LastCellColumn; ++column) {
            const std::string& cell = term.FCodesInCell[static_cast<std::size_t>(column - TTerm::FirstCellColumn)];
            if (cell.empty() || cell == "--" || cell == "-") continue;
            const std::optional<std::string> code = TableCellInitCode(1, column, cell);
            if (!code)
                rejected.insert(cell);
            else if (FindNode(*code) == nullptr)
                unknown.insert(*code);
            else
                ++opened;
        }
        for (const auto& sub : term.FSubTermList) visit(*sub);
    };
    for (const TAlphaLetterList* letters : {&LoadedData().Index.DrugTable, &LoadedData().Index.NeoplasmTable})
        for (const auto& letter : *letters)
            for (const auto& term : letter->FMainTermList) visit(*term);
    EXPECT_GT(opened, 10000u);
    EXPECT_TRUE(rejected.empty()) << "first rejected: " << *rejected.begin();
    EXPECT_TRUE(unknown.empty()) << unknown.size() << " unknown, first: " << *unknown.begin();
}
