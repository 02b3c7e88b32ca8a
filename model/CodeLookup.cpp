#include "model/CodeLookup.h"

#include <algorithm>

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

std::string CompletedDesc(const TCodeInfo& node, const TCharDef& character) {
    std::string desc;
    desc.reserve(node.FDesc.size() + 2 + character.FDesc.size());
    desc += node.FDesc;
    desc += ", ";
    desc += character.FDesc;
    return desc;
}

}  // namespace

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
