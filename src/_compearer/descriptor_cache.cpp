#include "_compearer/descriptor_cache.h"

#include <algorithm>
#include <unistd.h>

namespace parvex {

TBudgetFd& TBudgetFd::operator=(TBudgetFd&& other) noexcept {
    if (this != &other) {
        Close();
        TakeOver(other);
    }
    return *this;
}

void TBudgetFd::Close() {
    if (fd_ < 0)
        return;
    if (cache_ != nullptr)
        cache_->Unlink(*this);
    ::close(fd_);
    fd_ = -1;
    cache_ = nullptr;
}

// Takes the place of `other` in its cache's list, so a held descriptor can move.
void TBudgetFd::TakeOver(TBudgetFd& other) noexcept {
    fd_ = other.fd_;
    cache_ = other.cache_;
    newer_ = other.newer_;
    older_ = other.older_;
    if (cache_ != nullptr) {
        (newer_ != nullptr ? newer_->older_ : cache_->newest_) = this;
        (older_ != nullptr ? older_->newer_ : cache_->oldest_) = this;
    }
    other.fd_ = -1;
    other.cache_ = nullptr;
    other.newer_ = other.older_ = nullptr;
}

TDescriptorCache::TDescriptorCache(TDescriptorGrant grant, std::function<bool()> keepTrying)
    : grant_(std::move(grant)), keepTrying_(std::move(keepTrying)),
      limit_(std::max<std::size_t>(grant_.Count(), 1)) {}

// The grant goes back only once every descriptor held under it is closed.
TDescriptorCache::~TDescriptorCache() {
    while (CloseOldest()) {
    }
}

void TDescriptorCache::Touch(TBudgetFd& fd) {
    if (fd.cache_ != this || newest_ == &fd)
        return;
    Unlink(fd);
    LinkNewest(fd);
}

void TDescriptorCache::Hold(TBudgetFd& fd, int opened) {
    fd.fd_ = opened;
    fd.cache_ = this;
    LinkNewest(fd);
}

void TDescriptorCache::LinkNewest(TBudgetFd& fd) {
    fd.older_ = newest_;
    fd.newer_ = nullptr;
    (newest_ != nullptr ? newest_->newer_ : oldest_) = &fd;
    newest_ = &fd;
    ++held_;
}

void TDescriptorCache::Unlink(TBudgetFd& fd) {
    (fd.newer_ != nullptr ? fd.newer_->older_ : newest_) = fd.older_;
    (fd.older_ != nullptr ? fd.older_->newer_ : oldest_) = fd.newer_;
    fd.newer_ = fd.older_ = nullptr;
    --held_;
}

bool TDescriptorCache::SetAside(std::size_t keep) {
    if (limit_ < keep + 1)
        return false;
    --limit_;
    while (held_ > limit_ && CloseOldest()) {
    }
    return true;
}

bool TDescriptorCache::CloseOldest() {
    if (oldest_ == nullptr)
        return false;
    oldest_->Close();
    return true;
}

// The system refused a descriptor: the oldest of this cache gives way, the newest staying; with
// nothing to close, wait for another user of the budget to give some back.
bool TDescriptorCache::GiveWay() {
    if (held_ > 1)
        return CloseOldest();
    if (grant_.Budget() == nullptr || !keepTrying_ || !keepTrying_())
        return false;
    grant_.Budget()->WaitForReturn(RoomWait);
    return true;
}

} // namespace parvex
