// The keys of a window as QActions made from one table per window. Each window class has
// `static std::span<const TWindowKey> KeyTable();` (a constexpr array in its .cpp) and builds its
// actions from it with AddWindowActions; its menus and buttons use those same actions, and the
// manual page lists the same tables (ui/WindowKeys.h).
#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <span>

class QAction;
class QWidget;

struct TWindowKey {
    const char* Name;  // the action's objectName ("nextCodeAction")
    const char* Keys;  // QKeySequence portable text, several separated by "; " ("F7", "Ctrl+PgDown")
    const char* Help;  // one line for the manual page
};

// The key sequences of a row, in the order written.
QList<QKeySequence> KeySequencesOf(const TWindowKey& AKey);

// Adds one QAction per row to AWindow: objectName the row's Name, its key sequences as shortcuts
// (active while AWindow is the active window), the row's Help as tool and status tip. Returns the
// actions by name; connect their triggered signals to what they do.
QHash<QString, QAction*> AddWindowActions(QWidget* AWindow, std::span<const TWindowKey> ATable);
