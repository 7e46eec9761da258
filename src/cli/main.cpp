// parvex-cli: the search engine without windows, for scripts, benchmarks and checking the engine.

#include "_compearer/compearer_core.h"
#include "cli/cli_options.h"
#include "cli/line_writer.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace parvex {

namespace {

constexpr int ExitError = 1;
constexpr int ExitUsage = 2;

volatile std::sig_atomic_t StopSignal = 0;

extern "C" void RequestStop(int signal) {
    StopSignal = signal;
}

// Ctrl-C and kill stop the search at its next poll, so that the groups found so far still
// reach the output instead of dying in the buffer.
void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void PrintFigures(const TSearchFigures& figures) {
    std::fprintf(stderr,
                 "files collected: %lld\n"
                 "groups: %lld\n"
                 "files in groups: %lld\n"
                 "bytes read for content: %lld\n"
                 "scan time: %.3f s\n"
                 "compare time: %.3f s\n",
                 static_cast<long long>(figures.FilesCollected),
                 static_cast<long long>(figures.Groups),
                 static_cast<long long>(figures.FilesInGroups),
                 static_cast<long long>(figures.ContentBytesRead), figures.ScanSeconds,
                 figures.CompareSeconds);
}

int RunSearch(const TCliOptions& options) {
    TCompearerCore core;
    if (options.Keys)
        core.SetKeys(*options.Keys);
    const std::unordered_set<std::string> excluded(options.ExcludedFolders.begin(),
                                                   options.ExcludedFolders.end());
    TLineWriter output(STDOUT_FILENO);
    bool interrupted = false;

    core.OnSearchStart = [&] { core.SearchSpec = options.SearchSpec(); };
    core.OnCheckFolder = [&](const std::string& path, bool& allowed) {
        allowed = !excluded.contains(path);
    };
    core.OnFileFound = [&](const std::string& text, bool newGroup) {
        if (!output.WriteLine(text, !newGroup))
            core.Stop();
    };
    core.OnSearchInterrupted = [&] { interrupted = true; };
    core.ProcessMessages = [&] {
        if (StopSignal != 0)
            core.Stop();
    };

    InstallStopHandlers();
    core.Start();

    if (!output.Flush()) {
        std::fprintf(stderr, "parvex-cli: cannot write the result: %s\n",
                     std::strerror(output.Error()));
        return ExitError;
    }
    if (options.ShowStats)
        PrintFigures(core.Figures);
    if (interrupted && StopSignal != 0)
        return 128 + StopSignal;
    return 0;
}

} // namespace

} // namespace parvex

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    parvex::TCliOptions options;
    try {
        options = parvex::ParseCliArguments(args);
    } catch (const parvex::ECliUsageError& error) {
        std::fprintf(stderr, "parvex-cli: %s\n", error.what());
        return parvex::ExitUsage;
    }
    if (options.ShowHelp) {
        std::fputs(parvex::CliUsageText(), stdout);
        return 0;
    }
    try {
        return parvex::RunSearch(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "parvex-cli: search failed: %s\n", error.what());
        return parvex::ExitError;
    }
}
