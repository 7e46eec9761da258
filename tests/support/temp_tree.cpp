#include "support/temp_tree.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace parvex::testing {

namespace {

void MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0755);
}

// Opens the subfolder `name` of `parent` for removal, giving it back the permissions a test
// may have taken away, so that its entries can be listed and unlinked.
int OpenForRemoval(int parent, const char* name) {
    ::fchmodat(parent, name, 0700, 0);
    return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Unlinks every entry of the folder `folder` that is not a folder and returns the name of one
// subfolder, if any is left.
std::optional<std::string> UnlinkFilesAndFindFolder(int folder) {
    const int listing = ::dup(folder);
    DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (entries == nullptr) {
        if (listing >= 0)
            ::close(listing);
        return std::nullopt;
    }
    std::optional<std::string> subfolder;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat info {};
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISDIR(info.st_mode)) {
            if (!subfolder)
                subfolder = name;
        } else {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
    ::closedir(entries);
    return subfolder;
}

// Removes the tree below `root` through descriptors. It holds one descriptor at a time and
// keeps the way back as names, so neither PATH_MAX nor the descriptor limit bounds the depth.
void RemoveTree(const std::string& root) {
    int folder = OpenForRemoval(AT_FDCWD, root.c_str());
    std::vector<std::string> down; // the names from root to the current folder
    while (folder >= 0) {
        if (const std::optional<std::string> subfolder = UnlinkFilesAndFindFolder(folder)) {
            const int child = OpenForRemoval(folder, subfolder->c_str());
            if (child < 0)
                break;
            ::close(folder);
            folder = child;
            down.push_back(*subfolder);
            continue;
        }
        if (down.empty()) {
            ::close(folder);
            folder = -1;
            ::rmdir(root.c_str());
            return;
        }
        const int parent = ::openat(folder, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = parent;
        // A folder that cannot be removed would be entered again and again: stop instead.
        if (folder < 0 || ::unlinkat(folder, down.back().c_str(), AT_REMOVEDIR) != 0)
            break;
        down.pop_back();
    }
    if (folder >= 0)
        ::close(folder);
    std::fprintf(stderr, "the temporary tree %s could not be removed completely\n", root.c_str());
}

} // namespace

TTempTree::TTempTree(const std::string& base) {
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = base;
    if (pattern.empty())
        pattern = temporary != nullptr && *temporary != '\0' ? temporary : "/tmp";
    pattern += "/parvex-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    root_ = pattern + "/";
}

TTempTree::~TTempTree() {
    RemoveTree(root_);
}

std::string TTempTree::File(const std::string& relative, const std::string& content) {
    const std::string path = Path(relative);
    MakeFolders(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::string TTempTree::File(const std::string& relative, const std::string& content,
                            std::time_t seconds) {
    const std::string path = File(relative, content);
    SetTime(relative, seconds);
    return path;
}

std::string TTempTree::Folder(const std::string& relative) {
    std::string path = Path(relative);
    if (path.back() != '/')
        path += '/';
    MakeFolders(path);
    return path;
}

void TTempTree::SetTime(const std::string& relative, std::time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    if (::utimensat(AT_FDCWD, Path(relative).c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("cannot set the time of " + relative);
}

void TTempTree::Link(const std::string& relative, const std::string& target) {
    const std::string path = Path(relative);
    MakeFolders(path);
    if (::symlink(target.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot link " + relative);
}

std::string TTempTree::HardLink(const std::string& relative, const std::string& existing) {
    const std::string path = Path(relative);
    MakeFolders(path);
    if (::link(Path(existing).c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot make the hard link " + relative);
    return path;
}

std::string TTempTree::DeepFile(const std::string& relative, const std::string& folder, int levels,
                                const std::string& name, const std::string& content) {
    std::string path = Folder(relative);
    int current = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; current >= 0 && level < levels; ++level) {
        ::mkdirat(current, folder.c_str(), 0755);
        const int next = ::openat(current, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(current);
        current = next;
        path += folder + "/";
    }
    const int file = current >= 0 ? ::openat(current, name.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)
                                  : -1;
    const bool written = file >= 0 && ::write(file, content.data(), content.size()) ==
                                          static_cast<ssize_t>(content.size());
    if (file >= 0)
        ::close(file);
    if (current >= 0)
        ::close(current);
    if (!written)
        throw std::runtime_error("cannot make the deep file below " + relative);
    return path + name;
}

void TTempTree::Fifo(const std::string& relative) {
    const std::string path = Path(relative);
    MakeFolders(path);
    if (::mkfifo(path.c_str(), 0644) != 0)
        throw std::runtime_error("cannot make the FIFO " + relative);
}

std::string TTempTree::SparseFile(const std::string& relative, long long size, char last) {
    const std::string path = Path(relative);
    MakeFolders(path);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written = fd >= 0 && ::ftruncate(fd, size) == 0 &&
                         ::pwrite(fd, &last, 1, static_cast<off_t>(size - 1)) == 1;
    if (fd >= 0)
        ::close(fd);
    if (!written)
        throw std::runtime_error("cannot make the sparse file " + relative);
    return path;
}

std::string TTempTree::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TTempTree::SameFileSystem(const std::string& one, const std::string& two) {
    struct stat first {};
    struct stat second {};
    return ::stat(one.c_str(), &first) == 0 && ::stat(two.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev;
}

bool TTempTree::Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace parvex::testing
