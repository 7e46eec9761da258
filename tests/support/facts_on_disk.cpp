#include "support/facts_on_disk.h"

#include "platform/file_times.h"

#include <sys/stat.h>
#include <utility>

namespace parvex::testing {

TResultFileFacts FactsOnDisk(const std::string& path, std::vector<std::string> otherNames) {
    struct stat facts {};
    TResultFileFacts file;
    file.Path = path;
    if (::lstat(path.c_str(), &facts) == 0) {
        file.Size = facts.st_size;
        file.ModifiedNs = NanosecondsOf(facts.st_mtim);
        file.Id = FileIdOf(facts);
        file.AllNamesFound = facts.st_nlink == 1 + otherNames.size();
    }
    file.OtherNames = std::move(otherNames);
    return file;
}

TResultGroupFacts GroupOnDisk(const std::vector<std::string>& paths) {
    TResultGroupFacts group;
    group.Name = paths.empty() ? std::string() : paths.front();
    for (const std::string& path : paths)
        group.Files.push_back(FactsOnDisk(path));
    return group;
}

} // namespace parvex::testing
