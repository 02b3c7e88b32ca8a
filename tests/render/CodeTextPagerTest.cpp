// The window-level paging state on hand-built content: page clamping, forced re-renders, the page
// counter and button states, showing a code's page, and keeping the place across a re-layout.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/CodeTextPager.h"
#include "tests/render/ModelBuilder.h"

namespace {

struct TRecordingHost : TCodeTextPagerHost {
    int hides = 0;
    int pagesShown = 0;
    int pageCountUpdates = 0;
    int builds = 0;
    int relayouts = 0;
    std::string counter;
    bool firstPrior = false;
    bool nextLast = false;

    void HideSuggestions() override { ++hides; }
    void PageShown(const std::string& ACounterText, bool AFirstPriorEnabled, bool ANextLastEnabled) override {
        ++pagesShown;
        counter = ACounterText;
        firstPrior = AFirstPriorEnabled;
        nextLast = ANextLastEnabled;
    }
    void PageCountUpdated() override { ++pageCountUpdates; }
    void ContentBuilt(const TTabularObject&, bool ARelayout) override { ++(ARelayout ? relayouts : builds); }
};

int TextSets(const TRecordingTextView& view) {
    int count = 0;
    for (const auto& call : view.FCalls) count += call.Kind == TRecordingTextView::TCall::kText;
    return count;
}

// A category of 1 + 3 x 12 lines: A10, then A10.1 .. A10.3, each with 11 inclusion terms. At 16
// lines a page the second block moves down 3 lines and the third 4, giving 44 lines on 3 pages.
class PagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TCodeInfo& category = AddCode(root, nullptr, "A10", "Category");
        for (int child = 1; child <= 3; ++child) {
            TCodeInfo& code = AddCode(root, &category, "A10." + std::to_string(child), "Child");
            auto& terms = AddNote<TInclusionTerm>(code.FItemList, {});
            for (int term = 0; term < 11; ++term) terms.FNoteList.push_back("term");
        }
        pager.SetView(&view);
        pager.SetHost(&host);
    }

    std::unique_ptr<TCodeInfo> root;
    TRecordingTextView view;
    TRecordingHost host;
    TCodeTextPager pager;
};

}  // namespace

TEST_F(PagerTest, NothingShownDoesNothingButHideSuggestions) {
    EXPECT_EQ(pager.PageCounterText(), "0/0");
    pager.ShowPage(1, true);
    EXPECT_EQ(host.hides, 1);
    EXPECT_EQ(host.pagesShown, 0);
    EXPECT_TRUE(view.FCalls.empty());
    int line = 0;
    pager.RebuildContent(line);
    EXPECT_EQ(line, 1);
}

TEST_F(PagerTest, ShowPageClampsAndRendersOnlyOnChangeOrForce) {
    pager.ShowObject(root.get(), 1);
    const std::string block = "3" + std::string(11, '4');
    EXPECT_EQ(pager.FLineBoldFlagStr, "2" + block + "555" + block + "5555" + block);
    EXPECT_EQ(pager.FPageNumber, 3);
    EXPECT_EQ(host.counter, "1/3");
    EXPECT_FALSE(host.firstPrior);
    EXPECT_TRUE(host.nextLast);
    EXPECT_EQ(TextSets(view), 1);

    pager.ShowPage(1, false);  // same page: nothing rendered
    EXPECT_EQ(TextSets(view), 1);
    pager.ShowPage(1, true);  // forced
    EXPECT_EQ(TextSets(view), 2);

    pager.ShowPage(99, false);
    EXPECT_EQ(pager.FCurPageIndex, 3);
    EXPECT_EQ(host.counter, "3/3");
    EXPECT_TRUE(host.firstPrior);
    EXPECT_FALSE(host.nextLast);

    pager.ShowPage(-3, false);
    EXPECT_EQ(pager.FCurPageIndex, 1);
    pager.ShowPage(2, false);
    EXPECT_EQ(host.counter, "2/3");
    EXPECT_TRUE(host.firstPrior && host.nextLast);
    EXPECT_EQ(pager.PageCounterText(), "2/3");
    pager.ShowPage(0, false);
    EXPECT_EQ(pager.FCurPageIndex, 1);
}

TEST_F(PagerTest, UpdatePageCountUsesCeilingAndOneForEmptyContent) {
    TSubChapter emptySection(nullptr);
    pager.ShowObject(&emptySection, 1);  // heading line only: " " (empty scope and name)
    EXPECT_EQ(pager.FPageNumber, 1);
    pager.FContentStringList.clear();
    pager.UpdatePageCount();
    EXPECT_EQ(pager.FPageNumber, 1);
    pager.FContentStringList.assign(16, U"x");
    pager.UpdatePageCount();
    EXPECT_EQ(pager.FPageNumber, 1);
    pager.FContentStringList.assign(17, U"x");
    pager.UpdatePageCount();
    EXPECT_EQ(pager.FPageNumber, 2);
    EXPECT_GE(host.pageCountUpdates, 4);
}

TEST_F(PagerTest, ShowCodeAtShowsThePageOfTheTailAndUnderlinesIt) {
    pager.ShowCodeAt(root.get(), "3");
    EXPECT_EQ(pager.FSelectedCode, "A10.3");
    // A10.3 starts after the moved second block: line 29 + 4 fillers = 33, i.e. page 3.
    EXPECT_EQ(pager.FCurPageIndex, 3);
    ASSERT_TRUE(pager.FLastPlan.HasUnderline);
    EXPECT_EQ(view.FText.substr(pager.FLastPlan.Underline.Start, 5), U"A10.3");

    pager.ShowCodeAt(root.get(), "9");  // no such code: page 1, nothing underlined
    EXPECT_EQ(pager.FSelectedCode, "A10.9");
    EXPECT_EQ(pager.FCurPageIndex, 1);
    EXPECT_FALSE(pager.FLastPlan.HasUnderline);

    pager.ShowCodeAt(root.get(), "");
    EXPECT_EQ(pager.FSelectedCode, "A10");
    EXPECT_TRUE(pager.FLastPlan.HasUnderline);
    EXPECT_EQ(host.builds, 3);
}

TEST_F(PagerTest, RelayoutShowsThePageHoldingTheSameOriginalLine) {
    pager.ShowObject(root.get(), 3);
    const std::u32string topLine = view.FText.substr(0, view.FText.find(U'\n'));
    const int originalLine = pager.FOriginalLine;
    ASSERT_GT(originalLine, 0);

    pager.Relayout(60, 10);
    EXPECT_EQ(host.relayouts, 1);
    EXPECT_EQ(pager.FPageNumber, static_cast<int>((pager.FContentStringList.size() + 9) / 10));
    // The original line that topped the old page stands on the new page.
    int count = 0;
    int lineOfOriginal = 0;
    for (std::size_t index = 0; index < pager.FLineBoldFlagStr.size() && !lineOfOriginal; ++index) {
        count += IsOriginalLineDigit(pager.FLineBoldFlagStr[index]);
        if (count == originalLine) lineOfOriginal = static_cast<int>(index) + 1;
    }
    EXPECT_EQ(pager.FCurPageIndex, (lineOfOriginal + 9) / 10);
    EXPECT_NE(view.FText.find(topLine), std::u32string::npos);
    EXPECT_EQ(pager.FOriginalLine,
              static_cast<int>(std::count_if(pager.FLineBoldFlagStr.begin(),
                                             pager.FLineBoldFlagStr.begin() + (pager.FCurPageIndex - 1) * 10 + 1,
                                             IsOriginalLineDigit)));
}

TEST_F(PagerTest, ChapterIsLaidOutNinetyWideWhateverTheViewWidth) {
    TChapter chapter;
    chapter.FInfo.FScope = "(A00-B99)";
    chapter.FInfo.FName = "Certain infectious and parasitic diseases";
    AddNote<TNotes>(chapter.FInfo.FItemList, {})
        .FNoteList.push_back(std::string(30, 'a').append(" ").append(30, 'b').append(" ").append(30, 'c'));
    for (int width : {40, 120}) {
        pager.FWordsPerLine = width;
        pager.ShowObject(&chapter, 1);
        EXPECT_EQ(pager.FLineBoldFlagStr, "108") << width;
        EXPECT_EQ(pager.FContentStringList[1].size(), 10u + 5u + 30u + 1u + 30u) << width;  // broken at 90
    }
}

TEST(MeasurePage, AViewFitsFromTwentyColumnsAndFourRows) {
    // 10 px characters, 25 px rows; a view of a scaled or small screen still gets pages.
    const auto fits = [](double width, double height) {
        return MeasurePage(TViewMetrics{width, height, 10, 25, 17}, false).Fits;
    };
    EXPECT_TRUE(fits(200, 100));
    EXPECT_FALSE(fits(199, 100));
    EXPECT_FALSE(fits(200, 99));
    const TPageGeometry geometry = MeasurePage(TViewMetrics{905, 340, 10, 25, 17}, true);
    EXPECT_EQ(geometry.Columns, 90);
    EXPECT_EQ(geometry.WordsPerLine, 89);
    EXPECT_EQ(geometry.LinePerPage, 12);  // (340 - 17) div 25
}
