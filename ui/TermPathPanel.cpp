#include "ui/TermPathPanel.h"

#include <QTreeWidget>
#include <QVBoxLayout>

#include "index/IndexModel.h"
#include "ui/PanelStyle.h"
#include "ui/UiStyle.h"

namespace {
constexpr int PanelHeight = 94;
constexpr int TreeFontPixels = 14;
}  // namespace

TTermPathPanel::TTermPathPanel(QWidget* AParent) : QWidget(AParent) {
    setObjectName(QStringLiteral("pathPanel"));
    setFixedHeight(PanelHeight);
    pathTree = Named(new QTreeWidget(this), "pathTree");
    pathTree->setAccessibleName(QStringLiteral("Terms above this level"));
    pathTree->setHeaderHidden(true);
    pathTree->setColumnCount(1);
    pathTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pathTree->setFont(CourierFont(TreeFontPixels));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pathTree);
}

void TTermPathPanel::ShowPath(const std::vector<const TTerm*>& APath) {
    pathTree->clear();
    QTreeWidgetItem* node = nullptr;
    for (const TTerm* term : APath) {
        const QString text = QString::fromStdString(term->GetFullTitle(true));
        node = node == nullptr ? new QTreeWidgetItem(pathTree, QStringList(text))
                               : new QTreeWidgetItem(node, QStringList(text));
    }
    pathTree->expandAll();
    if (node != nullptr) pathTree->scrollToItem(node);
}
