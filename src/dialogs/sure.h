#pragma once

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

    /// Shows the question modally; true only when the user answered "Yes".
    virtual bool Ask(const QString& question);
    /// Records the "Yes" answer and closes the dialog (the Yes button's handler).
    void OKBtnClick();

    /// The answer to the current question.
    bool Confirmed = false;

    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};

} // namespace parvex
