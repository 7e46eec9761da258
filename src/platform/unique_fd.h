#pragma once

#include <utility>

namespace parvex {

/// Owns one open file descriptor and closes it when it goes out of scope; movable, not copyable.
class TUniqueFd {
public:
    TUniqueFd() = default;
    /// Takes ownership of `fd`; a negative value means "no descriptor".
    explicit TUniqueFd(int fd) : fd_(fd) {}
    TUniqueFd(TUniqueFd&& other) noexcept : fd_(other.Release()) {}
    TUniqueFd& operator=(TUniqueFd&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    TUniqueFd(const TUniqueFd&) = delete;
    TUniqueFd& operator=(const TUniqueFd&) = delete;
    ~TUniqueFd() { Reset(); }

    /// The descriptor, or -1.
    int Get() const { return fd_; }
    /// True while a descriptor is held.
    explicit operator bool() const { return fd_ >= 0; }
    /// Gives the descriptor up without closing it.
    int Release() { return std::exchange(fd_, -1); }
    /// Closes the held descriptor (if any) and takes `fd` instead.
    void Reset(int fd = -1);
    /// Closes now and tells whether the kernel accepted the close: a failed close of a written
    /// file can mean its data never reached the disk.
    [[nodiscard]] bool Close();

private:
    int fd_ = -1;
};

} // namespace parvex
