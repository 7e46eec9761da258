#include "platform/shared_storage.h"

#include "platform/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <vector>

namespace parvex {

namespace {

// The copy-on-write file systems whose files can share storage through FIDEDUPERANGE.
constexpr unsigned long BtrfsMagic = 0x9123683E;
constexpr unsigned long XfsMagic = 0x58465342;
constexpr unsigned long Ocfs2Magic = 0x7461636F;
constexpr unsigned long BcachefsMagic = 0xCA451A4E;

// Btrfs shares at most 16 MiB a call; asking for more only makes it answer with less.
constexpr std::uint64_t ShareStep = 16ULL << 20;
// Extents asked of FIEMAP a call: a fragmented file takes several calls.
constexpr std::uint32_t ExtentsPerCall = 256;

// One run of a file's bytes stored contiguously on the device.
struct TExtent {
    std::uint64_t Logical = 0;
    std::uint64_t Physical = 0;
    std::uint64_t Length = 0;
    bool operator==(const TExtent&) const = default;
};

enum class TLayoutKind {
    Known,  ///< Extents lists where every byte is stored
    Inline, ///< some bytes are stored inside the file system's metadata
    Unknown ///< the file system cannot tell, or would not
};

struct TLayout {
    TLayoutKind Kind = TLayoutKind::Unknown;
    std::vector<TExtent> Extents; // contiguous runs merged
};

// Where the bytes of the open file lie on the device, after its dirty pages were written
// (FIEMAP_FLAG_SYNC): delayed allocation would otherwise hide the physical places.
TLayout LayoutOf(int fd) {
    std::vector<std::uint64_t> buffer(
        (sizeof(fiemap) + ExtentsPerCall * sizeof(fiemap_extent)) / sizeof(std::uint64_t) + 1);
    auto* map = reinterpret_cast<fiemap*>(buffer.data());
    TLayout layout;
    std::uint64_t next = 0;
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), 0);
        map->fm_start = next;
        map->fm_length = FIEMAP_MAX_OFFSET - next;
        map->fm_flags = FIEMAP_FLAG_SYNC;
        map->fm_extent_count = ExtentsPerCall;
        if (::ioctl(fd, FS_IOC_FIEMAP, map) != 0)
            return {};
        if (map->fm_mapped_extents == 0)
            break;
        bool last = false;
        for (std::uint32_t i = 0; i < map->fm_mapped_extents; ++i) {
            const fiemap_extent& extent = map->fm_extents[i];
            if (extent.fe_flags & (FIEMAP_EXTENT_DATA_INLINE | FIEMAP_EXTENT_DATA_TAIL))
                return {TLayoutKind::Inline, {}};
            if (extent.fe_flags & (FIEMAP_EXTENT_UNKNOWN | FIEMAP_EXTENT_DELALLOC |
                                   FIEMAP_EXTENT_ENCODED | FIEMAP_EXTENT_DATA_ENCRYPTED))
                return {};
            std::vector<TExtent>& runs = layout.Extents;
            if (!runs.empty() && runs.back().Logical + runs.back().Length == extent.fe_logical &&
                runs.back().Physical + runs.back().Length == extent.fe_physical)
                runs.back().Length += extent.fe_length;
            else
                runs.push_back({extent.fe_logical, extent.fe_physical, extent.fe_length});
            next = extent.fe_logical + extent.fe_length;
            last = (extent.fe_flags & FIEMAP_EXTENT_LAST) != 0;
        }
        if (last)
            break;
    }
    layout.Kind = TLayoutKind::Known;
    return layout;
}

std::string ReasonOf(int error) {
    switch (error) {
    case EXDEV:
        return "the kept copy is on another file system";
    case EOPNOTSUPP:
        return "the file system cannot share storage";
    case EINVAL:
        return "the file system cannot share the storage of these files";
    case ETXTBSY:
        return "the file is in use as a swap file or a running program";
    case EPERM:
    case EACCES:
        return "not allowed to share the storage of this file";
    default:
        return std::strerror(error);
    }
}

TShareOutcome Refused(std::string reason) {
    return {TShareResult::Refused, 0, std::move(reason)};
}

TUniqueFd OpenToShare(const std::string& path) {
    return TUniqueFd(
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
}

// Asks the kernel to share `length` bytes at `offset` of both files, in steps it accepts.
TShareOutcome ShareRange(int keptFd, int copyFd, std::uint64_t length) {
    std::vector<std::uint64_t> buffer(
        (sizeof(file_dedupe_range) + sizeof(file_dedupe_range_info)) / sizeof(std::uint64_t) + 1);
    auto* range = reinterpret_cast<file_dedupe_range*>(buffer.data());
    TShareOutcome outcome{TShareResult::Shared, 0, {}};
    for (std::uint64_t offset = 0; offset < length;) {
        std::fill(buffer.begin(), buffer.end(), 0);
        range->src_offset = offset;
        range->src_length = std::min(ShareStep, length - offset);
        range->dest_count = 1;
        range->info[0].dest_fd = copyFd;
        range->info[0].dest_offset = offset;
        if (::ioctl(keptFd, FIDEDUPERANGE, range) != 0) {
            outcome.Result = TShareResult::Refused;
            outcome.Reason = ReasonOf(errno);
            return outcome;
        }
        const file_dedupe_range_info& answer = range->info[0];
        if (answer.status == FILE_DEDUPE_RANGE_DIFFERS) {
            outcome.Result = TShareResult::Changed;
            outcome.Reason = "the file changed: its bytes differ from the kept copy's";
            return outcome;
        }
        if (answer.status < 0) {
            outcome.Result = TShareResult::Refused;
            outcome.Reason = ReasonOf(-answer.status);
            return outcome;
        }
        if (answer.bytes_deduped == 0) {
            outcome.Result = TShareResult::Refused;
            outcome.Reason = "the file system shared none of the bytes asked";
            return outcome;
        }
        outcome.BytesShared += std::int64_t(answer.bytes_deduped);
        offset += answer.bytes_deduped;
    }
    return outcome;
}

bool CanShare(const struct statfs& facts) {
    const auto type = static_cast<unsigned long>(facts.f_type);
    return type == BtrfsMagic || type == XfsMagic || type == Ocfs2Magic || type == BcachefsMagic;
}

// ShareStorage when `share`; otherwise every check it makes before the kernel is asked, and
// what it would ask the kernel to share.
TShareOutcome ShareOrForesee(const std::string& kept, const std::string& copy, bool share) {
    const TUniqueFd keptFd = OpenToShare(kept);
    if (!keptFd)
        return Refused(std::string("the kept copy cannot be opened: ") + std::strerror(errno));
    const TUniqueFd copyFd = OpenToShare(copy);
    if (!copyFd)
        return Refused(std::string("the file cannot be opened: ") + std::strerror(errno));
    struct stat keptFacts {};
    struct stat copyFacts {};
    if (::fstat(keptFd.Get(), &keptFacts) != 0 || ::fstat(copyFd.Get(), &copyFacts) != 0)
        return Refused(std::string("the files cannot be examined: ") + std::strerror(errno));
    if (!S_ISREG(keptFacts.st_mode) || !S_ISREG(copyFacts.st_mode))
        return Refused("not a regular file");
    if (keptFacts.st_dev != copyFacts.st_dev)
        return Refused(ReasonOf(EXDEV));
    if (keptFacts.st_ino == copyFacts.st_ino)
        return {TShareResult::AlreadyShared, 0, "the same file under another name"};
    if (keptFacts.st_size != copyFacts.st_size)
        return {TShareResult::Changed, 0,
                "the file changed: its size differs from the kept copy's"};

    // Physical places, not the extents' shared flag: a snapshot sets that flag too, and the
    // question is whether the copy shares with this kept file.
    const TLayout keptLayout = LayoutOf(keptFd.Get());
    const TLayout copyLayout = LayoutOf(copyFd.Get());
    if (keptLayout.Kind == TLayoutKind::Inline || copyLayout.Kind == TLayoutKind::Inline)
        return {TShareResult::TooSmall, 0, "too small to share: stored with the file's metadata"};
    if (keptLayout.Kind == TLayoutKind::Known && copyLayout.Kind == TLayoutKind::Known) {
        if (copyLayout.Extents.empty())
            return {TShareResult::TooSmall, 0, "nothing is stored for the file"};
        if (keptLayout.Extents == copyLayout.Extents)
            return {TShareResult::AlreadyShared, 0,
                    "already shares its storage with the kept copy"};
    }
    if (share)
        return ShareRange(keptFd.Get(), copyFd.Get(), std::uint64_t(copyFacts.st_size));
    // Only the kernel's answer tells an XFS made without reflink; the type is what can be known.
    struct statfs system {};
    if (::fstatfs(copyFd.Get(), &system) != 0 || !CanShare(system))
        return Refused(ReasonOf(EOPNOTSUPP));
    return {TShareResult::Shared, std::int64_t(copyFacts.st_size), {}};
}

} // namespace

bool FileSystemCanShare(const std::string& path) {
    struct statfs facts {};
    return ::statfs(path.c_str(), &facts) == 0 && CanShare(facts);
}

TShareOutcome ShareStorage(const std::string& kept, const std::string& copy) {
    return ShareOrForesee(kept, copy, true);
}

TShareOutcome ForeseeSharedStorage(const std::string& kept, const std::string& copy) {
    return ShareOrForesee(kept, copy, false);
}

} // namespace parvex
