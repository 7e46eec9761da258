#include "main/move_destination.h"

#include <QFileDialog>
#include <QScreen>
#include <algorithm>

namespace parvex {

QString AskMoveDestination(QFileDialog& dialog, const QString& title, const QString& folder,
                           const QString& fileName) {
    dialog.setWindowTitle(title);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Move"));
    dialog.setDirectory(folder);
    dialog.selectFile(fileName);
    // The title names the whole source path; the dialog widens for it as far as the screen
    // allows, and the file name field shows the whole proposed name.
    if (const QScreen* screen = dialog.screen()) {
        const int most = screen->availableGeometry().width() * 2 / 3;
        const int wanted = dialog.fontMetrics().horizontalAdvance(title) + 120;
        dialog.resize(std::clamp(wanted, dialog.width(), std::max(dialog.width(), most)),
                      dialog.height());
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace parvex
