#include "platform/block_device.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace parvex {
namespace {

// The first line of a small sysfs file; nullopt when it cannot be read.
std::optional<std::string> FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    return line;
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

TBlockDeviceKind KindOfRotational(const std::optional<std::string>& rotational) {
    if (rotational == "0")
        return TBlockDeviceKind::Solid;
    if (rotational == "1")
        return TBlockDeviceKind::Rotating;
    return TBlockDeviceKind::Unknown;
}

// Mount sources escape a space, a tab, a line break and a backslash as "\" and three octal
// digits.
std::string UnescapeMountField(const std::string& field) {
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    std::string plain;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            plain += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                       (field[i + 3] - '0'));
            i += 3;
        } else {
            plain += field[i];
        }
    }
    return plain;
}

} // namespace

TBlockDeviceKind BlockDeviceKind(dev_t device, const std::string& sysfsRoot) {
    // The kernel lists every block device by number, as a link to its place in the device tree;
    // a partition sits inside its disk's folder, and only the disk has a request queue.
    const std::string entry = sysfsRoot + "/dev/block/" + std::to_string(major(device)) + ":" +
                              std::to_string(minor(device));
    if (const std::optional<std::string> own = FirstLine(entry + "/queue/rotational"))
        return KindOfRotational(own);
    if (Exists(entry + "/partition"))
        return KindOfRotational(FirstLine(entry + "/../queue/rotational"));
    return TBlockDeviceKind::Unknown;
}

std::optional<dev_t> MountSourceDevice(dev_t device, const std::string& mountInfoPath) {
    if (major(device) != 0)
        return std::nullopt;
    const std::string number = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::ifstream in(mountInfoPath);
    std::string line;
    while (std::getline(in, line)) {
        // mount id, parent id, MAJ:MIN, root, mount point, options, optional fields, "-",
        // file system type, source, super options.
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            words.push_back(word);
        if (words.size() < 3 || words[2] != number)
            continue;
        std::size_t dash = 6;
        while (dash < words.size() && words[dash] != "-")
            ++dash;
        if (dash + 2 >= words.size())
            continue;
        const std::string source = UnescapeMountField(words[dash + 2]);
        struct stat status {};
        if (source.starts_with('/') && ::stat(source.c_str(), &status) == 0 &&
            S_ISBLK(status.st_mode))
            return status.st_rdev;
    }
    return std::nullopt;
}

TBlockDeviceKind FileDeviceKind(const std::string& path, const std::string& sysfsRoot,
                                const std::string& mountInfoPath) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return TBlockDeviceKind::Unknown;
    const dev_t device = MountSourceDevice(status.st_dev, mountInfoPath).value_or(status.st_dev);
    return BlockDeviceKind(device, sysfsRoot);
}

} // namespace parvex
