#include "TestRun.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // The widgets need an application; the tests run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return izuzez::test::RunAllTests();
}
