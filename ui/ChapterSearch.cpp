#include "ui/ChapterSearch.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/TabularData.h"
#include "services/DataSets.h"
#include "services/Messages.h"
#include "services/TextUtil.h"
#include "ui/DataSetSignals.h"
#include "ui/KeywordSearch.h"
#include "ui/UiStyle.h"
#include "userdata/Config.h"

namespace {

constexpr int ClientWidth = 1157;
constexpr int ClientHeight = 681;
constexpr int TitleHeight = 50;
constexpr int ImageSize = 16;

// Item data roles: the object's address and its kind (1 chapter, 2 section, 3 category).
constexpr int ObjectRole = Qt::UserRole;
constexpr int KindRole = Qt::UserRole + 1;

QTreeWidgetItem* MakeNode(const QString& text, const void* object, int kind, const std::array<QPixmap, 6>& images) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, ObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(object)));
    item->setData(0, KindRole, kind);
    // Level 1..3 uses image 0..2, and 3..5 while selected.
    QIcon icon;
    icon.addPixmap(images[static_cast<std::size_t>(kind - 1)], QIcon::Normal);
    icon.addPixmap(images[static_cast<std::size_t>(kind + 2)], QIcon::Selected);
    item->setIcon(0, icon);
    return item;
}

}  // namespace

QString PadRight(const std::string& AValue, int AWidth) {
    QString text = QString::fromUtf8(AValue.data(), static_cast<qsizetype>(AValue.size()));
    const int length = static_cast<int>(Utf8Length(AValue));
    if (length < AWidth) text += QString(AWidth - length, QLatin1Char(' '));
    return text;
}

QString ChapterNodeText(const TChapter& AChapter) {
    return PadRight(AChapter.FInfo.FScope, 12) + QString::fromStdString(AChapter.FInfo.FName);
}

QString SectionNodeText(const TSubChapter& ASection) {
    return PadRight(ASection.FInfo.FScope, 10) + QString::fromStdString(ASection.FInfo.FName);
}

QString CategoryNodeText(const TCodeInfo& ACategory) {
    return PadRight(ACategory.FCode, 8) + QString::fromStdString(ACategory.FDesc);
}

int InitTypeFor(const TTabularObject& AObject) {
    if (std::holds_alternative<TChapter*>(AObject)) return 1;
    if (std::holds_alternative<TSubChapter*>(AObject)) return 2;
    return 3;
}

bool DoubleClickOpens(bool AHasObject, bool AHasChildren, bool AAllowAutoColExp) {
    if (!AHasObject) return false;
    // An allowed request on a node with children means the double-click toggled it instead.
    return !(AAllowAutoColExp && AHasChildren);
}

QPixmap DrawNodeImage(int AIndex) {
    QPixmap pixmap(ImageSize, ImageSize);
    pixmap.fill(Qt::transparent);
    if (AIndex < 0 || AIndex > 5) return pixmap;
    const bool selected = AIndex >= 3;
    const int level = AIndex % 3;
    // Half the width of the outer diamond: 7, 5 and 4 pixels for chapter, section and category.
    static constexpr double OuterRadius[3] = {7.5, 5.5, 4.0};
    const double outer = OuterRadius[level];
    const double inner = outer * 0.45;
    const QColor edge = selected ? QColor(200, 0, 40) : QColor(0, 0, 0);
    const QColor heart = selected ? QColor(255, 150, 190) : QColor(90, 90, 90);
    const QPointF centre(ImageSize / 2.0, ImageSize / 2.0);

    auto diamond = [&](double radius) {
        QPainterPath path;
        path.moveTo(centre.x(), centre.y() - radius);
        path.lineTo(centre.x() + radius, centre.y());
        path.lineTo(centre.x(), centre.y() + radius);
        path.lineTo(centre.x() - radius, centre.y());
        path.closeSubpath();
        return path;
    };
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(edge);
    painter.drawPath(diamond(outer));
    painter.setBrush(heart);
    painter.drawPath(diamond(inner));
    // Chapter and section ornaments carry a small centre point of the edge colour.
    if (level < 2) {
        painter.setBrush(edge);
        painter.drawEllipse(centre, outer * 0.15, outer * 0.15);
    }
    painter.end();
    return pixmap;
}

TfrmChapterSearch::TfrmChapterSearch(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmChapterSearch"));
    SetUpSearchWindowFrame(this, ClientWidth, ClientHeight, /*sizeable=*/true);

    for (int index = 0; index < 6; ++index) ImageList1[static_cast<std::size_t>(index)] = DrawNodeImage(index);

    Panel1 = new QLabel(QStringLiteral("Chapter Search"), this);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFont(TahomaFont(29));
    Panel1->setFixedHeight(TitleHeight);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setFont(CourierFont(16));
    TreeView1->setIconSize(QSize(ImageSize, ImageSize));
    TreeView1->setUniformRowHeights(true);
    TreeView1->setTextElideMode(Qt::ElideNone);
    TreeView1->setExpandsOnDoubleClick(false);  // the double-click rule below decides
    TreeView1->setAnimated(false);
    TreeView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    TreeView1->header()->setStretchLastSection(false);
    TreeView1->header()->setSectionResizeMode(QHeaderView::Fixed);
    TreeView1->viewport()->setMouseTracking(true);
    TreeView1->installEventFilter(this);
    TreeView1->viewport()->installEventFilter(this);
    connect(TreeView1, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { ItemToggled(item, true); });
    connect(TreeView1, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { ItemToggled(item, false); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(TreeView1, 1);
}

TfrmChapterSearch::~TfrmChapterSearch() = default;

void TfrmChapterSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // FormShow: the sky-blue title band, and the tree on the first showing.
    Panel1->setAutoFillBackground(true);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, SkyBlue);
    Panel1->setPalette(palette);
    if (FInitFlag == 0) BuildChapterTree();
}

void TfrmChapterSearch::BuildChapterTree() {
    if (FTreeRequested) return;
    FTreeRequested = true;
    WhenDataSetSettled(this, TDataSet::Tabular, [this](TLoadState) { FillChapterTree(); });
}

void TfrmChapterSearch::FillChapterTree() {
    TreeView1->clear();
    QList<QTreeWidgetItem*> chapters;
    chapters.reserve(static_cast<qsizetype>(ChapterList.size()));
    for (const auto& chapter : ChapterList) {
        QTreeWidgetItem* chapterNode = MakeNode(ChapterNodeText(*chapter), chapter.get(), 1, ImageList1);
        for (const auto& section : chapter->FSubList) {
            QTreeWidgetItem* sectionNode = MakeNode(SectionNodeText(*section), section.get(), 2, ImageList1);
            for (const auto& category : section->FCodeList)
                sectionNode->addChild(MakeNode(CategoryNodeText(*category), category.get(), 3, ImageList1));
            chapterNode->addChild(sectionNode);
        }
        chapters.append(chapterNode);
    }
    TreeView1->addTopLevelItems(chapters);

    FInitFlag = 1;
    UpdateColumnWidth();
}

void TfrmChapterSearch::UpdateColumnWidth() {
    if (FInitFlag != 1) return;
    // As wide as the rows shown need (the view measures its expanded rows only): rows hidden in a
    // collapsed node never make the tree scroll sideways.
    TreeView1->resizeColumnToContents(0);
    FContentWidth = TreeView1->columnWidth(0);
    TreeView1->setColumnWidth(0, std::max(FContentWidth, TreeView1->viewport()->width()));
}

TTabularObject TfrmChapterSearch::NodeObject(const QTreeWidgetItem* AItem) {
    if (AItem == nullptr) return std::monostate{};
    auto* address = reinterpret_cast<void*>(AItem->data(0, ObjectRole).value<quintptr>());
    if (address == nullptr) return std::monostate{};
    switch (AItem->data(0, KindRole).toInt()) {
        case 1:
            return static_cast<TChapter*>(address);
        case 2:
            return static_cast<TSubChapter*>(address);
        case 3:
            return static_cast<TCodeInfo*>(address);
        default:
            return std::monostate{};
    }
}

QRect TfrmChapterSearch::NodeLabelRect(QTreeWidgetItem* AItem) const {
    if (AItem == nullptr) return {};
    const QRect cell = TreeView1->visualItemRect(AItem);
    if (!cell.isValid()) return {};
    QStyleOptionViewItem option;
    option.initFrom(TreeView1->viewport());
    option.rect = cell;
    option.font = TreeView1->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.decorationSize = TreeView1->iconSize();
    option.decorationPosition = QStyleOptionViewItem::Left;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.text = AItem->text(0);
    option.icon = AItem->icon(0);
    option.widget = TreeView1;
    QRect text = TreeView1->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, TreeView1);
    // The style gives the text the rest of the cell; the label ends where its characters end.
    const int margin = TreeView1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, TreeView1) + 1;
    text.setWidth(std::min(text.width(), option.fontMetrics.horizontalAdvance(option.text) + 2 * margin));
    return text.intersected(cell);
}

bool TfrmChapterSearch::TreeView1Expanding(QTreeWidgetItem* AItem, const QPoint& APointer) {
    FAllowAutoColExp = true;
    if (AItem != nullptr && AItem->childCount() > 0 && NodeLabelRect(AItem).contains(APointer))
        FAllowAutoColExp = false;
    return FAllowAutoColExp;
}

bool TfrmChapterSearch::TreeView1Collapsing(QTreeWidgetItem* AItem, const QPoint& APointer) {
    return TreeView1Expanding(AItem, APointer);
}

// The tree has already changed the node when it reports the change; a refused request is undone at once.
void TfrmChapterSearch::ItemToggled(QTreeWidgetItem* AItem, bool AExpanded) {
    if (FRevertingToggle) return;
    const bool allowed = AExpanded ? TreeView1Expanding(AItem, FPointer) : TreeView1Collapsing(AItem, FPointer);
    if (!allowed) {
        FRevertingToggle = true;
        AItem->setExpanded(!AExpanded);
        FRevertingToggle = false;
    }
    UpdateColumnWidth();
}

void TfrmChapterSearch::ViewportDoubleClick(const QPoint& APosition) {
    QTreeWidgetItem* item = TreeView1->itemAt(APosition);
    if (item == nullptr) return;  // below the last node: nothing is hit
    // The node hit becomes the selected node, which the double-click rule then acts on.
    TreeView1->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
    if (item->childCount() > 0) {
        if (APosition.x() < TreeView1->visualItemRect(item).left()) {
            // The indentation with the expand button: the press of this double-click toggled the node already.
            FAllowAutoColExp = true;
        } else {
            const bool expanded = item->isExpanded();
            const bool allowed = expanded ? TreeView1Collapsing(item, APosition) : TreeView1Expanding(item, APosition);
            if (allowed) {
                FRevertingToggle = true;
                item->setExpanded(!expanded);
                FRevertingToggle = false;
                UpdateColumnWidth();
            }
        }
    }
    TreeView1DblClick();
}

void TfrmChapterSearch::TreeView1DblClick() {
    QTreeWidgetItem* item = TreeView1->currentItem();
    if (item == nullptr || !item->isSelected()) return;
    const TTabularObject object = NodeObject(item);
    if (!DoubleClickOpens(!IsEmptyObject(object), item->childCount() > 0, FAllowAutoColExp)) return;
    OpenInTabularSearch(object);
}

void TfrmChapterSearch::OpenInTabularSearch(const TTabularObject& AObject) {
    if (IsEmptyObject(AObject)) return;
    int result = 0;
    {
        TfrmKeyWordSearch window(this);
        window.FInitObject = AObject;
        window.FInitType = InitTypeFor(AObject);
        result = window.exec();
    }
    if (result == 3) done(3);
}

void TfrmChapterSearch::ConfirmQuit() {
    if (AskQuitProgram()) done(3);
}

bool TfrmChapterSearch::HandleKey(int key) {
    switch (key) {
        case Qt::Key_Escape:
            done(2);
            return true;
        case Qt::Key_F12:
            ConfirmQuit();
            return true;
        default:
            return false;
    }
}

void TfrmChapterSearch::keyPressEvent(QKeyEvent* event) {
    if (HandleKey(event->key())) return;
    QDialog::keyPressEvent(event);
}

bool TfrmChapterSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter opens the current chapter, section or category as a double-click on its label does.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (QTreeWidgetItem* item = TreeView1->currentItem()) OpenInTabularSearch(NodeObject(item));
            return true;
        }
        return HandleKey(key);
    }
    if (watched == TreeView1->viewport()) {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
                FPointer = static_cast<QMouseEvent*>(event)->position().toPoint();
                break;
            case QEvent::MouseButtonDblClick: {
                auto* mouse = static_cast<QMouseEvent*>(event);
                FPointer = mouse->position().toPoint();
                if (mouse->button() == Qt::LeftButton) ViewportDoubleClick(FPointer);
                return true;
            }
            case QEvent::Leave:
                FPointer = QPoint(-1, -1);
                break;
            case QEvent::ToolTip:
                return true;  // the tree shows no tool tips
            case QEvent::Resize:
                UpdateColumnWidth();
                break;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmChapterSearch::reject() {
    done(2);
}
