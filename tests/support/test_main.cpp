// Test entry point: a Qt application object of the folder's level around GoogleTest.
#include <gtest/gtest.h>

#if defined(SORVEL_TEST_WIDGETS)
#include <QApplication>

#include "support/linked_features.h"
using TestApp = QApplication;
#elif defined(SORVEL_TEST_GUI)
#include <QGuiApplication>
using TestApp = QGuiApplication;
#else
#include <QCoreApplication>
using TestApp = QCoreApplication;
#endif

#include <QTemporaryDir>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The desktop's configuration (the autostart folder) is a private one, never the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    TestApp app(argc, argv);
#if defined(SORVEL_TEST_WIDGETS)
    sorvel::testing::provideLinkedFeatures();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
