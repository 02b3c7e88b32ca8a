// The path above a nested level of the index and table windows: the terms from the main term down
// to the level's own, each under the one above it, the deepest in view. The window hides the panel
// at a main level.
#pragma once

#include <QWidget>
#include <vector>

class QTreeWidget;
class TTerm;

class TTermPathPanel : public QWidget {
    Q_OBJECT
public:
    explicit TTermPathPanel(QWidget* AParent);

    // APath from the main term down.
    void ShowPath(const std::vector<const TTerm*>& APath);
    QTreeWidget* Tree() const { return pathTree; }

private:
    QTreeWidget* pathTree;
};
