#include "dialogs/sure.h"

#include "dialogs/framed_text.h"
#include "dialogs/screen_area.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvex {

namespace {

// The text area of the design.
constexpr QSize kTextSize(274, 99);

} // namespace

TFsure::TFsure(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Confirmation:"));

    area_ = MakeFramedText(this, kTextSize);
    Bevel1 = area_.Frame;
    Label1 = area_.Label;

    OKBtn = new QPushButton(QStringLiteral("Yes"), this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("No"), this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Bevel1);
    layout->addLayout(MakeButtonRow({OKBtn, CancelBtn}));
    setTabOrder(OKBtn, CancelBtn);

    connect(OKBtn, &QPushButton::clicked, this, &TFsure::OKBtnClick);
    // Escape and the close box reject the dialog too, so they answer No the same way.
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFsure::Ask(const QString& question) {
    return Put(question, OKBtn);
}

bool TFsure::AskInFull(const QString& question, bool noIsDefault) {
    return Put(question, noIsDefault ? CancelBtn : OKBtn);
}

bool TFsure::Put(const QString& question, QPushButton* defaultButton) {
    Confirmed = false;
    PutFramedText(area_, question, kTextSize, TextRoom(*this, *OKBtn), CancelBtn);
    OKBtn->setDefault(defaultButton == OKBtn);
    CancelBtn->setDefault(defaultButton == CancelBtn);
    FitIntoAvailableArea(*this);
    defaultButton->setFocus();
    exec();
    return Confirmed;
}

void TFsure::OKBtnClick() {
    Confirmed = true;
    accept();
}

} // namespace parvex
