// Start-up on an imported edition against the embedded one, and switching between the two: the
// unchanged 2021 files of data/ are imported once into a private editions folder, so both
// editions hold the same data and only where it is read from differs (the edition's compressed
// files, read from disk when the edition is opened, or the program itself).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "data/EmbeddedResources.h"
#include "editions/EditionImport.h"
#include "services/DataSets.h"
#include "startup/EditionInUse.h"
#include "startup/LoadedData.h"
#include "startup/StartUp.h"

namespace {

using Clock = std::chrono::steady_clock;

// The imported copy of the 2021 files, made on first use and removed at exit.
class TImportedEdition {
public:
    TImportedEdition() {
        FRoot = (std::filesystem::temp_directory_path() / "zendra-switch-bench-XXXXXX").string();
        if (mkdtemp(FRoot.data()) == nullptr) return;
        const TImportResult result = ImportRelease({ZENDRA_DATA_SOURCE_DIR}, FRoot, EmbeddedResources());
        if (result.Status == TImportStatus::Installed) FEdition = result.Edition;
    }
    ~TImportedEdition() {
        std::error_code ignored;
        std::filesystem::remove_all(FRoot, ignored);
    }
    const std::optional<TEditionInfo>& Edition() const { return FEdition; }

private:
    std::string FRoot;
    std::optional<TEditionInfo> FEdition;
};

const std::optional<TEditionInfo>& Imported() {
    static TImportedEdition imported;
    return imported.Edition();
}

// Puts AEdition in use and waits until every data set has left 1; the seconds until then, and
// until every loader thread has ended (AJoined).
double LoadEdition(const TEditionInfo& AEdition, double& AJoined) {
    const auto start = Clock::now();
    StartEditionLoading(AEdition, EmbeddedResources());
    while (AnyLoaderBusy()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    const auto ready = Clock::now();
    JoinLoaders();
    AJoined += std::chrono::duration<double>(Clock::now() - start).count();
    return std::chrono::duration<double>(ready - start).count();
}

bool AllLoaded() {
    for (TDataSet set : AllDataSets)
        if (LoadedData().Status[set].load() != TLoadState::Done) return false;
    return true;
}

// Start-up until all six data sets have loaded: argument 0 the embedded edition, 1 the imported one.
void BM_StartUpOnEdition(benchmark::State& state) {
    if (!Imported()) {
        state.SkipWithError("the 2021 files did not import");
        return;
    }
    const TEditionInfo edition = state.range(0) == 0 ? EmbeddedEdition() : *Imported();
    state.SetLabel(edition.Embedded ? "embedded" : "imported");
    double joined = 0;
    for (auto _ : state) state.SetIterationTime(LoadEdition(edition, joined));
    if (!AllLoaded()) state.SkipWithError("a data set did not load");
    state.counters["joined_ms"] = joined * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_StartUpOnEdition)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Switching from the loaded edition to the other one, back and forth: the loaders of the edition
// before are stopped, the other's files opened and all its data sets loaded.
void BM_SwitchEdition(benchmark::State& state) {
    if (!Imported()) {
        state.SkipWithError("the 2021 files did not import");
        return;
    }
    double joined = 0;
    LoadEdition(EmbeddedEdition(), joined);
    joined = 0;
    bool toImported = true;
    for (auto _ : state) {
        state.SetIterationTime(LoadEdition(toImported ? *Imported() : EmbeddedEdition(), joined));
        toImported = !toImported;
    }
    if (!AllLoaded()) state.SkipWithError("a data set did not load");
    state.counters["joined_ms"] = joined * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SwitchEdition)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

}  // namespace
