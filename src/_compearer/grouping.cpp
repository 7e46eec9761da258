#include "_compearer/compearer_core.h"
#include "_compearer/content_recall.h"
#include "_compearer/content_splitter.h"
#include "_compearer/for_each_run.h"
#include "_compearer/reader_choice.h"
#include "_compearer/search_spec.h"
#include "_compearer/sort_in_steps.h"
#include "_compearer/split_pool.h"
#include "platform/large_blocks.h"
#include "platform/text_case.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <numeric>
#include <optional>
#include <queue>
#include <xxhash.h>

namespace parvex {

namespace {

using TRows = std::vector<std::uint32_t>;

void AppendNumber(std::string& key, std::int64_t value) {
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Heads first: a min-heap of classes by their first row.
struct THeadAfter {
    bool operator()(const TRows& a, const TRows& b) const { return a.front() > b.front(); }
};

} // namespace

// Lets the polls read the counts of the content readers while they work; their counts stay
// when they go.
struct TCompearerCore::TReadWatch {
    TReadWatch(TCompearerCore& core, std::function<TReadCounts()> counts) : Core(core) {
        Core.readCounts_ = std::move(counts);
    }
    ~TReadWatch() {
        const TReadCounts counts = Core.readCounts_();
        Core.settledUnread_ += counts.RowsSettled;
        Core.progress_.BytesRead = counts.BytesRead;
        Core.readCounts_ = nullptr;
    }
    TReadWatch(const TReadWatch&) = delete;
    TReadWatch& operator=(const TReadWatch&) = delete;

    TCompearerCore& Core;
};

// Candidate sets, flat: set k holds Rows[Starts[k]] up to Rows[Starts[k + 1]], in table order;
// Order lists the sets by their first rows.
struct TCompearerCore::TCandidateSets {
    std::vector<std::uint32_t> Rows, Starts, Order;
    std::int64_t ContentWork = 0; // progress work of the content comparison of every set

    std::span<const std::uint32_t> Set(std::uint32_t k) const {
        return {Rows.data() + Starts[k], Starts[k + 1] - Starts[k]};
    }
};

// The pairwise pass compares every row with every later row and reports row i's later matches
// as a group headed by i. Every key is an equivalence (an unreadable file being equal to
// nothing), so its groups are the classes of rows with two or more members, each in table
// order, in the order of their first rows. The pass below finds those classes by partitioning
// on the cheap keys and splitting only the candidate sets on content, and reports them in that
// order as soon as no earlier head can still appear.
void TCompearerCore::GroupIdentical() {
    // The readers' large records go back to the system as each large set is done.
    GiveLargeBlocksBack();
    // No progress until the work is known.
    progressDone_ = progressTotal_ = progressReported_ = 0;
    // The comparison's figures start afresh and its time runs from here.
    compareStart_ = Now();
    comparing_ = true;
    progress_.FilesSettled = progress_.FilesToCompare = progress_.BytesRead = 0;
    progress_.CompareSeconds = 0;
    settledUnread_ = 0;
    std::vector<bool> removed(FilePaths.size(), false);
    FoldRepeatedFiles(removed);
    progress_.FilesToCompare = std::count(removed.begin(), removed.end(), false);
    TCandidateSets sets;
    BuildCandidateSets(HashKeysAndSort(removed), sets);
    StartProgress(sets);
    CompareAndReportInHeadOrder(sets, removed);
    DropFurtherMembers(removed);
    // The last poll shows the comparison at its end.
    PollNow(Now());
    comparing_ = false;
}

// A path once, a file once: a row that repeats the path or the file id of an earlier row is
// another name of that row's file, never a row of its own. The scan never puts one in the table,
// so a table it filled alone is left as it is (the indexes of a million paths would be the
// largest memory of the pass); a table filled by hand may hold some.
void TCompearerCore::FoldRepeatedFiles(std::vector<bool>& removed) {
    if (distinctRows_ == FilePaths.size())
        return;
    TRowIndex byPath, byId;
    // Rows go in blocks: the index slots of a whole block are fetched before it is looked up.
    constexpr std::size_t Block = 32;
    std::array<std::string, Block> paths;
    std::array<std::uint64_t, Block> pathHashes{};
    const auto rowCount = std::uint32_t(FilePaths.size());
    for (std::uint32_t begin = 0; begin < rowCount; begin += Block) {
        const std::uint32_t end = std::min<std::uint32_t>(rowCount, begin + Block);
        for (std::uint32_t row = begin; row < end; ++row) {
            std::string& path = paths[row - begin];
            FilePaths.CopyPath(row, path);
            pathHashes[row - begin] = XXH3_64bits(path.data(), path.size());
            byPath.Prefetch(pathHashes[row - begin]);
            if (FileIds[row].Known())
                byId.Prefetch(FileIds[row].Hash());
        }
        for (std::uint32_t row = begin; row < end; ++row) {
            std::string& path = paths[row - begin];
            const std::uint64_t pathHash = pathHashes[row - begin];
            std::uint32_t first = byPath.Find(
                pathHash, [&](std::uint32_t earlier) { return FilePaths.Equals(earlier, path); });
            const TFileId id = FileIds[row];
            if (first == TRowIndex::NotFound && id.Known())
                first = byId.Find(id.Hash(),
                                  [&](std::uint32_t earlier) { return FileIds[earlier] == id; });
            if (first != TRowIndex::NotFound) {
                removed[row] = true;
                AddOtherName(first, path);
                continue;
            }
            byPath.Insert(pathHash, row);
            if (id.Known())
                byId.Insert(id.Hash(), row);
        }
        Poll();
    }
}

bool TCompearerCore::SizeMatters() const {
    return CompareSize || CompareContent; // equal content means equal size
}

bool TCompearerCore::RowsAgree(std::uint32_t a, std::uint32_t b) const {
    return (!CompareName ||
            (CaseSensitiveNames ? FileNames[a] == FileNames[b]
                                : EqualsIgnoringAsciiCase(FileNames[a], FileNames[b]))) &&
           (!SizeMatters() || FileSizes[a] == FileSizes[b]) &&
           (!CompareTime || FileTimes[a] == FileTimes[b]);
}

// Every row with a hash of the keys that are on, sorted by the hash, rows ascending within
// one hash. 32 bits of hash are plenty to sort by; equal hashes are split on the keys anyway.
TCompearerCore::THashedRows TCompearerCore::HashKeysAndSort(const std::vector<bool>& removed) {
    const auto rowCount = std::uint32_t(FilePaths.size());
    const bool sizeMatters = SizeMatters();
    THashedRows hashed;
    hashed.reserve(rowCount);
    std::string key;
    for (std::uint32_t row = 0; row < rowCount; ++row) {
        if (removed[row])
            continue;
        key.clear();
        if (CompareName)
            key += CaseSensitiveNames ? FileNames[row] : UpperAscii(FileNames[row]);
        key += '\0';
        if (sizeMatters)
            AppendNumber(key, FileSizes[row]);
        if (CompareTime)
            AppendNumber(key, FileTimes[row]);
        hashed.emplace_back(std::uint32_t(XXH3_64bits(key.data(), key.size())), row);
        Poll();
    }
    SortInSteps(hashed, [this] { Poll(); });
    return hashed;
}

// Splits each run of equal hashes on the keys themselves; a set of one row is dropped.
void TCompearerCore::BuildCandidateSets(THashedRows hashed, TCandidateSets& sets) {
    std::vector<std::uint32_t>& candidates = sets.Rows;
    TRows pending, rest;
    const auto sameHash = [](const auto& a, const auto& b) { return a.first == b.first; };
    ForEachRun(hashed, sameHash, [&](const auto run) {
        pending.clear();
        for (std::size_t i = 0; run.size() > 1 && i < run.size(); ++i)
            pending.push_back(run[i].second);
        while (pending.size() > 1) {
            const std::uint32_t first = pending.front();
            const std::size_t start = candidates.size();
            candidates.push_back(first);
            rest.clear();
            for (std::size_t i = 1; i < pending.size(); ++i)
                (RowsAgree(first, pending[i]) ? candidates : rest).push_back(pending[i]);
            const std::size_t size = candidates.size() - start;
            if (size > 1) {
                sets.Starts.push_back(std::uint32_t(start));
                sets.ContentWork += TContentSplitter::WorkOf(std::int64_t(size),
                                                             CompareContent ? FileSizes[first] : 0);
            } else {
                candidates.pop_back();
            }
            pending.swap(rest);
        }
        Poll();
    });
    const std::size_t setCount = sets.Starts.size();
    sets.Starts.push_back(std::uint32_t(candidates.size()));
    sets.Order.resize(setCount);
    std::iota(sets.Order.begin(), sets.Order.end(), 0U);
    std::sort(sets.Order.begin(), sets.Order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return candidates[sets.Starts[a]] < candidates[sets.Starts[b]];
    });
}

// Every row is worth RowWork, a candidate's bytes one unit each; the rows outside every set
// are done already: no other row agrees with them on the keys.
void TCompearerCore::StartProgress(const TCandidateSets& sets) {
    const auto candidateRows = std::int64_t(sets.Rows.size());
    settledUnread_ = progress_.FilesToCompare - candidateRows;
    progressTotal_ = sets.ContentWork +
                     (std::int64_t(FilePaths.size()) - candidateRows) * TContentSplitter::RowWork;
    progressDone_ = progressTotal_ - sets.ContentWork;
    progressReported_ = -1;
    PollNow(Now());
}

// Splits the sets on content with the splitter on this thread, or with a pool of readers when
// the descriptors the search gets let several threads read, each holding two or more.
void TCompearerCore::CompareAndReportInHeadOrder(const TCandidateSets& sets,
                                                 std::vector<bool>& removed) {
    // What Memory knows narrows each set to the rows that must be read.
    std::optional<TContentRecall> recall;
    TCandidateSets toRead;
    if (Memory != nullptr && CompareContent && !StopRequested && !sets.Order.empty()) {
        recall.emplace(*Memory, sets.Rows, [this] { Poll(); });
        NarrowSets(*recall, sets, toRead);
    }
    const TCandidateSets& read = recall ? toRead : sets;
    TContentRecall* const recalled = recall ? &*recall : nullptr;
    const std::size_t threads = CompareContent ? ReaderThreads(sets) : 1;
    TDescriptorGrant descriptors = TakeDescriptors(2, threads * TContentSplitter::MaxOpenFiles);
    if (!descriptors)
        return; // stopped while waiting for descriptors
    if (TSplitPool::Readers(threads, descriptors.Count()) > 1)
        return SplitWithPool(sets, read, recalled, removed, std::move(descriptors), threads);
    TDescriptorCache cache(std::move(descriptors), [this] {
        Poll();
        return !StopRequested;
    });
    TContentSplitter splitter(
        {FilePaths, FileIds, FileModifiedNs, FileChangedNs}, cache, ReadPath,
        {[this] { Poll(); }, [this] { return StopRequested; },
         [this](std::int64_t work) { AddProgress(work); },
         [this](std::uint32_t row, int error) { ReportUnreadable(row, error); },
         [this](std::uint32_t row) { ReportChanged(row); }, OnChunkRead});
    const TReadWatch watch(*this, [&splitter] {
        return TReadCounts{splitter.RowsSettled(), splitter.BytesRead()};
    });
    ReportInHeadOrder(
        sets, removed,
        Recalling(sets, read, recalled, [&](std::size_t index, std::vector<TRows>& classes) {
            const std::uint32_t k = sets.Order[index];
            return splitter.Split(read.Set(k), FileSizes[sets.Set(k).front()], classes);
        }));
    Figures.ContentBytesRead = splitter.BytesRead();
}

void TCompearerCore::NarrowSets(const TContentRecall& recall, const TCandidateSets& sets,
                                TCandidateSets& toRead) {
    TRows rows;
    for (std::uint32_t k = 0; k + 1 < sets.Starts.size(); ++k) {
        recall.RowsToRead(sets.Set(k), rows);
        toRead.Starts.push_back(std::uint32_t(toRead.Rows.size()));
        toRead.Rows.insert(toRead.Rows.end(), rows.begin(), rows.end());
        Poll();
    }
    toRead.Starts.push_back(std::uint32_t(toRead.Rows.size()));
    toRead.Order = sets.Order;
}

// Takes the classes of the rows read from `classesOf`, and, with a recall, the classes of the
// whole set from them; the rows not read are settled.
TCompearerCore::TClassesOf TCompearerCore::Recalling(const TCandidateSets& sets,
                                                     const TCandidateSets& read,
                                                     TContentRecall* recall, TClassesOf classesOf) {
    return [&sets, &read, recall, classesOf = std::move(classesOf),
            this](std::size_t index, std::vector<TRows>& classes) {
        const std::uint32_t k = sets.Order[index];
        unreadableInSet_.clear();
        if (!classesOf(index, classes))
            return false;
        const std::span<const std::uint32_t> set = sets.Set(k);
        const std::span<const std::uint32_t> rowsRead = read.Set(k);
        Figures.FilesRead += std::int64_t(rowsRead.size());
        if (recall == nullptr)
            return true;
        std::sort(unreadableInSet_.begin(), unreadableInSet_.end());
        recall->Complete(set, rowsRead, unreadableInSet_, classes);
        const auto recalled = std::int64_t(set.size() - rowsRead.size());
        Figures.FilesRecalled += recalled;
        settledUnread_ += recalled;
        AddProgress(TContentSplitter::WorkOf(recalled, FileSizes[set.front()]));
        return true;
    };
}

void TCompearerCore::ReportUnreadable(std::uint32_t row, int error) {
    unreadableInSet_.push_back(row);
    ReportSkipped(FilePaths[row], error);
}

// Workers split the sets ahead of this thread, which takes their classes in head order and
// raises every event itself, as the splitter on this thread would have.
void TCompearerCore::SplitWithPool(const TCandidateSets& sets, const TCandidateSets& read,
                                   TContentRecall* recall, std::vector<bool>& removed,
                                   TDescriptorGrant descriptors, std::size_t threads) {
    TSplitPool pool(
        {FilePaths, FileIds, FileModifiedNs, FileChangedNs}, std::move(descriptors), threads,
        ReadPath, sets.Order.size(),
        [&sets, &read, this](std::size_t index) {
            const std::uint32_t k = sets.Order[index];
            return TSplitPool::TSet{read.Set(k), FileSizes[sets.Set(k).front()]};
        },
        OnChunkRead);
    const TReadWatch watch(*this, [&pool] {
        return TReadCounts{pool.RowsSettled(), pool.BytesRead()};
    });
    const auto whileWaiting = [&] {
        AddProgress(pool.TakeWork());
        Poll();
        if (StopRequested)
            pool.Stop();
    };
    TSplitPool::TSetResult result;
    ReportInHeadOrder(
        sets, removed,
        Recalling(sets, read, recall, [&](std::size_t index, std::vector<TRows>& classes) {
            if (!pool.Take(index, result, PollInterval, whileWaiting))
                return false;
            AddProgress(pool.TakeWork());
            for (const auto& [row, error] : result.Unreadable)
                ReportUnreadable(row, error);
            for (const std::uint32_t row : result.Changed)
                ReportChanged(row);
            classes = std::move(result.Classes);
            return !StopRequested;
        }));
    Figures.ContentBytesRead = pool.BytesRead();
}

// How many threads read: the setting, or a choice from the devices of the largest candidates;
// never more than there are sets.
std::size_t TCompearerCore::ReaderThreads(const TCandidateSets& sets) const {
    if (sets.Order.size() < 2)
        return 1;
    std::vector<std::string> samples;
    if (Threads <= 0) {
        constexpr std::size_t SampleCount = 16;
        std::vector<std::pair<std::int64_t, std::uint32_t>> bySize;
        for (const std::uint32_t k : sets.Order) {
            const std::uint32_t first = sets.Set(k).front();
            bySize.emplace_back(FileSizes[first], first);
        }
        const auto end = bySize.begin() + std::ptrdiff_t(std::min(SampleCount, bySize.size()));
        std::partial_sort(bySize.begin(), end, bySize.end(), std::greater<>());
        for (auto it = bySize.begin(); it != end; ++it)
            samples.push_back(FilePaths[it->second]);
    }
    return std::min<std::size_t>(std::size_t(ChooseReaderThreads(Threads, samples)),
                                 sets.Order.size());
}

// Goes through the sets by their first rows. Without the content key a set is a group; with
// it, a set splits into classes (classesOf gives them, false when stopped), and a class is
// reported once no set still to come can hold an earlier head.
void TCompearerCore::ReportInHeadOrder(const TCandidateSets& sets, std::vector<bool>& removed,
                                       const TClassesOf& classesOf) {
    // Classes wait here until every class with an earlier head is reported: up to one for two
    // candidate rows. Room for them all is reserved at once, so that the queue never moves its
    // classes to a larger block in one long step between two polls; pages are only touched as
    // classes arrive.
    std::vector<TRows> waiting;
    if (CompareContent)
        waiting.reserve(sets.Rows.size() / 2);
    std::priority_queue<TRows, std::vector<TRows>, THeadAfter> found(THeadAfter{},
                                                                     std::move(waiting));
    std::vector<TRows> classes;
    bool stopped = false;
    const auto reportHeadsBefore = [&](std::uint32_t limit) {
        while (!stopped && !found.empty() && found.top().front() < limit) {
            stopped = !ReportGroup(found.top(), removed);
            found.pop();
        }
    };
    for (std::size_t index = 0; index < sets.Order.size(); ++index) {
        const std::span<const std::uint32_t> set = sets.Set(sets.Order[index]);
        if (StopRequested) {
            stopped = true;
            break;
        }
        // Every class still to come has its head at or after this set's first row.
        reportHeadsBefore(set.front());
        if (stopped)
            break;
        if (CompareContent) {
            classes.clear();
            stopped = !classesOf(index, classes);
            for (TRows& same : classes)
                found.push(std::move(same));
        } else {
            AddProgress(TContentSplitter::WorkOf(std::int64_t(set.size()), 0));
            settledUnread_ += std::int64_t(set.size());
            stopped = !ReportGroup(set, removed);
        }
        if (stopped)
            break;
        Poll();
    }
    stopped = stopped || StopRequested;
    reportHeadsBefore(std::numeric_limits<std::uint32_t>::max());
    if (!StopRequested)
        progressDone_ = progressTotal_;
}

namespace {

// Moving or freeing a row is quick beside reading the clock: a sweep over the table asks for a
// poll every few thousand rows.
constexpr std::size_t kRowsBetweenPolls = 4096;

} // namespace

// The further members leave the table, all in one sweep. Only the rows' packed entries move;
// the names' bytes stay in their arena until the table is cleared.
void TCompearerCore::DropFurtherMembers(const std::vector<bool>& removed) {
    const std::size_t rowCount = removed.size();
    std::size_t kept = 0;
    for (std::size_t row = 0; row < rowCount; ++row) {
        if (row % kRowsBetweenPolls == 0)
            Poll();
        if (removed[row])
            continue;
        if (kept != row)
            MoveRow(row, kept);
        ++kept;
    }
    TruncateRows(kept);
    // Folded and dropped, the rows left are distinct files.
    distinctRows_ = kept;
}

bool TCompearerCore::ReportGroup(std::span<const std::uint32_t> rows, std::vector<bool>& removed) {
    ++Figures.Groups;
    ReportFile(FilePaths[rows.front()], true);
    ReportMatch(rows.front());
    ++Figures.FilesInGroups;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ReportMatch(rows[i]);
        ++Figures.FilesInGroups;
        removed[rows[i]] = true;
        Poll();
        // As in the pairwise pass, a stop ends the pass before the next comparison.
        if (StopRequested)
            return false;
    }
    return true;
}

void TCompearerCore::ReportFile(const std::string& path, bool NewGroup) {
    if (!OnFileFound)
        return;
    if (NewGroup)
        OnFileFound(path.substr(FolderPartLength(path)), true);
    else
        OnFileFound(path, false);
}

void TCompearerCore::ReportMatch(std::size_t row) {
    // The row is known only while its report runs, also when a receiver throws.
    struct TReporting {
        std::size_t& Row;
        ~TReporting() { Row = NoRow; }
    } reporting{reportedRow_};
    reportedRow_ = row;
    ReportFile(FilePaths[row], false);
}

} // namespace parvex
