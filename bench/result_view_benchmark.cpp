// Times how a large search result reaches the main window: the groups as the engine reports
// them, then the end of the search, when they join the tree sorted and are drawn. MillionResult
// gives the figures of a result as large as bench/make-million.sh makes: 300,000 groups (100,000
// of four files, 200,000 pairs) in 1,000 folders.
#include "_compearer/panel/ocompearer.h"
#include "dialogs/settings_user.h"
#include "main/fmain.h"
#include "main/result_model.h"
#include "main/result_tree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
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

// The resident memory of this process in MiB.
double ResidentMib() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kib = 0;
            status >> kib;
            return kib / 1024;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

double MillisecondsOf(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// The longest gap between two ticks of a timer that wants to run every millisecond: how long
// the event loop was kept waiting at most.
class TStallMeter : public QObject {
public:
    TStallMeter() {
        since_.start();
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            longest_ = std::max(longest_, MillisecondsOf(since_));
            since_.restart();
        });
        timer_.start();
    }
    double Longest() const { return std::max(longest_, MillisecondsOf(since_)); }

private:
    QTimer timer_;
    QElapsedTimer since_;
    double longest_ = 0;
};

// The events of the million tree's search, groups in a scrambled order; every 256 groups the
// window gets its pending messages, as the engine's polls give them.
void ReportMillion(parvex::TFmain& window, std::int64_t groups) {
    const std::int64_t quads = groups / 3;
    for (std::int64_t g = 0; g < groups; ++g) {
        const std::int64_t id = (g * 7919) % groups;
        const std::string name = "f" + std::to_string(id) + ".dat";
        window.FoundHandler(name, true);
        const int copies = id < quads ? 4 : 2;
        for (int c = 0; c < copies; ++c)
            window.FoundHandler(
                "/data/million/d" + std::to_string((id * 7 + c * 331) % 1000) + "/" + name, false);
        if (g % 256 == 255)
            QCoreApplication::processEvents();
    }
}

// Gives the view every group of the result, as scrolling to its end does: the longest single
// step, in milliseconds.
double LongestStepToTheEnd(parvex::TResultModel& model) {
    double longest = 0;
    while (model.canFetchMore(QModelIndex())) {
        QElapsedTimer step;
        step.start();
        model.fetchMore(QModelIndex());
        QCoreApplication::processEvents();
        longest = std::max(longest, MillisecondsOf(step));
    }
    return longest;
}

// Shows the million result, then clears it as a new search does: how long the result takes to
// appear sorted after the last event, the longest stall of the event loop from the first event
// until it is shown, the longest step of scrolling to its end, how long clearing takes, and the
// window's memory for the result.
void MillionResult(benchmark::State& state) {
    TWindow shown;
    for (auto _ : state) {
        const double before = ResidentMib();
        shown.window->SearchStarted();
        const TStallMeter stalls;
        ReportMillion(*shown.window, state.range(0));
        QElapsedTimer timer;
        timer.start();
        shown.window->SearchCompleted();
        QCoreApplication::processEvents();
        shown.window->TV1->viewport()->repaint();
        const double showMs = MillisecondsOf(timer);
        state.counters["longest_stall_ms"] = stalls.Longest();
        state.counters["scroll_step_ms"] = LongestStepToTheEnd(*shown.window->ResultModel);
        const double after = ResidentMib();
        timer.restart();
        shown.window->SearchStarted();
        QCoreApplication::processEvents();
        const double clearMs = MillisecondsOf(timer);
        shown.window->SearchCompleted();
        state.counters["show_ms"] = showMs;
        state.counters["clear_ms"] = clearMs;
        state.counters["window_mib"] = after - before;
    }
}

// A real search by size and content through the window, over the tree in $PARVEX_MILLION (made
// by bench/make-million.sh): the longest stall of the event loop from the click on Start until
// the result is drawn, how long the result takes to appear after the comparison ends, clearing
// it, and the process's memory at the end. With PARVEX_REMEMBER=0 the window does not remember
// what it compared, as `parvex-cli --no-cache` does not.
void MillionSearch(benchmark::State& state) {
    const char* tree = std::getenv("PARVEX_MILLION");
    if (tree == nullptr) {
        state.SkipWithError("set PARVEX_MILLION to a tree made by bench/make-million.sh");
        return;
    }
    TWindow shown;
    if (const char* remember = std::getenv("PARVEX_REMEMBER"); remember && *remember == '0')
        shown.window->D_settings_user->WriteRememberCompared(false);
    parvex::TCompearerCore& core = shown.window->Ocompearer1->Core();
    core.SetKeys({.Size = true, .Content = true});
    shown.window->Edit_root->setText(QFile::decodeName(tree));
    QElapsedTimer sinceCompared;
    core.OnSearchComplete = [&sinceCompared, complete = core.OnSearchComplete] {
        sinceCompared.start();
        complete();
    };
    for (auto _ : state) {
        const TStallMeter stalls;
        QElapsedTimer search;
        search.start();
        shown.window->Ocompearer1btn_startClick();
        QCoreApplication::processEvents();
        shown.window->TV1->viewport()->repaint();
        state.counters["search_s"] = MillisecondsOf(search) / 1000;
        state.counters["show_ms"] = MillisecondsOf(sinceCompared);
        state.counters["longest_stall_ms"] = stalls.Longest();
        state.counters["groups"] =
            static_cast<double>(shown.window->ResultModel->Result().GroupCount());
        state.counters["resident_mib"] = ResidentMib();
        QElapsedTimer clearing;
        clearing.start();
        shown.window->SearchStarted();
        QCoreApplication::processEvents();
        state.counters["clear_ms"] = MillisecondsOf(clearing);
        shown.window->SearchCompleted();
    }
}

} // namespace

BENCHMARK(MillionSearch)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(MillionResult)->Arg(300000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReportResult)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ShowSortedResult)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
