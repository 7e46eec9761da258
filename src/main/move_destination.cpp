#include "main/move_destination.h"

#include "dialogs/framed_text.h"
#include "dialogs/screen_area.h"

#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <algorithm>
#include <optional>

namespace parvex {
namespace {

const QString kSourceName = QStringLiteral("moveSource");

// The title bar cuts a long path off, so the dialog shows the question once more inside,
// wrapped wherever the path needs, where its file name is always seen.
std::optional<TFramedText> QuestionArea(QFileDialog& dialog) {
    if (auto* label = dialog.findChild<QLabel*>(kSourceName)) {
        TFramedText area;
        area.Label = label;
        area.Scroll = dialog.findChild<QScrollArea*>(kSourceName);
        return area;
    }
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid == nullptr)
        return std::nullopt;
    const TFramedText area = MakeFramedText(&dialog, QSize(1, 1));
    area.Label->setObjectName(kSourceName);
    area.Scroll->setObjectName(kSourceName);
    grid->addWidget(area.Frame, grid->rowCount(), 0, 1, grid->columnCount());
    return area;
}

} // namespace

QString AskMoveDestination(QFileDialog& dialog, const QString& title, const QString& folder,
                           const QString& fileName) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(title);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Move"));
    dialog.setDirectory(folder);
    dialog.selectFile(fileName);
    QSize screen(1280, 800);
    if (const QScreen* shown = dialog.screen())
        screen = shown->availableGeometry().size();
    // Wide enough for the title where the screen allows, never wider than two thirds of it.
    const int wanted = dialog.fontMetrics().horizontalAdvance(title) + 120;
    dialog.resize(
        std::clamp(wanted, dialog.width(), std::max(dialog.width(), screen.width() * 2 / 3)),
        dialog.height());
    if (const std::optional<TFramedText> question = QuestionArea(dialog)) {
        const int width = dialog.width() - 60;
        PutFramedText(*question, title, QSize(width, question->Label->fontMetrics().lineSpacing()),
                      QSize(width, screen.height() / 3), nullptr);
    }
    FitIntoAvailableArea(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace parvex
