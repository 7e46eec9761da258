#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace parvex {

/// The program's shared short-message dialog ("Message:").
class TDmsg : public QDialog {
    Q_OBJECT
public:
    explicit TDmsg(QWidget* parent = nullptr);

    /// Shows the message modally and returns the dialog's result once it closes.
    int ShowText(const QString& text);

    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OKBtn = nullptr;
};

} // namespace parvex
