#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The editor's tests show windows, off screen, and like every test work in folders of their
// own rather than the user's.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    QTemporaryDir home;
    qputenv("MARIVEL_HOME", home.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
