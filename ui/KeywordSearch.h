// TfrmKeyWordSearch: the Tabular Search window. A tree of codes on the left, the chapter and section
// band, one page of a category's coloured text with page and navigation buttons, the keyword search
// band with its suggestion and history panels, and the code box at the bottom.
// Layout and paging live in the render library (TCodeTextPager), search logic in the keywords
// library; this unit wires widgets to them. Code entry members are implemented in
// KeywordSearchCodeEntry.cpp.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

#include "model/GlobalDef.h"
#include "render/CodeTextPager.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QKeyEvent;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTextEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class QFrame;
class TQtTextView;

// One entry of the Back and Review stacks: what was shown, its underlined code and its page.
struct TVisitItem {
    TTabularObject FObject;
    std::string FSelectedCode;
    int32_t FPageIndex = 0;
};

// Double-click widening in the code text: given the page text and the word the view selected
// (start, length), returns the range of the whole code (the unchanged range when no code fits).
void WidenCodeSelection(const QString& AText, int& AStart, int& ALength);

// A key as the window's key handlers take it: the key alone, except Ctrl+PgDn and Ctrl+PgUp (the
// next and prior page holding a highlighted keyword), which keep their Ctrl.
int NavigationKeyOf(const QKeyEvent* AEvent);

// The category before or after ACode in the order of AChapters (sections and chapters without
// categories are skipped); null at either end or when ACode is not a category of its section.
TCodeInfo* NeighbourCategory(const TChapterList& AChapters, TCodeInfo* ACode, bool APrior);

class TfrmKeyWordSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfrmKeyWordSearch(QWidget* parent = nullptr);
    ~TfrmKeyWordSearch() override;

    // Opening mode, set by the opener before showing (0 keyword search, 1 chapter, 2 section,
    // 3 code, 4 code search, 5 favourite codes).
    int FInitType = 0;
    QString FInitCode;
    TTabularObject FInitObject;

    // Layout and paging state of the code text (owned).
    TCodeTextPager& Pager();
    // The object currently laid out (monostate when nothing is shown).
    TTabularObject CurrentObject() const;

    // Code entry (KeywordSearchCodeEntry.cpp).
    bool GoToCode(const QString& text, bool refillTree);
    void ShowAvailableCodes(const QString& code, bool APlusDesc);
    void ResetCodeBox();
    void SetUpCodeBox();
    bool CodeBoxEvent(QEvent* event);

    // Favourite codes (KeywordSearchFavorites.cpp). While a list is unlocked, Ctrl+D and the
    // context menus add the code shown or selected to it; in favourite mode (FInitType 5) the tree
    // lists the unlocked list's codes and Delete removes the current one.
    void SetUpFavorites();
    void FillFavoriteTree();
    // The code Ctrl+D adds: from the tree its current node's code; from the text view the
    // selection, else the code shown (as typed or opened, when it is still the one underlined),
    // else the category shown. Empty when there is none.
    std::string CodeToAddToFavorites(bool AFromTree);
    void AddToFavorites(bool AFromTree);
    void RemoveCurrentFavorite();
    // Ctrl+Z in favourite mode: puts the code removed last back at its place.
    void RestoreRemovedFavorite();
    // The codes removed in this window, last last, with their rows (for Ctrl+Z).
    std::vector<std::pair<std::string, int>> FRemovedFavorites;
    // The code of the tree's current node, without the blank of its text; empty when none.
    std::string TreeNodeCode() const;
    // Favourite mode with an empty list: the code view says how codes are added.
    void ShowEmptyFavoritesHint();
    // Shows the code of a favourite-mode node; false when the node is not one.
    bool ShowFavoriteNode(QTreeWidgetItem* AItem);
    // Ctrl+D in the text view, the tree or the edit boxes, Delete in the text view or the tree;
    // true when the key was taken.
    bool FavoriteKey(QObject* AWatched, QKeyEvent* AEvent);
    // The code last gone to or opened with its full text ("S52.521A"), for adding it to favourites.
    std::string FShownCodeText;
    QAction* AddFavorite1 = nullptr;     // "Add to Favorites (Ctrl+D)"
    QAction* RemoveFavorite1 = nullptr;  // "Remove from Favorites (Del)", favourite mode only
    QMenu* TreePopupMenu = nullptr;
    // The note shown after a code was added or removed (also as a tool tip by the text view).
    QString FFavoriteNote;

    // Shows an object: lays it out, refreshes the band and shows the page (not forced).
    void ShowObject(const TTabularObject& object, int page);
    // Shows a category with the code "category.tail" underlined, on the page that holds it.
    void ShowCodeAt(TCodeInfo* category, const std::string& tail);
    void ShowPage(int page, bool force = false);
    void FillCodeTree(const TTabularObject& object);
    void ClearCodeTree();
    // Makes the tree's node of ACategory current, when the tree lists it; else leaves the tree alone.
    void SelectTreeNodeOf(const TCodeInfo* ACategory);
    // Visit history.
    void PushPrior(bool clearReview);
    void PushReview();
    void GoBack();
    void GoReview();
    void MoveInOrder(bool prior);
    // Routes a navigation key pressed in the code box, keyword box or tree. True when swallowed.
    bool ForwardNavigationKey(int key);
    // The text view's key handler: runs the action mapped to the key. True when the key is mapped.
    bool TextViewKey(int key);
    void RunKeywordSearch();
    void ConfirmQuit();
    void HidePrompt();
    // Page counter text ("0/0", "3/7").
    QString PageCounterText() const;
    // Names the pages of the object shown that hold a highlighted keyword (title band, counter tip).
    void ShowHitPages();
    // Puts a chosen suggestion into the keyword box and refreshes the counts.
    void InsertPromptKeyword(const QString& keyword);
    // The history panel ("^").
    void ShowHistoryPanel();
    // Clear buttons: "X" (keyword controls) and "    Clear" (also the tree and panes).
    void ClearKeywordControls();
    void ClearAll();
    // Going up from a code or section to its chapter or section (click on the band).
    void GoUpToChapter();
    void GoUpToSection();
    // Text of the code view (one page).
    QString ViewText() const;

    // Widgets other units and the tests reach.
    QLabel* Panel1 = nullptr;
    QLabel* lbHitPages = nullptr;  // the pages with highlighted keywords, in the title band
    QLabel* lbType = nullptr;
    QLabel* plNum = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QTreeWidgetItem* FCurCodeItem = nullptr;
    QWidget* pnlChDesc = nullptr;
    QPlainTextEdit* pnlChapterTitle = nullptr;
    QPlainTextEdit* pnlChapterDesc = nullptr;
    QPlainTextEdit* pnlSubChapterTitle = nullptr;
    QPlainTextEdit* pnlSubChapterDesc = nullptr;
    QTextEdit* RichEdit1 = nullptr;
    QPushButton* btnFirst = nullptr;
    QPushButton* btnPrior = nullptr;
    QLabel* lbRec = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnLast = nullptr;
    QPushButton* btnPriorCode = nullptr;
    QPushButton* btnReview = nullptr;
    QPushButton* btnPriorInOrder = nullptr;
    QPushButton* btnNextInOrder = nullptr;
    QWidget* Panel2 = nullptr;
    QLineEdit* edtKeyWord = nullptr;
    QPushButton* btnHistory = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QCheckBox* ckAdvanced = nullptr;
    QCheckBox* ckDesc = nullptr;
    QCheckBox* ckInclusion = nullptr;
    QCheckBox* ckInclude = nullptr;
    QCheckBox* ckCodeFirst = nullptr;
    QCheckBox* ckCodeAlso = nullptr;
    QCheckBox* ckExclude1 = nullptr;
    QCheckBox* ckExclude2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* lbCombine = nullptr;
    QLineEdit* edtCode = nullptr;
    QPushButton* btnGo = nullptr;
    QLineEdit* edtSelected = nullptr;
    QFrame* plPrompt = nullptr;
    QLabel* pnPrompt = nullptr;
    QPushButton* Button1 = nullptr;  // ">"
    QPushButton* Button2 = nullptr;  // "<"
    QTableWidget* StringGrid1 = nullptr;
    QFrame* plHistory = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Jump1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* SelectCodeS1 = nullptr;
    QAction* SelectCodeDescF111 = nullptr;
    QAction* CopyCodeShortDescF111 = nullptr;

    std::vector<TVisitItem> FPriorStack;
    std::vector<TVisitItem> FReviewStack;
    uint32_t FLastTick = 0;
    // Millisecond tick used by the wheel rule (a steady clock; tests substitute their own).
    std::function<uint32_t()> FTickSource;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;  // Esc and the close box: modal result 2

private:
    void LayoutWidgets();
    void LayOutSearchBand(int AWidth);
    void PlaceHitPages();
    void ApplyInitType();
    void UpdateGeometry();
    // The code view's text area (line height and scroll bars set for it).
    TViewMetrics MeasureTextArea();
    // Sets the chapter/section band for the object (when it changes, the view's height does too)
    // and measures the view.
    TViewMetrics ArrangeViewFor(const TTabularObject& object);
    static int BandHeightFor(const TTabularObject& object);
    void UpdateBand(const TTabularObject& AObject, bool ARelayout);
    void ClearPanes();
    void TreeNodeActivated();
    QString SelectionText() const;
    // The selected text of the code view with ordinary line breaks (what Copy puts on the clipboard).
    QString SelectedViewText() const;
    // Go (F5): goes to the code selected in the text view, then focuses the view.
    void GoToSelection();
    void UpdateMenuStates();
    void PlaceFloatingPanel(QWidget* panel);
    void FillPromptGrid();
    void KeywordKeyReleased(QKeyEvent* event);

    struct TPrivate;
    std::unique_ptr<TPrivate> d;
};
