#pragma once

#include "main/reported_facts.h"
#include "result_file/result_document.h"

#include <cstdint>
#include <optional>

namespace parvex {

/// How a file named by a saved result is on disk now.
enum class TFileState : std::uint8_t {
    AsFound, ///< as the result says: commands may act on it
    Changed, ///< its size or time differs, or on the same host its device or inode
    Missing  ///< no regular file at its path
};

/// A saved result's file checked against the disk.
struct TSavedFileCheck {
    TFileState State = TFileState::Missing;
    /// The file's facts on disk, when it is there as found.
    std::optional<TFoundFile> Now;
    /// True when the names the result holds are all the file's names on disk.
    bool AllNamesFound = false;
};

/// Checks a file of a saved result: missing when no regular file is at its path; changed when
/// its size or modification time to the nanosecond differs, or, when the result was saved on
/// this host (`sameHost`), its device or inode.
TSavedFileCheck CheckSavedFile(const TResultFileFacts& saved, bool sameHost);

} // namespace parvex
