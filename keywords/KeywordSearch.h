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
#include "keywords/KeywordSpelling.h"
#include "model/GlobalDef.h"
#include "services/DataSets.h"

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
bool KeywordsMatchAll(const TCodeKeywords* ACodeKW, const TStringList& AKeywords, const TKeywordTables& ATables);

// KeywordsMatchAll with the keywords' spellings worked out once, for testing many records.
class TKeywordMatcher {
public:
    TKeywordMatcher(const TStringList& AKeywords, const TKeywordTables& ATables);
    bool Matches(const TCodeKeywords* ACodeKW) const;

private:
    struct TForms;
    std::shared_ptr<const TForms> FForms;
};

// KeywordsMatchAll of the code's keyword record in ATables.Codes.
bool CodeMatchesKeywords(const TCodeInfo& ACode, const TStringList& AKeywords, const TKeywordTables& ATables);

// Every keyword occurs as a whole word in a chosen text of the code, or one code below it matches
// all keywords by the same rule. Keywords are upper case; empty ones are skipped.
bool CodeMatchesFullText(const TCodeInfo& ACode, const TStringList& AKeywords, TFullTextFlags AFlags);

// Whole-word occurrence of AWord in AText (both upper case, case-sensitive comparison).
bool FindWholeWord(std::string_view AWord, std::string_view AText);
// FindWholeWord, then, for a word with a hyphen, the word with its first hyphen removed.
bool FindWholeWordOrJoined(std::string_view AWord, std::string_view AText);

// Upper-case spellings to highlight: every keyword with its hyphen/blank forms and plurals.
TStringList BuildKeywordVariants(const TStringList& ASearchKeyWordsList, const TSpecialKeywordList& ASpecials);

// The categories taken by the mode, in tabular order (sections' code lists only).
std::vector<TCodeInfo*> FillResultList(const TChapterList& AChapters, TSearchMode AMode, TFullTextFlags AFlags,
                                       const TStringList& AKeywords, const TKeywordTables& ATables);

// The words of a text that holds blanks but no comma, upper-cased, as keywords ("fracture femur"
// gives FRACTURE and FEMUR); empty when the text holds a comma or fewer than two words.
TStringList BlankSeparatedKeywords(std::string_view AText);

// Number of categories for which CodeMatchesKeywords holds.
int CountKeywordMatches(const TChapterList& AChapters, const TStringList& AKeywords, const TKeywordTables& ATables);

// How many keyword items of the set carry AKeyword (trimmed, any letter case): its reference count,
// or, when it has none, the counts of the keywords it is another spelling of: joined ("XRAY" for
// "X-Ray"), without apostrophes or in British spelling.
int32_t KeywordCount(std::string_view AKeyword, const TKeywordTables& ATables);

// The counts line: for each comma item of AText (a last empty item dropped), KeywordCount of the
// item, padded with blanks to the item's length + 1 (in characters).
std::string BuildCountsLine(std::string_view AText, const TKeywordTables& ATables);

// A text that found nothing as typed, read for what it means.
struct TSearchReading {
    TStringList Keywords;             // the keywords searched instead, upper case; empty when nothing was found
    std::vector<TCodeInfo*> Results;  // tabular order, or best first when Ranked
    bool Ranked = false;              // no category carries every keyword: the closest ones
};

// Ranked results: categories scoring at least this share of the best score, at most this many.
inline constexpr double RankedScoreShare = 0.7;
inline constexpr std::size_t RankedResultLimit = 10;

// Reads AText another way. Without a comma it is a chart phrase: connecting words ("with", "of",
// "due to", ...) left out, "type II" read as "type 2", apostrophes optional, each word no keyword
// knows corrected (American spelling, possessive, nearest word), then covered by the longest
// keywords it holds, left to right. The categories carrying all of them, or else the ranked closest
// ones. With commas each item stays a keyword and only its misspelt words are corrected.
TSearchReading ReadForgivingly(const TChapterList& AChapters, std::string_view AText, const TKeywordSpelling& ASpelling,
                               const TKeywordTables& ATables);

// Outcome of RunKeywordSearch. The library asks nothing and writes nothing: the front acts on it.
enum class TSearchOutcome {
    Done,                        // the result list, variants and counts are filled
    EmptyTextNeedsConfirmation,  // ask EmptyKeywordsQuestion; on Yes search again with AListAllConfirmed
    NoConditionSelected,         // full-text search without any text kind: show NoConditionMessage
    NotLoadedYet,                // the Tabular List or the code keywords are still loading: nothing ran
};

// Whether the Tabular List and the code-keyword tables have settled (neither is loading): a search
// and the counts read both. The library never waits for them; the front searches once they have.
bool KeywordDataSettled(const TLoadStatuses& AStatuses);

// The search state of one Tabular Search window, over one Tabular List and its keyword tables.
class TKeywordSearchState {
public:
    TKeywordSearchState(const TChapterList& AChapters, TKeywordTables& ATables, const TLoadStatuses& AStatuses)
        : FChapters(&AChapters), FTables(&ATables), FStatuses(&AStatuses) {}

    TStringList FSearchKeyWordsList;        // upper-cased items of the last search
    TStringList FSearchKeyWordVariantList;  // spellings to highlight
    std::vector<TCodeInfo*> FResultList;    // found categories, tabular order (not owned)
    std::string FCountsLine;                // text of the counts line under the keyword box
    std::string FCombined;                  // "Combined Result" label
    // Set when the text as typed found nothing and was read otherwise (ReadForgivingly, or the words
    // of a full-text search without commas): "no keyword PNEMONIA; showing PNEUMONIA". Empty otherwise.
    std::string FSearchNote;
    // The text the front records in the search history after a search; empty when nothing ran.
    std::string FHistoryText;

    // The whole search on the shared data: refuses while the keyword data is loading (NotLoadedYet),
    // refuses an empty text until the front has confirmed listing every code, refuses full text
    // with AFlags = 0, fills the results, variants and counts. A keyword text that finds nothing is read
    // by ReadForgivingly; FSearchNote says how.
    TSearchOutcome RunKeywordSearch(std::string_view AText, bool AFullText, TFullTextFlags AFlags,
                                    bool AListAllConfirmed = false);

    // Counts line and "Combined Result" for AText. With AAfterSearch the combined value is the
    // result count; otherwise the categories matching AText are counted ("Unknown" in full text).
    // False, with nothing changed, while the keyword data is loading.
    bool UpdateKeywordCounts(std::string_view AText, bool AAfterSearch, bool AFullText);

    // The window's clear buttons: empty counts line and " Unknown ".
    void ClearCounts();

private:
    const TChapterList* FChapters;
    TKeywordTables* FTables;
    const TLoadStatuses* FStatuses;
};
