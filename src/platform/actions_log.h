#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace parvex {

/// The log of what the bulk commands did to files: one line per file, appended, never
/// rewritten. Each line holds, separated by TABs, the time (RFC 3339), the action, the path and
/// the target, the paths escaped as the command line's text output escapes them.
class TActionsLog {
public:
    /// A log written to the file `path` (its folders are made when missing).
    explicit TActionsLog(std::string path);

    /// $XDG_DATA_HOME/parvex/actions.log, or ~/.local/share/parvex/actions.log when XDG_DATA_HOME
    /// is unset or not absolute; empty when neither variable gives a folder.
    static std::string DefaultPath();
    /// The line for one action at `when`, ending in a newline.
    static std::string Line(std::time_t when, std::string_view action, std::string_view path,
                            std::string_view target);
    /// `when` in local time as RFC 3339 text with its offset, as 2026-01-31T08:05:00+01:00.
    static std::string Rfc3339(std::time_t when);

    /// Appends one line; false when it could not be written, with Error() saying why.
    [[nodiscard]] bool Append(std::string_view action, std::string_view path,
                              std::string_view target);
    /// The file written to.
    const std::string& Path() const { return path_; }
    /// Why the last Append failed, naming the file.
    const std::string& Error() const { return error_; }

private:
    std::string path_;
    std::string error_;
};

} // namespace parvex
