#include "settings/settings_file.h"

#include "platform/atomic_file.h"
#include "platform/file_io.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {

namespace {

const char* const kNotRegular = "not a regular file";
const char* const kBrokenLink = "a symbolic link to nothing";
const char* const kTooLarge = "larger than 64 MiB";

std::string ErrorText(int Error) {
    return std::strerror(Error);
}

enum class TFound { Present, Missing, BrokenLink, Failed };

// What lies at FileName, a link followed; Info for Present, Error (errno) for Failed.
TFound Inspect(const std::string& FileName, struct stat& Info, int& Error) {
    if (stat(FileName.c_str(), &Info) == 0) {
        return TFound::Present;
    }
    Error = errno;
    if (Error != ENOENT) {
        return TFound::Failed;
    }
    struct stat link {};
    return lstat(FileName.c_str(), &link) == 0 ? TFound::BrokenLink : TFound::Missing;
}

} // namespace

TSettingsFileRead ReadSettingsFile(const std::string& FileName) {
    using TKind = TSettingsFileRead::TKind;
    const auto refused = [](TKind Kind, std::string Reason) {
        return TSettingsFileRead{Kind, {}, std::move(Reason)};
    };
    struct stat info {};
    int error = 0;
    switch (Inspect(FileName, info, error)) {
    case TFound::Missing:
        return refused(TKind::Missing, {});
    case TFound::BrokenLink:
        return refused(TKind::NotRegular, kBrokenLink);
    case TFound::Failed:
        return refused(TKind::Unreadable, ErrorText(error));
    case TFound::Present:
        break;
    }
    if (!S_ISREG(info.st_mode)) {
        return refused(TKind::NotRegular, kNotRegular);
    }
    // O_NONBLOCK: should a FIFO take the file's place after the check, opening it cannot hang;
    // fstat then tells what was really opened.
    const TUniqueFd file(open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file || fstat(file.Get(), &info) != 0) {
        return refused(TKind::Unreadable, ErrorText(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return refused(TKind::NotRegular, kNotRegular);
    }
    if (static_cast<std::size_t>(info.st_size) > kMaxSettingsFileSize) {
        return refused(TKind::Unreadable, kTooLarge);
    }
    // Up to one byte more than allowed is read, so a file that grew meanwhile is caught too.
    std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > kMaxSettingsFileSize) {
                return refused(TKind::Unreadable, kTooLarge);
            }
            bytes.resize(std::min(bytes.size() * 2, kMaxSettingsFileSize + 1));
        }
        const ssize_t got = read(file.Get(), bytes.data() + filled, bytes.size() - filled);
        if (got == 0) {
            break;
        }
        if (got < 0 && errno != EINTR) {
            return refused(TKind::Unreadable, ErrorText(errno));
        }
        filled += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    bytes.resize(filled);
    return TSettingsFileRead{TKind::Read, std::move(bytes), {}};
}

bool KeepUnreadableFile(const std::string& FileName, std::string& Reason) {
    const std::string kept = FileName + ".bad";
    // Older copies move one place on; a missing one is simply not there to move.
    std::rename((kept + ".1").c_str(), (kept + ".2").c_str());
    std::rename(kept.c_str(), (kept + ".1").c_str());
    if (std::rename(FileName.c_str(), kept.c_str()) != 0) {
        Reason = ErrorText(errno);
        return false;
    }
    return true;
}

bool IsRegularFileOrMissing(const std::string& FileName) {
    struct stat info {};
    int error = 0;
    const TFound found = Inspect(FileName, info, error);
    return found == TFound::Missing || (found == TFound::Present && S_ISREG(info.st_mode));
}

bool NameTaken(const std::string& FileName) {
    struct stat info {};
    return lstat(FileName.c_str(), &info) == 0 || errno != ENOENT;
}

bool MayReplaceSettingsFile(const std::string& FileName, std::string& Reason) {
    struct stat info {};
    int error = 0;
    switch (Inspect(FileName, info, error)) {
    case TFound::Present:
        if (!S_ISREG(info.st_mode)) {
            Reason = kNotRegular;
            return false;
        }
        break;
    case TFound::BrokenLink:
        Reason = kBrokenLink;
        return false;
    case TFound::Failed:
        Reason = ErrorText(error);
        return false;
    case TFound::Missing:
        break;
    }
    // The replacement is written beside the file (beside the one a link points to) first.
    if (access(FolderOf(ResolvedTarget(FileName)).c_str(), W_OK) != 0) {
        Reason = ErrorText(errno);
        return false;
    }
    return true;
}

} // namespace parvex
