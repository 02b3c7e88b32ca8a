// Look-ups over a loaded letter list for scripted use (the command-line front): main terms by
// title prefix in any case, and the one-line text of a term.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "index/IndexModel.h"

// Small-letter form of a Latin letter (ASCII, Latin-1 Supplement, Latin Extended-A: what the
// index titles hold); every other character is returned unchanged.
char32_t FoldLatinCase(char32_t c);

// Main terms of every letter group whose title starts with APrefix, comparing characters after
// FoldLatinCase, in file order. Titles are compared as stored (blanks included, never trimmed).
std::vector<const TTerm*> FindMainTermsByPrefix(const TAlphaLetterList& ALetters, std::string_view APrefix);

// GetFullTitle(true), a TAB, then the code (ATable false) or the six cells of columns 2 to 7
// separated by TABs (ATable true).
std::string TermLine(const TTerm& ATerm, bool ATable);

// A note for the user when the disease index edition (the file's version text) is not the
// edition of the program; empty when they agree.
std::string DIndexEditionNote(std::string_view AVersion, std::string_view AProgramEdition);
