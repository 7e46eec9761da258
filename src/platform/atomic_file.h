#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// The file that WriteFileAtomically replaces for FileName: FileName itself, or the file that a
/// symbolic link there points to (the link stays).
std::string ResolvedTarget(const std::string& FileName);

/// Replaces the file FileName by Contents atomically: a temporary file in the same folder is
/// written, flushed to disk and renamed over it. On failure the old file is untouched, the
/// temporary is removed and errno tells why; returns whether the file now holds Contents. A
/// symbolic link is followed: the file it points to is replaced.
[[nodiscard]] bool WriteFileAtomically(const std::string& FileName, std::string_view Contents);

} // namespace parvex
