#include "services/LoadStatus.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <stdexcept>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

std::mutex hooksMutex;
TWaitHooks waitHooks;

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

// Calls Hide on every way out of a wait, so a window is never left shown.
class THideOnExit {
public:
    explicit THideOnExit(const std::function<void()>& hide) : FHide(hide) {}
    ~THideOnExit() {
        if (FHide) FHide();
    }
    THideOnExit(const THideOnExit&) = delete;
    THideOnExit& operator=(const THideOnExit&) = delete;

private:
    const std::function<void()>& FHide;
};

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

TWaitHooks SetWaitHooks(TWaitHooks hooks) {
    std::lock_guard lock(hooksMutex);
    std::swap(waitHooks, hooks);
    return hooks;
}

TLoadState WaitForDataSet(const TLoadStatus& status) {
    if (status.load() != TLoadState::Loading) return status.load();
    TWaitHooks hooks;
    {
        std::lock_guard lock(hooksMutex);
        hooks = waitHooks;
    }
    return WaitForDataSet(status, hooks);
}

TLoadState WaitForDataSet(const TLoadStatus& status, const TWaitHooks& hooks) {
    if (status.load() != TLoadState::Loading) return status.load();
    if (hooks.Show) hooks.Show();
    THideOnExit hideOnExit(hooks.Hide);
    auto loaded = [&] { return status.load() != TLoadState::Loading; };
    while (!loaded()) {
        if (hooks.Poll) hooks.Poll();
        std::unique_lock lock(StateSignal().FMutex);
        StateSignal().FChanged.wait_for(lock, kPollInterval, loaded);
    }
    return status.load();
}

TLoadState WaitForDataSetQuietly(const TLoadStatus& status) {
    std::unique_lock lock(StateSignal().FMutex);
    StateSignal().FChanged.wait(lock, [&] { return status.load() != TLoadState::Loading; });
    return status.load();
}

void CancelLoading() {
    for (TLoadStatus* status :
         {&TabularStatus, &DIndexStatus, &EIndexStatus, &TableOfDrugsStatus, &TableOfNeoplasmsStatus}) {
        TLoadState expected = TLoadState::Loading;
        status->compare_exchange_strong(expected, TLoadState::Cancelled);
    }
}

TLoadStatus& LoadStatusOf(TDataSet ASet) {
    switch (ASet) {
        case TDataSet::Tabular:
            return TabularStatus;
        case TDataSet::DiseaseIndex:
            return DIndexStatus;
        case TDataSet::ExternalIndex:
            return EIndexStatus;
        case TDataSet::DrugTable:
            return TableOfDrugsStatus;
        case TDataSet::NeoplasmTable:
            return TableOfNeoplasmsStatus;
        case TDataSet::CodeKeywords:
            return CodeKeywordsStatus;
    }
    throw std::out_of_range("no data set " + std::to_string(static_cast<int>(ASet)));
}
