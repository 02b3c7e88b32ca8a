#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>
#include <algorithm>

namespace {

const char* const AnchorProperty = "placementAnchor";
const char* const OnScreenProperty = "placementOnScreen";
const char* const PlacedAtProperty = "placementShownAt";
const char* const MarginsUsedProperty = "placementMargins";

// How long after its first showing a window is still checked against its real frame: the window
// manager frames it asynchronously, and a window the user later drags is not pulled back.
constexpr qint64 FramingWindowMs = 3000;

// The frame as the window system has it now. QWidget::frameGeometry() can lag: the widget learns
// its frame only when the window moves or resizes, and a window manager that frames a window
// without moving it afterwards leaves the widget believing it has none.
QMargins CurrentFrameMargins(const QWidget* window) {
    return window->windowHandle() != nullptr ? window->windowHandle()->frameMargins() : QMargins();
}

bool IsFramed(const QWidget* window) {
    return !CurrentFrameMargins(window).isNull();
}

QRect CurrentFrame(const QWidget* window) {
    return window->geometry().marginsAdded(CurrentFrameMargins(window));
}

// Moves a shown window so that its frame, with the margins given, starts at AFrameTopLeft.
// QWidget::move() places the frame by the widget's own idea of it, which can lag (see above), so
// the client area is placed, corrected by that idea.
void MoveFrameTo(QWidget* window, const QPoint& frameTopLeft, const QMargins& margins) {
    const QPoint client = frameTopLeft + QPoint(margins.left(), margins.top());
    window->move(client - (window->geometry().topLeft() - window->pos()));
}

// Framed by the window manager, or a frameless window that never will be.
bool HasFinalFrame(const QWidget* window) {
    return window->windowHandle() != nullptr &&
           (window->windowFlags().testFlag(Qt::FramelessWindowHint) || IsFramed(window));
}

QWidget* AnchorOf(const QWidget* window) {
    if (window->property(OnScreenProperty).toBool()) return nullptr;
    if (auto* anchor = qobject_cast<QWidget*>(window->property(AnchorProperty).value<QObject*>())) return anchor;
    QWidget* parent = window->parentWidget();
    return parent != nullptr ? parent->window() : nullptr;
}

// A window that has been shown at least once, or placed explicitly, has a place to centre on.
bool HasPlace(const QWidget* window) {
    return window != nullptr && (window->windowHandle() != nullptr || window->testAttribute(Qt::WA_Moved));
}

QScreen* ScreenFor(const QWidget* window, const QWidget* anchor) {
    if (HasPlace(anchor) && anchor->screen() != nullptr) return anchor->screen();
    if (window->screen() != nullptr) return window->screen();
    return QGuiApplication::primaryScreen();
}

bool IsPlacedKind(const QWidget* widget) {
    if (!widget->isWindow()) return false;
    switch (widget->windowType()) {
        case Qt::Window:
        case Qt::Dialog:
        case Qt::Sheet:
        case Qt::Tool:
            return true;
        default:
            return false;
    }
}

// Shrinks the client area when the window, frame included, is larger than the area.
void FitClientSize(QWidget* window, const QRect& area, const QMargins& margins) {
    const QSize room(area.width() - margins.left() - margins.right(), area.height() - margins.top() - margins.bottom());
    const QSize size = window->size();
    if (size.width() <= room.width() && size.height() <= room.height()) return;
    const QSize fitted = size.boundedTo(room);
    if (window->minimumSize() == window->maximumSize()) {
        window->setFixedSize(fitted);
    } else {
        window->setMinimumSize(window->minimumSize().boundedTo(fitted));
        window->resize(fitted);
    }
}

// Once the window manager has framed a window: placed again when its frame differs from the
// estimate it was placed with, and moved back inside its screen when the frame sticks out.
void CorrectFramedWindow(QWidget* window) {
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
    if (!HasFinalFrame(window)) return;
    const QMargins real = IsFramed(window) ? WindowFrameMargins(window) : QMargins();
    if (window->property(MarginsUsedProperty).value<QMargins>() != real) {
        PlaceWindow(window);
        return;
    }
    QScreen* screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    if (area.contains(CurrentFrame(window))) return;
    FitClientSize(window, area, real);
    const QRect frame = CurrentFrame(window);
    MoveFrameTo(window, FitFrame(frame.size(), frame.center(), area).topLeft(), real);
}

// Places the window now and checks it again while the window manager frames it.
void PlaceAndWatch(QWidget* widget) {
    widget->setProperty(PlacedAtProperty, QDateTime::currentMSecsSinceEpoch());
    PlaceWindow(widget);
    // The frame may come after the last move event, late on a busy machine: look again.
    QPointer<QWidget> guard(widget);
    for (int delay : {300, 1000, 2500})
        QTimer::singleShot(delay, widget, [guard] {
            if (guard) CorrectFramedWindow(guard);
        });
}

class TPlacementFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Move && type != QEvent::WindowStateChange) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || !IsPlacedKind(widget)) return false;
        const QVariant shownAt = widget->property(PlacedAtProperty);
        if (type == QEvent::WindowStateChange) {
            // A window shown maximised was never placed: when it is restored, it is placed as it
            // would have been at its first showing.
            constexpr Qt::WindowStates Enlarged = Qt::WindowMaximized | Qt::WindowFullScreen;
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            if ((change->oldState() & Enlarged) && !(widget->windowState() & (Enlarged | Qt::WindowMinimized)))
                PlaceAndWatch(widget);
            return false;
        }
        if (type == QEvent::Show && !shownAt.isValid()) {
            PlaceAndWatch(widget);
        } else if (type == QEvent::Move && shownAt.isValid() &&
                   QDateTime::currentMSecsSinceEpoch() - shownAt.toLongLong() < FramingWindowMs) {
            CorrectFramedWindow(widget);
        }
        return false;
    }
};

}  // namespace

QRect FitFrame(const QSize& AFrameSize, const QPoint& ACentre, const QRect& AArea) {
    const QSize size = AFrameSize.boundedTo(AArea.size());
    int left = ACentre.x() - size.width() / 2;
    int top = ACentre.y() - size.height() / 2;
    left = std::clamp(left, AArea.left(), AArea.left() + AArea.width() - size.width());
    top = std::clamp(top, AArea.top(), AArea.top() + AArea.height() - size.height());
    return QRect(QPoint(left, top), size);
}

QMargins WindowFrameMargins(const QWidget* AWindow) {
    if (AWindow->windowFlags().testFlag(Qt::FramelessWindowHint)) return {};
    if (IsFramed(AWindow)) return CurrentFrameMargins(AWindow);
    for (QWidget* other : QApplication::topLevelWidgets())
        if (other != AWindow && IsPlacedKind(other) && IsFramed(other)) return CurrentFrameMargins(other);
    const QString platform = QGuiApplication::platformName();
    if (platform == QStringLiteral("offscreen") || platform == QStringLiteral("minimal")) return {};
    // Nothing framed yet: a generous title bar and thin borders, corrected once the frame is known.
    return QMargins(4, 30, 4, 4);
}

void PlaceWindow(QWidget* AWindow) {
    if (AWindow->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    QWidget* anchor = AnchorOf(AWindow);
    if (!HasPlace(anchor)) anchor = nullptr;
    QScreen* screen = ScreenFor(AWindow, anchor);
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QMargins margins = WindowFrameMargins(AWindow);
    FitClientSize(AWindow, area, margins);
    const QSize frameSize = AWindow->size().grownBy(margins);
    QPoint centre = anchor != nullptr ? CurrentFrame(anchor).center() : area.center();
    // A window opened from a window of its own kind (a nested index or table level) covers its
    // opener from the same top-left corner, so levels neither drift nor let a title bar show.
    if (anchor != nullptr && anchor->metaObject() == AWindow->metaObject())
        centre = CurrentFrame(anchor).topLeft() + QPoint(frameSize.width() / 2, frameSize.height() / 2);
    const QPoint frameTopLeft = FitFrame(frameSize, centre, area).topLeft();
    AWindow->setProperty(MarginsUsedProperty, QVariant::fromValue(margins));
    // A window not yet created is placed by its frame when it is shown; a created one, framed or
    // not yet, by its client area with the margins used.
    if (AWindow->testAttribute(Qt::WA_WState_Created))
        MoveFrameTo(AWindow, frameTopLeft, margins);
    else
        AWindow->move(frameTopLeft);
}

void SetPlacementAnchor(QWidget* AWindow, QWidget* AAnchor) {
    AWindow->setProperty(OnScreenProperty, AAnchor == nullptr);
    AWindow->setProperty(AnchorProperty, QVariant::fromValue(static_cast<QObject*>(AAnchor)));
    if (AAnchor != nullptr) {
        QPointer<QWidget> guard(AWindow);
        QObject::connect(AAnchor, &QObject::destroyed, AWindow, [guard] {
            if (guard) guard->setProperty(AnchorProperty, QVariant());
        });
    }
}

void InstallWindowPlacement(QApplication& AApplication) {
    static TPlacementFilter* filter = nullptr;
    if (filter != nullptr) return;
    filter = new TPlacementFilter(&AApplication);
    AApplication.installEventFilter(filter);
}
