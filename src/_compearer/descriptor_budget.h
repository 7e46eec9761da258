#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace parvex {

class TDescriptorGrant;

/// The file descriptors this process may hold open at once, shared by everything that opens
/// files: the folder walk and its read-ahead, the content readers, and whatever else keeps
/// files open. A user takes a grant of a number of descriptors and never holds more open than
/// its grant; when it ends, the grant goes back. Thread-safe.
class TDescriptorBudget {
public:
    /// A budget of at most `cap` descriptors, fewer when the process's limit allows fewer.
    explicit TDescriptorBudget(std::size_t cap = MostHeld) : cap_(cap) {}
    TDescriptorBudget(const TDescriptorBudget&) = delete;
    TDescriptorBudget& operator=(const TDescriptorBudget&) = delete;

    /// The budget of this process, which every search draws from.
    static TDescriptorBudget& Process();
    /// What the soft RLIMIT_NOFILE leaves to the budget: the limit less a reserve for the rest
    /// of the program (the standard streams, a window, a settings file), at least 2.
    static std::size_t FromLimit();

    /// Sets the most descriptors the budget gives out (at least 2); the process's limit may
    /// still allow fewer.
    void SetCap(std::size_t cap);
    /// The most descriptors the budget gives out, as the process's limit stands now.
    std::size_t Total() const;
    /// Descriptors not granted now.
    std::size_t Free() const;

    /// A grant of between `least` and `most` descriptors, as many as are free; an empty grant
    /// when fewer than `least` are free. Never waits.
    TDescriptorGrant TryTake(std::size_t least, std::size_t most);
    /// Waits until a grant goes back or `timeout` passes.
    void WaitForReturn(std::chrono::milliseconds timeout);

    /// However high the limit, no more are given out.
    static constexpr std::size_t MostHeld = 1024;

private:
    friend class TDescriptorGrant;
    void Return(std::size_t count);

    mutable std::mutex mutex_;
    std::condition_variable returned_;
    std::size_t cap_;
    std::size_t granted_ = 0;
};

/// Descriptors taken from a TDescriptorBudget, given back when the grant ends. Movable.
class TDescriptorGrant {
public:
    TDescriptorGrant() = default;
    ~TDescriptorGrant() { Release(); }
    TDescriptorGrant(TDescriptorGrant&& other) noexcept;
    TDescriptorGrant& operator=(TDescriptorGrant&& other) noexcept;
    TDescriptorGrant(const TDescriptorGrant&) = delete;
    TDescriptorGrant& operator=(const TDescriptorGrant&) = delete;

    /// The descriptors its holder may have open at once.
    std::size_t Count() const { return count_; }
    /// True for a grant of at least one descriptor.
    explicit operator bool() const { return count_ > 0; }
    /// Moves up to `count` of this grant's descriptors into a grant of their own.
    TDescriptorGrant Split(std::size_t count);
    /// Gives the descriptors back to the budget.
    void Release();
    /// The budget the grant came from; null for an empty grant.
    TDescriptorBudget* Budget() const { return budget_; }

private:
    friend class TDescriptorBudget;
    TDescriptorGrant(TDescriptorBudget& budget, std::size_t count)
        : budget_(&budget), count_(count) {}

    TDescriptorBudget* budget_ = nullptr;
    std::size_t count_ = 0;
};

/// How many of `threads` run when each holds two descriptors of `descriptors`: at least one.
std::size_t ThreadsWithin(std::size_t threads, std::size_t descriptors);

} // namespace parvex
