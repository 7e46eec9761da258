#include "dialogs/msg.h"

#include "dialogs/framed_text.h"
#include "dialogs/screen_area.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvex {

namespace {

// The text area of the design.
constexpr QSize kTextSize(309, 99);

} // namespace

TDmsg::TDmsg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Message:"));

    area_ = MakeFramedText(this, kTextSize);
    Bevel1 = area_.Frame;
    Label1 = area_.Label;

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Bevel1);
    layout->addLayout(MakeButtonRow({OKBtn}));

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

int TDmsg::ShowText(const QString& text) {
    PutFramedText(area_, text, kTextSize, TextRoom(*this, *OKBtn), OKBtn);
    FitIntoAvailableArea(*this);
    OKBtn->setFocus();
    return exec();
}

} // namespace parvex
