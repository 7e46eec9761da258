#include "main/application.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace parvex {
namespace {

class TThrowingObject : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw std::runtime_error("no space left on device");
        if (event->type() == QEvent::User + 1)
            throw 42;
        return QObject::event(event);
    }
};

TEST(TParvexApplication, NamesTheDesktopEntryThatIsInstalled) {
    // The desktop matches the window with org.parvex.Parvex.desktop by this name.
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.parvex.Parvex"));
}

TEST(TParvexApplication, ShowsTheMessageOfAnEscapingErrorAndKeepsTheLoopRunning) {
    auto* application = static_cast<TParvexApplication*>(QCoreApplication::instance());
    std::vector<QString> shown;
    const auto previous = application->ShowError;
    application->ShowError = [&](const QString& message) { shown.push_back(message); };

    TThrowingObject thrower;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&thrower, new QEvent(static_cast<QEvent::Type>(QEvent::User + 1)));
    bool laterEventRan = false;
    QTimer::singleShot(0, &thrower, [&] { laterEventRan = true; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    application->ShowError = previous;

    EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("no space left on device"),
                                           QStringLiteral("Unknown error")}));
    EXPECT_TRUE(laterEventRan);
}

} // namespace
} // namespace parvex
