// Plain logic of the drug and neoplasm table window: which terms one level lists for a filter,
// paging of the grid, the texts of headings, rows and labels, the code text a cell opens, and
// what a window does with the result of a nested window. No toolkit here; the window wires
// widgets to these functions.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/IndexModel.h"
#include "index/TermList.h"
#include "services/DataSets.h"

// Number of grid columns: the "+" marker, the title and the six code columns.
inline constexpr int TableColumnCount = 8;
// Pixel height of a term row, and of the heading row per table.
inline constexpr int TableRowHeight = 20;
int32_t TableHeadingHeight(TDataSet ATable);  // 50 drugs, 36 neoplasms

// The filter key of a typed text: leading and trailing blanks and control characters removed,
// "a" to "z" made capitals, every other character unchanged.
std::string TableFilterKey(std::string_view AText);

// True when the first characters of ATitle, with "a" to "z" capitalised, equal AKey (already a
// filter key). An empty key matches every title; a title shorter than the key never matches.
bool TableTitleMatches(std::string_view ATitle, std::string_view AKey);

// The letter group of a table that a main-level key searches: "#" for a key beginning with a
// digit "1" to "9", otherwise the group named by the key's first character; null when none is.
const TAlphaLetter* TableLetterForKey(const TAlphaLetterList& ALetters, std::string_view AKey);

// The terms one level of a table lists for a filter key, in file order. With ACurItem set: its
// sub-terms that match. Otherwise: every main term for an empty key, else the matching main
// terms of TableLetterForKey (nothing when there is no such group).
std::vector<TTerm*> TableFillItemList(const TAlphaLetterList& ALetters, const TTerm* ACurItem, std::string_view AKey);

// Paging of the grid (see TTermPaging).
struct TTablePaging : TTermPaging {
    using TTermPaging::TTermPaging;
    // A new page size from the grid's client height, keeping the term of the current grid row
    // (ACurrentRow 1 and up; 0 or less for the heading row or none) on the page shown. Returns the
    // grid row (1 and up) at which that term stands on the new page, or 0 when it is not on it.
    int32_t Resize(int32_t AClientHeight, int32_t AHeadingHeight, int32_t ACurrentRow);
};

// Texts of the window.
// "Drugs && Chemicals Alphabetical Search" (3) or "Neoplasms Alphabetical Search" (4); "&&"
// is how a caption writes one ampersand. Empty for other types.
std::string TableWindowTitle(TDataSet ATable);
// The eight heading texts of the table's row 0 (the window's own, not the file's).
std::array<std::string, TableColumnCount> TableHeadings(TDataSet ATable);
// "Back to Main Term (F3)", or "Back To Level #1" for the neoplasm table.
std::string TableBackMainCaption(TDataSet ATable);
std::string TableLevelCaption(const TTerm* ACurItem);       // "Main Term" or "#2 Level Term"
std::string TableRecordsCaption(int32_t ACount);            // "Records: 12"
std::string TablePageCaption(const TTablePaging& APaging);  // "Page: 3/7", "Page: 0/0"
// The eight cell texts of a term's row: "+" or "", GetFullTitle(true) (a qualifier shows), the six code cells.
std::array<std::string, TableColumnCount> TableRowTexts(const TTerm& ATerm);

// The terms from the main term down to ATerm (its chain of parent terms).
std::vector<const TTerm*> TableTermPath(const TTerm* ATerm);

// The code text the cell at ARow, AColumn of the grid opens in the Tabular Search window. Only the
// code cells (columns 2 to 7 of a term row) open a code; a title never does, even one that reads
// like a code ("B15", "LSD" under "Vitamin NEC"). The cell text in dotted form: "C79.8-" gives
// "C79.8", "D24.-" gives "D24"; blanks around it are ignored (the neoplasm file holds "C44.40 ").
// None for a text that is no code: "--", "-", "C64-".
std::optional<std::string> TableCellInitCode(int ARow, int AColumn, std::string_view ACellText);

// What a window does after a nested window of the same table returned AChildResult.
enum class TTableChildAction { Stay, EndWithBack, EndWithQuit };
TTableChildAction TableChildResultAction(int AChildResult, TDataSet ATable, const TTerm* ACurItem);
