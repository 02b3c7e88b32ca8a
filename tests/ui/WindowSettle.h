// Waiting for a window on a real X display until it can be judged: the window manager has framed
// it and it has stopped moving. Every program that looks at a real screen waits through this one
// rule, never through a fixed delay: the window check, the screenshot drivers (in their process,
// WaitUntilSettled) and the package test (ui_window_settle, which watches another program's
// window). A window that does not settle in time is reported with the geometries seen.
#pragma once

#include <QRect>
#include <QtGlobal>
#include <memory>
#include <string>
#include <vector>

class QWidget;

struct TSettleRules {
    // The frame and the client area unchanged this long count as settled. Long enough to cover the
    // round trips of a placement (the window manager frames the window, the program moves it on
    // seeing the frame, the window manager moves the frame) on a loaded machine.
    qint64 FQuietMs = 1000;
    // Never settled after this long: reported as a failure.
    qint64 FLimitMs = 30000;
    qint64 FPollMs = 50;
    // A frameless window is never framed; it only has to be shown and stop moving.
    bool FNeedsFrame = true;
};

// One look at the window.
struct TWindowSample {
    qint64 FAtMs = 0;     // since the wait began
    bool FShown = false;  // mapped and exposed on the screen
    QRect FFrame;         // the frame as the window manager reports it (the client area when unframed)
    QRect FClient;        // the client area in screen coordinates
    bool operator==(const TWindowSample& AOther) const {
        return FShown == AOther.FShown && FFrame == AOther.FFrame && FClient == AOther.FClient;
    }
};

enum class TSettleState { Waiting, Settled, TimedOut };

// The rule itself, fed one sample at a time by whoever can look at the window.
class TSettleWatch {
public:
    explicit TSettleWatch(const TSettleRules& ARules = {}) : FRules(ARules) {}
    // Records a sample (taken no earlier than the previous one) and says where the wait stands.
    TSettleState Add(const TWindowSample& ASample);
    TSettleState State() const { return FState; }
    // The changes seen, in order: the first sample and every one that differed from the one before.
    const std::vector<TWindowSample>& Changes() const { return FChanges; }
    // A line on what was seen: "framed and still for 1000 ms after 230 ms" or, when the wait timed
    // out, why and every geometry seen with its time.
    std::string Report() const;

private:
    bool IsJudgeable(const TWindowSample& ASample) const;
    TSettleRules FRules;
    std::vector<TWindowSample> FChanges;
    qint64 FLastAtMs = 0;
    TSettleState FState = TSettleState::Waiting;
};

// What the X server and the window manager say about windows, through a connection of its own
// (so never through the program's cached view of its frame, which can lag).
class TXDisplay {
public:
    TXDisplay();  // the display of $DISPLAY
    ~TXDisplay();
    TXDisplay(const TXDisplay&) = delete;
    TXDisplay& operator=(const TXDisplay&) = delete;
    bool IsOpen() const { return FRoot != 0; }
    // The first viewable window whose title holds ATitlePart; 0 when there is none.
    quint32 Find(const std::string& ATitlePart) const;
    // The window as it stands, in screen pixels; not shown when it has gone. The frame is the
    // one the window manager announces (_NET_FRAME_EXTENTS).
    TWindowSample Look(quint32 AWindow) const;
    // The area windows may take: the window manager's work area, else the whole screen.
    QRect WorkArea() const;

private:
    struct TPrivate;
    std::unique_ptr<TPrivate> FData;
    quint32 FRoot = 0;
};

struct TSettleResult {
    bool FSettled = false;
    std::string FReport;
    // The last look: on an X display, in screen pixels as the window manager reports them, with the
    // work area beside them; elsewhere (offscreen), as the program sees its window.
    TWindowSample FLast;
    QRect FWorkArea;
};

// Shows nothing itself: waits, running the event loop, until AWindow (shown by the caller) is
// framed and settled by the rules, or their limit passes. On an X display the window is looked
// at through TXDisplay; elsewhere through its own geometry. The rules' FNeedsFrame is taken from
// the window when it is frameless.
TSettleResult WaitUntilSettled(QWidget& AWindow, TSettleRules ARules = {});
