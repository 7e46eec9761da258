#pragma once

#include "file_actions/action_plan.h"
#include "file_actions/file_action.h"
#include "file_actions/journal_batches.h"
#include "platform/all_names_move.h"
#include "result_file/result_document.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace parvex {

class TActionsLog;

/// How a plan is carried out.
struct TRunChoices {
    TActionKind Kind = TActionKind::Trash;
    /// The folder a move puts files into.
    std::string MoveFolder;
    /// Check and say what would be done, and change nothing.
    bool DryRun = false;
};

/// What became of one name of a file that a plan acts on or skips.
struct TActionOutcome {
    std::size_t Group = 0; ///< the group's place in the result
    std::size_t File = 0;  ///< the file's place in its group
    std::string Name;      ///< the exact path acted on
    /// Acted on; in a dry run, would be acted on.
    bool Done = false;
    /// Where the name went (in a dry run: would go): the trash entry (empty in a dry run), the
    /// path in the folder, or the copy it is now a name of.
    std::string Target;
    /// Why it was skipped or failed, when not done.
    std::string Reason;
    /// Bytes of the file now sharing storage with the copy that stays (sharing storage only).
    std::int64_t BytesShared = 0;
    /// The file shares its storage with the copy that stays (Target): shared by this run, or
    /// skipped because it already did.
    bool SharesStorage = false;
};

/// A plan carried out one name at a time, so that a caller can keep a window alive between
/// steps and stop whenever it likes: what is done is done, the rest is untouched. Every name of
/// a file acted on is handled, each checked right before (unchanged since the search, bytes
/// equal to the copy that stays); each done action is appended to the actions log. A move takes
/// every name of a file at once, so that the file arrives as one file with all its names: the
/// step of its first name moves them, the steps of the others say what became of them. Sharing
/// storage handles each file once, under its first name, and leaves the comparison of the bytes
/// to the kernel, which makes it while it shares.
class TActionRun {
public:
    /// A run of `plan`, made for `groups`, which must outlive the run (the log may be nullptr).
    TActionRun(const std::vector<TResultGroupFacts>& groups, const TActionPlan& plan,
               TRunChoices choices, TActionsLog* log);

    /// Records the run's steps in `journal` (which must outlive the run) in batches: the intents
    /// of up to TJournalBatches::kBatchSize names (more when a file's names would be split) are
    /// written before any of them is acted on, their results after. Call before the first Step;
    /// a dry run writes none.
    void JournalTo(TActionJournal& journal);

    /// Handles the next name; false when none was left.
    bool Step();
    bool Finished() const { return next_ >= work_.size(); }
    /// True when no name of a file is half handled: the run is finished or its next name is the
    /// first of a file. A caller that stops only here acts on every file whole or not at all.
    bool AtFileStart() const;
    /// The number of names to handle in all.
    std::size_t Total() const { return work_.size(); }
    /// The outcomes so far, in the order handled.
    const std::vector<TActionOutcome>& Outcomes() const { return outcomes_; }
    std::size_t DoneCount() const { return doneCount_; }
    std::size_t SkippedCount() const { return outcomes_.size() - doneCount_; }
    /// The space the run frees: each file once, when all its names were found and done.
    std::int64_t BytesFreed() const { return bytesFreed_; }
    /// The bytes that now share storage with the copy that stays: what sharing storage
    /// reports, since the space it frees depends on what else holds those bytes (snapshots).
    std::int64_t BytesShared() const { return bytesShared_; }
    /// Why writing the actions log failed, the first time it did; empty when it never did.
    const std::string& LogError() const { return logError_; }
    const TRunChoices& Choices() const { return choices_; }

private:
    struct TWork {
        std::size_t PlanGroup = 0;
        std::size_t File = 0;
        std::string Name;
        std::string Skip; ///< the plan's reason to skip; empty to act
    };
    const TResultFileFacts& FileOf(const TWork& work) const;
    std::size_t ChooseStaying(std::size_t planGroup) const;
    const TResultFileFacts& Staying(std::size_t planGroup);
    void PrepareBatch();
    void Act(const TWork& work, TActionOutcome& outcome);
    void MoveAllNamesOf(std::size_t first);
    TNamesMove MoveNames(const std::vector<std::size_t>& steps,
                         const std::vector<std::string>& names);
    void Log(const TActionOutcome& outcome);
    std::string TargetFor(const std::string& name, const std::string& keptName);
    void CountDone(const TWork& work);

    const std::vector<TResultGroupFacts>& groups_;
    const TActionPlan& plan_;
    TRunChoices choices_;
    TActionsLog* log_ = nullptr;
    std::vector<TWork> work_;
    std::size_t next_ = 0;
    // The group whose staying copy is known, and that copy's place in it.
    std::optional<std::size_t> stayingGroup_;
    std::size_t staying_ = 0;
    std::vector<TActionOutcome> outcomes_;
    // The outcomes of names a move of all names of their file already decided, by their place
    // in work_.
    std::map<std::size_t, TActionOutcome> decided_;
    std::size_t doneCount_ = 0;
    std::int64_t bytesFreed_ = 0;
    std::int64_t bytesShared_ = 0;
    // Names done per file (group, file), to count a file's space once all are done.
    std::map<std::pair<std::size_t, std::size_t>, std::size_t> namesDone_;
    std::set<std::string> targetsPromised_;
    std::string logError_;
    std::unique_ptr<TJournalBatches> journal_;
};

} // namespace parvex
