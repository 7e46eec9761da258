#pragma once

namespace parvex {

/// parvex-cli's exit statuses; a run stopped by signal N exits with ExitStoppedBase + N.
enum TExitStatus : int {
    ExitComplete = 0,
    ExitError = 1,
    ExitUsage = 2,
    ExitSomethingUnread = 3,
    ExitStoppedBase = 128,
};

/// How a search run of parvex-cli ended.
struct TRunOutcome {
    bool Failed = false; ///< an error: the result could not be written, or the search broke
    int StopSignal = 0;  ///< the signal that asked the run to stop, 0 for none
    bool SomethingUnread = false; ///< a file or folder could not be read
};

/// The exit status of a run: an error first, then a stop by a signal, then what was not read.
constexpr int ExitStatusOf(const TRunOutcome& outcome) {
    if (outcome.Failed)
        return ExitError;
    if (outcome.StopSignal != 0)
        return ExitStoppedBase + outcome.StopSignal;
    if (outcome.SomethingUnread)
        return ExitSomethingUnread;
    return ExitComplete;
}

} // namespace parvex
