#include "startup/LoadedData.h"

#include "services/LoadStatus.h"

const TCodeResolver& TLoadedData::CodeResolver() const {
    WaitForDataSetQuietly(Status[TDataSet::Tabular]);
    return Tabular.Resolver();
}

void TLoadedData::Clear() {
    Tabular.Clear();
    Index.Clear();
    Keywords.Clear();
}

TLoadedData& LoadedData() {
    // Made on first use, before any loader thread starts, and never destroyed: loader threads that
    // are still winding down at exit may touch it.
    static auto* data = new TLoadedData;
    return *data;
}

TUserData& UserData() {
    // Made on first use and never destroyed, like the loaded data.
    static auto* data = new TUserData;
    return *data;
}
