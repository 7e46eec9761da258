#include "main/focus_return.h"

#include <QApplication>

namespace parvex {

namespace {

// The windows of the program on the screen: dialogs and main windows, not menus or tooltips.
QList<QWidget*> ShownWindows() {
    QList<QWidget*> shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (widget->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            shown << widget;
    }
    return shown;
}

bool CanTakeFocus(const QWidget* widget) {
    return widget != nullptr && widget->isVisible() && widget->isEnabled() &&
           widget->focusPolicy() != Qt::NoFocus;
}

} // namespace

TFocusReturn::TFocusReturn(QWidget& window, QWidget& fallback)
    : window_(&window), fallback_(&fallback), had_(window.focusWidget()),
      shownBefore_(ShownWindows()) {}

TFocusReturn::~TFocusReturn() {
    if (window_ == nullptr || !window_->isVisible())
        return;
    // A dialog or a window of the program that is still open keeps what it was given.
    const QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active != window_)
        return;
    for (QWidget* shown : ShownWindows()) {
        if (!shownBefore_.contains(shown))
            return;
    }
    QWidget* target = CanTakeFocus(had_) ? had_.data() : fallback_.data();
    if (!CanTakeFocus(target))
        return;
    window_->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
}

} // namespace parvex
