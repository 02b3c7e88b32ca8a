#include "TableSearchLogic.h"

#include <algorithm>

#include "CodeLookup.h"
#include "TextUtil.h"

int32_t TableHeadingHeight(int AType) {
    return AType == TableTypeNeoplasms ? 36 : 50;
}

std::string TableFilterKey(std::string_view AText) {
    return AsciiUpper(TrimControls(AText));
}

bool TableTitleMatches(std::string_view ATitle, std::string_view AKey) {
    if (ATitle.size() < AKey.size()) return false;
    // Only ASCII letters fold, so comparing the key's bytes compares its whole characters.
    return AsciiUpper(ATitle.substr(0, AKey.size())) == AKey;
}

// The first character of a UTF-8 text (its whole byte sequence).
static std::string_view FirstCharacter(std::string_view AText) {
    if (AText.empty()) return AText;
    const auto lead = static_cast<unsigned char>(AText.front());
    std::size_t length = 1;
    if (lead >= 0xF0)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC0)
        length = 2;
    return AText.substr(0, std::min(length, AText.size()));
}

const TAlphaLetter* TableLetterForKey(const TAlphaLetterList& ALetters, std::string_view AKey) {
    if (AKey.empty()) return nullptr;
    // Drug names that begin with a digit are filed under "#"; "0" is not among those digits.
    const std::string_view wanted =
        (AKey.front() >= '1' && AKey.front() <= '9') ? std::string_view("#") : FirstCharacter(AKey);
    for (const auto& letter : ALetters)
        if (letter->FLetter == wanted) return letter.get();
    return nullptr;
}

std::vector<TTerm*> TableFillItemList(const TAlphaLetterList& ALetters, const TTerm* ACurItem, std::string_view AKey) {
    std::vector<TTerm*> items;
    if (ACurItem != nullptr) {
        for (const auto& sub : ACurItem->FSubTermList)
            if (TableTitleMatches(sub->FTitle, AKey)) items.push_back(sub.get());
        return items;
    }
    if (AKey.empty()) {
        for (const auto& letter : ALetters)
            for (const auto& term : letter->FMainTermList) items.push_back(term.get());
        return items;
    }
    if (const TAlphaLetter* letter = TableLetterForKey(ALetters, AKey))
        for (const auto& term : letter->FMainTermList)
            if (TableTitleMatches(term->FTitle, AKey)) items.push_back(term.get());
    return items;
}

int32_t TTablePaging::PageCount() const {
    if (FCount <= 0 || FLinesPerPage <= 0) return 0;
    return (FCount + FLinesPerPage - 1) / FLinesPerPage;
}

void TTablePaging::Clamp() {
    const int32_t total = PageCount();
    if (FCurPage > total) FCurPage = total;
    if (FCurPage <= 0) FCurPage = 1;
}

int32_t TTablePaging::RowsOnPage() const {
    const int32_t rest = FCount - FirstIndex();
    if (rest <= 0) return 0;
    return std::min(rest, FLinesPerPage);
}

bool TTablePaging::Next() {
    if (FCurPage >= PageCount()) return false;
    ++FCurPage;
    return true;
}

bool TTablePaging::Prior() {
    if (FCurPage <= 1) return false;
    --FCurPage;
    return true;
}

int32_t TTablePaging::Resize(int32_t AClientHeight, int32_t AHeadingHeight, int32_t ACurrentRow) {
    // 1-based position in the list of the term to keep in view.
    const int32_t position = FirstIndex() + (ACurrentRow >= 1 ? ACurrentRow : 1);
    const int32_t rows = (AClientHeight - AHeadingHeight) / TableRowHeight;
    if (rows > 10) FLinesPerPage = rows - 2;
    FCurPage = std::max(1, (position + FLinesPerPage - 1) / FLinesPerPage);
    Clamp();
    if (ACurrentRow < 1) return 0;
    const int32_t row = position - FirstIndex();
    return (row >= 1 && row <= RowsOnPage()) ? row : 0;
}

std::string TableWindowTitle(int AType) {
    if (AType == TableTypeDrugs) return "Drugs && Chemicals Alphabetical Search";
    if (AType == TableTypeNeoplasms) return "Neoplasms Alphabetical Search";
    return {};
}

std::array<std::string, TableColumnCount> TableHeadings(int AType) {
    if (AType == TableTypeDrugs)
        return {"",
                "\r\nSubstance",
                "Poisoning, Accidental unintentional",
                "Poisoning, Intentional self-harm",
                "Poisoning, Assault",
                "Poisoning, Undetermined",
                "Adverse effect",
                "\r\nUnderdosing"};
    if (AType == TableTypeNeoplasms)
        return {"",           "",       "Malignant Primary",  "Malignant Secondary",
                "Ca in situ", "Benign", "Uncertain Behavior", "Unspecified Behavior"};
    return {};
}

std::string TableBackMainCaption(int AType) {
    return AType == TableTypeNeoplasms ? "Back To Level #1" : "Back to Main Term (F3)";
}

std::string TableLevelCaption(const TTerm* ACurItem) {
    if (ACurItem == nullptr) return "Main Term";
    std::string caption = "#";
    caption += std::to_string(ACurItem->FLevel + 1);
    caption += " Level Term";
    return caption;
}

std::string TableRecordsCaption(int32_t ACount) {
    return "Records: " + std::to_string(ACount);
}

std::string TablePageCaption(const TTablePaging& APaging) {
    const int32_t total = APaging.PageCount();
    if (total <= 0) return "Page: 0/0";
    return "Page: " + std::to_string(APaging.FCurPage) + "/" + std::to_string(total);
}

std::array<std::string, TableColumnCount> TableRowTexts(const TTerm& ATerm) {
    std::array<std::string, TableColumnCount> texts;
    if (!ATerm.FSubTermList.empty()) texts[0].push_back('+');
    texts[1] = ATerm.GetFullTitle(false);
    for (int column = TTerm::FirstCellColumn; column <= TTerm::LastCellColumn; ++column)
        texts[static_cast<std::size_t>(column)] = ATerm.Cell(column);
    return texts;
}

std::vector<const TTerm*> TableTermPath(const TTerm* ATerm) {
    std::vector<const TTerm*> path;
    for (const TTerm* term = ATerm; term != nullptr; term = term->ParentTerm()) path.insert(path.begin(), term);
    return path;
}

std::optional<std::string> TableCellInitCode(std::string_view ACellText) {
    std::string category;
    std::string subCode;
    if (!ParseCodeText(TrimControls(ACellText), category, subCode)) return std::nullopt;
    if (subCode.empty()) return category;
    return category + "." + subCode;
}

TTableChildAction TableChildResultAction(int AChildResult, int AType, const TTerm* ACurItem) {
    if (AChildResult == 3) return TTableChildAction::EndWithQuit;
    if (AChildResult == 1 && ACurItem != nullptr) {
        // The neoplasm top window lists the 1st-level sites of the table's one main term: "Back To
        // Level #1" ends at it.
        if (AType == TableTypeNeoplasms && ACurItem->FLevel == 0) return TTableChildAction::Stay;
        return TTableChildAction::EndWithBack;
    }
    return TTableChildAction::Stay;
}
