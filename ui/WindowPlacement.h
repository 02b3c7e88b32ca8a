// Placement of top-level windows: every window and dialog, frame included, lies inside the
// available area of its screen (the desktop less panels and docks), centred on its anchor.
// One application-wide filter places each window when it is first shown, so no window positions
// itself; a window whose designed size does not fit the screen is made smaller, and its layout
// keeps the controls whole.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QApplication;
class QWidget;

// The frame rectangle of the given size centred on ACentre and then moved, and shrunk when it is
// larger, so that it lies wholly inside AArea.
QRect FitFrame(const QSize& AFrameSize, const QPoint& ACentre, const QRect& AArea);

// What the window manager adds around a window's client area: the window's own frame once it has
// been framed, else that of another framed top-level window, else an estimate of a title bar and
// borders (nothing on platforms without a window manager).
QMargins WindowFrameMargins(const QWidget* AWindow);

// Centres AWindow on its anchor (see SetPlacementAnchor; by default its parent window when that
// has been shown, else the screen) and fits it, frame included, inside the screen's available
// area. A maximised or full-screen window is left to the window manager.
void PlaceWindow(QWidget* AWindow);

// Makes AWindow centre on AAnchor's frame instead of its parent window; null centres it on the
// screen.
void SetPlacementAnchor(QWidget* AWindow, QWidget* AAnchor);

// Installs the filter that places every top-level window on its first showing, and checks it once
// more when the window manager has framed it.
void InstallWindowPlacement(QApplication& AApplication);
