#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace parvex {

/// How a reader asks the kernel for files' bytes.
enum class TReadPath {
    /// A batch of reads in one call (io_uring) where the kernel allows it, else one at a time.
    Batched,
    /// One pread(2) per read, always.
    Plain,
};

/// One read of a batch: up to `Length` bytes of descriptor `Fd` from `Offset` into `Buffer`.
/// `Result` is the count read, fewer than `Length` only at the file's end, or -errno.
struct TReadRequest {
    int Fd = -1;
    char* Buffer = nullptr;
    std::size_t Length = 0;
    std::int64_t Offset = 0;
    std::int64_t Result = 0;
};

/// Reads the rest of `request` with pread(2), from its Result bytes on (0 for a new request),
/// until its Length or the file's end; Result becomes the count read, or -errno.
void ReadPlainly(TReadRequest& request);

/// Reads batches of requests. On the batched path a whole batch goes to the kernel in one call,
/// so reads of files that are not in memory wait on the disk together, not one after the other,
/// and a batch of small files costs one system call instead of one each. Where the kernel
/// refuses io_uring (an old kernel, io_uring disabled, a seccomp filter) every read is a
/// pread(2). One thread at a time. The batched path holds one descriptor while it lives.
class TBatchReader {
public:
    explicit TBatchReader(TReadPath path);
    ~TBatchReader();
    TBatchReader(const TBatchReader&) = delete;
    TBatchReader& operator=(const TBatchReader&) = delete;

    /// True when batches go to the kernel at once.
    bool Batched() const { return ring_ != nullptr; }
    /// Fills in the Result of every request.
    void ReadAll(std::span<TReadRequest> requests);

    /// Most requests handed to the kernel in one call; larger batches go in parts.
    static constexpr std::size_t MostAtOnce = 64;

private:
    struct TRing;
    void ReadOnRing(std::span<TReadRequest> requests);
    std::unique_ptr<TRing> ring_;
};

} // namespace parvex
