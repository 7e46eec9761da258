#include "dialogs/framed_text.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace parvex {

TFramedText MakeFramedText(QWidget* parent, const QSize& textSize) {
    TFramedText area;
    area.Frame = new QFrame(parent);
    area.Frame->setFrameShape(QFrame::StyledPanel);
    area.Frame->setFrameShadow(QFrame::Sunken);

    area.Label = new QLabel(area.Frame);
    // Plain text: a folder name such as "<b>" is shown as typed, and "\n" breaks the line.
    area.Label->setTextFormat(Qt::PlainText);
    area.Label->setWordWrap(true);
    area.Label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    area.Label->setFixedSize(textSize);

    auto* layout = new QHBoxLayout(area.Frame);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(area.Label);
    return area;
}

QBoxLayout* MakeButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace parvex
