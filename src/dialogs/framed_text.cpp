#include "dialogs/framed_text.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextLayout>

namespace parvex {

namespace {

// QLabel's own word wrap cuts a word that is wider than the label, so a long folder path
// would lose its end; this label lays its plain text out itself with a wrap that falls back
// to breaking inside such a word.
class TWrappingLabel : public QLabel {
public:
    explicit TWrappingLabel(QWidget* parent) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const QRect room = contentsRect();
        QString shown = text();
        shown.replace(QLatin1Char('\n'), QChar::LineSeparator);

        QTextOption option(Qt::AlignLeft);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        QTextLayout layout(shown, font());
        layout.setTextOption(option);
        layout.setCacheEnabled(true);
        const qreal leading = fontMetrics().leading();
        qreal height = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(room.width());
            line.setPosition(QPointF(0, height));
            height += line.height() + leading;
        }
        layout.endLayout();

        const qreal top = height <= room.height() ? (room.height() - height) / 2 : 0;
        QPainter painter(this);
        painter.setClipRect(room);
        painter.setPen(palette().color(foregroundRole()));
        layout.draw(&painter, QPointF(room.left(), room.top() + top));
    }
};

} // namespace

TFramedText MakeFramedText(QWidget* parent, const QSize& textSize) {
    TFramedText area;
    area.Frame = new QFrame(parent);
    area.Frame->setFrameShape(QFrame::StyledPanel);
    area.Frame->setFrameShadow(QFrame::Sunken);

    // Plain text: a folder name such as "<b>" is shown as typed, and "\n" breaks the line.
    area.Label = new TWrappingLabel(area.Frame);
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
