#pragma once

#include <QDialog>
#include <QPersistentModelIndex>
#include <cstdint>

class QFrame;
class QLabel;
class QLocale;
class QPushButton;

namespace parvex {

/// The size text of a group: bytes up to 1000, then "Kb" and "Mb" of 1000 and 1000000 bytes.
QString GroupSizeText(std::int64_t bytes, const QLocale& locale);
/// The size text of the result's columns: GroupSizeText's up to 1000 Mb, then "Gb" of 10^9 bytes.
QString SizeText(std::int64_t bytes, const QLocale& locale);

/// The "File group info" dialog: how many files a result group holds and the space they use.
class TD_file_group_info : public QDialog {
    Q_OBJECT
public:
    explicit TD_file_group_info(QWidget* parent = nullptr);

    /// Measures the files of a group row (the rows below it, each with its exact path bytes in
    /// Qt::UserRole) on disk and shows the numbers modally; ignores an invalid index.
    void ShowGroupInfo(const QModelIndex& group);
    /// Sums into TotalSize the sizes of the files under GroupNode that are on disk, measured
    /// without opening them.
    void SumGroupSizes();

    /// The group row being shown.
    QPersistentModelIndex GroupNode;
    /// The number of file rows directly under GroupNode.
    int FileCount = 0;
    /// The sum of the sizes, in bytes, of those files.
    std::int64_t TotalSize = 0;

    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label_files_number = nullptr;
    QLabel* Label_used_size = nullptr;
    QPushButton* OKBtn = nullptr;
};

} // namespace parvex
