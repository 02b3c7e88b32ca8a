// The keys of a window as QActions made from one table per window. Each window class has
// `static std::span<const TWindowKey> KeyTable();` (a constexpr array in its .cpp) and builds its
// actions from it with AddWindowActions; its menus and buttons use those same actions, and the
// manual page lists the same tables (ui/WindowKeys.h).
#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

class QAction;
class QKeyEvent;
class QMenu;
class QWidget;

struct TWindowKey {
    const char* Name;  // the action's objectName ("nextCodeAction")
    const char* Keys;  // QKeySequence portable text, several separated by "; " ("F7", "Ctrl+PgDown")
    const char* Help;  // one line for the manual page
};

// A window's table made of a panel's rows followed by the window's own.
template <std::size_t PanelRows, std::size_t WindowRows>
constexpr std::array<TWindowKey, PanelRows + WindowRows> JoinKeyTables(
    const std::array<TWindowKey, PanelRows>& APanel, const std::array<TWindowKey, WindowRows>& AWindow) {
    std::array<TWindowKey, PanelRows + WindowRows> joined{};
    std::copy(APanel.begin(), APanel.end(), joined.begin());
    std::copy(AWindow.begin(), AWindow.end(), joined.begin() + PanelRows);
    return joined;
}

// The key sequences of a row, in the order written.
QList<QKeySequence> KeySequencesOf(const TWindowKey& AKey);

// Adds one QAction per row to AWindow: objectName the row's Name, its key sequences as shortcuts
// (active while AWindow is the active window), the row's Help as tool and status tip. Returns the
// actions by name; connect their triggered signals to what they do.
QHash<QString, QAction*> AddWindowActions(QWidget* AWindow, std::span<const TWindowKey> ATable);

// Runs the enabled action of AWindow whose key AKey is; false when none is. A window's actions answer their keys while
// it is the active window; a key that reaches one of its controls while no window is active (as just after a modal
// window closed) is passed here from an event filter so it runs the same action.
bool TriggerWindowAction(const QWidget& AWindow, const QKeyEvent& AKey);

// One item of a menu made from a window's actions: the action's name and the caption it shows there (the caption names
// the key itself). A null name is a separator.
struct TMenuItem {
    const char* Name;
    const char* Caption;
};
// Adds AItems to AMenu, giving each action its menu caption.
void AddMenuItems(QMenu* AMenu, const QHash<QString, QAction*>& AActions, std::span<const TMenuItem> AItems);
