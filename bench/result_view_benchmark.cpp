// Times how a large search result reaches the main window: the groups as the engine reports
// them, then the end of the search, when they join the tree sorted and are drawn.
#include "dialogs/settings_user.h"
#include "main/fmain.h"
#include "main/result_tree.h"

#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace {

// A shown main window on a settings file of its own, which goes with it.
struct TWindow {
    QTemporaryDir folder;
    std::unique_ptr<parvex::TFmain> window;

    TWindow() {
        window = std::make_unique<parvex::TFmain>(std::make_unique<parvex::TD_settings_user>(
            QFile::encodeName(folder.filePath(QStringLiteral("parvex.set"))).toStdString()));
        window->show();
        QCoreApplication::processEvents();
    }
};

// The events of a search that found `groups` groups of three files, reported in an order that
// is not the sorted one.
void ReportGroups(parvex::TFmain& window, std::int64_t groups) {
    for (std::int64_t g = 0; g < groups; ++g) {
        const std::string name = "file_" + std::to_string((g * 7919) % groups) + ".dat";
        window.FoundHandler(name, true);
        for (int f = 3; f > 0; --f)
            window.FoundHandler("/data/folder_" + std::to_string(f) + "/" + name, false);
    }
}

void ReportResult(benchmark::State& state) {
    TWindow shown;
    for (auto _ : state) {
        state.PauseTiming();
        shown.window->SearchStarted();
        state.ResumeTiming();
        ReportGroups(*shown.window, state.range(0));
        state.PauseTiming();
        shown.window->SearchCompleted();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ShowSortedResult(benchmark::State& state) {
    TWindow shown;
    for (auto _ : state) {
        state.PauseTiming();
        shown.window->SearchStarted();
        ReportGroups(*shown.window, state.range(0));
        state.ResumeTiming();
        shown.window->SearchCompleted();
        QCoreApplication::processEvents();
        shown.window->TV1->viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(ReportResult)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ShowSortedResult)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
