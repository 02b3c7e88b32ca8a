// Code texts to model nodes: parsing "S52.521A"-style texts, finding categories and codes in the
// Tabular List, and three small text helpers shared by several windows. The TCodeInfo and TCharDef
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

// The first category whose code equals ACategory exactly. The global form waits (polling every
// 100 ms, no dialog) while the Tabular List is loading; the list form searches the given chapters.
TCodeInfo* FindCategory(std::string_view ACategory);
TCodeInfo* FindCategory(const TChapterList& AChapters, std::string_view ACategory);

// ParseCodeText, FindCategory, then FindSubCodeByName with the sub-code; null when any step fails.
TCodeInfo* FindCodeByText(std::string_view ACodeText);
TCodeInfo* FindCodeByText(const TChapterList& AChapters, std::string_view ACodeText);

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
