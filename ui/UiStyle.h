// Fonts and colours shared by the windows. Fonts are asked for by their designed family and fall
// back to metric-compatible families installed on Linux (Liberation Sans for Tahoma, Liberation
// Mono for Courier New); every measurement is taken from the font actually resolved.
#pragma once

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QString>

class QApplication;
class QKeyEvent;
class QWidget;

inline const QColor SkyBlue(166, 202, 240);
inline const QColor Navy(0, 0, 128);
inline const QColor Teal(0, 128, 128);
inline const QColor Fuchsia(255, 0, 255);
inline const QColor Green(0, 128, 0);
inline const QColor Blue(0, 0, 255);
inline const QColor Silver(192, 192, 192);

// A font of the given family and pixel height; the family list carries the fallbacks.
QFont DesignFont(const QString& family, int pixelSize, bool bold, bool italic = false);
QFont TahomaFont(int pixelSize, bool bold = true, bool italic = false);
QFont CourierFont(int pixelSize, bool bold = true);
// The family the font resolves to on this system.
QString ResolvedFamily(const QFont& font);

// The frame every search window shares: caption the edition in use's window title, system menu, minimise and close
// buttons, the designed client size; with the "FullScreen" setting it opens maximised and gets a
// maximise button, otherwise it keeps its size unless it is sizeable.
void SetUpSearchWindowFrame(QWidget* window, int clientWidth, int clientHeight, bool sizeable = false);

// Shows the busy cursor while an operation blocks the window (a long file operation, a password
// hash), for the lifetime of the object.
class TBusyCursor {
public:
    TBusyCursor() {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The work that follows blocks the event loop: hand the cursor to the window system now,
        // or it arrives only when the work is done.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// A key press that types a visible character (no Ctrl or Alt held): what a filter box takes.
bool IsTypedCharacter(const QKeyEvent& AEvent);

// Colours of selected and disabled text for the whole program, readable on every background the
// windows use (contrast of at least 4.5:1): a dark selection with white text whether or not the
// list has the focus, and dark grey for disabled text on sky blue, white and button faces.
inline const QColor SelectionBackground(0, 99, 177);
inline const QColor DisabledText(80, 80, 80);
void ApplyReadableColours(QApplication& AApplication);
