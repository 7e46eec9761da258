#pragma once

#include "dialogs/framed_text.h"

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

    /// Shows the message modally and returns the dialog's result once it closes. A message longer
    /// than the design's text area widens the area, then scrolls within the room the screen has.
    int ShowText(const QString& text);

    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OKBtn = nullptr;

private:
    TFramedText area_;
};

} // namespace parvex
