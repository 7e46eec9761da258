#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace parvex::test {

/// Runs `act` on the modal dialog as soon as it is open (a test's way to answer an exec()).
inline void WhenModalOpens(std::function<void(QDialog&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start();
}

/// The widget that receives the keyboard in `dialog`, or the dialog itself.
inline QWidget& KeyTarget(QDialog& dialog) {
    QWidget* focus = dialog.focusWidget();
    return focus ? *focus : dialog;
}

} // namespace parvex::test
