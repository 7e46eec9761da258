#pragma once

#include <QSize>
#include <initializer_list>

class QBoxLayout;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;

namespace parvex {

/// A sunken frame around one word-wrapped plain-text label, in a scroll area.
struct TFramedText {
    QFrame* Frame = nullptr;
    QLabel* Label = nullptr;
    QScrollArea* Scroll = nullptr;
};

/// Builds the framed text area of a message-style dialog, `textSize` big. The label breaks lines
/// at blanks (inside a word only when the word alone is too wide, as a long path is), centres
/// text that fits, and shows text that does not fit from its beginning.
TFramedText MakeFramedText(QWidget* parent, const QSize& textSize);

/// Shows `text` in the area: `least` big when it fits there, else as wide as it needs up to
/// `most`'s width and with every line; the area shows up to `most`'s height of it and scrolls
/// the rest (then the keyboard can reach it, after `last` in the tab order).
void PutFramedText(const TFramedText& area, const QString& text, const QSize& least,
                   const QSize& most, QWidget* last);

/// The size the label's text needs to show whole: `least` when it fits there, else wider (up
/// to `most`'s width) until it fits `least`'s height, then as high as it needs up to `most`'s.
QSize FittingTextSize(const QLabel& label, const QSize& least, const QSize& most);

/// The room for the text of a message-style dialog with buttons like `button` below it: the room
/// the screen leaves for the dialog (ClientRoom) less the frame, the margins and the buttons.
QSize TextRoom(const QWidget& dialog, const QWidget& button);

/// A row of buttons aligned to the right, as the platform's dialogs place them.
QBoxLayout* MakeButtonRow(std::initializer_list<QPushButton*> buttons);

} // namespace parvex
