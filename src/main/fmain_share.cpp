// "Share storage of marked files...": the marked copies share the storage of the copy of their
// group that stays, on file systems that can (Btrfs, XFS with reflink). Nothing is deleted.
#include "dialogs/sure.h"
#include "main/bulk_report.h"
#include "main/fmain.h"
#include "main/result_model.h"
#include "main/share_command.h"
#include "platform/actions_log.h"

#include <QAction>
#include <QMenu>

namespace parvex {

void TFmain::BuildShareCommand() {
    M_Share = new QAction(QStringLiteral("Share storage of marked files..."), MarkMenu);
    M_Share->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    MarkMenu->addAction(M_Share);
    connect(M_Share, &QAction::triggered, this,
            [this] { RunCommand([this] { ShareStorageOfMarked(); }); });
}

void TFmain::UpdateShareCommand(bool usable, const QString& tip) {
    const bool canShare = usable && AnyMarkedCanShare(ResultModel->Result());
    M_Share->setEnabled(canShare);
    M_Share->setToolTip(
        canShare ? M_Share->text()
        : usable ? QStringLiteral("None of the marked files is on a file system that can share "
                                  "storage (Btrfs, or XFS made with reflink).")
        : tip.isEmpty() ? M_Share->text()
                        : tip);
}

void TFmain::ShareStorageOfMarked() {
    if (!M_Share->isEnabled() || Dialogs.Fsure == nullptr)
        return;
    TShareCommand command(ResultModel->Result(), ProtectedFolders());
    if (!OutsideConfirmed(command.MarkedPaths()) ||
        !Dialogs.Fsure->AskInFull(command.Question(), true))
        return;

    command.Start(ActionsLogFile.empty() ? TActionsLog::DefaultPath() : ActionsLogFile);
    const QString what = QStringLiteral("Sharing the storage of the marked files");
    const bool stopped = RunInSlices(
        what, command.Total(), [&command] { return command.Step(); },
        [&command] { return command.Handled(); });

    ResultModel->ShowSharing(command.SharingFiles(ResultModel->Result()));
    ShowSummary();
    ShowMarks();
    UpdateCommands();
    if (BulkReport == nullptr)
        BulkReport = new TBulkReport(this);
    BulkReport->ShowSharing(what, command.Run(), stopped);
}

} // namespace parvex
