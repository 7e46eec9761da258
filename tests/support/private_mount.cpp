#include "support/private_mount.h"

#include "support/temp_tree.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex::testing {

namespace {

struct TImageKind {
    const char* Format; // the command that makes the file system on the image
    long long Bytes;    // the smallest size its mkfs accepts, with room for the tests' files
};

// Quoted for the shell, so that a temporary folder's name cannot change the command.
std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string MakeImage(const TImageKind& kind, const std::string& image) {
    const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::ftruncate(fd, kind.Bytes) != 0) {
        const std::string why = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return "cannot make an image file: " + why;
    }
    ::close(fd);
    const std::string command =
        std::string(kind.Format) + " " + ShellQuoted(image) + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return std::string("cannot make the file system (") + kind.Format +
               "): is its package installed?";
    return {};
}

} // namespace

std::string MountFreshFileSystem(const std::string& type, const std::string& folder) {
    static const std::map<std::string, TImageKind> images = {
        {"btrfs", {"mkfs.btrfs -q -f", 128LL << 20}},
        {"xfs", {"mkfs.xfs -q -f -m reflink=1", 300LL << 20}},
        {"ext4", {"mkfs.ext4 -q -F", 16LL << 20}},
    };
    if (::geteuid() != 0)
        return "mounting a file system needs root";
    std::string mountPoint = folder;
    while (mountPoint.size() > 1 && mountPoint.back() == '/')
        mountPoint.pop_back();
    const auto image = images.find(type);
    const std::string imagePath = mountPoint + ".img";
    if (image != images.end())
        if (std::string why = MakeImage(image->second, imagePath); !why.empty())
            return why;
    if (::unshare(CLONE_NEWNS) != 0)
        return std::string("no mount namespace of its own here: ") + std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("cannot make the mounts private: ") + std::strerror(errno);
    if (image == images.end()) {
        if (::mount(type.c_str(), mountPoint.c_str(), type.c_str(), 0, nullptr) != 0)
            return "cannot mount " + type + ": " + std::strerror(errno);
        return {};
    }
    const std::string command = "mount -t " + type + " -o loop " + ShellQuoted(imagePath) + " " +
                                ShellQuoted(mountPoint) + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return "cannot mount a " + type + " image on a loop device here";
    // The loop device holds the image open: a process that ends without cleaning up leaves
    // nothing behind.
    ::unlink(imagePath.c_str());
    return {};
}

TChildRun OnFreshFileSystem(const TTempTree& tree, const std::string& type,
                            const std::function<std::string(const std::string& folder)>& body) {
    const std::string folder = tree.Path(type + "/");
    ::mkdir(folder.c_str(), 0755);
    return RunInChild([&] { return MountFreshFileSystem(type, folder); },
                      [&] { return body(folder); });
}

} // namespace parvex::testing
