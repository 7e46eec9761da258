#include "dialogs/sure.h"

#include "dialogs/framed_text.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace parvex {

TFsure::TFsure(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Confirmation:"));

    textSize_ = QSize(274, 99);
    const TFramedText area = MakeFramedText(this, textSize_);
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
    return Put(question, textSize_, OKBtn);
}

bool TFsure::AskInFull(const QString& question, bool noIsDefault) {
    const QWidget* over = parentWidget() != nullptr ? parentWidget() : this;
    QSize most = textSize_;
    if (const QScreen* screen = over->screen())
        most = screen->availableGeometry().size() * 2 / 3;
    // Room for the frame and the buttons around the text.
    most -= QSize(40, 80);
    Label1->setText(question);
    return Put(question, FittingTextSize(*Label1, textSize_, most.expandedTo(textSize_)),
               noIsDefault ? CancelBtn : OKBtn);
}

bool TFsure::Put(const QString& question, const QSize& textSize, QPushButton* defaultButton) {
    Confirmed = false;
    Label1->setText(question);
    Label1->setFixedSize(textSize);
    OKBtn->setDefault(defaultButton == OKBtn);
    CancelBtn->setDefault(defaultButton == CancelBtn);
    defaultButton->setFocus();
    exec();
    return Confirmed;
}

void TFsure::OKBtnClick() {
    Confirmed = true;
    accept();
}

} // namespace parvex
