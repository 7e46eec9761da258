#include "platform/name_facts.h"

#include "platform/file_times.h"

#include <sys/stat.h>

namespace parvex {

std::optional<TNameFacts> NameFactsOf(const std::string& path) {
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) != 0)
        return std::nullopt;
    TNameFacts name;
    name.Id = FileIdOf(facts);
    name.Size = facts.st_size;
    name.ModifiedNs = NanosecondsOf(facts.st_mtim);
    name.AccessedNs = NanosecondsOf(facts.st_atim);
    name.Mode = facts.st_mode;
    name.Owner = facts.st_uid;
    name.Group = facts.st_gid;
    return name;
}

bool SameUnchangedFile(const TNameFacts& now, const TNameFacts& before) {
    return now.Id == before.Id && now.Size == before.Size && now.ModifiedNs == before.ModifiedNs;
}

} // namespace parvex
