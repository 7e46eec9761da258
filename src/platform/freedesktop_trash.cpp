#include "platform/freedesktop_trash.h"

#include "platform/file_io.h"
#include "platform/file_status.h"
#include "platform/no_replace_move.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <set>
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

std::string TrashInfoFileOf(const std::string& entry) {
    const std::string trash = FolderOf(FolderOf(entry));
    return Join(Join(trash, "info"), NameOf(entry) + std::string(kInfoSuffix));
}

std::string FreeTrashEntry(const std::string& trash, const std::string& path,
                           const std::function<bool(const std::string&)>& alsoTaken) {
    const std::string files = Join(trash, "files");
    const std::string name = NameOf(path);
    for (int attempt = 1; attempt <= kMostSlots; ++attempt) {
        std::string entry = Join(files, SlotName(name, attempt));
        if (!EntryExists(entry) && !EntryExists(TrashInfoFileOf(entry)) &&
            !(alsoTaken && alsoTaken(entry)))
            return entry;
    }
    return {};
}

TTrashOutcome TrashFileAs(const std::string& path, const std::string& entry,
                          const std::string& recordedPath, std::time_t deleted) {
    const std::string files = FolderOf(entry);
    const std::string info = FolderOf(TrashInfoFileOf(entry));
    for (const std::string& folder : {files, info})
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return Refused(Failure("cannot create " + folder, errno));
    const std::string infoPath = TrashInfoFileOf(entry);
    // The info file is created exclusively: holding it reserves the slot's name.
    TUniqueFd fd(
        ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd) {
        TTrashOutcome outcome = Refused(Failure("cannot write the trash entry in " + info, errno));
        outcome.SlotTaken = errno == EEXIST;
        return outcome;
    }
    if (!WriteAll(fd.Get(), TrashInfoText(recordedPath, deleted)) || !fd.Close()) {
        const int error = errno;
        ::unlink(infoPath.c_str());
        return Refused(Failure("cannot write the trash entry in " + info, error));
    }
    if (RenameWithoutReplacing(path, entry))
        return {true, {}, entry};
    const int error = errno;
    ::unlink(infoPath.c_str());
    TTrashOutcome outcome = Refused(Failure("cannot move it into " + files, error));
    outcome.SlotTaken = error == EEXIST;
    return outcome;
}

TTrashOutcome TrashFileInto(const std::string& path, const std::string& trash,
                            const std::string& recordedPath, std::time_t deleted) {
    std::set<std::string> taken;
    for (;;) {
        const std::string entry = FreeTrashEntry(
            trash, path, [&taken](const std::string& slot) { return taken.contains(slot); });
        if (entry.empty())
            return Refused("no free name in " + Join(trash, "files"));
        TTrashOutcome outcome = TrashFileAs(path, entry, recordedPath, deleted);
        // A slot taken between looking and acting moves on to the next one.
        if (!outcome.SlotTaken)
            return outcome;
        taken.insert(entry);
    }
}

bool RestoreTrashEntry(const std::string& entry, const std::string& path) {
    if (!RenameWithoutReplacing(entry, path))
        return false;
    ::unlink(TrashInfoFileOf(entry).c_str());
    return true;
}

TTrashPlace TrashPlaceOf(const std::string& path) {
    TTrashPlace place;
    struct stat facts {};
    if (path.empty() || ::lstat(path.c_str(), &facts) != 0) {
        place.Reason = Failure("cannot find it", path.empty() ? ENOENT : errno);
        return place;
    }
    const std::string absolute = AbsolutePathOf(path);
    if (absolute.empty()) {
        place.Reason = Failure("cannot find the working folder", errno);
        return place;
    }
    const std::string home = HomeTrashFolder();
    struct stat homeFacts {};
    // The home trash is made only when missing: a run trashing thousands of files asks once.
    const bool homeThere =
        !home.empty() && (::stat(home.c_str(), &homeFacts) == 0 ||
                          (MakeFolders(home, 0700) && ::stat(home.c_str(), &homeFacts) == 0));
    if (homeThere && homeFacts.st_dev == facts.st_dev) {
        place.Folder = home;
        place.RecordedPath = absolute;
        return place;
    }
    // Another file system: the trash at the top of its mount, with the place recorded from
    // there, so that the entry stays right wherever the file system is mounted next time.
    const std::string folder = RealPathOf(FolderOf(absolute));
    const std::string topdir = MountTopOf(folder);
    if (folder.empty() || topdir.empty()) {
        place.Reason = Failure("cannot find the file system's top folder", errno);
        return place;
    }
    std::string reason;
    place.Folder = TopdirTrashFolder(topdir, ::getuid(), reason);
    if (place.Folder.empty()) {
        place.Reason = "its file system has no usable trash (" + reason + ")";
        return place;
    }
    std::string relative = folder.substr(topdir.size());
    while (!relative.empty() && relative.front() == '/')
        relative.erase(0, 1);
    place.RecordedPath = Join(relative, NameOf(absolute));
    return place;
}

TTrashOutcome TrashFile(const std::string& path) {
    const TTrashPlace place = TrashPlaceOf(path);
    if (place.Folder.empty())
        return Refused(place.Reason);
    return TrashFileInto(path, place.Folder, place.RecordedPath, std::time(nullptr));
}

} // namespace parvex
