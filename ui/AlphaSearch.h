// TfrmAlphaSearch: one level of an alphabetic index (FType: the disease or the external-cause
// index). Lists the main terms, or the sub-terms of FCurItem, filtered by title prefix and shown in
// pages; going down into a term opens a nested window of this class, and a term's code opens the
// Tabular Search window. Modal results: 1 back to the main term, 2 back one level, 3 quit.
// Filtering, paging and texts live in index/AlphaSearchLogic.h; the rows come from TTermListModel.
#pragma once

#include <QDialog>
#include <QHash>
#include <cstdint>
#include <span>
#include <vector>

#include "index/AlphaSearchLogic.h"
#include "ui/WindowActions.h"

class QAction;
class QLabel;
class QMenu;
class QTreeView;
class QWidget;
class TTermFilterBand;
class TTermListModel;
class TTermPageBar;
class TTermPathPanel;

class TfrmAlphaSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAlphaSearch(QWidget* parent = nullptr);
    ~TfrmAlphaSearch() override;

    // The window's keys: one action each, shared by the buttons and the term menu.
    static std::span<const TWindowKey> KeyTable();

    // Set by the opener before showing.
    TDataSet FType = TDataSet::DiseaseIndex;
    TTerm* FCurItem = nullptr;

    // Page state; FLinesPerPage and FCurPage of the window.
    TAlphaPaging FPaging;
    // Terms passing the filter, in index order (not owned).
    std::vector<TTerm*> FItemList;
    int32_t ROW_HEIGHT_PX = 20;

    void FillItemList();
    void ShowCurPage();
    void NextPage();
    void PriorPage();
    // Recomputes the page size from the list's height, keeping the selected term in view.
    void FormResize();
    void ViewTermCode(TAlphaCodeKind AKind);
    void ViewSubTerm();
    void AskExitProgram();
    // Enables the term actions for the selected row.
    void UpdatePopupItems();
    // The term of the selected row, or null.
    TTerm* SelectedTerm() const;
    // Double-click at a point of the list's viewport: the Code column opens the code, any other
    // place goes down into the term.
    void ListDoubleClickAt(const QPoint& AViewportPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;  // Esc and the close box: result 2

private:
    void BuildActions();
    void FormShow();
    void FilterChanged();
    // Enter on the list: down into the term, or its code when it has no sub-terms.
    void OpenSelectedTerm();

    QWidget* titlePanel = nullptr;
    QLabel* titleLabel = nullptr;
    TTermPathPanel* pathPanel = nullptr;
    TTermFilterBand* filterBand = nullptr;
    QTreeView* termList = nullptr;
    TTermPageBar* buttonBar = nullptr;
    QMenu* termMenu = nullptr;
    QHash<QString, QAction*> FActions;
    TTermListModel* FTerms = nullptr;  // the rows of the page shown
    bool FShown = false;
    bool FSetSettled = false;  // the index has left Loading: its letters may be read
    QSize FSizedFor;           // the client size the page size was last computed for
};
