// The button bar of the index and table windows: Back (Esc), Back to Main Term (F3), then Prior
// Page (PgUp), the page caption and Next Page (PgDown). Its buttons trigger the window's actions of
// the same names; the window says which page it shows. Each window gives its designed sizes.
#pragma once

#include <QHash>
#include <QWidget>
#include <array>

#include "ui/WindowActions.h"

class QAction;
class QLabel;
class QPushButton;

// The keys of the bar's buttons, first in the key table of each window that has the bar.
inline constexpr std::array<TWindowKey, 4> TermPageBarKeys{{
    {"backAction", "Esc", "goes back one level: closes this list of terms"},
    {"backToMainAction", "F3", "goes back to the main terms, closing every list of sub-terms"},
    {"priorPageAction", "PgUp", "shows the prior page of terms"},
    {"nextPageAction", "PgDown", "shows the next page of terms"},
}};

struct TTermPageBarDesign {
    int LeftMargin;
    int GapAfterBack;
    int BackToMainWidth;
    int GapBeforePages;  // gives way first when the window is narrow
    int PageButtonWidth;
    int GapAroundPage;
    int PageLabelWidth;
    const char* PriorCaption;
    const char* NextCaption;
    bool ButtonsTakeFocus;  // false: the focus stays in the list or the filter box
};

class TTermPageBar : public QWidget {
    Q_OBJECT
public:
    TTermPageBar(const TTermPageBarDesign& ADesign, QWidget* AParent);

    // Connects each button to the window's action: backAction, backToMainAction, priorPageAction,
    // nextPageAction.
    void ConnectActions(const QHash<QString, QAction*>& AActions);
    void ShowPage(const QString& ACaption, bool APriorEnabled, bool ANextEnabled);
    void SetBackToMainCaption(const QString& ACaption);
    // At a main level there is no main term to go back to; the page controls keep their places.
    void HideBackToMain();

private:
    QPushButton* backButton;
    QPushButton* backToMainButton;
    QPushButton* priorPageButton;
    QLabel* pageLabel;
    QPushButton* nextPageButton;
};
