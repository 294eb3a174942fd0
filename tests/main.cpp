#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// No test may touch the user's own settings, cache or program folder: the whole run works in
// folders of its own.
int main(int argc, char** argv)
{
    // Dialogs are tested too, and test discovery runs without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    qputenv("MARIVEL_RAPI_LIBRARY", MARIVEL_RAPI_FULL); // the tests live apart from the programs
    QTemporaryDir media; // no navigator the user has mounted stands for the device
    qputenv("MARIVEL_MEDIA_ROOTS", media.path().toLocal8Bit());
    QTemporaryDir home;
    qputenv("MARIVEL_HOME", home.path().toLocal8Bit());
    // Nor a plugin or map the user installed, nor the world maps installed on the machine.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    qputenv("MARIVEL_WORLD_PICTURES", data.path().toLocal8Bit());
    // Nor the internet: the web map asks a port where nobody listens.
    qputenv("MARIVEL_TILE_URL", "http://127.0.0.1:9/{z}/{x}/{y}.png");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
