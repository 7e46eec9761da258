#pragma once

#include "main/result_data.h"
#include "result_file/result_document.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace parvex {

/// A result file loaded for the window, or why it was not.
struct TLoadedResult {
    enum class TOutcome : std::uint8_t {
        Opened,     ///< Document and Data hold it
        Unreadable, ///< the file could not be read; Reason says why
        Refused,    ///< the file is no result document; Reason says what is wrong and where
        Cancelled,  ///< the user cancelled
    };
    TOutcome Outcome = TOutcome::Cancelled;
    QString Reason;
    /// The document without its groups, which are in Data.
    TResultDocument Document;
    TResultData Data;
};

/// Loads the result document in the file `path` off the window's thread: a worker reads it and
/// builds the window's result of it (ResultOfDocument, with `thisHost`), while a progress
/// dialog over `parent` shows how far reading got and offers Cancel, and the window's thread
/// keeps serving its messages. The worker never reads more than a slice ahead of what the
/// window has shown, so Cancel stops it within a slice. `onProgress`, when given, is called on
/// the window's thread with each step the dialog shows (bytes read, file size).
TLoadedResult LoadResultFile(QWidget* parent, const std::string& path, const std::string& thisHost,
                             const std::function<void(std::uint64_t, std::uint64_t)>& onProgress);

} // namespace parvex
