#pragma once

#include "file_actions/found_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace parvex {

class TActionsLog;

/// What a bulk command does to each marked file.
enum class TBulkKind {
    Trash,   ///< moves it to the trash
    Move,    ///< moves it into a folder
    HardLink ///< replaces it by a hard link to the copy that stays
};

/// One file of a group as a bulk command sees it.
struct TBulkFile {
    std::string Path;
    /// The file's other names that the search found: a command on the file acts on them too.
    std::vector<std::string> OtherNames;
    /// What the search found about the file; nothing when that is not known.
    std::optional<TFoundFile> Found;
    /// All names of the file's inode were found: acting on it frees its space.
    bool AllNamesFound = false;
    /// Under a protected folder.
    bool Protected = false;
    /// The group's place in the result and the file's found rank in it: the file's identity.
    std::size_t Group = 0;
    std::uint32_t FoundRank = 0;
};

/// One group as a bulk command sees it.
struct TBulkGroup {
    /// The unmarked files in found order: the first of them present and unchanged stays.
    std::vector<TBulkFile> Unmarked;
    /// The marked files in found order: what the command acts on.
    std::vector<TBulkFile> Marked;
};

/// What a bulk command will act on before it runs: the marked files it does not skip as
/// protected, the space they take when every name of each of their files goes, and the marked
/// files it skips as protected.
struct TBulkCount {
    std::size_t Files = 0;
    std::int64_t Bytes = 0;
    std::size_t Protected = 0;
    /// The other names of those files that the command acts on with them.
    std::size_t OtherNames = 0;
    /// Those files some of whose names lie outside the search: acting on them frees nothing.
    std::size_t NamesOutside = 0;
};

/// Counts what a bulk command on `groups` will act on: each file's space once, and only when
/// every name of it was found and none of its names in its group stays (unmarked or protected).
TBulkCount CountActedOn(const std::vector<TBulkGroup>& groups);

/// What became of one marked file.
struct TBulkOutcome {
    TBulkFile File;
    bool Done = false;
    /// Where each name of the file went (the path first, then its other names), when the
    /// action has targets.
    std::vector<std::string> Targets;
    /// Why the file was skipped.
    std::string Reason;
};

/// The action of a bulk command on one file: `names` are the marked file's names that the search
/// found (its path first), `kept` the copy that stays. True when done, with `targets` set (one per
/// name) where the action has them; else `reason` says why not.
using TBulkAct = std::function<bool(const std::vector<std::string>& names, const std::string& kept,
                                    std::vector<std::string>& targets, std::string& reason)>;

/// The action on one name of a file: true when done, with `target` set where it has one, else
/// `reason` says why not.
using TNameAct = std::function<bool(const std::string& name, const std::string& kept,
                                    std::string& target, std::string& reason)>;

/// A bulk action that acts on each name of a file in turn. When the first name fails, the file
/// is skipped; when a later one fails, the file counts as done and the reason names what stays.
TBulkAct EachName(TNameAct act);

/// A bulk command run one file at a time, so a caller can keep a window alive between steps and
/// stop whenever it likes: what is done is done, the rest is untouched. Before acting on a file
/// it checks that the file is unchanged since the search and that its bytes still equal those of
/// the copy that stays; it acts on every name of the file the search found that still is that
/// file; every action on a name is appended to the actions log.
class TBulkRun {
public:
    /// A run of `act`, logged under the name `action` (the log may be nullptr).
    TBulkRun(std::vector<TBulkGroup> groups, TBulkAct act, std::string action, TActionsLog* log);

    /// Handles the next marked file; false when there was none left.
    bool Step();
    /// True when every marked file is handled.
    bool Finished() const { return group_ >= groups_.size(); }
    /// The number of marked files in all.
    std::size_t Total() const { return total_; }
    /// The outcomes so far, in the order handled.
    const std::vector<TBulkOutcome>& Outcomes() const { return outcomes_; }
    /// The number of files done.
    std::size_t DoneCount() const { return doneCount_; }
    /// The space freed by the files done: each inode once, when all its names were found.
    std::int64_t BytesFreed() const { return bytesFreed_; }
    /// The files done some of whose names lie outside the search: they freed nothing.
    std::size_t DoneWithNamesOutside() const { return doneOutside_; }
    /// Why writing the actions log failed, the first time it did; empty when it never did.
    const std::string& LogError() const { return logError_; }

private:
    void Skip(const TBulkFile& file, std::string reason);
    void ChooseKept();
    void Act(const TBulkFile& file);

    std::vector<TBulkGroup> groups_;
    TBulkAct act_;
    std::string action_;
    TActionsLog* log_ = nullptr;
    std::size_t group_ = 0;
    std::size_t file_ = 0;
    // The copy of the current group that stays; nothing before it is chosen or when none can.
    const TBulkFile* kept_ = nullptr;
    bool keptChosen_ = false;
    std::size_t total_ = 0;
    std::size_t doneCount_ = 0;
    std::int64_t bytesFreed_ = 0;
    std::size_t doneOutside_ = 0;
    std::set<std::pair<std::uint64_t, std::uint64_t>> freedIds_;
    std::vector<TBulkOutcome> outcomes_;
    std::string logError_;
};

} // namespace parvex
