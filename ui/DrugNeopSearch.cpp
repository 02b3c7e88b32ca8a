#include "ui/DrugNeopSearch.h"

#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

#include "index/IndexLoader.h"
#include "services/DataSets.h"
#include "services/LoadStatus.h"
#include "services/Messages.h"
#include "ui/KeywordSearch.h"
#include "ui/TermListModel.h"
#include "ui/UiStyle.h"
#include "userdata/Config.h"

namespace {

constexpr int ClientWidth = 1167;
constexpr int ClientHeight = 691;
// Width of every column but the title's: the marker column and six code columns.
constexpr int MarkerColumnWidth = 20;
constexpr int CodeColumnWidth = 100;
constexpr int FixedColumnsWidth = MarkerColumnWidth + 6 * CodeColumnWidth + 10;  // 630
constexpr int MinTitleColumnWidth = 100;
const QColor HeadingBackground(206, 221, 240);

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void PaintBackground(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

QPushButton* MakeButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    // Buttons never take the focus and are never the dialog's default: Enter belongs to the grid.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

bool IsShortcutKey(int key) {
    switch (key) {
        case Qt::Key_Escape:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_F3:
        case Qt::Key_F5:
        case Qt::Key_F11:
        case Qt::Key_F12:
            return true;
        default:
            return false;
    }
}

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

TfrmDrugNeopSearch::TfrmDrugNeopSearch(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDrugNeopSearch"));
    setFont(TahomaFont(12));
    SetUpSearchWindowFrame(this, ClientWidth, ClientHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    plTitle = new QLabel(this);
    plTitle->setAlignment(Qt::AlignCenter);
    plTitle->setFont(TahomaFont(29));
    plTitle->setFixedHeight(56);
    PaintBackground(plTitle, SkyBlue);
    layout->addWidget(plTitle);

    pnlTree = new QWidget(this);
    pnlTree->setFixedHeight(94);
    auto* treeLayout = new QVBoxLayout(pnlTree);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    TreeView1 = new QTreeWidget(pnlTree);
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setFont(CourierFont(14));
    TreeView1->installEventFilter(this);
    treeLayout->addWidget(TreeView1);
    layout->addWidget(pnlTree);

    Panel1 = new QWidget(this);
    Panel1->setFixedHeight(49);
    PaintBackground(Panel1, SkyBlue);
    lbLevel = new QLabel(Panel1);
    lbLevel->setFont(TahomaFont(14));
    lbLevel->setGeometry(12, 14, 150, 22);
    edtMain = new QLineEdit(Panel1);
    edtMain->setFont(CourierFont(16));
    edtMain->setGeometry(166, 10, 480, 28);
    edtMain->installEventFilter(this);
    {
        // A white box on the sky-blue band.
        QPalette palette = edtMain->palette();
        palette.setColor(QPalette::Base, Qt::white);
        edtMain->setPalette(palette);
    }
    Button1 = MakeButton(QStringLiteral("X"), Panel1);
    Button1->setGeometry(648, 10, 28, 28);
    lbCount = new QLabel(Panel1);
    lbCount->setFont(TahomaFont(14));
    lbCount->setGeometry(700, 14, 260, 22);
    layout->addWidget(Panel1);

    plMain = new QWidget(this);
    auto* mainLayout = new QVBoxLayout(plMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    FTerms = new TTermListModel(TTermListModel::TShape::TableGrid, this);
    StringGrid1 = new QTableView(plMain);
    StringGrid1->setObjectName(QStringLiteral("termGrid"));
    StringGrid1->setModel(FTerms);
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setDefaultSectionSize(TableRowHeight);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setFont(CourierFont(13));
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setWordWrap(false);
    StringGrid1->setTabKeyNavigation(false);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setItemDelegate(new THeadingRowDelegate(StringGrid1));
    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    StringGrid1->installEventFilter(this);
    StringGrid1->viewport()->installEventFilter(this);
    mainLayout->addWidget(StringGrid1);
    layout->addWidget(plMain, 1);

    Panel4 = new QWidget(this);
    Panel4->setFixedHeight(51);
    PaintBackground(Panel4, SkyBlue);
    btnBack = MakeButton(QStringLiteral(" Back (Esc)"), Panel4);
    btnBack->setGeometry(12, 10, 130, 31);
    btnBackMain = MakeButton(QStringLiteral("Back to Main Term (F3)"), Panel4);
    btnBackMain->setGeometry(150, 10, 190, 31);
    btnPrior = MakeButton(QStringLiteral("<  Prior Page (PgUp)"), Panel4);
    btnPrior->setGeometry(620, 10, 170, 31);
    lbPage = new QLabel(QStringLiteral("Page: 0/0"), Panel4);
    lbPage->setAlignment(Qt::AlignCenter);
    lbPage->setGeometry(794, 14, 150, 22);
    btnNext = MakeButton(QStringLiteral("Next Page (PgDown)  >"), Panel4);
    btnNext->setGeometry(948, 10, 170, 31);
    for (QWidget* control : std::initializer_list<QWidget*>{btnBack, btnBackMain, btnPrior, lbPage, btnNext})
        FButtonBar.emplace_back(control, control->geometry());
    layout->addWidget(Panel4);

    PopupMenu1 = new QMenu(this);
    ViewCode1 = PopupMenu1->addAction(QStringLiteral("View Code (F5)"));
    ViewSubTermS1 = PopupMenu1->addAction(QStringLiteral("View Sub-Term (&F11)"));

    connect(edtMain, &QLineEdit::textChanged, this, [this] {
        FillItemList();
        ShowCurPage();
    });
    connect(Button1, &QPushButton::clicked, this, [this] { edtMain->clear(); });
    connect(btnBack, &QPushButton::clicked, this, [this] { done(2); });
    connect(btnBackMain, &QPushButton::clicked, this, [this] { done(1); });
    connect(btnPrior, &QPushButton::clicked, this, [this] { PriorPage(); });
    connect(btnNext, &QPushButton::clicked, this, [this] { NextPage(); });
    connect(StringGrid1, &QTableView::doubleClicked, this, [this] { StringGrid1DblClick(); });
    connect(StringGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        PopupMenu1Popup();
        PopupMenu1->exec(StringGrid1->viewport()->mapToGlobal(position));
    });
    connect(ViewCode1, &QAction::triggered, this, [this] { ViewCellCode(); });
    connect(ViewSubTermS1, &QAction::triggered, this, [this] { ViewSubTerm(); });
}

TfrmDrugNeopSearch::~TfrmDrugNeopSearch() = default;

void TfrmDrugNeopSearch::LayOutButtonBar() {
    // The bottom bar keeps its designed places while they fit, else wraps onto a second row.
    Panel4->setFixedHeight(PlaceControlRow(FButtonBar, width(), 51));
    // The record count ends at the window's edge when the window is narrower than designed.
    lbCount->setGeometry(700, 14, std::clamp(width() - 704, 0, 260), 22);
}

void TfrmDrugNeopSearch::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOutButtonBar();
}

void TfrmDrugNeopSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!FShown) FormShow();
}

void TfrmDrugNeopSearch::FormShow() {
    plTitle->setText(Q(TableWindowTitle(FType)).replace(QStringLiteral("&&"), QStringLiteral("&")));
    QStringList headings;
    for (const std::string& heading : TableHeadings(FType)) headings << Q(heading);
    FTerms->SetHeadings(headings);
    StringGrid1->setRowHeight(0, TableHeadingHeight(FType));
    btnBackMain->setText(Q(TableBackMainCaption(FType)));

    FillItemList();
    // The Table of Neoplasms has a single main term: its top window opens on that term's sites.
    if (FCurItem == nullptr && FItemList.size() == 1) {
        FCurItem = FItemList.front();
        FillItemList();
        btnBackMain->hide();
    }
    if (FCurItem != nullptr) {
        lbLevel->setText(Q(TableLevelCaption(FCurItem)));
        TreeView1->clear();
        QTreeWidgetItem* node = nullptr;
        for (const TTerm* term : TableTermPath(FCurItem)) {
            const QString text = Q(term->GetFullTitle(true));
            node = node == nullptr ? new QTreeWidgetItem(TreeView1, QStringList(text))
                                   : new QTreeWidgetItem(node, QStringList(text));
        }
        TreeView1->expandAll();
    } else {
        lbLevel->setText(Q(TableLevelCaption(nullptr)));
        pnlTree->hide();
        btnBackMain->hide();
    }
    // The grid gets its final height now, so the first page has the size of the window.
    LayOutButtonBar();
    if (this->layout() != nullptr) this->layout()->activate();
    FShown = true;
    FormResize();
    StringGrid1->setFocus();
}

void TfrmDrugNeopSearch::FillItemList() {
    FItemList.clear();
    if (!IsTableDataSet(FType)) return;
    const TAlphaLetterList* letters = &IndexLettersOf(FType);
    // Sub-terms belong to a term of a set that was already waited for by the top window.
    if (FCurItem == nullptr) WaitForDataSet(LoadStatusOf(FType));
    FItemList = TableFillItemList(*letters, FCurItem, TableFilterKey(edtMain->text().toStdString()));
}

void TfrmDrugNeopSearch::ShowCurPage() {
    TTablePaging paging{static_cast<int32_t>(FItemList.size()), FLinesPerPage, FCurPage};
    paging.Clamp();
    FCurPage = paging.FCurPage;
    const int column = std::max(0, StringGrid1->currentIndex().column());
    FTerms->SetTerms(std::span(FItemList).subspan(static_cast<std::size_t>(paging.FirstIndex()),
                                                  static_cast<std::size_t>(paging.RowsOnPage())));
    StringGrid1->setRowHeight(0, TableHeadingHeight(FType));
    StringGrid1->setCurrentIndex(FTerms->index(0, column));
    lbCount->setText(Q(TableRecordsCaption(paging.FCount)));
    lbPage->setText(Q(TablePageCaption(paging)));
    btnPrior->setEnabled(paging.PriorEnabled());
    btnNext->setEnabled(paging.NextEnabled());
}

TTerm* TfrmDrugNeopSearch::RowTerm(int ARow) const {
    return FTerms->TermAt(ARow);
}

int TfrmDrugNeopSearch::CurrentRow() const {
    return StringGrid1->currentIndex().isValid() ? StringGrid1->currentIndex().row() : -1;
}

int TfrmDrugNeopSearch::CurrentColumn() const {
    return StringGrid1->currentIndex().isValid() ? StringGrid1->currentIndex().column() : -1;
}

QString TfrmDrugNeopSearch::CurrentCellText() const {
    return StringGrid1->currentIndex().data().toString();
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
    const int titleWidth = StringGrid1->viewport()->width() - FixedColumnsWidth;
    StringGrid1->setColumnWidth(0, MarkerColumnWidth);
    StringGrid1->setColumnWidth(1, std::max(titleWidth, MinTitleColumnWidth));
    for (int column = TTerm::FirstCellColumn; column <= TTerm::LastCellColumn; ++column)
        StringGrid1->setColumnWidth(column, CodeColumnWidth);
    if (!FShown) return;

    const int currentRow = CurrentRow();
    const int currentColumn = std::max(0, CurrentColumn());
    TTablePaging paging{static_cast<int32_t>(FItemList.size()), FLinesPerPage, FCurPage};
    const int32_t keptRow = paging.Resize(StringGrid1->viewport()->height(), TableHeadingHeight(FType),
                                          RowTerm(currentRow) ? currentRow : 0);
    FLinesPerPage = paging.FLinesPerPage;
    FCurPage = paging.FCurPage;
    ShowCurPage();
    // The term that was current stays current when it is on the page shown.
    if (keptRow >= 1 && keptRow < FTerms->rowCount())
        StringGrid1->setCurrentIndex(FTerms->index(keptRow, currentColumn));
}

void TfrmDrugNeopSearch::StringGrid1DblClick() {
    const int row = CurrentRow();
    const int column = CurrentColumn();
    if (row >= 1 && column >= TTerm::FirstCellColumn && column <= TTerm::LastCellColumn)
        ViewCellCode();
    else if (column == 1 && RowTerm(row) != nullptr)
        ViewSubTerm();
}

void TfrmDrugNeopSearch::ViewCellCode() {
    if (!StringGrid1->currentIndex().isValid()) return;
    const std::optional<std::string> code =
        TableCellInitCode(CurrentRow(), CurrentColumn(), CurrentCellText().toStdString());
    if (!code) return;
    auto* window = new TfrmKeyWordSearch(this);
    window->FInitCode = Q(*code);
    window->FInitType = TTabularOpening::Code;
    const int result = window->exec();
    delete window;
    if (result == 3) done(3);
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

bool TfrmDrugNeopSearch::StringGrid1KeyDown(int AKey) {
    switch (AKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // On a code cell, and on a term without sub-terms to go down into, Enter opens the
            // cell's code as F5 does; on a title it goes down into the sub-terms.
            if (const TTerm* term = RowTerm(CurrentRow());
                term != nullptr && (term->FSubTermList.empty() || (CurrentColumn() >= TTerm::FirstCellColumn &&
                                                                   CurrentColumn() <= TTerm::LastCellColumn)))
                ViewCellCode();
            else
                ViewSubTerm();
            return true;
        case Qt::Key_F11:
            ViewSubTerm();
            return true;
        case Qt::Key_Escape:
            done(2);
            return true;
        case Qt::Key_PageUp:
            PriorPage();
            return true;
        case Qt::Key_PageDown:
            NextPage();
            return true;
        case Qt::Key_F3:
            done(1);
            return true;
        case Qt::Key_F5:
            ViewCellCode();
            return true;
        case Qt::Key_F12:
            AskExitProgram();
            return true;
        default:
            return false;
    }
}

bool TfrmDrugNeopSearch::HandleShortcutKey(int AKey) {
    if (!IsShortcutKey(AKey)) return false;
    StringGrid1KeyDown(AKey);
    return true;
}

void TfrmDrugNeopSearch::PopupMenu1Popup() {
    ViewCode1->setEnabled(false);
    ViewSubTermS1->setEnabled(false);
    const int row = CurrentRow();
    const int column = CurrentColumn();
    if (StringGrid1->currentIndex().isValid() && TableCellInitCode(row, column, CurrentCellText().toStdString()))
        ViewCode1->setEnabled(true);
    if (const TTerm* term = RowTerm(row); term != nullptr && !term->FSubTermList.empty())
        ViewSubTermS1->setEnabled(true);
}

bool TfrmDrugNeopSearch::eventFilter(QObject* watched, QEvent* event) {
    // Filters are installed while the window is being built; the grid may not exist yet.
    if (StringGrid1 == nullptr) return QDialog::eventFilter(watched, event);
    if (watched == StringGrid1->viewport() && event->type() == QEvent::Resize) {
        FormResize();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if ((watched == StringGrid1 || watched == TreeView1) && IsTypedCharacter(*key)) {
        // Typing while the grid has the focus filters it: the text goes to the filter box.
        edtMain->setFocus();
        QCoreApplication::sendEvent(edtMain, event);
        return true;
    }
    if (watched == StringGrid1) {
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
        return StringGrid1KeyDown(key->key());
    }
    if (watched == TreeView1) return HandleShortcutKey(key->key());
    if (watched == edtMain) {
        // Down leaves the filter for the grid, on the first term row when the heading is current.
        if (key->key() == Qt::Key_Down && FTerms->rowCount() > 1) {
            StringGrid1->setFocus();
            if (CurrentRow() < 1) StringGrid1->setCurrentIndex(FTerms->index(1, 0));
            return true;
        }
        // The window's keys do from the filter box what their buttons and menu items say.
        if (HandleShortcutKey(key->key())) return true;
        // At the main level the first letter typed into the empty box becomes a capital.
        if (FCurItem == nullptr && edtMain->text().isEmpty() && key->text().size() == 1) {
            const QChar typed = key->text().front();
            if (typed >= QLatin1Char('a') && typed <= QLatin1Char('z')) {
                edtMain->insert(QString(typed.toUpper()));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmDrugNeopSearch::keyPressEvent(QKeyEvent* event) {
    if (HandleShortcutKey(event->key())) return;
    QDialog::keyPressEvent(event);
}

void TfrmDrugNeopSearch::reject() {
    done(2);
}
