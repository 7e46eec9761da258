#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace parvex {

class TBulkRun;

/// The report at the end of a bulk command: how many files were done, the space freed, and
/// each file skipped with its reason. Modeless, so it can stay open beside the result.
class TBulkReport : public QDialog {
    Q_OBJECT
public:
    explicit TBulkReport(QWidget* parent = nullptr);

    /// Shows what `run` did under the title `what`; `stopped` when the user stopped it.
    void ShowRun(const QString& what, const TBulkRun& run, bool stopped);
    /// The summary line shown.
    QString Summary() const;
    /// The lines of the skipped files shown, one per file.
    QString Details() const;

private:
    QLabel* summary_ = nullptr;
    QPlainTextEdit* details_ = nullptr;
};

} // namespace parvex
