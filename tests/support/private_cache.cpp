// Linked into every test program: before any test runs, XDG_CACHE_HOME points to a folder of
// the process's own, so that no test reads or changes the comparison store of the user running
// the tests, nor one of another test. The folder goes when the process ends.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct TPrivateCache {
    TPrivateCache() : owner(::getpid()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && base[0] == '/' ? base : "/tmp") +
                              "/parvex-test-cache-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder = pattern;
        ::setenv("XDG_CACHE_HOME", folder.c_str(), 1);
    }
    ~TPrivateCache() {
        // A forked child leaves the folder to its parent.
        if (::getpid() != owner)
            return;
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    pid_t owner;
    std::string folder;
};

const TPrivateCache privateCache;

} // namespace
