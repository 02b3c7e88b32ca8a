// Code-text files of the administrator tool: the raw text of every category (titles, seventh
// characters, seventh-character notes, includes and inclusion terms) from which keywords are
// picked by hand, and the list of every valid code with its description for checking.
// Files are written with CR LF line ends.
#pragma once

#include <string>
#include <string_view>

#include "model/GlobalDef.h"

// Splits AText at blanks (empty pieces skipped) and joins the pieces with ", ", or with a single
// blank after a piece that already ends with a comma. APieces gets 1 for the first piece plus 1
// for every piece joined with ", "; 0 for a text without pieces.
std::string JoinWordsWithCommas(std::string_view AText, int& APieces);

// Appends the code-text lines of ACodeInfo and then of its sub-codes: the title line (code padded
// to 9 characters, then the title), one line per seventh character ("9 blanks, character, " - ",
// description"), and for seventh-character notes, includes and inclusion terms their type word and
// their note lines indented by 9 blanks. With AAddComma titles and note lines go through
// JoinWordsWithCommas. ATotalWordNum grows by 1 per line, or by the pieces of a joined text.
void AppendTitle(const TCodeInfo& ACodeInfo, TStringList& AStringList, int& ATotalWordNum, bool AAddComma);

// AppendTitle for every category in tabular order, saved to AFileName. Returns false, writing
// nothing, when the file cannot be created; ATotalWordNum gets the total count.
bool GenerateCodeTextFile(const TChapterList& AChapters, bool AAddComma, const std::string& AFileName,
                          int& ATotalWordNum);

// Every valid code of every category (GetAllValideCodes) as the code padded to 9 characters and
// its description, saved to AFileName. False when the file cannot be created.
bool GenerateAllCodeText(const TChapterList& AChapters, const std::string& AFileName);
