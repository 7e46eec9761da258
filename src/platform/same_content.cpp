#include "platform/same_content.h"

#include "platform/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace parvex {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// Fills `buffer` as far as the file goes; the count read, or -1 on an error.
ssize_t ReadChunk(int fd, char* buffer, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t got = ::read(fd, buffer + filled, size - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(filled);
}

} // namespace

TContentMatch CompareContent(const std::string& a, const std::string& b) {
    return *CompareContent(a, b, {});
}

std::optional<TContentMatch> CompareContent(const std::string& a, const std::string& b,
                                            const std::function<bool(std::int64_t)>& onChunk) {
    const TUniqueFd first(::open(a.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    const TUniqueFd second(::open(b.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!first || !second)
        return TContentMatch::Unreadable;
    struct stat one {};
    struct stat two {};
    if (::fstat(first.Get(), &one) != 0 || ::fstat(second.Get(), &two) != 0 ||
        !S_ISREG(one.st_mode) || !S_ISREG(two.st_mode))
        return TContentMatch::Unreadable;
    if (one.st_size != two.st_size)
        return TContentMatch::Different;
    std::vector<char> left(kChunk);
    std::vector<char> right(kChunk);
    for (;;) {
        const ssize_t l = ReadChunk(first.Get(), left.data(), left.size());
        const ssize_t r = ReadChunk(second.Get(), right.data(), right.size());
        if (l < 0 || r < 0)
            return TContentMatch::Unreadable;
        if (l != r || std::memcmp(left.data(), right.data(), static_cast<std::size_t>(l)) != 0)
            return TContentMatch::Different;
        if (l == 0)
            return TContentMatch::Same;
        if (onChunk && !onChunk(l))
            return std::nullopt;
    }
}

} // namespace parvex
