#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// No test may touch the user's own settings: the whole run works in a folder of its own.
int main(int argc, char** argv)
{
    // Dialogs are tested too, and test discovery runs without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
