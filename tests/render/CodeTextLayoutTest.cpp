// Layout of hand-built model pieces: wrapping, indentation, line kinds, note prefixes, page fitting
// and the visual impairment table.
#include <gtest/gtest.h>

#include "render/CodeTextLayout.h"
#include "tests/render/ModelBuilder.h"

namespace {

std::u32string Blanks(std::size_t count) {
    return std::u32string(count, U' ');
}

struct TLayout {
    TLayoutLines lines;
    std::string kinds;
    TTypeWordList typeWords;
    int selectedLine = 1;
};

TLayout LayOutCode(const TCodeInfo& code, int width, int linesPerPage, const std::string& tail = {}) {
    TLayout layout;
    AppendCodeText(code, width, linesPerPage, tail, layout.selectedLine, layout.kinds, layout.typeWords, layout.lines);
    return layout;
}

// Adds ACount inclusion terms "term N" to a node; each lays out as one kind-4 line.
void AddInclusionTerms(TCodeInfo& code, int count) {
    auto& terms = AddNote<TInclusionTerm>(code.FItemList, {});
    for (int index = 0; index < count; ++index) terms.FNoteList.push_back("term " + std::to_string(index + 1));
}

}  // namespace

TEST(LevelIndentAndPadText, FollowTheTables) {
    const int plain[] = {0, 2, 4, 6, 8, 8};
    const int deep[] = {0, 6, 10, 13, 16, 16};
    for (int level = 0; level <= 5; ++level) {
        EXPECT_EQ(LevelIndent(level, false), Blanks(plain[level])) << level;
        EXPECT_EQ(LevelIndent(level, true), Blanks(deep[level])) << level;
    }
    EXPECT_EQ(PadText(10, U'*', U"abc", 0), U"***abc****");  // fill 7: 3 before, 4 after
    EXPECT_EQ(PadText(6, U'.', U"ab", -1), U"ab....");
    EXPECT_EQ(PadText(6, U'.', U"ab", 1), U"....ab");
    EXPECT_EQ(PadText(3, U'.', U"abcdef", 0), U"abcdef");  // never cut
    EXPECT_EQ(PadText(5, U' ', U"ééé", 0), U" ééé ");      // counts characters, not bytes
}

TEST(ContinuationKind, FollowsTheArithmeticRule) {
    EXPECT_EQ(ContinuationKind(lkNote), lkNoteCont);
    EXPECT_EQ(ContinuationKind(lkHeading), lkTextCont);
    EXPECT_EQ(ContinuationKind(lkHeaderCode), lkTextCont);
    EXPECT_EQ(ContinuationKind(lkFinalCode), lkTextCont);
    EXPECT_EQ(ContinuationKind(lkInclusion), lkInclusionCont);
    EXPECT_EQ(ContinuationKind(lkSevenCharCode), lkSevenCharCodeCont);
    EXPECT_EQ(ContinuationKind(lkInclusionCont), lkInclusionCont);
    EXPECT_EQ(KindDigit(lkInclusionCont), 'C');
    EXPECT_EQ(KindOfDigit('D'), lkSevenCharCodeCont);
    EXPECT_EQ(KindOfDigit('x'), -1);
}

TEST(WrapTextLine, ExactWidthStaysOneLine) {
    TLayoutLines lines;
    std::string kinds;
    WrapTextLine(std::u32string(40, U'a'), 40, Blanks(4), lkFinalCode, lines, kinds);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(kinds, "3");
}

TEST(WrapTextLine, WidthPlusOneEndingInSpaceLeavesAPrefixOnlyLine) {
    TLayoutLines lines;
    std::string kinds;
    WrapTextLine(std::u32string(40, U'a') + U" ", 40, Blanks(4), lkFinalCode, lines, kinds);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::u32string(40, U'a'));
    EXPECT_EQ(lines[1], Blanks(4));
    EXPECT_EQ(kinds, "39");
}

TEST(WrapTextLine, BreaksAtRightMostSpaceAndContinuesUnderThePrefix) {
    TLayoutLines lines;
    std::string kinds;
    // The space at position width+1 counts: "aaa bbb" + " " + ...
    WrapTextLine(U"aaa bbb ccc ddd", 7, Blanks(2), lkNote, lines, kinds);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], U"aaa bbb");
    EXPECT_EQ(lines[1], U"  ccc");
    EXPECT_EQ(lines[2], U"  ddd");
    EXPECT_EQ(kinds, "088");
}

TEST(WrapTextLine, KeepsAnOverLongWordWholeAndNeverBreaksInsideThePrefix) {
    TLayoutLines lines;
    std::string kinds;
    const std::u32string word = U"abcdefghijklmnopqrstuvwxyz";
    // After the first break only the prefix precedes the long word: the whole rest stays together.
    WrapTextLine(U"abc " + word + U" tail", 10, U"  ", lkInclusion, lines, kinds);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], U"abc");
    EXPECT_EQ(lines[1], U"  " + word + U" tail");
    EXPECT_EQ(kinds, "4C");

    // The only space lies within the prefix's length: no break at all.
    lines.clear();
    kinds.clear();
    WrapTextLine(U"ab " + word, 10, Blanks(6), lkHeading, lines, kinds);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(kinds, "1");
}

TEST(WrapTextLine, CountsCharactersNotBytes) {
    TLayoutLines accented;
    TLayoutLines ascii;
    std::string kinds;
    WrapTextLine(U32("Ménière disease of the éar, bilatéral"), 20, Blanks(4), lkFinalCode, accented, kinds);
    WrapTextLine(U"Meniere disease of the ear, bilateral", 20, Blanks(4), lkFinalCode, ascii, kinds);
    ASSERT_EQ(accented.size(), ascii.size());
    for (std::size_t index = 0; index < ascii.size(); ++index) EXPECT_EQ(accented[index].size(), ascii[index].size());
    EXPECT_EQ(Utf8(accented[0]), "Ménière disease of");
}

TEST(AppendCodeText, CodeLinesWrapUnderTheDescriptionWithTheirKinds) {
    std::unique_ptr<TCodeInfo> root;
    TCodeInfo& category = AddCode(root, nullptr, "A01", "Typhoid and paratyphoid fevers");
    AddCode(root, &category, "A01.0", "Typhoid fever");
    const TLayout layout = LayOutCode(category, 20, 16);
    const TLayoutLines expected = {U"A01 Typhoid and", U"    paratyphoid", U"    fevers", U"  A01.0 Typhoid",
                                   U"        fever"};
    EXPECT_EQ(layout.lines, expected);
    EXPECT_EQ(layout.kinds, "29939");
}

TEST(AppendCodeText, SeventhCharacterLeafIsKindFiveAndDefinitionRowsAreInclusions) {
    std::unique_ptr<TCodeInfo> root;
    TCodeInfo& category = AddCode(root, nullptr, "S52", "Fracture of forearm");
    AddNote<TSevenCharNote>(category.FItemList, {"The appropriate 7th character is to be added"});
    AddSevenCharDef(category, {{"A", "initial encounter for closed fracture"}, {"D", "subsequent encounter"}});
    TCodeInfo& fifth = AddCode(root, &category, "S52.5", "Fracture of lower end of radius");
    TCodeInfo& sixth = AddCode(root, &fifth, "S52.52", "Torus fracture of radius");
    AddCode(root, &sixth, "S52.521", "Torus fracture of lower end of right radius");

    const TLayout layout = LayOutCode(category, 40, 100);
    ASSERT_EQ(layout.lines.size(), layout.kinds.size());
    // The note without a type word uses the code line's hanging prefix (4 = "S52 ").
    EXPECT_EQ(layout.lines[1], U"    The appropriate 7th character is to");
    EXPECT_EQ(layout.lines[2], U"    be added");
    EXPECT_EQ(layout.lines[3], U"      A - initial encounter for closed");
    EXPECT_EQ(layout.lines[4], U"      fracture");
    EXPECT_EQ(layout.lines[5], U"      D - subsequent encounter");
    // Header codes are kind 2 even though a definition applies; the leaf takes the seventh character.
    EXPECT_EQ(layout.kinds,
              "24C4C422"
              "5D");
    EXPECT_EQ(layout.lines[8], U"      S52.521 Torus fracture of lower");
    EXPECT_EQ(layout.lines[9], Blanks(14) + U"end of right radius");
    EXPECT_TRUE(layout.typeWords.empty());
}

TEST(AppendCodeText, NotesUseTypeWordIndentAndRecordTypeWordsOnce) {
    std::unique_ptr<TCodeInfo> root;
    TCodeInfo& category = AddCode(root, nullptr, "A02", "Other salmonella infections");
    AddNote<TInclusionTerm>(category.FItemList, {"infection or foodborne intoxication due to Salmonella"});
    AddNote<TExcludes1>(category.FItemList,
                        {"typhoid fever of the intestinal tract with perforation (A01.0)", "paratyphoid (A01.1)"});
    AddNote<TIncludes>(category.FItemList, {"salmonellosis"});
    TCodeInfo& child = AddCode(root, &category, "A02.0", "Salmonella enteritis");
    AddNote<TExcludes1>(child.FItemList, {"food poisoning"});
    AddNote<TNotes>(child.FItemList, {});

    const TLayout layout = LayOutCode(category, 40, 100);
    const TLayoutLines expected = {
        U"A02 Other salmonella infections",       U"      infection or foodborne",
        U"      intoxication due to Salmonella",  U"    EXCLUDES 1: typhoid fever of the",
        U"                intestinal tract with", U"                perforation (A01.0)",
        U"                paratyphoid (A01.1)",   U"    INCLUDES salmonellosis",
        U"  A02.0 Salmonella enteritis",          U"      EXCLUDES 1: food poisoning",
    };
    EXPECT_EQ(layout.lines, expected);
    EXPECT_EQ(layout.kinds,
              "24C08804"
              "30");
    EXPECT_EQ(layout.typeWords, (TTypeWordList{U"EXCLUDES 1:", U"INCLUDES"}));
}

TEST(AppendCodeText, SelectedTailMarksTheFirstLineOfTheMatchingCode) {
    std::unique_ptr<TCodeInfo> root;
    TCodeInfo& category = AddCode(root, nullptr, "A00", "Cholera");
    AddCode(root, &category, "A00.0", "Cholera due to Vibrio cholerae 01, biovar cholerae");
    AddCode(root, &category, "A00.1", "Cholera due to Vibrio cholerae 01, biovar eltor");
    EXPECT_EQ(LayOutCode(category, 40, 16, "1").selectedLine, 4);
    EXPECT_EQ(LayOutCode(category, 90, 16, "1").selectedLine, 3);
    EXPECT_EQ(LayOutCode(category, 90, 16, "7").selectedLine, 1);  // no match: unchanged
    EXPECT_EQ(LayOutCode(category, 90, 16, "").selectedLine, 1);
}

TEST(AppendCodeText, BlockThatWouldStraddleAPageMovesWithFillers) {
    std::unique_ptr<TCodeInfo> root;
    TCodeInfo& category = AddCode(root, nullptr, "A01", "Typhoid");
    AddInclusionTerms(category, 12);  // lines 1-13
    TCodeInfo& moved = AddCode(root, &category, "A01.1", "Paratyphoid fever A");
    AddInclusionTerms(moved, 4);  // 5 lines that would stand on 14-18
    AddCode(root, &category, "A01.2", "Paratyphoid fever B");

    const TLayout layout = LayOutCode(category, 90, 16, "1");
    EXPECT_EQ(layout.kinds, "2" + std::string(12, '4') + "555" + "3" + "4444" + "3");
    EXPECT_EQ(layout.lines[16], U"  A01.1 Paratyphoid fever A");  // line 17, top of page 2
    EXPECT_TRUE(layout.lines[13].empty() && layout.lines[14].empty() && layout.lines[15].empty());
    EXPECT_EQ(layout.selectedLine, 17);
}

TEST(AppendCodeText, BlockLongerThanAPageOrStartingAtTheTopStays) {
    std::unique_ptr<TCodeInfo> root;
    TCodeInfo& category = AddCode(root, nullptr, "A01", "Typhoid");
    AddInclusionTerms(category, 12);
    TCodeInfo& tall = AddCode(root, &category, "A01.1", "Paratyphoid fever A");
    AddInclusionTerms(tall, 19);  // 20 lines from line 14: longer than a page
    const TLayout layout = LayOutCode(category, 90, 16);
    EXPECT_EQ(layout.kinds, "2" + std::string(12, '4') + "3" + std::string(19, '4'));

    std::unique_ptr<TCodeInfo> root2;
    TCodeInfo& top = AddCode(root2, nullptr, "A02", "Salmonella");
    AddInclusionTerms(top, 15);  // lines 1-16
    TCodeInfo& atTop = AddCode(root2, &top, "A02.0", "Enteritis");
    AddInclusionTerms(atTop, 3);  // lines 17-20: starts a page, fits
    EXPECT_EQ(LayOutCode(top, 90, 16).kinds, "2" + std::string(15, '4') + "3444");
}

TEST(AppendSectionAndChapterText, HeadingAndNotesHangUnderTheScope) {
    TChapter chapter;
    chapter.FInfo.FScope = "(A00-B99)";
    chapter.FInfo.FName = "Certain infectious and parasitic diseases";
    AddNote<TIncludes>(chapter.FInfo.FItemList, {"diseases generally recognized as communicable or transmissible"});
    AddNote<TExcludes2>(chapter.FInfo.FItemList, {"carrier or suspected carrier of infectious disease (Z22.-)",
                                                  "infectious and parasitic diseases complicating pregnancy"});
    TLayoutLines lines;
    std::string kinds;
    TTypeWordList typeWords;
    AppendChapterText(chapter, 90, lines, kinds, typeWords);
    const TLayoutLines expected = {
        U"(A00-B99) Certain infectious and parasitic diseases",
        Blanks(10) + U"INCLUDES diseases generally recognized as communicable or transmissible",
        Blanks(10) + U"EXCLUDES 2: carrier or suspected carrier of infectious disease (Z22.-)",
        Blanks(22) + U"infectious and parasitic diseases complicating pregnancy",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(kinds, "1000");  // section and chapter notes are all kind 0, INCLUDES too
    EXPECT_EQ(typeWords, (TTypeWordList{U"INCLUDES", U"EXCLUDES 2:"}));

    TChapter chapterNoInfo;
    TSubChapter section(&chapterNoInfo);
    section.FInfo.FScope = "(A00-A09)";
    section.FInfo.FName = "Intestinal infectious diseases";
    lines.clear();
    kinds.clear();
    AppendSectionText(section, 30, kinds, typeWords, lines);
    EXPECT_EQ(lines, (TLayoutLines{U"(A00-A09) Intestinal", U"          infectious diseases"}));
    EXPECT_EQ(kinds, "19");
}

TEST(AppendVisualImpairmentTable, RowsAreNinetyWideAndLaterRangesShiftLeft) {
    TVisualImpairment table;
    const auto addCategory = [&](int value, std::vector<std::pair<const char*, const char*>> ranges) {
        auto category = std::make_unique<TVisCategory>();
        category->FValue = value;
        for (std::size_t slot = 0; slot < ranges.size(); ++slot) {
            if (ranges[slot].first == nullptr) continue;
            category->VisRanges[slot] = std::make_unique<TVisRange>();
            category->VisRanges[slot]->FVisMax = ranges[slot].first;
            category->VisRanges[slot]->FVisMin = ranges[slot].second;
        }
        table.FVisCategoryList.push_back(std::move(category));
    };
    addCategory(1, {{"6/18", "6/60"}, {"3/10(0.3)", "1/10(0.1)"}});
    addCategory(7, {{nullptr, nullptr}, {"ignored", "ignored"}});  // no first range: no rows at all
    addCategory(9, {{"Undetermined or unspecified", ""}});

    TLayoutLines lines;
    std::string kinds;
    AppendVisualImpairmentTable(table, lines, kinds);
    const std::u32string dashes90(90, U'-');
    const std::u32string separator =
        U"|" + std::u32string(17, U'-') + U"|" + std::u32string(34, U'-') + U"|" + std::u32string(35, U'-') + U"|";
    const TLayoutLines expected = {
        dashes90,
        U"|   Category of   |" + Blanks(13) + U"Visual acuity with best possible correction" + Blanks(14) + U"|",
        U"|" + Blanks(17) + U"|" + std::u32string(70, U'-') + U"|",
        U"|visual impairment|" + Blanks(8) + U"Maximum less than" + Blanks(9) +
            U"|  Minimum equal to or better than  |",
        separator,
        U"|" + Blanks(17) + U"|" + Blanks(15) + U"6/18" + Blanks(15) + U"|" + Blanks(15) + U"6/60" + Blanks(16) + U"|",
        U"|" + std::u32string(17, U'-') + U"|" + std::u32string(34, U'-') + U"|" + Blanks(35) + U"|",
        U"|    3/10(0.3)    |" + Blanks(12) + U"1/10(0.1)" + Blanks(13) + U"|" + Blanks(35) + U"|",
        separator,  // category 1 is not the last; category 7 prints nothing, not even a separator
        U"|" + Blanks(17) + U"|" + Blanks(3) + U"Undetermined or unspecified" + Blanks(4) + U"|" + Blanks(35) + U"|",
        dashes90,
    };
    EXPECT_EQ(lines, expected);
    for (const auto& line : lines) EXPECT_EQ(line.size(), 90u);
    EXPECT_EQ(kinds,
              "01010"
              "00000"
              "0");
}

TEST(AppendVisualImpairmentTable, AValueWiderThanItsColumnWrapsLikeAnyLine) {
    TVisualImpairment table;
    auto category = std::make_unique<TVisCategory>();
    category->VisRanges[0] = std::make_unique<TVisRange>();
    category->VisRanges[0]->FVisMax = "a value much too wide for its thirty-four column";
    table.FVisCategoryList.push_back(std::move(category));
    TLayoutLines lines;
    std::string kinds;
    AppendVisualImpairmentTable(table, lines, kinds);
    EXPECT_EQ(kinds,
              "01010"
              "08"
              "0");
    EXPECT_EQ(lines[6].substr(0, 2), U"  ");
}

TEST(OnSamePage, ComparesCeilingPages) {
    EXPECT_TRUE(OnSamePage(1, 16, 16));
    EXPECT_FALSE(OnSamePage(16, 17, 16));
    EXPECT_TRUE(OnSamePage(17, 32, 16));
    EXPECT_FALSE(OnSamePage(14, 18, 16));
}

TEST(AddTypeWord, SkipsEmptyAndRepeatedWords) {
    TTypeWordList words;
    AddTypeWord(words, U"NOTE");
    AddTypeWord(words, U"");
    AddTypeWord(words, U"NOTE");
    AddTypeWord(words, U"Note");  // exact comparison: a different word
    EXPECT_EQ(words, (TTypeWordList{U"NOTE", U"Note"}));
}
