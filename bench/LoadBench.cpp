// Start-up loading on the real embedded data: every data set, the Tabular List alone, and the
// peak resident memory of a process that has loaded everything.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "data/EmbeddedResources.h"
#include "model/TabularLoader.h"
#include "services/DataSets.h"
#include "startup/Boot.h"
#include "startup/LoadedData.h"
#include "startup/StartUp.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// Start-up to the moment every status has left 1 (what a user waits for at most), on freshly
// cleared containers each time. "joined_ms" also covers the short descriptions, which load after
// the code keywords have already reported done.
// The "<set>_ms" counters say when each status left 1, to show which loader is the long pole.
void BM_LoadAllDataSets(benchmark::State& state) {
    static constexpr const char* names[DataSetCount] = {"tabular_ms", "dindex_ms",    "eindex_ms",
                                                        "drugs_ms",   "neoplasms_ms", "keywords_ms"};
    double joinedSeconds = 0;
    std::array<double, DataSetCount> readySeconds{};
    for (auto _ : state) {
        const auto start = Clock::now();
        StartDataLoading(EmbeddedResources());
        std::array<bool, DataSetCount> seen{};
        for (std::size_t left = DataSetCount; left > 0;) {
            for (std::size_t type = 0; type < DataSetCount; ++type) {
                if (!seen[type] && LoadedData().Status[AllDataSets[type]].load() != TLoadState::Loading) {
                    seen[type] = true;
                    readySeconds[type] += Seconds(Clock::now() - start);
                    --left;
                }
            }
            if (left > 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const auto ready = Clock::now();
        JoinLoaders();
        joinedSeconds += Seconds(Clock::now() - start);
        state.SetIterationTime(Seconds(ready - start));
    }
    for (TDataSet set : AllDataSets) {
        if (LoadedData().Status[set].load() != TLoadState::Done) state.SkipWithError("a data set did not load");
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["joined_ms"] = joinedSeconds * 1000 / iterations;
    for (std::size_t type = 0; type < DataSetCount; ++type)
        state.counters[names[type]] = readySeconds[type] * 1000 / iterations;
}
BENCHMARK(BM_LoadAllDataSets)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The Tabular List loader alone on one thread: inflating the resource and building the model.
void BM_TabularLoader(benchmark::State& state) {
    std::size_t chapters = 0;
    for (auto _ : state) {
        OpenResourceStreams(EmbeddedResources());
        auto stream = TakeResourceStream("Tabular");
        TChapterList chapterList;
        TIntroduction introduction;
        TLoadStatus status{TLoadState::NotStarted};
        const auto start = Clock::now();
        const TLoadState result = LoadTabularFromStream(*stream, chapterList, introduction, status);
        state.SetIterationTime(Seconds(Clock::now() - start));
        if (result != TLoadState::Done) state.SkipWithError("the Tabular List did not load");
        chapters = chapterList.size();
    }
    state.counters["chapters"] = static_cast<double>(chapters);
}
BENCHMARK(BM_TabularLoader)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Peak resident memory is only meaningful in a fresh process (earlier benchmarks load the data
// many times), so the benchmark runs this binary again with only the probe below, which loads
// everything once and writes its peak in kilobytes. The peak is the address space's high-water
// mark (VmHWM): getrusage's ru_maxrss would also carry the spawning process's peak across exec.
constexpr const char* kProbeVariable = "ZENDRA_RSS_PROBE_FILE";

long PeakResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void LoadRssProbe(benchmark::State& state) {
    for (auto _ : state) LoadAllDataNow(EmbeddedResources());
    std::ofstream(std::getenv(kProbeVariable)) << PeakResidentKilobytes();
}

[[maybe_unused]] const bool probeRegistered = [] {
    if (std::getenv(kProbeVariable)) benchmark::RegisterBenchmark("LoadRssProbe", LoadRssProbe)->Iterations(1);
    return true;
}();

void BM_PeakMemoryAfterLoadingAll(benchmark::State& state) {
    const std::string resultFile = "/tmp/zendra-rss-probe-" + std::to_string(getpid());
    long kilobytes = -1;
    for (auto _ : state) {
        const std::string variable = std::string(kProbeVariable) + "=" + resultFile;
        std::vector<char*> environment;
        for (char** entry = environ; *entry; ++entry) environment.push_back(*entry);
        environment.push_back(const_cast<char*>(variable.c_str()));
        environment.push_back(nullptr);
        char program[] = "/proc/self/exe";
        char filter[] = "--benchmark_filter=^LoadRssProbe/";
        char* arguments[] = {program, filter, nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        const int spawned = posix_spawn(&child, program, &actions, nullptr, arguments, environment.data());
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the memory probe process failed");
            break;
        }
        std::ifstream(resultFile) >> kilobytes;
        std::remove(resultFile.c_str());
    }
    state.counters["peak_rss_MB"] = static_cast<double>(kilobytes) / 1024.0;
}
BENCHMARK(BM_PeakMemoryAfterLoadingAll)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// The bench binary is made of every bench/*.cpp; a weak main lets any other file bring its own.
__attribute__((weak)) int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
