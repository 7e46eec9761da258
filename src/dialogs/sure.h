#pragma once

#include "dialogs/framed_text.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace parvex {

/// The program's shared yes/no question dialog ("Confirmation:").
class TFsure : public QDialog {
    Q_OBJECT
public:
    explicit TFsure(QWidget* parent = nullptr);

    /// Shows the question modally; true only when the user answered "Yes". A question longer
    /// than the design's text area widens the area, then scrolls within the room the screen has.
    virtual bool Ask(const QString& question);
    /// Like Ask; with noIsDefault, Enter answers "No".
    virtual bool AskInFull(const QString& question, bool noIsDefault);
    /// Records the "Yes" answer and closes the dialog (the Yes button's handler).
    void OKBtnClick();

    /// The answer to the current question.
    bool Confirmed = false;

    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    bool Put(const QString& question, QPushButton* defaultButton);

    TFramedText area_;
};

} // namespace parvex
