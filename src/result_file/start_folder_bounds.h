#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// True when a result's `path` names a file inside its search's `startFolder` by its text: the
/// path begins with the start folder's bytes (as if it ended in "/") and no component of the
/// rest is empty, "." or "..". A path that a mask with a folder part reached elsewhere
/// ("../old/*.jpg") is outside.
bool InsideStartFolderByText(std::string_view startFolder, std::string_view path);

/// True when `path` is inside `startFolder` by its text and, on disk now, the real path of the
/// folder holding it lies under the start folder's real path: the check made before acting on
/// the file, so that a folder on the way replaced by a link to elsewhere is seen.
bool InsideStartFolderOnDisk(const std::string& startFolder, const std::string& path);

} // namespace parvex
