// TfrmKeyWordSearch: the Tabular Search window. It is composed of panels: the code tree on the
// left, the chapter band over the code text with its page bar, the keyword band with its
// suggestion and history lists, and the code box at the bottom; the window wires them to the
// pager, the keyword search and the visit history. Layout and paging live in the render library
// (TCodeTextPager), search logic in the keywords library. Code entry members are implemented in
// KeywordSearchCodeEntry.cpp, favourite codes in KeywordSearchFavorites.cpp.
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <variant>
#include <vector>

#include "model/GlobalDef.h"
#include "render/CodeTextPager.h"
#include "ui/WindowActions.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QTextEdit;
class TChapterBandPanel;
class TCodeBoxPanel;
class TCodeTextPanel;
class TCodeTreePanel;
class TKeywordBandPanel;
class TSearchHistoryPanel;
class TSuggestionPanel;

// One entry of the Back and Review stacks: what was shown, its underlined code and its page.
struct TVisitItem {
    TTabularObject FObject;
    std::string FSelectedCode;
    int32_t FPageIndex = 0;
};

// Double-click widening in the code text: given the page text and the word the view selected
// (start, length), returns the range of the whole code (the unchanged range when no code fits).
void WidenCodeSelection(const QString& AText, int& AStart, int& ALength);

// The category before or after ACode in the order of AChapters (sections and chapters without
// categories are skipped); null at either end or when ACode is not a category of its section.
TCodeInfo* NeighbourCategory(const TChapterList& AChapters, TCodeInfo* ACode, bool APrior);

// What a Tabular Search window opens on, set by its opener before showing it: the keyword search,
// a chapter or section (FInitObject), a code (FInitCode or FInitObject), the code box focused
// (code search), or the codes of the unlocked favourite list.
enum class TTabularOpening { KeywordSearch, Chapter, Section, Code, CodeSearch, FavoriteCodes };

class TfrmKeyWordSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfrmKeyWordSearch(QWidget* parent = nullptr);
    ~TfrmKeyWordSearch() override;

    // The window's keys (the manual page lists them too).
    static std::span<const TWindowKey> KeyTable();
    // Opens a window modally on ACode over AParent; returns its result (3: the user quits the program).
    static int ExecAtCode(QWidget* AParent, const QString& ACode);

    TTabularOpening FInitType = TTabularOpening::KeywordSearch;
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

    // Shows an object: lays it out, refreshes the band and shows the page (not forced).
    void ShowObject(const TTabularObject& object, int page);
    // Shows a category with the code "category.tail" underlined, on the page that holds it.
    void ShowCodeAt(TCodeInfo* category, const std::string& tail);
    void ShowPage(int page, bool force = false);
    void FillCodeTree(const TTabularObject& object);
    // Page counter text ("0/0", "3/7").
    QString PageCounterText() const;
    // Puts a chosen suggestion into the keyword box and refreshes the counts.
    void InsertPromptKeyword(const QString& keyword);
    // Going up from a code or section to its chapter or section (click on the band).
    void GoUpToChapter();
    void GoUpToSection();
    // Text of the code view (one page).
    QString ViewText() const;

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
    void BuildMenus();
    void WirePanels();
    void PlaceHitPages();
    void ApplyInitType();
    // The panels take input only once the Tabular List has settled.
    void SetPanelsEnabled(bool AEnabled);
    // First showing, once the Tabular List has settled: shows what the window was opened on.
    void SetUpOnceSettled();
    void UpdateGeometry();
    // The code view's text area (line height and scroll bars set for it).
    TViewMetrics MeasureTextArea();
    // Sets the chapter/section band for the object (when it changes, the view's height does too)
    // and measures the view.
    TViewMetrics ArrangeViewFor(const TTabularObject& object);
    static int BandHeightFor(const TTabularObject& object);
    void UpdateBand(const TTabularObject& AObject, bool ARelayout);
    void ClearPanes();
    void ClearCodeTree();
    // Opens a node of the code tree (a category, or in favourite mode the code it stands for).
    void OpenTreeNode(int ARow);
    void PushPrior(bool clearReview);
    void PushReview();
    // The window's keys as actions from KeyTable (KeywordSearchNavigation.cpp), shared by the
    // menus and the page bar.
    void BuildActions();
    // Every action enabled and visible again (after a menu showed its own states), Delete and
    // Ctrl+Z only in favourite mode.
    void ResetKeyStates();
    // The enabled action a key pressed on ATarget (a control, or the window) stands for; null for
    // none. Keys of the text view and code list reach them only.
    QAction* ActionForKey(const QObject* ATarget, const QKeyEvent& AKey) const;
    // Runs ActionForKey's action; true when there was one.
    bool RunKeyAction(const QObject* ATarget, const QKeyEvent& AKey);
    // Esc: closes the suggestion or history list when one is open, else the window.
    void CloseListOrWindow();
    // F10, F11: the code list's current code while it has the focus, else the text's selection.
    void CopyCode(bool APlusDesc);
    void RunKeywordSearch();
    void ConfirmQuit();
    void HideFloatingLists();
    // Names the pages of the object shown that hold a highlighted keyword (title band, counter tip).
    void ShowHitPages();
    void ShowHistoryPanel();
    void KeywordKeyReleased(bool ATextChanging, bool AIntoSuggestions);
    // Clear buttons: "X" (keyword controls) and "    Clear" (also the tree and panes).
    void ClearKeywordControls();
    void ClearAll();
    QString SelectionText() const;
    // The selected text of the code view with ordinary line breaks (what Copy puts on the clipboard).
    QString SelectedViewText() const;
    // Go (F5): goes to the code selected in the text view, then focuses the view.
    void GoToSelection();
    void UpdateMenuStates();
    void PlaceFloatingPanel(QWidget* panel);
    bool IsFavoriteMode() const { return FInitType == TTabularOpening::FavoriteCodes; }

    // Visit history.
    void GoBack();
    void GoReview();
    void MoveInOrder(bool prior);

    // Favourite codes (KeywordSearchFavorites.cpp). While a list is unlocked, Ctrl+D and the
    // context menus add the code shown or selected to it; in favourite mode the tree
    // lists the unlocked list's codes and Delete removes the current one.
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
    // The code last gone to or opened with its full text ("S52.521A"), for adding it to favourites.
    std::string FShownCodeText;
    // The note shown after a code was added or removed (also as a tool tip by the text view).
    QString FFavoriteNote;

    void SetUpFavorites();
    // The code of the tree's current node, without the blank of its text; empty when none.
    std::string TreeNodeCode() const;
    // Favourite mode with an empty list: the code view says how codes are added.
    void ShowEmptyFavoritesHint();
    // Shows the code of a favourite-mode node; false when the node is not one.
    bool ShowFavoriteNode(int ARow);

    QLabel* titleLabel;
    QLabel* hitPagesLabel;  // the pages with highlighted keywords, in the title band
    TCodeTreePanel* codeTreePanel;
    TChapterBandPanel* chapterBand;
    TCodeTextPanel* codeTextPanel;
    QTextEdit* codeText;  // the code text panel's view
    QWidget* searchArea;  // the keyword band over the code box (hidden in favourite mode)
    TKeywordBandPanel* keywordBand;
    TCodeBoxPanel* codeBox;
    TSuggestionPanel* suggestionPanel;
    TSearchHistoryPanel* historyPanel;
    QMenu* codeTextMenu;
    QAction* goAction;
    QAction* copyAction;
    QAction* copyCodeAction;
    QAction* copyCodeDescAction;
    QAction* copyCodeShortDescAction;
    QAction* addFavoriteAction;         // "Add to Favorites (Ctrl+D)"
    QAction* removeFavoriteAction;      // "Remove from Favorites (Del)", favourite mode only
    QAction* restoreFavoriteAction;     // Ctrl+Z, favourite mode only
    QHash<QString, QAction*> FActions;  // every key's action by name
    QMenu* codeTreeMenu;

    bool FInDoubleClick = false;

    struct TPrivate;
    std::unique_ptr<TPrivate> d;
};
