#include "_compearer/content_recall.h"

#include "_compearer/for_each_run.h"

#include <algorithm>

namespace parvex {

namespace {

bool Contains(std::span<const std::uint32_t> ascending, std::uint32_t row) {
    return std::binary_search(ascending.begin(), ascending.end(), row);
}

} // namespace

TContentRecall::TContentRecall(TContentMemory& memory, std::span<const std::uint32_t> rows,
                               const std::function<void()>& poll)
    : memory_(memory), rows_(rows.begin(), rows.end()) {
    std::sort(rows_.begin(), rows_.end());
    known_ = memory_.Recall(rows_, poll);
    known_.resize(rows_.size());
}

const TKnownContent& TContentRecall::KnownOf(std::uint32_t row) const {
    const auto at = std::lower_bound(rows_.begin(), rows_.end(), row);
    return known_[std::size_t(at - rows_.begin())];
}

// The known rows of `set` by class, each class's rows ascending, so that its first row is the
// one read for it.
void TContentRecall::KnownClasses(std::span<const std::uint32_t> set,
                                  std::vector<TClassOfRow>& known) const {
    known.clear();
    for (const std::uint32_t row : set)
        if (const TKnownContent& content = KnownOf(row); content.Known())
            known.emplace_back(content.Class, row);
    std::sort(known.begin(), known.end());
}

void TContentRecall::RowsToRead(std::span<const std::uint32_t> set,
                                std::vector<std::uint32_t>& toRead) const {
    toRead.clear();
    for (const std::uint32_t row : set)
        if (!KnownOf(row).Known())
            toRead.push_back(row);
    std::vector<TClassOfRow> known;
    KnownClasses(set, known);
    std::vector<std::uint32_t> firsts;
    const auto sameClass = [](const TClassOfRow& a, const TClassOfRow& b) {
        return a.first == b.first;
    };
    ForEachRun(known, sameClass, [&](const auto same) { firsts.push_back(same.front().second); });
    if (toRead.empty()) {
        // Classes of different digests differ: only those that share a digest are read.
        std::sort(firsts.begin(), firsts.end(), [this](std::uint32_t a, std::uint32_t b) {
            return KnownOf(a).Digest < KnownOf(b).Digest;
        });
        const auto sameDigest = [this](std::uint32_t a, std::uint32_t b) {
            return KnownOf(a).Digest == KnownOf(b).Digest;
        };
        ForEachRun(firsts, sameDigest, [&](const auto same) {
            if (same.size() > 1)
                toRead.insert(toRead.end(), same.begin(), same.end());
        });
    } else {
        toRead.insert(toRead.end(), firsts.begin(), firsts.end());
    }
    std::sort(toRead.begin(), toRead.end());
}

void TContentRecall::Complete(std::span<const std::uint32_t> set,
                              std::span<const std::uint32_t> read,
                              std::span<const std::uint32_t> unreadable,
                              std::vector<std::vector<std::uint32_t>>& classes) {
    std::vector<TClassOfRow> known;
    KnownClasses(set, known);
    const auto rowsOfClass = [&known](std::uint64_t knownClass) {
        const auto first = std::lower_bound(known.begin(), known.end(), TClassOfRow{knownClass, 0});
        auto last = first;
        while (last != known.end() && last->first == knownClass)
            ++last;
        return std::span<const TClassOfRow>(first, last);
    };
    std::vector<std::uint64_t> joined; // known classes whose row read is in a class found
    std::vector<std::vector<std::uint32_t>> whole;
    std::vector<std::uint32_t> inClasses;
    for (const std::vector<std::uint32_t>& found : classes) {
        std::vector<std::uint32_t> rows;
        for (const std::uint32_t row : found) {
            inClasses.push_back(row);
            const TKnownContent& content = KnownOf(row);
            if (!content.Known()) {
                rows.push_back(row);
                continue;
            }
            joined.push_back(content.Class);
            for (const TClassOfRow& member : rowsOfClass(content.Class))
                rows.push_back(member.second);
        }
        std::sort(rows.begin(), rows.end());
        Learn(rows);
        whole.push_back(std::move(rows));
    }
    std::sort(joined.begin(), joined.end());
    std::sort(inClasses.begin(), inClasses.end());
    // A known class whose row read matched nothing is a class still; without the row when that
    // could not be read.
    const auto sameClass = [](const TClassOfRow& a, const TClassOfRow& b) {
        return a.first == b.first;
    };
    ForEachRun(known, sameClass, [&](const auto same) {
        if (std::binary_search(joined.begin(), joined.end(), same.front().first))
            return;
        std::vector<std::uint32_t> rows;
        for (const TClassOfRow& member : same)
            if (!Contains(unreadable, member.second))
                rows.push_back(member.second);
        if (rows.size() > 1)
            whole.push_back(std::move(rows));
    });
    // A file read that matched no other is learnt as a class of its own.
    for (const std::uint32_t row : read)
        if (!KnownOf(row).Known() && !Contains(inClasses, row) && !Contains(unreadable, row))
            Learn(std::span<const std::uint32_t>(&row, 1));
    classes = std::move(whole);
}

void TContentRecall::Learn(std::span<const std::uint32_t> rows) {
    std::vector<TKnownContent> known;
    known.reserve(rows.size());
    for (const std::uint32_t row : rows)
        known.push_back(KnownOf(row));
    memory_.Learn(rows, known);
}

} // namespace parvex
