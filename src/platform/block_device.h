#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace parvex {

/// What kind of storage holds a file system, as far as reading it with several threads goes.
enum class TBlockDeviceKind {
    Solid,    ///< the device says it does not rotate (SSD, NVMe, memory-backed)
    Rotating, ///< the device says it rotates (a spinning disk, or a virtual disk that claims so)
    Unknown   ///< no block device (tmpfs, overlay, network) or the system does not say
};

/// The kind of the block device numbered `device` (a file's st_dev), read from
/// `sysfsRoot`/dev/block/MAJ:MIN/queue/rotational; a partition answers with its disk's queue.
TBlockDeviceKind BlockDeviceKind(dev_t device, const std::string& sysfsRoot = "/sys");

/// For a file system without a block number of its own (major 0: btrfs, and also tmpfs,
/// overlay, network), the block device named as its source in `mountInfoPath`, when that source
/// is a block device; nullopt otherwise and for every other `device`.
std::optional<dev_t> MountSourceDevice(dev_t device,
                                       const std::string& mountInfoPath = "/proc/self/mountinfo");

/// The kind of the block device holding the file at `path` (links followed), through its mount
/// source where the file system has no block number; Unknown when it cannot be examined.
TBlockDeviceKind FileDeviceKind(const std::string& path, const std::string& sysfsRoot = "/sys",
                                const std::string& mountInfoPath = "/proc/self/mountinfo");

} // namespace parvex
