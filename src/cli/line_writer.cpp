#include "cli/line_writer.h"

#include <cerrno>
#include <unistd.h>

namespace parvex {

namespace {

// Large enough that a big result costs few system calls (one per few hundred lines), small
// next to the engine's own memory.
constexpr std::size_t BufferCapacity = 64 << 10;

} // namespace

TLineWriter::TLineWriter(int fd) : Fd(fd) {
    Buffer.reserve(BufferCapacity);
}

bool TLineWriter::WriteLine(std::string_view text, bool indented) {
    if (FirstError != 0)
        return false;
    if (Buffer.size() + text.size() + 2 > BufferCapacity && !Flush())
        return false;
    if (indented)
        Buffer += '\t';
    Buffer += text;
    Buffer += '\n';
    return true;
}

bool TLineWriter::Flush() {
    std::size_t written = 0;
    while (FirstError == 0 && written < Buffer.size()) {
        const ssize_t n = ::write(Fd, Buffer.data() + written, Buffer.size() - written);
        if (n >= 0)
            written += static_cast<std::size_t>(n);
        else if (errno != EINTR)
            FirstError = errno;
    }
    Buffer.clear();
    return FirstError == 0;
}

} // namespace parvex
