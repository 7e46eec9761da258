#pragma once

#include <QSize>
#include <initializer_list>

class QBoxLayout;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace parvex {

/// A sunken frame around one fixed-size, word-wrapped plain-text label.
struct TFramedText {
    QFrame* Frame = nullptr;
    QLabel* Label = nullptr;
};

/// Builds the framed text area of a message-style dialog. The label never grows with its text:
/// it breaks lines at blanks (inside a word only when the word alone is too wide, as a long
/// path is), centres text that fits, and shows text that does not fit from its beginning.
TFramedText MakeFramedText(QWidget* parent, const QSize& textSize);

/// The size the label's text needs to show whole: `least` when it fits there, else wider (up
/// to `most`'s width) until it fits `least`'s height, then as high as it needs up to `most`'s.
QSize FittingTextSize(const QLabel& label, const QSize& least, const QSize& most);

/// A row of buttons aligned to the right, as the platform's dialogs place them.
QBoxLayout* MakeButtonRow(std::initializer_list<QPushButton*> buttons);

} // namespace parvex
