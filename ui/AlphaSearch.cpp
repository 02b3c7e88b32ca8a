#include "ui/AlphaSearch.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "index/IndexLoader.h"
#include "index/IndexSearch.h"
#include "services/DataSets.h"
#include "services/Messages.h"
#include "startup/EditionInUse.h"
#include "startup/LoadedData.h"
#include "ui/DataSetSignals.h"
#include "ui/KeywordSearch.h"
#include "ui/TermListModel.h"
#include "ui/UiStyle.h"
#include "userdata/Config.h"

namespace {

constexpr int ClientWidth = 1167;
constexpr int ClientHeight = 691;
constexpr int TitleHeight = 56;
constexpr int TreeHeight = 94;
constexpr int FilterBandHeight = 38;
constexpr int ButtonBarHeight = 51;
constexpr int ListFontPixels = 14;
constexpr int MarkerColumn = 0;
constexpr int CodeColumn = 2;
// Controls of a band keep their designed widths while the window has room: they take the room
// before the band's trailing space does.
constexpr int DesignedStretch = 1000;

constexpr std::array<TWindowKey, 10> Keys{{
    {"backAction", "Esc", "goes back one level: closes this list of terms"},
    {"backToMainAction", "F3", "goes back to the main terms, closing every list of sub-terms"},
    {"priorPageAction", "PgUp", "shows the prior page of terms"},
    {"nextPageAction", "PgDown", "shows the next page of terms"},
    {"viewCodeAction", "F5", "opens the selected term's code in the Tabular Search window"},
    {"seeCategoryAction", "F6", "opens the category the selected term refers to"},
    {"seeSubcategoryAction", "F7", "opens the subcategory the selected term refers to"},
    {"seeManifestAction", "F8", "opens the selected term's manifestation code"},
    {"viewSubTermAction", "F11", "lists the selected term's sub-terms"},
    {"quitAction", "F12", "asks whether to quit the program"},
}};

void PaintPanel(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* MakeButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = Named(new QPushButton(caption, parent), name);
    // No button of this window is a default button: Enter belongs to the list.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// A control at its designed width while the band has room, narrower down to its caption's needs.
void AddDesigned(QHBoxLayout* band, QWidget* control, int designedWidth) {
    control->setMaximumWidth(designedWidth);
    band->addWidget(control, DesignedStretch);
}

// The window's actions answer their keys while it is the active window. A key that reaches one of
// its controls while no window is active (as after a modal window closed) runs the same action.
bool RunKeyAction(const QWidget& window, const QKeyEvent& key) {
    const QKeySequence pressed(key.keyCombination());
    for (QAction* action : window.actions())
        if (action->isEnabled() && action->shortcuts().contains(pressed)) {
            action->trigger();
            return true;
        }
    return false;
}

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
    PaintPanel(titlePanel, SkyBlue);
    titleLabel = Named(new QLabel(titlePanel), "titleLabel");
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setFont(TahomaFont(29));
    auto* titleLayout = new QVBoxLayout(titlePanel);
    titleLayout->setContentsMargins(0, 0, 0, 0);
    titleLayout->addWidget(titleLabel);

    pathPanel = Named(new QWidget(this), "pathPanel");
    pathPanel->setFixedHeight(TreeHeight);
    pathTree = Named(new QTreeWidget(pathPanel), "pathTree");
    pathTree->setAccessibleName(QStringLiteral("Terms above this level"));
    pathTree->setHeaderHidden(true);
    pathTree->setColumnCount(1);
    pathTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pathTree->setFont(CourierFont(ListFontPixels));
    pathTree->installEventFilter(this);
    auto* pathLayout = new QVBoxLayout(pathPanel);
    pathLayout->setContentsMargins(0, 0, 0, 0);
    pathLayout->addWidget(pathTree);

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
    layout->addWidget(BuildFilterBand());
    layout->addWidget(termList, 1);
    layout->addWidget(BuildButtonBar());
    BuildActions();

    connect(filterEdit, &QLineEdit::textChanged, this, [this] { FilterChanged(); });
    connect(clearFilterButton, &QPushButton::clicked, this, [this] { filterEdit->clear(); });
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

QWidget* TfrmAlphaSearch::BuildFilterBand() {
    filterBand = Named(new QWidget(this), "filterBand");
    filterBand->setFixedHeight(FilterBandHeight);
    PaintPanel(filterBand, SkyBlue);
    levelLabel = Named(new QLabel(filterBand), "levelLabel");
    levelLabel->setFixedSize(130, 22);
    filterEdit = Named(new QLineEdit(filterBand), "filterEdit");
    filterEdit->setAccessibleName(QStringLiteral("Filter the terms"));
    filterEdit->setFixedHeight(26);
    {
        // The band's blue stops at the edit box.
        QPalette palette = filterEdit->palette();
        palette.setColor(QPalette::Base, Qt::white);
        filterEdit->setPalette(palette);
    }
    filterEdit->installEventFilter(this);
    clearFilterButton = MakeButton(QStringLiteral("X"), "clearFilterButton", filterBand);
    clearFilterButton->setFixedSize(30, 26);
    clearFilterButton->setFocusPolicy(Qt::NoFocus);
    recordCountLabel = Named(new QLabel(filterBand), "recordCountLabel");
    recordCountLabel->setFixedHeight(22);
    editionLabel = Named(new QLabel(filterBand), "editionLabel");
    editionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The note takes two lines when the window is narrower than designed.
    editionLabel->setWordWrap(true);
    editionLabel->setFixedHeight(FilterBandHeight - 4);
    {
        QPalette palette = editionLabel->palette();
        palette.setColor(QPalette::WindowText, QColor(128, 0, 0));
        editionLabel->setPalette(palette);
    }
    editionLabel->hide();

    auto* band = new QHBoxLayout(filterBand);
    band->setContentsMargins(10, 0, 10, 0);
    band->setSpacing(0);
    band->addWidget(levelLabel);
    band->addSpacing(2);
    AddDesigned(band, filterEdit, 330);
    band->addSpacing(4);
    band->addWidget(clearFilterButton);
    band->addSpacing(14);
    AddDesigned(band, recordCountLabel, 160);
    band->addSpacing(10);
    band->addWidget(editionLabel, 1);
    return filterBand;
}

QWidget* TfrmAlphaSearch::BuildButtonBar() {
    buttonBar = Named(new QWidget(this), "buttonBar");
    buttonBar->setFixedHeight(ButtonBarHeight);
    PaintPanel(buttonBar, SkyBlue);
    backButton = MakeButton(QStringLiteral(" Back (Esc)"), "backButton", buttonBar);
    backToMainButton = MakeButton(QStringLiteral("Back to Main Term (F3)"), "backToMainButton", buttonBar);
    // At the main level the button is hidden; the page controls keep their places.
    QSizePolicy keepPlace = backToMainButton->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    backToMainButton->setSizePolicy(keepPlace);
    priorPageButton = MakeButton(QStringLiteral("<   Prior Page (PgUp)"), "priorPageButton", buttonBar);
    pageLabel = Named(new QLabel(buttonBar), "pageLabel");
    pageLabel->setAlignment(Qt::AlignCenter);
    pageLabel->setFixedHeight(22);
    nextPageButton = MakeButton(QStringLiteral("Next Page (PgDown)   >"), "nextPageButton", buttonBar);
    for (QPushButton* button : {backButton, backToMainButton, priorPageButton, nextPageButton})
        button->setFixedHeight(31);

    auto* bar = new QHBoxLayout(buttonBar);
    bar->setContentsMargins(16, 0, 0, 0);
    bar->setSpacing(0);
    AddDesigned(bar, backButton, 130);
    bar->addSpacing(14);
    AddDesigned(bar, backToMainButton, 200);
    // The gap before the page controls gives way first when the window is narrow.
    bar->addSpacerItem(new QSpacerItem(160, 0, QSizePolicy::Maximum, QSizePolicy::Minimum));
    AddDesigned(bar, priorPageButton, 190);
    bar->addSpacing(5);
    AddDesigned(bar, pageLabel, 140);
    bar->addSpacing(5);
    AddDesigned(bar, nextPageButton, 190);
    bar->addStretch(1);
    return buttonBar;
}

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
    for (const auto& [button, name] :
         {std::pair{backButton, "backAction"}, std::pair{backToMainButton, "backToMainAction"},
          std::pair{priorPageButton, "priorPageAction"}, std::pair{nextPageButton, "nextPageAction"}})
        connect(button, &QPushButton::clicked, action(name), &QAction::trigger);

    termMenu = Named(new QMenu(this), "termMenu");
    const std::pair<const char*, const char*> items[] = {{"viewCodeAction", "View Code (F5)"},
                                                         {"viewSubTermAction", "View Sub-Term (F11)"},
                                                         {nullptr, nullptr},
                                                         {"seeCategoryAction", "See Category (F6)"},
                                                         {"seeSubcategoryAction", "See Subcategory (F7)"},
                                                         {"seeManifestAction", "See Manifest (F8)"}};
    for (const auto& [name, caption] : items) {
        if (name == nullptr) {
            termMenu->addSeparator();
            continue;
        }
        QAction* item = action(name);
        item->setText(QString::fromLatin1(caption));
        // The caption already names the key.
        item->setShortcutVisibleInContextMenu(false);
        termMenu->addAction(item);
    }
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
    levelLabel->setText(QString::fromStdString(AlphaLevelCaption(FCurItem)));
    pathPanel->setVisible(FCurItem != nullptr);
    if (FCurItem != nullptr) {
        pathTree->clear();
        QTreeWidgetItem* parentNode = nullptr;
        for (const TTerm* term : AlphaTermPath(FCurItem)) {
            auto* node = parentNode ? new QTreeWidgetItem(parentNode) : new QTreeWidgetItem(pathTree);
            node->setText(0, QString::fromStdString(term->GetFullTitle(true)));
            parentNode = node;
        }
        pathTree->expandAll();
        if (parentNode != nullptr) pathTree->scrollToItem(parentNode);
    } else {
        backToMainButton->hide();
    }
    // The list gets its final height now, so the first page has the size of the window.
    layout()->activate();
    // The terms are listed once the index has settled; until then the list stays empty. A nested
    // level's index has settled already: its terms are listed at once.
    WhenDataSetSettled(this, FType, [this](TLoadState) {
        FSetSettled = true;
        FillItemList();
        // The disease index may be an older edition than the rest of the data: say so on every level.
        if (FType == TDataSet::DiseaseIndex) {
            const QString note = QString::fromStdString(DiseaseIndexNote(LoadedData().Index.DiseaseIndexEdition));
            editionLabel->setText(note);
            editionLabel->setToolTip(note);
            editionLabel->setVisible(!note.isEmpty());
        }
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
    const std::string key = AlphaFilterKey(filterEdit->text().toStdString());
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
    recordCountLabel->setText(QString::fromStdString(AlphaRecordsCaption(FPaging.FCount)));
    pageLabel->setText(QString::fromStdString(AlphaPageCaption(FPaging)));
    priorPageButton->setEnabled(FPaging.PriorEnabled());
    nextPageButton->setEnabled(FPaging.NextEnabled());
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
    int result = 0;
    {
        TfrmKeyWordSearch window(this);
        window.FInitType = TTabularOpening::Code;
        window.FInitCode = QString::fromStdString(*code);
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
        if (RunKeyAction(*this, *key)) return true;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if ((watched == termList || watched == pathTree) && IsTypedCharacter(*key)) {
            // Typing while the list has the focus filters it: the text goes to the filter box.
            filterEdit->setFocus();
            QCoreApplication::sendEvent(filterEdit, event);
            return true;
        }
        if (watched == termList && enter) {
            OpenSelectedTerm();
            return true;
        }
        if (watched == filterEdit) {
            // Down leaves the filter for the list, on its first row when none is selected.
            if (key->key() == Qt::Key_Down && FTerms->rowCount() > 0) {
                termList->setFocus();
                if (!termList->selectionModel()->hasSelection()) termList->setCurrentIndex(FTerms->index(0, 0));
                return true;
            }
            // Enter does nothing in the filter box (it belongs to the list).
            if (enter) return true;
            // At the main level the first letter typed is a capital, like the letter groups' names.
            const QString text = key->text();
            if (FCurItem == nullptr && filterEdit->text().isEmpty() && text.size() == 1 &&
                text[0] >= QLatin1Char('a') && text[0] <= QLatin1Char('z')) {
                filterEdit->insert(text.toUpper());
                return true;
            }
            return false;
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
    if (!RunKeyAction(*this, *event)) QDialog::keyPressEvent(event);
}

void TfrmAlphaSearch::reject() {
    done(2);
}
