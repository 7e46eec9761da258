#pragma once

#include <sys/types.h>
#include <utility>
#include <vector>

namespace parvex {

/// Tells whether a folder lies on one of the kernel's virtual file systems (proc, sysfs,
/// devtmpfs, devpts, cgroup, debugfs, tracefs, securityfs, pstore, bpf, configfs), which a scan
/// never enters. Answers are kept per device, so a walk pays only when the device changes.
class TVirtualFileSystems {
public:
    /// True when the open folder `folderFd`, on device `device`, is on a virtual file system.
    bool IsVirtual(int folderFd, dev_t device);

private:
    bool Examine(int folderFd, dev_t device);
    bool IsDevtmpfsMount(dev_t device);

    std::vector<std::pair<dev_t, bool>> known_;
    std::vector<dev_t> devtmpfsDevices_;
    bool devtmpfsRead_ = false;
};

} // namespace parvex
