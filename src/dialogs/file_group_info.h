#pragma once

#include <QDialog>
#include <cstdint>

class QFrame;
class QLabel;
class QLocale;
class QPushButton;
class QTreeWidgetItem;

namespace parvex {

/// The size text of a group: bytes up to 1000, then "Kb" and "Mb" of 1000 and 1000000 bytes.
QString GroupSizeText(std::int64_t bytes, const QLocale& locale);

/// The "File group info" dialog: how many files a result group holds and the space they use.
class TD_file_group_info : public QDialog {
    Q_OBJECT
public:
    explicit TD_file_group_info(QWidget* parent = nullptr);

    /// Measures the group's files on disk and shows the numbers modally; ignores a null group.
    void ShowGroupInfo(QTreeWidgetItem* group);
    /// Sums into TotalSize the sizes of the files under GroupNode that are on disk, measured
    /// without opening them.
    void SumGroupSizes();

    /// The group node being shown.
    QTreeWidgetItem* GroupNode = nullptr;
    /// The number of file nodes directly under GroupNode.
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
