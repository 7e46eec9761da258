#include "main/bulk_report.h"

#include "dialogs/file_group_info.h"
#include "dialogs/screen_area.h"
#include "file_actions/action_run.h"
#include "file_actions/file_outcomes.h"
#include "main/counted_text.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace parvex {

namespace {

QString Decoded(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QString LogErrorText(const std::string& error) {
    return error.empty()
               ? QString()
               : QStringLiteral("\nThe actions log could not be written: %1").arg(Decoded(error));
}

} // namespace

TBulkReport::TBulkReport(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Report"));
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    summary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    details_ = new QPlainTextEdit(this);
    details_->setReadOnly(true);
    details_->setLineWrapMode(QPlainTextEdit::NoWrap);
    details_->setAccessibleName(QStringLiteral("Files skipped"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(details_, 1);
    layout->addWidget(buttons);
}

void TBulkReport::ShowRun(const QString& what, const TActionRun& run,
                          const std::vector<TFileOutcome>& files, std::size_t left) {
    const QLocale locale;
    QStringList lines;
    std::size_t done = 0;
    std::size_t freedNothing = 0;
    for (const TFileOutcome& file : files) {
        if (!file.Done.empty()) {
            ++done;
            freedNothing += file.NamesOutside ? 1 : 0;
        }
        // The other names a command took with the file, and each name that stays with why.
        if (file.Done.size() > 1) {
            QStringList others;
            for (std::size_t n = 1; n < file.Done.size(); ++n)
                others << Decoded(file.Done[n]);
            lines << QStringLiteral("%1: its other names went with it: %2")
                         .arg(Decoded(file.Done.front()), others.join(QStringLiteral(", ")));
        }
        for (const TActionOutcome& name : file.NotDone)
            lines << QStringLiteral("%1: %2").arg(Decoded(name.Name),
                                                  QString::fromStdString(name.Reason));
    }
    QString text = QStringLiteral("%1: %2 done, %3 skipped, %4 freed.")
                       .arg(what, locale.toString(static_cast<qulonglong>(done)),
                            locale.toString(static_cast<qulonglong>(files.size() - done)),
                            SizeText(run.BytesFreed(), locale));
    if (freedNothing > 0)
        text += QStringLiteral(" %1 files done have names outside the search and freed nothing.")
                    .arg(locale.toString(static_cast<qulonglong>(freedNothing)));
    if (left > 0)
        text += left == 1 ? QStringLiteral(" Stopped: 1 marked file was left as it is.")
                          : QStringLiteral(" Stopped: %1 marked files were left as they are.")
                                .arg(locale.toString(static_cast<qulonglong>(left)));
    ShowTexts(text + LogErrorText(run.LogError()), lines);
}

void TBulkReport::ShowSharing(const QString& what, const TActionRun& run, bool stopped) {
    const QLocale locale;
    QStringList lines;
    for (const TActionOutcome& outcome : run.Outcomes()) {
        if (!outcome.Done)
            lines << QStringLiteral("%1: %2").arg(Decoded(outcome.Name),
                                                  QString::fromStdString(outcome.Reason));
    }
    QString text =
        QStringLiteral("%1: %2 done, %3 skipped, %4 now shared with the copies that stay. The "
                       "space freed may be less: snapshots and other files may still hold the "
                       "same storage.")
            .arg(what, locale.toString(static_cast<qulonglong>(run.DoneCount())),
                 locale.toString(static_cast<qulonglong>(run.SkippedCount())),
                 SizeText(run.BytesShared(), locale));
    if (stopped)
        text += QStringLiteral(" Stopped: %1 left as they are.")
                    .arg(CountedText(run.Total() - run.Outcomes().size(),
                                     QStringLiteral("marked file was"),
                                     QStringLiteral("marked files were")));
    ShowTexts(text + LogErrorText(run.LogError()), lines);
}

void TBulkReport::ShowTexts(const QString& text, const QStringList& lines) {
    summary_->setText(text);
    details_->setPlainText(lines.join(QLatin1Char('\n')));
    details_->setVisible(!lines.isEmpty());
    // The list of skipped files gets room; a report without one is just its summary.
    if (lines.isEmpty()) {
        summary_->setMinimumWidth(fontMetrics().averageCharWidth() * 80);
        adjustSize();
    } else {
        resize(std::max(width(), 640), std::max(height(), 360));
    }
    FitIntoAvailableArea(*this);
    show();
    raise();
    activateWindow();
}

QString TBulkReport::Summary() const {
    return summary_->text();
}

QString TBulkReport::Details() const {
    return details_->toPlainText();
}

} // namespace parvex
