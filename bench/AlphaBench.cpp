// The index window's per-keystroke work on the real disease and external cause indexes, loaded
// into private letter lists: listing one level for a filter key and building the texts of one
// page of rows (marker, full title, code).
// Target: a keystroke's refill (filter plus one page of row texts) <= 1 ms.
#include <benchmark/benchmark.h>

#include <functional>
#include <mutex>
#include <tuple>

#include "data/EmbeddedResources.h"
#include "index/AlphaSearchLogic.h"
#include "index/IndexLoader.h"
#include "services/Resources.h"

namespace {

struct TAlphaBenchData {
    TAlphaLetterList diseases;
    TAlphaLetterList external;
};

TAlphaBenchData& BenchData() {
    static TAlphaBenchData data;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        for (auto [name, type, letters] : {std::tuple{"DIndex", TDataSet::DiseaseIndex, &data.diseases},
                                           std::tuple{"EIndex", TDataSet::ExternalIndex, &data.external}}) {
            const auto bytes = EmbeddedResources().Find(name);
            TResourceStream stream(bytes ? *bytes : TResourceBytes{});
            TLoadStatus status{TLoadState::NotStarted};
            LoadIndexFromStream(stream, type, *letters, status);
        }
    });
    return data;
}

// The term with the most sub-terms anywhere in the index (the largest sub-level list).
const TTerm* LargestSubList(const TAlphaLetterList& letters) {
    const TTerm* best = nullptr;
    std::function<void(const TTerm&)> walk = [&](const TTerm& term) {
        if (best == nullptr || term.FSubTermList.size() > best->FSubTermList.size()) best = &term;
        for (const auto& sub : term.FSubTermList) walk(*sub);
    };
    for (const auto& letter : letters)
        for (const auto& term : letter->FMainTermList) walk(*term);
    return best;
}

// One keystroke: the filtered list and the three texts of each row of the first page.
void Refill(benchmark::State& state, const TAlphaLetterList& letters, const TTerm* curItem, const char* typed) {
    std::size_t listed = 0;
    for (auto _ : state) {
        const std::vector<TTerm*> items = AlphaFillItemList(letters, curItem, AlphaFilterKey(typed));
        TAlphaPaging paging{static_cast<int32_t>(items.size()), 20, 1};
        paging.Clamp();
        for (int32_t i = 0; i < paging.RowsOnPage(); ++i) {
            const TTerm& term = *items[static_cast<std::size_t>(paging.FirstIndex() + i)];
            benchmark::DoNotOptimize(AlphaMarker(term));
            benchmark::DoNotOptimize(term.GetFullTitle(true));
        }
        listed = items.size();
    }
    state.counters["terms"] = static_cast<double>(listed);
}

void BM_AlphaDiseasesEmptyKey(benchmark::State& state) {
    Refill(state, BenchData().diseases, nullptr, "");
}
void BM_AlphaDiseasesLetterP(benchmark::State& state) {
    Refill(state, BenchData().diseases, nullptr, "p");
}
void BM_AlphaDiseasesPrefixPneu(benchmark::State& state) {
    Refill(state, BenchData().diseases, nullptr, "pneu");
}
void BM_AlphaDiseasesLargestSubList(benchmark::State& state) {
    Refill(state, BenchData().diseases, LargestSubList(BenchData().diseases), "s");
}
void BM_AlphaExternalEmptyKey(benchmark::State& state) {
    Refill(state, BenchData().external, nullptr, "");
}

}  // namespace

BENCHMARK(BM_AlphaDiseasesEmptyKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AlphaDiseasesLetterP)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AlphaDiseasesPrefixPneu)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AlphaDiseasesLargestSubList)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AlphaExternalEmptyKey)->Unit(benchmark::kMicrosecond);
