#include "model/GlobalDef.h"

#include "services/TextUtil.h"

namespace {

void SetNoteHeading(TNoteBase& note, const char* typeWord) {
    note.FTypeWord = typeWord;
    // The indent lines further notes up under the text of the first one.
    note.FIndent = note.FTypeWord.empty() ? std::string() : std::string(note.FTypeWord.size() + 1, ' ');
}

// Shared by chapters and sections: split "Name (A00-B99)" at the last "(".
void SplitInfo(TChapterInfo& info, const std::string& text) {
    const std::size_t open = text.rfind('(');
    if (open == std::string::npos || open == 0) return;
    // The name drops the character before the parenthesis (normally a blank), a whole UTF-8
    // character even when it is not one.
    std::size_t nameEnd = open - 1;
    while (nameEnd > 0 && (static_cast<unsigned char>(text[nameEnd]) & 0xC0) == 0x80) --nameEnd;
    info.FName = text.substr(0, nameEnd);
    info.FScope = text.substr(open);
}

}  // namespace

TNoteBase::TNoteBase(TNoteKind kind) : TModelItem(TItemKind::Note), FKind(kind) {}

TIncludes::TIncludes() : TNoteBase(TNoteKind::Includes) {
    SetNoteHeading(*this, "INCLUDES");
}
TInclusionTerm::TInclusionTerm() : TNoteBase(TNoteKind::InclusionTerm) {}
TCodeFirst::TCodeFirst() : TNoteBase(TNoteKind::CodeFirst) {
    SetNoteHeading(*this, "CODE FIRST");
}
TCodeAlso::TCodeAlso() : TNoteBase(TNoteKind::CodeAlso) {
    SetNoteHeading(*this, "CODE ALSO");
}
TUseAdditionalCode::TUseAdditionalCode() : TNoteBase(TNoteKind::UseAdditionalCode) {
    SetNoteHeading(*this, "USE ADDITIONAL");
}
TExcludes1::TExcludes1() : TNoteBase(TNoteKind::Excludes1) {
    SetNoteHeading(*this, "EXCLUDES 1:");
}
TExcludes2::TExcludes2() : TNoteBase(TNoteKind::Excludes2) {
    SetNoteHeading(*this, "EXCLUDES 2:");
}
TNotes::TNotes() : TNoteBase(TNoteKind::Notes) {
    SetNoteHeading(*this, "NOTE");
}
TSevenCharNote::TSevenCharNote() : TNoteBase(TNoteKind::SevenCharNote) {}
// The instruction's type word is its section title, set by the loader; the indent is fixed.
TInstruction::TInstruction() : TNoteBase(TNoteKind::Instruction) {
    FIndent = "  ";
}

TCodeInfo::TCodeInfo(TSubChapter* ASubChapter, TCodeInfo* AParent, int ALevel)
    : FSubChapter(ASubChapter), FParent(AParent), FLevel(ALevel) {}

int CountNoteLines(const TItemList& items) {
    int lines = 0;
    for (const auto& item : items) {
        if (item->FItemKind == TItemKind::Note) {
            lines += static_cast<int>(static_cast<const TNoteBase&>(*item).FNoteList.size());
        }
    }
    return lines;
}

int TCodeInfo::GetTextLines() const {
    int lines = 1;
    for (const auto& item : FItemList) {
        switch (item->FItemKind) {
            case TItemKind::Note:
                lines += static_cast<int>(static_cast<const TNoteBase&>(*item).FNoteList.size());
                break;
            case TItemKind::SevenCharDef:
                lines += static_cast<int>(static_cast<const TSevenCharDef&>(*item).FDefList.size());
                break;
            case TItemKind::VisualImpairment:
                lines += static_cast<const TVisualImpairment&>(*item).GetTextLines();
                break;
        }
    }
    for (const auto& child : FSubCodeList) lines += child->GetTextLines();
    return lines;
}

void TChapter::SetInfoByString(const std::string& AStr) {
    SplitInfo(FInfo, AStr);
}
int TChapter::GetTextLines() const {
    return 1 + CountNoteLines(FInfo.FItemList);
}

void TSubChapter::SetInfoByString(const std::string& AStr) {
    SplitInfo(FInfo, AStr);
}
int TSubChapter::GetTextLines() const {
    return 1 + CountNoteLines(FInfo.FItemList);
}
