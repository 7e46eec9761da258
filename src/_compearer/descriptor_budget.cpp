#include "_compearer/descriptor_budget.h"

#include <algorithm>
#include <sys/resource.h>
#include <utility>

namespace parvex {

namespace {

// Descriptors left to the rest of the program out of a limit of `limit`.
std::size_t Reserve(std::size_t limit) {
    return std::min<std::size_t>(64, limit / 2);
}

} // namespace

TDescriptorBudget& TDescriptorBudget::Process() {
    static TDescriptorBudget budget;
    return budget;
}

std::size_t TDescriptorBudget::FromLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 64;
    const auto total = static_cast<std::size_t>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
    return std::max<std::size_t>(total - Reserve(total), 2);
}

void TDescriptorBudget::SetCap(std::size_t cap) {
    const std::lock_guard lock(mutex_);
    cap_ = std::max<std::size_t>(cap, 2);
}

std::size_t TDescriptorBudget::Total() const {
    const std::lock_guard lock(mutex_);
    return std::min(cap_, FromLimit());
}

std::size_t TDescriptorBudget::Free() const {
    const std::size_t total = Total();
    const std::lock_guard lock(mutex_);
    return total > granted_ ? total - granted_ : 0;
}

TDescriptorGrant TDescriptorBudget::TryTake(std::size_t least, std::size_t most) {
    const std::size_t total = Total();
    const std::lock_guard lock(mutex_);
    const std::size_t free = total > granted_ ? total - granted_ : 0;
    const std::size_t count = std::min(free, most);
    if (count == 0 || count < least)
        return {};
    granted_ += count;
    return {*this, count};
}

void TDescriptorBudget::WaitForReturn(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    returned_.wait_for(lock, timeout);
}

void TDescriptorBudget::Return(std::size_t count) {
    {
        const std::lock_guard lock(mutex_);
        granted_ -= count;
    }
    returned_.notify_all();
}

TDescriptorGrant::TDescriptorGrant(TDescriptorGrant&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), count_(std::exchange(other.count_, 0)) {}

TDescriptorGrant& TDescriptorGrant::operator=(TDescriptorGrant&& other) noexcept {
    if (this != &other) {
        Release();
        budget_ = std::exchange(other.budget_, nullptr);
        count_ = std::exchange(other.count_, 0);
    }
    return *this;
}

TDescriptorGrant TDescriptorGrant::Split(std::size_t count) {
    count = std::min(count, count_);
    if (count == 0)
        return {};
    count_ -= count;
    return {*budget_, count};
}

void TDescriptorGrant::Release() {
    if (budget_ != nullptr && count_ > 0)
        budget_->Return(count_);
    budget_ = nullptr;
    count_ = 0;
}

std::size_t ThreadsWithin(std::size_t threads, std::size_t descriptors) {
    return std::max<std::size_t>(std::min(threads, descriptors / 2), 1);
}

} // namespace parvex
