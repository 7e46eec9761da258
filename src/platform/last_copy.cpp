#include "platform/last_copy.h"

#include "platform/same_content.h"

#include <sys/stat.h>

namespace parvex {
namespace {

struct TCandidate {
    const std::string* Path = nullptr;
    std::int64_t Size = 0;
};

} // namespace

TLastCopyVerdict DecideLastCopy(const std::string& path, const std::vector<std::string>& others,
                                const TCheckProgress& progress) {
    TLastCopyVerdict verdict;
    struct stat self {};
    if (::lstat(path.c_str(), &self) != 0 || !S_ISREG(self.st_mode))
        return verdict;
    if (self.st_nlink > 1) {
        verdict.LastCopy = false;
        verdict.OtherNames = static_cast<std::uint64_t>(self.st_nlink) - 1;
        return verdict;
    }
    // Sizes first: only a file of the same size can hold the same bytes, and the total to compare
    // is known before the first byte is read.
    std::vector<TCandidate> candidates;
    std::int64_t total = 0;
    for (const std::string& other : others) {
        struct stat facts {};
        if (other == path || ::lstat(other.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode) ||
            facts.st_size != self.st_size)
            continue;
        candidates.push_back({&other, static_cast<std::int64_t>(facts.st_size)});
        total += facts.st_size;
    }
    std::int64_t done = 0;
    if (progress && !progress(done, total)) {
        verdict.Stopped = true;
        return verdict;
    }
    for (const TCandidate& candidate : candidates) {
        const std::optional<TContentMatch> match =
            CompareContent(path, *candidate.Path, [&](std::int64_t chunk) {
                done += chunk;
                return !progress || progress(done, total);
            });
        if (!match) {
            verdict.Stopped = true;
            return verdict;
        }
        switch (*match) {
        case TContentMatch::Same:
            verdict.LastCopy = false;
            verdict.SameBytesAt = *candidate.Path;
            return verdict;
        case TContentMatch::Unreadable:
            verdict.Unreadable = true;
            break;
        case TContentMatch::Different:
            break;
        }
    }
    return verdict;
}

} // namespace parvex
