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
    /// Like Ask, but the dialog grows (up to two thirds of the screen) until the whole question
    /// shows, long paths included; with noIsDefault, Enter answers "No".
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
    bool Put(const QString& question, const QSize& textSize, QPushButton* defaultButton);

    QSize textSize_;
};

} // namespace parvex
