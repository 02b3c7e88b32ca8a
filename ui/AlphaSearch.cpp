#include "ui/AlphaSearch.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "services/DataSets.h"
#include "services/Messages.h"
#include "startup/EditionInUse.h"
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
constexpr int ListFontPixels = 14;
constexpr int MarkerColumn = 0;
constexpr int CodeColumn = 2;

constexpr TTermFilterBandDesign FilterBandDesign{.Height = 38,
                                                 .LeftMargin = 10,
                                                 .RightMargin = 10,
                                                 .LabelHeight = 22,
                                                 .LabelTopPadding = 0,
                                                 .LabelFontPixels = 0,
                                                 .LevelWidth = 130,
                                                 .GapAfterLevel = 2,
                                                 .FilterWidth = 330,
                                                 .FilterHeight = 26,
                                                 .FilterFontPixels = 0,
                                                 .GapAfterFilter = 4,
                                                 .ClearWidth = 30,
                                                 .ClearHeight = 26,
                                                 .GapAfterClear = 14,
                                                 .CountWidth = 160,
                                                 .NoteGap = 10};

constexpr TTermPageBarDesign PageBarDesign{.LeftMargin = 16,
                                           .GapAfterBack = 14,
                                           .BackToMainWidth = 200,
                                           .GapBeforePages = 160,
                                           .PageButtonWidth = 190,
                                           .GapAroundPage = 5,
                                           .PageLabelWidth = 140,
                                           .PriorCaption = "<   Prior Page (PgUp)",
                                           .NextCaption = "Next Page (PgDown)   >",
                                           .ButtonsTakeFocus = true};

constexpr std::array<TWindowKey, 6> WindowKeys{{
    {"viewCodeAction", "F5", "opens the selected term's code in the Tabular Search window"},
    {"seeCategoryAction", "F6", "opens the category the selected term refers to"},
    {"seeSubcategoryAction", "F7", "opens the subcategory the selected term refers to"},
    {"seeManifestAction", "F8", "opens the selected term's manifestation code"},
    {"viewSubTermAction", "F11", "lists the selected term's sub-terms"},
    {"quitAction", "F12", "asks whether to quit the program"},
}};
// The page bar's keys come first.
constexpr auto Keys = JoinKeyTables(TermPageBarKeys, WindowKeys);

}  // namespace

std::span<const TWindowKey> TfrmAlphaSearch::KeyTable() {
    return Keys;
}

TfrmAlphaSearch::TfrmAlphaSearch(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAlphaSearch"));
    setFont(TahomaFont(13));
    SetUpSearchWindowFrame(this, ClientWidth, ClientHeight);

    titlePanel = Named(new QWidget(this), "titlePanel");
    titlePanel->setFixedHeight(TitleHeight);
    FillBackground(titlePanel, SkyBlue);
    titleLabel = Named(new QLabel(titlePanel), "titleLabel");
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setFont(TahomaFont(29));
    auto* titleLayout = new QVBoxLayout(titlePanel);
    titleLayout->setContentsMargins(0, 0, 0, 0);
    titleLayout->addWidget(titleLabel);

    pathPanel = new TTermPathPanel(this);
    pathPanel->Tree()->installEventFilter(this);

    FTerms = new TTermListModel(TTermListModel::TShape::IndexList, this);
    FTerms->SetHeadings({QString(), QStringLiteral("Title"), QStringLiteral("Code")});
    termList = Named(new QTreeView(this), "termList");
    termList->setAccessibleName(QStringLiteral("Terms"));
    termList->setModel(FTerms);
    termList->setRootIsDecorated(false);
    termList->setIndentation(0);
    termList->setUniformRowHeights(true);
    termList->setSelectionMode(QAbstractItemView::SingleSelection);
    termList->setSelectionBehavior(QAbstractItemView::SelectRows);
    termList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    termList->setExpandsOnDoubleClick(false);
    termList->setFont(CourierFont(ListFontPixels));
    termList->header()->setSectionsMovable(false);
    termList->header()->setStretchLastSection(false);
    termList->header()->setSectionResizeMode(MarkerColumn, QHeaderView::Fixed);
    termList->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    termList->header()->setSectionResizeMode(CodeColumn, QHeaderView::Fixed);
    termList->header()->resizeSection(MarkerColumn, 20);
    termList->header()->resizeSection(CodeColumn, 80);
    termList->setContextMenuPolicy(Qt::CustomContextMenu);
    termList->installEventFilter(this);
    termList->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(titlePanel);
    layout->addWidget(pathPanel);
    // Created in the order of the window's Tab chain: the path, the list, the filter, the buttons.
    filterBand = new TTermFilterBand(FilterBandDesign, this);
    filterBand->FilterEdit()->installEventFilter(this);
    buttonBar = new TTermPageBar(PageBarDesign, this);
    layout->addWidget(filterBand);
    layout->addWidget(termList, 1);
    layout->addWidget(buttonBar);
    BuildActions();

    connect(filterBand, &TTermFilterBand::filterChanged, this, [this] { FilterChanged(); });
    connect(termList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdatePopupItems(); });
    connect(termList, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        UpdatePopupItems();
        termMenu->popup(termList->viewport()->mapToGlobal(position));
    });

    // Row height from the list font: its pixel height at the font's resolution, plus one.
    ROW_HEIGHT_PX = AlphaRowHeight(ListFontPixels, termList->logicalDpiY());
    FTerms->SetRowHeight(ROW_HEIGHT_PX);
    FTerms->SetCodeBrush(termList->palette().brush(QPalette::Highlight));
}

TfrmAlphaSearch::~TfrmAlphaSearch() = default;

void TfrmAlphaSearch::BuildActions() {
    FActions = AddWindowActions(this, KeyTable());
    const auto action = [this](const char* name) { return FActions.value(QLatin1String(name)); };
    connect(action("backAction"), &QAction::triggered, this, [this] { done(2); });
    connect(action("backToMainAction"), &QAction::triggered, this, [this] { done(1); });
    connect(action("priorPageAction"), &QAction::triggered, this, [this] { PriorPage(); });
    connect(action("nextPageAction"), &QAction::triggered, this, [this] { NextPage(); });
    connect(action("viewCodeAction"), &QAction::triggered, this, [this] { ViewTermCode(TAlphaCodeKind::Code); });
    connect(action("seeCategoryAction"), &QAction::triggered, this,
            [this] { ViewTermCode(TAlphaCodeKind::SeeCategory); });
    connect(action("seeSubcategoryAction"), &QAction::triggered, this,
            [this] { ViewTermCode(TAlphaCodeKind::SeeSubcategory); });
    connect(action("seeManifestAction"), &QAction::triggered, this, [this] { ViewTermCode(TAlphaCodeKind::Manifest); });
    connect(action("viewSubTermAction"), &QAction::triggered, this, [this] { ViewSubTerm(); });
    connect(action("quitAction"), &QAction::triggered, this, [this] { AskExitProgram(); });
    buttonBar->ConnectActions(FActions);

    termMenu = Named(new QMenu(this), "termMenu");
    constexpr TMenuItem items[] = {{"viewCodeAction", "View Code (F5)"},
                                   {"viewSubTermAction", "View Sub-Term (F11)"},
                                   {nullptr, nullptr},
                                   {"seeCategoryAction", "See Category (F6)"},
                                   {"seeSubcategoryAction", "See Subcategory (F7)"},
                                   {"seeManifestAction", "See Manifest (F8)"}};
    AddMenuItems(termMenu, FActions, items);
    UpdatePopupItems();
}

void TfrmAlphaSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FShown) return;
    FShown = true;
    FormShow();
}

void TfrmAlphaSearch::FormShow() {
    titleLabel->setText(
        QString::fromStdString(AlphaWindowTitle(FType)).replace(QStringLiteral("&&"), QStringLiteral("&")));
    filterBand->ShowLevel(QString::fromStdString(AlphaLevelCaption(FCurItem)));
    pathPanel->setVisible(FCurItem != nullptr);
    if (FCurItem != nullptr)
        pathPanel->ShowPath(AlphaTermPath(FCurItem));
    else
        buttonBar->HideBackToMain();
    // The list gets its final height now, so the first page has the size of the window.
    layout()->activate();
    // The terms are listed once the index has settled; until then the list stays empty. A nested
    // level's index has settled already: its terms are listed at once.
    WhenDataSetSettled(this, FType, [this](TLoadState) {
        FSetSettled = true;
        FillItemList();
        // The disease index may be an older edition than the rest of the data: say so on every level.
        if (FType == TDataSet::DiseaseIndex)
            filterBand->ShowNote(QString::fromStdString(DiseaseIndexNote(LoadedData().Index.DiseaseIndexEdition)));
        ShowCurPage();
    });
    if (size() != FSizedFor) {
        FSizedFor = size();
        FormResize();
        // The window opens with nothing selected; the page size only is taken from the list.
        termList->setCurrentIndex({});
        termList->clearSelection();
    }
    termList->setFocus();
}

void TfrmAlphaSearch::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The page size is computed from the list's height when the window first shows and again
    // whenever its size changes, so the rows fill the list as they do in the tables.
    if (FShown && size() != FSizedFor) {
        FSizedFor = size();
        FormResize();
    }
}

void TfrmAlphaSearch::FillItemList() {
    const std::string key = AlphaFilterKey(filterBand->FilterEdit()->text().toStdString());
    if (FCurItem != nullptr) {
        static const TAlphaLetterList none;
        FItemList = AlphaFillItemList(none, FCurItem, key);
        return;
    }
    FItemList.clear();
    const TAlphaLetterList* letters = nullptr;
    if (FSetSettled && (FType == TDataSet::DiseaseIndex || FType == TDataSet::ExternalIndex))
        letters = &LoadedData().Index.LettersOf(FType);
    if (letters != nullptr) FItemList = AlphaFillItemList(*letters, nullptr, key);
}

void TfrmAlphaSearch::ShowCurPage() {
    FPaging.FCount = static_cast<int32_t>(FItemList.size());
    FPaging.Clamp();
    const auto first = static_cast<std::size_t>(FPaging.FirstIndex());
    FTerms->SetTerms(std::span(FItemList).subspan(first, static_cast<std::size_t>(FPaging.RowsOnPage())));
    termList->clearSelection();
    termList->setCurrentIndex({});
    filterBand->ShowRecordCount(QString::fromStdString(AlphaRecordsCaption(FPaging.FCount)));
    buttonBar->ShowPage(QString::fromStdString(AlphaPageCaption(FPaging)), FPaging.PriorEnabled(),
                        FPaging.NextEnabled());
}

void TfrmAlphaSearch::NextPage() {
    if (FPaging.Next()) ShowCurPage();
}

void TfrmAlphaSearch::PriorPage() {
    if (FPaging.Prior()) ShowCurPage();
}

void TfrmAlphaSearch::FormResize() {
    const QModelIndex current = termList->currentIndex();
    const int selectedRow = current.isValid() && termList->selectionModel()->isSelected(current) ? current.row() : -1;
    const int row = FPaging.Resize(termList->contentsRect().height(), ROW_HEIGHT_PX, selectedRow);
    ShowCurPage();
    if (row >= 0 && row < FTerms->rowCount()) termList->setCurrentIndex(FTerms->index(row, 0));
}

void TfrmAlphaSearch::FilterChanged() {
    // The page is kept (only clamped), so a narrower filter does not jump back to page 1.
    FillItemList();
    ShowCurPage();
}

TTerm* TfrmAlphaSearch::SelectedTerm() const {
    const QModelIndex current = termList->currentIndex();
    if (!current.isValid() || !termList->selectionModel()->isSelected(current)) return nullptr;
    return FTerms->TermAt(current.row());
}

void TfrmAlphaSearch::UpdatePopupItems() {
    const TTerm* term = SelectedTerm();
    const auto enable = [this](const char* name, bool enabled) {
        FActions.value(QLatin1String(name))->setEnabled(enabled);
    };
    enable("viewCodeAction", term != nullptr && AlphaInitCode(term->FCode).has_value());
    enable("viewSubTermAction", term != nullptr && !term->FSubTermList.empty());
    enable("seeManifestAction", term != nullptr && !term->FManifest.empty());
    enable("seeCategoryAction", term != nullptr && !term->FSeeCat.empty());
    enable("seeSubcategoryAction", term != nullptr && !term->FSubCat.empty());
}

void TfrmAlphaSearch::ViewTermCode(TAlphaCodeKind AKind) {
    const TTerm* term = SelectedTerm();
    if (term == nullptr) return;
    const std::optional<std::string> code = AlphaInitCode(AlphaCodeField(*term, AKind));
    if (!code) return;
    if (TfrmKeyWordSearch::ExecAtCode(this, QString::fromStdString(*code)) == 3) done(3);
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

void TfrmAlphaSearch::OpenSelectedTerm() {
    // A term without sub-terms has nothing to go down into: Enter opens its code instead.
    if (const TTerm* term = SelectedTerm(); term != nullptr && term->FSubTermList.empty())
        ViewTermCode(TAlphaCodeKind::Code);
    else
        ViewSubTerm();
}

void TfrmAlphaSearch::ListDoubleClickAt(const QPoint& AViewportPos) {
    // logicalIndexAt accounts for the horizontal scroll position; left of every column or right
    // of the last one counts as the marker column.
    int column = termList->header()->logicalIndexAt(AViewportPos.x());
    if (column < 0) column = MarkerColumn;
    if (column == CodeColumn)
        ViewTermCode(TAlphaCodeKind::Code);
    else
        ViewSubTerm();
}

// What the actions cannot do, because it depends on the control that has the focus: Enter, Down
// and typed characters.
bool TfrmAlphaSearch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (TriggerWindowAction(*this, *key)) return true;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if ((watched == termList || watched == pathPanel->Tree()) && IsTypedCharacter(*key)) {
            // Typing while the list has the focus filters it: the text goes to the filter box.
            filterBand->TypeIntoFilter(event);
            return true;
        }
        if (watched == termList && enter) {
            OpenSelectedTerm();
            return true;
        }
        if (watched == filterBand->FilterEdit()) {
            // Down leaves the filter for the list, on its first row when none is selected.
            if (key->key() == Qt::Key_Down && FTerms->rowCount() > 0) {
                termList->setFocus();
                if (!termList->selectionModel()->hasSelection()) termList->setCurrentIndex(FTerms->index(0, 0));
                return true;
            }
            // Enter does nothing in the filter box (it belongs to the list).
            if (enter) return true;
            // At the main level the first letter typed is a capital, like the letter groups' names.
            return FCurItem == nullptr && filterBand->TypeFirstLetterAsCapital(*key);
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == termList->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            ListDoubleClickAt(mouse->position().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAlphaSearch::keyPressEvent(QKeyEvent* event) {
    if (!TriggerWindowAction(*this, *event)) QDialog::keyPressEvent(event);
}

void TfrmAlphaSearch::reject() {
    done(2);
}
