#include "tree_snapshot.h"

#include "platform/file_times.h"
#include "support/temp_tree.h"

#include <filesystem>
#include <sys/stat.h>

namespace parvex::testing {

std::map<std::string, TFileLook> SnapshotOf(const std::string& folder, const std::string& skip) {
    std::map<std::string, TFileLook> snapshot;
    std::map<ino_t, std::string> firstNames;
    std::map<std::string, ino_t> inodes;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string path = entry.path().string();
        const std::string relative = path.substr(folder.size());
        struct stat facts {};
        if ((!skip.empty() && relative.starts_with(skip)) || ::lstat(path.c_str(), &facts) != 0 ||
            !S_ISREG(facts.st_mode))
            continue;
        snapshot[relative] = {
            TTempTree::ReadFile(path), facts.st_mode & 07777u, NanosecondsOf(facts.st_mtim), {}};
        inodes[relative] = facts.st_ino;
    }
    // Paths in order: the first name of each inode names it for all its names.
    for (auto& [relative, look] : snapshot)
        look.FirstName = firstNames.try_emplace(inodes[relative], relative).first->second;
    return snapshot;
}

std::string Described(const std::map<std::string, TFileLook>& snapshot) {
    std::string text;
    for (const auto& [relative, look] : snapshot)
        text += relative + " (" + look.Content + ", mode " + std::to_string(look.Mode) +
                ", name of " + look.FirstName + ")\n";
    return text;
}

} // namespace parvex::testing
