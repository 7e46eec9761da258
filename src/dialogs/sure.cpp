#include "dialogs/sure.h"

#include "dialogs/framed_text.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvex {

TFsure::TFsure(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Confirmation:"));

    const TFramedText area = MakeFramedText(this, QSize(274, 99));
    Bevel1 = area.Frame;
    Label1 = area.Label;

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
    Confirmed = false;
    Label1->setText(question);
    OKBtn->setFocus();
    exec();
    return Confirmed;
}

void TFsure::OKBtnClick() {
    Confirmed = true;
    accept();
}

} // namespace parvex
