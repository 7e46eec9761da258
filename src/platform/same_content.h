#pragma once

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

} // namespace parvex
