#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace parvex {

/// True when files of the file system of magic number `type` (statfs f_type) keep their inode
/// for life and change their ctime on every change of content, so that an unchanged identity
/// means unchanged bytes: local disk and memory file systems, not FAT, FUSE or the network.
bool KeepsTrueIdentity(std::int64_t type);

/// True when a database on the file system of `type` cannot share memory between processes
/// (network and FUSE file systems): it must use a rollback journal under an exclusive lock.
bool NeedsRollbackJournal(std::int64_t type);

/// The file system magic number of the file system holding `path`, when statfs can tell it.
std::optional<std::int64_t> FileSystemType(const std::string& path);

/// A text naming the file system that holds `path` for as long as it exists, also across
/// mounts and restarts: its type with its UUID when a block device with one holds it, otherwise
/// with the birth time of its mount's root folder. Nothing when it has no such identity.
std::optional<std::string> FileSystemFingerprint(const std::string& path);

} // namespace parvex
