#pragma once

#include "_compearer/descriptor_cache.h"
#include "platform/file_id.h"
#include "platform/virtual_file_systems.h"

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// A depth-first, pre-order walk of a folder tree by descriptors. Each folder is opened
/// relative to its parent's descriptor without following a link, so a folder swapped for a link
/// while the walk runs cannot lead it outside the start folder, and no path length limits the
/// depth. Descriptors of ancestors are held in a descriptor cache; one the cache closed is opened
/// again from its child ("..") or from the nearest open ancestor, checked by device and inode
/// at every step.
class TFolderWalk {
public:
    /// `lost` hears of a folder whose remaining subfolders cannot be reached any more.
    TFolderWalk(TDescriptorCache& budget, std::function<void(const std::string&, int)> lost);

    /// Starts a walk at `startFolder` (ending in "/"), the first folder NextFolder gives.
    void Reset(const std::string& startFolder);
    /// Folders whose device and inode keep them out of the walk with their subtrees.
    void SetExcluded(std::vector<TFileId> excluded) { excluded_ = std::move(excluded); }
    /// The folders SetExcluded keeps out.
    const std::vector<TFileId>& Excluded() const { return excluded_; }

    /// Steps to the next folder to enter: the start folder first, then the subfolders of every
    /// folder entered, in the order they were added, each subtree before the next sibling.
    /// Folder() is its path. False when the walk is over.
    bool NextFolder();
    /// The current folder's path, ending in "/".
    const std::string& Folder() const { return folder_; }
    /// True when the folder NextFolder stepped to is one of the excluded folders.
    bool IsExcludedByIdentity();

    /// The outcome of Enter.
    enum class TEntered { Opened, Skipped, Failed };
    /// Opens the folder NextFolder stepped to. Skipped for a folder the walk never enters (no
    /// longer a folder, a link, an excluded folder, a virtual file system); Failed with `error`
    /// set for one that cannot be opened.
    TEntered Enter(int& error);
    /// The device and inode of the folder just entered.
    const TFileId& FolderId() const { return levels_.back().Id; }
    /// A descriptor for listing the folder just entered, which the caller owns; -1 with errno.
    int OpenListing();
    /// Adds a subfolder of the folder just entered, to be walked after it.
    void AddSubfolder(std::string_view name);

private:
    struct TLevel {
        std::size_t FolderLength = 0; // of folder_ while this level is the current folder
        std::string Subfolders;       // names, each followed by '\0'
        std::size_t Next = 0;         // into Subfolders
        TFileId Id;
        TBudgetFd Fd;
    };
    bool OpenVerified(TBudgetFd& fd, int parent, const char* name, const TFileId& id,
                      bool followLink);
    bool ParentOpen();
    void Leave();
    std::string NameOf(std::size_t level) const;

    TDescriptorCache& budget_;
    std::function<void(const std::string&, int)> lost_;
    TVirtualFileSystems virtualFileSystems_;
    std::vector<TFileId> excluded_;
    std::deque<TLevel> levels_;
    std::string folder_;
    std::string startFolder_;
    bool startPending_ = false;
    std::size_t nameBegin_ = 0; // where the name of the folder to enter starts in folder_
};

} // namespace parvex
