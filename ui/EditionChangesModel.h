// The changes between two editions as a table for the What Changed window: TEditionChangesModel
// holds them in four columns (kind, code, old title, new title), TEditionChangesFilter shows the
// rows of one kind whose code or titles contain a text.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <optional>
#include <vector>

#include "editions/EditionDiff.h"

// How the window names a kind: "Code added", "Category deleted", ...
QString ChangeKindCaption(TChangeKind AKind);

class TEditionChangesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { KindColumn, CodeColumn, OldTitleColumn, NewTitleColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void SetChanges(std::vector<TEditionChange> AChanges);
    const TEditionChange& Change(int ARow) const { return FChanges.at(static_cast<std::size_t>(ARow)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<TEditionChange> FChanges;
};

class TEditionChangesFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    // Only changes of AKind; nullopt shows every kind.
    void SetKind(std::optional<TChangeKind> AKind);
    // Only changes whose code (with or without its dot) or old or new title contains AText, in any
    // case; an empty text shows them all.
    void SetText(const QString& AText);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::optional<TChangeKind> FKind;
    QString FText;
};
