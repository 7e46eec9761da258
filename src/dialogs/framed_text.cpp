#include "dialogs/framed_text.h"

#include "dialogs/screen_area.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace parvex {

namespace {

QString ShownText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return shown;
}

// Lays the text out in lines of `width`, breaking at blanks and, for a word wider than a line
// (a path), anywhere; returns the height of the lines.
qreal LayOutLines(QTextLayout& layout, int width, qreal leading) {
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height() + leading;
    }
    layout.endLayout();
    return height;
}

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
        QTextLayout layout(ShownText(text()), font());
        layout.setCacheEnabled(true);
        const qreal height = LayOutLines(layout, room.width(), fontMetrics().leading());

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

    // Text longer than the room scrolls inside the frame.
    area.Scroll = new QScrollArea(area.Frame);
    area.Scroll->setFrameShape(QFrame::NoFrame);
    area.Scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area.Scroll->setFocusPolicy(Qt::NoFocus);
    area.Scroll->setAccessibleName(QStringLiteral("Text"));
    // Plain text: a folder name such as "<b>" is shown as typed, and "\n" breaks the line.
    area.Label = new TWrappingLabel(area.Scroll);
    area.Label->setFixedSize(textSize);
    area.Scroll->setWidget(area.Label);
    area.Scroll->setFixedSize(textSize);

    auto* layout = new QHBoxLayout(area.Frame);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(area.Scroll);
    return area;
}

void PutFramedText(const TFramedText& area, const QString& text, const QSize& least,
                   const QSize& most, QWidget* last) {
    area.Label->setText(text);
    const QSize bounded = most.expandedTo(QSize(1, 1));
    const QSize whole = FittingTextSize(*area.Label, least.boundedTo(bounded),
                                        QSize(bounded.width(), QWIDGETSIZE_MAX));
    area.Label->setFixedSize(whole);
    const bool scrolls = whole.height() > bounded.height();
    const int bar = scrolls ? area.Scroll->verticalScrollBar()->sizeHint().width() : 0;
    area.Scroll->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn
                                                    : Qt::ScrollBarAlwaysOff);
    area.Scroll->setFixedSize(whole.width() + bar, std::min(whole.height(), bounded.height()));
    area.Scroll->verticalScrollBar()->setValue(0);
    area.Scroll->setFocusPolicy(scrolls ? Qt::StrongFocus : Qt::NoFocus);
    if (scrolls && last != nullptr)
        QWidget::setTabOrder(last, area.Scroll);
}

QSize FittingTextSize(const QLabel& label, const QSize& least, const QSize& most) {
    QTextLayout layout(ShownText(label.text()), label.font());
    const qreal leading = label.fontMetrics().leading();
    const int step = std::max(1, label.fontMetrics().averageCharWidth() * 4);
    int width = least.width();
    int height = 0;
    for (;;) {
        height = static_cast<int>(std::ceil(LayOutLines(layout, width, leading)));
        if (height <= least.height() || width >= most.width())
            break;
        width = std::min(most.width(), width + step);
    }
    return {width, std::clamp(height, least.height(), std::max(least.height(), most.height()))};
}

QSize TextRoom(const QWidget& dialog, const QWidget& button) {
    // The dialog's and the frame's margins on both sides, the frame's border, the scroll bar's
    // allowance and the gap above the buttons.
    const QSize around(2 * (11 + 8 + 2), 2 * (11 + 8 + 2) + 6);
    return (ClientRoom(dialog) - around - QSize(0, button.sizeHint().height()))
        .expandedTo(QSize(1, 1));
}

QBoxLayout* MakeButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace parvex
