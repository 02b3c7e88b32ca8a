// Helpers shared by the test binaries.
#pragma once

// Loads every real embedded data set into the shared globals, synchronously, once per test
// binary (later calls return at once). Every status is 2 afterwards unless a loader failed.
void EnsureRealDataLoaded();
