#pragma once

#include <cstddef>
#include <string>

namespace parvex {

/// The largest settings file that is read: 64 MiB.
inline constexpr std::size_t kMaxSettingsFileSize = std::size_t{64} << 20;

/// What reading a settings file found.
struct TSettingsFileRead {
    enum class TKind {
        Missing,    ///< no such name
        Read,       ///< Bytes holds the whole file
        Unreadable, ///< a regular file that could not be read whole; Reason says why
        NotRegular, ///< a folder, device, FIFO, socket or broken link; Reason says what
    };
    TKind Kind = TKind::Missing;
    std::string Bytes;
    std::string Reason;
};

/// Reads FileName when it is a regular file (a link to one is followed) of at most
/// kMaxSettingsFileSize bytes. Never blocks on a FIFO or device: those are not read at all.
TSettingsFileRead ReadSettingsFile(const std::string& FileName);

/// Moves an unreadable FileName aside as "<FileName>.bad"; an older ".bad" becomes ".bad.1"
/// and ".bad.1" becomes ".bad.2", replacing the oldest copy. False, with Reason, when FileName
/// itself could not be moved (it then stays where it is).
[[nodiscard]] bool KeepUnreadableFile(const std::string& FileName, std::string& Reason);

/// Whether FileName is a regular file (or a link to one) or names nothing at all.
bool IsRegularFileOrMissing(const std::string& FileName);

/// Whether anything, a link to nothing too, is at FileName.
bool NameTaken(const std::string& FileName);

/// Whether a save may replace FileName: a regular file (or a link to one), or a missing name in
/// a folder that can be written. Otherwise Reason says why not.
[[nodiscard]] bool MayReplaceSettingsFile(const std::string& FileName, std::string& Reason);

} // namespace parvex
