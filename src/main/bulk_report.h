#pragma once

#include <QDialog>
#include <cstddef>
#include <vector>

class QLabel;
class QPlainTextEdit;

namespace parvex {

class TActionRun;
struct TFileOutcome;

/// The report at the end of a bulk command: how many files were done, the space freed, and
/// each file skipped with its reason. Modeless, so it can stay open beside the result.
class TBulkReport : public QDialog {
    Q_OBJECT
public:
    explicit TBulkReport(QWidget* parent = nullptr);

    /// Shows what `run` did, file by file (`files`, OutcomesByFile), under the title `what`;
    /// `left` files were not reached because the user stopped the run.
    void ShowRun(const QString& what, const TActionRun& run, const std::vector<TFileOutcome>& files,
                 std::size_t left);
    /// Shows what a run sharing storage did: the bytes now shared, never space freed, since
    /// what it frees depends on what else holds the same storage.
    void ShowSharing(const QString& what, const TActionRun& run, bool stopped);
    /// The summary line shown.
    QString Summary() const;
    /// The lines of the skipped files shown, one per file.
    QString Details() const;

private:
    void ShowTexts(const QString& summary, const QStringList& lines);
    QLabel* summary_ = nullptr;
    QPlainTextEdit* details_ = nullptr;
};

} // namespace parvex
