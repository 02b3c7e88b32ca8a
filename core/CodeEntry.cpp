#include "CodeEntry.h"

#include <cstdio>

#include "CodeLookup.h"
#include "TextUtil.h"

namespace {

bool IsCodeBoxCharacter(char32_t c) { return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z'); }

// The box text as exactly CodeBoxLength characters: shorter texts are padded with blanks.
std::u32string BoxCharacters(std::string_view ABoxText) {
    std::u32string box = Utf8ToU32(ABoxText);
    if (box.size() < static_cast<std::size_t>(CodeBoxLength)) box.resize(CodeBoxLength, U' ');
    return box;
}

template <typename TFindCategory>
TGoToCodePlan PlanGoToCodeWith(std::string_view AText, TFindCategory&& AFindCategory) {
    TGoToCodePlan plan;
    std::string category;
    std::string subCode;
    if (!ParseCodeText(AText, category, subCode)) {
        plan.FStep = TGoToCodeStep::InvalidText;
        return plan;
    }
    plan.FCategory = AFindCategory(category);
    if (plan.FCategory == nullptr) {
        plan.FStep = TGoToCodeStep::NoCategory;
        return plan;
    }
    if (subCode.size() == 4) {
        // A seventh-character code is shown at the code it belongs to.
        plan.FHeader = plan.FCategory->FindHeaderBy4SubCodes(subCode, plan.FFullDesc);
        if (plan.FHeader != nullptr) {
            plan.FStep = TGoToCodeStep::SevenCharCode;
            plan.FSubCode = SubCodePart(plan.FHeader->FCode);
            return plan;
        }
        // Four characters after the dot are not always a seventh-character code: C44.1021 is a
        // complete code of its own. Such a code is shown like any other instead of being called
        // a missing sub-category.
        if (plan.FCategory->FindSubCodeByName(subCode) != nullptr) {
            plan.FStep = TGoToCodeStep::Show;
            plan.FSubCode = subCode;
            return plan;
        }
    } else if (plan.FCategory->FindSubCodeByName(subCode) != nullptr) {
        plan.FStep = TGoToCodeStep::Show;
        plan.FSubCode = subCode;
        return plan;
    }
    // The category exists but the rest does not: shown, if the user wants, at page 1. The tail is
    // kept so that the category's own code is not underlined either.
    plan.FStep = TGoToCodeStep::SubCategoryMissing;
    plan.FHeader = nullptr;
    plan.FFullDesc.clear();
    plan.FSubCode = subCode;
    return plan;
}

}  // namespace

std::string CodeWithDescription(std::string_view ACode, std::string_view ADesc) {
    std::string text(ACode);
    text += "  ";
    text += ADesc;
    return text;
}

std::string ShortOrLongDescription(const TShortDescLookup& ALookup, const std::string& ACode,
                                   const std::string& ALongDesc) {
    if (ALookup) {
        if (std::optional<std::string> shortDesc = ALookup(ACode)) return *shortDesc;
    }
    return ALongDesc;
}

std::string CopyText(TCopyKind AKind, const std::string& ACode, const std::string& ALongDesc,
                     const TShortDescLookup& ALookup) {
    switch (AKind) {
        case TCopyKind::Code:
            return ACode;
        case TCopyKind::LongDescription:
            return ALongDesc;
        case TCopyKind::CodeAndLongDescription:
            return CodeWithDescription(ACode, ALongDesc);
        case TCopyKind::ShortDescription:
            return ShortOrLongDescription(ALookup, ACode, ALongDesc);
        case TCopyKind::CodeAndShortDescription:
            return CodeWithDescription(ACode, ShortOrLongDescription(ALookup, ACode, ALongDesc));
    }
    return ACode;
}

std::string CodeHeaderText(std::string_view AHeader) {
    std::string header(AHeader);
    if (Utf8Length(AHeader) == 3) header += ".";
    return header;
}

void CollectValidCodes(std::string_view AHeaderText, TStringList& ACodeList, TStringList& ADescList) {
    const TCodeInfo* code = FindCodeByText(AHeaderText);
    if (code != nullptr) code->GetAllValideCodes(ACodeList, ADescList);
}

TCodeListSelection FilterCodeList(const TStringList& ACodeList, std::string_view AHeaderText,
                                  std::string_view AFilter) {
    TCodeListSelection selection;
    const std::string filter = TrimControls(AFilter);
    const std::string prefix = filter.empty() ? std::string() : std::string(AHeaderText) + filter;
    const std::size_t prefixLength = Utf8Length(prefix);
    for (std::size_t i = 0; i < ACodeList.size(); ++i) {
        const std::string& code = ACodeList[i];
        const std::size_t codeLength = Utf8Length(code);
        if (!prefix.empty()) {
            if (codeLength < prefixLength) continue;
            if (CompareTextPrefix(code, prefix, static_cast<int>(prefixLength), true, false) != 0) continue;
        }
        selection.FRows.push_back(i);
        switch (codeLength) {
            case 5:
                ++selection.FCount4;
                break;
            case 6:
                ++selection.FCount5;
                break;
            case 7:
                ++selection.FCount6;
                break;
            case 8:
                ++selection.FCount7;
                break;
            default:
                break;
        }
    }
    return selection;
}

std::string FormatCodeTotals(const TCodeListSelection& ASelection) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer,
                  "Total: %d    (4 chars code: %d    5 chars code: %d    6 chars code: %d    7 chars code: %d)",
                  static_cast<int>(ASelection.FRows.size()), ASelection.FCount4, ASelection.FCount5,
                  ASelection.FCount6, ASelection.FCount7);
    return buffer;
}

TCopyPlan PlanCopy(std::string_view ASelection) {
    TCopyPlan plan;
    std::string category;
    std::string subCode;
    if (!ParseCodeText(ASelection, category, subCode)) return plan;
    plan.FValid = true;
    plan.FHeader = category + "." + subCode;
    CollectValidCodes(CodeHeaderText(plan.FHeader), plan.FCodeList, plan.FDescList);
    if (plan.FCodeList.size() >= 2) {
        plan.FShowDialog = true;
        return plan;
    }
    if (plan.FCodeList.size() == 1) {
        // The one valid completion is what gets copied: for a complete code that is the code
        // itself; for a code with a single seventh character (S06.1X7) it is the full code, so
        // the copy never carries an incomplete code with a full code's description.
        plan.FCode = plan.FCodeList.front();
        plan.FLongDesc = plan.FDescList.front();
        return plan;
    }
    plan.FCode = subCode.empty() ? category : plan.FHeader;
    if (subCode.size() == 4) {
        // A complete seventh-character code has no completions of its own; its description is
        // that of the code it belongs to with the character's meaning.
        if (TCodeInfo* categoryNode = FindCategory(category)) {
            std::string fullDesc;
            if (categoryNode->FindHeaderBy4SubCodes(subCode, fullDesc) != nullptr) plan.FLongDesc = fullDesc;
        }
    }
    return plan;
}

std::string DirectCopyText(const TCopyPlan& APlan, bool APlusDesc, bool ACtrlHeld, const TShortDescLookup& ALookup) {
    if (!APlusDesc || APlan.FLongDesc.empty()) return APlan.FCode;
    if (ACtrlHeld) return CodeWithDescription(APlan.FCode, ShortOrLongDescription(ALookup, APlan.FCode, APlan.FLongDesc));
    return CodeWithDescription(APlan.FCode, APlan.FLongDesc);
}

TGoToCodePlan PlanGoToCode(std::string_view AText) {
    return PlanGoToCodeWith(AText, [](const std::string& category) { return FindCategory(category); });
}

TGoToCodePlan PlanGoToCode(const TChapterList& AChapters, std::string_view AText) {
    return PlanGoToCodeWith(AText,
                            [&AChapters](const std::string& category) { return FindCategory(AChapters, category); });
}

std::optional<TCodeBoxState> CodeBoxAfterKeyUp(std::string_view ABoxText) {
    const std::u32string box = BoxCharacters(ABoxText);
    int count = 0;
    std::size_t position = 0;
    for (std::size_t i = 0; i < box.size(); ++i) {
        if (IsCodeBoxCharacter(box[i])) {
            ++count;
            position = i;
        }
    }
    if (count != 1 || position == 0) return std::nullopt;
    std::u32string rewritten = Utf8ToU32(EmptyCodeBoxText);
    rewritten[0] = box[position];
    return TCodeBoxState{U32ToUtf8(rewritten), 1, 1};
}

int CodeBoxCaretAfterClick(std::string_view ABoxText) {
    int count = 0;
    for (char32_t c : BoxCharacters(ABoxText)) {
        if (IsCodeBoxCharacter(c)) ++count;
    }
    return count < 3 ? count : count + 1;
}

std::string CodeBoxEntry(std::string_view ABoxText) { return AsciiUpper(TrimControls(ABoxText)); }
