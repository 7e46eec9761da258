// Reads result documents from files: a million-file result (500,000 groups of two), and 20 MB
// of "[" that is refused at the depth limit. Reports the file size and the growth of the
// process's peak memory over the run beside the time.

#include "result_file/json_result.h"
#include "result_file/json_result_reader.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double PeakMiB() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

std::string TemporaryPath(const std::string& name) {
    const char* folder = ::getenv("TMPDIR");
    return std::string(folder != nullptr ? folder : "/tmp") + "/" + name + "-" +
           std::to_string(::getpid());
}

// A file in the temporary folder that is removed with the object.
class TDocumentFile {
public:
    explicit TDocumentFile(const std::string& name) : path_(TemporaryPath(name)) {}
    ~TDocumentFile() { std::remove(path_.c_str()); }
    TDocumentFile(const TDocumentFile&) = delete;
    TDocumentFile& operator=(const TDocumentFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Writes a result of `groups` groups of two files, group by group as the writer lays them out,
// without holding the document: the peak memory of the run is then the reader's.
void WriteLargeResult(const std::string& path, std::int64_t groups) {
    parvex::TResultSearch search;
    search.StartFolder = "/data/";
    search.WorkingFolder = "/";
    search.MaskList = "*.*";
    search.Keys = {false, true, false, true};
    const std::string empty = parvex::TJsonResult(search).Text(true);
    const std::size_t list = empty.find("\"groups\": []");
    std::ofstream out(path, std::ios::binary);
    out << empty.substr(0, list) << "\"groups\": [";
    for (std::int64_t g = 0; g < groups; ++g) {
        const std::string name = "picture-" + std::to_string(g) + ".jpg";
        out << (g == 0 ? "\n" : ",\n") << "{\"name\": \"" << name
            << "\", \"wasted\": " << 100000 + g << ", \"files\": [";
        for (int copy = 0; copy < 2; ++copy)
            out << (copy == 0 ? "" : ", ") << "{\"path\": \"/data/folder-" << g % 997 << "/copy-"
                << copy << "/" << name << "\", \"size\": " << 100000 + g
                << ", \"mtime\": \"2023-11-14T22:13:20.000000000Z\", \"mtime_ns\": "
                << 1700000000000000000 << ", \"dev\": 2049, \"ino\": " << 2 * g + copy + 1
                << ", \"other_names\": [], \"marked\": false}";
        out << "]}";
    }
    out << "]" << empty.substr(list + std::string("\"groups\": []").size());
}

void ReadLargeResult(benchmark::State& state) {
    const TDocumentFile file("parvex-large-result.json");
    WriteLargeResult(file.Path(), state.range(0));
    const double before = PeakMiB();
    std::size_t files = 0;
    for (auto _ : state) {
        const parvex::TResultDocument document = parvex::ReadJsonResultFile(file.Path());
        files = document.Groups.size() * 2;
    }
    std::ifstream in(file.Path(), std::ios::binary | std::ios::ate);
    state.counters["files"] = double(files);
    state.counters["file_MiB"] = double(in.tellg()) / (1 << 20);
    state.counters["peak_growth_MiB"] = PeakMiB() - before;
}

void RefuseDeepNesting(benchmark::State& state) {
    const TDocumentFile file("parvex-deep-result.json");
    std::ofstream(file.Path(), std::ios::binary)
        << "{\"format\": \"parvex-result\", \"x\": "
        << std::string(std::size_t(state.range(0)) << 20, '[');
    const double before = PeakMiB();
    std::uint64_t read = 0;
    for (auto _ : state) {
        parvex::TResultReadControl control;
        control.Progress = [&read](std::uint64_t bytes, std::uint64_t) { read = bytes; };
        try {
            (void)parvex::ReadJsonResultFile(file.Path(), control);
            state.SkipWithError("the deep document was read");
        } catch (const parvex::EResultFileError&) {
        }
    }
    state.counters["bytes_read"] = double(read);
    state.counters["peak_growth_MiB"] = PeakMiB() - before;
}

} // namespace

BENCHMARK(RefuseDeepNesting)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadLargeResult)->Arg(500000)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
