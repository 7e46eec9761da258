#include "main/application.h"

#include <QMessageBox>
#include <exception>

namespace parvex {

TParvexApplication::TParvexApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The desktop entry's name without ".desktop": the desktop matches the window with it.
    setDesktopFileName(QStringLiteral("org.parvex.Parvex"));
    ShowError = [](const QString& message) {
        QMessageBox::critical(activeWindow(), QStringLiteral("Parvex"), message);
    };
}

bool TParvexApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowError(QStringLiteral("Unknown error"));
    }
    return false;
}

} // namespace parvex
