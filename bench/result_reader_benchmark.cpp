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

// A file in the temporary folder that is removed with the object.
class TDocumentFile {
public:
    TDocumentFile(const std::string& name, const std::string& text)
        : path_(std::string(::getenv("TMPDIR") ? ::getenv("TMPDIR") : "/tmp") + "/" + name + "-" +
                std::to_string(::getpid())) {
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~TDocumentFile() { std::remove(path_.c_str()); }
    TDocumentFile(const TDocumentFile&) = delete;
    TDocumentFile& operator=(const TDocumentFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string MillionFileDocument(std::int64_t groups) {
    parvex::TResultSearch search;
    search.StartFolder = "/data/";
    search.WorkingFolder = "/";
    search.MaskList = "*.*";
    search.Keys = {false, true, false, true};
    parvex::TJsonResult result(search);
    for (std::int64_t g = 0; g < groups; ++g) {
        const std::string name = "picture-" + std::to_string(g) + ".jpg";
        result.AddGroup(name);
        for (int copy = 0; copy < 2; ++copy) {
            parvex::TResultFileFacts file;
            file.Path = "/data/folder-" + std::to_string(g % 997) + "/copy-" +
                        std::to_string(copy) + "/" + name;
            file.Size = 100000 + g;
            file.ModifiedNs = 1700000000000000000 + g;
            file.Id = {2049, std::uint64_t(2 * g + copy + 1)};
            result.AddFile(file);
        }
    }
    return result.Text(true);
}

void ReadLargeResult(benchmark::State& state) {
    const TDocumentFile file("parvex-large-result.json", MillionFileDocument(state.range(0)));
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
    const TDocumentFile file("parvex-deep-result.json",
                             "{\"format\": \"parvex-result\", \"x\": " +
                                 std::string(std::size_t(state.range(0)) << 20, '['));
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
