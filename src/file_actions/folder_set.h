#pragma once

#include "file_actions/real_folders.h"

#include <string>
#include <vector>

namespace parvex {

/// Folders matched by identity: a file lies in one when the real path of its folder is the
/// folder's real path or lies below it, however either was spelled. Protected folders and the
/// keep rule "in:" are such sets.
class TFolderSet {
public:
    TFolderSet() = default;
    /// The folders as given (exact bytes), each resolved once through `real`; one that cannot be
    /// resolved holds no file.
    TFolderSet(std::vector<std::string> folders, TRealFolders& real);

    /// True when the file at the exact path bytes lies in one of the folders or below.
    bool Holds(const std::string& path, TRealFolders& real) const;
    /// The folders as given.
    const std::vector<std::string>& Folders() const { return folders_; }
    bool Empty() const { return folders_.empty(); }

private:
    std::vector<std::string> folders_;
    std::vector<std::string> real_;
};

} // namespace parvex
