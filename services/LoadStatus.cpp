#include "services/LoadStatus.h"

#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

std::mutex hooksMutex;
TWaitHooks waitHooks;

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

TWaitHooks SetWaitHooks(TWaitHooks hooks) {
    std::lock_guard lock(hooksMutex);
    std::swap(waitHooks, hooks);
    return hooks;
}

int32_t WaitForDataSet(const TLoadStatus& status) {
    int32_t value = status.load();
    if (value != StatusLoading) return value;
    TWaitHooks hooks;
    {
        std::lock_guard lock(hooksMutex);
        hooks = waitHooks;
    }
    if (hooks.Show) hooks.Show();
    THideOnExit hideOnExit(hooks.Hide);
    while ((value = status.load()) == StatusLoading) {
        if (hooks.Poll) hooks.Poll();
        if (status.load() != StatusLoading) break;
        std::this_thread::sleep_for(kPollInterval);
    }
    return status.load();
}

int32_t WaitForDataSetQuietly(const TLoadStatus& status) {
    int32_t value;
    while ((value = status.load()) == StatusLoading) std::this_thread::sleep_for(kPollInterval);
    return value;
}

void CancelLoading() {
    for (TLoadStatus* status :
         {&TabularStatus, &DIndexStatus, &EIndexStatus, &TableOfDrugsStatus, &TableOfNeoplasmsStatus}) {
        int32_t expected = StatusLoading;
        status->compare_exchange_strong(expected, StatusCancelled);
    }
}

TLoadStatus& LoadStatusOfType(int AType) {
    switch (AType) {
        case 0:
            return TabularStatus;
        case 1:
            return DIndexStatus;
        case 2:
            return EIndexStatus;
        case 3:
            return TableOfDrugsStatus;
        case 4:
            return TableOfNeoplasmsStatus;
        case 5:
            return CodeKeywordsStatus;
        default:
            throw std::out_of_range("no data set of loader type " + std::to_string(AType));
    }
}
