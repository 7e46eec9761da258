#pragma once

#include "_compearer/descriptor_budget.h"
#include "platform/file_id.h"
#include "platform/folder_reader.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace parvex {

class TVirtualFileSystems;

/// One folder's entries as a worker read them ahead of the walk: names and kinds in the order
/// of the file system, with the facts of the files the scan will ask about.
struct TListing {
    struct TEntry {
        std::string Name;
        TEntryKind Kind = TEntryKind::Other;
        bool HasFacts = false; ///< Facts hold a regular file's facts
        int FactsError = 0;    ///< why the facts could not be read, 0 when no regular file
        TFileFacts Facts;
    };
    TFileId Id;        ///< the folder's device and inode
    int OpenError = 0; ///< the folder could not be opened for listing
    int ReadError = 0; ///< reading its entries ended early
    std::vector<TEntry> Entries;
};

/// Replays a listing read ahead with the calls the scan makes on a live TFolderReader.
class TListingReader {
public:
    explicit TListingReader(const TListing& listing) : listing_(listing) {}
    /// True when the folder could be opened for listing.
    bool IsOpen() const { return listing_.OpenError == 0; }
    /// The error of a failed open, or of a read that ended the entries early; 0 without one.
    int Error() const { return IsOpen() ? listing_.ReadError : listing_.OpenError; }
    /// Steps to the next entry; false at the end.
    bool Next() { return ++next_ <= listing_.Entries.size(); }
    /// The current entry's name.
    std::string_view Name() const { return Entry().Name; }
    /// The current entry's kind.
    TEntryKind Kind() const { return Entry().Kind; }
    /// The current entry's facts as TFolderReader::ReadFileFacts gives them.
    bool ReadFileFacts(TFileFacts& facts, int& error) const;

private:
    const TListing::TEntry& Entry() const { return listing_.Entries[next_ - 1]; }
    const TListing& listing_;
    std::size_t next_ = 0;
};

/// Reads the folders of a tree ahead of a depth-first walk, on worker threads, a bounded number
/// of entries ahead. The walk takes each folder's listing when it gets there, checked to be of
/// the folder it entered; a folder not read ahead (or read ahead as another folder) is read by
/// the walk itself. Workers open folders by path, never follow a link in the folder's own
/// place, and never call back into the search. Each folder is read with one descriptor taken
/// from the budget for the read; a worker that gets none (or whose open the system refuses for
/// lack of descriptors) leaves the folder to the walk.
class TListingPrefetch {
public:
    /// Which entries matter to the scan.
    struct TRules {
        /// True for the name of a regular file whose facts the scan asks for.
        std::function<bool(std::string_view)> WantsFacts;
        /// True for the name of a subfolder the walk enters.
        std::function<bool(std::string_view)> EntersFolder;
        /// Folders kept out of the walk with their subtrees.
        std::vector<TFileId> Excluded;
    };

    /// Starts `threads` workers reading the tree below `startFolder` (ending in "/") with
    /// descriptors of `descriptors`.
    TListingPrefetch(std::size_t threads, TDescriptorBudget& descriptors, TRules rules,
                     const std::string& startFolder);
    /// Stops the workers and waits for them.
    ~TListingPrefetch();
    TListingPrefetch(const TListingPrefetch&) = delete;
    TListingPrefetch& operator=(const TListingPrefetch&) = delete;

    /// The listing of `folder` (ending in "/") when it was read ahead as the folder `id`,
    /// waiting while a worker reads it, or has it read first when it is still to read; null
    /// when the walk must read the folder itself (never met, given up, or another folder).
    std::unique_ptr<TListing> Take(const std::string& folder, const TFileId& id);
    /// Has the subfolders of `folder`, which the walk read itself, read ahead.
    void AddSubfolders(const std::string& folder, const std::vector<std::string>& names);
    /// Forgets what was or would be read ahead in `folder` and below: the walk skips it.
    void Skip(const std::string& folder);

    /// Most entries held read ahead and not yet taken.
    static constexpr std::size_t MaxEntriesAhead = 1 << 13;

private:
    void Work();
    std::unique_ptr<TListing> Read(const std::string& folder,
                                   TVirtualFileSystems& virtualFileSystems,
                                   std::vector<std::string>& subfolders);
    bool IsSkipped(const std::string& folder) const;
    void Push(const std::string& folder, const std::vector<std::string>& names);

    TDescriptorBudget& descriptors_;
    TRules rules_;
    std::mutex mutex_;
    std::condition_variable work_;     // workers: a folder to read, or room
    std::condition_variable landed_;   // the walk: a folder it waits for was read
    std::vector<std::string> pending_; // folders to read, the next on top
    std::unordered_map<std::string, std::unique_ptr<TListing>> ready_;
    std::unordered_set<std::string> reading_; // folders a worker reads now
    std::string wanted_;                      // the folder the walk waits for
    std::vector<std::string> skipped_;
    std::size_t entriesAhead_ = 0;
    std::atomic<bool> done_{false};
    std::vector<std::thread> workers_;
};

} // namespace parvex
