#include "ui/ChapterSearch.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
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
#include "startup/LoadedData.h"
#include "ui/DataSetSignals.h"
#include "ui/KeywordSearch.h"
#include "ui/UiStyle.h"
#include "userdata/Config.h"

namespace {

constexpr int ClientWidth = 1157;
constexpr int ClientHeight = 681;
constexpr int TitleHeight = 50;
constexpr int ImageSize = 16;

constexpr std::array<TWindowKey, 3> ChapterKeys{{
    {"closeAction", "Esc", "closes the chapter browser"},
    {"quitAction", "F12", "asks whether to quit the program"},
    {"openNodeAction", "Return; Enter", "opens the current chapter, section or category in the Tabular Search window"},
}};

// Item data: where the node's object stands in the Tabular List, as chapter, section and category
// indexes (-1 below the node's level), and which load of the list the node was made from. The
// object is looked up through the list when it is needed, so no node holds an address into it, and
// a node of an earlier load (another edition since) finds none.
constexpr int ChapterRole = Qt::UserRole;
constexpr int SectionRole = Qt::UserRole + 1;
constexpr int CategoryRole = Qt::UserRole + 2;
constexpr int LoadRole = Qt::UserRole + 3;

struct TNodePlace {
    int Chapter = -1;
    int Section = -1;
    int Category = -1;
};

QTreeWidgetItem* MakeNode(const QString& text, const TNodePlace& place, const std::array<QPixmap, 6>& images) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, ChapterRole, place.Chapter);
    item->setData(0, SectionRole, place.Section);
    item->setData(0, CategoryRole, place.Category);
    item->setData(0, LoadRole, QVariant::fromValue<quint64>(LoadedData().Tabular.LoadCount.load()));
    // Level 1..3 uses image 0..2, and 3..5 while selected.
    const std::size_t level = place.Category >= 0 ? 3 : place.Section >= 0 ? 2 : 1;
    QIcon icon;
    icon.addPixmap(images[level - 1], QIcon::Normal);
    icon.addPixmap(images[level + 2], QIcon::Selected);
    item->setIcon(0, icon);
    return item;
}

// The element at AIndex of a list of owned objects, or null when there is none.
template <class TList>
auto ElementAt(const TList& AList, const QVariant& AIndex) -> decltype(AList.front().get()) {
    bool valid = false;
    const int index = AIndex.toInt(&valid);
    if (!valid || index < 0 || static_cast<std::size_t>(index) >= AList.size()) return nullptr;
    return AList[static_cast<std::size_t>(index)].get();
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

TTabularOpening InitTypeFor(const TTabularObject& AObject) {
    if (std::holds_alternative<TChapter*>(AObject)) return TTabularOpening::Chapter;
    if (std::holds_alternative<TSubChapter*>(AObject)) return TTabularOpening::Section;
    return TTabularOpening::Code;
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

    for (int index = 0; index < 6; ++index) FNodeImages[static_cast<std::size_t>(index)] = DrawNodeImage(index);

    titleLabel = new QLabel(QStringLiteral("Chapter Search"), this);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setFont(TahomaFont(29));
    titleLabel->setFixedHeight(TitleHeight);

    chapterTree = new QTreeWidget(this);
    chapterTree->setObjectName(QStringLiteral("chapterTree"));
    chapterTree->setAccessibleName(QStringLiteral("Chapters, sections and categories"));
    chapterTree->setHeaderHidden(true);
    chapterTree->setColumnCount(1);
    chapterTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    chapterTree->setFont(CourierFont(16));
    chapterTree->setIconSize(QSize(ImageSize, ImageSize));
    chapterTree->setUniformRowHeights(true);
    chapterTree->setTextElideMode(Qt::ElideNone);
    chapterTree->setExpandsOnDoubleClick(false);  // the double-click rule below decides
    chapterTree->setAnimated(false);
    chapterTree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    chapterTree->header()->setStretchLastSection(false);
    chapterTree->header()->setSectionResizeMode(QHeaderView::Fixed);
    chapterTree->viewport()->setMouseTracking(true);
    chapterTree->viewport()->installEventFilter(this);
    connect(chapterTree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { ItemToggled(item, true); });
    connect(chapterTree, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { ItemToggled(item, false); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(titleLabel);
    layout->addWidget(chapterTree, 1);

    const QHash<QString, QAction*> actions = AddWindowActions(this, KeyTable());
    connect(actions.value(QStringLiteral("closeAction")), &QAction::triggered, this, [this] { done(2); });
    connect(actions.value(QStringLiteral("quitAction")), &QAction::triggered, this, &TfrmChapterSearch::ConfirmQuit);
    connect(actions.value(QStringLiteral("openNodeAction")), &QAction::triggered, this, [this] {
        if (QTreeWidgetItem* item = chapterTree->currentItem()) OpenInTabularSearch(NodeObject(item));
    });
}

std::span<const TWindowKey> TfrmChapterSearch::KeyTable() {
    return ChapterKeys;
}

TfrmChapterSearch::~TfrmChapterSearch() = default;

void TfrmChapterSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // FormShow: the sky-blue title band, and the tree on the first showing.
    titleLabel->setAutoFillBackground(true);
    QPalette palette = titleLabel->palette();
    palette.setColor(QPalette::Window, SkyBlue);
    titleLabel->setPalette(palette);
    if (FInitFlag == 0) BuildChapterTree();
}

void TfrmChapterSearch::BuildChapterTree() {
    if (FTreeRequested) return;
    FTreeRequested = true;
    WhenDataSetSettled(this, TDataSet::Tabular, [this](TLoadState) { FillChapterTree(); });
}

void TfrmChapterSearch::FillChapterTree() {
    chapterTree->clear();
    QList<QTreeWidgetItem*> chapters;
    chapters.reserve(static_cast<qsizetype>(LoadedData().Tabular.Chapters.size()));
    for (int c = 0; c < static_cast<int>(LoadedData().Tabular.Chapters.size()); ++c) {
        const TChapter& chapter = *LoadedData().Tabular.Chapters[static_cast<std::size_t>(c)];
        QTreeWidgetItem* chapterNode = MakeNode(ChapterNodeText(chapter), {c}, FNodeImages);
        for (int s = 0; s < static_cast<int>(chapter.FSubList.size()); ++s) {
            const TSubChapter& section = *chapter.FSubList[static_cast<std::size_t>(s)];
            QTreeWidgetItem* sectionNode = MakeNode(SectionNodeText(section), {c, s}, FNodeImages);
            for (int k = 0; k < static_cast<int>(section.FCodeList.size()); ++k)
                sectionNode->addChild(MakeNode(CategoryNodeText(*section.FCodeList[static_cast<std::size_t>(k)]),
                                               {c, s, k}, FNodeImages));
            chapterNode->addChild(sectionNode);
        }
        chapters.append(chapterNode);
    }
    chapterTree->addTopLevelItems(chapters);

    FInitFlag = 1;
    UpdateColumnWidth();
}

void TfrmChapterSearch::UpdateColumnWidth() {
    if (FInitFlag != 1) return;
    // As wide as the rows shown need (the view measures its expanded rows only): rows hidden in a
    // collapsed node never make the tree scroll sideways.
    chapterTree->resizeColumnToContents(0);
    FContentWidth = chapterTree->columnWidth(0);
    chapterTree->setColumnWidth(0, std::max(FContentWidth, chapterTree->viewport()->width()));
}

TTabularObject TfrmChapterSearch::NodeObject(const QTreeWidgetItem* AItem) {
    if (AItem == nullptr || AItem->data(0, LoadRole).value<quint64>() != LoadedData().Tabular.LoadCount.load())
        return std::monostate{};
    TChapter* chapter = ElementAt(LoadedData().Tabular.Chapters, AItem->data(0, ChapterRole));
    if (chapter == nullptr) return std::monostate{};
    if (AItem->data(0, SectionRole).toInt() < 0) return chapter;
    TSubChapter* section = ElementAt(chapter->FSubList, AItem->data(0, SectionRole));
    if (section == nullptr) return std::monostate{};
    if (AItem->data(0, CategoryRole).toInt() < 0) return section;
    TCodeInfo* category = ElementAt(section->FCodeList, AItem->data(0, CategoryRole));
    if (category == nullptr) return std::monostate{};
    return category;
}

QRect TfrmChapterSearch::NodeLabelRect(QTreeWidgetItem* AItem) const {
    if (AItem == nullptr) return {};
    const QRect cell = chapterTree->visualItemRect(AItem);
    if (!cell.isValid()) return {};
    QStyleOptionViewItem option;
    option.initFrom(chapterTree->viewport());
    option.rect = cell;
    option.font = chapterTree->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.decorationSize = chapterTree->iconSize();
    option.decorationPosition = QStyleOptionViewItem::Left;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.text = AItem->text(0);
    option.icon = AItem->icon(0);
    option.widget = chapterTree;
    QRect text = chapterTree->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, chapterTree);
    // The style gives the text the rest of the cell; the label ends where its characters end.
    const int margin = chapterTree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, chapterTree) + 1;
    text.setWidth(std::min(text.width(), option.fontMetrics.horizontalAdvance(option.text) + 2 * margin));
    return text.intersected(cell);
}

bool TfrmChapterSearch::NodeExpanding(QTreeWidgetItem* AItem, const QPoint& APointer) {
    FAllowAutoColExp = true;
    if (AItem != nullptr && AItem->childCount() > 0 && NodeLabelRect(AItem).contains(APointer))
        FAllowAutoColExp = false;
    return FAllowAutoColExp;
}

bool TfrmChapterSearch::NodeCollapsing(QTreeWidgetItem* AItem, const QPoint& APointer) {
    return NodeExpanding(AItem, APointer);
}

// The tree has already changed the node when it reports the change; a refused request is undone at once.
void TfrmChapterSearch::ItemToggled(QTreeWidgetItem* AItem, bool AExpanded) {
    if (FRevertingToggle) return;
    const bool allowed = AExpanded ? NodeExpanding(AItem, FPointer) : NodeCollapsing(AItem, FPointer);
    if (!allowed) {
        FRevertingToggle = true;
        AItem->setExpanded(!AExpanded);
        FRevertingToggle = false;
    }
    UpdateColumnWidth();
}

void TfrmChapterSearch::ViewportDoubleClick(const QPoint& APosition) {
    QTreeWidgetItem* item = chapterTree->itemAt(APosition);
    if (item == nullptr) return;  // below the last node: nothing is hit
    // The node hit becomes the selected node, which the double-click rule then acts on.
    chapterTree->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
    if (item->childCount() > 0) {
        if (APosition.x() < chapterTree->visualItemRect(item).left()) {
            // The indentation with the expand button: the press of this double-click toggled the node already.
            FAllowAutoColExp = true;
        } else {
            const bool expanded = item->isExpanded();
            const bool allowed = expanded ? NodeCollapsing(item, APosition) : NodeExpanding(item, APosition);
            if (allowed) {
                FRevertingToggle = true;
                item->setExpanded(!expanded);
                FRevertingToggle = false;
                UpdateColumnWidth();
            }
        }
    }
    OpenSelectedNode();
}

void TfrmChapterSearch::OpenSelectedNode() {
    QTreeWidgetItem* item = chapterTree->currentItem();
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

bool TfrmChapterSearch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == chapterTree->viewport()) {
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
