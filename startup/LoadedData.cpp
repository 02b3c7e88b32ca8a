#include "startup/LoadedData.h"

TLoadedData& LoadedData() {
    // Made on first use, before any loader thread starts, and never destroyed: loader threads that
    // are still winding down at exit may touch it.
    static auto* data = new TLoadedData;
    return *data;
}
