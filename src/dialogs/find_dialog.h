#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace parvex {

/// The modeless "Search in found" dialog: the text, Up or Down, and Find Next.
class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget* parent = nullptr);

    /// Shows the dialog (or raises it when it is open) with its text selected for typing.
    void Execute();
    /// The text the user asked to find, as typed.
    QString FindText() const;
    /// True when the search runs down the tree, false when up.
    bool SearchDown() const;

    QLabel* Label_text = nullptr;
    QLineEdit* Edit_text = nullptr;
    QGroupBox* GroupBox_direction = nullptr;
    QRadioButton* RB_up = nullptr;
    QRadioButton* RB_down = nullptr;
    QPushButton* Btn_find_next = nullptr;
    QPushButton* Btn_cancel = nullptr;

Q_SIGNALS:
    /// Raised by each press of Find Next (and by Enter).
    void Find();
};

} // namespace parvex
