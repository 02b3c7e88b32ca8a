// The loaded Tabular List: written by the Tabular loader thread while TabularStatus is 1, only
// read after that (services/LoadStatus.h).
#pragma once

#include <atomic>
#include <cstdint>

#include "model/GlobalDef.h"

// The Tabular List, filled by loader thread 0.
extern TChapterList ChapterList;
// Counts the Tabular List loads begun (any container); caches built from ChapterList compare it.
extern std::atomic<std::uint64_t> TabularLoadCount;
extern TIntroduction Introduction;
