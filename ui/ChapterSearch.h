// TfrmChapterSearch: the chapter browser. The Tabular List as a three-level tree (chapters, their
// sections, the categories of each section) with padded scope and code columns in a fixed-pitch
// font. A double-click on a node's label opens its object in the Tabular Search window; beside the
// label of a node with children it expands or collapses the node instead.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "model/GlobalDef.h"
#include "render/CodeTextPager.h"
#include "ui/WindowActions.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
enum class TTabularOpening;

// Node texts: the value padded on the right with blanks to AWidth characters (a longer value is
// kept whole, no separator added), then the title. Widths count characters, not bytes.
QString PadRight(const std::string& AValue, int AWidth);
QString ChapterNodeText(const TChapter& AChapter);     // scope to 12, then the name
QString SectionNodeText(const TSubChapter& ASection);  // scope to 10, then the name
QString CategoryNodeText(const TCodeInfo& ACategory);  // code to 8, then the description

// The Tabular Search window's opening mode for an object of the tree: a chapter, a section, a
// code for anything else.
TTabularOpening InitTypeFor(const TTabularObject& AObject);

// Whether a double-click opens the selected node: it needs an object, and a node with children
// opens only when the expand or collapse request of that double-click was refused (the pointer
// was on the label).
bool DoubleClickOpens(bool AHasObject, bool AHasChildren, bool AAllowAutoColExp);

// The six 16 x 16 node images: 0, 1, 2 black ornaments of decreasing size for chapter, section and
// category; 3, 4, 5 the same in pink and red tones for the selected node.
QPixmap DrawNodeImage(int AIndex);

class TfrmChapterSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfrmChapterSearch(QWidget* parent = nullptr);
    ~TfrmChapterSearch() override;

    // The keys of the browser: close, quit, open the current node.
    static std::span<const TWindowKey> KeyTable();

    // 0 until the tree has been built, then 1.
    int32_t FInitFlag = 0;
    // Whether the last expand or collapse request was allowed.
    bool FAllowAutoColExp = false;

    // Fills the tree from the Tabular List (all nodes collapsed) once the Tabular List has loaded; the
    // waiting window shows until then.
    void BuildChapterTree();
    // The object of the Tabular List a node stands for, looked up by its place in the list
    // (monostate for a node without one, or made from an earlier load of the list).
    static TTabularObject NodeObject(const QTreeWidgetItem* AItem);
    // The expand and collapse rule for a request on AItem with the pointer at APointer (viewport
    // coordinates; a point outside the viewport is never on a label). Sets FAllowAutoColExp and
    // returns it.
    bool NodeExpanding(QTreeWidgetItem* AItem, const QPoint& APointer);
    bool NodeCollapsing(QTreeWidgetItem* AItem, const QPoint& APointer);
    // The rectangle of the node's text in viewport coordinates (the label only, not the row).
    QRect NodeLabelRect(QTreeWidgetItem* AItem) const;
    // Opens the selected node as the double-click rule says.
    void OpenSelectedNode();
    // Opens an object in the Tabular Search window, modally; its result 3 ends this window with 3.
    void OpenInTabularSearch(const TTabularObject& AObject);
    // F12: asks "Do you want to quit this program?"; Yes ends the window with 3.
    void ConfirmQuit();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;  // Esc and the close box: result 2

private:
    void FillChapterTree();
    bool FTreeRequested = false;
    QLabel* titleLabel = nullptr;
    QTreeWidget* chapterTree = nullptr;
    std::array<QPixmap, 6> FNodeImages;
    void ItemToggled(QTreeWidgetItem* AItem, bool AExpanded);
    void ViewportDoubleClick(const QPoint& APosition);

    // Last pointer position over the tree's viewport; outside (-1, -1) when the pointer left it.
    QPoint FPointer{-1, -1};
    // Set while an expansion change made by this window itself is under way.
    bool FRevertingToggle = false;
    // Width in pixels of the widest node, indentation and image included.
    int FContentWidth = 0;
    // The column as wide as the widest node shown (collapsed levels do not count) or the view.
    void UpdateColumnWidth();
};
