// "Mark by rules" on a million-file result held in memory: how long the figures of a list take
// to arrive, and the longest time the window's thread went without serving its messages
// meanwhile (a 1 ms timer measures the gaps).
#include "dialogs/keep_rules_dialog.h"
#include "main/result_data.h"
#include "main/result_facts.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>

namespace parvex {
namespace {

constexpr int kGroups = 333'334; // three copies each: 1,000,002 files

TResultData MillionFiles() {
    TResultData data;
    data.Restart(QCollator());
    for (int g = 0; g < kGroups; ++g) {
        const std::string name = "file" + std::to_string(g) + ".dat";
        data.AddGroup(QByteArray::fromStdString(name));
        for (int c = 0; c < 3; ++c) {
            TResultFacts facts;
            facts.Found = TFoundFile{{1, static_cast<std::uint64_t>(g * 3 + c + 1)}, 4096, 0};
            facts.AllNamesFound = true;
            facts.ModifiedNs = static_cast<std::int64_t>((g + c * 7) % 5) * 1'000'000'000;
            const std::string path = "/home/user/" + std::string(c == 1 ? "photos" : "work") + "/" +
                                     std::to_string(g % 997) + "/" + std::string(c + 1, 'd') + "/" +
                                     name;
            data.AddFile(QByteArray::fromStdString(path), facts);
        }
    }
    data.Finish();
    return data;
}

// Serves the window's messages until the dialog shows figures; the longest gap between two
// ticks of a 1 ms timer meanwhile, in milliseconds.
double WaitForFigures(const TKeepRulesDialog& dialog) {
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QEventLoop loop;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.restart();
        if (dialog.PreviewText->text().startsWith(QStringLiteral("Marks ")))
            loop.quit();
    });
    tick.start();
    loop.exec();
    return static_cast<double>(longest) / 1e6;
}

void BM_FiguresOfAMillionFiles(benchmark::State& state) {
    const TResultData data = MillionFiles();
    double firstMs = 0, nextMs = 0, stallMs = 0, closeMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto dialog = std::make_unique<TKeepRulesDialog>(
            TKeepPresets{},
            [&data](std::stop_token stop) { return ResultFacts(data, std::move(stop)); },
            std::vector<std::string>{"/home/user/photos/1/"});
        dialog->show();
        dialog->RuleKind->setCurrentIndex(0); // newest
        dialog->AddRule();
        stallMs = std::max(stallMs, WaitForFigures(*dialog));
        firstMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        clock.restart();
        dialog->RuleKind->setCurrentIndex(3); // longest-path, ties of newest go on
        dialog->AddRule();
        // A newer list at once supersedes the one being planned.
        dialog->MoveRule(true);
        stallMs = std::max(stallMs, WaitForFigures(*dialog));
        nextMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        clock.restart();
        dialog.reset();
        closeMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["files"] = static_cast<double>(data.FileCount());
    state.counters["first_figures_ms"] = firstMs;
    state.counters["next_figures_ms"] = nextMs;
    state.counters["longest_stall_ms"] = stallMs;
    state.counters["close_ms"] = closeMs;
}
BENCHMARK(BM_FiguresOfAMillionFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace parvex
