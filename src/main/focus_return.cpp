#include "main/focus_return.h"

#include <QApplication>

namespace parvex {

namespace {

bool CanTakeFocus(const QWidget* widget) {
    return widget != nullptr && widget->isVisible() && widget->isEnabled() &&
           widget->focusPolicy() != Qt::NoFocus;
}

} // namespace

TFocusReturn::TFocusReturn(QWidget& window, QWidget& fallback)
    : window_(&window), fallback_(&fallback), had_(window.focusWidget()) {}

TFocusReturn::~TFocusReturn() {
    if (window_ == nullptr || !window_->isVisible())
        return;
    // A dialog or a window of the program that is still open keeps what it was given.
    const QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active != window_)
        return;
    QWidget* target = CanTakeFocus(had_) ? had_.data() : fallback_.data();
    if (!CanTakeFocus(target))
        return;
    window_->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
}

} // namespace parvex
