// Keyword and full-text search over the categories of the Tabular List, the spelling variants used
// for highlighting, and the per-keyword counts shown under the keyword box. Plain logic: the
// Tabular Search window keeps a TKeywordSearchState and shows what it holds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "keywords/KeywordData.h"
#include "model/GlobalDef.h"

enum class TSearchMode { ListAll = 0, FullText = 1, Keywords = 2 };

// Which texts a full-text search looks at; one bit per check box.
using TFullTextFlags = uint32_t;
namespace FullTextFlag {
inline constexpr TFullTextFlags Desc = 1;       // "Description   ": the code's own title
inline constexpr TFullTextFlags Inclusion = 2;  // "Inclusion": inclusion terms
inline constexpr TFullTextFlags Include = 4;    // "Includes"
inline constexpr TFullTextFlags CodeFirst = 8;  // "Code First"
inline constexpr TFullTextFlags CodeAlso = 16;  // "Code Also"
inline constexpr TFullTextFlags Exclude1 = 32;  // "Exclude1"
inline constexpr TFullTextFlags Exclude2 = 64;  // "Exclude2"
inline constexpr TFullTextFlags All = 127;
}  // namespace FullTextFlag

inline constexpr const char* NoConditionMessage = "Please select one condition at least!";
inline constexpr const char* EmptyKeywordsQuestion = "Keywords empty, do you want to list all codes?";
inline constexpr const char* EmptyKeywordsCaption = "Search by Keywords";
inline constexpr const char* UnknownCombined = "Unknown";
inline constexpr const char* ClearedCombined = " Unknown ";

// Every keyword (trimmed, empty ones skipped) matches a keyword of ACodeKW: equal apart from ASCII
// letter case, a hyphen equal to a blank, apostrophes optional ("CROHNS DISEASE"), or the joined
// spelling of a hyphenated keyword ("PREECLAMPSIA" for "Pre-eclampsia"); a phrase also matches with
// its last word in the plural or singular ("KIDNEY STONES" for "Kidney Stone"), by the plural rules
// and the irregular plural set. Null ACodeKW: false. No keyword at all: true.
bool KeywordsMatchAll(const TCodeKeywords* ACodeKW, const TStringList& AKeywords);

// KeywordsMatchAll with the keywords' spellings worked out once, for testing many records.
class TKeywordMatcher {
public:
    explicit TKeywordMatcher(const TStringList& AKeywords);
    bool Matches(const TCodeKeywords* ACodeKW) const;

private:
    struct TForms;
    std::shared_ptr<const TForms> FForms;
};

// KeywordsMatchAll of the code's keyword record; the record is looked up in AList once and cached
// in ACode.FCodeKW.
bool CodeMatchesKeywords(const TCodeInfo& ACode, const TStringList& AKeywords,
                         const TCodeKeywordsList& AList = CodeKeywordsList);

// Every keyword occurs as a whole word in a chosen text of the code, or one code below it matches
// all keywords by the same rule. Keywords are upper case; empty ones are skipped.
bool CodeMatchesFullText(const TCodeInfo& ACode, const TStringList& AKeywords, TFullTextFlags AFlags);

// Whole-word occurrence of AWord in AText (both upper case, case-sensitive comparison).
bool FindWholeWord(std::string_view AWord, std::string_view AText);
// FindWholeWord, then, for a word with a hyphen, the word with its first hyphen removed.
bool FindWholeWordOrJoined(std::string_view AWord, std::string_view AText);

// Upper-case spellings to highlight: every keyword with its hyphen/blank forms and plurals.
TStringList BuildKeywordVariants(const TStringList& ASearchKeyWordsList,
                                 const TSpecialKeywordList& ASpecials = SpecialKeywordList);

// Empties every FCodeKW cache of the tree (after the keyword tables were refilled).
void ClearCodeKeywordCache(const TChapterList& AChapters);
// Clears the caches of AChapters when KeywordTablesGeneration moved since the last call.
void RefreshCodeKeywordCache(const TChapterList& AChapters);

// The categories taken by the mode, in tabular order (sections' code lists only).
std::vector<TCodeInfo*> FillResultList(const TChapterList& AChapters, TSearchMode AMode, TFullTextFlags AFlags,
                                       const TStringList& AKeywords, const TCodeKeywordsList& AList = CodeKeywordsList);

// The words of a text that holds blanks but no comma, upper-cased, as keywords ("fracture femur"
// gives FRACTURE and FEMUR); empty when the text holds a comma or fewer than two words.
TStringList BlankSeparatedKeywords(std::string_view AText);

// Number of categories for which CodeMatchesKeywords holds.
int CountKeywordMatches(const TChapterList& AChapters, const TStringList& AKeywords,
                        const TCodeKeywordsList& AList = CodeKeywordsList);

// The counts line: for each comma item of AText (a last empty item dropped), the reference count of
// the trimmed upper-cased item, padded with blanks to the item's length + 1 (in characters).
std::string BuildCountsLine(std::string_view AText, const TKeywordRefList& ARefs = KeywordRefList);

// Outcome of RunKeywordSearch.
enum class TSearchOutcome {
    Done,                 // the result list, variants and counts are filled
    EmptyTextDeclined,    // the user answered No to listing every code: focus the keyword box
    NoConditionSelected,  // full-text search without any text kind: message shown, nothing changed
};

// The search state of one Tabular Search window.
class TKeywordSearchState {
public:
    TStringList FSearchKeyWordsList;        // upper-cased items of the last search
    TStringList FSearchKeyWordVariantList;  // spellings to highlight
    std::vector<TCodeInfo*> FResultList;    // found categories, tabular order (not owned)
    std::string FCountsLine;                // text of the counts line under the keyword box
    std::string FCombined;                  // "Combined Result" label
    // Set when the text as typed found nothing and its blank-separated words were searched instead:
    // "no keyword FRACTURE FEMUR; showing FRACTURE, FEMUR". Empty otherwise.
    std::string FBlankFallbackNote;

    // The whole search on the shared data: asks about an empty text, checks the full-text kinds,
    // records the text in SearchHistory, waits for the Tabular List and the keyword set, fills the
    // results, variants and counts. AFullText with AFlags = 0 is refused. A text without a comma
    // that finds nothing, whose words separated by commas do find something, shows that result
    // and says so in FBlankFallbackNote.
    TSearchOutcome RunKeywordSearch(std::string_view AText, bool AFullText, TFullTextFlags AFlags);

    // Counts line and "Combined Result" for AText. With AAfterSearch the combined value is the
    // result count; otherwise the categories matching AText are counted ("Unknown" in full text).
    void UpdateKeywordCounts(std::string_view AText, bool AAfterSearch, bool AFullText);

    // The window's clear buttons: empty counts line and " Unknown ".
    void ClearCounts();
};
