#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// Writes raw bytes to a file descriptor through one large buffer.
class TBufferedWriter {
public:
    explicit TBufferedWriter(int fd);
    TBufferedWriter(const TBufferedWriter&) = delete;
    TBufferedWriter& operator=(const TBufferedWriter&) = delete;

    /// Appends the bytes as they are; false once writing failed.
    [[nodiscard]] bool Write(std::string_view bytes);
    /// Writes out what is buffered; false when writing failed (now or earlier).
    [[nodiscard]] bool Flush();
    /// The errno of the first failed write, 0 while all went well.
    int Error() const { return firstError_; }

private:
    int fd_;
    int firstError_ = 0;
    std::string buffer_;
};

} // namespace parvex
