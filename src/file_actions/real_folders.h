#pragma once

#include <string>
#include <unordered_map>

namespace parvex {

/// The real paths of folders, each folder resolved once: the identity a folder is matched by,
/// whatever its spelling ("./x", "//x", a link to it).
class TRealFolders {
public:
    /// The real path of `folder`, ending in "/"; empty when it cannot be resolved.
    const std::string& Of(const std::string& folder);
    /// The real path of the folder that holds the file at `path`, ending in "/"; empty when it
    /// cannot be resolved.
    const std::string& OfFileFolder(const std::string& path);

private:
    std::unordered_map<std::string, std::string> known_;
};

/// True when the folder `inner` (ending in "/") is `outer` (ending in "/") or lies below it.
bool FolderWithin(const std::string& inner, const std::string& outer);

} // namespace parvex
