// Derivation of the seventh-character exception rules. The published Tabular List gives each
// seventh-character definition to every code below it; the published order file leaves some of
// those completions out (S06.1X7 has no "D" or "S"). A rule "position:character" on an extension
// excludes that extension for every code whose character at that position (4 to 6, counted
// without the dot) is the given one. These functions find, for every extension, a set of rules
// that excludes exactly the completions the order file does not list.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "model/GlobalDef.h"

struct TExceptionRule {
    int Position = 0;  // 4, 5 or 6
    char Value = 0;

    bool operator==(const TExceptionRule&) const = default;
};

// Chooses rules that match every code of AExcluded and no code of AKept (dotted node codes such as
// "S06.1X7"). Greedy: repeatedly takes the admissible rule matching the most excluded codes not yet
// matched (ties: lower position, then lower character), and returns the rules sorted by position
// and character. Throws std::runtime_error naming the first excluded code that no admissible rule
// matches.
std::vector<TExceptionRule> DeriveExceptionRules(const std::vector<std::string>& AExcluded,
                                                 const std::vector<std::string>& AKept);

// "6:7;6:8": the text of an "exception" attribute.
std::string FormatExceptionRules(const std::vector<TExceptionRule>& ARules);

// The rules derived for one extension of one seventh-character definition.
struct TDerivedException {
    std::string OwnerCode;  // code of the node that carries the definition
    std::size_t CharIndex;  // index of the extension within the definition
    std::string Char;       // its character
    std::string Rules;      // attribute text
};

// A leaf whose seventh characters no position:character rule can describe: it gets a definition of
// its own holding only the characters the order file lists for it (CharIndexes, into the owner's
// definition), so the order file stays the judge of what is reportable.
struct TLeafDefinition {
    std::string LeafCode;
    std::string OwnerCode;
    std::vector<std::size_t> CharIndexes;
};

// What a tolerant derivation did where rules could not explain the order file.
struct TExceptionReport {
    std::vector<TLeafDefinition> LeafDefinitions;
    std::vector<std::string> UnknownListedCodes;  // listed by the order file, not in the Tabular List
};

// Compares every completion the model generates (it must not carry exception rules yet) with
// AListedCodes, the reportable codes of the order file (dotted). Returns, in tabular order, the
// extensions that need rules. Throws std::runtime_error when the order file lists a code the
// model cannot generate, when a code the model generates without a seventh character is not
// listed, or when no rule set explains what an extension lacks. With AReport (tolerant) the
// first is only reported, and a leaf no rule set can describe is left out of the rules and given
// a definition of its own; the second still throws.
std::vector<TDerivedException> DeriveTabularExceptions(const TChapterList& AChapters,
                                                       const std::set<std::string>& AListedCodes,
                                                       TExceptionReport* AReport = nullptr);
