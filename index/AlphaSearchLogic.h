// Plain logic of the alphabetic index window: the filter key and its title-prefix test, the terms a
// level lists, paging arithmetic, the texts of the list rows and labels, and the code text that a
// term field opens in the Tabular Search window. No toolkit here; the window only wires widgets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/IndexModel.h"
#include "index/TermList.h"
#include "services/DataSets.h"

// The filter key of a typed text: leading and trailing blanks and control characters removed,
// "a" to "z" made capitals, every other character unchanged.
std::string AlphaFilterKey(std::string_view AText);

// True when the first characters of ATitle, with "a" to "z" capitalised, equal AKey (already a
// filter key). An empty key matches every title; a title shorter than the key never matches.
bool AlphaTitleMatches(std::string_view ATitle, std::string_view AKey);

// The terms one level lists for a filter key, in index order. With ACurItem set: its sub-terms that
// match. Otherwise the main terms of ALetters: all of them for an empty key, else only those of the
// first letter group named by the key's first character that match (nothing when no group is).
std::vector<TTerm*> AlphaFillItemList(const TAlphaLetterList& ALetters, const TTerm* ACurItem, std::string_view AKey);

// Paging of the term list (see TTermPaging).
struct TAlphaPaging : TTermPaging {
    using TTermPaging::TTermPaging;
    // A new page size from the list's client height, keeping the selected row (or, with ASelectedRow
    // below 0, the first row of the page) in view. Returns the row index to select on the new page,
    // or -1 when that row is not on it.
    int32_t Resize(int32_t AClientHeight, int32_t ARowHeight, int32_t ASelectedRow);
};

// Pixel height of one list row for a font of ACharHeight pixels at APixelsPerInch:
// round(h * p / 72) + 1, rounding halves to even.
int32_t AlphaRowHeight(int32_t ACharHeight, int32_t APixelsPerInch);

// Label and cell texts.
std::string AlphaLevelCaption(const TTerm* ACurItem);       // "Main Term:  " or "#3 Level Term"
std::string AlphaRecordsCaption(int32_t ACount);            // "Records: 12"
std::string AlphaPageCaption(const TAlphaPaging& APaging);  // "Page: 3/7", "Page: 0/0"
std::string AlphaMarker(const TTerm& ATerm);                // "+" with sub-terms, else " "
// Title of an index: "Disease && Injury Alphabetical Search", "External Causes of Injury
// Alphabetical Search"; the "&&" is how a caption writes one ampersand. Empty for other data sets.
std::string AlphaWindowTitle(TDataSet AIndex);

// The terms from the main term down to ATerm (its chain of parent terms).
std::vector<const TTerm*> AlphaTermPath(const TTerm* ATerm);

// Which field of a term a view action opens.
enum class TAlphaCodeKind { Code = 0, Manifest = 1, SeeCategory = 2, SeeSubcategory = 3 };
const std::string& AlphaCodeField(const TTerm& ATerm, TAlphaCodeKind AKind);
// The code text to open for a field: the parsed category, plus "." and the sub-code part when there
// is one ("C79.8-" gives "C79.8", "I43" stays "I43"); none when the field is no code text ("C64-").
std::optional<std::string> AlphaInitCode(std::string_view AField);
