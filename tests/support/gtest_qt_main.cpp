// Test entry: widget tests need a QApplication; they run on the offscreen platform.
#include "support/PrivateSettings.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Tests never touch the user's stored settings, also those that do not ask for a store.
    const QTemporaryDir settingsDir;
    UsePrivateSettingsStore(settingsDir);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
