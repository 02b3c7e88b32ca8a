#include "render/PageRender.h"

#include <algorithm>

#include "services/TextUtil.h"

bool IsWordStartBoundary(char32_t ABefore) {
    switch (ABefore) {
        case U'\t':
        case U'\n':
        case U' ':
        case U'"':
        case U'\'':
        case U'(':
        case U',':
        case U'-':
        case U'[':
        case U'{':
            return true;
        default:
            return false;
    }
}

bool IsWordEndBoundary(char32_t AAfter) {
    switch (AAfter) {
        case U'\t':
        case U'\n':
        case U'\r':
        case U' ':
        case U'"':
        case U'\'':
        case U')':
        case U',':
        case U'-':
        case U']':
        case U'}':
            return true;
        default:
            return false;
    }
}

bool IsWholeWordAt(const std::u32string& AText, std::size_t APos, std::size_t ALength) {
    if (APos > 0 && !IsWordStartBoundary(AText[APos - 1])) return false;
    const std::size_t end = APos + ALength;
    if (end < AText.size() && !IsWordEndBoundary(AText[end])) return false;
    return true;
}

namespace {

// Whole-word occurrences of AWord (already upper case) in the upper-cased AUpperText; the search
// resumes after each occurrence whether it was accepted or not.
void CollectWholeWords(const std::u32string& AUpperText, const std::u32string& AWord, std::vector<TTextRun>& ARuns) {
    if (AWord.empty()) return;
    std::size_t from = 0;
    for (;;) {
        const std::size_t pos = AUpperText.find(AWord, from);
        if (pos == std::u32string::npos) return;
        if (IsWholeWordAt(AUpperText, pos, AWord.size())) {
            ARuns.push_back({static_cast<int>(pos), static_cast<int>(AWord.size())});
        }
        from = pos + AWord.size();
    }
}

void AddColour(std::vector<TRenderOperation>& AOperations, int AStart, int ALength, TRgbColour AColour) {
    AOperations.push_back({TRenderOperation::kColour, {AStart, ALength}, AColour});
}

}  // namespace

std::vector<TTextRun> FindKeywordRuns(const std::u32string& ALine, const std::vector<std::u32string>& AKeywords) {
    std::vector<TTextRun> runs;
    if (AKeywords.empty()) return runs;
    const std::u32string upperLine = AsciiUpper(ALine);
    for (const auto& keyword : AKeywords) CollectWholeWords(upperLine, keyword, runs);
    return runs;
}

std::vector<TTextRun> ColourTypeWords(const std::u32string& APageText, const TTypeWordList& ATypeWords) {
    std::vector<TTextRun> runs;
    if (ATypeWords.empty()) return runs;
    const std::u32string upperText = AsciiUpper(APageText);
    for (const auto& word : ATypeWords) CollectWholeWords(upperText, AsciiUpper(word), runs);
    return runs;
}

namespace {

std::vector<std::u32string> KeywordTexts(const std::vector<std::string>& AKeywords) {
    std::vector<std::u32string> keywords;
    keywords.reserve(AKeywords.size());
    for (const auto& keyword : AKeywords) {
        if (!keyword.empty()) keywords.push_back(Utf8ToU32(keyword));
    }
    return keywords;
}

// Note lines are drawn grey and never coloured, keywords included.
bool IsColouredKind(const std::string& AKinds, int AIndex) {
    const int kind = static_cast<std::size_t>(AIndex) < AKinds.size() ? KindOfDigit(AKinds[AIndex]) : lkNote;
    return kind != lkNote && kind != lkNoteCont;
}

}  // namespace

std::vector<int> KeywordHitPages(const TLayoutLines& ALines, int ALinePerPage,
                                 const std::vector<std::string>& AKeywords, const std::string& AKinds) {
    std::vector<int> pages;
    const std::vector<std::u32string> keywords = KeywordTexts(AKeywords);
    if (keywords.empty()) return pages;
    const int linePerPage = std::max(ALinePerPage, 1);
    for (int index = 0; index < static_cast<int>(ALines.size()); ++index) {
        const int page = index / linePerPage + 1;
        if (!pages.empty() && pages.back() == page) continue;
        if (IsColouredKind(AKinds, index) &&
            !FindKeywordRuns(ALines[static_cast<std::size_t>(index)], keywords).empty())
            pages.push_back(page);
    }
    return pages;
}

TRenderPlan RenderPage(const TLayoutLines& ALines, int ALinePerPage, int APage, const TTypeWordList& ATypeWords,
                       const std::vector<std::string>& AKeywords, const std::string& AKinds,
                       const std::string& ASelectedCode) {
    TRenderPlan plan;
    const int linePerPage = std::max(ALinePerPage, 1);
    const int page = std::max(APage, 1);
    const long long startLong = static_cast<long long>(page - 1) * linePerPage;
    const int lineCount = static_cast<int>(ALines.size());
    const int start = startLong > lineCount ? lineCount : static_cast<int>(startLong);
    const int stop = std::min(static_cast<long long>(page) * linePerPage, static_cast<long long>(lineCount)) - 1;

    if (static_cast<long long>(AKinds.size()) > startLong) {
        const auto topLineEnd = AKinds.begin() + static_cast<std::ptrdiff_t>(startLong + 1);
        plan.OriginalLine = static_cast<int>(std::count_if(AKinds.begin(), topLineEnd, IsOriginalLineDigit));
    }

    const std::vector<std::u32string> keywords = KeywordTexts(AKeywords);
    const std::u32string selectedCode = Utf8ToU32(ASelectedCode);

    std::vector<TRenderOperation> blackRuns;
    std::vector<TRenderOperation> tokenRuns;
    std::vector<TTextRun> keywordRuns;
    for (int index = start; index <= stop; ++index) {
        const std::u32string& line = ALines[static_cast<std::size_t>(index)];
        const int lineStart = static_cast<int>(plan.Text.size());
        plan.LineStarts.push_back(lineStart);
        plan.Text += line;
        plan.Text += U'\n';

        if (!IsColouredKind(AKinds, index)) continue;
        const int kind = KindOfDigit(AKinds[static_cast<std::size_t>(index)]);
        if (kind != lkInclusion && kind != lkInclusionCont) {
            AddColour(blackRuns, lineStart, static_cast<int>(line.size()), clBlackText);
        }
        for (const auto& run : FindKeywordRuns(line, keywords))
            keywordRuns.push_back({lineStart + run.Start, run.Length});
        if (kind == lkHeaderCode || kind == lkFinalCode || kind == lkSevenCharCode) {
            const std::size_t tokenStart = std::min(line.find_first_not_of(U' '), line.size());
            const std::size_t tokenEnd = std::min(line.find(U' ', tokenStart), line.size());
            const TRgbColour colour =
                kind == lkHeaderCode ? clHeaderCodeRed : (kind == lkSevenCharCode ? clSevenCharBlue : clFinalCodeGreen);
            const TTextRun token{lineStart + static_cast<int>(tokenStart), static_cast<int>(tokenEnd - tokenStart)};
            if (token.Length > 0) AddColour(tokenRuns, token.Start, token.Length, colour);
            if (!plan.HasUnderline && !selectedCode.empty() &&
                line.compare(tokenStart, tokenEnd - tokenStart, selectedCode) == 0) {
                plan.HasUnderline = true;
                plan.Underline = token;
            }
        }
    }

    auto& operations = plan.Operations;
    AddColour(operations, 0, static_cast<int>(plan.Text.size()), clDarkGrey);
    operations.insert(operations.end(), blackRuns.begin(), blackRuns.end());
    operations.insert(operations.end(), tokenRuns.begin(), tokenRuns.end());
    for (const auto& run : ColourTypeWords(plan.Text, ATypeWords))
        AddColour(operations, run.Start, run.Length, clTypeWordPurple);
    for (const auto& run : keywordRuns) AddColour(operations, run.Start, run.Length, clKeywordFuchsia);
    if (plan.HasUnderline) operations.push_back({TRenderOperation::kUnderline, plan.Underline, 0});
    return plan;
}

void ApplyRenderPlan(const TRenderPlan& APlan, TTextView& AView) {
    AView.BeginUpdate();
    AView.SetText(APlan.Text);
    for (const auto& operation : APlan.Operations) {
        if (operation.Kind == TRenderOperation::kColour) {
            AView.SetColour(operation.Run.Start, operation.Run.Length, operation.Colour);
        } else {
            AView.AddUnderline(operation.Run.Start, operation.Run.Length);
        }
    }
    AView.SetSelection(0, 0);
    AView.EndUpdate();
}
