#include "cli/action_command.h"

#include "cli/action_printer.h"
#include "cli/buffered_writer.h"
#include "cli/cli_messages.h"
#include "cli/exit_status.h"
#include "file_actions/action_plan.h"
#include "file_actions/action_run.h"
#include "platform/actions_log.h"
#include "platform/start_folder.h"
#include "result_file/json_result_reader.h"
#include "run_journal/run_journal.h"
#include "run_journal/runs_folder.h"
#include "settings/settings_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace parvex {
namespace {

std::string AbsoluteIn(const std::string& working, const std::string& path) {
    if (path.empty() || path.front() == '/' || working.empty())
        return path;
    return working + (working.back() == '/' ? "" : "/") + path;
}

void WriteToStderr(const std::string& message) {
    std::fwrite(message.data(), 1, message.size(), stderr);
}

std::string Summary(const TCliOptions& options, const TActionRun& run,
                    const std::vector<std::string>& protectedFolders) {
    std::string text = "parvex-cli: ";
    text += options.DryRun ? "dry run, would " : "";
    text += ActionWord(*options.Action);
    text += ": " + std::to_string(run.DoneCount()) + (options.DryRun ? " to do, " : " done, ") +
            std::to_string(run.SkippedCount()) + " skipped";
    // Shared bytes free as much space only where nothing else (a snapshot) still holds them.
    if (!options.DryRun)
        text += ", " + (*options.Action == TActionKind::Share
                            ? std::to_string(run.BytesShared()) + " bytes now shared"
                            : std::to_string(run.BytesFreed()) + " bytes freed");
    text += "\nparvex-cli: protected folders:";
    if (protectedFolders.empty())
        text += " none";
    for (const std::string& folder : protectedFolders)
        text += " " + Quoted(folder);
    return text + "\n";
}

bool HasMarks(const TResultDocument& result) {
    return std::ranges::any_of(result.Groups, [](const TResultGroupFacts& group) {
        return std::ranges::any_of(group.Files, &TResultFileFacts::Marked);
    });
}

} // namespace

void RequireMoveFolder(const TCliOptions& options) {
    if (options.Action != TActionKind::Move)
        return;
    const TStartFolderCheck check = CheckStartFolder(options.MoveFolder);
    if (check.Problem == TStartFolderProblem::Missing ||
        check.Problem == TStartFolderProblem::NotAFolder)
        throw ECliUsageError("the folder of --move-to " + Quoted(options.MoveFolder) +
                             " does not exist or is not a folder");
    if (check.Problem == TStartFolderProblem::Unreachable)
        throw ECliUsageError("cannot use the folder of --move-to " + Quoted(options.MoveFolder) +
                             ": " + std::strerror(check.Error));
}

TResultDocument ReadResultToActOn(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ECliUsageError("cannot read the result " + Quoted(file) + ": " +
                             std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    TResultDocument result;
    try {
        result = ReadJsonResult(text.str());
    } catch (const EResultFileError& error) {
        throw ECliUsageError("the result " + Quoted(file) + " cannot be read: " + error.what());
    }
    const std::string& working = result.Search.WorkingFolder;
    result.Search.StartFolder = AbsoluteIn(working, result.Search.StartFolder);
    for (TResultGroupFacts& group : result.Groups) {
        for (TResultFileFacts& facts : group.Files) {
            facts.Path = AbsoluteIn(working, facts.Path);
            for (std::string& name : facts.OtherNames)
                name = AbsoluteIn(working, name);
        }
    }
    return result;
}

void RequireActable(const TCliOptions& options, const TResultDocument& result) {
    if (!result.Search.Keys.Content)
        throw ECliUsageError("only files compared by content are copies: search with the key "
                             "content to act on them");
    if (HasMarks(result) && !options.KeepRules.empty())
        throw ECliUsageError("the result has marked files, which say what is acted on: --keep "
                             "may not be given");
}

std::vector<std::string> ProtectedFoldersOf(const std::string& settingsFile,
                                            const std::vector<std::string>& given) {
    TSettingsStore settings(settingsFile);
    std::string reason;
    if (!settings.ReadSettingsOnly(reason))
        throw std::runtime_error("cannot read the protected folders of the settings " +
                                 Quoted(settingsFile) + ": " + reason);
    std::vector<std::string> folders;
    settings.ReadList(folders, "PROTECTED");
    std::erase(folders, std::string());
    folders.insert(folders.end(), given.begin(), given.end());
    return folders;
}

int RunActions(const TCliOptions& options, const TResultDocument& result,
               const std::vector<std::string>& protectedFolders, bool somethingUnread) {
    TPlanChoices choices;
    if (!options.KeepRules.empty())
        choices.Rules = options.KeepRules;
    choices.ProtectedFolders = protectedFolders;
    choices.FollowMarks = HasMarks(result);
    if (!options.FromFile.empty())
        choices.StartFolder = result.Search.StartFolder;
    TRealFolders real;
    const TActionPlan plan = MakeActionPlan(result.Groups, choices, real);

    TActionRequest request;
    request.Run = {*options.Action, options.MoveFolder, options.DryRun};
    request.FollowMarks = choices.FollowMarks;
    if (!choices.FollowMarks)
        std::ranges::transform(choices.Rules, std::back_inserter(request.KeepRules), KeepRuleText);
    request.ProtectedFolders = protectedFolders;

    // A run that changes files is journalled, so that it can be undone; without a journal,
    // nothing is done.
    std::unique_ptr<TRunJournal> journal;
    if (!options.DryRun) {
        try {
            journal = std::make_unique<TRunJournal>(RunsFolder(), "parvex-cli");
        } catch (const std::exception& error) {
            WriteToStderr(std::string("parvex-cli: the journal cannot be written: ") +
                          error.what() + "; nothing was done\n");
            return ExitError;
        }
    }
    TActionsLog log(TActionsLog::DefaultPath());
    TActionRun run(result.Groups, plan, request.Run, options.DryRun ? nullptr : &log);
    if (journal)
        run.JournalTo(*journal);
    TActionPrinter printer(options.Format, request);
    TBufferedWriter output(STDOUT_FILENO);
    bool written = true;
    while (run.Step())
        written = output.Write(printer.Record(run.Outcomes().back())) && written;
    written = output.Write(printer.Ending(run)) && output.Flush() && written;

    WriteToStderr(Summary(options, run, protectedFolders));
    if (journal)
        WriteToStderr("parvex-cli: journalled as run " + journal->Id() +
                      " (parvex-cli --undo=" + journal->Id() + " puts it back)\n");
    TRunOutcome outcome;
    if (!written) {
        WriteToStderr(std::string("parvex-cli: cannot write the output: ") +
                      std::strerror(output.Error()) + "\n");
        outcome.Failed = true;
    }
    if (!run.LogError().empty()) {
        WriteToStderr(
            "parvex-cli: the actions log could not be written: " + Quoted(run.LogError()) + "\n");
        outcome.Failed = true;
    }
    outcome.SomethingUnread = somethingUnread || run.SkippedCount() > 0;
    return ExitStatusOf(outcome);
}

} // namespace parvex
