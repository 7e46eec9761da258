#pragma once

#include "result_file/result_document.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace parvex {

/// A text that is not a result document this program reads; what() names what is wrong and
/// where, e.g. "groups[2].files[0]: \"size\" is missing or not a whole number".
class EResultFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A result file that could not be read at all (not a regular file, too large, or a read
/// failed); what() says why.
class EResultFileUnreadable : public EResultFileError {
public:
    using EResultFileError::EResultFileError;
};

/// Reading a result file was cancelled.
class EResultFileCancelled : public EResultFileError {
public:
    using EResultFileError::EResultFileError;
};

/// The largest result file read: a result of millions of files fits, and nothing larger is read.
inline constexpr std::uint64_t kResultFileSizeCap = std::uint64_t(4) << 30;

/// What a reader of a result file reports and heeds while it reads.
struct TResultReadControl {
    /// Called with the bytes read so far and the file's size after each piece read.
    std::function<void(std::uint64_t read, std::uint64_t size)> Progress;
    /// Reading stops with EResultFileCancelled once this holds true.
    const std::atomic<bool>* Cancel = nullptr;
};

/// Reads a JSON result document ("parvex-result", version 1) as TJsonResult writes it; throws
/// EResultFileError for anything else. Relative paths are made absolute with the document's
/// working folder. Every file reads as having all its names found: the document does not say,
/// so whoever opens it decides that from the disk.
TResultDocument ReadJsonResult(std::string_view text);

/// Reads the result document in the file `path` as ReadJsonResult does, piece by piece: only a
/// regular file of at most kResultFileSizeCap bytes is read (anything else is refused before a
/// byte is read, and without waiting on a FIFO or device), and reading reports its progress and
/// stops when cancelled, as `control` says.
TResultDocument ReadJsonResultFile(const std::string& path, const TResultReadControl& control = {});

} // namespace parvex
