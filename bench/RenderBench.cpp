// Code text layout and page rendering on the real Tabular List: laying out the largest category
// (by laid-out lines at 90 x 16) and building one page's render plan with ten highlight variants.
// Targets: layout <= 10 ms, one page plan <= 1 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "data/EmbeddedResources.h"
#include "model/TabularLoader.h"
#include "render/CodeTextPager.h"

namespace {

struct TRenderBenchData {
    TChapterList chapters;
    TIntroduction introduction;
    TCodeInfo* largest = nullptr;
    std::size_t largestLines = 0;
};

// Loads the Tabular List once and finds the category with the most lines at 90 x 16.
const TRenderBenchData& BenchData() {
    static TRenderBenchData data;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        TLoadStatus status;
        if (const auto bytes = EmbeddedResources().Find("Tabular")) {
            TResourceStream stream(*bytes);
            LoadTabularFromStream(stream, data.chapters, data.introduction, status);
        }
        TCodeTextPager pager;
        for (const auto& chapter : data.chapters) {
            for (const auto& section : chapter->FSubList) {
                for (const auto& category : section->FCodeList) {
                    int selectedLine = 1;
                    pager.BuildContent(category.get(), "", selectedLine);
                    if (pager.FContentStringList.size() > data.largestLines) {
                        data.largestLines = pager.FContentStringList.size();
                        data.largest = category.get();
                    }
                }
            }
        }
    });
    return data;
}

// Ten highlight variants that occur on the page: its first ten distinct words of four letters or more.
std::vector<std::string> VariantsFromPage(const TCodeTextPager& pager, int page) {
    std::vector<std::string> variants;
    const auto first = static_cast<std::size_t>((page - 1) * pager.FLinePerPage);
    for (std::size_t index = first; index < pager.FContentStringList.size() && variants.size() < 10; ++index) {
        std::string word;
        for (char32_t character : pager.FContentStringList[index] + U" ") {
            const bool letter = (character >= U'a' && character <= U'z') || (character >= U'A' && character <= U'Z');
            if (letter) {
                word += static_cast<char>(character >= U'a' ? character - 32 : character);
                continue;
            }
            if (word.size() >= 4 && std::find(variants.begin(), variants.end(), word) == variants.end() &&
                variants.size() < 10) {
                variants.push_back(word);
            }
            word.clear();
        }
    }
    return variants;
}

void BM_LayoutLargestCategory(benchmark::State& state) {
    const auto& data = BenchData();
    if (!data.largest) {
        state.SkipWithError("Tabular List not loaded");
        return;
    }
    TCodeTextPager pager;
    for (auto _ : state) {
        int selectedLine = 1;
        pager.BuildContent(data.largest, "", selectedLine);
        benchmark::DoNotOptimize(pager.FContentStringList.data());
    }
    state.SetLabel(data.largest->FCode + ", " + std::to_string(pager.FContentStringList.size()) + " lines, " +
                   std::to_string(pager.FPageNumber) + " pages");
}
BENCHMARK(BM_LayoutLargestCategory)->Unit(benchmark::kMillisecond);

void BM_RenderPagePlanTenVariants(benchmark::State& state) {
    const auto& data = BenchData();
    if (!data.largest) {
        state.SkipWithError("Tabular List not loaded");
        return;
    }
    TCodeTextPager pager;
    int selectedLine = 1;
    pager.BuildContent(data.largest, "", selectedLine);
    const int page = pager.FPageNumber / 2 + 1;
    pager.FSearchKeyWordVariantList = VariantsFromPage(pager, page);
    pager.FSelectedCode = data.largest->FCode;
    std::size_t operations = 0;
    for (auto _ : state) {
        const TRenderPlan plan =
            RenderPage(pager.FContentStringList, pager.FLinePerPage, page, pager.FTypeWordsList,
                       pager.FSearchKeyWordVariantList, pager.FLineBoldFlagStr, pager.FSelectedCode);
        operations = plan.Operations.size();
        benchmark::DoNotOptimize(plan.Text.data());
    }
    state.SetLabel(data.largest->FCode + " page " + std::to_string(page) + ", " +
                   std::to_string(pager.FSearchKeyWordVariantList.size()) + " variants, " + std::to_string(operations) +
                   " operations");
}
BENCHMARK(BM_RenderPagePlanTenVariants)->Unit(benchmark::kMicrosecond);

void BM_RenderPageIntoRecordingView(benchmark::State& state) {
    const auto& data = BenchData();
    if (!data.largest) {
        state.SkipWithError("Tabular List not loaded");
        return;
    }
    TRecordingTextView view;
    TCodeTextPager pager(&view, nullptr);
    int selectedLine = 1;
    pager.BuildContent(data.largest, "", selectedLine);
    const int page = pager.FPageNumber / 2 + 1;
    pager.FSearchKeyWordVariantList = VariantsFromPage(pager, page);
    for (auto _ : state) {
        view.FCalls.clear();
        pager.RenderPage(page);
        benchmark::DoNotOptimize(view.FColours.data());
    }
}
BENCHMARK(BM_RenderPageIntoRecordingView)->Unit(benchmark::kMicrosecond);

}  // namespace
