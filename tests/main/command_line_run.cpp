// Kept apart from the window's headers: the actions library's keep rules and the window's mark
// rules are two types of one name.
#include "command_line_run.h"

#include "file_actions/action_run.h"
#include "platform/file_times.h"
#include "run_journal/run_journal.h"
#include "run_journal/runs_folder.h"

#include <sys/stat.h>

namespace parvex::test {
namespace {

TResultFileFacts FactsOf(const std::string& path) {
    struct stat facts {};
    TResultFileFacts file;
    file.Path = path;
    if (::lstat(path.c_str(), &facts) == 0) {
        file.Size = facts.st_size;
        file.ModifiedNs = NanosecondsOf(facts.st_mtim);
        file.Id = FileIdOf(facts);
        file.AllNamesFound = true;
    }
    return file;
}

} // namespace

std::string RunAsTheCommandLine(TActionKind kind, const std::string& kept, const std::string& copy,
                                const std::string& folder) {
    std::vector<TResultGroupFacts> groups(1);
    groups[0].Files = {FactsOf(kept), FactsOf(copy)};
    TRealFolders real;
    const TActionPlan plan = MakeActionPlan(groups, {}, real);
    TRunJournal journal(RunsFolder(), "parvex-cli");
    TActionRun run(groups, plan, {kind, folder, false}, nullptr);
    run.JournalTo(journal);
    while (run.Step()) {
    }
    return run.DoneCount() == 1 ? std::string() : run.Outcomes().front().Reason;
}

} // namespace parvex::test
