#include "model/CodeLookup.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "model/TabularData.h"
#include "services/DataSets.h"

namespace {

bool IsDigitOrCapital(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

// Length in bytes of the UTF-8 character starting with this byte (1 for a stray byte).
std::size_t Utf8CharSize(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

unsigned char AsciiLowerByte(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool IsHyphenOrBlank(unsigned char c) {
    return c == '-' || c == ' ';
}

// The code text of a leaf completed with a seventh character: placeholder "X" up to the sixth
// character, then the seventh ("S52.521"+"A" -> "S52.521A", "E08.37"+"1" -> "E08.37X1",
// "T07"+"A" -> "T07.XXXA").
std::string CompletedCode(const TCodeInfo& node, const TCharDef& character) {
    std::string code = node.FCode;
    if (node.FLevel == 0) {
        code += ".XXX";
    } else if (node.FLevel < 3) {
        code.append(static_cast<std::size_t>(3 - node.FLevel), 'X');
    }
    code += character.FChar;
    return code;
}

std::string CompletedDesc(const TCodeInfo& node, const TCharDef& character) {
    std::string desc;
    desc.reserve(node.FDesc.size() + 2 + character.FDesc.size());
    desc += node.FDesc;
    desc += ", ";
    desc += character.FDesc;
    return desc;
}

// Character at 1-based position of a text, or 0 when the text is shorter.
char CharAt(const std::string& text, std::size_t position) {
    return position >= 1 && position <= text.size() ? text[position - 1] : '\0';
}

}  // namespace

bool ParseCodeText(std::string_view ACodeText, std::string_view& ACategory, std::string_view& ASubCode) {
    // Every accepted character is ASCII, so a byte count equals the character count for any text
    // that can pass; other characters fail the class tests below.
    const std::size_t length = ACodeText.size();
    if (length < 3 || length > 8) return false;
    if (length > 3 && ACodeText[3] != '.') return false;
    for (std::size_t i = 0; i < 3; ++i) {
        if (!IsDigitOrCapital(ACodeText[i])) return false;
    }
    for (std::size_t i = 4; i < length; ++i) {
        if (!IsDigitOrCapital(ACodeText[i]) && ACodeText[i] != '-') return false;
    }
    ACategory = ACodeText.substr(0, 3);
    if (length <= 4) {
        ASubCode = {};
    } else {
        const std::string_view rest = ACodeText.substr(4);
        ASubCode = rest.substr(0, rest.find('-'));
    }
    return true;
}

bool ParseCodeText(std::string_view ACodeText, std::string& ACategory, std::string& ASubCode) {
    std::string_view category;
    std::string_view subCode;
    if (!ParseCodeText(ACodeText, category, subCode)) return false;
    ACategory.assign(category);
    ASubCode.assign(subCode);
    return true;
}

TCodeInfo* FindCategory(const TChapterList& AChapters, std::string_view ACategory) {
    for (const auto& chapter : AChapters) {
        for (const auto& section : chapter->FSubList) {
            for (const auto& category : section->FCodeList) {
                if (category->FCode == ACategory) return category.get();
            }
        }
    }
    return nullptr;
}

TCodeInfo* FindCategory(std::string_view ACategory) {
    // No waiting dialog here: callers ask while the user types, and the load ends within moments.
    while (TabularStatus.load(std::memory_order_acquire) == StatusLoading) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return FindCategory(ChapterList, ACategory);
}

TCodeInfo* FindCodeByText(const TChapterList& AChapters, std::string_view ACodeText) {
    std::string category;
    std::string subCode;
    if (!ParseCodeText(ACodeText, category, subCode)) return nullptr;
    TCodeInfo* node = FindCategory(AChapters, category);
    return node ? node->FindSubCodeByName(subCode) : nullptr;
}

TCodeInfo* FindCodeByText(std::string_view ACodeText) {
    std::string category;
    std::string subCode;
    if (!ParseCodeText(ACodeText, category, subCode)) return nullptr;
    TCodeInfo* node = FindCategory(category);
    return node ? node->FindSubCodeByName(subCode) : nullptr;
}

std::string SubCodePart(std::string_view ACodeText) {
    // Counted in characters, so a stray multi-byte character before the dot is one of the four.
    std::size_t pos = 0;
    for (int skipped = 0; skipped < 4; ++skipped) {
        if (pos >= ACodeText.size()) return {};
        pos += Utf8CharSize(static_cast<unsigned char>(ACodeText[pos]));
    }
    return pos < ACodeText.size() ? std::string(ACodeText.substr(pos)) : std::string();
}

int CompareTextPrefix(std::string_view A, std::string_view B, int ACount, bool AIgnoreCase, bool AHyphenBlank) {
    // Byte-wise: the folded letters, the blank and the hyphen are single bytes, and UTF-8 byte order
    // is code point order, so a prefix of whole characters compares exactly as it would by characters.
    for (std::size_t i = 0; i < static_cast<std::size_t>(std::max(ACount, 0)); ++i) {
        // The caller promises ACount bytes in both; a text that runs short sorts first.
        const bool endA = i >= A.size();
        const bool endB = i >= B.size();
        if (endA || endB) return endA && endB ? 0 : (endA ? -1 : 1);
        const auto a = static_cast<unsigned char>(A[i]);
        const auto b = static_cast<unsigned char>(B[i]);
        if (a == b) continue;
        if (AIgnoreCase && AsciiLowerByte(a) == AsciiLowerByte(b)) continue;
        if (AHyphenBlank && IsHyphenOrBlank(a) && IsHyphenOrBlank(b)) continue;
        return a > b ? 1 : -1;
    }
    return 0;
}

bool SameHyphenBlank(std::string_view A, std::string_view B) {
    // "-" and " " are one byte each, so equal texts after the exchange have equal byte lengths.
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const char a = A[i] == '-' ? ' ' : A[i];
        const char b = B[i] == '-' ? ' ' : B[i];
        if (a != b) return false;
    }
    return true;
}

TCodeInfo* TCodeInfo::FindSubCodeByName(const std::string& ASubCode) {
    if (ASubCode.empty()) return this;
    for (const auto& child : FSubCodeList) {
        const std::string subCode = SubCodePart(child->FCode);
        if (subCode == ASubCode) return child.get();
        // Descend along the first child that begins the wanted sub-code; its siblings are not tried.
        if (subCode.size() < ASubCode.size() &&
            CompareTextPrefix(subCode, ASubCode, static_cast<int>(subCode.size()), true, false) == 0) {
            return child->FindSubCodeByName(ASubCode);
        }
    }
    return nullptr;
}

TSevenCharDef* TCodeInfo::GetSelf7CharDef() const {
    for (const auto& item : FItemList) {
        if (item->FItemKind == TItemKind::SevenCharDef) return static_cast<TSevenCharDef*>(item.get());
    }
    return nullptr;
}

TSevenCharDef* TCodeInfo::GetParent7CharDef() const {
    return FParent ? FParent->Get7CharDef() : nullptr;
}

TSevenCharDef* TCodeInfo::Get7CharDef() const {
    if (TSevenCharDef* own = GetSelf7CharDef()) return own;
    return GetParent7CharDef();
}

bool TCodeInfo::IsFinalCode() const {
    return FSubCodeList.empty() && Get7CharDef() == nullptr;
}

TCodeInfo* TCodeInfo::FindHeaderBy4SubCodes(const std::string& A4SubCode, std::string& AFullDesc) {
    if (A4SubCode.size() != 4) return nullptr;
    const TSevenCharDef* definition = Get7CharDef();
    if (FSubCodeList.empty() && definition == nullptr) return nullptr;

    // The node's own last character must match its place in the sub-code ("S52.5" needs "5???").
    if (FLevel >= 1 && FLevel <= 3) {
        const auto level = static_cast<std::size_t>(FLevel);
        if (CharAt(FCode, 4 + level) != A4SubCode[level - 1]) return nullptr;
    }

    if (!FSubCodeList.empty()) {
        for (const auto& child : FSubCodeList) {
            if (TCodeInfo* found = child->FindHeaderBy4SubCodes(A4SubCode, AFullDesc)) return found;
        }
        return nullptr;
    }

    // A leaf above the third level must be padded with the placeholder up to the sixth character.
    for (int position = FLevel; position < 3; ++position) {
        if (A4SubCode[static_cast<std::size_t>(position)] != 'X') return nullptr;
    }
    for (const auto& character : definition->FDefList) {
        if (character->FChar.size() == 1 && character->FChar[0] == A4SubCode[3]) {
            AFullDesc = CompletedDesc(*this, *character);
            return this;
        }
    }
    return nullptr;
}

void TCodeInfo::GetAllValideCodes(TStringList& ACodeList, TStringList& ADescList) const {
    if (!FSubCodeList.empty()) {
        for (const auto& child : FSubCodeList) child->GetAllValideCodes(ACodeList, ADescList);
        return;
    }
    if (const TSevenCharDef* definition = Get7CharDef()) {
        for (const auto& character : definition->FDefList) {
            if (character->InExceptionRule(FCode)) continue;
            ACodeList.push_back(CompletedCode(*this, *character));
            ADescList.push_back(CompletedDesc(*this, *character));
        }
        return;
    }
    ACodeList.push_back(FCode);
    ADescList.push_back(FDesc);
}

void TCodeInfo::GetAllNodeAndCodes(TStringList& ACodeNodeList, TStringList& AFlagList, TStringList& ADescList) const {
    const TSevenCharDef* definition = Get7CharDef();
    if (!FSubCodeList.empty() || definition != nullptr) {
        ACodeNodeList.push_back(FCode);
        AFlagList.emplace_back("0");
        ADescList.push_back(FDesc);
    }
    if (!FSubCodeList.empty()) {
        for (const auto& child : FSubCodeList) child->GetAllNodeAndCodes(ACodeNodeList, AFlagList, ADescList);
        return;
    }
    if (definition != nullptr) {
        for (const auto& character : definition->FDefList) {
            if (character->InExceptionRule(FCode)) continue;
            ACodeNodeList.push_back(CompletedCode(*this, *character));
            AFlagList.emplace_back("1");
            ADescList.push_back(CompletedDesc(*this, *character));
        }
        return;
    }
    ACodeNodeList.push_back(FCode);
    AFlagList.emplace_back("1");
    ADescList.push_back(FDesc);
}

bool TCharDef::InExceptionRule(const std::string& ACode) const {
    for (const auto& rule : FDefExceptionList) {
        // FCodePos counted without the dot is the 0-based index in the dotted code text.
        if (rule->FCodePos >= 0 && static_cast<std::size_t>(rule->FCodePos) < ACode.size() &&
            ACode[static_cast<std::size_t>(rule->FCodePos)] == rule->FCodeVal) {
            return true;
        }
    }
    return false;
}
