// Helpers shared by the test binaries.
#pragma once

// Loads every real embedded data set into the shared globals, synchronously, and returns at once
// on later calls while that data is still in place (a test that runs its own start-up empties the
// containers; the next call then loads again). Every status is 2 afterwards unless a loader
// failed. Where "ProgramData" and "AppData" are unset they are pointed at a private temporary
// folder first, so tests never touch the real user's data folders.
void EnsureRealDataLoaded();

#include <string_view>

#include "model/GlobalDef.h"
#include "startup/LoadedData.h"

// The node a code text names itself ("S52.52", "A00"), as the code resolver finds it; null when
// the text names no node (a seventh-character code names the code it completes, not a node). The
// list form is for lists that live for the whole test binary (one resolver is built per list); the
// short form asks the program's resolver of the shared LoadedData().Tabular.Chapters.
TCodeInfo* FindNode(const TChapterList& chapters, std::string_view codeText);
TCodeInfo* FindNode(std::string_view codeText);
