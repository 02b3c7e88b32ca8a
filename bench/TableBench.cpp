// The table window's per-keystroke work on the real drug and neoplasm tables, loaded into private
// letter lists: listing one level for a filter key and building the texts of one page of rows.
// Target: a keystroke's refill (filter plus one page of row texts) <= 1 ms.
#include <benchmark/benchmark.h>

#include <mutex>

#include "data/EmbeddedResources.h"
#include "index/IndexLoader.h"
#include "index/TableSearchLogic.h"
#include "services/Resources.h"

namespace {

struct TTableBenchData {
    TAlphaLetterList drugs;
    TAlphaLetterList neoplasms;
};

TTableBenchData& BenchData() {
    static TTableBenchData data;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        for (auto [name, type, letters] : {std::tuple{"TableOfDrugs", TDataSet::DrugTable, &data.drugs},
                                           std::tuple{"TableOfNeoplasms", TDataSet::NeoplasmTable, &data.neoplasms}}) {
            const auto bytes = EmbeddedResources().Find(name);
            TResourceStream stream(bytes ? *bytes : TResourceBytes{});
            TLoadStatus status{TLoadState::NotStarted};
            LoadIndexFromStream(stream, type, *letters, status);
        }
    });
    return data;
}

// One keystroke: the filtered list and the eight texts of each row of the first page.
void Refill(benchmark::State& state, const TAlphaLetterList& letters, const TTerm* curItem, const char* typed) {
    std::size_t listed = 0;
    for (auto _ : state) {
        const std::vector<TTerm*> items = TableFillItemList(letters, curItem, TableFilterKey(typed));
        TTablePaging paging{static_cast<int32_t>(items.size()), 22, 1};
        paging.Clamp();
        for (int32_t i = 0; i < paging.RowsOnPage(); ++i)
            benchmark::DoNotOptimize(TableRowTexts(*items[static_cast<std::size_t>(paging.FirstIndex() + i)]));
        listed = items.size();
    }
    state.counters["terms"] = static_cast<double>(listed);
}

void BM_TableDrugsEmptyKey(benchmark::State& state) {
    Refill(state, BenchData().drugs, nullptr, "");
}
void BM_TableDrugsLetterA(benchmark::State& state) {
    Refill(state, BenchData().drugs, nullptr, "a");
}
void BM_TableDrugsPrefixAcet(benchmark::State& state) {
    Refill(state, BenchData().drugs, nullptr, "acet");
}
void BM_TableNeoplasmSitesKeyS(benchmark::State& state) {
    const TAlphaLetterList& letters = BenchData().neoplasms;
    const TTerm* main = letters.empty() || letters.front()->FMainTermList.empty()
                            ? nullptr
                            : letters.front()->FMainTermList.front().get();
    Refill(state, letters, main, "s");
}

}  // namespace

BENCHMARK(BM_TableDrugsEmptyKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TableDrugsLetterA)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TableDrugsPrefixAcet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TableNeoplasmSitesKeyS)->Unit(benchmark::kMicrosecond);
