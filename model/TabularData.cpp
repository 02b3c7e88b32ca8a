#include "model/TabularData.h"

const TCodeResolver& TTabularData::Resolver() const {
    std::lock_guard lock(FResolverMutex);
    const std::uint64_t loads = LoadCount.load();
    if (!FResolver || FResolverBuiltFor != loads) {
        FResolver = std::make_unique<TCodeResolver>(Chapters);
        FResolverBuiltFor = loads;
    }
    return *FResolver;
}

void TTabularData::Clear() {
    LoadCount.fetch_add(1);
    Chapters.clear();
    Introduction = TIntroduction{};
}
