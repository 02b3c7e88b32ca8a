#include "ui/KeywordListPanels.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "services/DataSets.h"
#include "startup/LoadedData.h"
#include "ui/PanelStyle.h"

namespace {

constexpr int PromptBarHeight = 26;

bool IsEnter(int AKey) {
    return AKey == Qt::Key_Return || AKey == Qt::Key_Enter;
}

// The controls of a floating list cover its frame edge to edge, as designed: the frame shows only
// between them (the layout alone would keep them inside it).
void CoverFrame(QFrame* AFrame) {
    AFrame->setContentsMargins(0, 0, 0, 0);
}

// PgUp and PgDn move in a floating list before they page the window's code text: the list claims
// them from the window's shortcuts, and passes them on when it can move no further.
bool ClaimsPagingKey(QEvent* AEvent) {
    if (AEvent->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(AEvent);
    if (key->modifiers() != Qt::NoModifier || (key->key() != Qt::Key_PageUp && key->key() != Qt::Key_PageDown))
        return false;
    key->accept();
    return true;
}

}  // namespace

TSuggestionPanel::TSuggestionPanel(QWidget* AParent)
    : QFrame(AParent), FPrompt(LoadedData().Keywords, &LoadedData().Status[TDataSet::CodeKeywords]) {
    setObjectName(QStringLiteral("suggestionPanel"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFixedSize(PanelWidth, PanelHeight);
    FillBackground(this, AParent->palette().color(QPalette::Window));
    const int gridHeight = PanelHeight - PromptBarHeight;
    suggestionGrid = new QTableWidget(PromptRows, PromptColumns, this);
    suggestionGrid->setObjectName(QStringLiteral("suggestionGrid"));
    suggestionGrid->setAccessibleName(QStringLiteral("Keyword suggestions"));
    suggestionGrid->horizontalHeader()->hide();
    suggestionGrid->verticalHeader()->hide();
    suggestionGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    suggestionGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    suggestionGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    suggestionGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    suggestionGrid->setFixedHeight(gridHeight);
    const int columnWidths[PromptColumns] = {163, 172, 185, 182};
    for (int column = 0; column < PromptColumns; ++column) suggestionGrid->setColumnWidth(column, columnWidths[column]);
    for (int row = 0; row < PromptRows; ++row) suggestionGrid->setRowHeight(row, gridHeight / PromptRows);
    for (int row = 0; row < PromptRows; ++row)
        for (int column = 0; column < PromptColumns; ++column)
            suggestionGrid->setItem(row, column, new QTableWidgetItem(QString()));
    suggestionGrid->installEventFilter(this);
    suggestionGrid->viewport()->installEventFilter(this);

    auto* bar = new QFrame(this);
    bar->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->setFixedHeight(PromptBarHeight);
    priorSuggestionsButton = new QPushButton(QStringLiteral("<"), bar);
    priorSuggestionsButton->setObjectName(QStringLiteral("priorSuggestionsButton"));
    priorSuggestionsButton->setFixedSize(48, PromptBarHeight);
    suggestionCaptionLabel = new QLabel(QString::fromUtf8(PromptHint), bar);
    suggestionCaptionLabel->setObjectName(QStringLiteral("suggestionCaptionLabel"));
    suggestionCaptionLabel->setAlignment(Qt::AlignCenter);
    nextSuggestionsButton = new QPushButton(QStringLiteral(">"), bar);
    nextSuggestionsButton->setObjectName(QStringLiteral("nextSuggestionsButton"));
    nextSuggestionsButton->setFixedSize(49, PromptBarHeight);
    for (QPushButton* button : {priorSuggestionsButton, nextSuggestionsButton}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
    }
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    CoverFrame(bar);
    barLayout->setSpacing(2);
    barLayout->addWidget(priorSuggestionsButton);
    barLayout->addWidget(suggestionCaptionLabel, 1);
    barLayout->addWidget(nextSuggestionsButton);
    connect(nextSuggestionsButton, &QPushButton::clicked, this, [this] { ShowPage(true); });
    connect(priorSuggestionsButton, &QPushButton::clicked, this, [this] { ShowPage(false); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(suggestionGrid);
    layout->addWidget(bar);
    CoverFrame(this);
    hide();
}

void TSuggestionPanel::Refresh(const QString& AKeywordText, bool AFullText, bool AIntoGrid) {
    FFullText = AFullText;
    show();
    raise();
    if (AIntoGrid) {
        suggestionGrid->setFocus();
        suggestionGrid->setCurrentCell(0, 0);
    }
    if (FPrompt.RefreshPrompt(AKeywordText.toStdString(), AFullText)) suggestionGrid->setCurrentCell(0, 0);
    FillGrid();
}

void TSuggestionPanel::ShowPage(bool ANext) {
    show();
    if (ANext)
        FPrompt.NextPage(FFullText);
    else
        FPrompt.PriorPage(FFullText);
    FillGrid();
}

void TSuggestionPanel::FillGrid() {
    for (int row = 0; row < PromptRows; ++row)
        for (int column = 0; column < PromptColumns; ++column)
            suggestionGrid->item(row, column)->setText(QString::fromStdString(FPrompt.Cell(column, row)));
    suggestionCaptionLabel->setText(QString::fromStdString(FPrompt.FCaption));
}

bool TSuggestionPanel::eventFilter(QObject* AWatched, QEvent* AEvent) {
    if (AWatched == suggestionGrid && ClaimsPagingKey(AEvent)) return true;
    const QEvent::Type type = AEvent->type();
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(AEvent)->key();
        // The choice is made when Enter is released; its press belongs to the grid alone.
        if (IsEnter(key)) return true;
        // Esc closes the suggestions only, never the window behind them.
        if (key == Qt::Key_Escape) {
            hide();
            emit closedByEscape();
            return true;
        }
    } else if (type == QEvent::KeyRelease) {
        if (IsEnter(static_cast<QKeyEvent*>(AEvent)->key())) {
            QTableWidgetItem* item = suggestionGrid->currentItem();
            if (item != nullptr && !item->text().isEmpty()) emit keywordChosen(item->text());
            return true;
        }
    } else if (type == QEvent::MouseButtonPress && AWatched == suggestionGrid->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(AEvent);
        if (mouse->button() == Qt::LeftButton) {
            QTableWidgetItem* item = suggestionGrid->itemAt(mouse->position().toPoint());
            if (item != nullptr && !item->text().isEmpty()) emit keywordChosen(item->text());
            return true;
        }
    }
    return QFrame::eventFilter(AWatched, AEvent);
}

TSearchHistoryPanel::TSearchHistoryPanel(QWidget* AParent) : QFrame(AParent) {
    setObjectName(QStringLiteral("historyPanel"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFixedSize(TSuggestionPanel::PanelWidth, TSuggestionPanel::PanelHeight);
    historyList = new QTreeWidget(this);
    historyList->setObjectName(QStringLiteral("historyList"));
    historyList->setAccessibleName(QStringLiteral("Keywords search history"));
    historyList->setColumnCount(1);
    historyList->setHeaderLabels({QStringLiteral("Keywords Search History")});
    // The one column is as wide as the list, so no horizontal scroll bar ever covers the newest
    // entry at the bottom; an entry too long for it is shortened in the middle and shown whole as
    // the entry's tip.
    historyList->header()->setStretchLastSection(true);
    historyList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    historyList->setTextElideMode(Qt::ElideMiddle);
    historyList->setRootIsDecorated(false);
    historyList->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A style sheet that draws the rows' separating lines takes over the whole row: the selected
    // row needs its highlight named too, or its text is drawn in the highlighted-text colour on
    // the plain base, which leaves the newest search blank.
    historyList->setStyleSheet(QStringLiteral(
        "QTreeView::item { border-bottom: 1px solid #c0c0c0; }"
        "QTreeView::item:selected { background: palette(highlight); color: palette(highlighted-text); }"));
    historyList->installEventFilter(this);
    connect(historyList, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item == nullptr || item->text(0).isEmpty()) return;
        hide();
        emit entryChosen(item->text(0));
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(historyList);
    CoverFrame(this);
    hide();
}

void TSearchHistoryPanel::ShowEntries(const std::vector<std::string>& AEntries) {
    show();
    raise();
    historyList->clear();
    for (const std::string& entry : AEntries) {
        auto* item = new QTreeWidgetItem(historyList, QStringList{QString::fromStdString(entry)});
        item->setToolTip(0, item->text(0));
    }
    if (historyList->topLevelItemCount() > 0) {
        QTreeWidgetItem* newest = historyList->topLevelItem(historyList->topLevelItemCount() - 1);
        historyList->setCurrentItem(newest);
        historyList->scrollToItem(newest);
    }
    historyList->setFocus();
}

bool TSearchHistoryPanel::eventFilter(QObject* AWatched, QEvent* AEvent) {
    if (AWatched == historyList && ClaimsPagingKey(AEvent)) return true;
    if (AWatched == historyList && AEvent->type() == QEvent::KeyPress) {
        // Esc closes the history list only; Enter takes the current entry as a click does.
        const int key = static_cast<QKeyEvent*>(AEvent)->key();
        if (key == Qt::Key_Escape || IsEnter(key)) {
            QTreeWidgetItem* item = historyList->currentItem();
            hide();
            if (key != Qt::Key_Escape && item != nullptr && !item->text(0).isEmpty()) emit entryChosen(item->text(0));
            emit closedByKey();
            return true;
        }
    }
    if (AWatched == historyList && AEvent->type() == QEvent::FocusOut) {
        // Clicking an entry of the list keeps the focus inside; anything else hides the panel.
        QTimer::singleShot(0, this, [this] {
            if (!historyList->hasFocus()) hide();
        });
    }
    return QFrame::eventFilter(AWatched, AEvent);
}
