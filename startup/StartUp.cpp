#include "startup/StartUp.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "services/DataSets.h"
#include "services/Folders.h"
#include "services/Messages.h"
#include "startup/LoadedData.h"

namespace {

// Loader threads started by StartUp and not yet joined. At process end the registry cancels and
// joins whatever is left, so no std::thread is destroyed while joinable; it is a function-local
// static, created after the data globals and therefore destroyed before them.
class TLoaderRegistry {
public:
    ~TLoaderRegistry() {
        CancelLoading(LoadedData().Status);
        JoinAll({});
    }

    void Add(std::unique_ptr<TBuildThread> thread) {
        std::lock_guard lock(FMutex);
        FThreads.push_back(std::move(thread));
    }

    void JoinAll(const std::function<void()>& whileWaiting) {
        // Taken out under the lock, joined outside it, so a loader may call into anything
        // (including a second JoinLoaders from another thread) while we wait.
        std::vector<std::unique_ptr<TBuildThread>> threads;
        {
            std::lock_guard lock(FMutex);
            threads.swap(FThreads);
        }
        if (whileWaiting) {
            auto anyRunning = [&] {
                for (const auto& thread : threads) {
                    if (!thread->Finished()) return true;
                }
                return false;
            };
            while (anyRunning()) {
                whileWaiting();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        for (auto& thread : threads) thread->Join();
    }

private:
    std::mutex FMutex;
    std::vector<std::unique_ptr<TBuildThread>> FThreads;
};

TLoaderRegistry& Registry() {
    static TLoaderRegistry registry;
    return registry;
}

void ReportSafely(const std::string& text) {
    try {
        ShowMessage(text);
    } catch (...) {
        // A failing message handler must not take the loader thread (and the process) down.
    }
}

std::atomic<uint64_t> startUpCount{0};

}  // namespace

TBuildThread::TBuildThread(TDataSet ASet, bool ASuspend, std::function<void()> ABody)
    : FSet(ASet), FBody(std::move(ABody)) {
    if (!ASuspend) Start();
}

TBuildThread::~TBuildThread() {
    Join();
}

void TBuildThread::Start() {
    if (!FThread.joinable()) FThread = std::thread(&TBuildThread::Execute, this);
}

void TBuildThread::Join() {
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) FThread.join();
}

void TBuildThread::Execute() {
    TLoadStatus& status = LoadedData().Status[FSet];
    try {
        if (FBody) FBody();
    } catch (const std::exception& error) {
        ReportSafely(std::string("Loading the data set \"") + DataSetName(FSet) + "\" failed: " + error.what());
        TLoadState expected = TLoadState::Loading;
        status.compare_exchange_strong(expected, TLoadState::Failed);
    } catch (...) {
        ReportSafely(std::string("Loading the data set \"") + DataSetName(FSet) + "\" failed.");
        TLoadState expected = TLoadState::Loading;
        status.compare_exchange_strong(expected, TLoadState::Failed);
    }
    // A loader that gave up without leaving 1 would keep every reader waiting for ever.
    TLoadState expected = TLoadState::Loading;
    status.compare_exchange_strong(expected, TLoadState::Failed);
    FFinished = true;
}

void StartUp(const TResourceProvider& provider, const TStartUpLoaders& loaders) {
    startUpCount.fetch_add(1);
    UserData().Folders = SetUpFolders();

    // Nobody may still be filling a container that is about to be cleared.
    CancelLoading(LoadedData().Status);
    JoinLoaders();

    LoadedData().Tabular.Clear();
    if (loaders.ClearContainers) loaders.ClearContainers();
    for (TDataSet set : AllDataSets) LoadedData().Status[set].store(TLoadState::NotStarted);

    OpenResourceStreams(provider);  // throws on a missing resource: no thread has started

    // Every status is 1 before any thread runs, so a reader that comes early waits instead of
    // reading a container its loader has not taken over yet.
    for (TDataSet set : AllDataSets) LoadedData().Status[set].store(TLoadState::Loading);
    for (TDataSet set : AllDataSets) {
        try {
            Registry().Add(std::make_unique<TBuildThread>(set, false, loaders.Loaders[DataSetIndex(set)]));
        } catch (...) {
            // No thread could be made: the data sets not started will never load.
            for (std::size_t rest = DataSetIndex(set); rest < DataSetCount; ++rest)
                LoadedData().Status[AllDataSets[rest]].store(TLoadState::Failed);
            throw;
        }
    }
    if (loaders.AfterStart) loaders.AfterStart();
}

void JoinLoaders(const std::function<void()>& AWhileWaiting) {
    Registry().JoinAll(AWhileWaiting);
}

bool AnyLoaderBusy() {
    for (TDataSet set : AllDataSets) {
        if (LoadedData().Status[set].load() == TLoadState::Loading) return true;
    }
    return false;
}

uint64_t StartUpCount() {
    return startUpCount.load();
}
