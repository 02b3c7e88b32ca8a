// Layout and paging of real categories of the embedded 2021 Tabular List: the worked A00 example,
// the visual impairment table of H54.8, re-layout on a large category, and invariants that every
// category's layout must keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "data/EmbeddedResources.h"
#include "model/CodeLookup.h"
#include "model/TabularLoader.h"
#include "render/CodeTextPager.h"
#include "services/TextUtil.h"
#include "tests/common/TestSupport.h"

namespace {

// The real Tabular List, loaded once per test binary into containers of this file.
const TChapterList& RealChapters() {
    static TChapterList chapters;
    static TIntroduction introduction;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        TLoadStatus status;
        const auto bytes = EmbeddedResources().Find("Tabular");
        if (!bytes) return;
        TResourceStream stream(*bytes);
        LoadTabularFromStream(stream, chapters, introduction, status);
    });
    return chapters;
}

TCodeInfo* RealCategory(const char* code) {
    return FindNode(RealChapters(), code);
}

std::size_t LeadingSpaces(const std::u32string& line) {
    return std::min(line.find_first_not_of(U' '), line.size());
}

bool SameColour(const TRecordingTextView& view, int start, int length, TRgbColour colour) {
    for (int index = start; index < start + length; ++index) {
        if (view.FColours[static_cast<std::size_t>(index)] != colour) return false;
    }
    return true;
}

}  // namespace

TEST(RealLayout, CholeraAtWidthFortyMatchesTheWorkedExample) {
    TCodeInfo* cholera = RealCategory("A00");
    ASSERT_NE(cholera, nullptr);
    TRecordingTextView view;
    TCodeTextPager pager(&view, nullptr);
    pager.FWordsPerLine = 40;
    pager.FLinePerPage = 16;
    pager.ShowCodeAt(cholera, "1");

    const std::vector<std::pair<std::size_t, std::string>> expected = {
        {0, "A00 Cholera"},        {2, "A00.0 Cholera due to Vibrio cholerae"}, {8, "01, biovar cholerae"},
        {10, "Classical cholera"}, {2, "A00.1 Cholera due to Vibrio cholerae"}, {8, "01, biovar eltor"},
        {10, "Cholera eltor"},     {2, "A00.9 Cholera, unspecified"},
    };
    ASSERT_EQ(pager.FContentStringList.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        const std::u32string& line = pager.FContentStringList[index];
        EXPECT_EQ(LeadingSpaces(line), expected[index].first) << index;
        EXPECT_EQ(U32ToUtf8(line.substr(LeadingSpaces(line))), expected[index].second) << index;
    }
    EXPECT_EQ(pager.FLineBoldFlagStr, "23943943");

    EXPECT_EQ(pager.FCurPageIndex, 1);
    EXPECT_EQ(pager.FOriginalLine, 1);
    EXPECT_EQ(pager.FSelectedCode, "A00.1");
    const auto& starts = pager.FLastPlan.LineStarts;
    ASSERT_EQ(starts.size(), 8u);
    const auto lineLength = [&](int index) { return static_cast<int>(pager.FContentStringList[index].size()); };
    for (int index : {0, 1, 2, 4, 5, 7}) {
        const int textStart = starts[index] + static_cast<int>(LeadingSpaces(pager.FContentStringList[index]));
        const int tokenEnd = index == 0 ? textStart + 3 : (index == 2 || index == 5 ? textStart : textStart + 5);
        EXPECT_TRUE(SameColour(view, tokenEnd, starts[index] + lineLength(index) - tokenEnd, clBlackText)) << index;
    }
    for (int index : {3, 6}) EXPECT_TRUE(SameColour(view, starts[index], lineLength(index), clDarkGrey)) << index;
    EXPECT_TRUE(SameColour(view, starts[0], 3, clHeaderCodeRed));
    for (int index : {1, 4, 7}) EXPECT_TRUE(SameColour(view, starts[index] + 2, 5, clFinalCodeGreen)) << index;
    for (std::size_t index = 0; index < view.FText.size(); ++index) {
        const bool inA001 = static_cast<int>(index) >= starts[4] + 2 && static_cast<int>(index) < starts[4] + 7;
        EXPECT_EQ(view.FUnderlined[index], inA001) << index;
    }
    EXPECT_EQ(view.FText.size(), static_cast<std::size_t>(starts[7] + lineLength(7) + 1));
    EXPECT_EQ(view.FText.back(), U'\n');
}

TEST(RealLayout, VisualImpairmentTableOfH548RowForRow) {
    TCodeInfo* code = FindNode(RealChapters(), "H54.8");
    ASSERT_NE(code, nullptr);
    const TVisualImpairment* table = nullptr;
    for (const auto& item : code->FItemList) {
        if (auto* found = dynamic_cast<const TVisualImpairment*>(item.get())) table = found;
    }
    ASSERT_NE(table, nullptr);
    TLayoutLines lines;
    std::string kinds;
    AppendVisualImpairmentTable(*table, lines, kinds);
    const std::vector<std::string> expected = {
        "------------------------------------------------------------------------------------------",
        "|   Category of   |             Visual acuity with best possible correction              |",
        "|                 |----------------------------------------------------------------------|",
        "|visual impairment|        Maximum less than         |  Minimum equal to or better than  |",
        "|-----------------|----------------------------------|-----------------------------------|",
        "|                 |               6/18               |               6/60                |",
        "|-----------------|----------------------------------|                                   |",
        "|    3/10(0.3)    |            1/10(0.1)             |                                   |",
        "|-----------------|----------------------------------|                                   |",
        "|      20/70      |              20/200              |                                   |",
        "|-----------------|----------------------------------|-----------------------------------|",
        "|                 |               6/60               |               3/60                |",
        "|-----------------|----------------------------------|                                   |",
        "|    1/10(0.1)    |            1/20(0.05)            |                                   |",
        "|-----------------|----------------------------------|                                   |",
        "|     20/200      |              20/400              |                                   |",
        "|-----------------|----------------------------------|-----------------------------------|",
        "|                 |               3/60               |1/60(finger counting at one meter) |",
        "|-----------------|----------------------------------|                                   |",
        "|   1/20(0.05)    |            1/50(0.02)            |                                   |",
        "|-----------------|----------------------------------|                                   |",
        "|     20/400      |          5/300(20/1200)          |                                   |",
        "|-----------------|----------------------------------|-----------------------------------|",
        "|                 |1/60(finger counting at one meter)|         Light perception          |",
        "|-----------------|----------------------------------|                                   |",
        "|   1/50(0.02)    |                                  |                                   |",
        "|-----------------|----------------------------------|                                   |",
        "|      5/300      |                                  |                                   |",
        "|-----------------|----------------------------------|-----------------------------------|",
        "|                 |       No light perception        |                                   |",
        "|-----------------|----------------------------------|-----------------------------------|",
        "|                 |   Undetermined or unspecified    |                                   |",
        "------------------------------------------------------------------------------------------",
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        EXPECT_EQ(U32ToUtf8(lines[index]), expected[index]) << "row " << index + 1;
    }
    EXPECT_EQ(kinds, "01010" + std::string(28, '0'));

    // Inside the category's layout the table follows the code's notes, still 90 wide at any width.
    TLayoutLines categoryLines;
    std::string categoryKinds;
    TTypeWordList typeWords;
    int selectedLine = 1;
    AppendCodeText(*RealCategory("H54"), 60, 16, "8", selectedLine, categoryKinds, typeWords, categoryLines);
    const auto top = std::find(categoryLines.begin(), categoryLines.end(), std::u32string(90, U'-'));
    ASSERT_NE(top, categoryLines.end());
    EXPECT_TRUE(std::equal(lines.begin(), lines.end(), top));
    EXPECT_EQ(U32ToUtf8(categoryLines[static_cast<std::size_t>(selectedLine - 1)]).substr(0, 7), "  H54.8");
}

TEST(RealLayout, EveryCategoryKeepsTheLayoutInvariants) {
    int categories = 0;
    for (const auto& chapter : RealChapters()) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) {
                ++categories;
                TLayoutLines lines;
                std::string kinds;
                TTypeWordList typeWords;
                int selectedLine = 1;
                AppendCodeText(*category, 90, 16, "", selectedLine, kinds, typeWords, lines);
                ASSERT_EQ(lines.size(), kinds.size()) << category->FCode;
                const std::u32string code = Utf8ToU32(category->FCode);
                for (std::size_t index = 0; index < lines.size(); ++index) {
                    const int kind = KindOfDigit(kinds[index]);
                    ASSERT_TRUE(std::string("01234589CD").find(kinds[index]) != std::string::npos) << category->FCode;
                    if (kind >= 8) {
                        // A continuation directly follows its own line or another continuation of it.
                        ASSERT_GT(index, 0u);
                        EXPECT_EQ(ContinuationKind(KindOfDigit(kinds[index - 1])), kind)
                            << category->FCode << " " << index;
                    }
                    if (lines[index].empty()) {
                        EXPECT_EQ(kind, lkSevenCharCode) << category->FCode;
                    }
                    if (lines[index].size() > 90) {
                        // Only a word too long to break may overflow: no space past the indentation.
                        const std::u32string& line = lines[index];
                        EXPECT_EQ(line.find(U' ', LeadingSpaces(line)), std::u32string::npos) << category->FCode;
                    }
                    if (kind == lkHeaderCode || kind == lkFinalCode || kind == lkSevenCharCode) {
                        if (!lines[index].empty()) {
                            EXPECT_EQ(lines[index].substr(LeadingSpaces(lines[index]), 3), code) << category->FCode;
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(categories, 1911);
}

TEST(RealLayout, RelayoutKeepsThePageHoldingTheSameOriginalLine) {
    TCodeInfo* category = RealCategory("S52");
    ASSERT_NE(category, nullptr);
    TRecordingTextView view;
    TCodeTextPager pager(&view, nullptr);
    pager.ShowObject(category, 1);
    ASSERT_GT(pager.FPageNumber, 20);
    for (int page : {2, 7, 19, pager.FPageNumber}) {
        pager.FWordsPerLine = 90;
        pager.FLinePerPage = 16;
        pager.ShowObject(category, page);
        const int originalLine = pager.FOriginalLine;
        // The original line that tops the old page (first physical line of a logical line).
        std::u32string topOriginal;
        int count = 0;
        for (std::size_t index = 0; index < pager.FLineBoldFlagStr.size(); ++index) {
            count += IsOriginalLineDigit(pager.FLineBoldFlagStr[index]);
            if (count == originalLine) {
                topOriginal = pager.FContentStringList[index];
                break;
            }
        }
        ASSERT_FALSE(topOriginal.empty());

        pager.Relayout(60, 20);
        const int start = (pager.FCurPageIndex - 1) * 20;
        const int stop = std::min(pager.FCurPageIndex * 20, static_cast<int>(pager.FContentStringList.size()));
        const auto firstOriginals =
            std::count_if(pager.FLineBoldFlagStr.begin(), pager.FLineBoldFlagStr.begin() + start, IsOriginalLineDigit);
        const auto lastOriginals =
            std::count_if(pager.FLineBoldFlagStr.begin(), pager.FLineBoldFlagStr.begin() + stop, IsOriginalLineDigit);
        EXPECT_LT(firstOriginals, originalLine) << page;
        EXPECT_GE(lastOriginals, originalLine) << page;
        // Same logical line: the new layout's line begins with the same words up to the narrower width.
        std::u32string newLine;
        count = 0;
        for (std::size_t index = 0; index < pager.FLineBoldFlagStr.size(); ++index) {
            count += IsOriginalLineDigit(pager.FLineBoldFlagStr[index]);
            if (count == originalLine) {
                newLine = pager.FContentStringList[index];
                break;
            }
        }
        EXPECT_EQ(topOriginal.substr(0, newLine.size()), newLine) << page;
    }
}

TEST(RealLayout, ChapterTextIsNinetyWideInANarrowView) {
    TRecordingTextView view;
    TCodeTextPager pager(&view, nullptr);
    pager.FWordsPerLine = 50;
    pager.ShowObject(RealChapters().front().get(), 1);
    std::size_t widest = 0;
    for (const auto& line : pager.FContentStringList) widest = std::max(widest, line.size());
    EXPECT_GT(widest, 50u);
    EXPECT_LE(widest, 90u);
    EXPECT_EQ(U32ToUtf8(pager.FContentStringList[0]), "(A00-B99) Certain infectious and parasitic diseases");
    EXPECT_NE(std::find(pager.FTypeWordsList.begin(), pager.FTypeWordsList.end(), U"EXCLUDES 1:"),
              pager.FTypeWordsList.end());
}
