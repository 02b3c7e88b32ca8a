#include "CodeTextPager.h"

#include <algorithm>
#include <cstdio>

namespace {

int CeilDiv(int ANumerator, int ADenominator) {
    if (ADenominator <= 0) return ANumerator;
    return (ANumerator + ADenominator - 1) / ADenominator;
}

}  // namespace

void TCodeTextPager::LayOut(const TTabularObject& AObject, const std::string& ASelectedTail, int& ASelectedLine) {
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

std::string TCodeTextPager::PageCounterText() const {
    if (IsEmptyObject(FCurCode) || FCurPageIndex == 0) return "0/0";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d/%d", FCurPageIndex, FPageNumber);
    return buffer;
}
