#include "ui/CodeTreePanel.h"

#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/GlobalDef.h"
#include "ui/PanelStyle.h"
#include "ui/UiStyle.h"

namespace {

constexpr int ColumnWidth = 73;
constexpr int CountPanelHeight = 85;
// Favourite nodes carry the code they stand for here.
constexpr int FavoriteCodeRole = Qt::UserRole + 1;

}  // namespace

TCodeTreePanel::TCodeTreePanel(QWidget* AParent) : QWidget(AParent) {
    setObjectName(QStringLiteral("codeTreePanel"));
    auto* countPanel = new QWidget(this);
    FillBackground(countPanel, SkyBlue);
    countPanel->setFixedHeight(CountPanelHeight);
    listKindLabel = new QLabel(QStringLiteral("Search"), countPanel);
    listKindLabel->setObjectName(QStringLiteral("listKindLabel"));
    listLabel = new QLabel(QStringLiteral("List"), countPanel);
    listLabel->setObjectName(QStringLiteral("listLabel"));
    codeCountLabel = new QLabel(QStringLiteral("0"), countPanel);
    codeCountLabel->setObjectName(QStringLiteral("codeCountLabel"));
    codeCountLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    for (QLabel* label : {listKindLabel, listLabel, codeCountLabel}) label->setAlignment(Qt::AlignCenter);
    listKindLabel->setFixedHeight(22);
    listLabel->setFixedHeight(22);
    codeCountLabel->setFixedHeight(24);
    auto* counts = new QVBoxLayout(countPanel);
    counts->setContentsMargins(0, 6, 0, 0);
    counts->setSpacing(0);
    counts->addWidget(listKindLabel);
    counts->addSpacing(2);
    counts->addWidget(listLabel);
    counts->addSpacing(4);
    counts->addWidget(codeCountLabel);
    counts->addStretch();

    codeTree = new QTreeWidget(this);
    codeTree->setObjectName(QStringLiteral("codeTree"));
    codeTree->setAccessibleName(QStringLiteral("Code list"));
    codeTree->setHeaderHidden(true);
    codeTree->setRootIsDecorated(false);
    codeTree->setIndentation(0);
    codeTree->setColumnCount(1);
    codeTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    codeTree->setFont(CourierFont(16));
    codeTree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetTextColour(codeTree, Blue);
    {
        QPalette palette = codeTree->palette();
        palette.setColor(QPalette::HighlightedText, Qt::white);
        codeTree->setPalette(palette);
    }
    connect(codeTree, &QTreeWidget::itemClicked, this, [this] { OpenCurrentNode(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(countPanel);
    layout->addWidget(codeTree, 1);
    SetWholeCodes(false);
}

void TCodeTreePanel::SetListKind(const QString& AKind) {
    listKindLabel->setText(AKind);
}

QString TCodeTreePanel::ListKind() const {
    return listKindLabel->text();
}

void TCodeTreePanel::SetWholeCodes(bool AWholeCodes) {
    const int wide = QFontMetrics(codeTree->font()).horizontalAdvance(QStringLiteral(" W00.000X ")) +
                     2 * codeTree->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setFixedWidth(AWholeCodes ? std::max(ColumnWidth, wide) : ColumnWidth);
}

void TCodeTreePanel::Clear() {
    codeTree->clear();
    FCategories.clear();
    FShownRow = -1;
}

void TCodeTreePanel::AddNode(TCodeInfo* ACategory, const QString& AText, const QString& AFavoriteCode) {
    auto* item = new QTreeWidgetItem(codeTree, QStringList{AText});
    if (!AFavoriteCode.isEmpty()) item->setData(0, FavoriteCodeRole, AFavoriteCode);
    FCategories.push_back(ACategory);
}

void TCodeTreePanel::ShowCount() {
    codeCountLabel->setText(QString::number(codeTree->topLevelItemCount()));
}

int TCodeTreePanel::Count() const {
    return codeTree->topLevelItemCount();
}

int TCodeTreePanel::CurrentRow() const {
    QTreeWidgetItem* item = codeTree->currentItem();
    return item != nullptr ? codeTree->indexOfTopLevelItem(item) : -1;
}

TCodeInfo* TCodeTreePanel::CategoryAt(int ARow) const {
    return ARow >= 0 && ARow < static_cast<int>(FCategories.size()) ? FCategories[static_cast<std::size_t>(ARow)]
                                                                    : nullptr;
}

QString TCodeTreePanel::FavoriteCodeAt(int ARow) const {
    QTreeWidgetItem* item = codeTree->topLevelItem(ARow);
    return item != nullptr ? item->data(0, FavoriteCodeRole).toString() : QString();
}

QString TCodeTreePanel::CurrentCode() const {
    const int row = CurrentRow();
    if (row < 0) return {};
    const QString favorite = FavoriteCodeAt(row);
    if (!favorite.isEmpty()) return favorite;
    const TCodeInfo* category = CategoryAt(row);
    return category != nullptr ? QString::fromStdString(category->FCode) : QString();
}

void TCodeTreePanel::SetCurrentRow(int ARow, bool ATakenAsShown) {
    QTreeWidgetItem* item = codeTree->topLevelItem(ARow);
    if (item == nullptr) return;
    if (ATakenAsShown) FShownRow = ARow;
    codeTree->setCurrentItem(item);
    codeTree->scrollToItem(item);
}

void TCodeTreePanel::SelectNodeOf(const TCodeInfo* ACategory) {
    for (std::size_t row = 0; row < FCategories.size(); ++row)
        if (FCategories[row] == ACategory) {
            SetCurrentRow(static_cast<int>(row), true);
            return;
        }
}

void TCodeTreePanel::OpenCurrentNode() {
    const int row = CurrentRow();
    if (row < 0 || row == FShownRow) return;
    FShownRow = row;
    emit nodeChosen(row);
}
