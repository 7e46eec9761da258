#include "main/result_model.h"

#include "dialogs/file_group_info.h"
#include "main/result_facts.h"
#include "main/time_code_text.h"
#include "platform/desktop/file_list_mime.h"

#include <QByteArrayMatcher>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QLocale>
#include <QMimeData>
#include <QPalette>
#include <QThreadPool>
#include <algorithm>
#include <memory>
#include <numeric>
#include <utility>

namespace parvex {

namespace {

// A file row's internal id is its group's place in the result plus one; a group row's is 0.
constexpr quintptr kGroupRow = 0;

// Shown after the path of a file that does not lie inside the search's start folder, and in its
// tool tip.
const QString kOutsideSuffix = QStringLiteral("  (outside the start folder)");
const QString kOutsideNote =
    QStringLiteral("Outside the start folder: a command asks before it acts on it.");

// Shown beside the size of a file whose inode has other names.
const QString kLinkMark = QStringLiteral(" \u21C4");

// Shown after the path of a file whose storage is shared with the copy that stays; as text, so
// that a screen reader reads it with the path.
const QString kSharingSuffix = QStringLiteral("  (shares storage with the kept copy)");

// Shown after the path of a file of an opened result that is not as the result says.
QString StateSuffix(TFileState state) {
    switch (state) {
    case TFileState::AsFound:
        break;
    case TFileState::Changed:
        return QStringLiteral("  (changed)");
    case TFileState::Missing:
        return QStringLiteral("  (missing)");
    }
    return {};
}

} // namespace

QString StaleRefusal(TFileState state) {
    // Short: it shares the status bar with the result's summary.
    return state == TFileState::Missing
               ? QStringLiteral("Missing since saved: no command acts on it.")
               : QStringLiteral("Changed since saved: no command acts on it.");
}

std::vector<std::string> TResultModel::OtherNamesOf(const QModelIndex& file) const {
    if (!file.isValid() || IsGroup(file))
        return {};
    return data_.OtherNamesOf(GroupOf(file), static_cast<std::size_t>(file.row()));
}

TFileState TResultModel::StateOf(const QModelIndex& index) const {
    if (!index.isValid() || IsGroup(index))
        return TFileState::AsFound;
    return data_.Group(GroupOf(index)).Files[static_cast<std::size_t>(index.row())].State;
}

TResultModel::TResultModel(QObject* parent) : QAbstractItemModel(parent) {}

void TResultModel::SetResult(TResultData data, bool wastedKnown) {
    beginResetModel();
    auto old = std::make_shared<TResultData>(std::exchange(data_, std::move(data)));
    wastedKnown_ = wastedKnown;
    filter_.clear();
    sortColumn_ = -1;
    sortOrder_ = Qt::AscendingOrder;
    identity_ = true;
    std::vector<std::uint32_t>().swap(shown_);
    std::vector<std::int32_t>().swap(rowOf_);
    exposed_ = std::min(kSlice, ShownCount());
    endResetModel();
    // Freeing a million rows takes longer than the window may stall; a worker does it.
    QThreadPool::globalInstance()->start([old = std::move(old)]() mutable { old.reset(); });
}

void TResultModel::Clear() {
    SetResult(TResultData(), false);
}

bool TResultModel::IsGroup(const QModelIndex& index) {
    return index.isValid() && index.internalId() == kGroupRow;
}

std::size_t TResultModel::ShownCount() const {
    return identity_ ? data_.GroupCount() : shown_.size();
}

std::size_t TResultModel::GroupAt(std::size_t row) const {
    return identity_ ? row : shown_[row];
}

std::int32_t TResultModel::RowOfGroup(std::size_t group) const {
    return identity_ ? static_cast<std::int32_t>(group) : rowOf_[group];
}

std::size_t TResultModel::GroupOf(const QModelIndex& index) const {
    if (index.internalId() == kGroupRow)
        return GroupAt(static_cast<std::size_t>(index.row()));
    return static_cast<std::size_t>(index.internalId() - 1);
}

QByteArray TResultModel::PathOf(const QModelIndex& index) const {
    if (!index.isValid() || IsGroup(index))
        return {};
    return data_.FilePath(GroupOf(index), static_cast<std::size_t>(index.row()));
}

std::vector<std::string> TResultModel::OtherPathsOf(const QModelIndex& file) const {
    std::vector<std::string> others;
    if (!file.isValid() || IsGroup(file))
        return others;
    const std::size_t group = GroupOf(file);
    const auto& files = data_.Group(group).Files;
    for (std::size_t f = 0; f < files.size(); ++f) {
        if (static_cast<int>(f) == file.row())
            continue;
        others.push_back(data_.FilePath(group, f).toStdString());
    }
    return others;
}

void TResultModel::RemoveFile(const QModelIndex& file) {
    if (!file.isValid() || IsGroup(file))
        return;
    const std::size_t group = GroupOf(file);
    const QModelIndex parent = file.parent();
    beginRemoveRows(parent, file.row(), file.row());
    data_.RemoveFile(group, static_cast<std::size_t>(file.row()));
    endRemoveRows();
    Q_EMIT dataChanged(index(parent.row(), 0), index(parent.row(), ColumnCount - 1));
    Q_EMIT MarksChanged();
}

QModelIndex TResultModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid()) {
        if (static_cast<std::size_t>(row) >= exposed_)
            return {};
        return createIndex(row, column, kGroupRow);
    }
    if (!IsGroup(parent))
        return {};
    const std::size_t group = GroupOf(parent);
    if (static_cast<std::size_t>(row) >= data_.Group(group).Files.size())
        return {};
    return createIndex(row, column, static_cast<quintptr>(group + 1));
}

QModelIndex TResultModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || IsGroup(child))
        return {};
    const std::int32_t row = RowOfGroup(GroupOf(child));
    return row < 0 ? QModelIndex() : createIndex(row, 0, kGroupRow);
}

int TResultModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(exposed_);
    if (!IsGroup(parent) || parent.column() != 0)
        return 0;
    return static_cast<int>(data_.Group(GroupOf(parent)).Files.size());
}

int TResultModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

bool TResultModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

Qt::ItemFlags TResultModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (IsGroup(index))
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const Qt::ItemFlags file = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    return index.column() == ColumnPath ? file | Qt::ItemIsUserCheckable : file;
}

QStringList TResultModel::mimeTypes() const {
    return {QStringLiteral("text/uri-list"), QStringLiteral("text/plain")};
}

QMimeData* TResultModel::mimeData(const QModelIndexList& indexes) const {
    // The view hands every column of a row; each row counts once.
    QModelIndexList rows;
    for (const QModelIndex& index : indexes) {
        const QModelIndex row = index.siblingAtColumn(ColumnPath);
        if (row.isValid() && !IsGroup(row) && !rows.contains(row))
            rows << row;
    }
    std::vector<QByteArray> paths;
    for (const QModelIndex& row : rows)
        paths.push_back(PathOf(row));
    if (paths.empty())
        return nullptr;
    return FileListMimeData(paths).release();
}

Qt::DropActions TResultModel::supportedDragActions() const {
    return Qt::CopyAction | Qt::LinkAction;
}

bool TResultModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || IsGroup(index) ||
        index.column() != ColumnPath)
        return false;
    const std::size_t group = GroupOf(index);
    const auto file = static_cast<std::size_t>(index.row());
    const TResultGroup& g = data_.Group(group);
    const bool marked = value.value<Qt::CheckState>() == Qt::Checked;
    if (g.Files[file].Marked == marked)
        return true;
    if (marked && g.Files[file].State != TFileState::AsFound) {
        Q_EMIT MarkRefused(StaleRefusal(g.Files[file].State));
        return false;
    }
    if (marked && g.Files.size() - g.MarkedCount <= 1) {
        Q_EMIT MarkRefused(QStringLiteral("The last unmarked copy of a group cannot be marked."));
        return false;
    }
    data_.SetMarked(group, file, marked);
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    Q_EMIT MarksChanged();
    return true;
}

std::size_t
TResultModel::ApplyMarkRule(const TMarkRule& rule,
                            const std::function<bool(const QByteArray& path)>& isProtected) {
    std::size_t keptFirst = 0;
    std::vector<TMarkable> files;
    std::vector<bool> marks;
    for (std::size_t group = 0; group < data_.GroupCount(); ++group) {
        const TResultGroup& g = data_.Group(group);
        files.clear();
        for (std::size_t f = 0; f < g.Files.size(); ++f) {
            const TResultFile& file = g.Files[f];
            files.push_back({file.FoundRank,
                             file.State != TFileState::AsFound ||
                                 (isProtected && isProtected(data_.FilePath(group, f))),
                             file.Marked});
        }
        if (rule(files, group))
            ++keptFirst;
        marks.assign(files.size(), false);
        for (std::size_t f = 0; f < files.size(); ++f)
            marks[f] = files[f].Marked;
        data_.SetMarks(group, marks);
    }
    // One change over every row: the view repaints what it shows.
    if (exposed_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(exposed_) - 1, ColumnCount - 1));
    Q_EMIT MarksChanged();
    return keptFirst;
}

std::size_t TResultModel::MarkByKeepRules(std::vector<TKeepRule> rules,
                                          std::vector<std::string> protectedFolders) {
    TPlanChoices choices;
    choices.Rules = std::move(rules);
    choices.ProtectedFolders = std::move(protectedFolders);
    TRealFolders real;
    return ApplyMarkRule(
        [&](std::vector<TMarkable>& files, std::size_t group) {
            const TResultGroupFacts facts = GroupFactsOf(data_, group).Facts;
            const TActionPlan plan = MakeActionPlan({&facts, 1}, choices, real);
            return MarkAsPlanned(files, plan.Groups.front());
        },
        {});
}

std::size_t TResultModel::MarkedHidden() const {
    if (identity_)
        return 0;
    std::size_t hidden = 0;
    for (std::size_t group = 0; group < data_.GroupCount(); ++group) {
        if (rowOf_[group] < 0)
            hidden += data_.Group(group).MarkedCount;
    }
    return hidden;
}

QString TResultModel::SharedCopyOf(std::size_t group, const TResultFile& file) const {
    const std::vector<TResultFile>& files = data_.Group(group).Files;
    const auto kept = std::ranges::find(files, file.SharesWith - 1, &TResultFile::FoundRank);
    return file.SharesWith == 0 || kept == files.end()
               ? QString()
               : QFile::decodeName(
                     data_.FilePath(group, static_cast<std::size_t>(kept - files.begin())));
}

void TResultModel::ShowSharing(const std::vector<TSharingFile>& files) {
    for (const TSharingFile& sharing : files) {
        const std::vector<TResultFile>& rows = data_.Group(sharing.Group).Files;
        const auto row = std::ranges::find(rows, sharing.Rank, &TResultFile::FoundRank);
        if (row == rows.end())
            continue;
        const auto file = static_cast<std::size_t>(row - rows.begin());
        data_.SetSharing(sharing.Group, file, sharing.KeptRank);
        data_.SetMarked(sharing.Group, file, false);
        const std::int32_t groupRow = RowOfGroup(sharing.Group);
        if (groupRow < 0 || static_cast<std::size_t>(groupRow) >= exposed_)
            continue;
        const QModelIndex parent = index(groupRow, 0);
        Q_EMIT dataChanged(index(groupRow, 0), index(groupRow, ColumnCount - 1));
        Q_EMIT dataChanged(index(static_cast<int>(file), 0, parent),
                           index(static_cast<int>(file), ColumnCount - 1, parent));
    }
    Q_EMIT MarksChanged();
}

void TResultModel::RemoveFiles(std::vector<std::pair<std::size_t, std::uint32_t>> files) {
    std::sort(files.begin(), files.end());
    for (std::size_t i = 0; i < files.size();) {
        const std::size_t group = files[i].first;
        std::size_t end = i;
        while (end < files.size() && files[end].first == group)
            ++end;
        // From the last row up, so the rows still to remove keep their places.
        const auto& rows = data_.Group(group).Files;
        for (std::size_t f = rows.size(); f-- > 0;) {
            const auto rank = data_.Group(group).Files[f].FoundRank;
            if (!std::binary_search(files.begin() + static_cast<std::ptrdiff_t>(i),
                                    files.begin() + static_cast<std::ptrdiff_t>(end),
                                    std::pair(group, rank)))
                continue;
            const std::int32_t row = RowOfGroup(group);
            const bool inView = row >= 0 && static_cast<std::size_t>(row) < exposed_;
            const QModelIndex parent = inView ? index(row, 0) : QModelIndex();
            if (inView)
                beginRemoveRows(parent, static_cast<int>(f), static_cast<int>(f));
            data_.RemoveFile(group, f);
            if (inView)
                endRemoveRows();
        }
        const std::int32_t row = RowOfGroup(group);
        if (row >= 0 && static_cast<std::size_t>(row) < exposed_)
            Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
        i = end;
    }
    Q_EMIT MarksChanged();
}

bool TResultModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && exposed_ < ShownCount();
}

void TResultModel::fetchMore(const QModelIndex& parent) {
    // The view lays out every row it has again after each fetch: doubling what it has keeps
    // the rows laid out on the way to the end of a large result to about twice their number.
    if (canFetchMore(parent))
        Expose(static_cast<int>(std::min(exposed_ + std::max(kSlice, exposed_), ShownCount()) - 1));
}

void TResultModel::Expose(int row) {
    const auto last = static_cast<std::size_t>(row);
    if (row < 0 || last < exposed_ || last >= ShownCount())
        return;
    beginInsertRows({}, static_cast<int>(exposed_), row);
    exposed_ = last + 1;
    endInsertRows();
}

QVariant TResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::InitialSortOrderRole)
        return section == ColumnPath ? Qt::AscendingOrder : Qt::DescendingOrder;
    if (role == Qt::TextAlignmentRole && section != ColumnPath)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColumnPath:
        return QStringLiteral("Path");
    case ColumnSize:
        return QStringLiteral("Size");
    case ColumnModified:
        return QStringLiteral("Modified");
    case ColumnFiles:
        return QStringLiteral("Files");
    case ColumnWasted:
        return QStringLiteral("Wasted");
    default:
        return {};
    }
}

QVariant TResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole && index.column() != ColumnPath)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    const std::size_t group = GroupOf(index);
    if (IsGroup(index))
        return GroupData(group, index.column(), role);
    return FileData(group, static_cast<std::size_t>(index.row()), index.column(), role);
}

QVariant TResultModel::GroupData(std::size_t group, int column, int role) const {
    const TResultGroup& g = data_.Group(group);
    if (role == PathRole && column == ColumnPath)
        return data_.GroupName(group);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (column) {
    case ColumnPath:
        return QFile::decodeName(data_.GroupName(group));
    case ColumnSize:
        return SizeText(g.HeadSize, QLocale());
    case ColumnFiles:
        return QLocale().toString(static_cast<qulonglong>(g.Files.size()));
    case ColumnWasted:
        return wastedKnown_ ? SizeText(g.Wasted, QLocale()) : QStringLiteral("\u2014");
    default:
        return {};
    }
}

QVariant TResultModel::FileData(std::size_t group, std::size_t file, int column, int role) const {
    const TResultFile& f = data_.Group(group).Files[file];
    if (role == PathRole && column == ColumnPath)
        return data_.FilePath(group, file);
    if (role == Qt::CheckStateRole && column == ColumnPath)
        return f.Marked ? Qt::Checked : Qt::Unchecked;
    const std::vector<std::string>& others = data_.OtherNamesOf(group, file);
    const bool stale = f.State != TFileState::AsFound;
    if (stale && role == Qt::ForegroundRole)
        // The palette's colour for text that stands back, readable on light and dark palettes
        // alike; the italics and the "(missing)"/"(changed)" suffix carry the meaning too.
        return QGuiApplication::palette().brush(QPalette::PlaceholderText);
    if (stale && role == Qt::FontRole) {
        QFont font;
        font.setItalic(true);
        return font;
    }
    if (role == Qt::ToolTipRole) {
        QString tip = QFile::decodeName(data_.FilePath(group, file));
        if (stale)
            tip += QStringLiteral("\n") + StaleRefusal(f.State);
        if (f.Outside)
            tip += QStringLiteral("\n") + kOutsideNote;
        if (f.SharesWith != 0)
            tip += QStringLiteral("\nShares its storage with the copy that stays: %1")
                       .arg(SharedCopyOf(group, f));
        if (!others.empty()) {
            QStringList names;
            for (const std::string& name : others)
                names << QFile::decodeName(QByteArray::fromStdString(name));
            tip += QStringLiteral("\nAlso linked as: ") + names.join(QStringLiteral(", "));
        }
        return tip;
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case ColumnPath:
        return QFile::decodeName(data_.FilePath(group, file)) + StateSuffix(f.State) +
               (f.Outside ? kOutsideSuffix : QString()) +
               (f.SharesWith != 0 ? kSharingSuffix : QString());
    case ColumnSize:
        if (!f.Known)
            return {};
        return SizeText(f.Found.Size, QLocale()) + (others.empty() ? QString() : kLinkMark);
    case ColumnModified:
        return f.Known ? TimeCodeText(f.Found.TimeCode, QLocale()) : QString();
    default:
        return {};
    }
}

void TResultModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    Arrange();
}

void TResultModel::SetFilter(const QString& text) {
    if (text == filter_)
        return;
    filter_ = text;
    Arrange();
}

// The groups to show in the order to show them: the default order stably sorted by the
// column's key, then filtered.
void TResultModel::Arrange() {
    std::vector<std::uint32_t> order(data_.GroupCount());
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    const auto key = [this](std::uint32_t g) -> std::int64_t {
        const TResultGroup& group = data_.Group(g);
        switch (sortColumn_) {
        case ColumnSize:
            return group.HeadSize;
        case ColumnModified:
            return group.Newest;
        case ColumnFiles:
            return static_cast<std::int64_t>(group.Files.size());
        case ColumnWasted:
            return group.Wasted;
        default:
            return static_cast<std::int64_t>(g);
        }
    };
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    if (sortColumn_ > ColumnPath || (sortColumn_ == ColumnPath && descending))
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return descending ? key(b) < key(a) : key(a) < key(b);
        });
    if (!filter_.isEmpty()) {
        const QByteArray folded = TResultData::Folded(filter_);
        const QByteArrayMatcher matcher(folded);
        std::erase_if(order, [&](std::uint32_t g) { return !data_.GroupHolds(matcher, g); });
    }
    ApplyOrder(std::move(order));
}

// The rows move without a reset, so the selection, the expanded groups and every persistent
// index follow their groups; the rows of a group the filter hides become invalid.
void TResultModel::ApplyOrder(std::vector<std::uint32_t> shown) {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::int32_t> rowOf(data_.GroupCount(), -1);
    for (std::size_t row = 0; row < shown.size(); ++row)
        rowOf[shown[row]] = static_cast<std::int32_t>(row);
    // Every row a persistent index keeps (a selection, a find position) stays given to the view.
    std::size_t exposed = std::min(std::max(exposed_, kSlice), shown.size());
    for (const QModelIndex& old : before) {
        const std::int32_t row = rowOf[GroupOf(old)];
        if (row >= 0)
            exposed = std::max(exposed, static_cast<std::size_t>(row) + 1);
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        const std::size_t group = GroupOf(old);
        if (rowOf[group] < 0)
            after << QModelIndex();
        else if (IsGroup(old))
            after << createIndex(rowOf[group], old.column(), kGroupRow);
        else
            after << old;
    }
    identity_ = false;
    shown_ = std::move(shown);
    rowOf_ = std::move(rowOf);
    exposed_ = exposed;
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QModelIndex TResultModel::FindNext(const QModelIndex& from, const QString& pattern, bool down) {
    const QByteArray folded = TResultData::Folded(pattern);
    if (folded.isEmpty() || folded.contains('\0') || ShownCount() == 0)
        return {};
    const QByteArrayMatcher matcher(folded);
    // A place is (row of the group, file or -1 for the group row itself).
    std::int64_t row = 0;
    std::int64_t file = -1;
    bool examineFirst = true;
    if (from.isValid()) {
        if (IsGroup(from)) {
            row = from.row();
        } else {
            row = from.parent().row();
            file = from.row();
        }
        examineFirst = false;
    } else if (!down) {
        return data_.NodeHolds(matcher, GroupAt(0), -1) ? index(0, 0) : QModelIndex();
    }
    const auto filesOf = [this](std::int64_t r) {
        return static_cast<std::int64_t>(
            data_.Group(GroupAt(static_cast<std::size_t>(r))).Files.size());
    };
    const auto rows = static_cast<std::int64_t>(ShownCount());
    for (;;) {
        if (!examineFirst) {
            if (down) {
                if (++file >= filesOf(row)) {
                    if (++row >= rows)
                        return {};
                    file = -1;
                }
            } else if (--file < -1) {
                if (--row < 0)
                    return {};
                file = filesOf(row) - 1;
            }
        }
        examineFirst = false;
        if (data_.NodeHolds(matcher, GroupAt(static_cast<std::size_t>(row)),
                            static_cast<int>(file))) {
            Expose(static_cast<int>(row));
            const QModelIndex group = index(static_cast<int>(row), 0);
            return file < 0 ? group : index(static_cast<int>(file), 0, group);
        }
    }
}

} // namespace parvex
