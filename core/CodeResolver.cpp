#include "CodeResolver.h"

#include <memory>
#include <mutex>

#include "CodeLookup.h"
#include "DataSets.h"
#include "LoadStatus.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetterOrDigit(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }
bool IsBlankOrControl(unsigned char c) { return c <= ' ' || c == 0x7F; }

// A dotted code has at most eight characters, so it packs into one integer key.
std::uint64_t PackCode(std::string_view ACode) {
    std::uint64_t key = 0;
    for (char c : ACode) key = (key << 8) | static_cast<unsigned char>(c);
    return key;
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

std::optional<std::string> NormalizeCodeText(std::string_view AText) {
    while (!AText.empty() && IsBlankOrControl(static_cast<unsigned char>(AText.front()))) AText.remove_prefix(1);
    while (!AText.empty() && IsBlankOrControl(static_cast<unsigned char>(AText.back()))) AText.remove_suffix(1);
    if (AText.size() < 3 || AText.size() > 8) return std::nullopt;

    std::string text(AText);
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    // Claims files and the order file write codes without the dot: "S52521A". Only a text shaped like
    // a code (letter, digit, then letters and digits) gets one, so a word such as "hello" stays no code.
    if (text.size() > 3 && text.size() < 8 && text.find('.') == std::string::npos && IsAsciiLetter(text[0]) &&
        IsAsciiDigit(text[1])) {
        bool allLettersAndDigits = true;
        for (char c : text) allLettersAndDigits = allLettersAndDigits && IsAsciiLetterOrDigit(c);
        if (allLettersAndDigits) text.insert(3, 1, '.');
    }
    std::string category;
    std::string subCode;
    if (!ParseCodeText(text, category, subCode)) return std::nullopt;
    return subCode.empty() ? category : category + "." + subCode;
}

std::string TCodeResolution::NodeSubCode() const { return FNode ? SubCodePart(FNode->FCode) : std::string(); }

TCodeResolver::TCodeResolver(const TChapterList& AChapters) {
    FEntries.reserve(96000);
    FReportable.reserve(73000);
    FIndex.reserve(96000);
    for (const auto& chapter : AChapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) AddNode(*category);
        }
    }
}

std::uint32_t TCodeResolver::AddEntry(TEntry AEntry) {
    const auto index = static_cast<std::uint32_t>(FEntries.size());
    // The first of two equal texts wins, as in every look-up of the tree.
    FIndex.emplace(PackCode(AEntry.FCode), index);
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
    if (ACode.size() > 8) return nullptr;
    const auto found = FIndex.find(PackCode(ACode));
    if (found == FIndex.end()) return nullptr;
    const TEntry& entry = FEntries[found->second];
    return entry.FCode == ACode ? &entry : nullptr;
}

const std::string& TCodeResolver::DescOf(const TEntry& AEntry) const {
    return AEntry.FSeventhCharacter ? FSeventhDescs[AEntry.FDescIndex] : AEntry.FNode->FDesc;
}

TCodeResolution TCodeResolver::Resolve(std::string_view AText) const {
    TCodeResolution resolution;
    std::optional<std::string> code = NormalizeCodeText(AText);
    if (!code) return resolution;
    resolution.FCode = std::move(*code);
    const std::string_view codeView = resolution.FCode;
    if (const TEntry* category = Find(codeView.substr(0, 3))) resolution.FCategory = category->FNode;

    if (const TEntry* entry = Find(codeView)) {
        resolution.FVerdict = entry->FReportable ? TCodeVerdict::Reportable : TCodeVerdict::NotReportable;
        resolution.FNode = entry->FNode;
        resolution.FDesc = DescOf(*entry);
        resolution.FSeventhCharacter = entry->FSeventhCharacter;
        return resolution;
    }

    resolution.FVerdict = TCodeVerdict::NotInEdition;
    if (resolution.FCategory == nullptr || codeView.size() != 8) return resolution;
    // Four characters after the dot: a seventh character on a leaf that takes one, the places between
    // filled with the placeholder "X". When such a leaf exists the character is one it does not allow.
    const std::string_view places = codeView.substr(4, 3);
    for (std::size_t kept = 3;; --kept) {
        const std::string_view padding = places.substr(kept);
        if (padding.find_first_not_of('X') != std::string_view::npos) break;
        std::string header(codeView.substr(0, 3));
        if (kept > 0) {
            header += '.';
            header += places.substr(0, kept);
        }
        if (const TEntry* leaf = Find(header); leaf != nullptr && leaf->FNeedsSeventh) {
            resolution.FVerdict = TCodeVerdict::SeventhCharNotAllowed;
            resolution.FNode = leaf->FNode;
            return resolution;
        }
        if (kept == 0) break;
    }
    return resolution;
}

bool TCodeResolver::IsReportable(std::string_view AText) const {
    const std::optional<std::string> code = NormalizeCodeText(AText);
    if (!code) return false;
    const TEntry* entry = Find(*code);
    return entry != nullptr && entry->FReportable;
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

const TCodeResolver& CodeResolver() {
    WaitForDataSetQuietly(TabularStatus);
    static std::mutex mutex;
    static std::unique_ptr<TCodeResolver> resolver;
    static std::uint64_t builtFor = 0;
    std::lock_guard lock(mutex);
    const std::uint64_t loads = TabularLoadCount.load();
    if (!resolver || builtFor != loads) {
        resolver = std::make_unique<TCodeResolver>(ChapterList);
        builtFor = loads;
    }
    return *resolver;
}
