// Keyword data sets: the code keywords of every category, the irregular plural forms, the spelling
// list and the short descriptions of reportable codes; their in-memory tables (TKeywordTables), the
// loaders and small look-ups.
//
// The keyword loader thread (LoadKeywordDataSets) is the only writer of a TKeywordTables at
// start-up; the administrator tool may empty and refill its Codes/Refs later (each refill bumps
// Generation so cached references into the old tables can be dropped). Readers of the code keyword
// tables wait while the code keywords' status is Loading. ShortDescs is published whole.
#pragma once

#include <atomic>
#include <cstdint>
#include <istream>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/GlobalDef.h"
#include "services/DataSets.h"

// The keywords of one code.
class TCodeKeywords {
public:
    explicit TCodeKeywords(std::string ACode) : FCode(std::move(ACode)) {}

    std::string FCode;      // a category such as "A00" at start-up
    TStringList FKeywords;  // sorted case-insensitively, no two equal apart from letter case

    // Inserts AKeyword in sorted place; does nothing (returns false) when it is already present in
    // any letter case.
    bool AddKeyword(const std::string& AKeyword);
};

// One distinct keyword of the whole set, with the number of keyword items that carried it.
class TKeywordsRef {
public:
    std::string FKeyWord;  // spelling met first
    int32_t FRefCount = 0;
};

// One line of the irregular plural set: singular, plural and an optional second plural, lower case.
class TKeywordSpecialFormat {
public:
    std::string FKeyWord;
    std::string FSpecial1;
    std::string FSpecial2;
};

using TCodeKeywordsList = std::vector<std::unique_ptr<TCodeKeywords>>;
using TKeywordRefList = std::vector<std::unique_ptr<TKeywordsRef>>;  // descending by upper-cased keyword
using TSpecialKeywordList = std::vector<std::unique_ptr<TKeywordSpecialFormat>>;
using TShortDescMap = std::unordered_map<std::string, std::string>;

// The short descriptions, published in one step once the whole set has been read, so a reader sees
// either nothing or the complete dictionary. Safe to call from any thread.
class TShortDescDict {
public:
    // The complete dictionary, or null while it is not loaded yet.
    std::shared_ptr<const TShortDescMap> Snapshot() const;
    // True and ADesc set when ACode ("A01.00") has a short description.
    bool Find(std::string_view ACode, std::string& ADesc) const;
    bool Ready() const { return Snapshot() != nullptr; }
    void Publish(std::shared_ptr<const TShortDescMap> AMap);
    void Clear() { Publish(nullptr); }

private:
    mutable std::mutex FMutex;
    std::shared_ptr<const TShortDescMap> FMap;
};

// The spelling list "Spellings": British spellings the spelling rules cannot derive ("sulphonamide
// sulfonamide") and words the rules must leave alone (a line with one word). Upper case.
struct TSpellingList {
    std::unordered_map<std::string, std::string> Pairs;  // British -> American
    std::unordered_set<std::string> Kept;
};

class TKeywordSpelling;

// The keyword records of the code keyword table by their code (the first record of a code wins, as
// a linear look-up would find it).
using TCodeRecordIndex = std::unordered_map<std::string, const TCodeKeywords*>;

// The keyword record of each category of one Tabular List, in the order a search visits them, with
// the category and the code the record was looked up for (null when the code has none).
struct TCategoryRecord {
    const TCodeInfo* Category = nullptr;
    std::string Code;
    const TCodeKeywords* Record = nullptr;
};
using TCategoryRecords = std::vector<TCategoryRecord>;

// Every keyword table of one loaded edition.
struct TKeywordTables {
    TCodeKeywordsList Codes;
    TKeywordRefList Refs;
    TSpecialKeywordList Specials;  // the irregular plurals, filled before the code keywords
    TSpellingList Spellings;       // filled before the code keywords
    TShortDescDict ShortDescs;
    // Bumped whenever Codes is emptied or refilled; record indexes, spelling help and prompt filters
    // made under another generation are stale.
    std::atomic<uint32_t> Generation{0};

    // Empties Codes and Refs (administrator refill) and bumps the generation.
    void ClearCodes();
    // Empties every table (a new start-up) and bumps the generation.
    void Clear();

    // The spelling help of Refs and Spellings (keywords/KeywordSpelling.h builds it on first use
    // after each refill). Only the user-interface thread searches.
    std::shared_ptr<const TKeywordSpelling> SpellingHelp;
    uint32_t SpellingHelpGeneration = 0;

    // The record index of Codes (CodeRecordsOf makes it on first use after each refill).
    mutable std::mutex RecordIndexMutex;
    mutable std::shared_ptr<const TCodeRecordIndex> RecordIndex;
    mutable uint32_t RecordIndexGeneration = 0;
    // The records of the categories of the Tabular List searched last (keywords/KeywordSearch.cpp
    // makes them again after each refill or when another list is searched), under the same mutex.
    mutable std::shared_ptr<const TCategoryRecords> CategoryRecords;
    mutable uint32_t CategoryRecordsGeneration = 0;
};

// The record index of ATables.Codes, made again when the tables' generation moved. A search takes it
// once and keeps it while it looks at every category.
std::shared_ptr<const TCodeRecordIndex> CodeRecordsOf(const TKeywordTables& ATables);

// Ordering of keyword lists as a reader files them: ASCII letter case ignored, hyphens and
// apostrophes skipped, a blank before any letter or digit; texts equal that way are ordered by all
// their characters. 0 only for texts equal apart from ASCII letter case. <0, 0, >0.
int CompareKeywordText(std::string_view A, std::string_view B);

// The first eight characters that CompareKeywordText orders by, as a number that orders alike:
// two keywords with different numbers compare as their numbers do.
uint64_t KeywordSortPrefix(std::string_view AKeyword);

// The part of a list sorted by CompareKeywordText (a record's FKeywords) whose keywords begin with
// the letter or digit AFirst (letter case ignored; leading hyphens and apostrophes skipped): the
// sort keeps them together. [first, last) index range.
std::pair<std::size_t, std::size_t> KeywordsBeginningWith(const TStringList& ASorted, char AFirst);

// Upper-cases every ASCII letter that starts the text or follows a TAB, blank or hyphen.
void CapitalizeWords(std::string& AText);

// Counts one occurrence of AKeyword in a descending list (binary search, insert when new).
void AddKeywordRef(TKeywordRefList& AList, const std::string& AKeyword);

// FRefCount of the first entry whose upper-cased keyword equals AKeyword exactly (callers pass
// upper case), or 0.
int32_t GetKeywordRefCount(const TKeywordRefList& AList, std::string_view AKeyword);

// The record whose FCode equals ACode exactly, or null (linear scan).
TCodeKeywords* FindCodeKeywords(const TCodeKeywordsList& AList, std::string_view ACode);

// 0 when AKeyword (lower case) is not in the list; 1 with AForm1 set; 2 with both forms set.
int FindSpecialPlural(const TSpecialKeywordList& AList, std::string_view AKeyword, std::string& AForm1,
                      std::string& AForm2);

// Splits at commas only ("strict"), as SplitFields does (services/CsvReader.h): blanks stay inside
// items, an item starting with a double quote runs to its closing quote (a doubled quote inside
// stands for one), text after the closing quote up to the next comma joins the item, a trailing
// comma gives a last empty item; an empty text has none. Items are not trimmed.
TStringList SplitStrict(std::string_view AText);

// Splits a keyword list at commas: items trimmed of blanks and control characters, empty items
// dropped, an item starting with a double quote read up to its closing quote.
TStringList SplitKeywordList(std::string_view AText);

// Reads a code-keyword set into the given tables and drives AStatus (1 while reading, 2 at the end;
// -1 with a message when the source cannot be read; reading stops when someone else moves the
// status off 1). Damaged lines are reported through the message interface and skipped.
// Returns the final status.
TLoadState LoadCodeKeywords(std::istream& ASource, bool ACategoryOnly, bool AMultiWordOnly, bool ACapitalize,
                            TCodeKeywordsList& ACodeList, TKeywordRefList& ARefList, TLoadStatus& AStatus);
// The same into ATables.Codes and ATables.Refs; bumps ATables.Generation.
TLoadState LoadCodeKeywords(std::istream& ASource, bool ACategoryOnly, bool AMultiWordOnly, bool ACapitalize,
                            TKeywordTables& ATables, TLoadStatus& AStatus);

void LoadSpecialKeywords(std::istream& ASource, TSpecialKeywordList& AList);

// Reads the fixed-column short description set into AMap.
void LoadShortDescriptions(std::istream& ASource, TShortDescMap& AMap);
// Reads into a private map and publishes it to ADict when complete.
void LoadShortDescriptions(std::istream& ASource, TShortDescDict& ADict);

// The keyword loader thread's body: takes "SpecialKWs", "Spellings", "CodeKeywords" and "ShortDesc"
// with TakeResourceStream, in this order, and loads each into ATables. A missing or damaged code
// keyword stream is reported and leaves AStatus Failed, never Loading. No exception escapes.
void LoadKeywordDataSets(TKeywordTables& ATables, TLoadStatus& AStatus);
