#pragma once

#include <cerrno>
#include <cstddef>

namespace parvex {

class TDescriptorBudget;

/// A descriptor held under a TDescriptorBudget, which may close it to make room for another;
/// its holder then opens it again when it needs it. Movable, not copyable.
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
    friend class TDescriptorBudget;
    void TakeOver(TBudgetFd& other) noexcept;

    int fd_ = -1;
    TDescriptorBudget* budget_ = nullptr;
    TBudgetFd* newer_ = nullptr;
    TBudgetFd* older_ = nullptr;
};

/// The descriptors a search may hold at once, shared by the folder walk and the content
/// comparison: at most Limit() are held, and when the system refuses a descriptor (EMFILE,
/// ENFILE) the least recently used ones are closed before a file counts as unreadable.
class TDescriptorBudget {
public:
    TDescriptorBudget() = default;
    TDescriptorBudget(const TDescriptorBudget&) = delete;
    TDescriptorBudget& operator=(const TDescriptorBudget&) = delete;
    ~TDescriptorBudget();

    /// This process's budget: the soft RLIMIT_NOFILE less a reserve for the rest of the program,
    /// at most 1024.
    static std::size_t ProcessBudget();
    /// Sets the most descriptors held at once (at least 2).
    void SetLimit(std::size_t limit);
    /// The most descriptors held at once.
    std::size_t Limit() const { return limit_; }

    /// Opens with `open` (a call giving a descriptor, or -1 with errno set) and holds the result
    /// in `fd`, closing least recently used descriptors to stay within the limit and, on
    /// EMFILE or ENFILE, to try again. False, with errno set, when no descriptor was opened.
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
    /// Opens with `open` a descriptor that the caller closes itself soon, making room on EMFILE
    /// or ENFILE as Open does; -1 with errno set when it fails.
    template <class TOpen> int OpenUnheld(TOpen open) {
        for (;;) {
            const int opened = open();
            if (opened >= 0 || (errno != EMFILE && errno != ENFILE))
                return opened;
            const int error = errno;
            // The newest descriptor is the one in use (a folder being opened from); it stays.
            if (held_ <= 1 || !CloseOldest()) {
                errno = error;
                return -1;
            }
        }
    }
    /// Marks `fd` as just used, so it is closed last.
    void Touch(TBudgetFd& fd);

private:
    friend class TBudgetFd;
    void Hold(TBudgetFd& fd, int opened);
    void Unlink(TBudgetFd& fd);
    void LinkNewest(TBudgetFd& fd);
    bool CloseOldest();

    TBudgetFd* newest_ = nullptr;
    TBudgetFd* oldest_ = nullptr;
    std::size_t held_ = 0;
    std::size_t limit_ = 64;
};

} // namespace parvex
