// The left column of the Tabular Search window: what the list holds ("Search", "Code",
// "Favorite") and how many, over the list of categories found or opened (in favourite mode, the
// whole codes of the unlocked favourite list). The node shown is remembered, so that making it
// current again (a click, a key released in the list) does not open it twice.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class TCodeInfo;
class QLabel;
class QTreeWidget;

class TCodeTreePanel : public QWidget {
    Q_OBJECT
public:
    explicit TCodeTreePanel(QWidget* AParent = nullptr);

    void SetListKind(const QString& AKind);
    QString ListKind() const;
    // Favourite mode lists whole codes: the column gets as wide as the longest code with its
    // blank; otherwise it has its designed width.
    void SetWholeCodes(bool AWholeCodes);

    // Empties the list; the count shown stays as it was until ShowCount.
    void Clear();
    // Adds a node for a category (null: a listed code the Tabular List does not hold, which opens
    // nothing); AFavoriteCode: the code a favourite node stands for.
    void AddNode(TCodeInfo* ACategory, const QString& AText, const QString& AFavoriteCode = {});
    // Shows how many nodes the list holds.
    void ShowCount();
    int Count() const;
    int CurrentRow() const;  // -1 when none
    TCodeInfo* CategoryAt(int ARow) const;
    QString FavoriteCodeAt(int ARow) const;
    // The code of the current node without the blank of its text ("E11.9", "A00"); empty when none.
    QString CurrentCode() const;
    // Makes a node current without opening it; ATakenAsShown: as the node already shown.
    void SetCurrentRow(int ARow, bool ATakenAsShown = false);
    // Makes the node of ACategory current as the node already shown, when the list holds it.
    void SelectNodeOf(const TCodeInfo* ACategory);
    // Opens the current node (nodeChosen) unless it is the one shown.
    void OpenCurrentNode();

    // The list itself, for the window's key handling and the favourites' context menu.
    QTreeWidget* CodeList() const { return codeTree; }

signals:
    // A node was chosen: its category and, for a favourite node, the code it stands for.
    void nodeChosen(int ARow);

private:
    QLabel* listKindLabel;
    QLabel* listLabel;
    QLabel* codeCountLabel;
    QTreeWidget* codeTree;
    // The category of each node, by row.
    std::vector<TCodeInfo*> FCategories;
    int FShownRow = -1;
};
