#pragma once

#include "support/child_process.h"

#include <functional>
#include <string>

namespace parvex::testing {

class TTempTree;

/// A setup for RunInChild: moves the child into a mount namespace of its own, with "/" made
/// private so that nothing it mounts is seen outside, and mounts a new, empty file system of
/// `type` on the existing folder `folder`: "btrfs", "xfs" (with reflink) or "ext4" on a sparse
/// image file made beside the folder and attached to a loop device, "tmpfs" in memory. Every
/// mount ends with the child, however it ends. Returns why it could not (the test then skips):
/// not root, no namespaces, no mkfs for the type, no loop devices.
std::string MountFreshFileSystem(const std::string& type, const std::string& folder);

/// Runs `body` in a child process on a fresh file system of `type` (as MountFreshFileSystem)
/// mounted on the folder "<type>/" of `tree`, whose path (ending in "/") it is given. The run
/// did not happen (Ran false, Output saying why) where mounting is not allowed.
TChildRun OnFreshFileSystem(const TTempTree& tree, const std::string& type,
                            const std::function<std::string(const std::string& folder)>& body);

} // namespace parvex::testing
