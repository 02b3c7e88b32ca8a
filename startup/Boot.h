// Wires the start-up to the real loaders of the six data sets (Tabular List, the two indexes,
// the two tables, the keyword data sets). Toolkit-free: the desktop program, the command-line
// front, tests and benchmarks all boot through here.
#pragma once

#include "services/Resources.h"
#include "startup/StartUp.h"

// The six real loader bodies plus the container clearing and the favourite scan.
TStartUpLoaders RealLoaders();

// Start-up with the real loaders; returns while the threads load (the desktop program).
// Throws std::runtime_error when a resource is missing.
void StartDataLoading(const TResourceProvider& provider);

// Start-up, then waits until every data set has left status 1 and joins the loader threads.
// For the command-line front, tests and benchmarks. Throws like StartDataLoading.
void LoadAllDataNow(const TResourceProvider& provider);

// Cancels the loaders still at work and joins every loader thread. A front whose message
// handler delivers loader messages on the calling thread passes AWhileWaiting (see JoinLoaders).
void ShutDownLoading(const std::function<void()>& AWhileWaiting = {});
