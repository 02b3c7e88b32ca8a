#include "index/TermList.h"

#include <algorithm>

#include "model/CodeResolver.h"
#include "services/TextUtil.h"

std::string TermFilterKey(std::string_view AText) {
    return AsciiUpper(TrimControls(AText));
}

bool TermTitleMatches(std::string_view ATitle, std::string_view AKey) {
    if (ATitle.size() < AKey.size()) return false;
    for (std::size_t i = 0; i < AKey.size(); ++i) {
        char c = ATitle[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != AKey[i]) return false;
    }
    return true;
}

std::string_view FirstCharacter(std::string_view AText) {
    if (AText.empty()) return AText;
    const auto lead = static_cast<unsigned char>(AText.front());
    std::size_t length = 1;
    if (lead >= 0xF0) {
        length = 4;
    } else if (lead >= 0xE0) {
        length = 3;
    } else if (lead >= 0xC0) {
        length = 2;
    }
    return AText.substr(0, std::min(length, AText.size()));
}

std::vector<TTerm*> FillTermList(const TAlphaLetterList& ALetters, const TTerm* ACurItem, std::string_view AKey,
                                 const TAlphaLetter* AGroup) {
    std::vector<TTerm*> items;
    if (ACurItem != nullptr) {
        for (const auto& sub : ACurItem->FSubTermList) {
            if (TermTitleMatches(sub->FTitle, AKey)) items.push_back(sub.get());
        }
        return items;
    }
    if (AKey.empty()) {
        for (const auto& letter : ALetters) {
            for (const auto& term : letter->FMainTermList) items.push_back(term.get());
        }
        return items;
    }
    if (AGroup != nullptr) {
        for (const auto& term : AGroup->FMainTermList) {
            if (TermTitleMatches(term->FTitle, AKey)) items.push_back(term.get());
        }
    }
    return items;
}

std::vector<const TTerm*> TermPath(const TTerm* ATerm) {
    std::vector<const TTerm*> path;
    for (const TTerm* term = ATerm; term != nullptr; term = term->ParentTerm()) path.push_back(term);
    std::reverse(path.begin(), path.end());
    return path;
}

std::optional<std::string> CodeToOpen(std::string_view AText) {
    return NormalizeCodeText(AText);
}

int32_t TTermPaging::PageCount() const {
    if (FCount <= 0 || FLinesPerPage <= 0) return 0;
    return (FCount + FLinesPerPage - 1) / FLinesPerPage;
}

void TTermPaging::Clamp() {
    const int32_t total = PageCount();
    if (FCurPage > total) FCurPage = total;
    if (FCurPage <= 0) FCurPage = 1;
}

int32_t TTermPaging::RowsOnPage() const {
    const int32_t rest = FCount - FirstIndex();
    if (rest <= 0 || FirstIndex() < 0) return 0;
    return std::min(rest, FLinesPerPage);
}

bool TTermPaging::Next() {
    if (FCurPage >= PageCount()) return false;
    ++FCurPage;
    return true;
}

bool TTermPaging::Prior() {
    if (FCurPage <= 1) return false;
    --FCurPage;
    return true;
}

int32_t TTermPaging::ResizeKeeping(int32_t AFittingRows, int32_t APosition) {
    if (AFittingRows > 10) FLinesPerPage = AFittingRows - 2;
    FCurPage = std::max<int32_t>(1, (APosition + FLinesPerPage - 1) / FLinesPerPage);
    Clamp();
    const int32_t row = APosition - FirstIndex();
    return (row >= 1 && row <= RowsOnPage()) ? row : 0;
}

std::string RecordsCaption(int32_t ACount) {
    return "Records: " + std::to_string(ACount);
}

std::string PageCaption(const TTermPaging& APaging) {
    const int32_t total = APaging.PageCount();
    if (total <= 0) return "Page: 0/0";
    return "Page: " + std::to_string(APaging.FCurPage) + "/" + std::to_string(total);
}

std::string LevelCaption(const TTerm* ACurItem, std::string_view AMainCaption) {
    if (ACurItem == nullptr) return std::string(AMainCaption);
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a chain of operator+ here.
    std::string caption = "#";
    caption += std::to_string(ACurItem->FLevel + 1);
    caption += " Level Term";
    return caption;
}
