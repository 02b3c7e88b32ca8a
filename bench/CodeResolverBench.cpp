// The code resolver on the real Tabular List: building its index, one look-up, and the validate
// command's work on one million codes (every node and code of the order-file listing, undotted as
// claims files write them, repeated). Targets: a look-up well under a microsecond, one million
// codes validated well under a second.
#include <benchmark/benchmark.h>

#include <mutex>
#include <string>
#include <vector>

#include "data/EmbeddedResources.h"
#include "model/CodeResolver.h"
#include "model/TabularLoader.h"
#include "model/ValidateCodes.h"
#include "services/Resources.h"

namespace {

struct TResolverBenchData {
    TChapterList chapters;
    TIntroduction introduction;
    std::vector<std::string> codes;  // undotted, in tabular order
};

TResolverBenchData& BenchData() {
    static TResolverBenchData data;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        const auto bytes = EmbeddedResources().Find("Tabular");
        TResourceStream stream(bytes ? *bytes : TResourceBytes{});
        TLoadStatus status{TLoadState::NotStarted};
        LoadTabularFromStream(stream, data.chapters, data.introduction, status);
        for (const auto& chapter : data.chapters) {
            for (const auto& section : chapter->FSubList) {
                for (const auto& category : section->FCodeList) {
                    TStringList codes;
                    TStringList flags;
                    TStringList descs;
                    category->GetAllNodeAndCodes(codes, flags, descs);
                    for (std::string& code : codes) {
                        if (code.size() > 3) code.erase(3, 1);
                        data.codes.push_back(std::move(code));
                    }
                }
            }
        }
    });
    return data;
}

void BM_ResolverBuild(benchmark::State& state) {
    const TResolverBenchData& data = BenchData();
    for (auto _ : state) {
        TCodeResolver resolver(data.chapters);
        benchmark::DoNotOptimize(resolver.ReportableCount());
    }
}
BENCHMARK(BM_ResolverBuild)->Unit(benchmark::kMillisecond);

void BM_ResolverAnswer(benchmark::State& state) {
    const TResolverBenchData& data = BenchData();
    const TCodeResolver resolver(data.chapters);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(resolver.Answer(data.codes[next]));
        if (++next == data.codes.size()) next = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ResolverAnswer);

void BM_ValidateOneMillionCodes(benchmark::State& state) {
    const TResolverBenchData& data = BenchData();
    const TCodeResolver resolver(data.chapters);
    constexpr std::size_t Count = 1000000;
    std::string input;
    for (std::size_t i = 0; i < Count; ++i) {
        input += data.codes[i % data.codes.size()];
        input += '\n';
    }
    std::string output;
    for (auto _ : state) {
        TCodeValidator validator(resolver, std::string(), output);
        // Fed in the command's 1 MiB blocks; the output is written away as it grows.
        for (std::size_t offset = 0; offset < input.size(); offset += 1 << 20) {
            validator.Feed(std::string_view(input).substr(offset, 1 << 20));
            output.clear();
        }
        validator.Finish();
        benchmark::DoNotOptimize(validator.Reportable());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Count));
}
BENCHMARK(BM_ValidateOneMillionCodes)->Unit(benchmark::kMillisecond);

}  // namespace
