// parvex-cli: the search engine without windows, for scripts, benchmarks and checking the engine.

#include "_compearer/compearer_core.h"
#include "_compearer/search_spec.h"
#include "cli/action_command.h"
#include "cli/buffered_writer.h"
#include "cli/cli_messages.h"
#include "cli/cli_options.h"
#include "cli/exit_status.h"
#include "cli/result_printer.h"
#include "cli/start_folder_check.h"
#include "cli/stop_signals.h"
#include "cli/undo_command.h"
#include "comparison_store/store_memory.h"
#include "platform/executable_path.h"
#include "result_file/json_result.h"
#include "result_file/result_search.h"
#include "run_journal/runs_folder.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace parvex {

namespace {

void PrintFigures(const TSearchFigures& figures, const TSearchProgress& progress,
                  std::int64_t unread) {
    std::fprintf(
        stderr,
        "folders scanned: %lld\n"
        "files collected: %lld\n"
        "groups: %lld\n"
        "files in groups: %lld\n"
        "bytes read for content: %lld\n"
        "files read for content: %lld\n"
        "files taken from the comparison store: %lld\n"
        "file table bytes: %lld\n"
        "files and folders not read: %lld\n"
        "scan time: %.3f s\n"
        "compare time: %.3f s\n",
        static_cast<long long>(progress.FoldersScanned),
        static_cast<long long>(figures.FilesCollected), static_cast<long long>(figures.Groups),
        static_cast<long long>(figures.FilesInGroups),
        static_cast<long long>(figures.ContentBytesRead), static_cast<long long>(figures.FilesRead),
        static_cast<long long>(figures.FilesRecalled), static_cast<long long>(figures.TableBytes),
        static_cast<long long>(unread), figures.ScanSeconds, figures.CompareSeconds);
}

// One message is one write, so that lines of concurrent writers to the same stderr stay whole.
void WriteToStderr(const std::string& message) {
    std::fwrite(message.data(), 1, message.size(), stderr);
}

// The facts of the file the engine reports now, from its file table row.
TResultFileFacts ReportedFileFacts(const TCompearerCore& core, const std::string& path) {
    TResultFileFacts facts;
    facts.Path = path;
    const std::size_t row = core.ReportedRow();
    if (row == TCompearerCore::NoRow || row >= core.FilePaths.size())
        return facts;
    facts.Size = core.FileSizes[row];
    facts.ModifiedNs = core.FileModifiedNs[row];
    facts.Id = core.FileIds[row];
    facts.AllNamesFound = core.AllNamesFound(row);
    facts.OtherNames = core.FileLinks.OtherNames(row);
    return facts;
}

// The search as the options ask for it, stopped by a stop signal at the engine's next poll or
// at the next folder it enters; each file or folder not read is counted in `unread`, reported
// unless quiet, and handed to `skipped`.
void PrepareSearch(TCompearerCore& core, const TCliOptions& options, std::int64_t& unread,
                   std::function<void(const std::string&, const std::string&)> skipped) {
    if (options.Keys)
        core.SetKeys(*options.Keys);
    // Matched by identity, so that every spelling of a folder excludes it.
    core.ExcludedFolders = options.ExcludedFolders;
    core.MinFileSize = options.MinSize;
    core.MaxFileSize = options.MaxSize;
    core.Threads = options.Threads;
    core.ReadPath = options.PlainReads ? TReadPath::Plain : TReadPath::Batched;
    core.AllowHidden = options.Hidden;
    core.AllowHiddenFolders = options.Hidden;
    core.AllowReadOnly = options.ReadOnly;
    const auto stopOnSignal = [&core] {
        if (ReceivedStopSignal() != 0)
            core.Stop();
    };
    core.OnCheckFolder = [stopOnSignal](const std::string&, bool&) { stopOnSignal(); };
    core.ProcessMessages = stopOnSignal;
    core.OnSkipped = [&unread, &options, skipped = std::move(skipped)](const std::string& path,
                                                                       const std::string& reason) {
        ++unread;
        if (skipped)
            skipped(path, reason);
        if (!options.Quiet)
            WriteToStderr(UnreadMessage(path, reason));
    };
}

TRunOutcome RunSearch(const TCliOptions& options) {
    TCompearerCore core;
    TBufferedWriter output(STDOUT_FILENO);
    TResultPrinter printer(options.Format);
    std::int64_t unread = 0;
    // The JSON document is one whole: it is written once the search has ended.
    std::optional<TJsonResult> json;
    bool complete = false;
    PrepareSearch(core, options, unread,
                  [&json](const std::string& path, const std::string& reason) {
                      if (json)
                          json->AddSkipped(path, reason);
                  });
    core.OnSearchStart = [&] {
        core.SearchSpec = options.SearchSpec();
        if (options.Format == TOutputFormat::Json)
            json.emplace(ResultSearchOf(core, options.StartFolder, options.MaskList));
    };
    core.OnFileFound = [&](const std::string& text, bool newGroup) {
        if (json) {
            if (newGroup)
                json->AddGroup(text);
            else
                json->AddFile(ReportedFileFacts(core, text));
        } else if (!output.Write(printer.Record(text, newGroup))) {
            core.Stop();
        }
    };
    core.OnSearchComplete = [&] { complete = true; };

    std::optional<TStoreMemory> store;
    if (options.UseStore) {
        TStoreSettings settings;
        settings.CoveredFolders = {options.StartFolder};
        store.emplace(core, std::move(settings));
        core.Memory = &*store;
    }
    core.Start();
    if (store) {
        // Written before the result, so that a search killed while it writes still leaves it.
        store->Finish();
        if (const std::string warning = store->Warning(); !warning.empty())
            WriteToStderr("parvex-cli: warning: " + warning + "\n");
    }

    TRunOutcome outcome;
    const bool written = json ? output.Write(json->Text(complete)) : output.Write(printer.Ending());
    if (!written || !output.Flush()) {
        WriteToStderr(std::string("parvex-cli: cannot write the result: ") +
                      std::strerror(output.Error()) + "\n");
        outcome.Failed = true;
    }
    if (options.ShowStats)
        PrintFigures(core.Figures, core.Progress(), unread);
    // A signal that came after the last poll still says the caller wanted the run stopped.
    outcome.StopSignal = ReceivedStopSignal();
    outcome.SomethingUnread = unread != 0;
    return outcome;
}

// The result of the search the options ask for, to act on; `outcome` says how it ended.
TResultDocument SearchToActOn(const TCliOptions& options, TRunOutcome& outcome) {
    TCompearerCore core;
    TResultDocument result;
    std::int64_t unread = 0;
    PrepareSearch(core, options, unread, {});
    core.OnSearchStart = [&] {
        core.SearchSpec = options.SearchSpec();
        result.Search = ResultSearchOf(core, options.StartFolder, options.MaskList);
    };
    core.OnFileFound = [&](const std::string& text, bool newGroup) {
        if (newGroup)
            result.Groups.push_back({text, {}, {}});
        else if (!result.Groups.empty())
            result.Groups.back().Files.push_back(ReportedFileFacts(core, text));
    };
    core.OnSearchComplete = [&] { result.Complete = true; };
    core.Start();
    if (options.ShowStats)
        PrintFigures(core.Figures, core.Progress(), unread);
    outcome.StopSignal = ReceivedStopSignal();
    outcome.SomethingUnread = unread != 0;
    return result;
}

// Searches, or reads the saved result, and acts on it.
int RunAction(const TCliOptions& options) {
    TRunOutcome searched;
    TResultDocument result;
    try {
        if (options.FromFile.empty())
            result = SearchToActOn(options, searched);
        else
            result = ReadResultToActOn(options.FromFile);
        // Nothing is done on a search that was asked to stop.
        if (searched.StopSignal != 0)
            return ExitStatusOf(searched);
        RequireActable(options, result);
    } catch (const ECliUsageError& error) {
        std::fprintf(stderr, "parvex-cli: %s\n", error.what());
        return ExitUsage;
    }
    std::vector<std::string> protectedFolders;
    try {
        protectedFolders = ProtectedFoldersOf(UserSettingsFileFor("parvex", UserConfigHome()),
                                              options.ProtectedFolders);
    } catch (const std::runtime_error& error) {
        WriteToStderr(std::string("parvex-cli: ") + error.what() + "; nothing was done\n");
        return ExitError;
    }
    return RunActions(options, result, protectedFolders, searched.SomethingUnread);
}

} // namespace

} // namespace parvex

int main(int argc, char** argv) {
    // Before anything else, so that a signal sent right after the start is not lost.
    parvex::InstallStopSignalHandlers();
    const std::vector<std::string> args(argv + 1, argv + argc);
    parvex::TCliOptions options;
    try {
        options = parvex::ParseCliArguments(args);
        if (options.ShowHelp || options.ShowVersion) {
            std::fputs(options.ShowHelp ? parvex::CliUsageText() : parvex::CliVersionText(),
                       stdout);
            return parvex::ExitComplete;
        }
        if (options.UndoRun)
            return parvex::RunUndo(parvex::RunsFolder(), *options.UndoRun);
        if (options.ListRuns)
            return parvex::RunListRuns(parvex::RunsFolder());
        if (options.FromFile.empty())
            parvex::RequireStartFolder(options.StartFolder);
        parvex::RequireMoveFolder(options);
    } catch (const parvex::ECliUsageError& error) {
        std::fprintf(stderr, "parvex-cli: %s\n", error.what());
        return parvex::ExitUsage;
    }
    try {
        if (options.Action)
            return parvex::RunAction(options);
        return parvex::ExitStatusOf(parvex::RunSearch(options));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "parvex-cli: search failed: %s\n", error.what());
        return parvex::ExitError;
    }
}
