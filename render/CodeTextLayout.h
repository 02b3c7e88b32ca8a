// Layout of a chapter, section or category of the Tabular List into fixed-width text lines, each
// with a line kind, plus the list of note type words met on the way.
//
// Representation: every laid-out line is a std::u32string, so widths, columns and positions count
// characters (a title with "é" wraps at the same column as an ASCII one). The model's UTF-8 text
// is converted while laying out. The kind string holds one upper-case hexadecimal digit per line
// ("0"-"9", "A"-"F"); it is plain ASCII in a std::string.
#pragma once

#include <string>
#include <vector>

#include "model/GlobalDef.h"

using TLayoutLines = std::vector<std::u32string>;   // physical lines, no line breaks
using TTypeWordList = std::vector<std::u32string>;  // distinct note type words, first met first

// Line kinds; the digit written into the kind string is the value in hexadecimal.
enum TLineKind : int {
    lkNote = 0,                // notes, chapter/section notes, table borders and data rows
    lkHeading = 1,             // chapter/section heading, the two table header rows
    lkHeaderCode = 2,          // code line of a code with sub-codes
    lkFinalCode = 3,           // code line of a final code
    lkInclusion = 4,           // inclusion terms, INCLUDES, seventh-character notes and rows
    lkSevenCharCode = 5,       // leaf code that takes a seventh character; page-filler lines
    lkNoteCont = 8,            // continuation of kind 0
    lkTextCont = 9,            // continuation of kinds 1, 2, 3
    lkInclusionCont = 12,      // continuation of kind 4 ("C")
    lkSevenCharCodeCont = 13,  // continuation of kind 5 ("D")
};

// The continuation kind of a wrapped line: below 8 add 8; 10 and 11 become 9.
int ContinuationKind(int AKind);
// "0"-"9", "A"-"F" for 0..15.
char KindDigit(int AKind);
// The kind of a digit of the kind string; -1 for a character that is not a hexadecimal digit.
int KindOfDigit(char ADigit);
// True for kinds 0 to 4: the lines that count when keeping the reading place across a re-layout.
bool IsOriginalLineDigit(char ADigit);

// Indentation of a code level: plain 0/2/4/6/8 or deep 0/6/10/13/16 spaces for levels 0..4+.
std::u32string LevelIndent(int ALevel, bool ADeep);

// Fills AText up to AWidth characters with AFill: AAlign -1 fill after, 0 centred (the smaller
// half before), anything else fill before. A text already AWidth long or longer is returned whole.
std::u32string PadText(int AWidth, char32_t AFill, const std::u32string& AText, int AAlign);

// Appends one logical line as one or more physical lines. A line longer than AWidth breaks at the
// right-most space among positions AWidth+1 down to length(APrefix)+1 (1-based; the space is
// dropped); the rest continues with APrefix and the continuation kind. Without such a space the
// text stays whole on one over-long line.
void WrapTextLine(const std::u32string& AText, int AWidth, const std::u32string& APrefix, int AKind,
                  TLayoutLines& ALines, std::string& AKinds);

// Appends AWord unless it is empty or already present (exact comparison).
void AddTypeWord(TTypeWordList& ATypeWords, const std::u32string& AWord);

// True when the 1-based line numbers ALineA and ALineB fall on the same page of ALinesPerPage.
// A page size below 1 is treated as one endless page (nothing is ever moved), never a division by zero.
bool OnSamePage(int ALineA, int ALineB, int ALinesPerPage);

// Lays out a category (or any code node) with all its descendants. A block that would straddle a
// page boundary but fits on one page is moved to the next page with blank filler lines (kind 5).
// ASelectedTail is the wanted sub-code ("1" for A00.1); when a node's part after the dot equals it,
// ASelectedLine is set to that node's first line (and follows the node when it is moved).
void AppendCodeText(const TCodeInfo& ACode, int AWidth, int ALinesPerPage, const std::string& ASelectedTail,
                    int& ASelectedLine, std::string& AKinds, TTypeWordList& ATypeWords, TLayoutLines& ALines);

// Heading "(scope) name" (kind 1) and the section's notes (kind 0). Its categories are not included.
void AppendSectionText(const TSubChapter& ASection, int AWidth, std::string& AKinds, TTypeWordList& ATypeWords,
                       TLayoutLines& ALines);

// As a section, from the chapter's info. The window always passes width 90.
void AppendChapterText(const TChapter& AChapter, int AWidth, TLayoutLines& ALines, std::string& AKinds,
                       TTypeWordList& ATypeWords);

// The visual impairment category table: rows of exactly 90 characters (longer only when a value
// does not fit its column).
void AppendVisualImpairmentTable(const TVisualImpairment& ATable, TLayoutLines& ALines, std::string& AKinds);
