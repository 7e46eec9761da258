#include "comparison_store/file_system_kind.h"

#include <array>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace parvex {

namespace {

// Magic numbers of linux/magic.h.
constexpr std::int64_t Ext4 = 0xEF53;
constexpr std::int64_t Btrfs = 0x9123683E;
constexpr std::int64_t Xfs = 0x58465342;
constexpr std::int64_t Tmpfs = 0x01021994;
constexpr std::int64_t F2fs = 0xF2F52010;
constexpr std::int64_t Zfs = 0x2FC12FC1;
constexpr std::int64_t Bcachefs = 0xCA451A4E;
constexpr std::int64_t Nfs = 0x6969;
constexpr std::int64_t Smb = 0x517B;
constexpr std::int64_t Cifs = 0xFF534D42;
constexpr std::int64_t Smb2 = 0xFE534D42;
constexpr std::int64_t Fuse = 0x65735546;
constexpr std::int64_t Afs = 0x6B414653;
constexpr std::int64_t Ceph = 0x00C36400;

// The mount point of the mount that holds `device`, from the process's mount table.
std::optional<std::string> MountPointOf(dev_t device) {
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::optional<std::string> found;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers, root, point;
        fields >> id >> parent >> numbers >> root >> point;
        // The whole file system mounted, rather than a folder of it bound elsewhere.
        if (numbers == wanted && root == "/")
            found = point;
    }
    return found;
}

// The UUID under /dev/disk/by-uuid whose block device is `device`.
std::optional<std::string> UuidOf(dev_t device) {
    const char* const folder = "/dev/disk/by-uuid";
    DIR* listing = ::opendir(folder);
    if (listing == nullptr)
        return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(listing)) {
        struct stat facts {};
        if (entry->d_name[0] == '.' || ::fstatat(::dirfd(listing), entry->d_name, &facts, 0) != 0)
            continue;
        if (S_ISBLK(facts.st_mode) && facts.st_rdev == device) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(listing);
    return found;
}

std::optional<std::string> RootBirthOf(const std::string& mountPoint) {
    struct statx facts {};
    if (::statx(AT_FDCWD, mountPoint.c_str(), AT_STATX_SYNC_AS_STAT, STATX_BTIME, &facts) != 0 ||
        (facts.stx_mask & STATX_BTIME) == 0)
        return std::nullopt;
    return "born " + std::to_string(facts.stx_btime.tv_sec) + "." +
           std::to_string(facts.stx_btime.tv_nsec);
}

} // namespace

bool KeepsTrueIdentity(std::int64_t type) {
    switch (type) {
    case Ext4:
    case Btrfs:
    case Xfs:
    case Tmpfs:
    case F2fs:
    case Zfs:
    case Bcachefs:
        return true;
    default:
        return false;
    }
}

bool NeedsRollbackJournal(std::int64_t type) {
    switch (type) {
    case Nfs:
    case Smb:
    case Cifs:
    case Smb2:
    case Fuse:
    case Afs:
    case Ceph:
        return true;
    default:
        return false;
    }
}

std::optional<std::int64_t> FileSystemType(const std::string& path) {
    struct statfs facts {};
    if (::statfs(path.c_str(), &facts) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(static_cast<std::uint32_t>(facts.f_type));
}

std::optional<std::string> FileSystemFingerprint(const std::string& path) {
    const std::optional<std::int64_t> type = FileSystemType(path);
    struct stat facts {};
    if (!type || ::stat(path.c_str(), &facts) != 0)
        return std::nullopt;
    std::array<char, 24> typeText{};
    std::snprintf(typeText.data(), typeText.size(), "%llx ",
                  static_cast<unsigned long long>(*type));
    if (const std::optional<std::string> uuid = UuidOf(facts.st_dev))
        return typeText.data() + *uuid;
    const std::optional<std::string> mountPoint = MountPointOf(facts.st_dev);
    if (!mountPoint)
        return std::nullopt;
    const std::optional<std::string> birth = RootBirthOf(*mountPoint);
    if (!birth)
        return std::nullopt;
    return typeText.data() + *birth;
}

} // namespace parvex
