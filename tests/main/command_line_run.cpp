#include "command_line_run.h"

#include "file_actions/action_run.h"
#include "run_journal/run_journal.h"
#include "run_journal/runs_folder.h"
#include "support/facts_on_disk.h"

namespace parvex::test {

std::string RunAsTheCommandLine(TActionKind kind, const std::string& kept, const std::string& copy,
                                const std::string& folder) {
    std::vector<TResultGroupFacts> groups(1);
    groups[0].Files = {testing::FactsOnDisk(kept), testing::FactsOnDisk(copy)};
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
