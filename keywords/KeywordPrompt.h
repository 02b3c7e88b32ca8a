// The keyword suggestion logic behind the prompt panel of the Tabular Search window: splitting the
// typed text, narrowing the categories by the keywords already typed, the sorted suggestion list
// shown 40 to a page (4 columns x 10 rows), and putting a chosen suggestion into the text.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "keywords/KeywordData.h"
#include "keywords/KeywordSpelling.h"

inline constexpr int PromptPageSize = 40;
inline constexpr int PromptColumns = 4;
inline constexpr int PromptRows = 10;
inline constexpr const char* PromptHint = "Please use a comma to separate keywords. For example: gas, Abdomen";

// The part before the last comma (empty without a comma or when the comma is first) and the word
// being typed after it (trimmed of blanks).
void SplitKeywordInput(std::string_view AText, std::string& ABefore, std::string& AWord);

// The keyword box text after choosing AKeyword: the typed word replaced by it and a comma.
std::string InsertPromptKeyword(std::string_view AText, std::string_view AKeyword);

// Prefix test: AKeyword begins with AWord, ignoring ASCII letter case, a blank matching a hyphen;
// or does when both are read joined, without blanks, hyphens and apostrophes ("xr" and "X-Ray").
bool PromptPrefixMatches(std::string_view AWord, std::string_view AKeyword);

// Sorted, case-insensitive list without duplicates (the first spelling added stays).
class TSortedKeywordList {
public:
    bool Add(const std::string& AText);  // false when present already in any letter case
    // Replaces the content with AItems sorted, keeping the first of every case-insensitively equal
    // run: the same result as adding them one by one, without shifting the list for every item.
    // The texts pointed to must outlive the call only.
    void Assign(const std::vector<const std::string*>& AItems);
    void Clear() { FItems.clear(); }
    const TStringList& Items() const { return FItems; }
    std::size_t Count() const { return FItems.size(); }
    bool Empty() const { return FItems.empty(); }

private:
    TStringList FItems;
};

// Suggestion state of one Tabular Search window, over one edition's keyword tables. With
// ACodesStatus nothing is read while the code keywords are loading (the prompt never waits: the
// front refreshes again once they have settled).
class TKeywordPrompt {
public:
    explicit TKeywordPrompt(TKeywordTables& ATables, const TLoadStatus* ACodesStatus = nullptr);

    TSortedKeywordList FGotPromptList;
    std::string FLastPromptKeyword;
    int FLastPromptPage = 1;
    TSortedKeywordList FTmpInputedKWs;  // upper-cased keywords before the last comma
    TSortedKeywordList FInputedKWs;     // the keywords FFiltedCodeKWs was computed for
    std::vector<TCodeKeywords*> FFiltedCodeKWs;

    // The grid: cell i of the page is column i % 4, row i / 4; empty strings are empty cells.
    std::array<std::string, PromptPageSize> FCells;
    std::string FCaption;  // caption of the page bar

    // After a key was released: splits AText and recomputes page 1 when the typed word changed.
    // Returns true when the suggestions were recomputed; false with nothing changed while the code
    // keywords are loading.
    bool RefreshPrompt(std::string_view AText, bool AFullText);
    // Whether the code keywords have settled (always, without a status to follow).
    bool DataSettled() const;

    // Fills the grid with page APage (clamped); ARecompute rebuilds the suggestion list first.
    void ShowPromptPage(int APage, bool ARecompute, bool AFullText);

    // The ">" and "<" buttons.
    void NextPage(bool AFullText) { ShowPromptPage(FLastPromptPage + 1, false, AFullText); }
    void PriorPage(bool AFullText) { ShowPromptPage(FLastPromptPage - 1, false, AFullText); }

    // Narrows FFiltedCodeKWs to the records carrying every keyword of FTmpInputedKWs (cached).
    void FilterCodesByInputedKWs();

    int PageCount() const;
    const std::string& Cell(int AColumn, int ARow) const { return FCells[ARow * PromptColumns + AColumn]; }

private:
    TKeywordTables* FTables;
    const TLoadStatus* FCodesStatus;

    uint32_t FGeneration = 0;
    std::string FLastFilterText;  // mode and keywords before the comma at the last recompute
    void DropStaleFilter();
};
