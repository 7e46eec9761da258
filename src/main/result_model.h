#pragma once

#include "file_actions/mark_rules.h"
#include "main/reported_facts.h"
#include "main/result_data.h"

#include <QAbstractItemModel>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace parvex {

/// Why no command acts on a file of an opened result that is missing or changed.
QString StaleRefusal(TFileState state);

/// The result tree's model: group rows at the top level, the files of a group below. Rows stand
/// for the groups and files of a TResultData; the model adds their order (by a column, or the
/// default one) and a filter that shows a group whole when one of its paths holds a text. The
/// view is given the group rows in slices (canFetchMore, fetchMore), so that a result of
/// hundreds of thousands of groups appears without a long pause.
class TResultModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum TColumn { ColumnPath, ColumnSize, ColumnModified, ColumnFiles, ColumnWasted, ColumnCount };
    /// The exact path bytes of a file row (the name bytes of a group row).
    static constexpr int PathRole = Qt::UserRole;

    explicit TResultModel(QObject* parent = nullptr);

    /// Takes a new result, shown in its default order and unfiltered; wastedKnown says whether
    /// the wasted space means anything (size and content were both compared).
    void SetResult(TResultData data, bool wastedKnown);
    /// Shows no result.
    void Clear();
    /// The result shown.
    const TResultData& Result() const { return data_; }
    /// Whether the Wasted column shows numbers.
    bool WastedKnown() const { return wastedKnown_; }

    /// Shows only the groups with a path that holds `text` without regard to case; an empty
    /// text shows every group.
    void SetFilter(const QString& text);
    /// The filter text in force.
    const QString& Filter() const { return filter_; }

    /// True for a group row.
    static bool IsGroup(const QModelIndex& index);
    /// The exact path bytes of a file row; empty for anything else.
    QByteArray PathOf(const QModelIndex& index) const;
    /// Whether a file row's file is as found, missing or changed; AsFound for anything else.
    TFileState StateOf(const QModelIndex& index) const;
    /// The exact paths of the files of `file`'s group other than `file` itself.
    std::vector<std::string> OtherPathsOf(const QModelIndex& file) const;
    /// The other names of a file row's inode the search found; empty for anything else.
    std::vector<std::string> OtherNamesOf(const QModelIndex& file) const;
    /// Takes a file row out of the result.
    void RemoveFile(const QModelIndex& file);
    /// Takes files out of the result, each named by its group's place in the result and its
    /// found rank there.
    void RemoveFiles(std::vector<std::pair<std::size_t, std::uint32_t>> files);

    /// Shows files as sharing storage with the copy that stays, unmarked: they stay in the
    /// tree and no longer count in their group's wasted space.
    void ShowSharing(const std::vector<TSharingFile>& files);

    /// A marking rule: it changes the marks of one group's files (the group's place in the
    /// result given), and says whether the first copy found had to stay unmarked.
    using TMarkRule = std::function<bool(std::vector<TMarkable>& files, std::size_t group)>;
    /// Runs a rule on every group, shown or hidden; files for which `isProtected` holds are
    /// never marked. The number of groups whose first copy had to stay unmarked.
    std::size_t ApplyMarkRule(const TMarkRule& rule,
                              const std::function<bool(const QByteArray& path)>& isProtected);
    /// Marks in every group the files that a plan by keep rules acts on (MakeActionPlan), so
    /// that the copy it keeps and the protected ones stay unmarked: the files parvex-cli acts on
    /// with the same rules and protected folders. Files not as found are never marked. The
    /// number of groups whose first copy had to stay unmarked.
    std::size_t MarkByKeepRules(std::vector<TKeepRule> rules,
                                std::vector<std::string> protectedFolders);
    /// The number of marked files in groups the filter hides.
    std::size_t MarkedHidden() const;
    /// The next row after `from` (down) or before it (up), groups and files in display order,
    /// whose text holds `pattern` without regard to case; from an invalid index the first row
    /// is examined first. Invalid when no row matches.
    /// A row the view has not been given yet is handed to it first.
    QModelIndex FindNext(const QModelIndex& from, const QString& pattern, bool down);
    /// Hands the view every group row up to `row` of the display order.
    void Expose(int row);
    /// How many group rows the view is given at first and with each further slice.
    static constexpr std::size_t kSlice = 2000;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    /// File rows can be dragged; a group row cannot.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// A drag carries files as text/uri-list and their paths as text.
    QStringList mimeTypes() const override;
    /// The files of the file rows among `indexes`, each once.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    /// Copy and Link only: a move by drag would go around the checks that keep the last copy
    /// of a group.
    Qt::DropActions supportedDragActions() const override;
    /// A file's mark (Qt::CheckStateRole); marking the last unmarked file of a group is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

Q_SIGNALS:
    /// Some file's mark changed.
    void MarksChanged();
    /// A mark set by hand was refused; the text says why.
    void MarkRefused(const QString& reason);

private:
    std::size_t GroupOf(const QModelIndex& index) const;
    std::size_t ShownCount() const;
    std::size_t GroupAt(std::size_t row) const;
    std::int32_t RowOfGroup(std::size_t group) const;
    QVariant GroupData(std::size_t group, int column, int role) const;
    QVariant FileData(std::size_t group, std::size_t file, int column, int role) const;
    // The path of the copy a file shares its storage with; empty when it shares none or that
    // copy left the result.
    QString SharedCopyOf(std::size_t group, const TResultFile& file) const;
    void Arrange();
    void ApplyOrder(std::vector<std::uint32_t> shown);

    TResultData data_;
    bool wastedKnown_ = false;
    QString filter_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    // The groups shown, by their place in data_, in display order; and for each group of data_
    // its row, or -1 while the filter hides it. In the default order without a filter (identity_)
    // both are left empty: a new result then needs no allocation of its own here.
    bool identity_ = true;
    std::vector<std::uint32_t> shown_;
    std::vector<std::int32_t> rowOf_;
    // The view lays out every top-level row it is given at once, so it gets the groups in
    // slices: the first ones at once, the rest as it scrolls towards them or a command needs
    // them.
    std::size_t exposed_ = 0;
};

} // namespace parvex
