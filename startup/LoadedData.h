// Everything the program loaded from the data sets of the edition in use, in one place. The fronts
// (windows, command line) take it from LoadedData() and hand each library the part it works on;
// the libraries below never reach for it themselves.
#pragma once

#include "index/IndexModel.h"
#include "keywords/KeywordData.h"
#include "model/TabularData.h"

struct TLoadedData {
    TTabularData Tabular;
    TIndexData Index;
    TKeywordTables Keywords;

    // The code resolver of the Tabular List; waits (without showing anything) while it loads.
    const TCodeResolver& CodeResolver() const;
    // Empties every data set (before a new start-up fills them again).
    void Clear();
};

// The data of this process. Filled by the start-up's loader threads (startup/Boot.h).
TLoadedData& LoadedData();
