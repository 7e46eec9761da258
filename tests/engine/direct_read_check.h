#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace parvex::testing {

/// Whether the file system of the file at `path` (at least 64 KiB long) allows direct reads
/// (O_DIRECT), which the read probe needs; tests of the probe skip where it does not.
inline bool DirectReadsWork(const std::string& path) {
    constexpr std::size_t bytes = 64 * 1024;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC);
    if (fd < 0)
        return false;
    const std::unique_ptr<void, decltype(&std::free)> buffer(std::aligned_alloc(4096, bytes),
                                                             &std::free);
    const bool read = buffer && ::pread(fd, buffer.get(), bytes, 0) == ssize_t(bytes);
    ::close(fd);
    return read;
}

} // namespace parvex::testing
