// Every test program runs inside a QApplication (offscreen), so widgets can be driven headless.
#include "shell/program_layers.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // The model reaches the graphics, the solver and the stations as in the program.
    InstallProgramLayers();
    return RUN_ALL_TESTS();
}
