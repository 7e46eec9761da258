#pragma once

#include "_compearer/chunked_column.h"
#include "_compearer/descriptor_cache.h"
#include "_compearer/file_id_column.h"
#include "_compearer/path_column.h"
#include "platform/batched_reads.h"
#include "platform/file_id.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <sys/stat.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace parvex {

/// What a content split needs from the search that runs it.
struct TContentHooks {
    /// Called between reads; the receiver throttles it by time.
    std::function<void()> Poll;
    /// True once the search should end.
    std::function<bool()> StopRequested;
    /// Work done, in the units of TContentSplitter::WorkOf.
    std::function<void(std::int64_t)> WorkDone;
    /// A row's file could not be opened or read; `error` is the system's error number.
    std::function<void(std::uint32_t row, int error)> Unreadable;
    /// A row's file changed since the scan or while it was read: it takes no part.
    std::function<void(std::uint32_t row)> Changed;
    /// Called after each chunk read from a file, with its path and the offset the chunk ended
    /// at; may be empty. Tests change files here while they are compared.
    std::function<void(const std::string& path, std::int64_t end)> ChunkRead;
};

/// The columns of the file table a content split reads: a row's path, its file's device and
/// inode (a file whose id is known must still have it when opened), and its modification and
/// change times in nanoseconds as the scan saw them (a column shorter than the table knows no
/// time for the rows past its end).
struct TSplitColumns {
    const TPathColumn& Paths;
    const TFileIdColumn& Ids;
    const TChunkedColumn<std::int64_t>& ModifiedNs;
    const TChunkedColumn<std::int64_t>& ChangedNs;
};

/// Splits sets of candidate rows into classes of files with byte-identical content. Every file
/// is streamed in bounded chunks; a set's files are read side by side and the set is split on
/// the bytes actually read, so a file is read about once and equality never rests on a hash.
/// A file whose size or modification time is no longer what the scan saw, or whose size or
/// times change while it is read (checked on its descriptor once its last bytes are read), is
/// identical to nothing and reported through the Changed hook.
class TContentSplitter {
public:
    /// Rows are indexes into `columns`; descriptors are held in `budget` (a ring for batched
    /// reads takes one of them); the hooks report progress and poll for a stop.
    TContentSplitter(const TSplitColumns& columns, TDescriptorCache& budget, TReadPath readPath,
                     TContentHooks hooks);
    ~TContentSplitter();
    TContentSplitter(const TContentSplitter&) = delete;
    TContentSplitter& operator=(const TContentSplitter&) = delete;

    /// Splits `rows` (ascending, all of scan size `scanSize`) and appends every class of two or
    /// more rows, ascending, to `classes`. A row listed twice under one path is one file read
    /// once; a file that cannot be opened or read, or that changed, is identical to nothing.
    /// False when stopped.
    bool Split(std::span<const std::uint32_t> rows, std::int64_t scanSize,
               std::vector<std::vector<std::uint32_t>>& classes);

    /// The progress work that settling `rowCount` rows of size `size` stands for.
    static std::int64_t WorkOf(std::int64_t rowCount, std::int64_t size) {
        return rowCount * (RowWork + size);
    }
    /// The memory a split of `rowCount` rows of size `size` takes at most: its files' records,
    /// the bytes of small files it holds and its chunks.
    static std::size_t MemoryOf(std::size_t rowCount, std::int64_t size);
    /// Bytes read from files so far; another thread may ask while a split runs.
    std::int64_t BytesRead() const { return bytesRead_.load(std::memory_order_relaxed); }
    /// Rows whose class is final so far (a file listed under several rows counts each row);
    /// another thread may ask while a split runs.
    std::int64_t RowsSettled() const { return rowsSettled_.load(std::memory_order_relaxed); }

    /// Progress units for one row beside its bytes.
    static constexpr std::int64_t RowWork = 4096;
    /// Most files open at once, unless the descriptor budget allows fewer.
    static constexpr std::size_t MaxOpenFiles = 64;
    /// Chunk memory shared by the files read side by side.
    static constexpr std::size_t ChunkBudget = 2 << 20;
    /// Bytes of small files read whole while a large set is sorted, held so that they are
    /// compared without a second read.
    static constexpr std::size_t HeldBudget = 8 << 20;
    static_assert(HeldBudget <= INT32_MAX, "held bytes are found by 32-bit places");
    /// A split whose memory reached this much gives it back to the system when it ends.
    static constexpr std::size_t ReleaseAbove = 4 << 20;

private:
    struct TFile;
    struct TStamp;
    using TMembers = std::vector<std::uint32_t>;

    bool Resolve(TMembers members, std::vector<std::vector<std::uint32_t>>& classes);
    bool ResolveReadWhole(const TMembers& members,
                          std::vector<std::vector<std::uint32_t>>& classes);
    bool HashSplit(TMembers members, std::int64_t offset, std::size_t block,
                   std::vector<std::vector<std::uint32_t>>& classes);
    bool CompareToRepresentative(TMembers members,
                                 std::vector<std::vector<std::uint32_t>>& classes);
    bool Lockstep(const TMembers& members, std::vector<TMembers>& finals);
    void Finish(TMembers members, std::vector<TMembers>& finals);
    static std::vector<TMembers> SplitOnChunk(const char* arena, const TMembers& members,
                                              std::size_t chunk,
                                              const std::vector<std::int64_t>& counts);
    void ReleaseLargeSet();
    [[nodiscard]] bool ReadWhole(std::uint32_t member);
    std::size_t WholeStride() const;
    [[nodiscard]] bool MayReadUnchanged(std::uint32_t member) const;
    void ReadUnchangedSinceScan(std::span<const std::uint32_t> members, char* arena,
                                std::vector<std::int64_t>& counts);
    void CountRead(std::uint32_t member, std::int64_t offset, std::int64_t count);
    std::int32_t Hold(const char* bytes, std::int64_t count, std::uint64_t hash);
    void SplitHeld(const TMembers& run, const std::vector<std::int64_t>& heldAt,
                   std::int64_t length, std::vector<std::vector<std::uint32_t>>& classes);
    void Emit(const TMembers& members, std::vector<std::vector<std::uint32_t>>& classes);
    void Settle(const TMembers& members);
    [[nodiscard]] bool Open(std::uint32_t member);
    [[nodiscard]] bool Reopen(std::uint32_t member);
    [[nodiscard]] bool Unchanged(std::uint32_t member, const struct stat& facts);
    void Fail(std::uint32_t member, int error);
    void FailChanged(std::uint32_t member);
    void Close(std::uint32_t member);
    void CloseAll();
    int FdOf(std::uint32_t member) const;
    TBudgetFd& SlotFor(std::uint32_t member);
    [[nodiscard]] bool OpenInSlot(std::uint32_t member);
    [[nodiscard]] std::int64_t ReadAt(std::uint32_t member, char* buffer, std::size_t length,
                                      std::int64_t offset);
    char* Buffer(std::size_t bytes);

    const TPathColumn& paths_;
    const TFileIdColumn& ids_;
    const TChunkedColumn<std::int64_t>& modifiedNs_;
    const TChunkedColumn<std::int64_t>& changedNs_;
    TDescriptorCache& budget_;
    TContentHooks hooks_;
    // The ring of batched reads holds one descriptor of the budget's, set aside before it opens.
    bool ringDescriptorSetAside_ = false;
    TBatchReader reader_;
    std::vector<TReadRequest> requests_;
    std::size_t maxOpen_ = MaxOpenFiles;
    std::int64_t scanSize_ = 0;
    std::vector<std::uint32_t> rowsByPath_;
    std::vector<TFile> files_;
    // The descriptors of the files in use, each in a slot a file holds until it is closed.
    static constexpr std::uint32_t NoFdSlot = UINT32_MAX;
    std::deque<TBudgetFd> fds_;
    std::vector<std::uint32_t> freeFdSlots_;
    struct TFreeBuffer {
        void operator()(char* buffer) const;
    };
    std::unique_ptr<char, TFreeBuffer> buffer_;
    std::size_t bufferSize_ = 0;
    // Bytes of files read whole by the hash pass, each distinct content once, and where the
    // first file of each hash has them (offset, length).
    std::vector<char> held_;
    std::unordered_map<std::uint64_t, std::pair<std::int32_t, std::int32_t>> heldAt_;
    std::atomic<std::int64_t> bytesRead_{0};
    std::atomic<std::int64_t> rowsSettled_{0};
};

} // namespace parvex
