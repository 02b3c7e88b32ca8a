// TfrmAlphaSearch: one level of an alphabetic index (FType: the disease or the external-cause
// index). Lists the main terms, or the sub-terms of FCurItem, filtered by title prefix and shown in
// pages; going down into a term opens a nested window of this class, and a term's code opens the
// Tabular Search window. Modal results: 1 back to the main term, 2 back one level, 3 quit.
// Filtering, paging and texts live in index/AlphaSearchLogic.h.
#pragma once

#include <QDialog>
#include <QRect>
#include <cstdint>
#include <utility>
#include <vector>

#include "index/AlphaSearchLogic.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeView;
class QTreeWidget;
class TTermListModel;
class QWidget;

class TfrmAlphaSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAlphaSearch(QWidget* parent = nullptr);
    ~TfrmAlphaSearch() override;

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
    // Runs the action of a shortcut key; true when the key is one of the window's keys.
    bool HandleListKey(int AKey);
    // Enables the popup menu items for the selected row.
    void UpdatePopupItems();
    // The term of the selected row, or null.
    TTerm* SelectedTerm() const;
    // Double-click at a point of the list's viewport: the Code column opens the code, any other
    // place goes down into the term.
    void ListDoubleClickAt(const QPoint& AViewportPos);

    QWidget* plTitle = nullptr;
    QLabel* lbTitle = nullptr;
    // Which edition the disease index data is, when it is not the program's edition.
    QLabel* lbEdition = nullptr;
    QWidget* pnlTree = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* lbLevel = nullptr;
    QLineEdit* edtMain = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* lbMain = nullptr;
    QWidget* plMain = nullptr;
    QTreeView* ListView1 = nullptr;
    QWidget* Panel4 = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnBackMain = nullptr;
    QPushButton* btnPrior = nullptr;
    QLabel* lbPage = nullptr;
    QPushButton* btnNext = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* ViewCode1 = nullptr;
    QAction* ViewSubTermS1 = nullptr;
    QAction* SeeCategory1 = nullptr;
    QAction* SeeSubcategory1 = nullptr;
    QAction* ViewManifestM1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;  // Esc and the close box: result 2

private:
    void LayoutWidgets();
    void FormShow();
    void edtMainChange();
    TTermListModel* FTerms = nullptr;  // the rows of the page shown
    bool FShown = false;
    QSize FSizedFor;  // the client size the page size was last computed for
    // Designed rectangles of the bottom bar's controls.
    std::vector<std::pair<QWidget*, QRect>> FButtonBar;
};
