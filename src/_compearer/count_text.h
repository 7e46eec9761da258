#pragma once

#include <optional>
#include <string_view>

namespace parvex {

/// The number of a count text: decimal digits alone (no sign, blank or unit), from 0 to Largest.
/// Nothing for any other text.
std::optional<int> ParseCountText(std::string_view text, int Largest);

} // namespace parvex
