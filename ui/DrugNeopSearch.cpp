#include "ui/DrugNeopSearch.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "index/IndexLoader.h"
#include "services/DataSets.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"
#include "ui/DataSetSignals.h"
#include "ui/KeywordSearch.h"
#include "ui/PanelStyle.h"
#include "ui/TermFilterBand.h"
#include "ui/TermListModel.h"
#include "ui/TermPageBar.h"
#include "ui/TermPathPanel.h"
#include "ui/UiStyle.h"

namespace {

constexpr int ClientWidth = 1167;
constexpr int ClientHeight = 691;
constexpr int TitleHeight = 56;
// Width of every column but the title's: the marker column and six code columns.
constexpr int MarkerColumnWidth = 20;
constexpr int CodeColumnWidth = 100;
constexpr int FixedColumnsWidth = MarkerColumnWidth + 6 * CodeColumnWidth + 10;  // 630
constexpr int MinTitleColumnWidth = 100;
const QColor HeadingBackground(206, 221, 240);

// The band's one-line captions: 22 px of text 14 px below the band's top. A layout centres a widget
// on whole pixels, so a caption is one pixel taller with that pixel above its text.
constexpr TTermFilterBandDesign FilterBandDesign{.Height = 49,
                                                 .LeftMargin = 12,
                                                 .RightMargin = 0,
                                                 .LabelHeight = 23,
                                                 .LabelTopPadding = 1,
                                                 .LabelFontPixels = 14,
                                                 .LevelWidth = 150,
                                                 .GapAfterLevel = 4,
                                                 .FilterWidth = 480,
                                                 .FilterHeight = 28,
                                                 .FilterFontPixels = 16,
                                                 .GapAfterFilter = 2,
                                                 .ClearWidth = 28,
                                                 .ClearHeight = 28,
                                                 .GapAfterClear = 24,
                                                 .CountWidth = 260,
                                                 .NoteGap = 0};

constexpr TTermPageBarDesign PageBarDesign{.LeftMargin = 12,
                                           .GapAfterBack = 8,
                                           .BackToMainWidth = 190,
                                           .GapBeforePages = 280,
                                           .PageButtonWidth = 170,
                                           .GapAroundPage = 4,
                                           .PageLabelWidth = 150,
                                           .PriorCaption = "<  Prior Page (PgUp)",
                                           .NextCaption = "Next Page (PgDown)  >",
                                           .ButtonsTakeFocus = false};

constexpr std::array<TWindowKey, 3> WindowKeys{{
    {"viewCodeAction", "F5", "opens the current cell's code in the Tabular Search window"},
    {"viewSubTermAction", "F11", "lists the current term's sub-terms"},
    {"quitAction", "F12", "asks whether to quit the program"},
}};
// The page bar's keys come first.
constexpr auto Keys = JoinKeyTables(TermPageBarKeys, WindowKeys);

// Draws the heading row over: its own background, bold, centred, wrapped from the top with the
// embedded line break honoured. Term rows keep the default drawing.
class THeadingRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (index.row() != 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->save();
        painter->fillRect(option.rect, HeadingBackground);
        QString text = index.data(Qt::DisplayRole).toString();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const QRect area = option.rect.adjusted(1, 2, -1, -2);
        QFont font = option.font;
        font.setBold(true);
        // Word wrap cannot split a word: a heading word wider than its column ("unintentional")
        // is drawn in a slightly smaller size instead of being cut at both edges.
        const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        while (font.pixelSize() > 9) {
            const QFontMetrics metrics(font);
            if (std::all_of(words.begin(), words.end(),
                            [&](const QString& word) { return metrics.horizontalAdvance(word) <= area.width(); }))
                break;
            font.setPixelSize(font.pixelSize() - 1);
        }
        painter->setFont(font);
        painter->setPen(Qt::black);
        painter->drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
        painter->restore();
    }
};

}  // namespace

std::span<const TWindowKey> TfrmDrugNeopSearch::KeyTable() {
    return Keys;
}

TfrmDrugNeopSearch::TfrmDrugNeopSearch(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDrugNeopSearch"));
    setFont(TahomaFont(12));
    SetUpSearchWindowFrame(this, ClientWidth, ClientHeight);

    titleLabel = Named(new QLabel(this), "titleLabel");
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setFont(TahomaFont(29));
    titleLabel->setFixedHeight(TitleHeight);
    FillBackground(titleLabel, SkyBlue);

    pathPanel = new TTermPathPanel(this);
    pathPanel->Tree()->installEventFilter(this);

    FTerms = new TTermListModel(TTermListModel::TShape::TableGrid, this);
    termGrid = Named(new QTableView(this), "termGrid");
    termGrid->setAccessibleName(QStringLiteral("Terms and their codes"));
    termGrid->setModel(FTerms);
    termGrid->verticalHeader()->setMinimumSectionSize(1);
    termGrid->verticalHeader()->setDefaultSectionSize(TableRowHeight);
    termGrid->horizontalHeader()->hide();
    termGrid->verticalHeader()->hide();
    termGrid->setFont(CourierFont(13));
    termGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    termGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    termGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    termGrid->setWordWrap(false);
    termGrid->setTabKeyNavigation(false);
    termGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    termGrid->setItemDelegate(new THeadingRowDelegate(termGrid));
    termGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    termGrid->installEventFilter(this);
    termGrid->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(titleLabel);
    layout->addWidget(pathPanel);
    // Created in the order of the window's Tab chain: the path, the grid, the filter, the buttons.
    filterBand = new TTermFilterBand(FilterBandDesign, this);
    filterBand->FilterEdit()->installEventFilter(this);
    buttonBar = new TTermPageBar(PageBarDesign, this);
    layout->addWidget(filterBand);
    layout->addWidget(termGrid, 1);
    layout->addWidget(buttonBar);
    BuildActions();

    connect(filterBand, &TTermFilterBand::filterChanged, this, [this] {
        FillItemList();
        ShowCurPage();
    });
    connect(termGrid, &QTableView::doubleClicked, this, [this] { GridDoubleClicked(); });
    connect(termGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { UpdateCellActions(); });
    connect(termGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        UpdateCellActions();
        cellMenu->exec(termGrid->viewport()->mapToGlobal(position));
    });
}

TfrmDrugNeopSearch::~TfrmDrugNeopSearch() = default;

void TfrmDrugNeopSearch::BuildActions() {
    FActions = AddWindowActions(this, KeyTable());
    const auto action = [this](const char* name) { return FActions.value(QLatin1String(name)); };
    connect(action("backAction"), &QAction::triggered, this, [this] { done(2); });
    connect(action("backToMainAction"), &QAction::triggered, this, [this] { done(1); });
    connect(action("priorPageAction"), &QAction::triggered, this, [this] { PriorPage(); });
    connect(action("nextPageAction"), &QAction::triggered, this, [this] { NextPage(); });
    connect(action("viewCodeAction"), &QAction::triggered, this, [this] { ViewCellCode(); });
    connect(action("viewSubTermAction"), &QAction::triggered, this, [this] { ViewSubTerm(); });
    connect(action("quitAction"), &QAction::triggered, this, [this] { AskExitProgram(); });
    buttonBar->ConnectActions(FActions);

    cellMenu = Named(new QMenu(this), "cellMenu");
    constexpr TMenuItem items[] = {{"viewCodeAction", "View Code (F5)"}, {"viewSubTermAction", "View Sub-Term (&F11)"}};
    AddMenuItems(cellMenu, FActions, items);
}

void TfrmDrugNeopSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!FShown) FormShow();
}

void TfrmDrugNeopSearch::FormShow() {
    titleLabel->setText(
        QString::fromStdString(TableWindowTitle(FType)).replace(QStringLiteral("&&"), QStringLiteral("&")));
    QStringList headings;
    for (const std::string& heading : TableHeadings(FType)) headings << QString::fromStdString(heading);
    FTerms->SetHeadings(headings);
    termGrid->setRowHeight(0, TableHeadingHeight(FType));
    buttonBar->SetBackToMainCaption(QString::fromStdString(TableBackMainCaption(FType)));
    // The grid gets its final height now, so the first page has the size of the window.
    layout()->activate();
    FShown = true;
    FormResize();
    termGrid->setFocus();
    // The terms are listed once the table has settled; until then the grid shows its headings
    // only. A nested level's table has settled already: its terms are listed at once.
    WhenDataSetSettled(this, FType, [this](TLoadState) {
        FSetSettled = true;
        ShowFirstLevel();
    });
}

void TfrmDrugNeopSearch::ShowFirstLevel() {
    FillItemList();
    // The Table of Neoplasms has a single main term: its top window opens on that term's sites.
    if (FCurItem == nullptr && FItemList.size() == 1) {
        FCurItem = FItemList.front();
        FillItemList();
        buttonBar->HideBackToMain();
    }
    filterBand->ShowLevel(QString::fromStdString(TableLevelCaption(FCurItem)));
    if (FCurItem != nullptr) {
        pathPanel->ShowPath(TableTermPath(FCurItem));
    } else {
        pathPanel->hide();
        buttonBar->HideBackToMain();
    }
    // The path tree's panel may have gone: the grid's height, and so the page size, changes.
    layout()->activate();
    FormResize();
}

void TfrmDrugNeopSearch::FillItemList() {
    FItemList.clear();
    if (!IsTableDataSet(FType) || !FSetSettled) return;
    const TAlphaLetterList* letters = &LoadedData().Index.LettersOf(FType);
    FItemList = TableFillItemList(*letters, FCurItem, TableFilterKey(filterBand->FilterEdit()->text().toStdString()));
}

void TfrmDrugNeopSearch::ShowCurPage() {
    TTablePaging paging{static_cast<int32_t>(FItemList.size()), FLinesPerPage, FCurPage};
    paging.Clamp();
    FCurPage = paging.FCurPage;
    const int column = std::max(0, termGrid->currentIndex().column());
    FTerms->SetTerms(std::span(FItemList).subspan(static_cast<std::size_t>(paging.FirstIndex()),
                                                  static_cast<std::size_t>(paging.RowsOnPage())));
    termGrid->setRowHeight(0, TableHeadingHeight(FType));
    termGrid->setCurrentIndex(FTerms->index(0, column));
    filterBand->ShowRecordCount(QString::fromStdString(TableRecordsCaption(paging.FCount)));
    buttonBar->ShowPage(QString::fromStdString(TablePageCaption(paging)), paging.PriorEnabled(), paging.NextEnabled());
}

TTerm* TfrmDrugNeopSearch::RowTerm(int ARow) const {
    return FTerms->TermAt(ARow);
}

int TfrmDrugNeopSearch::CurrentRow() const {
    return termGrid->currentIndex().isValid() ? termGrid->currentIndex().row() : -1;
}

int TfrmDrugNeopSearch::CurrentColumn() const {
    return termGrid->currentIndex().isValid() ? termGrid->currentIndex().column() : -1;
}

QString TfrmDrugNeopSearch::CurrentCellText() const {
    return termGrid->currentIndex().data().toString();
}

void TfrmDrugNeopSearch::NextPage() {
    TTablePaging paging{static_cast<int32_t>(FItemList.size()), FLinesPerPage, FCurPage};
    if (!paging.Next()) return;
    FCurPage = paging.FCurPage;
    ShowCurPage();
}

void TfrmDrugNeopSearch::PriorPage() {
    TTablePaging paging{static_cast<int32_t>(FItemList.size()), FLinesPerPage, FCurPage};
    if (!paging.Prior()) return;
    FCurPage = paging.FCurPage;
    ShowCurPage();
}

void TfrmDrugNeopSearch::FormResize() {
    const int titleWidth = termGrid->viewport()->width() - FixedColumnsWidth;
    termGrid->setColumnWidth(0, MarkerColumnWidth);
    termGrid->setColumnWidth(1, std::max(titleWidth, MinTitleColumnWidth));
    for (int column = TTerm::FirstCellColumn; column <= TTerm::LastCellColumn; ++column)
        termGrid->setColumnWidth(column, CodeColumnWidth);
    if (!FShown) return;

    const int currentRow = CurrentRow();
    const int currentColumn = std::max(0, CurrentColumn());
    TTablePaging paging{static_cast<int32_t>(FItemList.size()), FLinesPerPage, FCurPage};
    const int32_t keptRow =
        paging.Resize(termGrid->viewport()->height(), TableHeadingHeight(FType), RowTerm(currentRow) ? currentRow : 0);
    FLinesPerPage = paging.FLinesPerPage;
    FCurPage = paging.FCurPage;
    ShowCurPage();
    // The term that was current stays current when it is on the page shown.
    if (keptRow >= 1 && keptRow < FTerms->rowCount()) termGrid->setCurrentIndex(FTerms->index(keptRow, currentColumn));
}

void TfrmDrugNeopSearch::GridDoubleClicked() {
    const int row = CurrentRow();
    const int column = CurrentColumn();
    if (row >= 1 && column >= TTerm::FirstCellColumn && column <= TTerm::LastCellColumn)
        ViewCellCode();
    else if (column == 1 && RowTerm(row) != nullptr)
        ViewSubTerm();
}

void TfrmDrugNeopSearch::ViewCellCode() {
    if (!termGrid->currentIndex().isValid()) return;
    const std::optional<std::string> code =
        TableCellInitCode(CurrentRow(), CurrentColumn(), CurrentCellText().toStdString());
    if (!code) return;
    if (TfrmKeyWordSearch::ExecAtCode(this, QString::fromStdString(*code)) == 3) done(3);
}

void TfrmDrugNeopSearch::ViewSubTerm() {
    TTerm* term = RowTerm(CurrentRow());
    if (term == nullptr || term->FSubTermList.empty()) return;
    auto* window = new TfrmDrugNeopSearch(this);
    window->FType = FType;
    window->FCurItem = term;
    const int result = window->exec();
    delete window;
    switch (TableChildResultAction(result, FType, FCurItem)) {
        case TTableChildAction::EndWithQuit:
            done(3);
            break;
        case TTableChildAction::EndWithBack:
            done(1);
            break;
        case TTableChildAction::Stay:
            break;
    }
}

void TfrmDrugNeopSearch::AskExitProgram() {
    if (AskQuitProgram()) done(3);
}

void TfrmDrugNeopSearch::OpenCurrentCell() {
    // On a code cell, and on a term without sub-terms to go down into, Enter opens the cell's code
    // as F5 does; on a title it goes down into the sub-terms.
    const bool codeCell = CurrentColumn() >= TTerm::FirstCellColumn && CurrentColumn() <= TTerm::LastCellColumn;
    if (const TTerm* term = RowTerm(CurrentRow()); term != nullptr && (term->FSubTermList.empty() || codeCell))
        ViewCellCode();
    else
        ViewSubTerm();
}

void TfrmDrugNeopSearch::UpdateCellActions() {
    const int row = CurrentRow();
    const TTerm* term = RowTerm(row);
    FActions.value(QStringLiteral("viewCodeAction"))
        ->setEnabled(termGrid->currentIndex().isValid() &&
                     TableCellInitCode(row, CurrentColumn(), CurrentCellText().toStdString()).has_value());
    FActions.value(QStringLiteral("viewSubTermAction"))->setEnabled(term != nullptr && !term->FSubTermList.empty());
}

// What the actions cannot do: Enter and Down depend on the control that has the focus, typed
// characters go to the filter box, and the page size follows the grid's height.
bool TfrmDrugNeopSearch::eventFilter(QObject* watched, QEvent* event) {
    // Filters are installed while the window is being built; the grid may not exist yet.
    if (termGrid == nullptr) return QDialog::eventFilter(watched, event);
    if (watched == termGrid->viewport() && event->type() == QEvent::Resize) {
        FormResize();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (TriggerWindowAction(*this, *key)) return true;
    if ((watched == termGrid || watched == pathPanel->Tree()) && IsTypedCharacter(*key)) {
        // Typing while the grid has the focus filters it: the text goes to the filter box.
        filterBand->TypeIntoFilter(event);
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == termGrid && enter && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        OpenCurrentCell();
        return true;
    }
    if (watched == filterBand->FilterEdit()) {
        // Down leaves the filter for the grid, on the first term row when the heading is current.
        if (key->key() == Qt::Key_Down && FTerms->rowCount() > 1) {
            termGrid->setFocus();
            if (CurrentRow() < 1) termGrid->setCurrentIndex(FTerms->index(1, 0));
            return true;
        }
        // At the main level the first letter typed into the empty box becomes a capital.
        if (FCurItem == nullptr && filterBand->TypeFirstLetterAsCapital(*key)) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmDrugNeopSearch::keyPressEvent(QKeyEvent* event) {
    if (!TriggerWindowAction(*this, *event)) QDialog::keyPressEvent(event);
}

void TfrmDrugNeopSearch::reject() {
    done(2);
}
