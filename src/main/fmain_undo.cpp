// Undo last action: the newest run not yet undone, of the window or parvex-cli, put back after
// one question, with a report of what came back and what was skipped and why.
#include "main/fmain.h"
#include "main/result_model.h"
#include "main/status_field.h"
#include "main/undo_texts.h"
#include "run_journal/run_list.h"
#include "run_journal/runs_folder.h"

#include <QMessageBox>
#include <exception>

namespace parvex {

void TFmain::UndoLastActionClick() {
    if (!N_UndoLastAction->isEnabled())
        return;
    std::optional<TRunSummary> newest;
    TUndoReport report;
    try {
        newest = NewestRunToUndo(ListRuns(RunsFolder()));
        if (!newest) {
            ShowText(QStringLiteral("There is no action to undo."));
            return;
        }
        if (!Ask(UndoQuestion(*newest)))
            return;
        report = UndoRun(RunsFolder(), newest->Id);
    } catch (const std::exception& error) {
        ShowText(QStringLiteral("The journal of the action cannot be used: %1")
                     .arg(QString::fromLocal8Bit(error.what())));
        return;
    }
    if (UndoReport == nullptr) {
        UndoReport = new QMessageBox(QMessageBox::Information, QStringLiteral("Undo"), {},
                                     QMessageBox::Close, this);
        UndoReport->setModal(false);
    }
    UndoReport->setText(UndoSummary(report));
    UndoReport->setDetailedText(UndoDetails(report));
    UndoReport->show();
    // Names put back are not in the result any more: it says so until the next result.
    if (report.PutBackCount() > 0 && HasResults()) {
        StatusOutOfDate->Show(QStringLiteral("Out of date: files were put back"));
        StatusOutOfDate->show();
    }
}

} // namespace parvex
