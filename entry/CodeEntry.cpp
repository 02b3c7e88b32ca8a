#include "entry/CodeEntry.h"

#include <cstdio>

#include "model/CodeLookup.h"
#include "model/CodeResolver.h"
#include "services/TextUtil.h"

namespace {

bool IsCodeBoxCharacter(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z');
}

// The box text as exactly CodeBoxLength characters: shorter texts are padded with blanks.
std::u32string BoxCharacters(std::string_view ABoxText) {
    std::u32string box = Utf8ToU32(ABoxText);
    if (box.size() < static_cast<std::size_t>(CodeBoxLength)) box.resize(CodeBoxLength, U' ');
    return box;
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

void CollectValidCodes(const TCodeResolver& AResolver, std::string_view AHeaderText, TStringList& ACodeList,
                       TStringList& ADescList) {
    AResolver.Completions(AResolver.Resolve(AHeaderText), ACodeList, ADescList);
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
                  static_cast<int>(ASelection.FRows.size()), ASelection.FCount4, ASelection.FCount5, ASelection.FCount6,
                  ASelection.FCount7);
    return buffer;
}

TCopyPlan PlanCopy(const TCodeResolver& AResolver, std::string_view ASelection) {
    TCopyPlan plan;
    const TCodeResolution code = AResolver.Resolve(ASelection);
    if (code.FVerdict == TCodeVerdict::NotACodeText) return plan;
    plan.FValid = true;
    plan.FHeader = CodeHeaderText(code.FCode);
    AResolver.Completions(code, plan.FCodeList, plan.FDescList);
    if (plan.FCodeList.size() >= 2) {
        plan.FShowDialog = true;
        return plan;
    }
    if (plan.FCodeList.empty()) {
        // Nothing the edition has: never copy a made-up code.
        plan.FRefusal = MsgCodeNotExist;
        return plan;
    }
    // A complete code is copied as it is; a code with a single completion (S06.1X7) copies that
    // completion, so the copy never carries an incomplete code.
    plan.FCode = plan.FCodeList.front();
    plan.FLongDesc = plan.FDescList.front();
    return plan;
}

std::string DirectCopyText(const TCopyPlan& APlan, bool APlusDesc, bool ACtrlHeld, const TShortDescLookup& ALookup) {
    if (!APlusDesc || APlan.FLongDesc.empty()) return APlan.FCode;
    if (ACtrlHeld)
        return CodeWithDescription(APlan.FCode, ShortOrLongDescription(ALookup, APlan.FCode, APlan.FLongDesc));
    return CodeWithDescription(APlan.FCode, APlan.FLongDesc);
}

TGoToCodePlan PlanGoToCode(const TCodeResolver& AResolver, std::string_view AText) {
    TGoToCodePlan plan;
    const TCodeResolution code = AResolver.Resolve(AText);
    plan.FCategory = code.FCategory;
    switch (code.FVerdict) {
        case TCodeVerdict::NotACodeText:
            plan.FStep = TGoToCodeStep::InvalidText;
            break;
        case TCodeVerdict::Reportable:
        case TCodeVerdict::NotReportable:
            plan.FSubCode = code.NodeSubCode();
            plan.FStep = TGoToCodeStep::Show;
            if (code.FSeventhCharacter) {
                // Shown at the code it belongs to, after the seventh-character dialog.
                plan.FStep = TGoToCodeStep::SevenCharCode;
                plan.FHeader = code.FNode;
                plan.FFullDesc = code.FDesc;
            }
            break;
        case TCodeVerdict::SeventhCharNotAllowed:
            plan.FStep = TGoToCodeStep::SeventhCharRefused;
            plan.FSubCode = SubCodePart(code.FCode);
            plan.FQuestion = SeventhCharQuestion(SeventhCharRefusal(AResolver, code), code.FCategory->FCode);
            break;
        case TCodeVerdict::NotInEdition:
            // With the category the user may still read it, at page 1: the tail matches no line,
            // so nothing is underlined.
            plan.FStep = plan.FCategory ? TGoToCodeStep::SubCategoryMissing : TGoToCodeStep::NoCategory;
            plan.FSubCode = SubCodePart(code.FCode);
            break;
    }
    return plan;
}

TSeventhCharRefusal SeventhCharRefusal(const TCodeResolver& AResolver, const TCodeResolution& ACode) {
    TSeventhCharRefusal refusal;
    if (ACode.FVerdict != TCodeVerdict::SeventhCharNotAllowed || ACode.FNode == nullptr) return refusal;
    const std::string& node = ACode.FNode->FCode;
    refusal.FReason = ACode.FCode + ": the seventh character " + ACode.FCode.substr(ACode.FCode.size() - 1) +
                      " is not allowed for " + node;
    TStringList codes;
    TStringList descriptions;
    AResolver.Completions(AResolver.Resolve(node), codes, descriptions);
    // A completion's description is the code's own, ", " and the character's meaning.
    const std::string lead = ACode.FNode->FDesc + ", ";
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::string& description = descriptions[i];
        const std::string meaning = description.starts_with(lead) ? description.substr(lead.size()) : description;
        refusal.FAllowed.push_back(codes[i].substr(codes[i].size() - 1) + "  " + meaning);
    }
    return refusal;
}

std::string SeventhCharQuestion(const TSeventhCharRefusal& ARefusal, const std::string& ACategory) {
    std::string text = ARefusal.FReason + ".\n\n";
    text += ARefusal.FAllowed.empty() ? "No seventh character is allowed there." : "Allowed seventh characters:";
    for (const std::string& allowed : ARefusal.FAllowed) text += "\n    " + allowed;
    text += "\n\nWould you like to view the code text of " + ACategory + "?";
    return text;
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

std::string CodeBoxEntry(std::string_view ABoxText) {
    return AsciiUpper(TrimControls(ABoxText));
}
