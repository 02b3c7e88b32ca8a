// Waiting for a data set and cancelling the loaders, on top of the load statuses of DataSets.h.
// A reader of a shared container waits for the container's status first (or is called once it has
// settled); after that the container is only read, whatever the final status (a failed or
// cancelled set simply holds fewer entries).
#pragma once

#include <functional>

#include "services/DataSets.h"

// Installs the function called after every change of any load state, on the thread that made the
// change (a loader thread or the UI thread), and returns the previous one. The desktop front uses
// it to learn that a data set has settled without waiting: the listener must return quickly, and
// must neither change a load state nor wait for a data set.
std::function<void()> SetLoadStateListener(std::function<void()> listener);

// Blocks until the data set is no longer loading and returns its final state. For threads that
// may block (loaders, command-line front, the libraries' own lookups); the desktop windows never
// block the UI thread: they act once a set has settled (ui/DataSetSignals.h).
TLoadState WaitForDataSetQuietly(const TLoadStatus& status);

// For each of the five XML data sets whose status is Loading the status becomes Cancelled; each
// loader stops at its next element. The code keywords' status is left alone.
void CancelLoading(TLoadStatuses& AStatuses);
