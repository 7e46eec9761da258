// Entry point of every widget test: the program's own application object, so that the
// top-level error handler is in place as it is in the program.
#include "main/application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    parvex::TParvexApplication app(argc, argv);
    // Tests close windows of their own; the test program ends when its tests have run.
    app.setQuitOnLastWindowClosed(false);
    // An error that escapes a command fails the running test instead of waiting in a message
    // box; tests of the handler itself install their own.
    app.ShowError = [](const QString& message) {
        ADD_FAILURE() << "an error escaped a command: " << message.toStdString();
    };
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
