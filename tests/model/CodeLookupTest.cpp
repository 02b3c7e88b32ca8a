// Code texts, the shared text helpers, and the look-up and seventh-character rules on small
// hand-written trees.
#include <gtest/gtest.h>

#include <string>

#include "model/CodeLookup.h"
#include "tests/common/TestSupport.h"
#include "tests/model/TabularRealDataTest.h"

namespace {

struct TParsed {
    bool ok;
    std::string category;
    std::string subCode;
};

TParsed Parse(const std::string& text) {
    TParsed parsed{false, "unchanged", "unchanged"};
    parsed.ok = ParseCodeText(text, parsed.category, parsed.subCode);
    return parsed;
}

}  // namespace

TEST(ParseCodeText, SplitsCategoryAndSubCode) {
    const struct {
        const char* text;
        const char* category;
        const char* subCode;
    } accepted[] = {{"A00", "A00", ""},          {"A00.", "A00", ""},        {"S52.521A", "S52", "521A"},
                    {"Z16.-", "Z16", ""},        {"T36.0X1-", "T36", "0X1"}, {"C4A.0", "C4A", "0"},
                    {"S06.1X7D", "S06", "1X7D"}, {"A00.1-2", "A00", "1"}};
    for (const auto& example : accepted) {
        const TParsed parsed = Parse(example.text);
        EXPECT_TRUE(parsed.ok) << example.text;
        EXPECT_EQ(parsed.category, example.category) << example.text;
        EXPECT_EQ(parsed.subCode, example.subCode) << example.text;
    }
}

TEST(ParseCodeText, RejectsMalformedTextsAndLeavesOutputs) {
    for (const char* text :
         {"", "A0", "a00", "A001", "A00.1 ", "A00.12345", "A0-.1", "s52.521a", "A00-", "A00.1\xC3\xA9",
          "\xC3\x84"
          "00",
          "A00 1", "A00..1"}) {
        const TParsed parsed = Parse(text);
        EXPECT_FALSE(parsed.ok) << text;
        EXPECT_EQ(parsed.category, "unchanged") << text;
        EXPECT_EQ(parsed.subCode, "unchanged") << text;
    }
}

TEST(TextHelpers, SubCodePartIsWhatFollowsTheDot) {
    EXPECT_EQ(SubCodePart("S52.52"), "52");
    EXPECT_EQ(SubCodePart("S52.521A"), "521A");
    EXPECT_EQ(SubCodePart("S52."), "");
    EXPECT_EQ(SubCodePart("S52"), "");
    EXPECT_EQ(SubCodePart(""), "");
    // Counted in characters: a two-byte character in the first four is one character.
    EXPECT_EQ(SubCodePart("\xC3\xA9"
                          "bc.d"),
              "d");
}

TEST(TextHelpers, CompareTextPrefixHonoursItsFlags) {
    EXPECT_EQ(CompareTextPrefix("S52", "s52.5", 3, true, false), 0);
    EXPECT_EQ(CompareTextPrefix("S52", "s52.5", 3, false, false), -1);
    EXPECT_EQ(CompareTextPrefix("A-B", "A B", 3, false, true), 0);
    EXPECT_EQ(CompareTextPrefix("A-B", "A B", 3, true, false), 1);
    EXPECT_EQ(CompareTextPrefix("A--", "A  ", 3, false, true), 0);
    EXPECT_EQ(CompareTextPrefix("abc", "abd", 2, false, false), 0);
    EXPECT_EQ(CompareTextPrefix("abc", "abd", 3, false, false), -1);
    EXPECT_EQ(CompareTextPrefix("abd", "abc", 3, false, false), 1);
    EXPECT_EQ(CompareTextPrefix("xyz", "abc", 0, false, false), 0);
    EXPECT_EQ(CompareTextPrefix("xyz", "abc", -1, false, false), 0);
    // Only ASCII letters fold.
    EXPECT_EQ(CompareTextPrefix("\xC3\x89", "\xC3\xA9", 2, true, false), -1);
    // Counts are bytes of whole characters ("é" is two) and order follows the code points.
    EXPECT_EQ(CompareTextPrefix("\xC3\xA9tat", "\xC3\xA9tz", 3, false, false), 0);
    EXPECT_EQ(CompareTextPrefix("\xC3\xA9z", "\xC3\xA9tz", 3, false, false), 1);
    EXPECT_EQ(CompareTextPrefix("\xC3\xA9", "z", 1, false, false), 1);
    // A text shorter than promised sorts first instead of being read past its end.
    EXPECT_EQ(CompareTextPrefix("ab", "abc", 3, false, false), -1);
}

TEST(TextHelpers, SameHyphenBlankTreatsHyphensAsBlanks) {
    EXPECT_TRUE(SameHyphenBlank("non-Hodgkin", "non Hodgkin"));
    EXPECT_TRUE(SameHyphenBlank("a-b c", "a b-c"));
    EXPECT_TRUE(SameHyphenBlank("", ""));
    EXPECT_FALSE(SameHyphenBlank("non-Hodgkin", "nonHodgkin"));
    EXPECT_FALSE(SameHyphenBlank("abc", "abd"));
    EXPECT_FALSE(SameHyphenBlank("Abc", "abc"));
}

namespace {

// S06-like category with exception rules, and T07-like, O32-like shapes, hand-written.
const std::string LookupDocument = R"(<?xml version="1.0"?>
<ICD10CM.tabular>
<chapter><desc>Injury (S00-T88)</desc>
<section id="S00-S09"><desc>Injuries to the head (S00-S09)</desc>
<diag><name>S06</name><desc>Intracranial injury</desc>
  <sevenChrDef>
    <extension char="A">initial encounter</extension>
    <extension char="D" exception="6:7;6:8">subsequent encounter</extension>
    <extension char="S" exception="6:7;6:8">sequela</extension>
  </sevenChrDef>
  <diag><name>S06.1</name><desc>Traumatic cerebral edema</desc>
    <diag placeholder="true"><name>S06.1X</name><desc>Traumatic cerebral edema</desc>
      <diag><name>S06.1X1</name><desc>with loss of consciousness of 30 minutes or less</desc></diag>
      <diag><name>S06.1X7</name><desc>with loss of consciousness with death</desc></diag>
      <diag><name>S06.1X8</name><desc>with loss of consciousness, death due to other cause</desc></diag>
    </diag>
  </diag>
</diag>
<diag><name>S07</name><desc>Crushing injury of head</desc>
  <diag><name>S07.0</name><desc>Crushing injury of face</desc>
    <sevenChrDef><extension char="A">initial encounter</extension></sevenChrDef>
  </diag>
  <diag><name>S07.9</name><desc>Crushing injury of head, part unspecified</desc></diag>
</diag>
</section>
<section id="T07-T07"><desc>Injuries involving multiple body regions (T07-T07)</desc>
<diag><name>T07</name><desc>Unspecified multiple injuries</desc>
  <sevenChrDef><extension char="A">initial encounter</extension><extension char="S">sequela</extension></sevenChrDef>
</diag>
<diag><name>S06</name><desc>A second category with a known code, never found</desc></diag>
</section>
</chapter>
</ICD10CM.tabular>
)";

const TLoadedTabular& LookupTree() {
    static const auto loaded = LoadTabularText(LookupDocument);
    return *loaded;
}

TCodeInfo* Find(const std::string& text) {
    return FindNode(LookupTree().chapters, text);
}

}  // namespace

TEST(CodeLookup, SevenCharDefinitionsAreInheritedFromTheNearestAncestor) {
    TCodeInfo* s06 = Find("S06");
    TCodeInfo* leaf = Find("S06.1X1");
    ASSERT_NE(leaf, nullptr);
    EXPECT_NE(s06->GetSelf7CharDef(), nullptr);
    EXPECT_EQ(s06->GetParent7CharDef(), nullptr);
    EXPECT_EQ(leaf->GetSelf7CharDef(), nullptr);
    EXPECT_EQ(leaf->Get7CharDef(), s06->GetSelf7CharDef());
    EXPECT_FALSE(leaf->IsFinalCode());
    EXPECT_FALSE(Find("S06.1")->IsFinalCode());
    EXPECT_EQ(Find("S07.0")->Get7CharDef(), Find("S07.0")->GetSelf7CharDef());
    EXPECT_FALSE(Find("S07.0")->IsFinalCode());
    EXPECT_TRUE(Find("S07.9")->IsFinalCode());
}

TEST(CodeLookup, InExceptionRuleLooksAtTheDottedCodePosition) {
    const auto& definition = *Find("S06")->GetSelf7CharDef();
    const TCharDef& initial = *definition.FDefList[0];
    const TCharDef& subsequent = *definition.FDefList[1];
    EXPECT_FALSE(initial.InExceptionRule("S06.1X7"));
    EXPECT_TRUE(subsequent.InExceptionRule("S06.1X7"));
    EXPECT_TRUE(subsequent.InExceptionRule("S06.1X8"));
    EXPECT_FALSE(subsequent.InExceptionRule("S06.1X1"));
    // Too short to hold position 6.
    EXPECT_FALSE(subsequent.InExceptionRule("S06.1X"));
    EXPECT_FALSE(subsequent.InExceptionRule(""));
}

TEST(CodeLookup, CompletionListsApplyPlaceholdersAndExceptionRules) {
    TStringList codes;
    TStringList descs;
    Find("S06")->GetAllValideCodes(codes, descs);
    EXPECT_EQ(codes, (TStringList{"S06.1X1A", "S06.1X1D", "S06.1X1S", "S06.1X7A", "S06.1X8A"}));
    ASSERT_EQ(descs.size(), codes.size());
    EXPECT_EQ(descs[1], "with loss of consciousness of 30 minutes or less, subsequent encounter");

    codes.clear();
    descs.clear();
    Find("S07")->GetAllValideCodes(codes, descs);
    Find("T07")->GetAllValideCodes(codes, descs);
    EXPECT_EQ(codes, (TStringList{"S07.0XXA", "S07.9", "T07.XXXA", "T07.XXXS"}));
    EXPECT_EQ(descs[1], "Crushing injury of head, part unspecified");

    TStringList nodes;
    TStringList flags;
    descs.clear();
    Find("S07")->GetAllNodeAndCodes(nodes, flags, descs);
    EXPECT_EQ(nodes, (TStringList{"S07", "S07.0", "S07.0XXA", "S07.9"}));
    EXPECT_EQ(flags, (TStringList{"0", "0", "1", "1"}));
    EXPECT_EQ(descs,
              (TStringList{"Crushing injury of head", "Crushing injury of face",
                           "Crushing injury of face, initial encounter", "Crushing injury of head, part unspecified"}));
    nodes.clear();
    flags.clear();
    descs.clear();
    Find("S06.1X7")->GetAllNodeAndCodes(nodes, flags, descs);
    EXPECT_EQ(nodes, (TStringList{"S06.1X7", "S06.1X7A"}));
    EXPECT_EQ(flags, (TStringList{"0", "1"}));
}
