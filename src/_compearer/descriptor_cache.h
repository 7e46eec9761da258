#pragma once

#include "_compearer/descriptor_budget.h"

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <functional>
#include <utility>

namespace parvex {

class TDescriptorCache;

/// A descriptor held in a TDescriptorCache, which may close it to make room for another; its
/// holder then opens it again when it needs it. Movable, not copyable.
class TBudgetFd {
public:
    TBudgetFd() = default;
    ~TBudgetFd() { Close(); }
    TBudgetFd(TBudgetFd&& other) noexcept { TakeOver(other); }
    TBudgetFd& operator=(TBudgetFd&& other) noexcept;
    TBudgetFd(const TBudgetFd&) = delete;
    TBudgetFd& operator=(const TBudgetFd&) = delete;

    /// The descriptor, or -1 while none is held.
    int Get() const { return fd_; }
    /// True while a descriptor is held.
    explicit operator bool() const { return fd_ >= 0; }
    /// Closes the descriptor (read only: a failed close loses nothing).
    void Close();

private:
    friend class TDescriptorCache;
    void TakeOver(TBudgetFd& other) noexcept;

    int fd_ = -1;
    TDescriptorCache* cache_ = nullptr;
    TBudgetFd* newer_ = nullptr;
    TBudgetFd* older_ = nullptr;
};

/// The descriptors one thread holds open under a grant of the process's descriptor budget: at
/// most the grant's count are open at once, the least recently used closed first to make room.
/// When the system still refuses a descriptor (EMFILE, ENFILE: something outside the budget
/// holds them), the cache closes what it can and otherwise waits for room, so a lack of
/// descriptors never passes for a file that cannot be opened. Its descriptors close before the
/// grant goes back.
class TDescriptorCache {
public:
    /// Holds descriptors under `grant`. While the system refuses a descriptor and the cache has
    /// none left to close, it waits up to RoomWait at a time for a grant to go back to the
    /// budget and tries again as long as `keepTrying` says so (false once the work is stopped:
    /// the open then fails with EMFILE).
    TDescriptorCache(TDescriptorGrant grant, std::function<bool()> keepTrying);
    TDescriptorCache(const TDescriptorCache&) = delete;
    TDescriptorCache& operator=(const TDescriptorCache&) = delete;
    ~TDescriptorCache();

    /// The most descriptors held at once: the grant's count, which should be 2 or more for a
    /// holder that opens one descriptor relative to another.
    std::size_t Limit() const { return limit_; }

    /// Opens with `open` (a call giving a descriptor, or -1 with errno set) and holds the result
    /// in `fd`, closing least recently used descriptors to stay within the limit. False, with
    /// errno set, when no descriptor was opened.
    template <class TOpen> [[nodiscard]] bool Open(TBudgetFd& fd, TOpen open) {
        fd.Close();
        while (held_ >= limit_ && CloseOldest()) {
        }
        const int opened = OpenUnheld(open);
        if (opened < 0)
            return false;
        Hold(fd, opened);
        return true;
    }
    /// Opens with `open` a descriptor that the caller closes itself before the cache opens
    /// another, within the limit as Open; -1 with errno set when it fails.
    template <class TOpen> int OpenUnheld(TOpen open) {
        // The newest descriptor is the one in use (a folder being opened from); it stays.
        while (held_ >= limit_ && held_ > 1 && CloseOldest()) {
        }
        for (;;) {
            const int opened = open();
            if (opened >= 0 || (errno != EMFILE && errno != ENFILE))
                return opened;
            const int error = errno;
            if (!GiveWay()) {
                errno = error;
                return -1;
            }
        }
    }
    /// Marks `fd` as just used, so it is closed last.
    void Touch(TBudgetFd& fd);
    /// Takes one descriptor out of the limit for its holder to keep open beside the cache,
    /// closing the oldest held when the cache is full. False, with nothing taken, when the limit
    /// would fall below `keep`.
    [[nodiscard]] bool SetAside(std::size_t keep);
    /// Gives back a descriptor set aside with SetAside.
    void PutBack() { ++limit_; }

    /// The longest wait between two tries while the system refuses descriptors.
    static constexpr std::chrono::milliseconds RoomWait{10};

private:
    friend class TBudgetFd;
    void Hold(TBudgetFd& fd, int opened);
    void Unlink(TBudgetFd& fd);
    void LinkNewest(TBudgetFd& fd);
    bool CloseOldest();
    bool GiveWay();

    TDescriptorGrant grant_;
    std::function<bool()> keepTrying_;
    TBudgetFd* newest_ = nullptr;
    TBudgetFd* oldest_ = nullptr;
    std::size_t held_ = 0;
    std::size_t limit_ = 1;
};

} // namespace parvex
