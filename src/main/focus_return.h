#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace parvex {

/// Gives the keyboard back after a command: on leaving its scope, unless another window of the
/// program took over (a modeless dialog the command opened, or one already open that became
/// active), the window becomes active again and the widget that had the focus gets it back, or
/// `fallback` when that one can no longer take it.
class TFocusReturn {
public:
    TFocusReturn(QWidget& window, QWidget& fallback);
    ~TFocusReturn();
    TFocusReturn(const TFocusReturn&) = delete;
    TFocusReturn& operator=(const TFocusReturn&) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> fallback_;
    QPointer<QWidget> had_;
    // The windows shown when the command began.
    QList<QWidget*> shownBefore_;
};

} // namespace parvex
