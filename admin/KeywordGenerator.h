// Generates the code-keyword set "CodeKeywords2021" from the Tabular List (and, when given, the
// disease and external-cause indexes and the abbreviation list): for every category the words of
// its titles, inclusion terms, includes notes, seventh-character notes and definitions, capitalised,
// stop words dropped, regular plurals also giving their singular, and the phrases described below. Output is
// deterministic and laid out as the shipped set: a code line, four keywords a line, continuation lines indented nine
// blanks, every keyword followed by a comma.
#pragma once

#include <string>
#include <vector>

#include "index/IndexModel.h"
#include "model/GlobalDef.h"

// Reads a stop-word list: one word a line, "#" starts a comment line, case-insensitive.
std::vector<std::string> ParseStopWords(const std::string& AText);

// One entry of the abbreviation and everyday-name list: a name ("CHF", "pink eye") and its
// meanings, each a set of keywords that a category must all carry ("Malignant Neoplasm", "Breast").
struct TAbbreviation {
    std::string Name;
    std::vector<std::vector<std::string>> Meanings;
    int Line = 0;
};

// Reads the list: "NAME = MEANING | MEANING", a meaning being keywords joined by " + "; "#" starts
// a comment line. Throws std::runtime_error naming the line for a damaged or repeated entry.
std::vector<TAbbreviation> ParseAbbreviations(const std::string& AText);

// What the generator reads besides the Tabular List. Either index may be null.
struct TKeywordSources {
    const TAlphaLetterList* DiseaseIndex = nullptr;
    const TAlphaLetterList* ExternalIndex = nullptr;
    std::vector<std::string> StopWords;
    std::vector<TAbbreviation> Abbreviations;
};

// The whole set as CR LF text. Besides single words, the clinical phrases of titles and inclusion
// terms, the index main terms joined with their sub-terms in spoken order ("Pulmonary
// Tuberculosis"), the index terms that lead to a category by "see" or "see also", and the
// abbreviations of the list. Throws std::runtime_error when a meaning of an abbreviation is
// carried by no category.
std::string GenerateCodeKeywordsText(const TChapterList& AChapters, const TKeywordSources& ASources);
std::string GenerateCodeKeywordsText(const TChapterList& AChapters, const TAlphaLetterList* ADiseaseIndex,
                                     const std::vector<std::string>& AStopWords);
