#include "model/CodeResolver.h"

#include "model/CodeLookup.h"

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAsciiLetterOrDigit(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c);
}
bool IsBlankOrControl(unsigned char c) {
    return c <= ' ' || c == 0x7F;
}

// A dotted code has at most eight characters, none of them zero, so it packs into one exact key.
std::uint64_t PackCode(std::string_view ACode) {
    std::uint64_t key = 0;
    for (char c : ACode) key = (key << 8) | static_cast<unsigned char>(c);
    return key;
}

std::size_t SlotOf(std::uint64_t key, std::size_t mask) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 32) & mask;
}

}  // namespace

const char* VerdictWord(TCodeVerdict AVerdict) {
    switch (AVerdict) {
        case TCodeVerdict::Reportable:
            return "reportable";
        case TCodeVerdict::NotReportable:
            return "not-reportable";
        case TCodeVerdict::SeventhCharNotAllowed:
            return "seventh-not-allowed";
        case TCodeVerdict::NotInEdition:
            return "not-in-edition";
        case TCodeVerdict::NotACodeText:
            break;
    }
    return "not-a-code";
}

bool NormalizeCodeText(std::string_view AText, TCodeText& ACode) {
    while (!AText.empty() && IsBlankOrControl(static_cast<unsigned char>(AText.front()))) AText.remove_prefix(1);
    while (!AText.empty() && IsBlankOrControl(static_cast<unsigned char>(AText.back()))) AText.remove_suffix(1);
    if (AText.size() < 3 || AText.size() > 8) return false;

    char text[9];
    std::size_t length = 0;
    bool hasDot = false;
    bool allLettersAndDigits = true;
    for (char c : AText) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        hasDot = hasDot || c == '.';
        allLettersAndDigits = allLettersAndDigits && IsAsciiLetterOrDigit(c);
        text[length++] = c;
    }
    // Claims files and the order file write codes without the dot: "S52521A". Only a text shaped like
    // a code (letter, digit, then letters and digits) gets one, so a word such as "hello" stays no code.
    if (length > 3 && length < 8 && !hasDot && allLettersAndDigits && IsAsciiLetter(text[0]) && IsAsciiDigit(text[1])) {
        for (std::size_t i = length; i > 3; --i) text[i] = text[i - 1];
        text[3] = '.';
        ++length;
    }
    std::string_view category;
    std::string_view subCode;
    if (!ParseCodeText(std::string_view(text, length), category, subCode)) return false;
    ACode.FLength = 0;
    for (char c : category) ACode.FChars[ACode.FLength++] = c;
    if (!subCode.empty()) {
        ACode.FChars[ACode.FLength++] = '.';
        for (char c : subCode) ACode.FChars[ACode.FLength++] = c;
    }
    return true;
}

std::optional<std::string> NormalizeCodeText(std::string_view AText) {
    TCodeText code;
    if (!NormalizeCodeText(AText, code)) return std::nullopt;
    return std::string(code.View());
}

std::string TCodeResolution::NodeSubCode() const {
    return FNode ? SubCodePart(FNode->FCode) : std::string();
}

TCodeResolver::TCodeResolver(const TChapterList& AChapters) {
    FEntries.reserve(96000);
    FReportable.reserve(73000);
    for (const auto& chapter : AChapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) AddNode(*category);
        }
    }
    BuildIndex();
}

void TCodeResolver::BuildIndex() {
    std::size_t size = 16;
    while (size < 2 * FEntries.size()) size *= 2;
    FSlots.assign(size, TSlot());
    FSlotMask = size - 1;
    for (std::uint32_t index = 0; index < FEntries.size(); ++index) {
        const std::uint64_t key = PackCode(FEntries[index].FCode);
        std::size_t slot = SlotOf(key, FSlotMask);
        // The first of two equal texts wins, as in every look-up of the tree.
        while (FSlots[slot].FEntry != 0 && FSlots[slot].FKey != key) slot = (slot + 1) & FSlotMask;
        if (FSlots[slot].FEntry != 0) continue;
        FSlots[slot] = TSlot{key, index + 1};
    }
}

std::uint32_t TCodeResolver::AddEntry(TEntry AEntry) {
    const auto index = static_cast<std::uint32_t>(FEntries.size());
    if (AEntry.FReportable) FReportable.push_back(index);
    FEntries.push_back(std::move(AEntry));
    return index;
}

// Lists a node the way GetAllNodeAndCodes does (a node that is no code by itself, then what lies
// below it), taking the valid codes of each leaf from GetAllValideCodes, so the index holds exactly
// the codes and flags of the order-file listing.
void TCodeResolver::AddNode(TCodeInfo& ANode) {
    if (ANode.FCode.size() > 8) return;  // no code text can name it
    const bool needsSeventh = ANode.FSubCodeList.empty() && ANode.Get7CharDef() != nullptr;
    std::optional<std::uint32_t> nodeIndex;
    if (!ANode.IsFinalCode()) {
        TEntry entry;
        entry.FCode = ANode.FCode;
        entry.FNode = &ANode;
        entry.FFirst = static_cast<std::uint32_t>(FReportable.size());
        entry.FNeedsSeventh = needsSeventh;
        nodeIndex = AddEntry(std::move(entry));
    }
    if (!ANode.FSubCodeList.empty()) {
        for (const auto& child : ANode.FSubCodeList) AddNode(*child);
    } else {
        TStringList codes;
        TStringList descs;
        ANode.GetAllValideCodes(codes, descs);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (codes[i].size() > 8) continue;
            TEntry entry;
            entry.FCode = std::move(codes[i]);
            entry.FNode = &ANode;
            entry.FReportable = true;
            entry.FSeventhCharacter = needsSeventh;
            if (needsSeventh) {
                entry.FDescIndex = static_cast<std::uint32_t>(FSeventhDescs.size());
                FSeventhDescs.push_back(std::move(descs[i]));
            }
            AddEntry(std::move(entry));
        }
    }
    if (nodeIndex) FEntries[*nodeIndex].FLast = static_cast<std::uint32_t>(FReportable.size());
}

const TCodeResolver::TEntry* TCodeResolver::Find(std::string_view ACode) const {
    if (ACode.empty() || ACode.size() > 8 || FSlots.empty()) return nullptr;
    const std::uint64_t key = PackCode(ACode);
    for (std::size_t slot = SlotOf(key, FSlotMask); FSlots[slot].FEntry != 0; slot = (slot + 1) & FSlotMask) {
        if (FSlots[slot].FKey == key) return &FEntries[FSlots[slot].FEntry - 1];
    }
    return nullptr;
}

const std::string& TCodeResolver::DescOf(const TEntry& AEntry) const {
    return AEntry.FSeventhCharacter ? FSeventhDescs[AEntry.FDescIndex] : AEntry.FNode->FDesc;
}

TCodeAnswer TCodeResolver::Answer(std::string_view AText) const {
    TCodeAnswer answer;
    if (!NormalizeCodeText(AText, answer.FCode)) return answer;
    const std::string_view code = answer.FCode.View();
    if (const TEntry* category = Find(code.substr(0, 3))) answer.FCategory = category->FNode;

    if (const TEntry* entry = Find(code)) {
        answer.FVerdict = entry->FReportable ? TCodeVerdict::Reportable : TCodeVerdict::NotReportable;
        answer.FNode = entry->FNode;
        answer.FDesc = &DescOf(*entry);
        answer.FSeventhCharacter = entry->FSeventhCharacter;
        return answer;
    }

    answer.FVerdict = TCodeVerdict::NotInEdition;
    if (answer.FCategory == nullptr || code.size() != 8) return answer;
    // Four characters after the dot: a seventh character on a leaf that takes one, the places between
    // filled with the placeholder "X". When such a leaf exists the character is one it does not allow.
    const std::string_view places = code.substr(4, 3);
    for (std::size_t kept = 3;; --kept) {
        if (places.substr(kept).find_first_not_of('X') != std::string_view::npos) break;
        char header[7];
        std::size_t length = 0;
        for (char c : code.substr(0, kept > 0 ? 4 + kept : 3)) header[length++] = c;
        if (const TEntry* leaf = Find(std::string_view(header, length)); leaf != nullptr && leaf->FNeedsSeventh) {
            answer.FVerdict = TCodeVerdict::SeventhCharNotAllowed;
            answer.FNode = leaf->FNode;
            return answer;
        }
        if (kept == 0) break;
    }
    return answer;
}

TCodeResolution TCodeResolver::Resolve(std::string_view AText) const {
    const TCodeAnswer answer = Answer(AText);
    TCodeResolution resolution;
    resolution.FVerdict = answer.FVerdict;
    resolution.FCode = answer.FCode.View();
    if (answer.FDesc != nullptr) resolution.FDesc = *answer.FDesc;
    resolution.FCategory = answer.FCategory;
    resolution.FNode = answer.FNode;
    resolution.FSeventhCharacter = answer.FSeventhCharacter;
    return resolution;
}

bool TCodeResolver::IsReportable(std::string_view AText) const {
    return Answer(AText).FVerdict == TCodeVerdict::Reportable;
}

void TCodeResolver::Completions(const TCodeResolution& AResolution, TStringList& ACodeList,
                                TStringList& ADescList) const {
    if (AResolution.FVerdict == TCodeVerdict::Reportable) {
        ACodeList.push_back(AResolution.FCode);
        ADescList.push_back(AResolution.FDesc);
        return;
    }
    if (AResolution.FVerdict != TCodeVerdict::NotReportable) return;
    const TEntry* node = Find(AResolution.FCode);
    if (node == nullptr) return;
    for (std::uint32_t i = node->FFirst; i < node->FLast; ++i) {
        const TEntry& code = FEntries[FReportable[i]];
        ACodeList.push_back(code.FCode);
        ADescList.push_back(DescOf(code));
    }
}

std::size_t TCodeResolver::CompletionCount(const TCodeResolution& AResolution) const {
    if (AResolution.FVerdict == TCodeVerdict::Reportable) return 1;
    if (AResolution.FVerdict != TCodeVerdict::NotReportable) return 0;
    const TEntry* node = Find(AResolution.FCode);
    return node ? node->FLast - node->FFirst : 0;
}
