#include "_compearer/content_splitter.h"

#include "_compearer/for_each_run.h"
#include "platform/file_times.h"
#include "platform/long_path.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <xxhash.h>

namespace parvex {

namespace {

constexpr std::size_t PageSize = 4096;
constexpr std::size_t MinChunk = 16 << 10;
constexpr std::size_t MaxChunk = 1 << 20;
constexpr std::size_t FirstHashBlock = 64 << 10;
constexpr std::size_t MaxHashBlock = 4 << 20;
// The small files of a large set are read whole in batches of at most this many bytes: enough
// to fill a batch with files of a few pages, and a quarter of what a comparison side by side
// takes, for the many readers that sort large sets at once.
constexpr std::size_t WholeBatchBytes = 512 << 10;
// Below this size the kernel's read-ahead is enough; above it, tell it we stream.
constexpr std::int64_t SequentialHintSize = 256 << 10;
// Once files agree at both ends, the kernel is asked to read this much ahead of the comparison,
// so that several files are fetched at once rather than one chunk after the other.
constexpr std::int64_t ReadAheadWindow = 8 << 20;

// Splits the indexes in `pending` into parts whose members `same` finds equal to the part's
// first, calling `part` with the members each part maps to.
template <class TSame, class TPart>
void PartitionByEquality(std::vector<std::size_t> pending,
                         const std::vector<std::uint32_t>& members, TSame same, TPart part) {
    std::vector<std::size_t> rest;
    while (!pending.empty()) {
        std::vector<std::uint32_t> equal{members[pending.front()]};
        rest.clear();
        for (std::size_t i = 1; i < pending.size(); ++i) {
            if (same(pending.front(), pending[i]))
                equal.push_back(members[pending[i]]);
            else
                rest.push_back(pending[i]);
        }
        part(std::move(equal));
        pending.swap(rest);
    }
}

} // namespace

// What a file's descriptor says of it. Writing to a file moves its size or its times, unless
// the write falls within one tick of the file system's clock and keeps the size.
struct TContentSplitter::TStamp {
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::int64_t ChangedNs = 0;
    bool operator==(const TStamp&) const = default;
};

// A large set has a record for each of its files, so the record is kept small: a descriptor
// lives in a slot of its own (fds_) only while its file is in use, and a file's length is the
// size it had when first opened.
struct TContentSplitter::TFile {
    std::uint32_t RowBegin = 0; // into rowsByPath_
    std::uint32_t RowCount = 0;
    std::uint32_t FdSlot = NoFdSlot; // into fds_
    std::int64_t CreditedWork = 0;
    TStamp Seen; // when first opened; Seen.Size is the length compared
    bool HasSeen = false;
    bool Failed = false;
    bool Settled = false;
};

TContentSplitter::TContentSplitter(const TSplitColumns& columns, TDescriptorCache& budget,
                                   TReadPath readPath, TContentHooks hooks)
    : paths_(columns.Paths), ids_(columns.Ids), modifiedNs_(columns.ModifiedNs),
      changedNs_(columns.ChangedNs), budget_(budget), hooks_(std::move(hooks)),
      ringDescriptorSetAside_(readPath == TReadPath::Batched && budget.SetAside(2)),
      reader_(ringDescriptorSetAside_ ? TReadPath::Batched : TReadPath::Plain) {
    if (ringDescriptorSetAside_ && !reader_.Batched())
        budget_.PutBack(); // the kernel refused the ring
    maxOpen_ = std::clamp<std::size_t>(budget_.Limit(), 2, MaxOpenFiles);
}

// The descriptors close with fds_.
TContentSplitter::~TContentSplitter() = default;

// A large set's records and held bytes go back to the system once it is split, so that a reader
// does not keep the memory of the largest set it met while the others run.
void TContentSplitter::ReleaseLargeSet() {
    if (MemoryOf(files_.size(), 0) + held_.size() < ReleaseAbove) {
        held_.clear();
        heldAt_.clear();
        return;
    }
    std::vector<TFile>().swap(files_);
    std::vector<std::uint32_t>().swap(rowsByPath_);
    std::vector<char>().swap(held_);
    decltype(heldAt_)().swap(heldAt_);
}

std::size_t TContentSplitter::MemoryOf(std::size_t rowCount, std::int64_t size) {
    // A file's record, its place in the path order, its hash key and its held place.
    constexpr std::size_t PerFile = sizeof(TFile) + 4 + 24 + 48;
    const bool held = rowCount > MaxOpenFiles && size <= std::int64_t(FirstHashBlock);
    const std::size_t heldBytes =
        held ? std::min(HeldBudget, rowCount * static_cast<std::size_t>(size)) : 0;
    return rowCount * PerFile + heldBytes + ChunkBudget;
}

bool TContentSplitter::Split(std::span<const std::uint32_t> rows, std::int64_t scanSize,
                             std::vector<std::vector<std::uint32_t>>& classes) {
    scanSize_ = scanSize;
    rowsByPath_.assign(rows.begin(), rows.end());
    // Rows listed twice (overlapping masks) share one path: one file, read once. A path is its
    // folder and its name, compared in place.
    const auto pathOf = [this](std::uint32_t row) {
        return std::pair<std::string_view, std::string_view>(paths_.Folder(row), paths_.Name(row));
    };
    std::stable_sort(rowsByPath_.begin(), rowsByPath_.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return pathOf(a) < pathOf(b); });
    files_.clear();
    for (std::uint32_t i = 0; i < rowsByPath_.size(); ++i) {
        if (i > 0 && pathOf(rowsByPath_[i]) == pathOf(rowsByPath_[i - 1])) {
            ++files_.back().RowCount;
            continue;
        }
        TFile file;
        file.RowBegin = i;
        file.RowCount = 1;
        files_.push_back(std::move(file));
    }
    TMembers all(files_.size());
    std::iota(all.begin(), all.end(), 0U);
    const bool completed = Resolve(std::move(all), classes);
    CloseAll();
    ReleaseLargeSet();
    return completed;
}

bool TContentSplitter::Resolve(TMembers members, std::vector<std::vector<std::uint32_t>>& classes) {
    if (members.empty())
        return true;
    if (members.size() == 1 && files_[members[0]].RowCount == 1) {
        Settle(members);
        return true;
    }
    if (members.size() > maxOpen_)
        return HashSplit(std::move(members), 0, FirstHashBlock, classes);
    if (ResolveReadWhole(members, classes))
        return true;
    std::vector<TMembers> finals;
    if (!Lockstep(members, finals))
        return false;
    for (const TMembers& equal : finals)
        Emit(equal, classes);
    Settle(members);
    return true;
}

// Splits a set of small files, all within one chunk budget, on their whole bytes read side by
// side, each file with one status call. False, with nothing settled, when the set does not
// qualify or a file must be read the careful way; the files are then compared side by side.
bool TContentSplitter::ResolveReadWhole(const TMembers& members,
                                        std::vector<std::vector<std::uint32_t>>& classes) {
    const std::size_t stride = WholeStride();
    if (members.size() < 2 || scanSize_ > std::int64_t(FirstHashBlock) ||
        members.size() * stride > ChunkBudget ||
        !std::all_of(members.begin(), members.end(),
                     [this](std::uint32_t member) { return MayReadUnchanged(member); }))
        return false;
    char* const arena = Buffer(members.size() * stride);
    std::vector<std::int64_t> counts;
    ReadUnchangedSinceScan(members, arena, counts);
    if (std::any_of(counts.begin(), counts.end(), [](std::int64_t count) { return count < 0; }))
        return false;
    for (const TMembers& part : SplitOnChunk(arena, members, stride, counts))
        Emit(part, classes);
    Settle(members);
    return true;
}

bool TContentSplitter::HashSplit(TMembers members, std::int64_t offset, std::size_t block,
                                 std::vector<std::vector<std::uint32_t>>& classes) {
    // Too many files to hold open at once: sort them by a hash of one block, one file at a
    // time, and split on it. The hash only sorts; bytes decide equality: those of the small
    // files read whole and held here, or else a side-by-side read.
    struct TKey {
        std::int64_t Length;
        XXH64_hash_t Hash;
        std::uint32_t Member;
        std::int32_t HeldAt; // into held_ (within HeldBudget), or -1 when read again
    };
    std::vector<TKey> keys;
    keys.reserve(members.size());
    // Small files are read whole, a batch at a time, each with one status call; those that take
    // the careful way are read one by one afterwards.
    const bool whole = offset == 0 && scanSize_ <= std::int64_t(block);
    const std::size_t stride = WholeStride();
    const std::size_t batch = std::clamp<std::size_t>(WholeBatchBytes / stride, 1, maxOpen_);
    char* const arena = Buffer(whole ? std::max(block, batch * stride) : block);
    TMembers careful;
    std::vector<std::int64_t> counts;
    for (std::size_t at = 0; whole && at < members.size(); at += batch) {
        const auto part = std::span(members).subspan(at, std::min(batch, members.size() - at));
        ReadUnchangedSinceScan(part, arena, counts);
        for (std::size_t k = 0; k < part.size(); ++k) {
            if (counts[k] < 0) {
                careful.push_back(part[k]);
                continue;
            }
            const char* bytes = arena + k * stride;
            const XXH64_hash_t hash = XXH3_64bits(bytes, static_cast<std::size_t>(counts[k]));
            keys.push_back({counts[k], hash, part[k], Hold(bytes, counts[k], hash)});
        }
        hooks_.Poll();
        if (hooks_.StopRequested())
            return false;
    }
    for (const std::uint32_t member : whole ? careful : members) {
        if (!Open(member))
            continue;
        TFile& file = files_[member];
        const std::int64_t wanted =
            std::clamp<std::int64_t>(file.Seen.Size - offset, 0, static_cast<std::int64_t>(block));
        const std::int64_t count = ReadAt(member, arena, static_cast<std::size_t>(wanted), offset);
        const std::int64_t length = file.Seen.Size;
        if (count < 0)
            continue;
        const XXH64_hash_t hash = XXH3_64bits(arena, static_cast<std::size_t>(count));
        const bool readWhole = offset == 0 && count == length;
        // A file read whole is final once its descriptor shows it as it was when opened.
        if (readWhole && !ReadWhole(member))
            continue;
        Close(member);
        keys.push_back({length, hash, member, readWhole ? Hold(arena, count, hash) : -1});
        hooks_.Poll();
        if (hooks_.StopRequested())
            return false;
    }
    for (const std::uint32_t member : members)
        if (files_[member].Failed)
            Settle({member});

    std::sort(keys.begin(), keys.end(), [](const TKey& a, const TKey& b) {
        return std::tie(a.Length, a.Hash, a.Member) < std::tie(b.Length, b.Hash, b.Member);
    });
    const auto sameKey = [](const TKey& a, const TKey& b) {
        return a.Length == b.Length && a.Hash == b.Hash;
    };
    return ForEachRun(keys, sameKey, [&](const auto same) {
        TMembers run;
        for (const TKey& key : same)
            run.push_back(key.Member);
        if (std::all_of(same.begin(), same.end(),
                        [](const TKey& key) { return key.HeldAt >= 0; })) {
            std::vector<std::int64_t> heldAt;
            for (const TKey& key : same)
                heldAt.push_back(key.HeldAt);
            SplitHeld(run, heldAt, same.front().Length, classes);
            return true;
        }
        const std::int64_t next = offset + static_cast<std::int64_t>(block);
        if (run.size() <= maxOpen_)
            return Resolve(std::move(run), classes);
        if (next >= same.front().Length)
            return CompareToRepresentative(std::move(run), classes);
        return HashSplit(std::move(run), next, std::min(block * 4, MaxHashBlock), classes);
    });
}

// The member's last bytes were read: it is final when its descriptor still shows the file as it
// was when first opened. False, with the member failed, when it changed.
bool TContentSplitter::ReadWhole(std::uint32_t member) {
    struct stat facts {};
    if (::fstat(FdOf(member), &facts) != 0) {
        Fail(member, errno);
        return false;
    }
    return Unchanged(member, facts);
}

// Holds the `count` bytes of a file read whole and returns where they are held, or -1 when the
// memory for held bytes is used up. Equal bytes are held once: a later file with the bytes of
// an earlier one points to them.
std::int32_t TContentSplitter::Hold(const char* bytes, std::int64_t count, std::uint64_t hash) {
    const auto size = static_cast<std::size_t>(count);
    if (const auto earlier = heldAt_.find(hash); earlier != heldAt_.end()) {
        const auto [at, length] = earlier->second;
        if (length == count && std::memcmp(held_.data() + at, bytes, size) == 0)
            return at;
    }
    if (held_.size() + size > HeldBudget)
        return -1;
    // Held bytes grow to the budget in one step, never copied to a larger buffer.
    if (held_.capacity() < HeldBudget)
        held_.reserve(HeldBudget);
    const auto at = static_cast<std::int32_t>(held_.size());
    held_.insert(held_.end(), bytes, bytes + size);
    heldAt_.emplace(hash, std::pair(at, static_cast<std::int32_t>(count)));
    return at;
}

// Splits a run of files read whole on their held bytes; each file is final and settled.
void TContentSplitter::SplitHeld(const TMembers& run, const std::vector<std::int64_t>& heldAt,
                                 std::int64_t length,
                                 std::vector<std::vector<std::uint32_t>>& classes) {
    const auto sameBytes = [&](std::size_t a, std::size_t b) {
        return heldAt[a] == heldAt[b] ||
               std::memcmp(held_.data() + heldAt[a], held_.data() + heldAt[b],
                           static_cast<std::size_t>(length)) == 0;
    };
    std::vector<std::size_t> all(run.size());
    std::iota(all.begin(), all.end(), std::size_t{0});
    PartitionByEquality(std::move(all), run, sameBytes,
                        [&](const TMembers& part) { Emit(part, classes); });
    Settle(run);
}

bool TContentSplitter::CompareToRepresentative(TMembers members,
                                               std::vector<std::vector<std::uint32_t>>& classes) {
    // More files with one hash than may be open at once, nearly always all equal: read them in
    // batches beside the first file. Files that differ from it are split again afterwards.
    const std::uint32_t representative = members.front();
    TMembers equal{representative};
    TMembers leftovers;
    bool representativeReadable = true;
    for (std::size_t next = 1; next < members.size();) {
        const std::size_t end = std::min(members.size(), next + maxOpen_ - 1);
        if (!representativeReadable) {
            leftovers.insert(leftovers.end(), members.begin() + next, members.end());
            break;
        }
        TMembers batch{representative};
        batch.insert(batch.end(), members.begin() + next, members.begin() + end);
        next = end;
        std::vector<TMembers> finals;
        if (!Lockstep(batch, finals))
            return false;
        representativeReadable = false;
        for (const TMembers& same : finals) {
            if (std::find(same.begin(), same.end(), representative) == same.end()) {
                leftovers.insert(leftovers.end(), same.begin(), same.end());
                continue;
            }
            representativeReadable = true;
            for (const std::uint32_t member : same)
                if (member != representative)
                    equal.push_back(member);
        }
        for (const std::uint32_t member : batch)
            if (member != representative && files_[member].Failed)
                Settle({member});
        if (!representativeReadable) {
            // Its earlier matches are still equal among themselves.
            leftovers.insert(leftovers.end(), equal.begin() + 1, equal.end());
            equal.resize(1);
        }
    }
    if (representativeReadable)
        Emit(equal, classes);
    Settle(equal);
    return Resolve(std::move(leftovers), classes);
}

bool TContentSplitter::Lockstep(const TMembers& members, std::vector<TMembers>& finals) {
    TMembers open;
    for (const std::uint32_t member : members)
        if (Open(member))
            open.push_back(member);
    if (open.empty())
        return true;
    const std::size_t chunk =
        std::clamp(ChunkBudget / open.size(), MinChunk, MaxChunk) / PageSize * PageSize;
    char* arena = Buffer(chunk * open.size());

    // Files of different current lengths differ; each length is a set of its own.
    std::stable_sort(open.begin(), open.end(), [this](std::uint32_t a, std::uint32_t b) {
        return files_[a].Seen.Size < files_[b].Seen.Size;
    });
    // Bytes from Offset up to End are still to compare. After the first chunk the last one is
    // read, so that files differing only near their end (an appended record, a trailer) part
    // without being read through.
    struct TStep {
        TMembers Members;
        std::int64_t Offset = 0;
        std::int64_t End = 0;
    };
    std::vector<TStep> work;
    const auto sameLength = [this](std::uint32_t a, std::uint32_t b) {
        return files_[a].Seen.Size == files_[b].Seen.Size;
    };
    ForEachRun(open, sameLength, [&](const auto same) {
        work.push_back({TMembers(same.begin(), same.end()), 0, files_[same.front()].Seen.Size});
    });

    std::vector<std::int64_t> counts;
    while (!work.empty()) {
        TStep step = std::move(work.back());
        work.pop_back();
        TMembers& same = step.Members;
        const std::int64_t length = files_[same.front()].Seen.Size;
        // A lone file needs no more reading, unless it stands for several rows: then it must
        // prove readable to its end, as two reads of one file would.
        if ((same.size() == 1 && files_[same.front()].RowCount == 1) || step.Offset >= step.End) {
            Finish(std::move(same), finals);
            continue;
        }
        const auto block = static_cast<std::int64_t>(chunk);
        const bool tail = step.Offset > 0 && step.End == length && step.End - step.Offset > block;
        const std::int64_t wanted = std::min(block, step.End - step.Offset);
        const std::int64_t from = tail ? step.End - wanted : step.Offset;
        counts.assign(same.size(), 0);
        const bool announce = !tail && from > 0 && from % ReadAheadWindow < wanted;
        for (std::size_t k = 0; k < same.size(); ++k) {
            counts[k] = ReadAt(same[k], arena + k * chunk, std::size_t(wanted), from);
            if (announce && counts[k] == wanted)
                ::posix_fadvise(FdOf(same[k]), from + wanted, ReadAheadWindow, POSIX_FADV_WILLNEED);
            hooks_.Poll();
            if (hooks_.StopRequested())
                return false;
        }
        for (std::size_t k = 0; k < same.size(); ++k)
            if (counts[k] < 0)
                Close(same[k]);
        for (TMembers& part : SplitOnChunk(arena, same, chunk, counts)) {
            const std::int64_t count = counts[std::size_t(
                std::find(same.begin(), same.end(), part.front()) - same.begin())];
            if (count < wanted) {
                // The files ended early (they shrank since they were opened), all at one place.
                Finish(std::move(part), finals);
            } else if (tail) {
                work.push_back({std::move(part), step.Offset, step.End - count});
            } else {
                work.push_back({std::move(part), step.Offset + count, step.End});
            }
        }
    }
    return true;
}

// The members' last bytes are read: each is checked on its descriptor to be as it was when first
// opened, so that what was read is the whole of one version of the file; the unchanged ones are
// final.
void TContentSplitter::Finish(TMembers members, std::vector<TMembers>& finals) {
    TMembers unchanged;
    for (const std::uint32_t member : members) {
        struct stat facts {};
        if (FdOf(member) < 0) {
            if (Reopen(member))
                unchanged.push_back(member);
        } else if (::fstat(FdOf(member), &facts) != 0) {
            Fail(member, errno);
        } else if (Unchanged(member, facts)) {
            unchanged.push_back(member);
        }
        Close(member);
    }
    if (!unchanged.empty())
        finals.push_back(std::move(unchanged));
}

std::vector<TContentSplitter::TMembers>
TContentSplitter::SplitOnChunk(const char* arena, const TMembers& members, std::size_t chunk,
                               const std::vector<std::int64_t>& counts) {
    const auto bytesOf = [&](std::size_t k) { return arena + k * chunk; };
    const auto sameBytes = [&](std::size_t a, std::size_t b) {
        return counts[a] == counts[b] &&
               std::memcmp(bytesOf(a), bytesOf(b), static_cast<std::size_t>(counts[a])) == 0;
    };
    std::vector<std::size_t> readable;
    for (std::size_t k = 0; k < members.size(); ++k)
        if (counts[k] >= 0)
            readable.push_back(k);

    std::vector<TMembers> parts;
    if (readable.size() <= 2) {
        if (readable.size() == 2 && sameBytes(readable[0], readable[1])) {
            parts.push_back({members[readable[0]], members[readable[1]]});
        } else {
            for (const std::size_t k : readable)
                parts.push_back({members[k]});
        }
        return parts;
    }
    // Sort by a hash of the chunk, then confirm on the bytes within each run of equal hashes.
    std::vector<std::pair<XXH64_hash_t, std::size_t>> hashed;
    for (const std::size_t k : readable)
        hashed.emplace_back(XXH3_64bits(bytesOf(k), static_cast<std::size_t>(counts[k])), k);
    std::sort(hashed.begin(), hashed.end());
    const auto sameHash = [](const auto& a, const auto& b) { return a.first == b.first; };
    ForEachRun(hashed, sameHash, [&](const auto run) {
        std::vector<std::size_t> pending;
        for (const auto& [hash, k] : run)
            pending.push_back(k);
        PartitionByEquality(std::move(pending), members, sameBytes,
                            [&](TMembers part) { parts.push_back(std::move(part)); });
    });
    return parts;
}

void TContentSplitter::Emit(const TMembers& members,
                            std::vector<std::vector<std::uint32_t>>& classes) {
    std::vector<std::uint32_t> rows;
    for (const std::uint32_t member : members) {
        const TFile& file = files_[member];
        rows.insert(rows.end(), rowsByPath_.begin() + file.RowBegin,
                    rowsByPath_.begin() + file.RowBegin + file.RowCount);
    }
    if (rows.size() < 2)
        return;
    std::sort(rows.begin(), rows.end());
    classes.push_back(std::move(rows));
}

void TContentSplitter::Settle(const TMembers& members) {
    for (const std::uint32_t member : members) {
        TFile& file = files_[member];
        if (file.Settled)
            continue;
        file.Settled = true;
        rowsSettled_.fetch_add(file.RowCount, std::memory_order_relaxed);
        hooks_.WorkDone(WorkOf(file.RowCount, scanSize_) - file.CreditedWork);
    }
}

bool TContentSplitter::Open(std::uint32_t member) {
    TFile& file = files_[member];
    if (!Reopen(member))
        return false;
    // Any other length is a change, found when the file's last bytes are read.
    if (file.Seen.Size > SequentialHintSize)
        ::posix_fadvise(FdOf(member), 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

// Opens the member's file (again, when the budget closed it): by path, checked to be the
// regular file the scan found there, unchanged.
bool TContentSplitter::Reopen(std::uint32_t member) {
    TFile& file = files_[member];
    if (file.Failed)
        return false;
    if (FdOf(member) >= 0) {
        budget_.Touch(fds_[file.FdSlot]);
        return true;
    }
    const std::uint32_t row = rowsByPath_[file.RowBegin];
    if (!OpenInSlot(member)) {
        // A link in the file's place is not followed, which is no failure; a lack of
        // descriptors fails an open only once the work is stopped.
        Fail(member, errno == ELOOP || errno == EMFILE || errno == ENFILE ? 0 : errno);
        return false;
    }
    struct stat facts {};
    if (::fstat(FdOf(member), &facts) != 0) {
        Fail(member, errno);
        return false;
    }
    if (!S_ISREG(facts.st_mode)) {
        Fail(member, 0); // a FIFO, a device or a folder now: never read
        return false;
    }
    // Another file at the path: the one the scan found is gone from it.
    if (row < ids_.size() && ids_[row].Known() && FileIdOf(facts) != ids_[row]) {
        Fail(member, ENOENT);
        return false;
    }
    return Unchanged(member, facts);
}

// True when `facts` of the member's file show it as the scan recorded it (when first opened)
// or as it was first opened (later); otherwise the file counts as changed.
bool TContentSplitter::Unchanged(std::uint32_t member, const struct stat& facts) {
    TFile& file = files_[member];
    const TStamp now{static_cast<std::int64_t>(facts.st_size), NanosecondsOf(facts.st_mtim),
                     NanosecondsOf(facts.st_ctim)};
    if (!file.HasSeen) {
        const std::uint32_t row = rowsByPath_[file.RowBegin];
        const bool asScanned = now.Size == scanSize_ &&
                               (row >= modifiedNs_.size() || now.ModifiedNs == modifiedNs_[row]);
        file.Seen = now;
        file.HasSeen = true;
        if (asScanned)
            return true;
    } else if (now == file.Seen) {
        return true;
    }
    FailChanged(member);
    return false;
}

// The file is identical to nothing from now on; a real failure is reported once.
void TContentSplitter::Fail(std::uint32_t member, int error) {
    TFile& file = files_[member];
    Close(member);
    if (file.Failed)
        return;
    file.Failed = true;
    if (error != 0 && hooks_.Unreadable)
        hooks_.Unreadable(rowsByPath_[file.RowBegin], error);
}

// Like Fail, reported as a change rather than an error.
void TContentSplitter::FailChanged(std::uint32_t member) {
    TFile& file = files_[member];
    Close(member);
    if (file.Failed)
        return;
    file.Failed = true;
    if (hooks_.Changed)
        hooks_.Changed(rowsByPath_[file.RowBegin]);
}

void TContentSplitter::Close(std::uint32_t member) {
    TFile& file = files_[member];
    if (file.FdSlot == NoFdSlot)
        return;
    // Read only: a failed close loses nothing.
    fds_[file.FdSlot].Close();
    freeFdSlots_.push_back(file.FdSlot);
    file.FdSlot = NoFdSlot;
}

// The member's open descriptor, or -1.
int TContentSplitter::FdOf(std::uint32_t member) const {
    const std::uint32_t slot = files_[member].FdSlot;
    return slot == NoFdSlot ? -1 : fds_[slot].Get();
}

// Opens the member's file by path into its slot, within the descriptor budget. Never blocks on,
// or opens for real, anything but a regular file that replaced the row's. False, with errno
// set, when it cannot be opened.
bool TContentSplitter::OpenInSlot(std::uint32_t member) {
    const std::string& path = paths_[rowsByPath_[files_[member].RowBegin]];
    return budget_.Open(SlotFor(member), [&] {
        return OpenLongPath(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    });
}

// The member's slot, taken from the free ones (or added) when it has none. Slots live in a
// deque, so a slot stays where it is while others are added.
TBudgetFd& TContentSplitter::SlotFor(std::uint32_t member) {
    TFile& file = files_[member];
    if (file.FdSlot == NoFdSlot) {
        if (freeFdSlots_.empty()) {
            freeFdSlots_.push_back(static_cast<std::uint32_t>(fds_.size()));
            fds_.emplace_back();
        }
        file.FdSlot = freeFdSlots_.back();
        freeFdSlots_.pop_back();
    }
    return fds_[file.FdSlot];
}

void TContentSplitter::CloseAll() {
    for (std::uint32_t member = 0; member < files_.size(); ++member)
        Close(member);
}

// The room a small file read whole takes in an arena: its scan size, rounded up to whole pages
// so that every file's bytes start on a page.
std::size_t TContentSplitter::WholeStride() const {
    const auto size = static_cast<std::size_t>(std::max<std::int64_t>(scanSize_, 1));
    return (size + PageSize - 1) / PageSize * PageSize;
}

// True when the member's file may be read with one status call: not yet opened, and the scan
// knows its identity and its times.
bool TContentSplitter::MayReadUnchanged(std::uint32_t member) const {
    const TFile& file = files_[member];
    const std::uint32_t row = rowsByPath_[file.RowBegin];
    return !file.HasSeen && !file.Failed && file.FdSlot == NoFdSlot && row < modifiedNs_.size() &&
           row < changedNs_.size() && changedNs_[row] != 0 && row < ids_.size() &&
           ids_[row].Known();
}

// Reads small files whole on their first opening, side by side, each with one status call made
// after its read: when it shows the regular file the scan found, with the scan's size and times,
// change time included, nothing touched the file since the scan, so the bytes read are the
// scan's version and final. Member k's bytes go to `arena` at k strides; counts[k] is their
// count, or -1 when the file must be read the careful way, which tells a change from a failure
// (it is closed again, as it was).
void TContentSplitter::ReadUnchangedSinceScan(std::span<const std::uint32_t> members, char* arena,
                                              std::vector<std::int64_t>& counts) {
    const std::size_t stride = WholeStride();
    const auto length = static_cast<std::size_t>(scanSize_);
    counts.assign(members.size(), -1);
    requests_.clear();
    std::vector<std::size_t> opened;
    for (std::size_t k = 0; k < members.size(); ++k) {
        if (!MayReadUnchanged(members[k]))
            continue;
        if (!OpenInSlot(members[k])) {
            Close(members[k]);
            continue;
        }
        requests_.push_back({FdOf(members[k]), arena + k * stride, length, 0, 0});
        opened.push_back(k);
    }
    reader_.ReadAll(requests_);
    for (std::size_t i = 0; i < opened.size(); ++i) {
        const std::uint32_t member = members[opened[i]];
        TFile& file = files_[member];
        const std::uint32_t row = rowsByPath_[file.RowBegin];
        const std::int64_t count = requests_[i].Result;
        if (count >= 0)
            CountRead(member, 0, count);
        struct stat facts {};
        const bool asScanned = count == scanSize_ && ::fstat(FdOf(member), &facts) == 0 &&
                               S_ISREG(facts.st_mode) && FileIdOf(facts) == ids_[row] &&
                               facts.st_size == scanSize_ &&
                               NanosecondsOf(facts.st_mtim) == modifiedNs_[row] &&
                               NanosecondsOf(facts.st_ctim) == changedNs_[row];
        Close(member);
        if (!asScanned)
            continue;
        file.Seen = {scanSize_, modifiedNs_[row], changedNs_[row]};
        file.HasSeen = true;
        counts[opened[i]] = count;
    }
}

std::int64_t TContentSplitter::ReadAt(std::uint32_t member, char* buffer, std::size_t length,
                                      std::int64_t offset) {
    if (!Reopen(member))
        return -1;
    TReadRequest request{FdOf(member), buffer, length, offset, 0};
    ReadPlainly(request);
    if (request.Result < 0) {
        Fail(member, static_cast<int>(-request.Result));
        return -1;
    }
    CountRead(member, offset, request.Result);
    return request.Result;
}

// Counts `count` bytes read from the member's file at `offset`, in the figures and the work done.
void TContentSplitter::CountRead(std::uint32_t member, std::int64_t offset, std::int64_t count) {
    TFile& file = files_[member];
    bytesRead_.fetch_add(count, std::memory_order_relaxed);
    if (hooks_.ChunkRead)
        hooks_.ChunkRead(paths_[rowsByPath_[file.RowBegin]], offset + count);
    // Each byte read counts once, wherever it lies, up to the file's scan size.
    const std::int64_t credit =
        std::min(file.CreditedWork + file.RowCount * count, file.RowCount * scanSize_);
    if (credit > file.CreditedWork) {
        hooks_.WorkDone(credit - file.CreditedWork);
        file.CreditedWork = credit;
    }
}

void TContentSplitter::TFreeBuffer::operator()(char* buffer) const {
    std::free(buffer);
}

char* TContentSplitter::Buffer(std::size_t bytes) {
    if (bytes > bufferSize_) {
        // Page-aligned: the kernel copies into an unaligned buffer several times slower.
        // Not zero-filled: only the pages that reads really touch become resident.
        bytes = (bytes + PageSize - 1) / PageSize * PageSize;
        buffer_.reset(static_cast<char*>(std::aligned_alloc(PageSize, bytes)));
        if (!buffer_)
            throw std::bad_alloc();
        bufferSize_ = bytes;
    }
    return buffer_.get();
}

} // namespace parvex
