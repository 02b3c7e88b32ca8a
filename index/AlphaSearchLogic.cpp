#include "AlphaSearchLogic.h"

#include <algorithm>
#include <cmath>

#include "CodeLookup.h"
#include "TextUtil.h"

namespace {

char CapitalOf(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Byte length of the UTF-8 character that starts with ALead (1 for a stray continuation byte).
std::size_t Utf8CharLength(unsigned char ALead) {
    if (ALead >= 0xF0) return 4;
    if (ALead >= 0xE0) return 3;
    if (ALead >= 0xC0) return 2;
    return 1;
}

}  // namespace

std::string AlphaFilterKey(std::string_view AText) {
    return AsciiUpper(TrimControls(AText));
}

bool AlphaTitleMatches(std::string_view ATitle, std::string_view AKey) {
    // UTF-8 is prefix-free and only ASCII letters change, so comparing the key's bytes compares
    // exactly the first Utf8Length(AKey) characters of the title.
    if (ATitle.size() < AKey.size()) return false;
    for (std::size_t i = 0; i < AKey.size(); ++i) {
        if (CapitalOf(ATitle[i]) != AKey[i]) return false;
    }
    return true;
}

std::vector<TTerm*> AlphaFillItemList(const TAlphaLetterList& ALetters, const TTerm* ACurItem, std::string_view AKey) {
    std::vector<TTerm*> items;
    if (ACurItem != nullptr) {
        for (const auto& term : ACurItem->FSubTermList) {
            if (AlphaTitleMatches(term->FTitle, AKey)) items.push_back(term.get());
        }
        return items;
    }
    if (AKey.empty()) {
        for (const auto& letter : ALetters) {
            for (const auto& term : letter->FMainTermList) items.push_back(term.get());
        }
        return items;
    }
    const std::string_view first = AKey.substr(0, std::min(AKey.size(), Utf8CharLength(AKey[0])));
    for (const auto& letter : ALetters) {
        if (letter->FLetter != first) continue;
        for (const auto& term : letter->FMainTermList) {
            if (AlphaTitleMatches(term->FTitle, AKey)) items.push_back(term.get());
        }
        break;
    }
    return items;
}

int32_t TAlphaPaging::PageCount() const {
    if (FCount <= 0 || FLinesPerPage <= 0) return 0;
    return (FCount + FLinesPerPage - 1) / FLinesPerPage;
}

void TAlphaPaging::Clamp() {
    const int32_t total = PageCount();
    if (FCurPage > total) FCurPage = total;
    if (FCurPage <= 0) FCurPage = 1;
}

int32_t TAlphaPaging::RowsOnPage() const {
    const int32_t first = FirstIndex();
    if (first < 0 || first >= FCount) return 0;
    return std::min(FLinesPerPage, FCount - first);
}

bool TAlphaPaging::Next() {
    if (FCurPage >= PageCount()) return false;
    ++FCurPage;
    return true;
}

bool TAlphaPaging::Prior() {
    if (FCurPage <= 1) return false;
    --FCurPage;
    return true;
}

int32_t TAlphaPaging::Resize(int32_t AClientHeight, int32_t ARowHeight, int32_t ASelectedRow) {
    const int32_t position = FirstIndex() + std::max(ASelectedRow, 0) + 1;
    if (ARowHeight > 0) {
        const int32_t rows = AClientHeight / ARowHeight;
        // Two rows are left for the header and the partial last row.
        if (rows > 10) FLinesPerPage = rows - 2;
    }
    FCurPage = std::max<int32_t>(1, (position + FLinesPerPage - 1) / FLinesPerPage);
    Clamp();
    const int32_t remainder = position % FLinesPerPage;
    const int32_t row = remainder >= 1 ? remainder - 1 : FLinesPerPage - 1;
    return row < RowsOnPage() ? row : -1;
}

int32_t AlphaRowHeight(int32_t ACharHeight, int32_t APixelsPerInch) {
    const double exact = static_cast<double>(ACharHeight) * APixelsPerInch / 72.0;
    return static_cast<int32_t>(std::nearbyint(exact)) + 1;  // the default rounding mode ties to even
}

std::string AlphaLevelCaption(const TTerm* ACurItem) {
    if (ACurItem == nullptr) return "Main Term:  ";
    std::string caption = "#";
    caption += std::to_string(ACurItem->FLevel + 1);
    caption += " Level Term";
    return caption;
}

std::string AlphaRecordsCaption(int32_t ACount) {
    return "Records: " + std::to_string(ACount);
}

std::string AlphaPageCaption(const TAlphaPaging& APaging) {
    const int32_t total = APaging.PageCount();
    if (total <= 0) return "Page: 0/0";
    return "Page: " + std::to_string(APaging.FCurPage) + "/" + std::to_string(total);
}

std::string AlphaMarker(const TTerm& ATerm) {
    return ATerm.FSubTermList.empty() ? " " : "+";
}

std::string AlphaWindowTitle(int AType) {
    if (AType == 1) return "Disease && Injury Alphabetical Search";
    if (AType == 2) return "External Causes of Injury Alphabetical Search";
    return {};
}

std::vector<const TTerm*> AlphaTermPath(const TTerm* ATerm) {
    std::vector<const TTerm*> path;
    for (const TTerm* term = ATerm; term != nullptr; term = term->ParentTerm()) path.push_back(term);
    std::reverse(path.begin(), path.end());
    return path;
}

const std::string& AlphaCodeField(const TTerm& ATerm, TAlphaCodeKind AKind) {
    switch (AKind) {
        case TAlphaCodeKind::Manifest:
            return ATerm.FManifest;
        case TAlphaCodeKind::SeeCategory:
            return ATerm.FSeeCat;
        case TAlphaCodeKind::SeeSubcategory:
            return ATerm.FSubCat;
        case TAlphaCodeKind::Code:
            break;
    }
    return ATerm.FCode;
}

std::optional<std::string> AlphaInitCode(std::string_view AField) {
    std::string category;
    std::string rest;
    if (!ParseCodeText(AField, category, rest)) return std::nullopt;
    return rest.empty() ? category : category + "." + rest;
}
