// Helpers shared by the test binaries.
#pragma once

// Loads every real embedded data set into the shared globals, synchronously, and returns at once
// on later calls while that data is still in place (a test that runs its own start-up empties the
// containers; the next call then loads again). Every status is 2 afterwards unless a loader
// failed. Where "ProgramData" and "AppData" are unset they are pointed at a private temporary
// folder first, so tests never touch the real user's data folders.
void EnsureRealDataLoaded();
