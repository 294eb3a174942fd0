#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// No test may touch the user's own settings: the whole run works in a folder of its own.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
