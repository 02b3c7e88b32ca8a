#include "ui/TermListModel.h"

#include "index/AlphaSearchLogic.h"
#include "index/TableSearchLogic.h"

namespace {

constexpr int IndexMarkerColumn = 0;
constexpr int IndexCodeColumn = 2;
constexpr int IndexColumnCount = 3;

}  // namespace

TTermListModel::TTermListModel(TShape AShape, QObject* parent) : QAbstractTableModel(parent), FShape(AShape) {}

void TTermListModel::SetHeadings(const QStringList& AHeadings) {
    beginResetModel();
    FHeadings = AHeadings;
    endResetModel();
}

void TTermListModel::SetTerms(std::span<TTerm* const> ATerms) {
    beginResetModel();
    FTerms.assign(ATerms.begin(), ATerms.end());
    endResetModel();
}

TTerm* TTermListModel::TermAt(int ARow) const {
    const int position = ARow - FirstTermRow();
    if (position < 0 || position >= static_cast<int>(FTerms.size())) return nullptr;
    return FTerms[static_cast<std::size_t>(position)];
}

int TTermListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(FTerms.size()) + FirstTermRow();
}

int TTermListModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return FShape == TShape::TableGrid ? TableColumnCount : IndexColumnCount;
}

QString TTermListModel::CellText(const TTerm& ATerm, int AColumn) const {
    if (FShape == TShape::TableGrid)
        return QString::fromStdString(TableRowTexts(ATerm)[static_cast<std::size_t>(AColumn)]);
    switch (AColumn) {
        case IndexMarkerColumn:
            return QString::fromStdString(AlphaMarker(ATerm));
        case IndexCodeColumn:
            return QString::fromStdString(ATerm.FCode);
        default:
            return QString::fromStdString(ATerm.GetFullTitle(true));
    }
}

QVariant TTermListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const TTerm* term = TermAt(index.row());
    if (term == nullptr) {
        // The heading row of a table grid.
        if (role == Qt::DisplayRole && index.column() < FHeadings.size()) return FHeadings[index.column()];
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return CellText(*term, index.column());
        case Qt::ForegroundRole:
            if (FShape == TShape::IndexList) return index.column() == IndexCodeColumn ? FCodeBrush : QBrush(Qt::black);
            return {};
        case Qt::SizeHintRole:
            if (FShape == TShape::IndexList && FRowHeight > 0) return QSize(0, FRowHeight);
            return {};
        default:
            return {};
    }
}

QVariant TTermListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (FShape == TShape::IndexList && orientation == Qt::Horizontal && role == Qt::DisplayRole &&
        section < FHeadings.size())
        return FHeadings[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TTermListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
