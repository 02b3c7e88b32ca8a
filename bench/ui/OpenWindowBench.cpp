// Opening a code from an index, table or chapter window: a new Tabular Search window on a code,
// from its creation until its first page is laid out, set into the text view and painted.
// Runs on the offscreen platform by default (no window server time). Target: <= 100 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>
#include <QWindow>
#include <cstdio>
#include <memory>

#include "tests/common/TestSupport.h"
#include "ui/KeywordSearch.h"

namespace {

std::unique_ptr<TfrmKeyWordSearch> OpenWindow(const char* code) {
    auto window = std::make_unique<TfrmKeyWordSearch>(nullptr);
    window->FInitType = TTabularOpening::Code;
    window->FInitCode = QString::fromLatin1(code);
    window->show();
    // Shown means mapped by the window server (at once on the offscreen platform) with text.
    while (window->ViewText().isEmpty() || !window->windowHandle()->isExposed()) QCoreApplication::processEvents();
    // The paint of the first page is posted; let it run.
    QCoreApplication::processEvents();
    return window;
}

void OpenTabularSearchWindow(benchmark::State& state, const char* code) {
    for (auto _ : state) {
        auto window = OpenWindow(code);
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(code);
}

// A small category, a seven-character fracture code's category and the largest category.
BENCHMARK_CAPTURE(OpenTabularSearchWindow, A00, "A00")->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(OpenTabularSearchWindow, S72_001, "S72.001")->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(OpenTabularSearchWindow, I70, "I70")->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    // Offscreen unless a platform is asked for (QT_QPA_PLATFORM=xcb under an X server and a window
    // manager measures mapping and framing too).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    EnsureRealDataLoaded();
    // The first window of a run also loads fonts and creates the platform's first resources.
    QElapsedTimer first;
    first.start();
    OpenWindow("A00").reset();
    std::printf("first Tabular Search window of the run (A00): %lld ms\n", static_cast<long long>(first.elapsed()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
