#include "main/result_file_dialog.h"

#include "dialogs/screen_area.h"

#include <QFileDialog>

namespace parvex {

QString AskResultFile(QWidget& parent, bool save) {
    QFileDialog dialog(
        &parent, save ? QStringLiteral("Save result") : QStringLiteral("Open result"), QString(),
        QStringLiteral("Parvex results (*.parvex.json *.json);;All files (*)"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A name without an extension gets the one that file managers know as a Parvex result.
    dialog.setDefaultSuffix(QStringLiteral("parvex.json"));
    if (save)
        dialog.selectFile(QStringLiteral("result.parvex.json"));
    FitIntoAvailableArea(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace parvex
