// Rendering one page of laid-out content: the page text and the ordered colouring operations,
// computed on plain strings first (a "render plan") and then applied to a TTextView in one go.
#pragma once

#include <string>
#include <vector>

#include "render/CodeTextLayout.h"
#include "render/TextView.h"

// A range of characters, 0-based start and length.
struct TTextRun {
    int Start = 0;
    int Length = 0;
    bool operator==(const TTextRun&) const = default;
};

struct TRenderOperation {
    enum TKind { kColour, kUnderline } Kind = kColour;
    TTextRun Run;
    TRgbColour Colour = 0;  // for Colour operations
    bool operator==(const TRenderOperation&) const = default;
};

struct TRenderPlan {
    std::u32string Text;                       // the page's lines, each followed by LF
    std::vector<int> LineStarts;               // start position of each page line in Text
    std::vector<TRenderOperation> Operations;  // in application order, later ones win
    int OriginalLine = 0;                      // original lines (kinds 0-4) up to and including the top line
    bool HasUnderline = false;
    TTextRun Underline;  // the selected code's token when it stands on the page
};

// Word-boundary rule shared by keyword and type-word colouring: the character before an occurrence
// must be absent or one of TAB LF space " ' ( , - [ {, the character after it absent or one of
// TAB LF CR space " ' ) , - ] }. A full stop, colon or semicolon after a word rejects it.
bool IsWordStartBoundary(char32_t ABefore);
bool IsWordEndBoundary(char32_t AAfter);
bool IsWholeWordAt(const std::u32string& AText, std::size_t APos, std::size_t ALength);

// Whole-word occurrences of the upper-case keywords in ALine (compared upper-cased), keyword by
// keyword in list order; the search resumes after each occurrence, so overlaps are not found.
std::vector<TTextRun> FindKeywordRuns(const std::u32string& ALine, const std::vector<std::u32string>& AKeywords);

// Whole-word, case-insensitive occurrences of every type word anywhere in the page text.
std::vector<TTextRun> ColourTypeWords(const std::u32string& APageText, const TTypeWordList& ATypeWords);

// Builds the plan of page APage (1-based) of the content. AKeywords are the upper-case UTF-8
// spellings to highlight; ASelectedCode is the code to underline (empty: none).
TRenderPlan RenderPage(const TLayoutLines& ALines, int ALinePerPage, int APage, const TTypeWordList& ATypeWords,
                       const std::vector<std::string>& AKeywords, const std::string& AKinds,
                       const std::string& ASelectedCode);

// The pages (1-based, ascending) on which the rendering highlights a keyword: the pages of the
// lines, other than note lines, that hold a whole-word occurrence of one of AKeywords.
std::vector<int> KeywordHitPages(const TLayoutLines& ALines, int ALinePerPage,
                                 const std::vector<std::string>& AKeywords, const std::string& AKinds);

// Puts the plan into the view: suspend painting, set the text, apply the operations in order,
// caret to position 0, resume painting.
void ApplyRenderPlan(const TRenderPlan& APlan, TTextView& AView);
