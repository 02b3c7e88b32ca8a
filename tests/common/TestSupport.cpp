#include "TestSupport.h"

#include <mutex>

#include "Boot.h"
#include "EmbeddedResources.h"

void EnsureRealDataLoaded() {
    static std::once_flag loaded;
    std::call_once(loaded, [] { LoadAllDataNow(EmbeddedResources()); });
}
