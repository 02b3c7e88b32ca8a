#include "index/TableSearchLogic.h"

#include <algorithm>

#include "model/CodeLookup.h"
#include "services/TextUtil.h"

int32_t TableHeadingHeight(TDataSet ATable) {
    return ATable == TDataSet::NeoplasmTable ? 36 : 50;
}

std::string TableFilterKey(std::string_view AText) {
    return TermFilterKey(AText);
}

bool TableTitleMatches(std::string_view ATitle, std::string_view AKey) {
    return TermTitleMatches(ATitle, AKey);
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
    return FillTermList(ALetters, ACurItem, AKey, TableLetterForKey(ALetters, AKey));
}

int32_t TTablePaging::Resize(int32_t AClientHeight, int32_t AHeadingHeight, int32_t ACurrentRow) {
    const int32_t row =
        ResizeKeeping((AClientHeight - AHeadingHeight) / TableRowHeight, FirstIndex() + std::max(ACurrentRow, 1));
    return ACurrentRow >= 1 ? row : 0;
}

std::string TableWindowTitle(TDataSet ATable) {
    if (ATable == TDataSet::DrugTable) return "Drugs && Chemicals Alphabetical Search";
    if (ATable == TDataSet::NeoplasmTable) return "Neoplasms Alphabetical Search";
    return {};
}

std::array<std::string, TableColumnCount> TableHeadings(TDataSet ATable) {
    if (ATable == TDataSet::DrugTable)
        return {"",
                "\r\nSubstance",
                "Poisoning, Accidental unintentional",
                "Poisoning, Intentional self-harm",
                "Poisoning, Assault",
                "Poisoning, Undetermined",
                "Adverse effect",
                "\r\nUnderdosing"};
    if (ATable == TDataSet::NeoplasmTable)
        return {"",           "",       "Malignant Primary",  "Malignant Secondary",
                "Ca in situ", "Benign", "Uncertain Behavior", "Unspecified Behavior"};
    return {};
}

std::string TableBackMainCaption(TDataSet ATable) {
    return ATable == TDataSet::NeoplasmTable ? "Back To Level #1" : "Back to Main Term (F3)";
}

std::string TableLevelCaption(const TTerm* ACurItem) {
    return LevelCaption(ACurItem, "Main Term");
}

std::string TableRecordsCaption(int32_t ACount) {
    return RecordsCaption(ACount);
}

std::string TablePageCaption(const TTablePaging& APaging) {
    return PageCaption(APaging);
}

std::array<std::string, TableColumnCount> TableRowTexts(const TTerm& ATerm) {
    std::array<std::string, TableColumnCount> texts;
    if (!ATerm.FSubTermList.empty()) texts[0].push_back('+');
    // A neoplasm site's qualifier (stored as the manifestation) belongs to its title.
    texts[1] = ATerm.GetFullTitle(true);
    for (int column = TTerm::FirstCellColumn; column <= TTerm::LastCellColumn; ++column)
        texts[static_cast<std::size_t>(column)] = ATerm.Cell(column);
    return texts;
}

std::vector<const TTerm*> TableTermPath(const TTerm* ATerm) {
    return TermPath(ATerm);
}

std::optional<std::string> TableCellInitCode(int ARow, int AColumn, std::string_view ACellText) {
    if (ARow < 1 || AColumn < TTerm::FirstCellColumn || AColumn > TTerm::LastCellColumn) return std::nullopt;
    return CodeToOpen(ACellText);
}

TTableChildAction TableChildResultAction(int AChildResult, TDataSet ATable, const TTerm* ACurItem) {
    if (AChildResult == 3) return TTableChildAction::EndWithQuit;
    if (AChildResult == 1 && ACurItem != nullptr) {
        // The neoplasm top window lists the 1st-level sites of the table's one main term: "Back To
        // Level #1" ends at it.
        if (ATable == TDataSet::NeoplasmTable && ACurItem->FLevel == 0) return TTableChildAction::Stay;
        return TTableChildAction::EndWithBack;
    }
    return TTableChildAction::Stay;
}
