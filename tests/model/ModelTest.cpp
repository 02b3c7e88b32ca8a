// The Tabular List model's own rules: description splitting, note headings, line counts.
#include <gtest/gtest.h>

#include "model/GlobalDef.h"

TEST(Model, SetInfoByStringSplitsAtTheLastParenthesis) {
    TChapter chapter;
    chapter.SetInfoByString("Intestinal infectious diseases (A00-A09)");
    EXPECT_EQ(chapter.FInfo.FName, "Intestinal infectious diseases");
    EXPECT_EQ(chapter.FInfo.FScope, "(A00-A09)");

    TSubChapter section(&chapter);
    section.SetInfoByString("Diseases (of a kind) (B00-B09)");
    EXPECT_EQ(section.FInfo.FName, "Diseases (of a kind)");
    EXPECT_EQ(section.FInfo.FScope, "(B00-B09)");
    EXPECT_EQ(section.FChapter, &chapter);

    // Without the blank, the character before the parenthesis goes, never part of one.
    section.SetInfoByString("Caf\xC3\xA9(X00)");
    EXPECT_EQ(section.FInfo.FName, "Caf");
    EXPECT_EQ(section.FInfo.FScope, "(X00)");
}

TEST(Model, SetInfoByStringWithoutUsableParenthesisChangesNothing) {
    for (const char* text : {"Intestinal infectious diseases", "(A00-A09)", ""}) {
        TSubChapter section(nullptr);
        section.SetInfoByString(text);
        EXPECT_EQ(section.FInfo.FName, "") << text;
        EXPECT_EQ(section.FInfo.FScope, "") << text;
    }
    TChapter chapter;
    chapter.SetInfoByString("Kept (A00-B99)");
    chapter.SetInfoByString("No range here");
    EXPECT_EQ(chapter.FInfo.FName, "Kept");
    EXPECT_EQ(chapter.FInfo.FScope, "(A00-B99)");
}

TEST(Model, NoteListsCarryTheirHeadingAndAlignedIndent) {
    const TIncludes includes;
    EXPECT_EQ(includes.FTypeWord, "INCLUDES");
    EXPECT_EQ(includes.FIndent, std::string(9, ' '));
    EXPECT_EQ(TCodeFirst().FIndent, std::string(11, ' '));
    EXPECT_EQ(TCodeAlso().FIndent, std::string(10, ' '));
    EXPECT_EQ(TUseAdditionalCode().FIndent, std::string(15, ' '));
    EXPECT_EQ(TExcludes1().FTypeWord, "EXCLUDES 1:");
    EXPECT_EQ(TExcludes2().FIndent, std::string(12, ' '));
    EXPECT_EQ(TNotes().FIndent, std::string(5, ' '));
    EXPECT_EQ(TInclusionTerm().FTypeWord, "");
    EXPECT_EQ(TInclusionTerm().FIndent, "");
    EXPECT_EQ(TSevenCharNote().FIndent, "");
    EXPECT_EQ(TInstruction().FIndent, "  ");
    EXPECT_EQ(TInstruction().FItemKind, TItemKind::Note);
    EXPECT_EQ(TSevenCharDef().FItemKind, TItemKind::SevenCharDef);
    EXPECT_EQ(TVisualImpairment().FItemKind, TItemKind::VisualImpairment);
}

TEST(Model, GetTextLinesCountsNotesCharactersTablesAndChildren) {
    TCodeInfo code(nullptr, nullptr, 0);
    auto includes = std::make_unique<TIncludes>();
    includes->FNoteList = {"a", "b"};
    code.FItemList.push_back(std::move(includes));
    auto definition = std::make_unique<TSevenCharDef>();
    definition->FDefList.push_back(std::make_unique<TCharDef>());
    definition->FDefList.push_back(std::make_unique<TCharDef>());
    definition->FDefList.push_back(std::make_unique<TCharDef>());
    code.FItemList.push_back(std::move(definition));
    code.FItemList.push_back(std::make_unique<TVisualImpairment>());
    auto child = std::make_unique<TCodeInfo>(nullptr, &code, 1);
    auto notes = std::make_unique<TNotes>();
    notes->FNoteList = {"n"};
    child->FItemList.push_back(std::move(notes));
    code.FSubCodeList.push_back(std::move(child));
    EXPECT_EQ(code.GetTextLines(), 1 + 2 + 3 + 18 + (1 + 1));

    TChapter chapter;
    auto excludes = std::make_unique<TExcludes1>();
    excludes->FNoteList = {"x", "y", "z"};
    chapter.FInfo.FItemList.push_back(std::move(excludes));
    chapter.FSubList.push_back(std::make_unique<TSubChapter>(&chapter));
    EXPECT_EQ(chapter.GetTextLines(), 4);
    EXPECT_EQ(chapter.FSubList[0]->GetTextLines(), 1);
}
