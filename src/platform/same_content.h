#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace parvex {

/// What a byte-by-byte comparison of two files found.
enum class TContentMatch {
    Same,      ///< both files hold exactly the same bytes
    Different, ///< their sizes or some bytes differ
    Unreadable ///< one of them could not be opened or read
};

/// Compares the regular files at the exact paths `a` and `b` byte by byte, in bounded chunks
/// (constant memory whatever their size); links are not followed.
TContentMatch CompareContent(const std::string& a, const std::string& b);

/// Like CompareContent, calling `onChunk` with the number of bytes of each chunk compared; when
/// it returns false the comparison stops and the answer is nothing.
std::optional<TContentMatch> CompareContent(const std::string& a, const std::string& b,
                                            const std::function<bool(std::int64_t)>& onChunk);

} // namespace parvex
