#include "cli/undo_command.h"

#include "cli/buffered_writer.h"
#include "cli/cli_messages.h"
#include "cli/exit_status.h"
#include "platform/text_escape.h"
#include "run_journal/run_list.h"
#include "run_journal/run_undo.h"

#include <cstdio>
#include <ctime>
#include <exception>
#include <unistd.h>

namespace parvex {
namespace {

void WriteToStderr(const std::string& message) {
    std::fwrite(message.data(), 1, message.size(), stderr);
}

std::string LocalTimeText(std::int64_t nanoseconds) {
    const std::time_t seconds = static_cast<std::time_t>(nanoseconds / 1000000000);
    struct tm local {};
    char text[32] = {};
    if (::localtime_r(&seconds, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return "?";
    return text;
}

std::string UndoLine(const TUndoLine& line) {
    std::string text = line.PutBack ? "putback\t" : "skipped\t";
    AppendEscapedForText(text, line.Name);
    text += '\t';
    AppendEscapedForText(text, line.PutBack ? line.Action : line.Reason);
    return text + '\n';
}

} // namespace

std::string RunListLine(const TRunSummary& run) {
    std::string what;
    for (const auto& [action, count] : run.Acted)
        what += (what.empty() ? "" : ", ") + action + " " + std::to_string(count);
    return run.Id + '\t' + LocalTimeText(run.StartedNs) + '\t' + run.Source + '\t' +
           (what.empty() ? "nothing done" : what) + '\t' +
           (run.UndoneNs != 0 ? "undone" : "not undone") + '\n';
}

int RunUndo(const std::string& folder, const std::string& id) {
    try {
        std::string chosen = id;
        if (chosen.empty()) {
            const std::optional<TRunSummary> newest = NewestRunToUndo(ListRuns(folder));
            if (!newest) {
                WriteToStderr("parvex-cli: no run left to undo\n");
                return ExitUsage;
            }
            chosen = newest->Id;
        }
        const TUndoReport report = UndoRun(folder, chosen);
        if (!report.Found) {
            WriteToStderr("parvex-cli: no run " + Quoted(chosen) + " to undo\n");
            return ExitUsage;
        }
        TBufferedWriter output(STDOUT_FILENO);
        bool written = true;
        for (const TUndoLine& line : report.Lines)
            written = output.Write(UndoLine(line)) && written;
        written = output.Flush() && written;
        WriteToStderr("parvex-cli: undo of run " + chosen + ": " +
                      std::to_string(report.PutBackCount()) + " put back, " +
                      std::to_string(report.SkippedCount()) + " skipped\n");
        if (!written)
            return ExitError;
        return report.SkippedCount() > 0 ? ExitSomethingUnread : ExitComplete;
    } catch (const std::exception& error) {
        WriteToStderr(std::string("parvex-cli: the journal cannot be used: ") + error.what() +
                      "\n");
        return ExitError;
    }
}

int RunListRuns(const std::string& folder) {
    TBufferedWriter output(STDOUT_FILENO);
    bool written = true;
    for (const TRunSummary& run : ListRuns(folder))
        written = output.Write(RunListLine(run)) && written;
    return output.Flush() && written ? ExitComplete : ExitError;
}

} // namespace parvex
