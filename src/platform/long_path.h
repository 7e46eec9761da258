#pragma once

#include <string>

namespace parvex {

/// Opens the file at `path` with `flags` like open(2), also when the path is longer than
/// PATH_MAX: such a path is reached through its folders, piece by piece, each piece opened
/// relative to the one before. A link met inside a long path is followed like open(2) would,
/// so a caller that must not be led elsewhere checks the identity of what it opened.
/// -1 with errno set when it cannot be opened.
int OpenLongPath(const std::string& path, int flags);

} // namespace parvex
