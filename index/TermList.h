// What the index window and the table window share: the filter key and the prefix test, the list
// of terms one level shows, paging of that list, the path of a term and the code a field opens.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/IndexModel.h"

// The filter text trimmed and upper-cased (ASCII letters only).
std::string TermFilterKey(std::string_view AText);
// True when the title begins with the key, ASCII letters compared without case. The key's bytes
// are compared, which compares whole characters (UTF-8 is prefix-free, only ASCII letters fold).
bool TermTitleMatches(std::string_view ATitle, std::string_view AKey);
// The first character of a UTF-8 text (its whole byte sequence).
std::string_view FirstCharacter(std::string_view AText);

// The terms one level lists for a filter key, in file order: with ACurItem set, its sub-terms
// that match; otherwise every main term for an empty key, else the matching main terms of the
// letter group AGroup (nothing when there is none).
std::vector<TTerm*> FillTermList(const TAlphaLetterList& ALetters, const TTerm* ACurItem, std::string_view AKey,
                                 const TAlphaLetter* AGroup);

// The terms from the main term down to ATerm (its chain of parent terms).
std::vector<const TTerm*> TermPath(const TTerm* ATerm);

// The code text a field or cell opens in the Tabular Search window: the parsed category, plus "."
// and the sub-code when there is one ("C79.8-" gives "C79.8", "D24.-" gives "D24"). Blanks around
// the text are ignored (the neoplasm file holds "C44.40 "). None for a text that is no code
// ("--", "-", "C64-", a title).
std::optional<std::string> CodeToOpen(std::string_view AText);

// Paging of a term list. Pages are 1-based; a list without terms has 0 pages.
struct TTermPaging {
    TTermPaging(int32_t ACount = 0, int32_t ALinesPerPage = 20, int32_t ACurPage = 1)
        : FCount(ACount), FLinesPerPage(ALinesPerPage), FCurPage(ACurPage) {}

    int32_t FCount;  // terms in the list
    int32_t FLinesPerPage;
    int32_t FCurPage;

    int32_t PageCount() const;
    // Clamps FCurPage into 1..PageCount (1 when there are no pages).
    void Clamp();
    // Index in the list of the term in the first row of the current page.
    int32_t FirstIndex() const { return (FCurPage - 1) * FLinesPerPage; }
    // Terms on the current page (after Clamp).
    int32_t RowsOnPage() const;
    bool PriorEnabled() const { return PageCount() > 0 && FCurPage != 1; }
    bool NextEnabled() const { return PageCount() > 0 && FCurPage < PageCount(); }
    // One page on or back; false (nothing changed) at either end. Neither wraps.
    bool Next();
    bool Prior();
    // A new page size from the rows that fit (more than 10: two are left for the heading and a
    // partial last row), showing the page that holds the term at the 1-based list position
    // APosition. Returns that term's 1-based row on the new page, or 0 when it is not on it.
    int32_t ResizeKeeping(int32_t AFittingRows, int32_t APosition);
};

std::string RecordsCaption(int32_t ACount);           // "Records: 12"
std::string PageCaption(const TTermPaging& APaging);  // "Page: 3/7", "Page: 0/0"
// AMainCaption for the main level, else "#<level + 1> Level Term" of the term whose sub-terms are listed.
std::string LevelCaption(const TTerm* ACurItem, std::string_view AMainCaption);
