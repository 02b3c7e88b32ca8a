#include <gtest/gtest.h>

#include <map>

#include "entry/CodeEntry.h"
#include "model/CodeLookup.h"
#include "model/CodeResolver.h"
#include "startup/LoadedData.h"
#include "tests/common/TestSupport.h"

namespace {

TShortDescLookup LookupOf(std::map<std::string, std::string> table) {
    return [table = std::move(table)](const std::string& code) -> std::optional<std::string> {
        auto found = table.find(code);
        if (found == table.end()) return std::nullopt;
        return found->second;
    };
}

class CodeEntryRealData : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureRealDataLoaded(); }
};

}  // namespace

TEST(CodeEntryClipboard, TextsHaveTwoBlanksAndNoLineBreak) {
    const TShortDescLookup lookup = LookupOf({{"A00.0", "Cholera d/t Vibrio"}});
    EXPECT_EQ(CopyText(TCopyKind::Code, "A00.0", "Long", lookup), "A00.0");
    EXPECT_EQ(CopyText(TCopyKind::LongDescription, "A00.0", "Long", lookup), "Long");
    EXPECT_EQ(CopyText(TCopyKind::CodeAndLongDescription, "A00.0", "Long", lookup), "A00.0  Long");
    EXPECT_EQ(CopyText(TCopyKind::ShortDescription, "A00.0", "Long", lookup), "Cholera d/t Vibrio");
    EXPECT_EQ(CopyText(TCopyKind::CodeAndShortDescription, "A00.0", "Long", lookup), "A00.0  Cholera d/t Vibrio");
    // Without an entry (or without any table) the long description stands in.
    EXPECT_EQ(CopyText(TCopyKind::ShortDescription, "A00.1", "Long", lookup), "Long");
    EXPECT_EQ(CopyText(TCopyKind::CodeAndShortDescription, "A00.1", "Long", TShortDescLookup()), "A00.1  Long");
}

TEST(CodeEntrySelectList, HeaderOfABareCategoryGetsItsFullStop) {
    EXPECT_EQ(CodeHeaderText("A00"), "A00.");
    EXPECT_EQ(CodeHeaderText("A00."), "A00.");
    EXPECT_EQ(CodeHeaderText("S52.521"), "S52.521");
    EXPECT_EQ(CodeHeaderText("A0"), "A0");
}

TEST(CodeEntrySelectList, FilterMatchesHeaderPlusFilterIgnoringCaseAndCountsByLength) {
    const TStringList codes{"S72.0", "S72.10", "S72.101A", "S72.1X1", "S72.2XXA", "S72", "s72.11"};
    TCodeListSelection all = FilterCodeList(codes, "S72.", "   ");
    EXPECT_EQ(all.FRows.size(), codes.size());
    EXPECT_EQ(FormatCodeTotals(all),
              "Total: 7    (4 chars code: 1    5 chars code: 2    6 chars code: 1    7 chars code: 2)");

    TCodeListSelection ones = FilterCodeList(codes, "S72.", " 1 ");
    EXPECT_EQ(ones.FRows, (std::vector<std::size_t>{1, 2, 3, 6}));
    EXPECT_EQ(FormatCodeTotals(ones),
              "Total: 4    (4 chars code: 0    5 chars code: 2    6 chars code: 1    7 chars code: 1)");

    // Lower-case filter text matches the same codes; a code shorter than the prefix is never listed.
    EXPECT_EQ(FilterCodeList(codes, "S72.", "1x").FRows, (std::vector<std::size_t>{3}));
    EXPECT_TRUE(FilterCodeList(codes, "S72.", "101AB").FRows.empty());
    // Characters, not bytes, decide: a non-ASCII filter matches nothing and breaks nothing.
    EXPECT_TRUE(FilterCodeList(codes, "S72.", "é").FRows.empty());
}

TEST(CodeEntryCodeBox, FirstCharacterTypedAnywhereMovesToTheFirstPlace) {
    std::optional<TCodeBoxState> moved = CodeBoxAfterKeyUp("   .  5 ");
    ASSERT_TRUE(moved.has_value());
    EXPECT_EQ(moved->FText, "5  .    ");
    EXPECT_EQ(moved->FSelStart, 1);
    EXPECT_EQ(moved->FSelLength, 1);
    ASSERT_TRUE(CodeBoxAfterKeyUp(" Q .    ").has_value());
    EXPECT_EQ(CodeBoxAfterKeyUp(" Q .    ")->FText, "Q  .    ");

    EXPECT_FALSE(CodeBoxAfterKeyUp("A  .    ").has_value());  // already first
    EXPECT_FALSE(CodeBoxAfterKeyUp(" A .  1 ").has_value());  // two characters: left as typed
    EXPECT_FALSE(CodeBoxAfterKeyUp(EmptyCodeBoxText).has_value());
}

TEST(CodeEntryCodeBox, ClickPutsCaretAfterWhatWasTypedSkippingTheFullStop) {
    EXPECT_EQ(CodeBoxCaretAfterClick(EmptyCodeBoxText), 0);
    EXPECT_EQ(CodeBoxCaretAfterClick("A0 .    "), 2);
    EXPECT_EQ(CodeBoxCaretAfterClick("A00.    "), 4);
    EXPECT_EQ(CodeBoxCaretAfterClick("A00.1   "), 5);
    EXPECT_EQ(CodeBoxCaretAfterClick("S52.521A"), 8);
}

TEST(CodeEntryCodeBox, GoReadsTrimmedUpperText) {
    EXPECT_EQ(CodeBoxEntry("a00.1   "), "A00.1");
    EXPECT_EQ(CodeBoxEntry("A00.    "), "A00.");
    EXPECT_EQ(CodeBoxEntry(EmptyCodeBoxText), ".");
}

TEST(CodeEntryGoTo, WithoutDataOnlyTheTextIsJudged) {
    const TChapterList none;
    const TCodeResolver resolver(none);
    EXPECT_EQ(PlanGoToCode(resolver, "a00.1x").FStep, TGoToCodeStep::NoCategory);  // any letter case
    EXPECT_EQ(PlanGoToCode(resolver, ".").FStep, TGoToCodeStep::InvalidText);
    EXPECT_EQ(PlanGoToCode(resolver, "A00.1").FStep, TGoToCodeStep::NoCategory);
}

TEST_F(CodeEntryRealData, GoToCodeDecidesEveryBranch) {
    TGoToCodePlan plan = PlanGoToCode(LoadedData().CodeResolver(), "A00.1");
    EXPECT_EQ(plan.FStep, TGoToCodeStep::Show);
    ASSERT_NE(plan.FCategory, nullptr);
    EXPECT_EQ(plan.FCategory->FCode, "A00");
    EXPECT_EQ(plan.FSubCode, "1");

    for (const char* text : {"A00", "A00."}) {
        plan = PlanGoToCode(LoadedData().CodeResolver(), text);
        EXPECT_EQ(plan.FStep, TGoToCodeStep::Show) << text;
        EXPECT_EQ(plan.FSubCode, "") << text;
    }

    plan = PlanGoToCode(LoadedData().CodeResolver(), "S52.521A");
    EXPECT_EQ(plan.FStep, TGoToCodeStep::SevenCharCode);
    ASSERT_NE(plan.FHeader, nullptr);
    EXPECT_EQ(plan.FHeader->FCode, "S52.521");
    EXPECT_EQ(plan.FSubCode, "521");
    EXPECT_EQ(plan.FFullDesc, plan.FHeader->FDesc + ", initial encounter for closed fracture");

    // A category with its own definition: shown at the category, nothing deeper to underline.
    plan = PlanGoToCode(LoadedData().CodeResolver(), "T07.XXXA");
    EXPECT_EQ(plan.FStep, TGoToCodeStep::SevenCharCode);
    ASSERT_NE(plan.FHeader, nullptr);
    EXPECT_EQ(plan.FHeader->FCode, "T07");
    EXPECT_EQ(plan.FSubCode, "");

    plan = PlanGoToCode(LoadedData().CodeResolver(), "Z99.5");
    EXPECT_EQ(plan.FStep, TGoToCodeStep::SubCategoryMissing);
    ASSERT_NE(plan.FCategory, nullptr);
    EXPECT_EQ(plan.FCategory->FCode, "Z99");
    EXPECT_EQ(plan.FSubCode, "5");  // matches no line, so nothing is underlined
    // A seventh character the code does not take is named, with the ones it takes; a bad
    // placeholder is a missing sub-category.
    plan = PlanGoToCode(LoadedData().CodeResolver(), "S06.1X7D");
    EXPECT_EQ(plan.FStep, TGoToCodeStep::SeventhCharRefused);
    EXPECT_EQ(plan.FCategory->FCode, "S06");
    EXPECT_EQ(plan.FQuestion,
              "S06.1X7D: the seventh character D is not allowed for S06.1X7.\n\n"
              "Allowed seventh characters:\n    A  initial encounter\n\n"
              "Would you like to view the code text of S06?");
    plan = PlanGoToCode(LoadedData().CodeResolver(), "S52.521Z");
    EXPECT_EQ(plan.FStep, TGoToCodeStep::SeventhCharRefused);
    EXPECT_NE(plan.FQuestion.find("\n    A  initial encounter for closed fracture\n"), std::string::npos)
        << plan.FQuestion;
    EXPECT_NE(plan.FQuestion.find("\n    S  sequela\n"), std::string::npos) << plan.FQuestion;
    EXPECT_EQ(PlanGoToCode(LoadedData().CodeResolver(), "T07.XX0A").FStep, TGoToCodeStep::SubCategoryMissing);

    // Four characters after the dot that name a complete code of their own (no seventh-character
    // definition anywhere above it) go straight to that code; E11.3211 still takes its seventh
    // character from E11.32.
    plan = PlanGoToCode(LoadedData().CodeResolver(), "C44.1021");
    EXPECT_EQ(plan.FStep, TGoToCodeStep::Show);
    ASSERT_NE(plan.FCategory, nullptr);
    EXPECT_EQ(plan.FCategory->FCode, "C44");
    EXPECT_EQ(plan.FSubCode, "1021");
    EXPECT_EQ(plan.FHeader, nullptr);
    EXPECT_EQ(PlanGoToCode(LoadedData().CodeResolver(), "C44.1025").FStep, TGoToCodeStep::SubCategoryMissing);
    EXPECT_EQ(PlanGoToCode(LoadedData().CodeResolver(), "E11.3211").FStep, TGoToCodeStep::SevenCharCode);

    EXPECT_EQ(PlanGoToCode(LoadedData().CodeResolver(), "ZZ9.1").FStep, TGoToCodeStep::NoCategory);
    EXPECT_EQ(PlanGoToCode(LoadedData().CodeResolver(), "A00.1 ").FStep, TGoToCodeStep::Show);
    EXPECT_EQ(PlanGoToCode(LoadedData().CodeResolver(), "A00.1 x").FStep, TGoToCodeStep::InvalidText);
}

TEST_F(CodeEntryRealData, ValidCodesCompleteWithPlaceholderAndSeventhCharacter) {
    TStringList codes;
    TStringList descs;
    CollectValidCodes(LoadedData().CodeResolver(), "A00.", codes, descs);
    EXPECT_EQ(codes, (TStringList{"A00.0", "A00.1", "A00.9"}));
    ASSERT_EQ(descs.size(), 3u);
    EXPECT_EQ(descs[2], "Cholera, unspecified");

    codes.clear();
    descs.clear();
    // S52.531 inherits the sixteen characters of S52; S52.521 has its own six at S52.52.
    CollectValidCodes(LoadedData().CodeResolver(), "S52.531", codes, descs);
    ASSERT_EQ(codes.size(), 16u);
    EXPECT_EQ(codes.front(), "S52.531A");
    EXPECT_EQ(codes.back(), "S52.531S");
    const TCodeInfo* header = FindNode("S52.531");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(descs.front(), header->FDesc + ", initial encounter for closed fracture");
    for (std::size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(codes[i].substr(0, 7), "S52.531");
        EXPECT_EQ(codes[i].size(), 8u);
        EXPECT_EQ(descs[i].rfind(header->FDesc + ", ", 0), 0u) << descs[i];
    }
    codes.clear();
    descs.clear();
    CollectValidCodes(LoadedData().CodeResolver(), "S52.521", codes, descs);
    EXPECT_EQ(codes, (TStringList{"S52.521A", "S52.521D", "S52.521G", "S52.521K", "S52.521P", "S52.521S"}));

    codes.clear();
    descs.clear();
    CollectValidCodes(LoadedData().CodeResolver(), "S06.1X7", codes, descs);
    EXPECT_EQ(codes, (TStringList{"S06.1X7A"}));

    codes.clear();
    descs.clear();
    CollectValidCodes(LoadedData().CodeResolver(), "T07.", codes, descs);
    EXPECT_EQ(codes, (TStringList{"T07.XXXA", "T07.XXXD", "T07.XXXS"}));

    codes.clear();
    descs.clear();
    CollectValidCodes(LoadedData().CodeResolver(), "E08.37", codes, descs);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), "E08.37X1");

    codes.clear();
    CollectValidCodes(LoadedData().CodeResolver(), "Z99.5", codes, descs);
    EXPECT_TRUE(codes.empty());
}

TEST_F(CodeEntryRealData, CopyOfACompleteCodeNeedsNoDialog) {
    const TShortDescLookup lookup = LookupOf({{"A00.0", "Cholera due to Vibrio cholerae 01, biovar cholerae (short)"}});
    TCopyPlan plan = PlanCopy(LoadedData().CodeResolver(), "A00.0");
    ASSERT_TRUE(plan.FValid);
    EXPECT_FALSE(plan.FShowDialog);
    EXPECT_EQ(plan.FCode, "A00.0");
    EXPECT_EQ(DirectCopyText(plan, false, true, lookup), "A00.0");
    EXPECT_EQ(DirectCopyText(plan, true, false, lookup), "A00.0  Cholera due to Vibrio cholerae 01, biovar cholerae");
    EXPECT_EQ(DirectCopyText(plan, true, true, lookup),
              "A00.0  Cholera due to Vibrio cholerae 01, biovar cholerae (short)");

    plan = PlanCopy(LoadedData().CodeResolver(), "A00");
    EXPECT_TRUE(plan.FShowDialog);
    EXPECT_EQ(plan.FHeader, "A00.");
    EXPECT_EQ(plan.FCodeList.size(), 3u);

    EXPECT_EQ(PlanCopy(LoadedData().CodeResolver(), "a000").FCode, "A00.0");
    EXPECT_FALSE(PlanCopy(LoadedData().CodeResolver(), "Cholera").FValid);
}

TEST_F(CodeEntryRealData, CopyNeverPairsAnIncompleteCodeWithAFullDescription) {
    // One completion only: the completion itself is copied, with its own description.
    TCopyPlan plan = PlanCopy(LoadedData().CodeResolver(), "S06.1X7");
    EXPECT_FALSE(plan.FShowDialog);
    EXPECT_EQ(plan.FCode, "S06.1X7A");
    EXPECT_EQ(DirectCopyText(plan, true, false, {}).substr(0, 10), "S06.1X7A  ");
    EXPECT_NE(plan.FLongDesc.find(", initial encounter"), std::string::npos);

    // A full seventh-character code is complete: its description is found through its header.
    plan = PlanCopy(LoadedData().CodeResolver(), "T07.XXXD");
    EXPECT_EQ(plan.FCode, "T07.XXXD");
    EXPECT_EQ(DirectCopyText(plan, true, false, {}), "T07.XXXD  Unspecified multiple injuries, subsequent encounter");

    // A code the edition does not have is refused, never copied.
    for (const char* text : {"Z99.5", "ZZ9.-", "S06.1X7D", "S06.1X8S"}) {
        plan = PlanCopy(LoadedData().CodeResolver(), text);
        EXPECT_TRUE(plan.FValid) << text;
        EXPECT_FALSE(plan.FShowDialog) << text;
        EXPECT_STREQ(plan.FRefusal, MsgCodeNotExist) << text;
        EXPECT_TRUE(plan.FCode.empty()) << text;
    }
}
