// Times Find Next of "Search in found" through the model of a large result: a hit at the far
// end going down, one near the start going up, and a text that is nowhere.
#include "main/result_model.h"

#include <QByteArray>
#include <QCollator>
#include <QLocale>
#include <benchmark/benchmark.h>

namespace {

// A result of `groups` groups with three files each; the one file whose path holds "Needle" is
// in the last group.
struct TResult {
    parvex::TResultModel model;

    explicit TResult(int count) {
        parvex::TResultData data;
        data.Restart(QCollator(QLocale()));
        for (int g = 0; g < count; ++g) {
            data.AddGroup(QStringLiteral("file_%1.dat").arg(g, 6, 10, QLatin1Char('0')).toUtf8());
            for (int f = 0; f < 3; ++f)
                data.AddFile(g == count - 1 && f == 2
                                 ? QByteArray("/data/Needle/file.dat")
                                 : QStringLiteral("/data/folder_%1/sub_%2/file_%3.dat")
                                       .arg(f)
                                       .arg(g % 97)
                                       .arg(g)
                                       .toUtf8(),
                             {});
        }
        data.Finish();
        model.SetResult(std::move(data), true);
    }
};

void FindNext(benchmark::State& state, const QString& pattern, bool down) {
    TResult result(static_cast<int>(state.range(0)));
    const QModelIndex last = result.model.index(result.model.rowCount() - 1, 0);
    const QModelIndex from = down ? QModelIndex() : result.model.index(2, 0, last);
    for (auto _ : state)
        benchmark::DoNotOptimize(result.model.FindNext(from, pattern, down));
    state.SetItemsProcessed(state.iterations() * state.range(0) * 4);
}

void DownToTheLastGroup(benchmark::State& state) {
    FindNext(state, QStringLiteral("needle"), true);
}
void UpToTheFirstGroup(benchmark::State& state) {
    FindNext(state, QStringLiteral("/FILE_0."), false);
}
void Nowhere(benchmark::State& state) {
    FindNext(state, QStringLiteral("nowhere"), true);
}

} // namespace

BENCHMARK(DownToTheLastGroup)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(UpToTheFirstGroup)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Nowhere)->Arg(100000)->Unit(benchmark::kMillisecond);
