#include "cli/buffered_writer.h"

#include <cerrno>
#include <unistd.h>

namespace parvex {

namespace {

// Large enough that a big result costs few system calls (one per few hundred lines), small
// next to the engine's own memory.
constexpr std::size_t BufferCapacity = 64 << 10;

} // namespace

TBufferedWriter::TBufferedWriter(int fd) : fd_(fd) {
    buffer_.reserve(BufferCapacity);
}

bool TBufferedWriter::Write(std::string_view bytes) {
    if (firstError_ != 0)
        return false;
    if (buffer_.size() + bytes.size() > BufferCapacity && !Flush())
        return false;
    buffer_ += bytes;
    return true;
}

bool TBufferedWriter::Flush() {
    std::size_t written = 0;
    while (firstError_ == 0 && written < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + written, buffer_.size() - written);
        if (n >= 0)
            written += static_cast<std::size_t>(n);
        else if (errno != EINTR)
            firstError_ = errno;
    }
    buffer_.clear();
    return firstError_ == 0;
}

} // namespace parvex
