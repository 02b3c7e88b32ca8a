// The laid-out content of the object shown in the Tabular Search window and its paging: which
// object is shown, its lines, kinds and type words, the page geometry, the page shown, the code to
// underline and the keywords to highlight. The window owns one TCodeTextPager, gives it its text
// view and a host for the window-side effects, and calls ShowPage/ShowObject/ShowCodeAt.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "render/CodeTextLayout.h"
#include "render/PageRender.h"
#include "render/TextView.h"

// A chapter, a section or a code node of the model (never owned); monostate when nothing is shown.
using TTabularObject = std::variant<std::monostate, TChapter*, TSubChapter*, TCodeInfo*>;

inline bool IsEmptyObject(const TTabularObject& AObject) {
    return std::holds_alternative<std::monostate>(AObject);
}

// The code view's text area as the window measures it, in pixels.
struct TViewMetrics {
    double TextWidth = 0;        // across, inside the frame and the document margins
    double TextHeight = 0;       // down, inside the frame and the margins, with no horizontal scroll bar
    double CharWidth = 0;        // one character of the view's fixed-pitch font
    double LineHeight = 0;       // the row height the lines are drawn at
    double ScrollBarHeight = 0;  // what a horizontal scroll bar takes from TextHeight
};

// Page geometry of a view: Columns = width div character width, LinePerPage = height div line height
// (less a horizontal scroll bar when the page is wider than the view), WordsPerLine = Columns - 1.
// Fits is false for a view of 19 columns or fewer or 3 rows or fewer (measured without a scroll bar).
struct TPageGeometry {
    int Columns = 0;
    int WordsPerLine = 0;
    int LinePerPage = 0;
    bool Fits = false;
    bool operator==(const TPageGeometry&) const = default;
};
TPageGeometry MeasurePage(const TViewMetrics& AMetrics, bool AScrollsSideways);

// Window-side effects of paging; every method has a do-nothing default.
class TCodeTextPagerHost {
public:
    virtual ~TCodeTextPagerHost() = default;
    // ShowPage first hides the keyword suggestion panel.
    virtual void HideSuggestions() {}
    // A new page was rendered: the "%d/%d" counter text and the page-button states
    // (First and Prior enabled exactly when not on page 1, Next and Last when not on the last page).
    virtual void PageShown(const std::string& ACounterText, bool AFirstPriorEnabled, bool ANextLastEnabled) {
        (void)ACounterText;
        (void)AFirstPriorEnabled;
        (void)ANextLastEnabled;
    }
    // After every layout (UpdatePageCount): the window enables Back and Review from its stacks.
    virtual void PageCountUpdated() {}
    // The object is about to be laid out: the window arranges its view for the object (the height
    // of the chapter/section band) and measures the text area. False: nothing measured, the page
    // geometry stays as it is.
    virtual bool MeasureView(const TTabularObject& AObject, TViewMetrics& AMetrics) {
        (void)AObject;
        (void)AMetrics;
        return false;
    }
    // The object was laid out (ARelayout: again, on a geometry change): chapter/section captions.
    // After Clear, AObject is empty.
    virtual void ContentBuilt(const TTabularObject& AObject, bool ARelayout) {
        (void)AObject;
        (void)ARelayout;
    }
};

class TCodeTextPager {
public:
    TCodeTextPager() = default;
    TCodeTextPager(TTextView* AView, TCodeTextPagerHost* AHost) : FView(AView), FHost(AHost) {}

    void SetView(TTextView* AView) { FView = AView; }
    void SetHost(TCodeTextPagerHost* AHost) { FHost = AHost; }

    // Content of the current object.
    TLayoutLines FContentStringList;
    std::string FLineBoldFlagStr;  // one kind digit per line
    TTypeWordList FTypeWordsList;

    // Page geometry (the window measures its view and sets these).
    int FWordsPerLine = 90;
    int FLinePerPage = 16;

    // Page state.
    TTabularObject FCurCode;
    int FCurPageIndex = 0;
    int FPageNumber = 0;
    int FOriginalLine = 0;
    std::string FSelectedCode;
    std::vector<std::string> FSearchKeyWordVariantList;  // upper-case UTF-8 spellings

    // The plan of the page last rendered (empty before the first render).
    TRenderPlan FLastPlan;

    // Clears the content, sets FCurCode, FCurPageIndex = 0, lays the object out and updates the
    // page count. ASelectedLine receives the first line of the node whose sub-code is ASelectedTail.
    void BuildContent(const TTabularObject& AObject, const std::string& ASelectedTail, int& ASelectedLine);
    // FPageNumber = ceil(lines / FLinePerPage), 1 when there are no lines.
    void UpdatePageCount();
    // Shows page AN clamped to 1..FPageNumber; renders only when forced or the page changes.
    void ShowPage(int AN, bool AForce);
    // Renders page APage into the view (when there is one) and refreshes FOriginalLine.
    void RenderPage(int APage);
    // Lays out the category, underlines category + "." + tail and shows the page holding that code.
    void ShowCodeAt(TCodeInfo* ACategory, const std::string& ATail);
    // Lays out the object with nothing selected and shows page APage.
    void ShowObject(const TTabularObject& AObject, int APage);
    // Lays the current object out again at the current geometry and returns in ALine the 1-based
    // line holding the original line that topped the page last rendered (line count + 1 if gone).
    void RebuildContent(int& ALine);
    // Geometry change: set the geometry, re-lay out and show the page that holds ALine, forced.
    // (For a host that does not measure; a measuring host's geometry wins at every layout.)
    void Relayout(int AWordsPerLine, int ALinePerPage);
    // The view may have changed size: measure it again through the host and, when the page
    // geometry changed, re-lay out the object shown keeping the position.
    void Remeasure();
    // Forgets the object shown: no content, no page, nothing underlined; the counter reads "0/0"
    // with every page button disabled. The view itself is left to the window.
    void Clear();

    // The pages of the object shown on which a keyword is highlighted, ascending.
    std::vector<int> KeywordHitPages() const;
    // The nearest page after (APrior false) or before the page shown that holds a highlighted
    // keyword; 0 when there is none.
    int NeighbourHitPage(bool APrior) const;

    // "%d/%d" of the page shown and the page count; "0/0" before anything is shown.
    std::string PageCounterText() const;

private:
    // Measures the view for the object (through the host), then lays the object out. A page wider
    // than the view gets the lines a horizontal scroll bar leaves.
    void LayOut(const TTabularObject& AObject, const std::string& ASelectedTail, int& ASelectedLine);
    void LayOutAtGeometry(const TTabularObject& AObject, const std::string& ASelectedTail, int& ASelectedLine);

    TPageGeometry FMeasured;  // the view's geometry at the last measured layout (no scroll bar)

    TTextView* FView = nullptr;
    TCodeTextPagerHost* FHost = nullptr;
};
