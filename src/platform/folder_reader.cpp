#include "platform/folder_reader.h"

#include "platform/file_times.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {

int OpenFolderAt(int parentFd, const char* name, bool followLink) {
    return ::openat(parentFd, name,
                    O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
}

TFolderReader::TFolderReader(const std::string& path, bool followLink) {
    // A trailing "/" makes the kernel resolve a final link despite O_NOFOLLOW.
    const bool trimmed = !followLink && path.size() > 1 && path.back() == '/';
    Attach(OpenFolderAt(AT_FDCWD, trimmed ? path.substr(0, path.size() - 1).c_str() : path.c_str(),
                        followLink));
}

TFolderReader::TFolderReader(int listing) {
    Attach(listing);
}

void TFolderReader::Attach(int listing) {
    TUniqueFd fd(listing);
    if (!fd) {
        error_ = errno;
        return;
    }
    struct stat facts {};
    if (::fstat(fd.Get(), &facts) != 0 || (dir_ = ::fdopendir(fd.Get())) == nullptr) {
        error_ = errno;
        return;
    }
    // The folder stream owns the descriptor from here on.
    fd.Release();
    device_ = facts.st_dev;
}

TFolderReader::~TFolderReader() {
    if (dir_ != nullptr)
        ::closedir(dir_);
}

int TFolderReader::Fd() const {
    return ::dirfd(dir_);
}

bool TFolderReader::Next() {
    errno = 0;
    while ((entry_ = ::readdir(dir_)) != nullptr) {
        const char* name = entry_->d_name;
        if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))))
            return true;
    }
    error_ = errno;
    return false;
}

TEntryKind TFolderReader::Kind() const {
    switch (entry_->d_type) {
    case DT_REG:
        return TEntryKind::RegularFile;
    case DT_DIR:
        return TEntryKind::Folder;
    case DT_UNKNOWN:
        break;
    default:
        return TEntryKind::Other;
    }
    // Some file systems leave the type open; ask without following a link.
    struct stat facts {};
    if (::fstatat(Fd(), entry_->d_name, &facts, AT_SYMLINK_NOFOLLOW) != 0)
        return TEntryKind::Other;
    if (S_ISREG(facts.st_mode))
        return TEntryKind::RegularFile;
    return S_ISDIR(facts.st_mode) ? TEntryKind::Folder : TEntryKind::Other;
}

bool TFolderReader::ReadFileFacts(TFileFacts& facts, int& error) const {
    struct stat status {};
    error = 0;
    if (::fstatat(Fd(), entry_->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(status.st_mode))
        return false;
    facts.Size = static_cast<std::int64_t>(status.st_size);
    facts.ModifiedSeconds = status.st_mtim.tv_sec;
    facts.ModifiedNanoseconds = NanosecondsOf(status.st_mtim);
    facts.ChangedNanoseconds = NanosecondsOf(status.st_ctim);
    facts.OwnerWritable = (status.st_mode & S_IWUSR) != 0;
    facts.Id = FileIdOf(status);
    facts.LinkCount = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(status.st_nlink, std::numeric_limits<std::uint32_t>::max()));
    return true;
}

} // namespace parvex
