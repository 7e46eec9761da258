#include "_compearer/descriptor_budget.h"

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace parvex {

namespace {

// Descriptors left to the rest of the program (the window, the standard streams, a settings
// file) out of a limit of `limit`.
std::size_t Reserve(std::size_t limit) {
    return std::min<std::size_t>(64, limit / 2);
}

// However high the limit, a search needs no more: a deep walk reopens what it let go.
constexpr std::size_t MostHeld = 1024;

} // namespace

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
    if (budget_ != nullptr)
        budget_->Unlink(*this);
    ::close(fd_);
    fd_ = -1;
    budget_ = nullptr;
}

// Takes the place of `other` in its budget's list, so a held descriptor can move.
void TBudgetFd::TakeOver(TBudgetFd& other) noexcept {
    fd_ = other.fd_;
    budget_ = other.budget_;
    newer_ = other.newer_;
    older_ = other.older_;
    if (budget_ != nullptr) {
        (newer_ != nullptr ? newer_->older_ : budget_->newest_) = this;
        (older_ != nullptr ? older_->newer_ : budget_->oldest_) = this;
    }
    other.fd_ = -1;
    other.budget_ = nullptr;
    other.newer_ = other.older_ = nullptr;
}

TDescriptorBudget::~TDescriptorBudget() {
    // Whatever still holds a descriptor keeps it, unbudgeted.
    while (oldest_ != nullptr) {
        TBudgetFd* fd = oldest_;
        Unlink(*fd);
        fd->budget_ = nullptr;
    }
}

std::size_t TDescriptorBudget::ProcessBudget() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 64;
    const rlim_t soft = std::min<rlim_t>(limit.rlim_cur, 1 << 20);
    const auto total = static_cast<std::size_t>(soft);
    return std::clamp<std::size_t>(total - Reserve(total), 2, MostHeld);
}

void TDescriptorBudget::SetLimit(std::size_t limit) {
    limit_ = std::max<std::size_t>(2, limit);
    while (held_ > limit_ && CloseOldest()) {
    }
}

void TDescriptorBudget::Touch(TBudgetFd& fd) {
    if (fd.budget_ != this || newest_ == &fd)
        return;
    Unlink(fd);
    LinkNewest(fd);
}

void TDescriptorBudget::Hold(TBudgetFd& fd, int opened) {
    fd.fd_ = opened;
    fd.budget_ = this;
    LinkNewest(fd);
}

void TDescriptorBudget::LinkNewest(TBudgetFd& fd) {
    fd.older_ = newest_;
    fd.newer_ = nullptr;
    (newest_ != nullptr ? newest_->newer_ : oldest_) = &fd;
    newest_ = &fd;
    ++held_;
}

void TDescriptorBudget::Unlink(TBudgetFd& fd) {
    (fd.newer_ != nullptr ? fd.newer_->older_ : newest_) = fd.older_;
    (fd.older_ != nullptr ? fd.older_->newer_ : oldest_) = fd.newer_;
    fd.newer_ = fd.older_ = nullptr;
    --held_;
}

bool TDescriptorBudget::CloseOldest() {
    if (oldest_ == nullptr)
        return false;
    oldest_->Close();
    return true;
}

} // namespace parvex
