#include "support/folder_watch.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace parvex::testing {

TFolderWatch::TFolderWatch(const std::string& folder)
    : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    EXPECT_GE(fd_, 0) << "no inotify here";
    EXPECT_GE(::inotify_add_watch(fd_, folder.c_str(),
                                  IN_OPEN | IN_ACCESS | IN_MODIFY | IN_ATTRIB | IN_CLOSE),
              0)
        << folder;
}

TFolderWatch::~TFolderWatch() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool TFolderWatch::SawAccess() const {
    // Events wait in the descriptor's queue: reading one means something happened. The watch
    // itself is non-blocking, so an empty queue answers at once.
    alignas(struct inotify_event) char events[4096];
    return ::read(fd_, events, sizeof events) > 0;
}

} // namespace parvex::testing
