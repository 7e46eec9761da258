#pragma once

#include "main/byte_store.h"
#include "main/reported_facts.h"
#include "main/saved_file_state.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCollator>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QByteArrayMatcher;

namespace parvex {

/// One file row of a result. Its texts live in the result's byte stores: the row only holds
/// where, so a million rows cost a few dozen bytes each beside their paths.
struct TResultFile {
    TByteStore::TPlace PathStart = 0;
    TByteStore::TPlace FoldedStart = 0;
    std::uint32_t PathLength = 0;
    std::uint32_t FoldedLength = 0;
    /// 0 when the file has no other name; otherwise k: the names are otherNames_[k - 1].
    std::uint32_t OtherNames = 0;
    /// The file's place in the order the search reported its group's files.
    std::uint32_t FoundRank = 0;
    bool Known = false;
    bool AllNamesFound = false;
    /// The path is its own folded text: FoldedStart is PathStart, in the paths' store.
    bool FoldedInPaths = false;
    /// Marked for a bulk command.
    bool Marked = false;
    /// Whether the file is still as found; only an opened result has missing or changed files.
    TFileState State = TFileState::AsFound;
    /// The path does not lie inside the search's start folder (InsideStartFolderByText): a mask
    /// with a folder part, or a document, put it there; commands ask before acting on it.
    bool Outside = false;
    TFoundFile Found;
    /// The modification time to the nanosecond, since the epoch, when Known.
    std::int64_t ModifiedNs = 0;
    /// 0; or, once its storage is shared with the copy of its group that stays, 1 + that
    /// copy's found rank: its space is no longer wasted.
    std::uint32_t SharesWith = 0;

    /// What was found about the file when commands may rely on it: nothing for a file whose
    /// facts are unknown, or one that is missing or changed since a saved result was made.
    std::optional<TFoundFile> Trusted() const {
        return Known && State == TFileState::AsFound ? std::optional(Found) : std::nullopt;
    }
};

/// One group of a result: its name (the file name of its first file) and its files.
struct TResultGroup {
    TByteStore::TPlace NameStart = 0;
    TByteStore::TPlace FoldedStart = 0;
    std::uint32_t NameLength = 0;
    std::uint32_t FoldedLength = 0;
    /// The size of the first file reported.
    std::int64_t HeadSize = 0;
    /// The sizes of the group's inodes whose every name was found, each inode once, less the
    /// largest when no inode has to stay anyway (WastedSpace).
    std::int64_t Wasted = 0;
    /// The newest modification time of the group's files, as TimeCodeOrder gives it.
    std::int64_t Newest = 0;
    /// How many of the files are marked.
    std::uint32_t MarkedCount = 0;
    /// How many of the marked files have names outside the search.
    std::uint32_t MarkedOutside = 0;
    /// The space that acting on the marked files frees: each inode once, when all of its names
    /// were found and every one of them in the group is marked.
    std::int64_t MarkedBytes = 0;
    std::vector<TResultFile> Files;
};

/// A file that now shares its storage with the copy of its group that stays.
struct TSharingFile {
    std::size_t Group = 0;      ///< the group's place in the result
    std::uint32_t Rank = 0;     ///< the file's found rank in it
    std::uint32_t KeptRank = 0; ///< the found rank of the copy whose storage it shares
};

/// The result of a search without any widget: the groups in their default order (by name with
/// the locale's collation, equal names in the order found), each with its files ordered by
/// path. Paths keep their exact bytes; texts to search in are kept folded to one letter case.
class TResultData {
public:
    /// Drops everything and sorts from now on by the collator; files not inside `startFolder`
    /// (when given) are marked Outside.
    void Restart(const QCollator& collator, std::string startFolder = {});
    /// Opens a new group named by the exact bytes `name`.
    void AddGroup(const QByteArray& name);
    /// Adds a file to the group opened last, with its state and mark; ignored before the first
    /// group.
    void AddFile(const QByteArray& path, TResultFacts facts, TFileState state = TFileState::AsFound,
                 bool marked = false);
    /// Closes the last group and puts the groups in their default order. The ordering runs on a
    /// worker thread; meanwhile `whileWaiting`, when given, is called every few milliseconds
    /// (the window processes its messages there).
    void Finish(const std::function<void()>& whileWaiting = {});

    /// The number of groups (once Finish has put them in order).
    std::size_t GroupCount() const { return order_.size(); }
    /// The number of file rows of every group.
    std::size_t FileCount() const { return fileCount_; }
    /// The group at a place of the default order.
    const TResultGroup& Group(std::size_t group) const { return found_[order_[group]]; }
    /// The exact bytes of a group's name.
    QByteArray GroupName(std::size_t group) const;
    /// The exact path bytes of a file.
    QByteArray FilePath(std::size_t group, std::size_t file) const;
    /// The other names of a file's inode; empty for most.
    const std::vector<std::string>& OtherNamesOf(std::size_t group, std::size_t file) const;
    /// The places of the groups in the default order, listed in the order they were found.
    std::vector<std::size_t> FoundOrder() const;
    /// The number of file rows that are missing or changed since a saved result (by `state`).
    std::size_t StaleCount(TFileState state) const {
        return state == TFileState::Missing   ? missingCount_
               : state == TFileState::Changed ? changedCount_
                                              : 0;
    }
    /// The sum over groups of their wasted space.
    std::int64_t TotalWasted() const { return totalWasted_; }

    /// True when the folded text of a group's name (file -1) or of one of its files holds what
    /// the matcher looks for.
    bool NodeHolds(const QByteArrayMatcher& folded, std::size_t group, int file) const;
    /// True when the folded path of one of the group's files holds what the matcher looks for.
    bool GroupHolds(const QByteArrayMatcher& folded, std::size_t group) const;

    /// Takes a file row out of its group and figures the group's wasted space again.
    void RemoveFile(std::size_t group, std::size_t file);

    /// Records that a file now shares its storage with the file of its group found at
    /// `keptRank`, and figures the group's wasted space again without it.
    void SetSharing(std::size_t group, std::size_t file, std::uint32_t keptRank);

    /// Marks or unmarks a file.
    void SetMarked(std::size_t group, std::size_t file, bool marked);
    /// Sets the marks of a group's files at once, one per file row.
    void SetMarks(std::size_t group, const std::vector<bool>& marks);
    /// The number of marked files.
    std::size_t MarkedCount() const { return markedCount_; }
    /// The exact paths of the marked files, group by group in the default order.
    std::vector<QByteArray> MarkedPaths() const;
    /// The space that acting on every marked file frees.
    std::int64_t MarkedBytes() const { return markedBytes_; }
    /// The number of marked files some of whose names lie outside the search: they free nothing.
    std::size_t MarkedOutside() const { return markedOutside_; }

    /// A text folded as the search texts are kept: one letter case, UTF-8.
    static QByteArray Folded(const QString& text);

private:
    void CloseGroup();
    void Refigure(TResultGroup& group);
    // Refigure, keeping the total of wasted space.
    void RefigureInTotal(TResultGroup& group);
    void RefigureMarks(TResultGroup& group);
    // Counts a file row in or out (`change` 1 or -1) of the missing or changed ones.
    void CountStale(TFileState state, int change);
    std::uint32_t AppendFolded(QByteArrayView bytes, TByteStore::TPlace& start);

    // The groups in the order found: a deque, so that growing never moves them all at once.
    std::deque<TResultGroup> found_;
    // The default order once Finish has set it: places in found_.
    std::vector<std::uint32_t> order_;
    TByteStore paths_;
    TByteStore folded_;
    std::vector<std::vector<std::string>> otherNames_;
    std::size_t fileCount_ = 0;
    std::size_t missingCount_ = 0;
    std::size_t changedCount_ = 0;
    std::int64_t totalWasted_ = 0;
    std::size_t markedCount_ = 0;
    std::int64_t markedBytes_ = 0;
    std::size_t markedOutside_ = 0;
    QCollator collator_;
    std::string startFolder_;
    bool open_ = false;
    bool ordered_ = false;
};

} // namespace parvex
