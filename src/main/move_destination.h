#pragma once

#include <QString>

class QFileDialog;

namespace parvex {

/// Shows the save dialog as the Move command's question: the title, the file's own folder with
/// its name proposed, an accept button reading "Move", and wide enough (up to two thirds of
/// the screen) for a long title. The chosen full path; empty when the user cancelled.
QString AskMoveDestination(QFileDialog& dialog, const QString& title, const QString& folder,
                           const QString& fileName);

} // namespace parvex
