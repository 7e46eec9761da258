#pragma once

#include <string_view>

namespace parvex {

/// True when the file name matches the mask: "*" any run of characters, "?" one character,
/// every other character itself without regard to the case of a to z. "*.*" and "*" match
/// every name, names without a dot included; an empty mask matches nothing.
bool MatchesFileMask(std::string_view name, std::string_view mask);

} // namespace parvex
