// Generates the code-keyword set "CodeKeywords2021" from the Tabular List (and, when given, the
// disease index): for every category the words of its titles, inclusion terms, includes notes,
// seventh-character notes and definitions, capitalised, stop words dropped, regular plurals also
// giving their singular. Output is deterministic and laid out as the shipped set: a code line,
// four keywords a line, continuation lines indented nine blanks, every keyword followed by a comma.
#pragma once

#include <string>
#include <vector>

#include "GlobalDef.h"
#include "IndexModel.h"

// Reads a stop-word list: one word a line, "#" starts a comment line, case-insensitive.
std::vector<std::string> ParseStopWords(const std::string& AText);

// The whole set as CR LF text. ADiseaseIndex may be null.
std::string GenerateCodeKeywordsText(const TChapterList& AChapters,
                                     const TAlphaLetterList* ADiseaseIndex,
                                     const std::vector<std::string>& AStopWords);
