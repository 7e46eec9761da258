#include "platform/freedesktop_trash.h"

#include "platform/file_io.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

// A name in files/ and info/ may not be longer than this; the info file adds ".trashinfo" and a
// clash adds ".N", so a long name is shortened to leave room for both.
constexpr std::size_t kNameMax = NAME_MAX;
constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr int kMostSlots = 10000;

std::string Join(const std::string& folder, std::string_view name) {
    if (folder.empty())
        return std::string(name);
    std::string joined = folder;
    if (joined.empty() || joined.back() != '/')
        joined += '/';
    joined += name;
    return joined;
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Failure(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

TTrashOutcome Refused(std::string reason) {
    return {false, std::move(reason), {}};
}

// mkdir -p with `mode` for the folders it makes.
bool MakeFolders(const std::string& folder, mode_t mode) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), mode) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

// A folder of the user's own, made with mode 0700 when missing; a link or another user's folder
// is never used.
bool UsableUserFolder(const std::string& folder, uid_t uid, std::string& reason) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        reason = Failure("cannot create " + folder, errno);
        return false;
    }
    struct stat facts {};
    if (::lstat(folder.c_str(), &facts) != 0) {
        reason = Failure("cannot use " + folder, errno);
        return false;
    }
    if (!S_ISDIR(facts.st_mode) || facts.st_uid != uid) {
        reason = folder + " is not a folder of the user's own";
        return false;
    }
    return true;
}

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/')
        return path;
    char* cwd = ::getcwd(nullptr, 0);
    if (cwd == nullptr)
        return {};
    std::string absolute = Join(cwd, path);
    std::free(cwd);
    return absolute;
}

std::string RealPathOf(const std::string& folder) {
    char* real = ::realpath(folder.c_str(), nullptr);
    if (real == nullptr)
        return {};
    std::string result = real;
    std::free(real);
    return result;
}

// The slot name of the given attempt, short enough for its info file's name.
std::string SlotName(const std::string& name, int attempt) {
    const std::string number = attempt == 1 ? std::string() : "." + std::to_string(attempt);
    const std::size_t room = kNameMax - kInfoSuffix.size() - number.size();
    return name.substr(0, room) + number;
}

// Renames without replacing anything; false with errno EEXIST when the target name is taken.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace flag: the info file already holds the slot, so
    // only a stranger's file can be there.
    struct stat facts {};
    if (::lstat(to.c_str(), &facts) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

std::string PercentEncodePath(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == '~' || byte == '/';
        if (plain) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string TrashInfoText(const std::string& recordedPath, std::time_t deleted) {
    struct tm local {};
    char date[32] = {};
    if (::localtime_r(&deleted, &local) == nullptr ||
        std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local) == 0)
        std::snprintf(date, sizeof date, "1970-01-01T00:00:00");
    return "[Trash Info]\nPath=" + PercentEncodePath(recordedPath) + "\nDeletionDate=" + date +
           "\n";
}

std::string HomeTrashFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
        return Join(data, "Trash");
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return Join(home, ".local/share/Trash");
    return {};
}

std::string MountTopOf(const std::string& folder) {
    std::string current = RealPathOf(folder);
    struct stat facts {};
    if (current.empty() || ::stat(current.c_str(), &facts) != 0)
        return {};
    while (current != "/") {
        const std::string parent = FolderOf(current);
        struct stat above {};
        if (::stat(parent.c_str(), &above) != 0 || above.st_dev != facts.st_dev)
            break;
        current = parent;
    }
    return current;
}

std::string TopdirTrashFolder(const std::string& topdir, uid_t uid, std::string& reason) {
    const std::string shared = Join(topdir, ".Trash");
    struct stat facts {};
    // A shared trash counts only as a real folder with the sticky bit, so that no user can
    // remove or replace another's folder in it; a link could lead anywhere.
    if (::lstat(shared.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode) &&
        (facts.st_mode & S_ISVTX) != 0) {
        const std::string own = Join(shared, std::to_string(uid));
        if (UsableUserFolder(own, uid, reason))
            return own;
    }
    const std::string own = Join(topdir, ".Trash-" + std::to_string(uid));
    if (UsableUserFolder(own, uid, reason))
        return own;
    return {};
}

TTrashOutcome TrashFileInto(const std::string& path, const std::string& trash,
                            const std::string& recordedPath, std::time_t deleted) {
    const std::string files = Join(trash, "files");
    const std::string info = Join(trash, "info");
    for (const std::string& folder : {files, info})
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return Refused(Failure("cannot create " + folder, errno));
    const std::string record = TrashInfoText(recordedPath, deleted);
    const std::string name = NameOf(path);
    for (int attempt = 1; attempt <= kMostSlots; ++attempt) {
        const std::string slot = SlotName(name, attempt);
        const std::string infoPath = Join(info, slot + std::string(kInfoSuffix));
        // The info file is created exclusively: holding it reserves the slot's name.
        TUniqueFd fd(
            ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd) {
            if (errno == EEXIST)
                continue;
            return Refused(Failure("cannot write the trash entry in " + info, errno));
        }
        if (!WriteAll(fd.Get(), record) || !fd.Close()) {
            const int error = errno;
            ::unlink(infoPath.c_str());
            return Refused(Failure("cannot write the trash entry in " + info, error));
        }
        if (RenameNoReplace(path, Join(files, slot)))
            return {true, {}, Join(files, slot)};
        const int error = errno;
        ::unlink(infoPath.c_str());
        if (error != EEXIST)
            return Refused(Failure("cannot move it into " + files, error));
    }
    return Refused("no free name in " + files);
}

TTrashOutcome TrashFile(const std::string& path) {
    struct stat facts {};
    if (path.empty() || ::lstat(path.c_str(), &facts) != 0)
        return Refused(Failure("cannot find it", path.empty() ? ENOENT : errno));
    const std::string absolute = AbsolutePath(path);
    if (absolute.empty())
        return Refused(Failure("cannot find the working folder", errno));

    const std::string home = HomeTrashFolder();
    struct stat homeFacts {};
    if (!home.empty() && MakeFolders(home, 0700) && ::stat(home.c_str(), &homeFacts) == 0 &&
        homeFacts.st_dev == facts.st_dev)
        return TrashFileInto(path, home, absolute, std::time(nullptr));

    // Another file system: the trash at the top of its mount, with the place recorded from
    // there, so that the entry stays right wherever the file system is mounted next time.
    const std::string folder = RealPathOf(FolderOf(absolute));
    const std::string topdir = MountTopOf(folder);
    if (folder.empty() || topdir.empty())
        return Refused(Failure("cannot find the file system's top folder", errno));
    std::string reason;
    const std::string trash = TopdirTrashFolder(topdir, ::getuid(), reason);
    if (trash.empty())
        return Refused("its file system has no usable trash (" + reason + ")");
    std::string relative = folder.substr(topdir.size());
    while (!relative.empty() && relative.front() == '/')
        relative.erase(0, 1);
    return TrashFileInto(path, trash, Join(relative, NameOf(absolute)), std::time(nullptr));
}

} // namespace parvex
