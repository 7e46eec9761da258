// Times the comparison pass on a synthetic file table with keys that read no file, to show that
// its cost grows about linearly with the number of rows and that the table's bytes per row do
// not grow with it (up to 10 million rows).

#include "_compearer/compearer_core.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace {

// Every size is shared by about a hundred rows, a size and a time by about three, and a name by
// about three; the shares stay the same for every row count, so that the count alone varies.
// The table is the same for the same row count.
void FillTable(parvex::TCompearerCore& core, std::int64_t rows) {
    std::mt19937_64 random(rows);
    core.ClearFileTable();
    for (std::int64_t row = 0; row < rows; ++row) {
        // Names of one length for every row count, so that bytes per row compare.
        char name[32];
        std::snprintf(name, sizeof name, "file-%08llu.dat",
                      static_cast<unsigned long long>(random() % std::uint64_t(rows / 3)));
        const std::string folder = "/data/folder-" + std::to_string(row % 997) + "/";
        const auto size = std::int64_t(4096 + random() % (rows / 100));
        core.AddFile({.Folder = folder,
                      .Name = name,
                      .Size = size,
                      .Time = std::int64_t(1500000000 + random() % 30)});
    }
}

// The process's peak resident memory so far, in bytes.
double PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stod(line.substr(6)) * 1024;
    return 0;
}

void GroupIdentical(benchmark::State& state, bool compareName, bool compareTime) {
    const std::int64_t rows = state.range(0);
    std::int64_t lines = 0;
    double tableBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        parvex::TCompearerCore core;
        core.SetKeys({.Name = compareName, .Size = true, .Time = compareTime, .Content = false});
        core.OnFileFound = [&lines](const std::string&, bool) { ++lines; };
        FillTable(core, rows);
        tableBytes = double(core.TableBytes());
        state.ResumeTiming();
        core.GroupIdentical();
    }
    state.SetComplexityN(rows);
    state.counters["lines"] = benchmark::Counter(double(lines), benchmark::Counter::kAvgIterations);
    state.counters["table_bytes_per_row"] = tableBytes / double(rows);
    // Peak of the whole process: run one row count per process to read it for that count.
    state.counters["peak_bytes_per_row"] = PeakResidentBytes() / double(rows);
}

void SizeAndTime(benchmark::State& state) {
    GroupIdentical(state, false, true);
}
void NameAndSize(benchmark::State& state) {
    GroupIdentical(state, true, false);
}

BENCHMARK(SizeAndTime)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(NameAndSize)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace

BENCHMARK_MAIN();
