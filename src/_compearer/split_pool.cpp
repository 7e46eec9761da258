#include "_compearer/split_pool.h"

#include <algorithm>
#include <thread>

namespace parvex {

struct TSplitPool::TWorker {
    TWorker(TSplitPool& pool, const TSplitColumns& columns, TDescriptorGrant descriptors,
            TReadPath readPath,
            const std::function<void(const std::string&, std::int64_t)>& chunkRead)
        : Descriptors(std::move(descriptors),
                      [&pool] { return !pool.stopped_.load(std::memory_order_relaxed); }),
          Splitter(columns, Descriptors, readPath,
                   {[] {}, [&pool] { return pool.stopped_.load(std::memory_order_relaxed); },
                    [&pool](std::int64_t work) {
                        pool.work_.fetch_add(work, std::memory_order_relaxed);
                    },
                    [this](std::uint32_t row, int error) {
                        Current->Unreadable.emplace_back(row, error);
                    },
                    [this](std::uint32_t row) { Current->Changed.push_back(row); }, chunkRead}) {}

    TDescriptorCache Descriptors;
    TContentSplitter Splitter;
    TSetResult* Current = nullptr;
    std::thread Thread;
};

TSplitPool::TSplitPool(const TSplitColumns& columns, TDescriptorGrant descriptors,
                       std::size_t threads, TReadPath readPath, std::size_t setCount,
                       std::function<TSet(std::size_t)> setAt,
                       const std::function<void(const std::string&, std::int64_t)>& chunkRead,
                       std::size_t memoryBudget)
    : setAt_(std::move(setAt)), setCount_(setCount), slots_(Lookahead),
      memoryBudget_(memoryBudget) {
    const std::size_t readers = Readers(threads, descriptors.Count());
    // Each worker holds its share, no more than a splitter keeps open; the rest goes back.
    const std::size_t share =
        std::min(descriptors.Count() / readers, TContentSplitter::MaxOpenFiles);
    for (std::size_t k = 0; k < readers; ++k)
        workers_.push_back(std::make_unique<TWorker>(*this, columns, descriptors.Split(share),
                                                     readPath, chunkRead));
    descriptors.Release();
    for (const auto& worker : workers_)
        worker->Thread = std::thread([this, &worker = *worker] { Work(worker); });
}

TSplitPool::~TSplitPool() {
    Stop();
    for (const auto& worker : workers_)
        worker->Thread.join();
}

void TSplitPool::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    room_.notify_all();
    ready_.notify_all();
}

// A set that cannot be given takes no memory: its error is met again when the worker asks for
// the set, and goes to the calling thread with the set's result.
std::size_t TSplitPool::MemoryOfSet(std::size_t index) const {
    try {
        const TSet set = setAt_(index);
        return TContentSplitter::MemoryOf(set.Rows.size(), set.ScanSize);
    } catch (...) {
        return 0;
    }
}

// The next set in order, once its split fits in the memory left; `memory` is what it takes.
bool TSplitPool::NextSet(std::size_t& index, std::size_t& memory) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [this, &memory] {
        if (stopped_ || handedOut_ >= setCount_)
            return true;
        if (handedOut_ >= taken_ + Lookahead)
            return false;
        memory = MemoryOfSet(handedOut_);
        return memoryInUse_ == 0 || memoryInUse_ + memory <= memoryBudget_;
    });
    if (stopped_ || handedOut_ >= setCount_)
        return false;
    index = handedOut_++;
    memoryInUse_ += memory;
    peakMemory_ = std::max(peakMemory_, memoryInUse_);
    return true;
}

void TSplitPool::Work(TWorker& worker) {
    std::size_t index = 0;
    std::size_t memory = 0;
    while (NextSet(index, memory)) {
        TSetResult result;
        std::exception_ptr error;
        worker.Current = &result;
        try {
            const TSet set = setAt_(index);
            // A stopped split leaves its result unfinished; the calling thread is stopping too.
            (void)worker.Splitter.Split(set.Rows, set.ScanSize, result.Classes);
        } catch (...) {
            error = std::current_exception();
        }
        worker.Current = nullptr;
        {
            const std::lock_guard lock(mutex_);
            TSlot& slot = slots_[index % Lookahead];
            slot.Result = std::move(result);
            slot.Error = error;
            slot.Ready = true;
            memoryInUse_ -= memory;
        }
        ready_.notify_all();
        room_.notify_all();
    }
}

bool TSplitPool::Take(std::size_t index, TSetResult& result, std::chrono::milliseconds interval,
                      const std::function<void()>& whileWaiting) {
    std::unique_lock lock(mutex_);
    TSlot& slot = slots_[index % Lookahead];
    for (;;) {
        if (stopped_)
            return false;
        if (slot.Ready)
            break;
        if (!ready_.wait_for(lock, interval, [&] { return slot.Ready || stopped_.load(); })) {
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    }
    result = std::move(slot.Result);
    const std::exception_ptr error = std::exchange(slot.Error, nullptr);
    slot.Ready = false;
    taken_ = index + 1;
    lock.unlock();
    room_.notify_all();
    if (error)
        std::rethrow_exception(error);
    return true;
}

std::size_t TSplitPool::PeakMemory() {
    const std::lock_guard lock(mutex_);
    return peakMemory_;
}

std::int64_t TSplitPool::BytesRead() const {
    std::int64_t bytes = 0;
    for (const auto& worker : workers_)
        bytes += worker->Splitter.BytesRead();
    return bytes;
}

std::int64_t TSplitPool::RowsSettled() const {
    std::int64_t rows = 0;
    for (const auto& worker : workers_)
        rows += worker->Splitter.RowsSettled();
    return rows;
}

} // namespace parvex
