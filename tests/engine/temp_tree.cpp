#include "temp_tree.h"

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex::testing {

namespace {

void MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0755);
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
    // Permissions that a test took away come back first, so the removal can see everything.
    ::nftw(
        root_.c_str(),
        [](const char* path, const struct stat*, int type, FTW*) {
            if (type == FTW_D || type == FTW_DNR)
                ::chmod(path, 0755);
            return 0;
        },
        16, FTW_PHYS);
    ::nftw(
        root_.c_str(),
        [](const char* path, const struct stat*, int, FTW*) {
            ::remove(path);
            return 0;
        },
        16, FTW_DEPTH | FTW_PHYS);
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

void TEventLog::Attach(TCompearerCore& core) {
    core.OnSearchStart = [this] { Lines.push_back("start"); };
    core.OnCheckFolder = [this](const std::string& path, bool& allowed) {
        Lines.push_back("check " + path);
        allowed = std::find(Excluded.begin(), Excluded.end(), path) == Excluded.end();
    };
    core.OnFileFound = [this](const std::string& text, bool newGroup) {
        Lines.push_back((newGroup ? "group " : "file ") + text);
    };
    core.OnSearchComplete = [this] { Lines.push_back("complete"); };
    core.OnSearchInterrupted = [this] { Lines.push_back("interrupted"); };
}

std::vector<std::string> TEventLog::Found() const {
    std::vector<std::string> found;
    for (const std::string& line : Lines)
        if (line.rfind("group ", 0) == 0 || line.rfind("file ", 0) == 0)
            found.push_back(line);
    return found;
}

} // namespace parvex::testing
