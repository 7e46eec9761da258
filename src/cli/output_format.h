#pragma once

#include <optional>
#include <string_view>

namespace parvex {

/// How parvex-cli writes the groups it finds to standard output.
enum class TOutputFormat {
    /// A line with the group's name, then a TAB-indented line per path; bytes escaped.
    Text,
    /// The group's name and each path end with a NUL, one more NUL ends the group; raw bytes.
    Null,
    /// One JSON document of the whole result, written when the search has ended.
    Json,
};

/// The format of a --format value ("text", "null", "json"); none for any other word.
std::optional<TOutputFormat> OutputFormatNamed(std::string_view name);

} // namespace parvex
