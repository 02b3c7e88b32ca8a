// TfrmDrugNeopSearch: the Table of Drugs and Chemicals or the Table of Neoplasms (FType) as a paged grid, one level of
// the table per window: a title, the path tree, the filter bar, the grid (heading row, then one row per term with its
// six code cells) and the page buttons. Going down into a term opens a nested modal window of this class; a code cell
// opens the Tabular Search window at its code. Results: 1 back to the main term, 2 back one level, 3 quit. The
// filtering, paging and texts live in index/TableSearchLogic.h.
#pragma once

#include <QDialog>
#include <QRect>
#include <cstdint>
#include <utility>
#include <vector>

#include "index/TableSearchLogic.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class TTermListModel;
class QTreeWidget;
class QWidget;

class TfrmDrugNeopSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDrugNeopSearch(QWidget* parent = nullptr);
    ~TfrmDrugNeopSearch() override;

    // Set by the opener before showing: the table (3 drugs, 4 neoplasms) and, for a nested
    // window, the term whose sub-terms it lists (not owned).
    TDataSet FType = TDataSet::DrugTable;
    TTerm* FCurItem = nullptr;
    int32_t FLinesPerPage = 20;
    int32_t FCurPage = 1;
    // Terms that pass the filter, in table order (not owned).
    std::vector<TTerm*> FItemList;

    // Widgets the tests and the screenshot driver reach.
    QLabel* plTitle = nullptr;
    QWidget* pnlTree = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* lbLevel = nullptr;
    QLineEdit* edtMain = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* lbCount = nullptr;
    QWidget* plMain = nullptr;
    QTableView* StringGrid1 = nullptr;
    QWidget* Panel4 = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnBackMain = nullptr;
    QPushButton* btnPrior = nullptr;
    QLabel* lbPage = nullptr;
    QPushButton* btnNext = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* ViewCode1 = nullptr;
    QAction* ViewSubTermS1 = nullptr;

    void FillItemList();
    void ShowCurPage();
    void NextPage();
    void PriorPage();
    // Opens the current cell's code in the Tabular Search window (nothing for a text that is no code).
    void ViewCellCode();
    // Opens a nested window on the current row's term when it has sub-terms.
    void ViewSubTerm();
    void AskExitProgram();
    // The grid's key handler: runs the action of a mapped key; true when the key was mapped.
    bool StringGrid1KeyDown(int AKey);
    // Keys of the tree and the window: Esc, PgUp, PgDn, F3, F5, F11 and F12 go to the grid's handler.
    bool HandleShortcutKey(int AKey);
    // Enables the menu items for the current cell.
    void PopupMenu1Popup();
    // The term of a grid row (null for the heading row or a row that is not there).
    TTerm* RowTerm(int ARow) const;
    // The grid's current row and column (-1 without a current cell) and the current cell's text.
    int CurrentRow() const;
    int CurrentColumn() const;
    QString CurrentCellText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;  // Esc and the close box: result 2

private:
    void FormShow();
    void FormResize();
    void StringGrid1DblClick();
    TTermListModel* FTerms = nullptr;  // the heading row and the terms of the page shown
    bool FShown = false;
    // Designed rectangles of the bottom bar's controls; placed again on every resize.
    std::vector<std::pair<QWidget*, QRect>> FButtonBar;
    void LayOutButtonBar();
};
