// The program's state in one place: everything it loaded from the data sets of the edition in use
// (with their load statuses and the edition itself), and the user's data. The fronts (windows,
// command line) take them from LoadedData() and UserData() and hand each library the part it works
// on; the libraries below never reach for them themselves.
#pragma once

#include <memory>
#include <string>

#include "editions/Editions.h"
#include "index/IndexModel.h"
#include "keywords/KeywordData.h"
#include "model/TabularData.h"
#include "services/DataSets.h"
#include "services/Resources.h"
#include "userdata/UserData.h"

// The edition whose data sets are loaded, and the files they are read from.
struct TEditionInUse {
    TEditionInfo Edition = EmbeddedEdition();
    const TResourceProvider* Program = nullptr;  // the program's own resources, as given to the last UseEdition
    std::unique_ptr<TResourceProvider> Data;     // an installed edition's files; null for the embedded one
    // What the coder is told about the start-up's choice of edition (empty when the kept one was followed).
    std::string StartNotice;
};

struct TLoadedData {
    TTabularData Tabular;
    TIndexData Index;
    TKeywordTables Keywords;
    // One per data set, shared by its loader thread and every reader (services/LoadStatus.h).
    TLoadStatuses Status;
    TEditionInUse InUse;

    // The code resolver of the Tabular List; waits (without showing anything) while it loads.
    const TCodeResolver& CodeResolver() const;
    // Empties every data set (before a new start-up fills them again).
    void Clear();
};

// The data of this process. Filled by the start-up's loader threads (startup/Boot.h).
TLoadedData& LoadedData();
// The user's data of this process: its folders are set by the start-up (StartUp.h), the rest by the
// launcher (settings, history) and the start-up's scan of the favourite lists.
TUserData& UserData();
