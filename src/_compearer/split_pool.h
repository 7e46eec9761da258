#pragma once

#include "_compearer/content_splitter.h"
#include "_compearer/descriptor_budget.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

namespace parvex {

/// Splits a sequence of candidate sets on content with worker threads, each reading with a
/// content splitter and a share of the pool's descriptors, and hands the classes back set by set
/// in the sequence's order. Every worker holds two descriptors or more of its own, so none waits
/// for another's. Workers never call back into the search: what they meet (classes, files that
/// could not be read or changed) waits in the set's result until the calling thread takes it.
class TSplitPool {
public:
    /// Rows of one candidate set and their common scan size.
    struct TSet {
        std::span<const std::uint32_t> Rows;
        std::int64_t ScanSize = 0;
    };
    /// What splitting one set found.
    struct TSetResult {
        std::vector<std::vector<std::uint32_t>> Classes;
        /// Rows whose file could not be read, with the system's error, in the order met.
        std::vector<std::pair<std::uint32_t, int>> Unreadable;
        /// Rows whose file changed since the scan or while it was read, in the order met.
        std::vector<std::uint32_t> Changed;
    };

    /// Starts Readers(threads, descriptors) workers, sharing `descriptors` out among them and
    /// reading on `readPath`, on the sets 0 to setCount - 1, as `setAt` gives them; at most
    /// Lookahead sets are split ahead of the one the calling thread waits for. `chunkRead`, when
    /// set, is every splitter's ChunkRead hook, called on the workers' threads. Splits run side by
    /// side while their memory together stays within `memoryBudget`.
    TSplitPool(const TSplitColumns& columns, TDescriptorGrant descriptors, std::size_t threads,
               TReadPath readPath, std::size_t setCount, std::function<TSet(std::size_t)> setAt,
               const std::function<void(const std::string&, std::int64_t)>& chunkRead = {},
               std::size_t memoryBudget = MemoryBudget);
    /// Stops the workers and waits for them.
    ~TSplitPool();
    TSplitPool(const TSplitPool&) = delete;
    TSplitPool& operator=(const TSplitPool&) = delete;

    /// Waits for the result of set `index` (taken in order, each once) and moves it into
    /// `result`, calling `whileWaiting` about every `interval`. False, with nothing taken, once
    /// the pool is stopped, even when the set was split already. An error a worker met while
    /// splitting the set is thrown here.
    bool Take(std::size_t index, TSetResult& result, std::chrono::milliseconds interval,
              const std::function<void()>& whileWaiting);
    /// Ends the work: workers leave their sets unfinished and take no more.
    void Stop();
    /// Progress work the workers did since the last call, in TContentSplitter::WorkOf units.
    std::int64_t TakeWork() { return work_.exchange(0, std::memory_order_relaxed); }
    /// Bytes the workers read so far.
    std::int64_t BytesRead() const;
    /// Rows whose class the workers settled so far.
    std::int64_t RowsSettled() const;
    /// The most memory the splits running side by side took together so far.
    std::size_t PeakMemory();

    /// The workers a pool of `threads` starts with `descriptors`: each holds two or more.
    static std::size_t Readers(std::size_t threads, std::size_t descriptors) {
        return ThreadsWithin(threads, descriptors);
    }

    /// Most sets split ahead of the one the calling thread waits for.
    static constexpr std::size_t Lookahead = 1024;
    /// The memory the workers' splits may take together, as TContentSplitter::MemoryOf reckons
    /// it: a set that would take more waits until others finish, unless it is the only one.
    static constexpr std::size_t MemoryBudget = 60 << 20;

private:
    struct TWorker;
    struct TSlot {
        TSetResult Result;
        std::exception_ptr Error;
        bool Ready = false;
    };
    void Work(TWorker& worker);
    bool NextSet(std::size_t& index, std::size_t& memory);
    std::size_t MemoryOfSet(std::size_t index) const;

    std::function<TSet(std::size_t)> setAt_;
    std::size_t setCount_;
    std::vector<std::unique_ptr<TWorker>> workers_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable room_;
    std::vector<TSlot> slots_;
    std::size_t handedOut_ = 0; // sets given to workers
    std::size_t taken_ = 0;     // sets the calling thread took
    std::size_t memoryBudget_;
    std::size_t memoryInUse_ = 0; // of the sets being split
    std::size_t peakMemory_ = 0;
    std::atomic<bool> stopped_{false};
    std::atomic<std::int64_t> work_{0};
};

} // namespace parvex
