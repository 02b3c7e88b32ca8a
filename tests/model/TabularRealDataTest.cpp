// The loader and the look-ups on the real embedded Tabular List (FY2021 with the January 2021
// addenda), loaded once per test binary into containers of its own.
#include "tests/model/TabularRealDataTest.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "model/CodeLookup.h"
#include "tests/common/TestSupport.h"

namespace {

TCodeInfo* Find(const std::string& text) {
    return FindNode(RealTabular().chapters, text);
}

void ForEachNode(const TCodeInfo& node, const std::function<void(const TCodeInfo&)>& visit) {
    visit(node);
    for (const auto& child : node.FSubCodeList) ForEachNode(*child, visit);
}

void ForEachCategory(const std::function<void(const TCodeInfo&)>& visit) {
    for (const auto& chapter : RealTabular().chapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) visit(*category);
        }
    }
}

TStringList ValidCodes(const std::string& code) {
    TStringList codes;
    TStringList descs;
    if (TCodeInfo* node = Find(code)) node->GetAllValideCodes(codes, descs);
    return codes;
}

}  // namespace

TEST(TabularRealData, LoadsEveryChapterSectionAndNodeWithoutMessages) {
    const TLoadedTabular& tabular = RealTabular();
    EXPECT_EQ(tabular.result, TLoadState::Done);
    EXPECT_EQ(tabular.status.load(), TLoadState::Done);
    EXPECT_TRUE(tabular.messages.empty()) << tabular.messages.front();
    ASSERT_EQ(tabular.chapters.size(), 22u);

    std::size_t sections = 0;
    std::array<std::size_t, 5> byLevel{};
    bool consistent = true;
    TStringList notUnderParentCode;
    for (const auto& chapter : tabular.chapters) {
        sections += chapter->FSubList.size();
        for (const auto& section : chapter->FSubList) {
            consistent = consistent && section->FChapter == chapter.get();
            for (const auto& category : section->FCodeList) {
                ForEachNode(*category, [&](const TCodeInfo& node) {
                    ASSERT_LT(node.FLevel, 5);
                    ++byLevel[static_cast<std::size_t>(node.FLevel)];
                    const std::size_t length = node.FLevel == 0 ? 3 : 4 + static_cast<std::size_t>(node.FLevel);
                    consistent = consistent && node.FCode.size() == length && node.FSubChapter == section.get() &&
                                 (node.FParent == nullptr) == (node.FLevel == 0) &&
                                 (!node.FParent || node.FParent->FLevel + 1 == node.FLevel);
                    if (node.FParent && !node.FCode.starts_with(node.FParent->FCode)) {
                        notUnderParentCode.push_back(node.FCode);
                    }
                });
            }
        }
    }
    EXPECT_EQ(sections, 296u);
    EXPECT_EQ(byLevel, (std::array<std::size_t, 5>{1911, 9965, 13689, 19377, 75}));
    EXPECT_EQ(byLevel[0] + byLevel[1] + byLevel[2] + byLevel[3] + byLevel[4], 45017u);
    EXPECT_TRUE(consistent) << "levels, code lengths, parents and sections must agree";
    // The published file nests H54.512A under H54.511; the loader keeps the document's tree.
    EXPECT_EQ(notUnderParentCode, TStringList{"H54.512A"});

    const TChapter& first = *tabular.chapters[0];
    EXPECT_EQ(first.FInfo.FName, "Certain infectious and parasitic diseases");
    EXPECT_EQ(first.FInfo.FScope, "(A00-B99)");
    EXPECT_EQ(first.FSubList[0]->FInfo.FName, "Intestinal infectious diseases");
    EXPECT_EQ(first.FSubList[0]->FInfo.FScope, "(A00-A09)");
    EXPECT_EQ(tabular.introduction.FTitle, "ICD-10-CM TABULAR LIST of DISEASES and INJURIES");
    EXPECT_EQ(tabular.introduction.FSubTitle, "Instructional Notations");
    ASSERT_FALSE(tabular.introduction.FInstructionList.empty());
    EXPECT_EQ(tabular.introduction.FInstructionList[0]->FTypeWord, "Includes:");
}

TEST(TabularRealData, PlaceholderNodesAreMarked) {
    TCodeInfo* node = Find("H21.1X");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->FCode, "H21.1X");
    EXPECT_TRUE(node->FPlaceHolder);
    EXPECT_FALSE(Find("H21.1X1")->FPlaceHolder);
    std::size_t marked = 0;
    bool allEndInX = true;
    ForEachCategory([&](const TCodeInfo& category) {
        ForEachNode(category, [&](const TCodeInfo& each) {
            if (!each.FPlaceHolder) return;
            ++marked;
            allEndInX = allEndInX && each.FCode.back() == 'X';
        });
    });
    EXPECT_EQ(marked, 245u);
    EXPECT_TRUE(allEndInX);
}

TEST(TabularRealData, VisualImpairmentTableOfH548) {
    TCodeInfo* node = Find("H54.8");
    ASSERT_NE(node, nullptr);
    const TVisualImpairment* table = nullptr;
    for (const auto& item : node->FItemList) {
        if (item->FItemKind == TItemKind::VisualImpairment) table = static_cast<const TVisualImpairment*>(item.get());
    }
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->FVisCategoryList.size(), 6u);
    const int values[] = {1, 2, 3, 4, 5, 9};
    const int ranges[] = {3, 3, 3, 3, 1, 1};
    for (std::size_t i = 0; i < 6; ++i) {
        const TVisCategory& category = *table->FVisCategoryList[i];
        EXPECT_EQ(category.FValue, values[i]);
        int present = 0;
        for (const auto& slot : category.VisRanges) present += slot != nullptr;
        EXPECT_EQ(present, ranges[i]) << "category " << values[i];
    }
    const TVisCategory& one = *table->FVisCategoryList[0];
    EXPECT_EQ(one.VisRanges[0]->FVisMax, "6/18");
    EXPECT_EQ(one.VisRanges[0]->FVisMin, "6/60");
    EXPECT_EQ(one.VisRanges[1]->FVisMax, "3/10(0.3)");
    EXPECT_EQ(table->FVisCategoryList[3]->VisRanges[0]->FVisMin, "Light perception");
    EXPECT_EQ(table->FVisCategoryList[4]->VisRanges[0]->FVisMax, "No light perception");
    EXPECT_EQ(
        node->GetTextLines(), 1 + 18 + [&] {
            int notes = 0;
            for (const auto& item : node->FItemList) {
                if (item->FItemKind == TItemKind::Note)
                    notes += static_cast<int>(static_cast<const TNoteBase&>(*item).FNoteList.size());
            }
            return notes;
        }());
}

// The exception rules come from the data build step that derives them from the order file.
TEST(TabularRealData, S06CarriesTheSeventhCharacterExceptionRules) {
    TCodeInfo* s06 = Find("S06");
    ASSERT_NE(s06, nullptr);
    const TSevenCharDef* definition = s06->GetSelf7CharDef();
    ASSERT_NE(definition, nullptr);
    ASSERT_EQ(definition->FDefList.size(), 3u);
    EXPECT_EQ(definition->FDefList[0]->FChar, "A");
    EXPECT_TRUE(definition->FDefList[0]->FDefExceptionList.empty());
    for (std::size_t i = 1; i < 3; ++i) {
        const TCharDef& character = *definition->FDefList[i];
        ASSERT_EQ(character.FDefExceptionList.size(), 2u) << character.FChar;
        EXPECT_EQ(character.FDefExceptionList[0]->FCodePos, 6);
        EXPECT_EQ(character.FDefExceptionList[0]->FCodeVal, '7');
        EXPECT_EQ(character.FDefExceptionList[1]->FCodePos, 6);
        EXPECT_EQ(character.FDefExceptionList[1]->FCodeVal, '8');
    }
    EXPECT_EQ(ValidCodes("S06.1X7"), TStringList{"S06.1X7A"});
    EXPECT_EQ(ValidCodes("S06.1X8"), TStringList{"S06.1X8A"});
    EXPECT_EQ(ValidCodes("S06.1X1"), (TStringList{"S06.1X1A", "S06.1X1D", "S06.1X1S"}));
}

TEST(TabularRealData, ValidCodeCountMatchesThePublishedEdition) {
    std::size_t valid = 0;
    ForEachCategory([&](const TCodeInfo& category) {
        TStringList codes;
        TStringList descs;
        category.GetAllValideCodes(codes, descs);
        valid += codes.size();
    });
    EXPECT_EQ(valid, 72621u);
}

TEST(TabularRealData, FinalCodesAndCompletions) {
    // S52.521 inherits the six characters of S52.52 (torus fractures are closed); S52.501 those of S52.
    EXPECT_FALSE(Find("S52.521")->IsFinalCode());
    EXPECT_EQ(Find("S52.521")->GetSelf7CharDef(), nullptr);
    EXPECT_EQ(Find("S52.521")->Get7CharDef(), Find("S52.52")->GetSelf7CharDef());
    EXPECT_EQ(Find("S52.501")->Get7CharDef(), Find("S52")->GetSelf7CharDef());
    EXPECT_TRUE(Find("A00.0")->IsFinalCode());
    EXPECT_FALSE(Find("A00")->IsFinalCode());

    EXPECT_EQ(ValidCodes("A00"), (TStringList{"A00.0", "A00.1", "A00.9"}));
    EXPECT_EQ(ValidCodes("S52.521"),
              (TStringList{"S52.521A", "S52.521D", "S52.521G", "S52.521K", "S52.521P", "S52.521S"}));
    const TStringList s52501 = ValidCodes("S52.501");
    ASSERT_EQ(s52501.size(), 16u);
    EXPECT_EQ(s52501.front(), "S52.501A");
    EXPECT_EQ(s52501[1], "S52.501B");
    EXPECT_EQ(s52501.back(), "S52.501S");
    EXPECT_EQ(ValidCodes("T07"), (TStringList{"T07.XXXA", "T07.XXXD", "T07.XXXS"}));
    EXPECT_EQ(ValidCodes("E08.37"), (TStringList{"E08.37X1", "E08.37X2", "E08.37X3", "E08.37X9"}));
    const TStringList o320 = ValidCodes("O32.0");
    ASSERT_EQ(o320.size(), 7u);
    EXPECT_EQ(o320.front(), "O32.0XX0");
    EXPECT_EQ(o320.back(), "O32.0XX9");

    TStringList nodes;
    TStringList flags;
    TStringList descs;
    Find("A00")->GetAllNodeAndCodes(nodes, flags, descs);
    EXPECT_EQ(nodes, (TStringList{"A00", "A00.0", "A00.1", "A00.9"}));
    EXPECT_EQ(flags, (TStringList{"0", "1", "1", "1"}));
}
