#include "platform/block_device.h"
#include "support/temp_tree.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace parvex {
namespace {

// A fake sysfs in a temporary folder, laid out as the kernel lays out its own: every block
// device listed by number under dev/block as a link into the device tree, a partition inside
// its disk's folder.
class TFakeSysfs {
public:
    std::string Root() const { return tree_.Path("sys"); }
    /// A whole disk `name` numbered `number` ("8:0"), its queue saying `rotational`.
    void Disk(const std::string& name, const std::string& number, const std::string& rotational) {
        File(DiskFolder(name) + "/queue/rotational", rotational);
        List(number, DiskFolder(name));
    }
    /// A partition `name` of the disk `disk`, numbered `number`.
    void Partition(const std::string& disk, const std::string& name, const std::string& number) {
        File(DiskFolder(disk) + "/" + name + "/partition", "1\n");
        List(number, DiskFolder(disk) + "/" + name);
    }
    /// Any file below the root.
    void File(const std::string& relative, const std::string& content) {
        tree_.File("sys/" + relative, content);
    }
    /// Lists the device folder `folder` (below the root) by its number.
    void List(const std::string& number, const std::string& folder) {
        tree_.Link("sys/dev/block/" + number, "../../" + folder);
    }

private:
    static std::string DiskFolder(const std::string& name) {
        return "devices/pci0000:00/0000:00:05.0/block/" + name;
    }

    testing::TTempTree tree_;
};

TEST(BlockDeviceKind, AWholeDiskSaysWhetherItRotates) {
    struct TCase {
        const char* rotational;
        TBlockDeviceKind expected;
    };
    for (const TCase& c :
         {TCase{"0\n", TBlockDeviceKind::Solid}, TCase{"1\n", TBlockDeviceKind::Rotating},
          TCase{"1", TBlockDeviceKind::Rotating}, TCase{"", TBlockDeviceKind::Unknown},
          TCase{"2\n", TBlockDeviceKind::Unknown}, TCase{"yes\n", TBlockDeviceKind::Unknown}}) {
        TFakeSysfs sysfs;
        sysfs.Disk("sda", "8:0", c.rotational);
        EXPECT_EQ(BlockDeviceKind(makedev(8, 0), sysfs.Root()), c.expected)
            << "queue/rotational holding \"" << c.rotational << "\"";
    }
}

TEST(BlockDeviceKind, APartitionAnswersWithItsDisk) {
    TFakeSysfs sysfs;
    sysfs.Disk("sda", "8:0", "1\n");
    sysfs.Partition("sda", "sda2", "8:2");
    sysfs.Disk("nvme0n1", "259:0", "0\n");
    sysfs.Partition("nvme0n1", "nvme0n1p1", "259:1");
    EXPECT_EQ(BlockDeviceKind(makedev(8, 2), sysfs.Root()), TBlockDeviceKind::Rotating);
    EXPECT_EQ(BlockDeviceKind(makedev(259, 1), sysfs.Root()), TBlockDeviceKind::Solid);
}

TEST(BlockDeviceKind, ADeviceWithAQueueOfItsOwnAnswersItself) {
    // A device mapper or RAID device is no partition and has a queue of its own.
    TFakeSysfs sysfs;
    sysfs.File("devices/virtual/block/dm-0/queue/rotational", "0\n");
    sysfs.File("devices/virtual/block/dm-0/dm/name", "root\n");
    EXPECT_EQ(BlockDeviceKind(makedev(252, 0), sysfs.Root()), TBlockDeviceKind::Unknown)
        << "not yet listed by number";
    sysfs.List("252:0", "devices/virtual/block/dm-0");
    EXPECT_EQ(BlockDeviceKind(makedev(252, 0), sysfs.Root()), TBlockDeviceKind::Solid);
}

TEST(BlockDeviceKind, WhatSysfsDoesNotSayIsUnknown) {
    TFakeSysfs sysfs;
    sysfs.Disk("sda", "8:0", "1\n");
    // A partition whose disk has lost its queue, and a device that is neither a disk with a
    // queue nor a partition.
    sysfs.File("devices/pci0000:00/0000:00:06.0/block/sdb/sdb1/partition", "1\n");
    sysfs.List("8:17", "devices/pci0000:00/0000:00:06.0/block/sdb/sdb1");
    sysfs.File("devices/virtual/block/odd/size", "0\n");
    sysfs.List("7:9", "devices/virtual/block/odd");
    EXPECT_EQ(BlockDeviceKind(makedev(8, 17), sysfs.Root()), TBlockDeviceKind::Unknown);
    EXPECT_EQ(BlockDeviceKind(makedev(7, 9), sysfs.Root()), TBlockDeviceKind::Unknown);
    EXPECT_EQ(BlockDeviceKind(makedev(8, 16), sysfs.Root()), TBlockDeviceKind::Unknown)
        << "not listed";
    EXPECT_EQ(BlockDeviceKind(makedev(0, 42), sysfs.Root()), TBlockDeviceKind::Unknown)
        << "tmpfs, overlay and network file systems have no block device";
    EXPECT_EQ(BlockDeviceKind(makedev(8, 0), sysfs.Root() + "/nowhere"), TBlockDeviceKind::Unknown);
}

// Some block device node of this machine, for the cases that need a real one; empty when none
// can be found (then the test is skipped).
std::string SomeBlockDevice() {
    DIR* dev = ::opendir("/dev");
    std::string found;
    while (dev != nullptr && found.empty()) {
        const dirent* entry = ::readdir(dev);
        if (entry == nullptr)
            break;
        const std::string path = std::string("/dev/") + entry->d_name;
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0 && S_ISBLK(status.st_mode))
            found = path;
    }
    if (dev != nullptr)
        ::closedir(dev);
    return found;
}

dev_t DeviceNumber(const std::string& node) {
    struct stat status {};
    EXPECT_EQ(::stat(node.c_str(), &status), 0) << node;
    return status.st_rdev;
}

TEST(MountSourceDevice, AFileSystemWithoutANumberOfItsOwnIsFoundThroughItsSource) {
    const std::string disk = SomeBlockDevice();
    if (disk.empty())
        GTEST_SKIP() << "this machine shows no block device in /dev";
    testing::TTempTree tree;
    // The source of a mount escapes a space as \040; this one reaches the disk through a link
    // whose name holds a space.
    tree.Link("the disk", disk);
    const std::string escaped = tree.Path("the\\040disk");
    const std::string mountInfo =
        tree.File("mountinfo", "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                               "30 22 0:42 / /home rw,relatime shared:5 master:2 - btrfs " +
                                   escaped +
                                   " rw,space_cache\n"
                                   "31 22 0:43 / /data rw - btrfs " +
                                   disk + " rw\n");
    EXPECT_EQ(MountSourceDevice(makedev(0, 42), mountInfo), DeviceNumber(disk))
        << "optional fields and an escaped source";
    EXPECT_EQ(MountSourceDevice(makedev(0, 43), mountInfo), DeviceNumber(disk))
        << "no optional fields";
}

TEST(MountSourceDevice, OnlyABlockDeviceSourceOfANumberlessFileSystemCounts) {
    testing::TTempTree tree;
    const std::string plain = tree.File("plain", "x");
    const std::string mountInfo =
        tree.File("mountinfo", "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                               "40 22 0:50 / /tmp rw - tmpfs tmpfs rw\n"
                               "41 22 0:51 / /n rw - nfs server:/export rw\n"
                               "42 22 0:52 / /c rw - fuse /dev/null rw\n"
                               "43 22 0:53 / /p rw - ext4 " +
                                   plain +
                                   " rw\n"
                                   "44 22 0:54 / /broken rw\n");
    EXPECT_EQ(MountSourceDevice(makedev(8, 1), mountInfo), std::nullopt)
        << "a device with its own number needs no source";
    for (const unsigned minorNumber : {50u, 51u, 52u, 53u, 54u, 55u})
        EXPECT_EQ(MountSourceDevice(makedev(0, minorNumber), mountInfo), std::nullopt)
            << "0:" << minorNumber;
    EXPECT_EQ(MountSourceDevice(makedev(0, 50), tree.Path("missing")), std::nullopt);
}

TEST(FileDeviceKind, AFileIsAnsweredForByItsFileSystemsDevice) {
    testing::TTempTree tree;
    const std::string file = tree.File("data/file", "content");
    const std::string noMounts = tree.File("mountinfo", "");
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    const std::string number =
        std::to_string(major(status.st_dev)) + ":" + std::to_string(minor(status.st_dev));
    tree.File("sys/dev/block/" + number + "/queue/rotational", "1\n");
    EXPECT_EQ(FileDeviceKind(file, tree.Path("sys"), noMounts), TBlockDeviceKind::Rotating);
    tree.File("sys/dev/block/" + number + "/queue/rotational", "0\n");
    EXPECT_EQ(FileDeviceKind(file, tree.Path("sys"), noMounts), TBlockDeviceKind::Solid);
    EXPECT_EQ(FileDeviceKind(tree.Path("data/missing"), tree.Path("sys"), noMounts),
              TBlockDeviceKind::Unknown);
}

} // namespace
} // namespace parvex
