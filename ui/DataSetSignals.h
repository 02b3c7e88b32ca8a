// Learning on the UI thread that a data set has settled (its load left Loading: done, failed or
// cancelled), so that no window loops, sleeps or processes events while a data set loads. The
// loader threads announce every state change (SetLoadStateListener); the announcement reaches the
// UI thread as a queued call, where the waiting windows are called back.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

#include "services/LoadStatus.h"

// Whether the waiting window shows while the call back is pending.
enum class TWaitDisplay { WaitingWindow, Quietly };

// Calls AThen with the set's state on the UI thread: at once when the set is not loading, else once
// after it has settled (queued, never from a loader thread). Nothing is called when AContext has
// been destroyed by then. Call it on the UI thread.
void WhenDataSetSettled(QObject* AContext, TDataSet ASet, std::function<void(TLoadState)> AThen,
                        TWaitDisplay ADisplay = TWaitDisplay::WaitingWindow);
// The same for several sets: AThen once every one of them has settled.
void WhenDataSetsSettled(QObject* AContext, std::vector<TDataSet> ASets, std::function<void()> AThen,
                         TWaitDisplay ADisplay = TWaitDisplay::WaitingWindow);

// The UI thread's end of the announcements; made on first use, destroyed with the application.
class TDataSetSignals : public QObject {
    Q_OBJECT
public:
    static TDataSetSignals& Instance();
    ~TDataSetSignals() override;

    void Add(QObject* AContext, TDataSet ASet, std::function<void(TLoadState)> AThen, TWaitDisplay ADisplay);
    // Whether a pending call back wants the waiting window shown.
    bool WaitingShown() const { return FWaitingShown; }

signals:
    // The waiting window should show (true) or go (false); emitted on each change.
    void WaitingChanged(bool AShown);

private:
    TDataSetSignals();
    struct TPending {
        QPointer<QObject> Context;
        QObject* ContextAddress;
        TDataSet Set;
        std::function<void(TLoadState)> Then;
        TWaitDisplay Display;
        QMetaObject::Connection Destroyed;
    };
    // Calls back, on the UI thread, every pending entry whose set has settled.
    void CallSettled();
    void Forget(QObject* AContext);
    void UpdateWaiting();
    std::vector<TPending> FPending;
    bool FWaitingShown = false;
};
