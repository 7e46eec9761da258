#pragma once

#include <map>
#include <string>

namespace parvex::testing {

/// How one file of a tree looks: its bytes, permission bits, modification time and the first
/// name (in path order) of the file it is a name of.
struct TFileLook {
    std::string Content;
    unsigned Mode = 0;
    long long ModifiedNs = 0;
    std::string FirstName;
    friend bool operator==(const TFileLook&, const TFileLook&) = default;
};

/// Every regular file below `folder` by its path relative to it, leaving out the folders named
/// in `skip` (relative, ending in "/").
std::map<std::string, TFileLook> SnapshotOf(const std::string& folder,
                                            const std::string& skip = {});

/// The snapshot as lines of text, for assertion messages.
std::string Described(const std::map<std::string, TFileLook>& snapshot);

} // namespace parvex::testing
