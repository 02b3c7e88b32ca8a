// The Tabular List of one edition with its code resolver. The loader writes it while the Tabular
// load status is Loading; it is only read after that (services/LoadStatus.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "model/CodeResolver.h"
#include "model/GlobalDef.h"

struct TTabularData {
    TChapterList Chapters;
    TIntroduction Introduction;
    // Counts the loads begun into Chapters; caches built from the list compare it.
    std::atomic<std::uint64_t> LoadCount{0};

    // The resolver of Chapters, built once per load: later calls return the same object until the
    // list is loaded again. Call it once the load has settled; safe from any thread.
    const TCodeResolver& Resolver() const;
    // Empties the list and its introduction (counted as a new load, so no stale resolver is used).
    void Clear();

private:
    mutable std::mutex FResolverMutex;
    mutable std::unique_ptr<TCodeResolver> FResolver;
    mutable std::uint64_t FResolverBuiltFor = 0;
};
