#include "platform/virtual_file_systems.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace parvex {

namespace {

// f_type values of the kernel's virtual file systems (linux/magic.h).
constexpr unsigned long VirtualMagics[] = {
    0x9fa0,     // proc
    0x62656572, // sysfs
    0x1cd1,     // devpts
    0x27e0eb,   // cgroup
    0x63677270, // cgroup2
    0x64626720, // debugfs
    0x74726163, // tracefs
    0x73636673, // securityfs
    0x6165676C, // pstore
    0xcafe4a11, // bpf
    0x62656570, // configfs
};
constexpr unsigned long TmpfsMagic = 0x01021994;
constexpr unsigned long RamfsMagic = 0x858458f6;

} // namespace

bool TVirtualFileSystems::IsVirtual(int folderFd, dev_t device) {
    for (const auto& [knownDevice, isVirtual] : known_)
        if (knownDevice == device)
            return isVirtual;
    const bool isVirtual = Examine(folderFd, device);
    known_.emplace_back(device, isVirtual);
    return isVirtual;
}

bool TVirtualFileSystems::Examine(int folderFd, dev_t device) {
    struct statfs facts {};
    if (fstatfs(folderFd, &facts) != 0)
        return false;
    const auto type = static_cast<unsigned long>(facts.f_type);
    if (std::find(std::begin(VirtualMagics), std::end(VirtualMagics), type) !=
        std::end(VirtualMagics))
        return true;
    // devtmpfs reports the magic of tmpfs (or ramfs); only the mount table tells them apart.
    return (type == TmpfsMagic || type == RamfsMagic) && IsDevtmpfsMount(device);
}

bool TVirtualFileSystems::IsDevtmpfsMount(dev_t device) {
    if (!devtmpfsRead_) {
        devtmpfsRead_ = true;
        // Each line: id parent major:minor root mountpoint options [optional...] - fstype ...
        std::ifstream mounts("/proc/self/mountinfo");
        std::string line;
        while (std::getline(mounts, line)) {
            std::istringstream fields(line);
            std::string id, parent, numbers, field;
            fields >> id >> parent >> numbers;
            while (fields >> field && field != "-") {
            }
            std::string type;
            fields >> type;
            unsigned major = 0, minor = 0;
            if (type == "devtmpfs" && std::sscanf(numbers.c_str(), "%u:%u", &major, &minor) == 2)
                devtmpfsDevices_.push_back(makedev(major, minor));
        }
    }
    return std::find(devtmpfsDevices_.begin(), devtmpfsDevices_.end(), device) !=
           devtmpfsDevices_.end();
}

} // namespace parvex
