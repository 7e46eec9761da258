#include "result_file/result_file_source.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {

namespace {

constexpr std::size_t kPieceSize = std::size_t(1) << 16;

std::string SystemReason(int error) {
    return std::strerror(error);
}

std::string CapText() {
    return std::to_string(kResultFileSizeCap >> 30) + " GiB";
}

} // namespace

TResultFileSource::TResultFileSource(const std::string& path, const TResultReadControl& control)
    : control_(control) {
    // O_NONBLOCK: opening a FIFO does not wait for a writer, nor a device for its medium.
    fd_.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd_)
        throw EResultFileUnreadable(SystemReason(errno));
    struct stat facts {};
    if (::fstat(fd_.Get(), &facts) != 0)
        throw EResultFileUnreadable(SystemReason(errno));
    if (!S_ISREG(facts.st_mode))
        throw EResultFileUnreadable(S_ISDIR(facts.st_mode) ? "it is a folder"
                                                           : "it is not a regular file");
    size_ = static_cast<std::uint64_t>(facts.st_size);
    if (size_ > kResultFileSizeCap)
        throw EResultFileUnreadable("it is larger than " + CapText() +
                                    ", the most a result file may hold");
    const int flags = ::fcntl(fd_.Get(), F_GETFL);
    if (flags != -1)
        (void)::fcntl(fd_.Get(), F_SETFL, flags & ~O_NONBLOCK);
    buffer_.resize(kPieceSize);
}

TResultFileSource::int_type TResultFileSource::underflow() {
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (control_.Cancel != nullptr && control_.Cancel->load(std::memory_order_relaxed)) {
        cancelled_ = true;
        return traits_type::eof();
    }
    ssize_t got = 0;
    do
        got = ::read(fd_.Get(), buffer_.data(), buffer_.size());
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        failure_ = SystemReason(errno);
        return traits_type::eof();
    }
    if (got == 0)
        return traits_type::eof();
    read_ += static_cast<std::uint64_t>(got);
    if (read_ > kResultFileSizeCap) {
        failure_ = "it grew larger than " + CapText() + " while it was read";
        return traits_type::eof();
    }
    if (control_.Progress)
        control_.Progress(read_, std::max(size_, read_));
    setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
    return traits_type::to_int_type(*gptr());
}

void TResultFileSource::ThrowIfStopped() const {
    if (cancelled_)
        throw EResultFileCancelled("cancelled");
    if (!failure_.empty())
        throw EResultFileUnreadable(failure_);
}

} // namespace parvex
