#include "main/result_data.h"

#include <QByteArrayMatcher>
#include <QFile>
#include <algorithm>
#include <numeric>

namespace parvex {

namespace {

const std::vector<std::string> kNoNames;

} // namespace

QByteArray TResultData::Folded(const QString& text) {
    return text.toCaseFolded().toUtf8();
}

void TResultData::Restart(const QCollator& collator) {
    // Swapped out first, so that the memory goes back in one piece.
    std::vector<TResultGroup>().swap(groups_);
    std::vector<QCollatorSortKey>().swap(keys_);
    std::vector<std::vector<std::string>>().swap(otherNames_);
    paths_ = QByteArray();
    folded_ = QByteArray();
    fileCount_ = 0;
    totalWasted_ = 0;
    collator_ = collator;
    open_ = false;
}

void TResultData::AddGroup(const QByteArray& name) {
    CloseGroup();
    TResultGroup group;
    group.NameStart = static_cast<std::size_t>(paths_.size());
    group.NameLength = static_cast<std::uint32_t>(name.size());
    paths_.append(name);
    keys_.push_back(collator_.sortKey(QFile::decodeName(name)));
    groups_.push_back(std::move(group));
    open_ = true;
}

void TResultData::AddFile(const QByteArray& path, TResultFacts facts) {
    if (!open_)
        return;
    TResultGroup& group = groups_.back();
    TResultFile file;
    file.PathStart = static_cast<std::size_t>(paths_.size());
    file.PathLength = static_cast<std::uint32_t>(path.size());
    paths_.append(path);
    file.Known = facts.Found.has_value();
    if (file.Known)
        file.Found = *facts.Found;
    file.AllNamesFound = facts.AllNamesFound;
    if (!facts.OtherNames.empty()) {
        otherNames_.push_back(std::move(facts.OtherNames));
        file.OtherNames = static_cast<std::uint32_t>(otherNames_.size());
    }
    if (group.Files.empty())
        group.HeadSize = file.Known ? file.Found.Size : 0;
    group.Files.push_back(file);
    ++fileCount_;
}

std::uint32_t TResultData::AppendFolded(const QByteArray& bytes, std::size_t& start) {
    const QByteArray folded = Folded(QFile::decodeName(bytes));
    start = static_cast<std::size_t>(folded_.size());
    folded_.append(folded);
    return static_cast<std::uint32_t>(folded.size());
}

// A group is complete: its files go in order by path and its search texts are kept in that
// order, while the next group is still being compared.
void TResultData::CloseGroup() {
    if (!open_)
        return;
    open_ = false;
    TResultGroup& group = groups_.back();
    std::vector<std::pair<QCollatorSortKey, std::size_t>> keyed;
    keyed.reserve(group.Files.size());
    for (std::size_t f = 0; f < group.Files.size(); ++f)
        keyed.emplace_back(collator_.sortKey(QFile::decodeName(FilePath(groups_.size() - 1, f))),
                           f);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    std::vector<TResultFile> sorted;
    sorted.reserve(group.Files.size());
    for (const auto& entry : keyed)
        sorted.push_back(group.Files[entry.second]);
    group.Files = std::move(sorted);
    group.FoldedLength = AppendFolded(GroupName(groups_.size() - 1), group.FoldedStart);
    for (TResultFile& file : group.Files)
        file.FoldedLength = AppendFolded(
            paths_.mid(static_cast<qsizetype>(file.PathStart), file.PathLength), file.FoldedStart);
    Refigure(group);
    totalWasted_ += group.Wasted;
}

void TResultData::Finish() {
    CloseGroup();
    std::vector<std::size_t> order(groups_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return keys_[a].compare(keys_[b]) < 0;
    });
    std::vector<TResultGroup> sorted;
    sorted.reserve(groups_.size());
    for (std::size_t g : order)
        sorted.push_back(std::move(groups_[g]));
    groups_ = std::move(sorted);
    std::vector<QCollatorSortKey>().swap(keys_);
}

// Each inode counts once. An inode with a name outside the result stays whatever is deleted,
// so it is the copy that is kept; otherwise the largest is.
void TResultData::Refigure(TResultGroup& group) {
    std::vector<const TResultFile*> known;
    known.reserve(group.Files.size());
    for (const TResultFile& file : group.Files) {
        if (file.Known)
            known.push_back(&file);
    }
    const auto idOf = [](const TResultFile* file) {
        return std::pair(file->Found.Id.Device, file->Found.Id.Inode);
    };
    std::stable_sort(known.begin(), known.end(),
                     [&](const TResultFile* a, const TResultFile* b) { return idOf(a) < idOf(b); });
    std::int64_t freeable = 0;
    std::int64_t largest = 0;
    bool somethingStays = false;
    group.Newest = 0;
    for (std::size_t i = 0; i < known.size(); ++i) {
        const TResultFile& file = *known[i];
        group.Newest = i == 0 ? file.Found.TimeCode : std::max(group.Newest, file.Found.TimeCode);
        if (i > 0 && idOf(known[i - 1]) == idOf(&file))
            continue;
        if (file.AllNamesFound) {
            freeable += file.Found.Size;
            largest = std::max(largest, file.Found.Size);
        } else {
            somethingStays = true;
        }
    }
    group.Wasted = somethingStays ? freeable : freeable - largest;
}

QByteArray TResultData::GroupName(std::size_t group) const {
    const TResultGroup& g = groups_[group];
    return paths_.mid(static_cast<qsizetype>(g.NameStart), g.NameLength);
}

QByteArray TResultData::FilePath(std::size_t group, std::size_t file) const {
    const TResultFile& f = groups_[group].Files[file];
    return paths_.mid(static_cast<qsizetype>(f.PathStart), f.PathLength);
}

const std::vector<std::string>& TResultData::OtherNamesOf(std::size_t group,
                                                          std::size_t file) const {
    const std::uint32_t k = groups_[group].Files[file].OtherNames;
    return k == 0 ? kNoNames : otherNames_[k - 1];
}

QByteArrayView TResultData::FoldedOf(std::size_t start, std::uint32_t length) const {
    return QByteArrayView(folded_).sliced(static_cast<qsizetype>(start), length);
}

bool TResultData::NodeHolds(const QByteArrayMatcher& folded, std::size_t group, int file) const {
    const TResultGroup& g = groups_[group];
    const QByteArrayView text =
        file < 0 ? FoldedOf(g.FoldedStart, g.FoldedLength)
                 : FoldedOf(g.Files[static_cast<std::size_t>(file)].FoldedStart,
                            g.Files[static_cast<std::size_t>(file)].FoldedLength);
    return folded.indexIn(text) >= 0;
}

bool TResultData::GroupHolds(const QByteArrayMatcher& folded, std::size_t group) const {
    const std::size_t files = groups_[group].Files.size();
    for (std::size_t f = 0; f < files; ++f) {
        if (NodeHolds(folded, group, static_cast<int>(f)))
            return true;
    }
    return false;
}

void TResultData::RemoveFile(std::size_t group, std::size_t file) {
    TResultGroup& g = groups_[group];
    g.Files.erase(g.Files.begin() + static_cast<std::ptrdiff_t>(file));
    --fileCount_;
    totalWasted_ -= g.Wasted;
    Refigure(g);
    totalWasted_ += g.Wasted;
}

} // namespace parvex
