#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// The folders whose files no mark rule marks and no bulk command touches.
class TProtectedFolders {
public:
    TProtectedFolders() = default;
    /// The folders as listed (exact bytes); each also counts under its resolved spelling, so a
    /// folder given through a link protects the files found under its real path.
    explicit TProtectedFolders(const std::vector<std::string>& folders);

    /// True when the file at the exact path bytes lies in one of the folders or below.
    bool Covers(std::string_view path) const;
    /// True when no folder is protected.
    bool Empty() const { return prefixes_.empty(); }

private:
    // Every folder ending in "/".
    std::vector<std::string> prefixes_;
};

} // namespace parvex
