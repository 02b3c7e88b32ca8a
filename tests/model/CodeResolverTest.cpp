// The code resolver against the published order file and every seventh-character leaf, and the
// window plans (go to code, copy, Select Code list) through the same resolver.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string_view>

#include "admin/DataPipeline.h"
#include "admin/OrderFile.h"
#include "entry/CodeEntry.h"
#include "model/CodeLookup.h"
#include "model/CodeResolver.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "tests/admin/RunProgram.h"
#include "tests/common/TestSupport.h"

namespace {

class CodeResolverRealData : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureRealDataLoaded(); }
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The Tabular List writes accented letters ("Sézary"); the order file writes them plain ("Sezary").
bool SameDescription(std::string_view tabular, std::string_view order) {
    std::size_t j = 0;
    for (std::size_t i = 0; i < tabular.size(); ++i, ++j) {
        if (j >= order.size()) return false;
        const auto c = static_cast<unsigned char>(tabular[i]);
        if (c < 0x80) {
            if (tabular[i] != order[j]) return false;
            continue;
        }
        while (i + 1 < tabular.size() && (static_cast<unsigned char>(tabular[i + 1]) & 0xC0) == 0x80) ++i;
        if (!std::isalpha(static_cast<unsigned char>(order[j]))) return false;
    }
    return j == order.size();
}

void ForEachTreeNode(TCodeInfo& node, const std::function<void(TCodeInfo&)>& visit) {
    visit(node);
    for (const auto& child : node.FSubCodeList) ForEachTreeNode(*child, visit);
}

void ForEachTreeNode(const std::function<void(TCodeInfo&)>& visit) {
    for (const auto& chapter : LoadedData().Tabular.Chapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) ForEachTreeNode(*category, visit);
        }
    }
}

}  // namespace

TEST(CodeResolverText, AnyCaseWithOrWithoutTheDot) {
    const struct {
        const char* text;
        const char* normal;  // "" = not a code text
    } cases[] = {
        {"S52.521A", "S52.521A"},
        {"s52.521a", "S52.521A"},
        {"S52521A", "S52.521A"},
        {" s52521a\r", "S52.521A"},
        {"A00", "A00"},
        {"a00.", "A00"},
        {"C79.8-", "C79.8"},
        {"H54512A", "H54.512A"},
        {"", ""},
        {"hello", ""},
        {"S52.5211A", ""},
        {"S5252 1", ""},
        {"LSD", "LSD"},
        {"S52521AB", ""},
        {"\xC3\xA9"
         "00.1",
         ""},
        {"A00.1\xFF", ""},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> normal = NormalizeCodeText(c.text);
        EXPECT_EQ(normal.value_or(""), c.normal) << c.text;
    }
    EXPECT_FALSE(NormalizeCodeText(std::string(10000, 'A')).has_value());
}

TEST_F(CodeResolverRealData, EveryLineOfThePublishedOrderFileResolves) {
    const std::vector<TOrderFileEntry> lines =
        ParseOrderFile(ReadDataFile((testing_support::SourceDir() / "data" / "icd10cm_order_2021.txt.gz").string()));
    ASSERT_EQ(lines.size(), 95358u);
    const TCodeResolver& resolver = LoadedData().CodeResolver();
    EXPECT_EQ(resolver.ReportableCount(), 72621u);
    EXPECT_EQ(resolver.EntryCount(), 95358u);

    std::size_t nextReportable = 0;  // the next flag-1 line after the current one
    std::vector<std::size_t> reportableLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].Flag == '1') reportableLines.push_back(i);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TOrderFileEntry& line = lines[i];
        while (nextReportable < reportableLines.size() && reportableLines[nextReportable] <= i) ++nextReportable;
        const TCodeResolution code = resolver.Resolve(line.Code);
        ASSERT_EQ(code.FCode, line.Code);
        ASSERT_NE(code.FNode, nullptr) << line.Code;
        ASSERT_NE(code.FCategory, nullptr) << line.Code;

        // The undotted lower-case form, as a claims file might write it, resolves the same way.
        std::string undotted = line.Code;
        if (undotted.size() > 3) undotted.erase(3, 1);
        const TCodeResolution typed = resolver.Resolve(Lower(undotted));
        ASSERT_EQ(typed.FCode, line.Code);
        ASSERT_EQ(typed.FVerdict, code.FVerdict) << undotted;

        TStringList codes;
        TStringList descs;
        resolver.Completions(code, codes, descs);
        const TGoToCodePlan goTo = PlanGoToCode(resolver, Lower(line.Code));
        ASSERT_EQ(goTo.FCategory, code.FCategory) << line.Code;
        if (line.Flag == '1') {
            ASSERT_EQ(code.FVerdict, TCodeVerdict::Reportable) << line.Code;
            ASSERT_EQ(codes, TStringList{line.Code});
            // The Tabular List's description, which the order file repeats (without accents).
            ASSERT_TRUE(SameDescription(code.FDesc, line.LongDesc)) << line.Code << ": " << code.FDesc;
            const TCopyPlan copy = PlanCopy(resolver, undotted);
            ASSERT_FALSE(copy.FShowDialog);
            ASSERT_EQ(DirectCopyText(copy, false, false, {}), line.Code);
            ASSERT_EQ(DirectCopyText(copy, true, false, {}), line.Code + "  " + code.FDesc);
            ASSERT_EQ(goTo.FStep, code.FSeventhCharacter ? TGoToCodeStep::SevenCharCode : TGoToCodeStep::Show);
            if (code.FSeventhCharacter) {
                ASSERT_EQ(goTo.FFullDesc, code.FDesc);
            }
        } else {
            ASSERT_EQ(code.FVerdict, TCodeVerdict::NotReportable) << line.Code;
            ASSERT_TRUE(SameDescription(code.FDesc, line.LongDesc)) << line.Code << ": " << code.FDesc;
            ASSERT_EQ(goTo.FStep, TGoToCodeStep::Show);
            ASSERT_EQ(goTo.FSubCode, SubCodePart(line.Code));
            // Its completions are the reportable lines that follow it, in order, without a gap.
            ASSERT_FALSE(codes.empty()) << line.Code;
            ASSERT_LE(nextReportable + codes.size(), reportableLines.size());
            for (std::size_t k = 0; k < codes.size(); ++k) {
                ASSERT_EQ(codes[k], lines[reportableLines[nextReportable + k]].Code) << line.Code;
                ASSERT_EQ(descs[k], resolver.Resolve(codes[k]).FDesc) << line.Code;
            }
            ASSERT_EQ(resolver.CompletionCount(code), codes.size());
            if (line.Code.size() == 3) {  // the Select Code list of a category, as the dialog fills it
                TStringList listed;
                TStringList listedDescs;
                CollectValidCodes(resolver, CodeHeaderText(line.Code), listed, listedDescs);
                ASSERT_EQ(listed, codes);
            }
            const TCopyPlan copy = PlanCopy(resolver, line.Code);
            ASSERT_EQ(copy.FShowDialog, codes.size() >= 2) << line.Code;
            if (codes.size() == 1) {
                ASSERT_EQ(copy.FCode, codes.front());
            }
        }
    }
}

TEST_F(CodeResolverRealData, SeventhCharactersAreAllowedExactlyAsTheDefinitionAndItsExceptionsSay) {
    const TCodeResolver& resolver = LoadedData().CodeResolver();
    std::size_t leaves = 0;
    std::size_t refused = 0;
    ForEachTreeNode([&](TCodeInfo& node) {
        const TSevenCharDef* definition = node.Get7CharDef();
        if (!node.FSubCodeList.empty() || definition == nullptr) return;
        ++leaves;
        std::string prefix = node.FCode;
        if (prefix.size() == 3) prefix += '.';
        prefix.resize(7, 'X');
        for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
            const TCharDef* defined = nullptr;
            for (const auto& character : definition->FDefList) {
                if (character->FChar == std::string(1, c)) defined = character.get();
            }
            const bool allowed = defined != nullptr && !defined->InExceptionRule(node.FCode);
            const TCodeResolution code = resolver.Resolve(prefix + c);
            EXPECT_EQ(code.FNode, &node) << prefix + c;
            if (allowed) {
                EXPECT_EQ(code.FVerdict, TCodeVerdict::Reportable) << prefix + c;
                EXPECT_EQ(code.FDesc, node.FDesc + ", " + defined->FDesc);
            } else {
                ++refused;
                EXPECT_EQ(code.FVerdict, TCodeVerdict::SeventhCharNotAllowed) << prefix + c;
                EXPECT_EQ(PlanGoToCode(resolver, prefix + c).FStep, TGoToCodeStep::SeventhCharRefused);
            }
        }
    });
    EXPECT_GT(leaves, 10000u);
    EXPECT_GT(refused, 0u);

    EXPECT_EQ(resolver.Resolve("S06.1X7D").FVerdict, TCodeVerdict::SeventhCharNotAllowed);
    EXPECT_EQ(resolver.Resolve("s061x8s").FVerdict, TCodeVerdict::SeventhCharNotAllowed);
    EXPECT_EQ(resolver.Resolve("S06.1X7A").FVerdict, TCodeVerdict::Reportable);
    EXPECT_EQ(resolver.Resolve("S06.1X7D").FNode->FCode, "S06.1X7");
}

TEST_F(CodeResolverRealData, FourCharacterSubCodesOfTheTreeAreReportableWithTheirOwnDescription) {
    const TCodeResolver& resolver = LoadedData().CodeResolver();
    std::size_t count = 0;
    ForEachTreeNode([&](TCodeInfo& node) {
        if (node.FCode.size() != 8 || !node.IsFinalCode()) return;
        ++count;
        const TCodeResolution code = resolver.Resolve(node.FCode);
        EXPECT_EQ(code.FVerdict, TCodeVerdict::Reportable) << node.FCode;
        EXPECT_EQ(code.FNode, &node);
        EXPECT_EQ(code.FDesc, node.FDesc);
        EXPECT_FALSE(code.FSeventhCharacter);
        const TGoToCodePlan goTo = PlanGoToCode(resolver, node.FCode);
        EXPECT_EQ(goTo.FStep, TGoToCodeStep::Show);
        EXPECT_EQ(goTo.FSubCode, SubCodePart(node.FCode));
    });
    EXPECT_EQ(count, 75u);
    const TCodeResolution nested = resolver.Resolve("H54.512A");
    EXPECT_EQ(nested.FVerdict, TCodeVerdict::Reportable);
    EXPECT_EQ(nested.FDesc, "Low vision right eye category 2, normal vision left eye");
    EXPECT_EQ(resolver.Resolve("C44.1021").FVerdict, TCodeVerdict::Reportable);
}

TEST_F(CodeResolverRealData, TextsTheEditionDoesNotHave) {
    const TCodeResolver& resolver = LoadedData().CodeResolver();
    EXPECT_EQ(resolver.Resolve("Z99.5").FVerdict, TCodeVerdict::NotInEdition);
    EXPECT_EQ(resolver.Resolve("Z99.5").FCategory->FCode, "Z99");
    EXPECT_EQ(resolver.Resolve("ZZ9.1").FCategory, nullptr);
    EXPECT_EQ(resolver.Resolve("S52.52XA").FVerdict, TCodeVerdict::NotInEdition);
    EXPECT_EQ(resolver.Resolve("T07.XX0A").FVerdict, TCodeVerdict::NotInEdition);
    EXPECT_EQ(resolver.Resolve("B15").FVerdict, TCodeVerdict::NotReportable);
    EXPECT_EQ(resolver.Resolve("LSD").FVerdict, TCodeVerdict::NotInEdition);
    EXPECT_EQ(resolver.Resolve("hello").FVerdict, TCodeVerdict::NotACodeText);
    EXPECT_FALSE(resolver.IsReportable("S06.1X7D"));
    EXPECT_TRUE(resolver.IsReportable("s52521a"));
}
