// Page render plans on hand-made lines: slicing, original-line count, colour runs and their order,
// the word-boundary rule of keyword and type-word colouring, and applying a plan to a view.
#include <gtest/gtest.h>

#include "render/PageRender.h"
#include "tests/render/ModelBuilder.h"

namespace {

std::vector<TRenderOperation> ColourOps(const TRenderPlan& plan, TRgbColour colour) {
    std::vector<TRenderOperation> found;
    for (const auto& operation : plan.Operations) {
        if (operation.Kind == TRenderOperation::kColour && operation.Colour == colour) found.push_back(operation);
    }
    return found;
}

std::vector<TTextRun> Runs(const std::vector<TRenderOperation>& operations) {
    std::vector<TTextRun> runs;
    for (const auto& operation : operations) runs.push_back(operation.Run);
    return runs;
}

// Colour each character ends with after applying the plan to a recording view.
TRecordingTextView Applied(const TRenderPlan& plan) {
    TRecordingTextView view;
    ApplyRenderPlan(plan, view);
    return view;
}

}  // namespace

TEST(FindKeywordRuns, AcceptsWholeWordsOnlyByTheBoundaryRule) {
    const std::u32string line = U"Typhoid fever. FEVER, fever) feverish (fever: [fever] fever; 'Fever'";
    const auto runs = FindKeywordRuns(line, {U"FEVER"});
    // "fever." "feverish" "fever:" "fever;" are rejected.
    const std::vector<TTextRun> expected = {{15, 5}, {22, 5}, {47, 5}, {62, 5}};
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(line.substr(47, 5), U"fever");
    EXPECT_EQ(line.substr(62, 5), U"Fever");
}

TEST(FindKeywordRuns, RejectsWordsGluedToLettersAndResumesAfterEachOccurrence) {
    EXPECT_TRUE(FindKeywordRuns(U"afever fevera", {U"FEVER"}).empty());
    // Overlapping occurrences are not found: after "A-A" at 0 the search resumes at 3.
    EXPECT_EQ(FindKeywordRuns(U"a-a-a", {U"A-A"}), (std::vector<TTextRun>{{0, 3}}));
    // Keyword by keyword, in list order; an empty keyword is skipped.
    EXPECT_EQ(FindKeywordRuns(U"acute cholera, acute", {U"CHOLERA", U"", U"ACUTE"}),
              (std::vector<TTextRun>{{6, 7}, {0, 5}, {15, 5}}));
    // Positions count characters.
    EXPECT_EQ(FindKeywordRuns(U32("Ménière fever"), {U"FEVER"}), (std::vector<TTextRun>{{8, 5}}));
}

TEST(ColourTypeWords, IsCaseInsensitiveAndUsesTheBoundaryRule) {
    const std::u32string text = U"    EXCLUDES 1: a\n    excludes 1: b\nNOTEs NOTE. (NOTE)\n";
    const auto runs = ColourTypeWords(text, {U"EXCLUDES 1:", U"NOTE"});
    EXPECT_EQ(runs, (std::vector<TTextRun>{{4, 11}, {22, 11}, {49, 4}}));
}

TEST(RenderPage, SlicesThePageAndCountsOriginalLines) {
    const TLayoutLines lines = {U"", U"", U"A01 x", U"  A01.0 y", U"      z", U"  A01.1 w", U"  note"};
    const std::string kinds =
        "552345"
        "0";
    TRenderPlan plan = RenderPage(lines, 3, 2, {}, {}, kinds, "");
    EXPECT_EQ(plan.Text, U"  A01.0 y\n      z\n  A01.1 w\n");
    EXPECT_EQ(plan.LineStarts, (std::vector<int>{0, 10, 18}));
    EXPECT_EQ(plan.OriginalLine, 2);  // "2" and "3" up to and including the top line

    plan = RenderPage(lines, 3, 1, {}, {}, kinds, "");
    EXPECT_EQ(plan.OriginalLine, 0);  // a filler on top counts nothing
    plan = RenderPage(lines, 3, 3, {}, {}, kinds, "");
    EXPECT_EQ(plan.Text, U"  note\n");  // the last page may be short
    EXPECT_EQ(plan.OriginalLine, 4);
    plan = RenderPage(lines, 3, 4, {}, {}, kinds, "");
    EXPECT_TRUE(plan.Text.empty());
    EXPECT_EQ(plan.OriginalLine, 0);  // kind string not longer than the start
}

TEST(RenderPage, ColoursByKindInTheFixedOrder) {
    const TLayoutLines lines = {
        U"A00 Cholera",                      // 2
        U"  A00.1 Cholera due to Vibrio",    // 3
        U"        eltor cholera",            // 9
        U"      Cholera eltor",              // 4
        U"    EXCLUDES 1: cholera carrier",  // 0: no keyword runs, type word purple
        U"      S52.521 Torus, cholera.",    // 5: "cholera." is rejected
    };
    const std::string kinds = "239405";
    const TRenderPlan plan = RenderPage(lines, 16, 1, {U"EXCLUDES 1:"}, {"CHOLERA"}, kinds, "A00.1");
    const auto& starts = plan.LineStarts;

    ASSERT_FALSE(plan.Operations.empty());
    EXPECT_EQ(plan.Operations.front(),
              (TRenderOperation{TRenderOperation::kColour, {0, static_cast<int>(plan.Text.size())}, clDarkGrey}));
    EXPECT_EQ(Runs(ColourOps(plan, clBlackText)),
              (std::vector<TTextRun>{{starts[0], 11}, {starts[1], 29}, {starts[2], 21}, {starts[5], 29}}));
    EXPECT_EQ(Runs(ColourOps(plan, clHeaderCodeRed)), (std::vector<TTextRun>{{starts[0], 3}}));
    EXPECT_EQ(Runs(ColourOps(plan, clFinalCodeGreen)), (std::vector<TTextRun>{{starts[1] + 2, 5}}));
    EXPECT_EQ(Runs(ColourOps(plan, clSevenCharBlue)), (std::vector<TTextRun>{{starts[5] + 6, 7}}));
    EXPECT_EQ(Runs(ColourOps(plan, clTypeWordPurple)), (std::vector<TTextRun>{{starts[4] + 4, 11}}));
    EXPECT_EQ(Runs(ColourOps(plan, clKeywordFuchsia)),
              (std::vector<TTextRun>{{starts[0] + 4, 7}, {starts[1] + 8, 7}, {starts[2] + 14, 7}, {starts[3] + 6, 7}}));
    ASSERT_TRUE(plan.HasUnderline);
    EXPECT_EQ(plan.Underline, (TTextRun{starts[1] + 2, 5}));
    EXPECT_EQ(plan.Operations.back().Kind, TRenderOperation::kUnderline);

    // Black, then code tokens, then purple, then fuchsia, then the underline.
    std::vector<TRgbColour> order;
    for (const auto& operation : plan.Operations) {
        const TRgbColour group = operation.Kind == TRenderOperation::kUnderline ? 0xFFFFFFFF : operation.Colour;
        if (order.empty() || order.back() != group) order.push_back(group);
    }
    EXPECT_EQ(order, (std::vector<TRgbColour>{clDarkGrey, clBlackText, clHeaderCodeRed, clFinalCodeGreen,
                                              clSevenCharBlue, clTypeWordPurple, clKeywordFuchsia, 0xFFFFFFFF}));

    const TRecordingTextView view = Applied(plan);
    EXPECT_EQ(view.FText, plan.Text);
    EXPECT_EQ(view.FColours[starts[3]], clDarkGrey);            // inclusion lines stay grey
    EXPECT_EQ(view.FColours[starts[3] + 6], clKeywordFuchsia);  // but get keyword runs
    EXPECT_EQ(view.FColours[starts[4] + 20], clDarkGrey);       // no keyword on a note line
    EXPECT_EQ(view.FColours[starts[1] + 2], clFinalCodeGreen);  // underline keeps the colour
    EXPECT_TRUE(view.FUnderlined[starts[1] + 2]);
    EXPECT_FALSE(view.FUnderlined[starts[0]]);
    EXPECT_EQ(view.FColours[starts[5] + 22], clBlackText);  // "cholera." not highlighted
}

TEST(RenderPage, UnderlinesOnlyAnExactTokenAndOnlyOnce) {
    const TLayoutLines lines = {U"  A00.1 x", U"  A00.1 again", U"A00.10 y", U"  A00.1"};
    const TRenderPlan plan = RenderPage(lines, 16, 1, {}, {}, "3323", "A00.1");
    ASSERT_TRUE(plan.HasUnderline);
    EXPECT_EQ(plan.Underline, (TTextRun{2, 5}));
    EXPECT_FALSE(RenderPage(lines, 16, 1, {}, {}, "3323", "A00").HasUnderline);
    EXPECT_FALSE(RenderPage(lines, 16, 1, {}, {}, "3323", "").HasUnderline);
    EXPECT_FALSE(RenderPage({U"  A00.1 x"}, 16, 1, {}, {}, "0", "A00.1").HasUnderline);  // note lines have no token
}

TEST(KeywordHitPages, ListsEachPageWhoseColouredLinesHoldAKeyword) {
    const TLayoutLines lines = {
        U"S52 Fracture of forearm",           // page 1: 2, no keyword
        U"    EXCLUDES 1: torus fracture",    // 0: notes are never coloured
        U"  S52.52 Torus fracture",           // page 2: 2
        U"    S52.521 Torus fracture right",  // 3, same page
        U"  S52.6 Other",                     // page 3: 2
        U"    Torus-like",                    // 4: a whole word by the boundary rule
        U"  S52.9 Unspecified",               // page 4
    };
    const std::string kinds = "2023243";
    EXPECT_EQ(KeywordHitPages(lines, 2, {"TORUS"}, kinds), (std::vector<int>{2, 3}));
    EXPECT_EQ(KeywordHitPages(lines, 7, {"TORUS"}, kinds), (std::vector<int>{1}));
    EXPECT_EQ(KeywordHitPages(lines, 2, {"", "RADIUS"}, kinds), (std::vector<int>{}));
    EXPECT_EQ(KeywordHitPages(lines, 2, {}, kinds), (std::vector<int>{}));
}

TEST(ApplyRenderPlan, WrapsTheRenderInOneUpdateAndResetsTheCaret) {
    const TRenderPlan plan = RenderPage({U"A00 Cholera"}, 16, 1, {}, {}, "2", "A00");
    const TRecordingTextView view = Applied(plan);
    ASSERT_GE(view.FCalls.size(), 4u);
    EXPECT_EQ(view.FCalls.front().Kind, TRecordingTextView::TCall::kBegin);
    EXPECT_EQ(view.FCalls[1].Kind, TRecordingTextView::TCall::kText);
    EXPECT_EQ(view.FCalls[view.FCalls.size() - 2].Kind, TRecordingTextView::TCall::kSelection);
    EXPECT_EQ(view.FCalls.back().Kind, TRecordingTextView::TCall::kEnd);
    EXPECT_EQ(view.FUpdateDepth, 0);
    EXPECT_EQ(view.FSelectionStart, 0);
    EXPECT_EQ(view.FSelectionLength, 0);
    EXPECT_EQ(view.FText, U"A00 Cholera\n");
    EXPECT_EQ(view.FColours[11], clDarkGrey);  // the line feed keeps the base colour
}
