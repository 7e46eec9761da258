#include "file_actions/folder_set.h"

#include <algorithm>
#include <utility>

namespace parvex {

TFolderSet::TFolderSet(std::vector<std::string> folders, TRealFolders& real)
    : folders_(std::move(folders)) {
    for (const std::string& folder : folders_) {
        const std::string& resolved = real.Of(folder);
        if (!resolved.empty())
            real_.push_back(resolved);
    }
}

bool TFolderSet::Holds(const std::string& path, TRealFolders& real) const {
    if (real_.empty())
        return false;
    const std::string& folder = real.OfFileFolder(path);
    return !folder.empty() && std::ranges::any_of(real_, [&folder](const std::string& outer) {
        return FolderWithin(folder, outer);
    });
}

} // namespace parvex
