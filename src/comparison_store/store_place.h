#pragma once

#include <string>

namespace parvex {

/// The folder of the comparison store, ending in "/": $XDG_CACHE_HOME/parvex/ when that is an
/// absolute path, otherwise ~/.cache/parvex/.
std::string ComparisonStoreFolder();

/// The database file of the store in `folder`.
std::string ComparisonStorePath(const std::string& folder);

/// Makes `folder` with its missing parents; a folder it makes is private (0700). False with
/// errno set when it cannot.
bool MakeStoreFolder(const std::string& folder);

} // namespace parvex
