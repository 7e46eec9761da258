#pragma once

#include <cstdint>

namespace parvex {

/// What a running search has done so far; the core brings it up to date at every poll.
struct TSearchProgress {
    std::int64_t FoldersScanned = 0; ///< folders whose listing the scan opened
    std::int64_t FilesCollected = 0; ///< rows the scan put into the file table
    std::int64_t FilesSettled = 0;   ///< files whose group membership is final
    std::int64_t FilesToCompare = 0; ///< files the comparison has to settle
    std::int64_t BytesRead = 0;      ///< content bytes read by the comparison
    double CompareSeconds = 0;       ///< time of the comparison so far, by the core's clock

    /// Content bytes read per second of the comparison; 0 before any time has passed.
    double BytesPerSecond() const {
        return CompareSeconds > 0 ? static_cast<double>(BytesRead) / CompareSeconds : 0;
    }
};

} // namespace parvex
