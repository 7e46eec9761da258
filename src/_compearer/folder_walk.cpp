#include "_compearer/folder_walk.h"

#include "platform/folder_reader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace parvex {

TFolderWalk::TFolderWalk(TDescriptorCache& budget,
                         std::function<void(const std::string&, int)> lost)
    : budget_(budget), lost_(std::move(lost)) {}

void TFolderWalk::Reset(const std::string& startFolder) {
    levels_.clear();
    startFolder_ = startFolder;
    folder_ = startFolder;
    startPending_ = true;
}

bool TFolderWalk::NextFolder() {
    if (startPending_) {
        startPending_ = false;
        folder_ = startFolder_;
        return true;
    }
    while (!levels_.empty()) {
        TLevel& top = levels_.back();
        if (top.Next >= top.Subfolders.size()) {
            Leave();
            continue;
        }
        const std::size_t end = top.Subfolders.find('\0', top.Next);
        folder_.resize(top.FolderLength);
        nameBegin_ = folder_.size();
        folder_.append(top.Subfolders, top.Next, end - top.Next).push_back('/');
        top.Next = end + 1;
        if (ParentOpen())
            return true;
        top.Next = top.Subfolders.size();
    }
    return false;
}

bool TFolderWalk::IsExcludedByIdentity() {
    if (excluded_.empty())
        return false;
    struct stat facts {};
    const bool known = levels_.empty()
                           ? ::stat(folder_.c_str(), &facts) == 0
                           : ::fstatat(levels_.back().Fd.Get(), NameOf(levels_.size()).c_str(),
                                       &facts, AT_SYMLINK_NOFOLLOW) == 0;
    return known &&
           std::find(excluded_.begin(), excluded_.end(), FileIdOf(facts)) != excluded_.end();
}

TFolderWalk::TEntered TFolderWalk::Enter(int& error) {
    const bool isStart = levels_.empty();
    TLevel level;
    if (!isStart)
        budget_.Touch(levels_.back().Fd);
    const int parent = isStart ? AT_FDCWD : levels_.back().Fd.Get();
    const std::string name = isStart ? folder_ : NameOf(levels_.size());
    struct stat facts {};
    // The start folder is the user's and may be reached through a link; below it no link is
    // followed.
    if (!budget_.Open(level.Fd, [&] { return OpenFolderAt(parent, name.c_str(), isStart); }) ||
        ::fstat(level.Fd.Get(), &facts) != 0) {
        error = errno;
        // What turned into a link or a file since it was listed is not entered, as if it had
        // been one when the folder was read.
        return !isStart && (error == ELOOP || error == ENOTDIR) ? TEntered::Skipped
                                                                : TEntered::Failed;
    }
    level.Id = FileIdOf(facts);
    if (std::find(excluded_.begin(), excluded_.end(), level.Id) != excluded_.end() ||
        virtualFileSystems_.IsVirtual(level.Fd.Get(), facts.st_dev))
        return TEntered::Skipped;
    level.FolderLength = folder_.size();
    levels_.push_back(std::move(level));
    return TEntered::Opened;
}

int TFolderWalk::OpenListing() {
    TBudgetFd& folder = levels_.back().Fd;
    budget_.Touch(folder);
    return budget_.OpenUnheld(
        [&] { return ::openat(folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
}

void TFolderWalk::AddSubfolder(std::string_view name) {
    levels_.back().Subfolders.append(name).push_back('\0');
}

bool TFolderWalk::OpenVerified(TBudgetFd& fd, int parent, const char* name, const TFileId& id,
                               bool followLink) {
    struct stat facts {};
    if (!budget_.Open(fd, [&] { return OpenFolderAt(parent, name, followLink); }))
        return false;
    if (::fstat(fd.Get(), &facts) != 0 || FileIdOf(facts) != id) {
        fd.Close();
        errno = ENOENT;
        return false;
    }
    return true;
}

// The current folder's descriptor, for opening its subfolders: held still, or opened again by
// walking down from the nearest ancestor that is held (or from the start folder's path).
bool TFolderWalk::ParentOpen() {
    const std::size_t current = levels_.size() - 1;
    if (levels_[current].Fd) {
        budget_.Touch(levels_[current].Fd);
        return true;
    }
    std::size_t first = current;
    while (first > 0 && !levels_[first - 1].Fd)
        --first;
    for (std::size_t k = first; k <= current; ++k) {
        const bool opened = k == 0 ? OpenVerified(levels_[0].Fd, AT_FDCWD, startFolder_.c_str(),
                                                  levels_[0].Id, true)
                                   : OpenVerified(levels_[k].Fd, levels_[k - 1].Fd.Get(),
                                                  NameOf(k).c_str(), levels_[k].Id, false);
        if (!opened) {
            lost_(folder_.substr(0, levels_[current].FolderLength), errno);
            return false;
        }
    }
    return true;
}

// Leaves the current folder. Its parent, if the budget closed it, is opened again through
// "..", which is cheap while the child is still open; the check of device and inode notices a
// folder that was moved meanwhile, and ParentOpen then walks down instead.
void TFolderWalk::Leave() {
    const std::size_t count = levels_.size();
    if (count >= 2) {
        TLevel& child = levels_[count - 1];
        TLevel& parent = levels_[count - 2];
        if (!parent.Fd && child.Fd) {
            budget_.Touch(child.Fd);
            if (!OpenVerified(parent.Fd, child.Fd.Get(), "..", parent.Id, false))
                parent.Fd.Close();
        }
    }
    levels_.pop_back();
}

// The name of level `level` (levels_.size() for the folder NextFolder stepped to).
std::string TFolderWalk::NameOf(std::size_t level) const {
    const std::size_t begin = levels_[level - 1].FolderLength;
    const std::size_t end = level < levels_.size() ? levels_[level].FolderLength : folder_.size();
    return folder_.substr(begin, end - begin - 1);
}

} // namespace parvex
