// Everything the program loaded from the data sets of the edition in use, in one place. The fronts
// (windows, command line) take it from LoadedData() and hand each library the part it works on;
// the libraries below never reach for it themselves.
#pragma once

#include "keywords/KeywordData.h"

struct TLoadedData {
    TKeywordTables Keywords;
};

// The data of this process. Filled by the start-up's loader threads (startup/Boot.h).
TLoadedData& LoadedData();
