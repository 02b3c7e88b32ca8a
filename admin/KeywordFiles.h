// Keyword-file operations of the administrator tool: normalising a hand-edited keyword file,
// arranging the code-keyword tables into the layout of the shipped set with a distinct-keyword
// list, listing the codes that carry each keyword of a list, and counting a distinct-keyword file
// by words per line. Files that cannot be opened end an operation silently (false / nullopt);
// damaged lines are reported through the message interface. Files are written with CR LF.
#pragma once

#include <optional>
#include <string>

#include "keywords/KeywordData.h"

// Rewrites AFileName into AFileName + "-New.txt": code lines start with the code padded to 9
// characters, continuation lines with 9 blanks; items separated at commas, inner runs of TABs and
// blanks reduced to one blank, each item followed by a comma and separated by one blank. A code
// line whose first blank comes at position 3 or earlier gives nothing; a code longer than three
// characters without a dot in fourth place shows "Invalid line %d (error code definition): %s".
bool NormalizeKeywordFile(const std::string& AFileName);

// Writes the records of ACodeList, four keywords a line ("code padded to 8 characters" or 8
// blanks, then " keyword," per keyword), to AArrangedFile, and every keyword once (sorted,
// letter case ignored) to ADistinctFile, one a line.
bool ArrangeCodeKeyword(const TCodeKeywordsList& ACodeList, const std::string& AArrangedFile,
                        const std::string& ADistinctFile);

// Waits while the code keywords load (AStatus), refills ATables.Codes and ATables.Refs from
// AKeywordFile with the given options, then ArrangeCodeKeyword on them.
bool ArrangeKeywordFile(const std::string& AKeywordFile, bool ACategoryOnly, bool AMultiWordOnly, bool ACapitalize,
                        const std::string& AArrangedFile, const std::string& ADistinctFile, TKeywordTables& ATables,
                        TLoadStatus& AStatus);

// Waits while the code keywords load, refills the tables from AKeywordFile (all codes, all keywords,
// capitalised when ACapitalize is set), then writes AKeywordFile + "-Verify.txt": for each keyword of AKeywordListFile
// (one a line) the keyword, then the codes carrying it (compared in upper case, a hyphen equal to
// a blank), five a line after 9 blanks, separated by ", ".
bool ExtractKeywordsForVerify(const std::string& AKeywordFile, const std::string& AKeywordListFile, bool ACapitalize,
                              TKeywordTables& ATables, TLoadStatus& AStatus);

// Counts the non-empty lines of a distinct-keyword file by their number of words (1 to 4) and
// returns "Total: %d, 1: %d, 2: %d, 3: %d, 4: %d"; a line of more words is shown as a message and
// not counted. nullopt when the file cannot be read.
std::optional<std::string> StatisticsDistinctKW(const std::string& ADistinctKWFile);
