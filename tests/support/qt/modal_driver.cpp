#include "support/qt/modal_driver.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace parvex::testing {

namespace {

// Runs `act` on the first open modal dialog that is not `skipped`.
void WhenModalOpensOtherThan(const QDialog* skipped, std::function<void(QDialog&)> act,
                             std::chrono::milliseconds timeout) {
    // The poll owns the deadline, so ending the poll ends both timers.
    auto* poll = new QTimer;
    auto* deadline = new QTimer(poll);
    const auto stop = [poll, deadline] {
        deadline->stop();
        poll->stop();
        poll->deleteLater();
    };
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [stop, skipped, act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog == skipped)
            return;
        stop();
        act(*dialog);
    });
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, poll, [stop, timeout] {
        stop();
        ADD_FAILURE() << "no modal dialog opened within " << timeout.count() << " ms";
    });
    deadline->start(timeout);
    poll->start();
}

} // namespace

void WhenModalOpens(std::function<void(QDialog&)> act, std::chrono::milliseconds timeout) {
    WhenModalOpensOtherThan(nullptr, std::move(act), timeout);
}

void WhenModalOpensOver(const QDialog& opener, std::function<void(QDialog&)> act,
                        std::chrono::milliseconds timeout) {
    WhenModalOpensOtherThan(&opener, std::move(act), timeout);
}

bool ActivateAgain(QWidget& window, std::chrono::milliseconds timeout) {
    return QTest::qWaitFor(
        [&window] {
            // A dialog that closed hands activation on through queued events; deciding before
            // they are through would see a state that is about to change.
            QCoreApplication::processEvents();
            if (QApplication::activeWindow() != &window)
                window.activateWindow();
            return QApplication::activeWindow() == &window &&
                   QApplication::activeModalWidget() == nullptr;
        },
        static_cast<int>(timeout.count()));
}

QWidget& KeyTarget(QDialog& dialog) {
    QWidget* focus = dialog.focusWidget();
    return focus ? *focus : dialog;
}

} // namespace parvex::testing
