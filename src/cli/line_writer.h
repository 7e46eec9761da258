#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// Writes lines of raw bytes to a file descriptor through one large buffer.
class TLineWriter {
public:
    explicit TLineWriter(int fd);
    TLineWriter(const TLineWriter&) = delete;
    TLineWriter& operator=(const TLineWriter&) = delete;

    /// Appends the text and a line break, after a TAB when indented; false once writing failed.
    [[nodiscard]] bool WriteLine(std::string_view text, bool indented);
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
