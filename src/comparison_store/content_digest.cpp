#include "comparison_store/content_digest.h"

#include "platform/file_times.h"
#include "platform/long_path.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

namespace parvex {

namespace {

bool ReadFully(int fd, char* buffer, std::size_t length, off_t offset) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t count = ::pread(fd, buffer + done, length - done, offset + off_t(done));
        if (count <= 0)
            return false;
        done += std::size_t(count);
    }
    return true;
}

std::optional<TFileIdentity> IdentityOf(int fd) {
    struct stat facts {};
    if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode))
        return std::nullopt;
    return TFileIdentity{std::int64_t(facts.st_ino), std::int64_t(facts.st_size),
                         NanosecondsOf(facts.st_mtim), NanosecondsOf(facts.st_ctim)};
}

} // namespace

std::optional<TEndsDigest> DigestOfEnds(const std::string& path, const TFileIdentity& identity) {
    const TUniqueFd fd(
        OpenLongPath(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (!fd || IdentityOf(fd.Get()) != identity)
        return std::nullopt;
    std::array<char, 2 * DigestChunk> bytes{};
    const auto size = std::size_t(identity.Size);
    const std::size_t head = std::min(size, DigestChunk);
    const std::size_t tail = std::min(size - head, DigestChunk);
    if (!ReadFully(fd.Get(), bytes.data(), head, 0) ||
        !ReadFully(fd.Get(), bytes.data() + head, tail, off_t(size - tail)))
        return std::nullopt;
    // The bytes read belong to the identity only if it still holds after the reading.
    if (IdentityOf(fd.Get()) != identity)
        return std::nullopt;
    const XXH128_hash_t digest = XXH3_128bits(bytes.data(), head + tail);
    return TEndsDigest{digest.low64, digest.high64};
}

} // namespace parvex
