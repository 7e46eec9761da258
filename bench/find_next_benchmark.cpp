// Times Find Next of "Search in found" through the text index of a large result: a hit at the
// far end going down, one near the start going up, and a text that is nowhere.
#include "main/found_text_index.h"
#include "main/result_builder.h"

#include <QByteArray>
#include <QCollator>
#include <QLocale>
#include <QTreeWidgetItem>
#include <benchmark/benchmark.h>

namespace {

// A sorted result of `groups` groups with three files each, its index, and the one file whose
// path holds "Needle", in the last group reported.
struct TResult {
    parvex::TFoundTextIndex index;
    QList<QTreeWidgetItem*> groups;

    explicit TResult(int count) {
        parvex::TResultBuilder builder;
        builder.Restart(QCollator(QLocale()));
        for (int g = 0; g < count; ++g) {
            builder.AddGroup(QStringLiteral("file_%1.dat").arg(g));
            for (int f = 0; f < 3; ++f)
                builder.AddFile(g == count - 1 && f == 2
                                    ? QStringLiteral("/data/Needle/file.dat")
                                    : QStringLiteral("/data/folder_%1/sub_%2/file_%3.dat")
                                          .arg(f)
                                          .arg(g % 97)
                                          .arg(g),
                                QByteArray());
        }
        groups = builder.TakeSorted(index);
    }
    ~TResult() { qDeleteAll(groups); }
    TResult(const TResult&) = delete;
    TResult& operator=(const TResult&) = delete;
};

void FindNext(benchmark::State& state, const QString& pattern, bool down) {
    const TResult result(static_cast<int>(state.range(0)));
    const QTreeWidgetItem* from = down ? nullptr : result.groups.last()->child(2);
    for (auto _ : state)
        benchmark::DoNotOptimize(result.index.FindNext(from, pattern, down));
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
