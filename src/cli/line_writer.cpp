#include "cli/line_writer.h"

#include <cerrno>
#include <unistd.h>

namespace parvex {

namespace {

// Large enough that a big result costs few system calls (one per few hundred lines), small
// next to the engine's own memory.
constexpr std::size_t BufferCapacity = 64 << 10;

} // namespace

TLineWriter::TLineWriter(int fd) : fd_(fd) {
    buffer_.reserve(BufferCapacity);
}

bool TLineWriter::WriteLine(std::string_view text, bool indented) {
    if (firstError_ != 0)
        return false;
    if (buffer_.size() + text.size() + 2 > BufferCapacity && !Flush())
        return false;
    if (indented)
        buffer_ += '\t';
    buffer_ += text;
    buffer_ += '\n';
    return true;
}

bool TLineWriter::Flush() {
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
