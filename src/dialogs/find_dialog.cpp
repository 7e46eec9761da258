#include "dialogs/find_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace parvex {

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Search in found"));
    setModal(false);

    Label_text = new QLabel(QStringLiteral("Fi&nd what:"), this);
    Edit_text = new QLineEdit(this);
    Edit_text->setMinimumWidth(220);
    Label_text->setBuddy(Edit_text);

    GroupBox_direction = new QGroupBox(QStringLiteral("Direction"), this);
    RB_up = new QRadioButton(QStringLiteral("&Up"), GroupBox_direction);
    RB_down = new QRadioButton(QStringLiteral("&Down"), GroupBox_direction);
    RB_down->setChecked(true);
    auto* directions = new QHBoxLayout(GroupBox_direction);
    directions->addWidget(RB_up);
    directions->addWidget(RB_down);

    Btn_find_next = new QPushButton(QStringLiteral("&Find Next"), this);
    Btn_find_next->setDefault(true);
    Btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Btn_find_next);
    buttons->addWidget(Btn_cancel);
    buttons->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Label_text, 0, 0);
    layout->addWidget(Edit_text, 0, 1);
    layout->addWidget(GroupBox_direction, 1, 1, Qt::AlignRight);
    layout->addLayout(buttons, 0, 2, 2, 1);

    // Find Next leaves the dialog open so that the user can step from match to match.
    connect(Btn_find_next, &QPushButton::clicked, this, &TFindDialog::Find);
    // Cancel and Escape only hide the dialog: its text and direction wait for the next use.
    connect(Btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFindDialog::Execute() {
    show();
    raise();
    activateWindow();
    Edit_text->setFocus();
    Edit_text->selectAll();
}

QString TFindDialog::FindText() const {
    return Edit_text->text();
}

bool TFindDialog::SearchDown() const {
    return RB_down->isChecked();
}

} // namespace parvex
