#include "services/LoadStatus.h"

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <stdexcept>

namespace {

// Every change of any load state is announced on one condition variable; waiters check their own
// status under its mutex. Both live for the whole process (never destroyed), so a loader thread
// still finishing while the program exits can announce safely.
struct TStateSignal {
    std::mutex FMutex;
    std::condition_variable FChanged;
};
TStateSignal& StateSignal() {
    static auto* signal = new TStateSignal;
    return *signal;
}

// The listener of SetLoadStateListener; it is called under its mutex, so it is never called after
// it has been replaced.
std::mutex listenerMutex;
std::function<void()>& StateListener() {
    static auto* listener = new std::function<void()>;
    return *listener;
}

void AnnounceChange() {
    TStateSignal& signal = StateSignal();
    // Taking the mutex orders the change before any waiter's next look at its predicate.
    { std::lock_guard lock(signal.FMutex); }
    signal.FChanged.notify_all();
    std::lock_guard lock(listenerMutex);
    if (StateListener()) StateListener()();
}

}  // namespace

void TLoadStatus::store(TLoadState AState) {
    FState.store(AState, std::memory_order_release);
    AnnounceChange();
}

TLoadState TLoadStatus::exchange(TLoadState AState) {
    const TLoadState previous = FState.exchange(AState, std::memory_order_acq_rel);
    AnnounceChange();
    return previous;
}

bool TLoadStatus::compare_exchange_strong(TLoadState& AExpected, TLoadState ADesired) {
    const bool stored = FState.compare_exchange_strong(AExpected, ADesired, std::memory_order_acq_rel);
    if (stored) AnnounceChange();
    return stored;
}

const char* LoadStateName(TLoadState AState) {
    switch (AState) {
        case TLoadState::NotStarted:
            return "not started";
        case TLoadState::Loading:
            return "loading";
        case TLoadState::Done:
            return "done";
        case TLoadState::Failed:
            return "failed";
        case TLoadState::Cancelled:
            return "cancelled";
    }
    return "unknown";
}

std::ostream& operator<<(std::ostream& AStream, TLoadState AState) {
    return AStream << LoadStateName(AState);
}

const char* DataSetName(TDataSet ASet) {
    static constexpr std::array<const char*, DataSetCount> names = {"Tabular",      "DIndex",           "EIndex",
                                                                    "TableOfDrugs", "TableOfNeoplasms", "CodeKeywords"};
    return DataSetIndex(ASet) < DataSetCount ? names[DataSetIndex(ASet)] : "unknown";
}

std::ostream& operator<<(std::ostream& AStream, TDataSet ASet) {
    return AStream << DataSetName(ASet);
}

std::function<void()> SetLoadStateListener(std::function<void()> listener) {
    std::lock_guard lock(listenerMutex);
    std::swap(StateListener(), listener);
    return listener;
}

TLoadState WaitForDataSetQuietly(const TLoadStatus& status) {
    std::unique_lock lock(StateSignal().FMutex);
    StateSignal().FChanged.wait(lock, [&] { return status.load() != TLoadState::Loading; });
    return status.load();
}

void CancelLoading(TLoadStatuses& AStatuses) {
    for (TDataSet set : AllDataSets) {
        if (set == TDataSet::CodeKeywords) continue;
        TLoadState expected = TLoadState::Loading;
        AStatuses[set].compare_exchange_strong(expected, TLoadState::Cancelled);
    }
}
