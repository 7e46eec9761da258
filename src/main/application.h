#pragma once

#include <QApplication>
#include <functional>

namespace parvex {

/// The application object, known to the desktop as org.parvex.Parvex; an exception escaping a
/// command is shown and the event loop goes on.
class TParvexApplication : public QApplication {
    Q_OBJECT
public:
    TParvexApplication(int& argc, char** argv);

    /// Shows the message of an error that escaped a command; a message box unless replaced.
    std::function<void(const QString& message)> ShowError;

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace parvex
