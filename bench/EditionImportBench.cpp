// Importing a published release at run time: the unchanged 2021 files of data/, imported (and
// replaced) into a private editions folder, every step the coder waits for. The "<step>_s"
// counters say where the time goes. Then what the What Changed window and `diff` wait for: two
// editions' order files read and compared.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "data/EmbeddedResources.h"
#include "editions/EditionDiff.h"
#include "editions/EditionImport.h"
#include "editions/Editions.h"

namespace {

using Clock = std::chrono::steady_clock;

void BM_ImportRelease(benchmark::State& state) {
    std::string root = (std::filesystem::temp_directory_path() / "zendra-import-bench-XXXXXX").string();
    if (mkdtemp(root.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::vector<double> stepSeconds(7, 0.0);
    for (auto _ : state) {
        TImportOptions options;
        options.ReplaceInstalled = true;
        Clock::time_point stepStart = Clock::now();
        int step = 0;
        options.Progress = [&](const TImportProgress& progress) {
            const Clock::time_point now = Clock::now();
            stepSeconds[static_cast<std::size_t>(step)] += std::chrono::duration<double>(now - stepStart).count();
            stepStart = now;
            step = progress.Step;
            return true;
        };
        const TImportResult result = ImportRelease({ZENDRA_DATA_SOURCE_DIR}, root, EmbeddedResources(), options);
        stepSeconds[static_cast<std::size_t>(step)] += std::chrono::duration<double>(Clock::now() - stepStart).count();
        if (result.Status != TImportStatus::Installed) {
            state.SkipWithError(result.Message.c_str());
            break;
        }
    }
    const char* names[] = {"", "read_s", "check_s", "derive_s", "verify_s", "compress_s", "install_s"};
    for (std::size_t i = 1; i < 7; ++i)
        state.counters[names[i]] = benchmark::Counter(stepSeconds[i] / static_cast<double>(state.iterations()));
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_ImportRelease)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

// The embedded order file against itself: both texts inflated, parsed and compared, as for any two
// editions (the work hardly depends on how many codes changed).
void BM_DiffEditions(benchmark::State& state) {
    const TEditionInfo embedded = EmbeddedEdition();
    for (auto _ : state) benchmark::DoNotOptimize(DiffEditions(embedded, embedded, EmbeddedResources()));
}
BENCHMARK(BM_DiffEditions)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
