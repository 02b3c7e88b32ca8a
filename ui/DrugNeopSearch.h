// TfrmDrugNeopSearch: the Table of Drugs and Chemicals or the Table of Neoplasms (FType) as a paged grid, one level of
// the table per window: a title, the path tree, the filter bar, the grid (heading row, then one row per term with its
// six code cells) and the page buttons. Going down into a term opens a nested modal window of this class; a code cell
// opens the Tabular Search window at its code. Results: 1 back to the main term, 2 back one level, 3 quit. The
// filtering, paging and texts live in index/TableSearchLogic.h; the rows come from TTermListModel.
#pragma once

#include <QDialog>
#include <QHash>
#include <cstdint>
#include <span>
#include <vector>

#include "index/TableSearchLogic.h"
#include "ui/WindowActions.h"

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QWidget;
class TTermFilterBand;
class TTermListModel;
class TTermPageBar;
class TTermPathPanel;

class TfrmDrugNeopSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDrugNeopSearch(QWidget* parent = nullptr);
    ~TfrmDrugNeopSearch() override;

    // The window's keys: one action each, shared by the buttons and the grid's menu.
    static std::span<const TWindowKey> KeyTable();

    // Set by the opener before showing: the table and, for a nested
    // window, the term whose sub-terms it lists (not owned).
    TDataSet FType = TDataSet::DrugTable;
    TTerm* FCurItem = nullptr;
    int32_t FLinesPerPage = 20;
    int32_t FCurPage = 1;
    // Terms that pass the filter, in table order (not owned).
    std::vector<TTerm*> FItemList;

    void FillItemList();
    void ShowCurPage();
    void NextPage();
    void PriorPage();
    // Opens the current cell's code in the Tabular Search window (nothing for a text that is no code).
    void ViewCellCode();
    // Opens a nested window on the current row's term when it has sub-terms.
    void ViewSubTerm();
    void AskExitProgram();
    // Enables the menu items for the current cell.
    void UpdateCellActions();
    // The term of a grid row (null for the heading row or a row that is not there).
    TTerm* RowTerm(int ARow) const;
    // The grid's current row and column (-1 without a current cell) and the current cell's text.
    int CurrentRow() const;
    int CurrentColumn() const;
    QString CurrentCellText() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;  // Esc and the close box: result 2

private:
    void BuildActions();
    void FormShow();
    void FormResize();
    // Lists the first page once the table has settled: the neoplasm table's one main term opens on
    // its sites, and the level's caption and path tree are shown.
    void ShowFirstLevel();
    void GridDoubleClicked();
    // Enter on the grid: a code cell (or a term with nothing below it) opens its code, a title
    // goes down into the sub-terms.
    void OpenCurrentCell();

    QLabel* titleLabel = nullptr;
    TTermPathPanel* pathPanel = nullptr;
    TTermFilterBand* filterBand = nullptr;
    QTableView* termGrid = nullptr;
    TTermPageBar* buttonBar = nullptr;
    QMenu* cellMenu = nullptr;
    QHash<QString, QAction*> FActions;
    TTermListModel* FTerms = nullptr;  // the heading row and the terms of the page shown
    bool FShown = false;
    bool FSetSettled = false;  // the table has left Loading: its letters may be read
};
