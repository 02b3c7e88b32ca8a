// Brings the data up: fixes the folders, clears the shared containers, opens the eight resource
// streams and starts one loader thread per data set. The loader bodies are injected so that the
// same start-up runs the real loaders (startup/Boot.h) and test fakes.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "services/LoadStatus.h"
#include "services/Resources.h"

// What a start-up runs. Loaders[DataSetIndex(set)] is the body of the loader thread of that set; ClearContainers
// empties the containers outside the model (index lists, keyword tables), AfterStart runs on the calling thread once
// every loader thread has started (the favourite list scan). Empty members are skipped.
struct TStartUpLoaders {
    std::array<std::function<void()>, DataSetCount> Loaders;
    std::function<void()> ClearContainers;
    std::function<void()> AfterStart;
};

// One loader thread. FSet is the data set it loads. The body runs inside a guard: no exception
// leaves the thread; an escaping one is reported through ShowMessage and marks FSet Failed, and a
// body that returns while FSet is still Loading also leaves it Failed, so
// no reader waits for ever on a loader that gave up.
class TBuildThread {
public:
    TBuildThread(TDataSet ASet, bool ASuspend, std::function<void()> ABody);
    ~TBuildThread();  // joins
    TBuildThread(const TBuildThread&) = delete;
    TBuildThread& operator=(const TBuildThread&) = delete;

    // Starts a thread created suspended; does nothing when it already runs.
    void Start();
    // Waits for the thread to end; does nothing when it never started or was joined.
    void Join();
    // True once the body has returned (the thread may still be winding down).
    bool Finished() const { return FFinished.load(); }

    const TDataSet FSet;

private:
    void Execute();

    std::function<void()> FBody;
    std::atomic<bool> FFinished{false};
    std::thread FThread;
};

// The start-up, on the calling (UI) thread, in this order:
//  1. The folders of UserData() are set and both data folders created.
//  2. Loader threads of an earlier start-up are cancelled and joined; the Tabular List of
//     LoadedData() is cleared, then ClearContainers runs; every status becomes 0.
//  3. The eight resource streams are opened in resource-table order. A missing resource throws
//     std::runtime_error naming it, before any status changes to 1 and before any thread starts.
//  4. All six statuses become 1 (so no reader ever looks at a container still being filled),
//     then the threads of types 0..5 start, then AfterStart runs.
void StartUp(const TResourceProvider& provider, const TStartUpLoaders& loaders);

// Waits for every loader thread started by StartUp to end. Call CancelLoading first when the
// program closes: the XML loaders then stop at their next element. A loader may be inside
// ShowMessage meanwhile; when the installed message handler needs the calling thread to deliver
// a message (the desktop front shows boxes on its UI thread), pass AWhileWaiting: it is called
// about every 10 ms until all loader threads have ended (process pending events there), and the
// handler object must stay alive until JoinLoaders returns. Without it the caller blocks
// outright, which is fine with a handler that never needs the caller (stderr, tests).
// Safe to call more than once and from several threads.
void JoinLoaders(const std::function<void()>& AWhileWaiting = {});

// True while any loader status is still 1.
bool AnyLoaderBusy();

// How many start-ups have begun in this process (each one empties the shared containers), so
// a holder of loaded data can tell whether it has been replaced since.
uint64_t StartUpCount();
