// The keyword subsystem on the real embedded data, on private copies of the Tabular List and the
// keyword tables (the start-up benchmarks reuse the shared ones). Targets: keyword search over all
// categories <= 1 ms, full-text search with all seven kinds for two words <= 20 ms, a suggestion
// refresh for one letter with no keyword before it <= 2 ms; a search that needs corrections or the
// chart-phrase reading <= 5 ms; the spelling help is built once per keyword set, and its memory is
// reported; loading the three text sets is reported.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "data/EmbeddedResources.h"
#include "keywords/KeywordData.h"
#include "keywords/KeywordPrompt.h"
#include "keywords/KeywordSearch.h"
#include "keywords/KeywordSpelling.h"
#include "model/TabularLoader.h"
#include "services/Messages.h"
#include "services/Resources.h"
#include "services/TextUtil.h"

namespace {

struct TKeywordBenchData {
    TChapterList chapters;
    TIntroduction introduction;
    TKeywordTables keywords;
};

TResourceStream OpenSet(const char* name) {
    const auto bytes = EmbeddedResources().Find(name);
    return TResourceStream(bytes ? *bytes : TResourceBytes{});
}

TKeywordBenchData& BenchData() {
    static TKeywordBenchData data;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        TLoadStatus tabularStatus{TLoadState::NotStarted};
        TResourceStream tabular = OpenSet("Tabular");
        LoadTabularFromStream(tabular, data.chapters, data.introduction, tabularStatus);
        TLoadStatus keywordStatus{TLoadState::NotStarted};
        TResourceStream keywords = OpenSet("CodeKeywords");
        LoadCodeKeywords(keywords, true, false, true, data.keywords.Codes, data.keywords.Refs, keywordStatus);
    });
    return data;
}

// Steady state: the record index of the keyword table is already made.
void BM_KeywordSearchAllCategories(benchmark::State& state) {
    auto& data = BenchData();
    const TStringList keywords = {"TYPHOID", "MENINGITIS"};
    FillResultList(data.chapters, TSearchMode::Keywords, 0, keywords, data.keywords);
    std::size_t found = 0;
    for (auto _ : state) {
        const auto results = FillResultList(data.chapters, TSearchMode::Keywords, 0, keywords, data.keywords);
        found = results.size();
        benchmark::DoNotOptimize(results.data());
    }
    state.counters["results"] = static_cast<double>(found);
}
BENCHMARK(BM_KeywordSearchAllCategories)->Unit(benchmark::kMicrosecond);

// The first search after the tables were (re)filled: the record index is made again.
void BM_KeywordSearchColdCache(benchmark::State& state) {
    auto& data = BenchData();
    const TStringList keywords = {"FRACTURE"};
    std::size_t found = 0;
    for (auto _ : state) {
        ++data.keywords.Generation;
        const auto results = FillResultList(data.chapters, TSearchMode::Keywords, 0, keywords, data.keywords);
        found = results.size();
    }
    state.counters["results"] = static_cast<double>(found);
}
BENCHMARK(BM_KeywordSearchColdCache)->Unit(benchmark::kMicrosecond);

// Full text with all seven kinds; the pairs range from a common first word (most sub-code walks)
// to two words that occur nowhere together.
void BM_FullTextAllKindsTwoWords(benchmark::State& state) {
    static const std::vector<TStringList> pairs = {
        {"FRACTURE", "FEMUR"}, {"TYPHOID", "MENINGITIS"}, {"DISEASE", "ZEBRA"}, {"LEFT", "NONEXISTENT"}};
    auto& data = BenchData();
    const TStringList& keywords = pairs[static_cast<std::size_t>(state.range(0))];
    std::size_t found = 0;
    for (auto _ : state) {
        const auto results =
            FillResultList(data.chapters, TSearchMode::FullText, FullTextFlag::All, keywords, data.keywords);
        found = results.size();
    }
    state.SetLabel(keywords[0] + "," + keywords[1]);
    state.counters["results"] = static_cast<double>(found);
}
BENCHMARK(BM_FullTextAllKindsTwoWords)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// A suggestion refresh for a one-letter word with no keyword before it: every record's keywords
// are scanned and the matches sorted.
void BM_SuggestOneLetter(benchmark::State& state) {
    auto& data = BenchData();
    TKeywordPrompt prompt(data.keywords);
    const std::string letter(1, static_cast<char>(state.range(0)));
    const std::string upper(1, static_cast<char>(state.range(0) - 32));
    std::size_t suggestions = 0;
    bool other = false;
    for (auto _ : state) {
        // Alternate the letter's case: another typed word, so every refresh recomputes.
        prompt.RefreshPrompt(other ? upper : letter, false);
        other = !other;
        suggestions = std::max(suggestions, prompt.FGotPromptList.Count());
    }
    state.SetLabel(letter);
    state.counters["suggestions"] = static_cast<double>(suggestions);
}
BENCHMARK(BM_SuggestOneLetter)->Arg('s')->Arg('c')->Arg('t')->Unit(benchmark::kMicrosecond);

TKeywordSpelling& BenchSpelling() {
    static TKeywordSpelling spelling(BenchData().keywords.Refs, BenchData().keywords.Spellings);
    return spelling;
}

// The whole search of a text that finds nothing as typed: the search as typed, then the reading.
const char* const ForgivingQueries[] = {"pnemonia",
                                        "diabetic neuropathey",
                                        "haematuria",
                                        "alzheimers",
                                        "type 2 diabetes with diabetic polyneuropathy",
                                        "urinary tract infection due to e coli",
                                        "acute on chronic diastolic heart failure",
                                        "fracture of shaft of left tibia"};

void BM_KeywordSearchForgiving(benchmark::State& state) {
    auto& data = BenchData();
    const std::string text = ForgivingQueries[state.range(0)];
    const TKeywordSpelling& spelling = BenchSpelling();
    std::size_t found = 0;
    for (auto _ : state) {
        auto results =
            FillResultList(data.chapters, TSearchMode::Keywords, 0, SplitStrict(AsciiUpper(text)), data.keywords);
        if (results.empty()) results = ReadForgivingly(data.chapters, text, spelling, data.keywords).Results;
        found = results.size();
        benchmark::DoNotOptimize(results.data());
    }
    state.SetLabel(text);
    state.counters["results"] = static_cast<double>(found);
}
BENCHMARK(BM_KeywordSearchForgiving)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

// Built on the first search that needs it; "added_MB" is the resident memory one copy adds.
void BM_BuildKeywordSpelling(benchmark::State& state) {
    auto& data = BenchData();
    double addedMegabytes = 0;
    for (auto _ : state) {
        const long before = ResidentKilobytes();
        auto spelling = std::make_unique<TKeywordSpelling>(data.keywords.Refs, data.keywords.Spellings);
        addedMegabytes = std::max(addedMegabytes, static_cast<double>(ResidentKilobytes() - before) / 1024.0);
        benchmark::DoNotOptimize(spelling.get());
    }
    state.counters["added_MB"] = addedMegabytes;
}
BENCHMARK(BM_BuildKeywordSpelling)->Unit(benchmark::kMillisecond);

void BM_LoadCodeKeywords(benchmark::State& state) {
    std::size_t records = 0;
    for (auto _ : state) {
        TCodeKeywordsList codes;
        TKeywordRefList refs;
        TLoadStatus status{TLoadState::NotStarted};
        TResourceStream source = OpenSet("CodeKeywords");
        LoadCodeKeywords(source, true, false, true, codes, refs, status);
        records = codes.size();
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_LoadCodeKeywords)->Unit(benchmark::kMillisecond);

// Another keyword set read from a file (ZENDRA_KEYWORDS_FILE, e.g. an older CodeKeywords2021.txt),
// so two sets can be compared on the same loader; skipped when the variable is not set.
void BM_LoadCodeKeywordsFile(benchmark::State& state) {
    const char* fileName = std::getenv("ZENDRA_KEYWORDS_FILE");
    if (fileName == nullptr) {
        state.SkipWithError("ZENDRA_KEYWORDS_FILE is not set");
        return;
    }
    std::ifstream file(fileName, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::size_t records = 0;
    for (auto _ : state) {
        TCodeKeywordsList codes;
        TKeywordRefList refs;
        TLoadStatus status{TLoadState::NotStarted};
        std::istringstream source(text);
        LoadCodeKeywords(source, true, false, true, codes, refs, status);
        records = codes.size();
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_LoadCodeKeywordsFile)->Unit(benchmark::kMillisecond);

void BM_LoadSpecialKeywords(benchmark::State& state) {
    for (auto _ : state) {
        TSpecialKeywordList list;
        TResourceStream source = OpenSet("SpecialKWs");
        LoadSpecialKeywords(source, list);
        benchmark::DoNotOptimize(list.data());
    }
}
BENCHMARK(BM_LoadSpecialKeywords)->Unit(benchmark::kMicrosecond);

void BM_LoadShortDescriptions(benchmark::State& state) {
    std::size_t codes = 0;
    for (auto _ : state) {
        TShortDescMap map;
        TResourceStream source = OpenSet("ShortDesc");
        LoadShortDescriptions(source, map);
        codes = map.size();
    }
    state.counters["codes"] = static_cast<double>(codes);
}
BENCHMARK(BM_LoadShortDescriptions)->Unit(benchmark::kMillisecond);

}  // namespace
