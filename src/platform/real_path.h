#pragma once

#include <optional>
#include <string>

namespace parvex {

/// The canonical absolute path of an existing file or folder, every link followed and every
/// ".", ".." and repeated "/" taken out (realpath); nothing when it cannot be resolved.
std::optional<std::string> RealPathOf(const std::string& path);

/// True when the folder that holds `path` resolves (RealPathOf) to `folder`'s real path or to a
/// folder below it (always, when `folder` resolves to "/"); false when either cannot be
/// resolved.
bool RealFolderLiesUnder(const std::string& path, const std::string& folder);

} // namespace parvex
