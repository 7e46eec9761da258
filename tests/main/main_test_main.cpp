// Entry point of the main window tests: the program's own application object, so that the
// top-level error handler is in place as it is in the program.
#include "main/application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    parvex::TParvexApplication app(argc, argv);
    // Tests close windows of their own; the test program ends when its tests have run.
    app.setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
