#include "ui/EditionChangesModel.h"

QString ChangeKindCaption(TChangeKind AKind) {
    switch (AKind) {
        case TChangeKind::CategoryAdded:
            return QStringLiteral("Category added");
        case TChangeKind::CategoryDeleted:
            return QStringLiteral("Category deleted");
        case TChangeKind::Added:
            return QStringLiteral("Code added");
        case TChangeKind::Deleted:
            return QStringLiteral("Code deleted");
        case TChangeKind::Revised:
            return QStringLiteral("Code revised");
    }
    return {};
}

void TEditionChangesModel::SetChanges(std::vector<TEditionChange> AChanges) {
    beginResetModel();
    FChanges = std::move(AChanges);
    endResetModel();
}

int TEditionChangesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FChanges.size());
}

int TEditionChangesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TEditionChangesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TEditionChange& change = Change(index.row());
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
        case KindColumn:
            return ChangeKindCaption(change.Kind);
        case CodeColumn:
            return QString::fromStdString(change.Code);
        case OldTitleColumn:
            return QString::fromStdString(change.OldTitle);
        case NewTitleColumn:
            return QString::fromStdString(change.NewTitle);
        default:
            return {};
    }
}

QVariant TEditionChangesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case KindColumn:
            return QStringLiteral("Change");
        case CodeColumn:
            return QStringLiteral("Code");
        case OldTitleColumn:
            return QStringLiteral("Old title");
        case NewTitleColumn:
            return QStringLiteral("New title");
        default:
            return {};
    }
}

void TEditionChangesFilter::SetKind(std::optional<TChangeKind> AKind) {
    FKind = AKind;
    invalidateRowsFilter();
}

void TEditionChangesFilter::SetText(const QString& AText) {
    FText = AText.trimmed();
    invalidateRowsFilter();
}

bool TEditionChangesFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* changes = qobject_cast<const TEditionChangesModel*>(sourceModel());
    if (changes == nullptr || sourceParent.isValid()) return false;
    const TEditionChange& change = changes->Change(sourceRow);
    if (FKind && change.Kind != *FKind) return false;
    if (FText.isEmpty()) return true;
    const QString code = QString::fromStdString(change.Code);
    QString undotted = code;
    undotted.remove(QLatin1Char('.'));
    for (const QString& text :
         {code, undotted, QString::fromStdString(change.OldTitle), QString::fromStdString(change.NewTitle)})
        if (text.contains(FText, Qt::CaseInsensitive)) return true;
    return false;
}
