#include "ui/AlphaSearch.h"

#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <span>

#include "index/IndexLoader.h"
#include "index/IndexSearch.h"
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
constexpr int TitleHeight = 56;
constexpr int TreeHeight = 94;
constexpr int SearchBarHeight = 38;
constexpr int ButtonBarHeight = 51;
constexpr int ListFontPixels = 14;
constexpr int MarkerColumn = 0;
constexpr int CodeColumn = 2;

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void PaintPanel(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

QPushButton* MakeButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    // No button of this window is a default button: Enter belongs to the list.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// The keys the tree and the window hand to the list's handler (everything but Enter).
bool IsShortcutKey(int key) {
    switch (key) {
        case Qt::Key_Escape:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_F3:
        case Qt::Key_F5:
        case Qt::Key_F6:
        case Qt::Key_F7:
        case Qt::Key_F8:
        case Qt::Key_F11:
        case Qt::Key_F12:
            return true;
        default:
            return false;
    }
}

}  // namespace

TfrmAlphaSearch::TfrmAlphaSearch(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAlphaSearch"));
    setFont(TahomaFont(13));
    SetUpSearchWindowFrame(this, ClientWidth, ClientHeight);

    plTitle = new QWidget(this);
    PaintPanel(plTitle, SkyBlue);
    lbTitle = new QLabel(plTitle);
    lbTitle->setAlignment(Qt::AlignCenter);
    lbTitle->setFont(TahomaFont(29));

    pnlTree = new QWidget(this);
    TreeView1 = new QTreeWidget(pnlTree);
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setFont(CourierFont(ListFontPixels));
    TreeView1->installEventFilter(this);

    Panel1 = new QWidget(this);
    PaintPanel(Panel1, SkyBlue);
    lbLevel = new QLabel(Panel1);
    lbLevel->setGeometry(10, 8, 130, 22);
    edtMain = new QLineEdit(Panel1);
    edtMain->setGeometry(142, 6, 330, 26);
    {
        // The band's blue stops at the edit box.
        QPalette palette = edtMain->palette();
        palette.setColor(QPalette::Base, Qt::white);
        edtMain->setPalette(palette);
    }
    edtMain->installEventFilter(this);
    Button1 = MakeButton(QStringLiteral("X"), Panel1);
    Button1->setGeometry(476, 6, 30, 26);
    Button1->setFocusPolicy(Qt::NoFocus);
    lbMain = new QLabel(Panel1);
    lbMain->setGeometry(520, 8, 160, 22);
    lbEdition = new QLabel(Panel1);
    lbEdition->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbEdition->setWordWrap(true);
    {
        QPalette palette = lbEdition->palette();
        palette.setColor(QPalette::WindowText, QColor(128, 0, 0));
        lbEdition->setPalette(palette);
    }
    lbEdition->hide();

    plMain = new QWidget(this);
    FTerms = new TTermListModel(TTermListModel::TShape::IndexList, this);
    FTerms->SetHeadings({QString(), QStringLiteral("Title"), QStringLiteral("Code")});
    ListView1 = new QTreeView(plMain);
    ListView1->setObjectName(QStringLiteral("termList"));
    ListView1->setModel(FTerms);
    ListView1->setRootIsDecorated(false);
    ListView1->setIndentation(0);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setExpandsOnDoubleClick(false);
    ListView1->setFont(CourierFont(ListFontPixels));
    ListView1->header()->setSectionsMovable(false);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(MarkerColumn, QHeaderView::Fixed);
    ListView1->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    ListView1->header()->setSectionResizeMode(CodeColumn, QHeaderView::Fixed);
    ListView1->header()->resizeSection(MarkerColumn, 20);
    ListView1->header()->resizeSection(CodeColumn, 80);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);

    Panel4 = new QWidget(this);
    PaintPanel(Panel4, SkyBlue);
    btnBack = MakeButton(QStringLiteral(" Back (Esc)"), Panel4);
    btnBack->setGeometry(16, 10, 130, 31);
    btnBackMain = MakeButton(QStringLiteral("Back to Main Term (F3)"), Panel4);
    btnBackMain->setGeometry(160, 10, 200, 31);
    btnPrior = MakeButton(QStringLiteral("<   Prior Page (PgUp)"), Panel4);
    btnPrior->setGeometry(520, 10, 190, 31);
    lbPage = new QLabel(Panel4);
    lbPage->setAlignment(Qt::AlignCenter);
    lbPage->setGeometry(715, 14, 140, 22);
    btnNext = MakeButton(QStringLiteral("Next Page (PgDown)   >"), Panel4);
    btnNext->setGeometry(860, 10, 190, 31);
    for (QWidget* control : std::initializer_list<QWidget*>{btnBack, btnBackMain, btnPrior, lbPage, btnNext})
        FButtonBar.emplace_back(control, control->geometry());

    PopupMenu1 = new QMenu(this);
    ViewCode1 = PopupMenu1->addAction(QStringLiteral("View Code (F5)"));
    ViewSubTermS1 = PopupMenu1->addAction(QStringLiteral("View Sub-Term (F11)"));
    PopupMenu1->addSeparator();
    SeeCategory1 = PopupMenu1->addAction(QStringLiteral("See Category (F6)"));
    SeeSubcategory1 = PopupMenu1->addAction(QStringLiteral("See Subcategory (F7)"));
    ViewManifestM1 = PopupMenu1->addAction(QStringLiteral("See Manifest (F8)"));

    connect(edtMain, &QLineEdit::textChanged, this, [this] { edtMainChange(); });
    connect(Button1, &QPushButton::clicked, this, [this] { edtMain->clear(); });
    connect(btnBack, &QPushButton::clicked, this, [this] { done(2); });
    connect(btnBackMain, &QPushButton::clicked, this, [this] { done(1); });
    connect(btnPrior, &QPushButton::clicked, this, [this] { PriorPage(); });
    connect(btnNext, &QPushButton::clicked, this, [this] { NextPage(); });
    connect(ViewCode1, &QAction::triggered, this, [this] { ViewTermCode(TAlphaCodeKind::Code); });
    connect(ViewSubTermS1, &QAction::triggered, this, [this] { ViewSubTerm(); });
    connect(SeeCategory1, &QAction::triggered, this, [this] { ViewTermCode(TAlphaCodeKind::SeeCategory); });
    connect(SeeSubcategory1, &QAction::triggered, this, [this] { ViewTermCode(TAlphaCodeKind::SeeSubcategory); });
    connect(ViewManifestM1, &QAction::triggered, this, [this] { ViewTermCode(TAlphaCodeKind::Manifest); });
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        UpdatePopupItems();
        PopupMenu1->popup(ListView1->viewport()->mapToGlobal(position));
    });

    // Row height from the list font: its pixel height at the font's resolution, plus one.
    ROW_HEIGHT_PX = AlphaRowHeight(ListFontPixels, ListView1->logicalDpiY());
    FTerms->SetRowHeight(ROW_HEIGHT_PX);
    FTerms->SetCodeBrush(ListView1->palette().brush(QPalette::Highlight));
    LayoutWidgets();
}

TfrmAlphaSearch::~TfrmAlphaSearch() = default;

void TfrmAlphaSearch::LayoutWidgets() {
    const int width = this->width();
    const bool treeShown = FCurItem != nullptr;
    int top = 0;
    plTitle->setGeometry(0, top, width, TitleHeight);
    lbTitle->setGeometry(0, 0, width, TitleHeight);
    top += TitleHeight;
    pnlTree->setVisible(treeShown);
    if (treeShown) {
        pnlTree->setGeometry(0, top, width, TreeHeight);
        TreeView1->setGeometry(0, 0, width, TreeHeight);
        top += TreeHeight;
    }
    Panel1->setGeometry(0, top, width, SearchBarHeight);
    // The edition note takes two lines when the window is narrower than designed.
    lbEdition->setGeometry(690, 2, std::max(0, width - 700), SearchBarHeight - 4);
    top += SearchBarHeight;
    // The bottom bar keeps its designed places while they fit, else wraps onto a second row.
    const int barHeight = PlaceControlRow(FButtonBar, width, ButtonBarHeight);
    const int mainHeight = std::max(0, height() - top - barHeight);
    plMain->setGeometry(0, top, width, mainHeight);
    ListView1->setGeometry(0, 0, width, mainHeight);
    Panel4->setGeometry(0, height() - barHeight, width, barHeight);
}

void TfrmAlphaSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FShown) return;
    FShown = true;
    FormShow();
}

void TfrmAlphaSearch::FormShow() {
    lbTitle->setText(Q(AlphaWindowTitle(FType)).replace(QStringLiteral("&&"), QStringLiteral("&")));
    lbLevel->setText(Q(AlphaLevelCaption(FCurItem)));
    if (FCurItem != nullptr) {
        TreeView1->clear();
        QTreeWidgetItem* parentNode = nullptr;
        for (const TTerm* term : AlphaTermPath(FCurItem)) {
            auto* node = parentNode ? new QTreeWidgetItem(parentNode) : new QTreeWidgetItem(TreeView1);
            node->setText(0, Q(term->GetFullTitle(true)));
            parentNode = node;
        }
        TreeView1->expandAll();
        if (parentNode != nullptr) TreeView1->scrollToItem(parentNode);
    } else {
        btnBackMain->hide();
    }
    LayoutWidgets();
    FillItemList();
    // The disease index may be an older edition than the rest of the data: say so on every level.
    if (FType == TDataSet::DiseaseIndex) {
        const std::string note = DIndexEditionNote(DIndexEdition, EditionYear);
        lbEdition->setText(Q(note));
        lbEdition->setToolTip(Q(note));
        lbEdition->setVisible(!note.empty());
    }
    ShowCurPage();
    if (size() != FSizedFor) {
        FSizedFor = size();
        FormResize();
        // The window opens with nothing selected; the page size only is taken from the list.
        ListView1->setCurrentIndex({});
        ListView1->clearSelection();
    }
    ListView1->setFocus();
}

void TfrmAlphaSearch::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayoutWidgets();
    // The page size is computed from the list's height when the window first shows and again
    // whenever its size changes, so the rows fill the list as they do in the tables.
    if (FShown && size() != FSizedFor) {
        FSizedFor = size();
        FormResize();
    }
}

void TfrmAlphaSearch::FillItemList() {
    const std::string key = AlphaFilterKey(edtMain->text().toStdString());
    if (FCurItem != nullptr) {
        static const TAlphaLetterList none;
        FItemList = AlphaFillItemList(none, FCurItem, key);
        return;
    }
    FItemList.clear();
    const TAlphaLetterList* letters = nullptr;
    if (FType == TDataSet::DiseaseIndex || FType == TDataSet::ExternalIndex) {
        WaitForDataSet(LoadStatusOf(FType));
        letters = &IndexLettersOf(FType);
    }
    if (letters != nullptr) FItemList = AlphaFillItemList(*letters, nullptr, key);
}

void TfrmAlphaSearch::ShowCurPage() {
    FPaging.FCount = static_cast<int32_t>(FItemList.size());
    FPaging.Clamp();
    const auto first = static_cast<std::size_t>(FPaging.FirstIndex());
    FTerms->SetTerms(std::span(FItemList).subspan(first, static_cast<std::size_t>(FPaging.RowsOnPage())));
    ListView1->clearSelection();
    ListView1->setCurrentIndex({});
    lbMain->setText(Q(AlphaRecordsCaption(FPaging.FCount)));
    lbPage->setText(Q(AlphaPageCaption(FPaging)));
    btnPrior->setEnabled(FPaging.PriorEnabled());
    btnNext->setEnabled(FPaging.NextEnabled());
}

void TfrmAlphaSearch::NextPage() {
    if (FPaging.Next()) ShowCurPage();
}

void TfrmAlphaSearch::PriorPage() {
    if (FPaging.Prior()) ShowCurPage();
}

void TfrmAlphaSearch::FormResize() {
    const QModelIndex current = ListView1->currentIndex();
    const int selectedRow = current.isValid() && ListView1->selectionModel()->isSelected(current) ? current.row() : -1;
    const int row = FPaging.Resize(ListView1->contentsRect().height(), ROW_HEIGHT_PX, selectedRow);
    ShowCurPage();
    if (row >= 0 && row < FTerms->rowCount()) ListView1->setCurrentIndex(FTerms->index(row, 0));
}

void TfrmAlphaSearch::edtMainChange() {
    // The page is kept (only clamped), so a narrower filter does not jump back to page 1.
    FillItemList();
    ShowCurPage();
}

TTerm* TfrmAlphaSearch::SelectedTerm() const {
    const QModelIndex current = ListView1->currentIndex();
    if (!current.isValid() || !ListView1->selectionModel()->isSelected(current)) return nullptr;
    return FTerms->TermAt(current.row());
}

void TfrmAlphaSearch::UpdatePopupItems() {
    for (QAction* action : {ViewCode1, ViewSubTermS1, SeeCategory1, SeeSubcategory1, ViewManifestM1})
        action->setEnabled(false);
    const TTerm* term = SelectedTerm();
    if (term == nullptr) return;
    ViewCode1->setEnabled(AlphaInitCode(term->FCode).has_value());
    ViewSubTermS1->setEnabled(!term->FSubTermList.empty());
    ViewManifestM1->setEnabled(!term->FManifest.empty());
    SeeCategory1->setEnabled(!term->FSeeCat.empty());
    SeeSubcategory1->setEnabled(!term->FSubCat.empty());
}

void TfrmAlphaSearch::ViewTermCode(TAlphaCodeKind AKind) {
    const TTerm* term = SelectedTerm();
    if (term == nullptr) return;
    const std::optional<std::string> code = AlphaInitCode(AlphaCodeField(*term, AKind));
    if (!code) return;
    int result = 0;
    {
        TfrmKeyWordSearch window(this);
        window.FInitType = TTabularOpening::Code;
        window.FInitCode = Q(*code);
        result = window.exec();
    }
    if (result == 3) done(3);
}

void TfrmAlphaSearch::ViewSubTerm() {
    TTerm* term = SelectedTerm();
    if (term == nullptr || term->FSubTermList.empty()) return;
    int result = 0;
    {
        TfrmAlphaSearch window(this);
        window.FType = FType;
        window.FCurItem = term;
        result = window.exec();
    }
    if (result == 1 && FCurItem != nullptr)
        done(1);
    else if (result == 3)
        done(3);
}

void TfrmAlphaSearch::AskExitProgram() {
    if (AskQuitProgram()) done(3);
}

bool TfrmAlphaSearch::HandleListKey(int AKey) {
    switch (AKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A term without sub-terms has nothing to go down into: Enter opens its code instead.
            if (const TTerm* term = SelectedTerm(); term != nullptr && term->FSubTermList.empty())
                ViewTermCode(TAlphaCodeKind::Code);
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
            ViewTermCode(TAlphaCodeKind::Code);
            return true;
        case Qt::Key_F6:
            ViewTermCode(TAlphaCodeKind::SeeCategory);
            return true;
        case Qt::Key_F7:
            ViewTermCode(TAlphaCodeKind::SeeSubcategory);
            return true;
        case Qt::Key_F8:
            ViewTermCode(TAlphaCodeKind::Manifest);
            return true;
        case Qt::Key_F12:
            AskExitProgram();
            return true;
        default:
            return false;
    }
}

void TfrmAlphaSearch::ListDoubleClickAt(const QPoint& AViewportPos) {
    // logicalIndexAt accounts for the horizontal scroll position; left of every column or right
    // of the last one counts as the marker column.
    int column = ListView1->header()->logicalIndexAt(AViewportPos.x());
    if (column < 0) column = MarkerColumn;
    if (column == CodeColumn)
        ViewTermCode(TAlphaCodeKind::Code);
    else
        ViewSubTerm();
}

bool TfrmAlphaSearch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((watched == ListView1 || watched == TreeView1) && IsTypedCharacter(*key)) {
            // Typing while the list has the focus filters it: the text goes to the filter box.
            edtMain->setFocus();
            QCoreApplication::sendEvent(edtMain, event);
            return true;
        }
        if (watched == ListView1) return HandleListKey(key->key());
        if (watched == TreeView1 && IsShortcutKey(key->key())) return HandleListKey(key->key());
        if (watched == edtMain) {
            // Down leaves the filter for the list, on its first row when none is selected.
            if (key->key() == Qt::Key_Down && FTerms->rowCount() > 0) {
                ListView1->setFocus();
                if (!ListView1->selectionModel()->hasSelection()) ListView1->setCurrentIndex(FTerms->index(0, 0));
                return true;
            }
            // The window's keys do from the filter box what their buttons and menu items say;
            // Enter does nothing there (it belongs to the list).
            if (IsShortcutKey(key->key())) return HandleListKey(key->key());
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return true;
            // At the main level the first letter typed is a capital, like the letter groups' names.
            const QString text = key->text();
            if (FCurItem == nullptr && edtMain->text().isEmpty() && text.size() == 1 && text[0] >= QLatin1Char('a') &&
                text[0] <= QLatin1Char('z')) {
                edtMain->insert(text.toUpper());
                return true;
            }
            return false;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == ListView1->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            ListDoubleClickAt(mouse->position().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAlphaSearch::keyPressEvent(QKeyEvent* event) {
    if (IsShortcutKey(event->key())) {
        HandleListKey(event->key());
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmAlphaSearch::reject() {
    done(2);
}
