#include "render/CodeTextPager.h"

#include <algorithm>
#include <cstdio>

namespace {

int CeilDiv(int ANumerator, int ADenominator) {
    if (ADenominator <= 0) return ANumerator;
    return (ANumerator + ADenominator - 1) / ADenominator;
}

int WidestLine(const TLayoutLines& ALines) {
    std::size_t widest = 0;
    for (const auto& line : ALines) widest = std::max(widest, line.size());
    return static_cast<int>(widest);
}

}  // namespace

TPageGeometry MeasurePage(const TViewMetrics& AMetrics, bool AScrollsSideways) {
    TPageGeometry geometry;
    if (AMetrics.CharWidth <= 0 || AMetrics.LineHeight <= 0) return geometry;
    geometry.Columns = std::max(0, static_cast<int>(AMetrics.TextWidth / AMetrics.CharWidth));
    geometry.WordsPerLine = std::max(1, geometry.Columns - 1);
    const int rows = std::max(0, static_cast<int>(AMetrics.TextHeight / AMetrics.LineHeight));
    // Four rows are enough to read a page: a window on a small or scaled screen cannot be made
    // tall enough for more, and a view that never fits would stay empty.
    geometry.Fits = geometry.Columns > 19 && rows > 3;
    const double height = AScrollsSideways ? AMetrics.TextHeight - AMetrics.ScrollBarHeight : AMetrics.TextHeight;
    geometry.LinePerPage = std::max(1, static_cast<int>(height / AMetrics.LineHeight));
    return geometry;
}

void TCodeTextPager::LayOut(const TTabularObject& AObject, const std::string& ASelectedTail, int& ASelectedLine) {
    TViewMetrics metrics;
    const bool measured = FHost != nullptr && FHost->MeasureView(AObject, metrics);
    const TPageGeometry geometry = measured ? MeasurePage(metrics, false) : TPageGeometry{};
    if (geometry.Fits) {
        FMeasured = geometry;
        FWordsPerLine = geometry.WordsPerLine;
        FLinePerPage = geometry.LinePerPage;
    }
    const int selectedLine = ASelectedLine;
    LayOutAtGeometry(AObject, ASelectedTail, ASelectedLine);
    // Chapter texts and visual impairment tables keep 90 columns, and a word longer than a line
    // stays whole: such a page scrolls sideways, and its scroll bar must not hide the last line.
    // Wrapping does not depend on the page length, so one more layout settles it.
    if (geometry.Fits && WidestLine(FContentStringList) > geometry.WordsPerLine) {
        const int linePerPage = MeasurePage(metrics, true).LinePerPage;
        if (linePerPage != FLinePerPage) {
            FLinePerPage = linePerPage;
            ASelectedLine = selectedLine;
            LayOutAtGeometry(AObject, ASelectedTail, ASelectedLine);
        }
    }
}

void TCodeTextPager::LayOutAtGeometry(const TTabularObject& AObject, const std::string& ASelectedTail,
                                      int& ASelectedLine) {
    FContentStringList.clear();
    FTypeWordsList.clear();
    FLineBoldFlagStr.clear();
    FCurCode = AObject;
    FCurPageIndex = 0;
    if (auto* const* code = std::get_if<TCodeInfo*>(&AObject); code && *code) {
        AppendCodeText(**code, FWordsPerLine, FLinePerPage, ASelectedTail, ASelectedLine, FLineBoldFlagStr,
                       FTypeWordsList, FContentStringList);
    } else if (auto* const* section = std::get_if<TSubChapter*>(&AObject); section && *section) {
        AppendSectionText(**section, FWordsPerLine, FLineBoldFlagStr, FTypeWordsList, FContentStringList);
    } else if (auto* const* chapter = std::get_if<TChapter*>(&AObject); chapter && *chapter) {
        // A chapter's text keeps its fixed width whatever the view's width.
        AppendChapterText(**chapter, 90, FContentStringList, FLineBoldFlagStr, FTypeWordsList);
    }
    UpdatePageCount();
}

void TCodeTextPager::BuildContent(const TTabularObject& AObject, const std::string& ASelectedTail, int& ASelectedLine) {
    LayOut(AObject, ASelectedTail, ASelectedLine);
    if (FHost) FHost->ContentBuilt(FCurCode, false);
}

void TCodeTextPager::UpdatePageCount() {
    const int lineCount = static_cast<int>(FContentStringList.size());
    FPageNumber = lineCount == 0 ? 1 : CeilDiv(lineCount, FLinePerPage);
    if (FHost) FHost->PageCountUpdated();
}

void TCodeTextPager::ShowPage(int AN, bool AForce) {
    if (FHost) FHost->HideSuggestions();
    if (IsEmptyObject(FCurCode)) return;
    const int page = AN <= 0 ? 1 : std::min(AN, FPageNumber);
    if (!AForce && page == FCurPageIndex) return;
    FCurPageIndex = page;
    RenderPage(page);
    if (FHost) FHost->PageShown(PageCounterText(), FCurPageIndex != 1, FCurPageIndex != FPageNumber);
}

void TCodeTextPager::RenderPage(int APage) {
    FLastPlan = ::RenderPage(FContentStringList, FLinePerPage, APage, FTypeWordsList, FSearchKeyWordVariantList,
                             FLineBoldFlagStr, FSelectedCode);
    FOriginalLine = FLastPlan.OriginalLine;
    if (FView) ApplyRenderPlan(FLastPlan, *FView);
}

void TCodeTextPager::ShowCodeAt(TCodeInfo* ACategory, const std::string& ATail) {
    if (ACategory == nullptr) return;
    int selectedLine = 1;
    BuildContent(ACategory, ATail, selectedLine);
    FSelectedCode = ATail.empty() ? ACategory->FCode : ACategory->FCode + "." + ATail;
    ShowPage(CeilDiv(selectedLine, FLinePerPage), false);
}

void TCodeTextPager::ShowObject(const TTabularObject& AObject, int APage) {
    int selectedLine = 1;
    BuildContent(AObject, std::string(), selectedLine);
    ShowPage(APage, false);
}

void TCodeTextPager::RebuildContent(int& ALine) {
    ALine = 1;
    if (IsEmptyObject(FCurCode)) return;
    int unusedSelectedLine = 1;
    const TTabularObject object = FCurCode;
    LayOut(object, std::string(), unusedSelectedLine);
    if (FHost) FHost->ContentBuilt(FCurCode, true);

    int count = 0;
    ALine = static_cast<int>(FLineBoldFlagStr.size()) + 1;
    for (std::size_t index = 0; index < FLineBoldFlagStr.size(); ++index) {
        if (IsOriginalLineDigit(FLineBoldFlagStr[index])) ++count;
        if (count >= FOriginalLine) {
            ALine = static_cast<int>(index) + 1;
            break;
        }
    }
}

void TCodeTextPager::Relayout(int AWordsPerLine, int ALinePerPage) {
    FWordsPerLine = AWordsPerLine;
    FLinePerPage = ALinePerPage;
    int line = 1;
    RebuildContent(line);
    if (IsEmptyObject(FCurCode)) return;
    ShowPage(CeilDiv(line, FLinePerPage), true);
}

void TCodeTextPager::Remeasure() {
    TViewMetrics metrics;
    if (FHost == nullptr || !FHost->MeasureView(FCurCode, metrics)) return;
    const TPageGeometry geometry = MeasurePage(metrics, false);
    if (!geometry.Fits) return;
    if (IsEmptyObject(FCurCode)) {
        FMeasured = geometry;
        FWordsPerLine = geometry.WordsPerLine;
        FLinePerPage = geometry.LinePerPage;
        return;
    }
    if (geometry == FMeasured) return;
    int line = 1;
    RebuildContent(line);
    ShowPage(CeilDiv(line, FLinePerPage), true);
}

void TCodeTextPager::Clear() {
    FContentStringList.clear();
    FLineBoldFlagStr.clear();
    FTypeWordsList.clear();
    FCurCode = std::monostate{};
    FCurPageIndex = 0;
    FPageNumber = 0;
    FOriginalLine = 0;
    FSelectedCode.clear();
    FLastPlan = TRenderPlan{};
    if (FHost == nullptr) return;
    FHost->ContentBuilt(FCurCode, false);
    FHost->PageCountUpdated();
    FHost->PageShown(PageCounterText(), false, false);
}

std::vector<int> TCodeTextPager::KeywordHitPages() const {
    return ::KeywordHitPages(FContentStringList, FLinePerPage, FSearchKeyWordVariantList, FLineBoldFlagStr);
}

int TCodeTextPager::NeighbourHitPage(bool APrior) const {
    const std::vector<int> pages = KeywordHitPages();
    if (APrior) {
        for (auto page = pages.rbegin(); page != pages.rend(); ++page)
            if (*page < FCurPageIndex) return *page;
        return 0;
    }
    for (int page : pages)
        if (page > FCurPageIndex) return page;
    return 0;
}

std::string TCodeTextPager::PageCounterText() const {
    if (IsEmptyObject(FCurCode) || FCurPageIndex == 0) return "0/0";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d/%d", FCurPageIndex, FPageNumber);
    return buffer;
}
