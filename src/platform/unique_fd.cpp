#include "platform/unique_fd.h"

#include <unistd.h>

namespace parvex {

void TUniqueFd::Reset(int fd) {
    if (fd_ >= 0 && fd_ != fd)
        ::close(fd_);
    fd_ = fd;
}

bool TUniqueFd::Close() {
    if (fd_ < 0)
        return false;
    return ::close(std::exchange(fd_, -1)) == 0;
}

} // namespace parvex
