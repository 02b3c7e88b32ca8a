// TTermListModel: the rows one page of the index and table windows shows, over the terms of the
// index library (not owned; the data sets outlive every window). An index list has three columns
// (the "+" marker, the title, the code); a table grid has eight (marker, title, six code cells) and
// its heading texts as row 0 above the terms. A window asks TermAt for the term of a row, so no
// item carries a pointer.
#pragma once

#include <QAbstractTableModel>
#include <QBrush>
#include <QStringList>
#include <span>
#include <vector>

#include "index/IndexModel.h"

class TTermListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class TShape { IndexList, TableGrid };

    TTermListModel(TShape AShape, QObject* parent);

    // Index list: the column captions of the view's header. Table grid: the texts of row 0.
    void SetHeadings(const QStringList& AHeadings);
    // The terms of the page shown, in order.
    void SetTerms(std::span<TTerm* const> ATerms);
    // Index list: the colour of the code column and the height of every row.
    void SetCodeBrush(const QBrush& ABrush) { FCodeBrush = ABrush; }
    void SetRowHeight(int AHeight) { FRowHeight = AHeight; }

    // The term shown in a row; null for the heading row or a row that is not there.
    TTerm* TermAt(int ARow) const;
    // Rows above the terms: 1 for a table grid (its heading row), else 0.
    int FirstTermRow() const { return FShape == TShape::TableGrid ? 1 : 0; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString CellText(const TTerm& ATerm, int AColumn) const;

    TShape FShape;
    QStringList FHeadings;
    std::vector<TTerm*> FTerms;
    QBrush FCodeBrush;
    int FRowHeight = 0;
};
