// Waiting for a data set and cancelling the loaders, on top of the load statuses of DataSets.h.
// A reader of a shared container calls WaitForDataSet with the container's status first; after
// it returns the container is only read, whatever the final status (a failed or cancelled set
// simply holds fewer entries).
#pragma once

#include <functional>

#include "services/DataSets.h"

// How a window shows that it waits. Show is called once before the wait, Poll at least every
// 100 ms while waiting (the desktop front processes pending events there, so messages raised by
// loader threads can reach the user), Hide once afterwards. Every member may be empty.
struct TWaitHooks {
    std::function<void()> Show;
    std::function<void()> Poll;
    std::function<void()> Hide;
};

// Installs the function called after every change of any load state, on the thread that made the
// change (a loader thread or the UI thread), and returns the previous one. The desktop front uses
// it to learn that a data set has settled without waiting: the listener must return quickly, and
// must neither change a load state nor wait for a data set.
std::function<void()> SetLoadStateListener(std::function<void()> listener);

// Installs the hooks used by WaitForDataSet (set once by the desktop front, before any window
// waits; tests install their own) and returns the previous ones.
TWaitHooks SetWaitHooks(TWaitHooks hooks);

// Returns at once unless the data set is loading. Otherwise shows the installed wait hooks (or the
// given ones) and blocks until the state changes, waking for the hooks' Poll in between; returns
// the final state. Call it on the UI thread only (the desktop hooks touch windows); other threads
// use WaitForDataSetQuietly.
TLoadState WaitForDataSet(const TLoadStatus& status);
TLoadState WaitForDataSet(const TLoadStatus& status, const TWaitHooks& hooks);

// The same without any waiting window: blocks until the data set is no longer loading.
TLoadState WaitForDataSetQuietly(const TLoadStatus& status);

// For each of the five XML data sets whose status is 1 the status becomes -2; each loader stops
// at its next element. CodeKeywordsStatus is left alone.
void CancelLoading();

// The load status of a data set.
TLoadStatus& LoadStatusOf(TDataSet ASet);
