// What the keyword set knows, for a search that forgives: its keywords and words in folded form
// (upper case, a hyphen as a blank, no apostrophes), the American spelling of a British word, a
// possessive typed without its apostrophe, and the nearest known words to a misspelt one (edit
// distance with transpositions, scaled to the word's length, and a key of how the word sounds).
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "keywords/KeywordData.h"

// Reads the list: one entry a line, "#" starts a comment line, fields separated by blanks.
TSpellingList ParseSpellingList(std::string_view AText);
void LoadSpellingList(std::istream& ASource, TSpellingList& AList);

// The American spellings a British word may have, by the list and by the rules ae/oe -> e,
// -our -> -or, -tre/-bre/-vre -> -ter/-ber/-ver, -ise/-yse -> -ize/-yze (with their endings -ed,
// -es, -ing, -ation); upper case in and out, the word itself excluded. Empty for a kept word.
std::vector<std::string> AmericanSpellings(std::string_view AWord, const TSpellingList& AList);

// A keyword folded for look-up: upper case, apostrophes dropped, hyphens and runs of blanks made one
// blank, trimmed. AJoined drops the blanks too ("X-Ray" gives "XRAY").
std::string FoldedKeyword(std::string_view AKeyword, bool AJoined = false);

// Optimal-string-alignment distance (an adjacent transposition costs 1), or AMax + 1 as soon as it
// is known to exceed AMax.
int EditDistance(std::string_view A, std::string_view B, int AMax);

// A key of how an upper-case word sounds: "PH" as "F", a soft "C" as "S", a hard one and "Q" as "K",
// "Z" as "S", "Y" as "I", a silent first letter ("PS", "PN", "KN", "GN", "WR") and, after the first
// letter, vowels, "H" and doubled letters dropped. "DIAFRAGM" and "DIAPHRAGM" share a key.
std::string SoundKey(std::string_view AWord);

class TKeywordSpelling {
public:
    TKeywordSpelling(const TKeywordRefList& ARefs, const TSpellingList& ASpellings);

    // AFolded (FoldedKeyword) is a keyword of the set, or the joined spelling of one.
    bool IsKeyword(std::string_view AFolded) const;
    // The keyword a folded text stands for: itself, or the keyword whose joined spelling it is; empty if none.
    std::string KeywordFor(std::string_view AFolded) const;
    // The keyword a folded text with its first word cut to an initial stands for, as a chart writes
    // an organism ("E COLI" for ESCHERICHIA COLI, "S AUREUS"); empty when no keyword or more than
    // one reads that way.
    std::string KeywordForInitial(std::string_view AFolded) const;
    // AWord (upper case) is a word of some keyword.
    bool IsWord(std::string_view AWord) const;
    // How many keyword items of the set carry this word.
    int32_t WordUses(std::string_view AWord) const;

    // The known words a word that is no word of the set may have been meant as, best first, at most
    // AMax: its American spelling, the word without a possessive "S", then the nearest words by edit
    // distance (at most 1 for words of up to five letters, 2 for longer ones; words under four
    // letters are not corrected) and by sound. Empty for a known word.
    std::vector<std::string> Corrections(std::string_view AWord, std::size_t AMax = 3) const;
    // AmericanSpellings by the set's spelling list.
    std::vector<std::string> AmericanSpellings(std::string_view AWord) const;

private:
    TSpellingList FSpellings;
    std::unordered_map<std::string, std::string> FKeywords;   // folded and joined spellings -> folded keyword
    std::unordered_map<std::string, std::string> FByInitial;  // "E COLI" -> ESCHERICHIA COLI; empty: ambiguous
    std::unordered_map<std::string, int32_t> FWords;          // word -> keyword items carrying it
    std::vector<std::vector<const std::string*>> FByLength;   // words by length
    std::vector<std::vector<uint32_t>> FLettersByLength;      // the letters each of them holds, one bit a letter
    std::unordered_map<std::string, std::vector<const std::string*>> FBySound;
};

// The spelling help of ATables, built on first use after each refill of the tables (their
// Generation) and kept in them. Only the user-interface thread searches.
const TKeywordSpelling& KeywordSpellingOf(TKeywordTables& ATables);
