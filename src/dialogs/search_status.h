#pragma once

#include <QString>

namespace parvex {

/// The main window's status codes; each shows its own text in the status bar.
enum class TSearchStatus {
    stEmpty = 0,
    stInProcess = 1,
    stComplete = 2,
    stChanged = 3,
    stInterrupted = 4
};

/// The status-bar text of a status code; empty for a value outside the codes.
QString SearchStatusText(TSearchStatus status);

} // namespace parvex
