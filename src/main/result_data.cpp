#include "main/result_data.h"

#include "_compearer/wasted_space.h"
#include "main/time_code_text.h"
#include "result_file/start_folder_bounds.h"

#include <QByteArrayMatcher>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <future>
#include <numeric>

namespace parvex {

namespace {

const std::vector<std::string> kNoNames;

} // namespace

QByteArray TResultData::Folded(const QString& text) {
    return text.toCaseFolded().toUtf8();
}

void TResultData::Restart(const QCollator& collator, std::string startFolder) {
    // Swapped out first, so that the memory goes back in one piece.
    std::deque<TResultGroup>().swap(found_);
    std::vector<std::uint32_t>().swap(order_);
    std::vector<std::vector<std::string>>().swap(otherNames_);
    paths_ = TByteStore();
    folded_ = TByteStore();
    fileCount_ = 0;
    missingCount_ = 0;
    changedCount_ = 0;
    totalWasted_ = 0;
    markedCount_ = 0;
    markedBytes_ = 0;
    markedOutside_ = 0;
    collator_ = collator;
    startFolder_ = std::move(startFolder);
    open_ = false;
    ordered_ = false;
}

void TResultData::AddGroup(const QByteArray& name) {
    CloseGroup();
    TResultGroup group;
    group.NameStart = paths_.Append(name);
    group.NameLength = static_cast<std::uint32_t>(name.size());
    found_.push_back(std::move(group));
    open_ = true;
}

void TResultData::AddFile(const QByteArray& path, TResultFacts facts, TFileState state,
                          bool marked) {
    if (!open_)
        return;
    TResultGroup& group = found_.back();
    TResultFile file;
    file.FoundRank = static_cast<std::uint32_t>(group.Files.size());
    file.PathStart = paths_.Append(path);
    file.PathLength = static_cast<std::uint32_t>(path.size());
    file.Known = facts.Found.has_value();
    if (file.Known)
        file.Found = *facts.Found;
    file.AllNamesFound = facts.AllNamesFound;
    file.ModifiedNs = facts.ModifiedNs;
    file.State = state;
    file.Outside =
        !startFolder_.empty() &&
        !InsideStartFolderByText(startFolder_, std::string_view(path.constData(), path.size()));
    file.Marked = marked;
    if (!facts.OtherNames.empty()) {
        otherNames_.push_back(std::move(facts.OtherNames));
        file.OtherNames = static_cast<std::uint32_t>(otherNames_.size());
    }
    if (group.Files.empty())
        group.HeadSize = file.Known ? file.Found.Size : 0;
    group.Files.push_back(file);
    ++fileCount_;
    CountStale(state, 1);
}

void TResultData::CountStale(TFileState state, int change) {
    if (state == TFileState::Missing)
        missingCount_ += static_cast<std::size_t>(change);
    else if (state == TFileState::Changed)
        changedCount_ += static_cast<std::size_t>(change);
}

std::uint32_t TResultData::AppendFolded(QByteArrayView bytes, TByteStore::TPlace& start) {
    const QByteArray folded = Folded(QFile::decodeName(bytes.toByteArray()));
    start = folded_.Append(folded);
    return static_cast<std::uint32_t>(folded.size());
}

// A group is complete: its files go in order by path and its search texts are kept in that
// order, while the next group is still being compared.
void TResultData::CloseGroup() {
    if (!open_)
        return;
    open_ = false;
    TResultGroup& group = found_.back();
    std::vector<std::pair<QCollatorSortKey, std::size_t>> keyed;
    keyed.reserve(group.Files.size());
    for (std::size_t f = 0; f < group.Files.size(); ++f) {
        const TResultFile& file = group.Files[f];
        keyed.emplace_back(collator_.sortKey(QFile::decodeName(
                               paths_.View(file.PathStart, file.PathLength).toByteArray())),
                           f);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    std::vector<TResultFile> sorted;
    sorted.reserve(group.Files.size());
    for (const auto& entry : keyed)
        sorted.push_back(group.Files[entry.second]);
    group.Files = std::move(sorted);
    group.FoldedLength =
        AppendFolded(paths_.View(group.NameStart, group.NameLength), group.FoldedStart);
    for (TResultFile& file : group.Files) {
        // Most paths are their own folded text; those are not kept twice.
        const QByteArrayView path = paths_.View(file.PathStart, file.PathLength);
        const QByteArray folded = Folded(QFile::decodeName(path.toByteArray()));
        file.FoldedInPaths = folded == path;
        file.FoldedStart = file.FoldedInPaths ? file.PathStart : folded_.Append(folded);
        file.FoldedLength = static_cast<std::uint32_t>(folded.size());
    }
    Refigure(group);
    totalWasted_ += group.Wasted;
    RefigureMarks(group);
}

void TResultData::Finish(const std::function<void()>& whileWaiting) {
    CloseGroup();
    if (ordered_)
        return;
    std::vector<std::uint32_t> order(found_.size());
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    // The worker makes, uses and frees the sort keys itself: a few hundred thousand small blocks
    // that would otherwise be freed into the window thread's heap, which then pays for sorting
    // them into its free lists on its next allocations, in one long pause.
    std::future<void> sorted = std::async(std::launch::async, [this, &order] {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(found_.size());
        for (const TResultGroup& group : found_)
            keys.push_back(collator_.sortKey(
                QFile::decodeName(paths_.View(group.NameStart, group.NameLength).toByteArray())));
        std::stable_sort(order.begin(), order.end(), [&keys](std::uint32_t a, std::uint32_t b) {
            return keys[a].compare(keys[b]) < 0;
        });
    });
    while (sorted.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        if (whileWaiting)
            whileWaiting();
    }
    sorted.get();
    order_ = std::move(order);
    ordered_ = true;
}

// The newest time of the group's files, and its wasted space over the files that commands may
// act on.
void TResultData::Refigure(TResultGroup& group) {
    std::vector<TSpaceOfFile> space;
    space.reserve(group.Files.size());
    group.Newest = 0;
    bool first = true;
    for (const TResultFile& file : group.Files) {
        if (!file.Known)
            continue;
        const std::int64_t moment = TimeCodeOrder(file.Found.TimeCode);
        group.Newest = first ? moment : std::max(group.Newest, moment);
        first = false;
        if (file.State == TFileState::AsFound && file.SharesWith == 0)
            space.push_back({file.Found.Id, file.Found.Size, file.AllNamesFound});
    }
    group.Wasted = WastedSpace(std::move(space));
}

std::vector<std::size_t> TResultData::FoundOrder() const {
    std::vector<std::size_t> places(order_.size());
    for (std::size_t place = 0; place < order_.size(); ++place)
        places[order_[place]] = place;
    return places;
}

QByteArray TResultData::GroupName(std::size_t group) const {
    const TResultGroup& g = found_[order_[group]];
    return paths_.View(g.NameStart, g.NameLength).toByteArray();
}

QByteArray TResultData::FilePath(std::size_t group, std::size_t file) const {
    const TResultFile& f = found_[order_[group]].Files[file];
    return paths_.View(f.PathStart, f.PathLength).toByteArray();
}

const std::vector<std::string>& TResultData::OtherNamesOf(std::size_t group,
                                                          std::size_t file) const {
    const std::uint32_t k = found_[order_[group]].Files[file].OtherNames;
    return k == 0 ? kNoNames : otherNames_[k - 1];
}

bool TResultData::NodeHolds(const QByteArrayMatcher& folded, std::size_t group, int file) const {
    const TResultGroup& g = found_[order_[group]];
    if (file < 0)
        return folded.indexIn(folded_.View(g.FoldedStart, g.FoldedLength)) >= 0;
    const TResultFile& f = g.Files[static_cast<std::size_t>(file)];
    const QByteArrayView text =
        (f.FoldedInPaths ? paths_ : folded_).View(f.FoldedStart, f.FoldedLength);
    return folded.indexIn(text) >= 0;
}

bool TResultData::GroupHolds(const QByteArrayMatcher& folded, std::size_t group) const {
    const std::size_t files = found_[order_[group]].Files.size();
    for (std::size_t f = 0; f < files; ++f) {
        if (NodeHolds(folded, group, static_cast<int>(f)))
            return true;
    }
    return false;
}

void TResultData::RemoveFile(std::size_t group, std::size_t file) {
    TResultGroup& g = found_[order_[group]];
    CountStale(g.Files[file].State, -1);
    g.Files.erase(g.Files.begin() + static_cast<std::ptrdiff_t>(file));
    --fileCount_;
    RefigureInTotal(g);
    RefigureMarks(g);
}

void TResultData::RefigureInTotal(TResultGroup& group) {
    totalWasted_ -= group.Wasted;
    Refigure(group);
    totalWasted_ += group.Wasted;
}

void TResultData::SetSharing(std::size_t group, std::size_t file, std::uint32_t keptRank) {
    TResultGroup& g = found_[order_[group]];
    g.Files[file].SharesWith = keptRank + 1;
    RefigureInTotal(g);
}

void TResultData::SetMarked(std::size_t group, std::size_t file, bool marked) {
    TResultGroup& g = found_[order_[group]];
    if (g.Files[file].Marked == marked)
        return;
    g.Files[file].Marked = marked;
    RefigureMarks(g);
}

void TResultData::SetMarks(std::size_t group, const std::vector<bool>& marks) {
    TResultGroup& g = found_[order_[group]];
    for (std::size_t f = 0; f < g.Files.size() && f < marks.size(); ++f)
        g.Files[f].Marked = marks[f];
    RefigureMarks(g);
}

// An inode's space is freed only when every name of it goes: all names found, and each of them
// in the group marked.
void TResultData::RefigureMarks(TResultGroup& group) {
    markedCount_ -= group.MarkedCount;
    markedBytes_ -= group.MarkedBytes;
    markedOutside_ -= group.MarkedOutside;
    group.MarkedCount = 0;
    group.MarkedBytes = 0;
    group.MarkedOutside = 0;
    for (std::size_t f = 0; f < group.Files.size(); ++f) {
        const TResultFile& file = group.Files[f];
        if (!file.Marked)
            continue;
        ++group.MarkedCount;
        if (file.Known && !file.AllNamesFound)
            ++group.MarkedOutside;
        if (!file.Known || !file.AllNamesFound)
            continue;
        bool firstOfInode = true;
        bool everyNameMarked = true;
        for (std::size_t o = 0; o < group.Files.size(); ++o) {
            const TResultFile& other = group.Files[o];
            if (o == f || !other.Known || !(other.Found.Id == file.Found.Id))
                continue;
            firstOfInode = firstOfInode && o > f;
            everyNameMarked = everyNameMarked && other.Marked;
        }
        if (firstOfInode && everyNameMarked)
            group.MarkedBytes += file.Found.Size;
    }
    markedCount_ += group.MarkedCount;
    markedBytes_ += group.MarkedBytes;
    markedOutside_ += group.MarkedOutside;
}

std::vector<QByteArray> TResultData::MarkedPaths() const {
    std::vector<QByteArray> paths;
    paths.reserve(markedCount_);
    for (std::size_t group = 0; group < GroupCount(); ++group)
        for (std::size_t file = 0; file < Group(group).Files.size(); ++file)
            if (Group(group).Files[file].Marked)
                paths.push_back(FilePath(group, file));
    return paths;
}

} // namespace parvex
