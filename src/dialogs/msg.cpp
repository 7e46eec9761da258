#include "dialogs/msg.h"

#include "dialogs/framed_text.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvex {

TDmsg::TDmsg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Message:"));

    const TFramedText area = MakeFramedText(this, QSize(309, 99));
    Bevel1 = area.Frame;
    Label1 = area.Label;

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Bevel1);
    layout->addLayout(MakeButtonRow({OKBtn}));

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

int TDmsg::ShowText(const QString& text) {
    Label1->setText(text);
    OKBtn->setFocus();
    return exec();
}

} // namespace parvex
