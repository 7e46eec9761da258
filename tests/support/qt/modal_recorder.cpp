#include "support/qt/modal_recorder.h"

#include "dialogs/file_group_info.h"
#include "dialogs/msg.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>

namespace parvex::testing {

TModalRecorder::TModalRecorder() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &TModalRecorder::Poll);
    timer_.start();
}

void TModalRecorder::Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible())
        return;
    if (auto* message = qobject_cast<TDmsg*>(modal)) {
        Shown.push_back(QStringLiteral("msg: ") + message->Label1->text());
        message->accept();
    } else if (auto* info = qobject_cast<TD_file_group_info*>(modal)) {
        Shown.push_back(QStringLiteral("group info: %1 | %2")
                            .arg(info->Label_files_number->text(), info->Label_used_size->text()));
        info->accept();
    } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        Shown.push_back(
            QStringLiteral("save: %1 | %2")
                .arg(files->windowTitle(), QFileInfo(files->selectedFiles().value(0)).fileName()));
        files->reject();
    }
}

} // namespace parvex::testing
