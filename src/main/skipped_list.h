#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace parvex {

class TSkippedLog;

/// The list of what the last search could not read: each path with its reason.
class TSkippedList : public QDialog {
    Q_OBJECT
public:
    explicit TSkippedList(QWidget* parent = nullptr);

    /// Fills the list from the log (the kept entries; the summary gives the whole count).
    void Fill(const TSkippedLog& Log);
    /// Fills the list and shows it modally until the user closes it.
    void ShowLog(const TSkippedLog& Log);

    QLabel* Label_summary = nullptr;
    QTreeWidget* LV_entries = nullptr;
    QPushButton* CloseBtn = nullptr;
};

} // namespace parvex
