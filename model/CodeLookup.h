// Code texts and model nodes: parsing "S52.521A"-style texts, completing a leaf with its seventh
// character, and three small text helpers shared by several windows. Finding the node a code text
// names is the code resolver's (model/CodeResolver.h). The TCodeInfo and TCharDef
// look-up methods (seventh-character rules, completions) are declared in GlobalDef.h.
#pragma once

#include <string>
#include <string_view>

#include "model/GlobalDef.h"

// Splits a code text ("S52.521A", "A00", "Z16.-") into its category and its sub-code (what follows
// the dot, up to the first "-"). Returns false, leaving the outputs unchanged, for anything that is
// not 3 to 8 characters of capitals/digits with a dot in fourth place.
bool ParseCodeText(std::string_view ACodeText, std::string& ACategory, std::string& ASubCode);
// The same without copying: the outputs view into ACodeText.
bool ParseCodeText(std::string_view ACodeText, std::string_view& ACategory, std::string_view& ASubCode);

// The code text of a leaf completed with a seventh character: placeholder "X" up to the sixth
// character, then the seventh ("S52.521"+"A" -> "S52.521A", "E08.37"+"1" -> "E08.37X1",
// "T07"+"A" -> "T07.XXXA").
std::string CompletedCode(const TCodeInfo& ALeaf, const TCharDef& AChar);

// What follows the dot of a code text: empty below 5 characters, else the last length-4 characters.
std::string SubCodePart(std::string_view ACodeText);

// Compares the first ACount bytes of A and B: -1, 0 or 1. AIgnoreCase matches ASCII capitals with
// their small letters; AHyphenBlank lets a blank and a hyphen match each other. Pass the byte length
// of a whole-character prefix (e.g. size() of the typed word): every folded character is one byte and
// UTF-8 sorts like its code points, so that compares the same as counting characters. A text shorter
// than ACount sorts first.
int CompareTextPrefix(std::string_view A, std::string_view B, int ACount, bool AIgnoreCase, bool AHyphenBlank);

// True when A and B have the same length and are equal once every "-" is read as a blank.
bool SameHyphenBlank(std::string_view A, std::string_view B);
