#include "ui/DataSetSignals.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <iterator>

#include "startup/LoadedData.h"

void WhenDataSetSettled(QObject* AContext, TDataSet ASet, std::function<void(TLoadState)> AThen,
                        TWaitDisplay ADisplay) {
    // The announcements are listened to before the state is read, so a change right after is not missed.
    TDataSetSignals& announcements = TDataSetSignals::Instance();
    const TLoadState state = LoadedData().Status[ASet].load();
    if (state != TLoadState::Loading) {
        AThen(state);
        return;
    }
    announcements.Add(AContext, ASet, std::move(AThen), ADisplay);
}

void WhenDataSetsSettled(QObject* AContext, std::vector<TDataSet> ASets, std::function<void()> AThen,
                         TWaitDisplay ADisplay) {
    if (ASets.empty()) {
        AThen();
        return;
    }
    const TDataSet first = ASets.front();
    ASets.erase(ASets.begin());
    WhenDataSetSettled(
        AContext, first,
        [AContext, rest = std::move(ASets), then = std::move(AThen), ADisplay](TLoadState) mutable {
            WhenDataSetsSettled(AContext, std::move(rest), std::move(then), ADisplay);
        },
        ADisplay);
}

TDataSetSignals& TDataSetSignals::Instance() {
    // Owned by the application object, so it goes before the application does.
    static QPointer<TDataSetSignals> instance;
    if (instance == nullptr) instance = new TDataSetSignals;
    return *instance;
}

TDataSetSignals::TDataSetSignals() : QObject(QCoreApplication::instance()) {
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    SetLoadStateListener(
        [this] { QMetaObject::invokeMethod(this, &TDataSetSignals::CallSettled, Qt::QueuedConnection); });
}

TDataSetSignals::~TDataSetSignals() {
    // Once this returns no loader thread calls the listener any more (it is called under the same lock).
    SetLoadStateListener({});
}

void TDataSetSignals::Add(QObject* AContext, TDataSet ASet, std::function<void(TLoadState)> AThen,
                          TWaitDisplay ADisplay) {
    TPending pending{AContext, AContext, ASet, std::move(AThen), ADisplay, {}};
    pending.Destroyed = connect(AContext, &QObject::destroyed, this, [this, AContext] { Forget(AContext); });
    FPending.push_back(std::move(pending));
    UpdateWaiting();
    // The set may have settled between the look at its state and now: look again, queued as well.
    QMetaObject::invokeMethod(this, &TDataSetSignals::CallSettled, Qt::QueuedConnection);
}

void TDataSetSignals::CallSettled() {
    std::vector<TPending> settled;
    const auto loading = [](const TPending& pending) {
        return LoadedData().Status[pending.Set].load() == TLoadState::Loading;
    };
    const auto firstSettled = std::stable_partition(FPending.begin(), FPending.end(), loading);
    std::move(firstSettled, FPending.end(), std::back_inserter(settled));
    FPending.erase(firstSettled, FPending.end());
    UpdateWaiting();
    // A call back may add new waits: FPending is consistent before any is called.
    for (TPending& pending : settled) {
        disconnect(pending.Destroyed);
        if (pending.Context != nullptr) pending.Then(LoadedData().Status[pending.Set].load());
    }
}

void TDataSetSignals::Forget(QObject* AContext) {
    std::erase_if(FPending, [AContext](const TPending& pending) { return pending.ContextAddress == AContext; });
    UpdateWaiting();
}

void TDataSetSignals::UpdateWaiting() {
    const bool shown = std::any_of(FPending.begin(), FPending.end(), [](const TPending& pending) {
        return pending.Display == TWaitDisplay::WaitingWindow;
    });
    if (shown == FWaitingShown) return;
    FWaitingShown = shown;
    emit WaitingChanged(shown);
}
