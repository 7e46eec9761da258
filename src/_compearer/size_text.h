#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace parvex {

/// The byte count of a size text: a decimal number of bytes, or a number with a fraction
/// followed by K, M or G (1000, 1000², 1000³ bytes; either letter case), such as "10K", "1.5M",
/// "2G", "4096". Nothing for any other text, a negative size, a fraction of a byte or a size
/// beyond 64 bits.
std::optional<std::int64_t> ParseSizeText(std::string_view text);

} // namespace parvex
