#include "sites/uDeviceConnect.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "testing.h"

TEST(UpdateOnConnect, AutostartEntryFollowsTheOption)
{
    QTemporaryDir config;
    const TEnvironment xdg("XDG_CONFIG_HOME", config.path());
    const QString entry = config.filePath("autostart/marivel.desktop");
    EXPECT_EQ(AutostartFile(), entry);
    EXPECT_FALSE(UpdateOnConnectEnabled());

    SetUpdateOnConnect(true, QStringLiteral("/opt/my apps/marivel"));
    EXPECT_TRUE(UpdateOnConnectEnabled());
    const std::string text = FileBytes(entry);
    EXPECT_NE(text.find("\nExec=\"/opt/my apps/marivel\" --tray\n"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);

    SetUpdateOnConnect(false, QString());
    EXPECT_FALSE(UpdateOnConnectEnabled());
    EXPECT_TRUE(QDir(config.filePath("autostart")).isEmpty()) << "no file left behind";
    SetUpdateOnConnect(false, QString()); // off twice is no failure
}

TEST(UpdateOnConnect, MediaRootsFromTheEnvironmentOrTheUsersFolders)
{
    {
        const TEnvironment roots("MARIVEL_MEDIA_ROOTS", QStringLiteral("/a::/b"));
        EXPECT_EQ(MediaRoots(), QStringList({ "/a", "/b" }));
    }
    const TEnvironment noRoots("MARIVEL_MEDIA_ROOTS", QString());
    const TEnvironment user("USER", QStringLiteral("ann"));
    EXPECT_EQ(MediaRoots(), QStringList({ "/media/ann", "/run/media/ann" }));
}

TEST(DeviceWatcher, ReportsOnlyVolumesThatAppearAfterItStarted)
{
    QTemporaryDir media;
    QTemporaryDir other;
    QDir(media.path()).mkdir("OLDCARD");
    const QString device = other.filePath("navigator");
    TDeviceWatcher watcher({ media.path(), other.filePath("missing-root") }, device);
    QSignalSpy connected(&watcher, &TDeviceWatcher::DeviceConnected);

    watcher.Check();
    EXPECT_EQ(connected.count(), 0) << "a card there at start is no new connection";

    QDir(media.path()).mkdir("TOMTOM");
    watcher.Check();
    ASSERT_EQ(connected.count(), 1);
    EXPECT_EQ(connected.takeFirst().at(0).toString(), media.filePath("TOMTOM"));
    watcher.Check();
    EXPECT_EQ(connected.count(), 0) << "reported once";

    QDir(media.path()).rmdir("TOMTOM");
    watcher.Check();
    QDir(media.path()).mkdir("TOMTOM");
    QDir().mkdir(device);
    watcher.Check();
    EXPECT_EQ(connected.count(), 2) << "unplugged and plugged again, and the device folder";
}

TEST(DeviceWatcher, NoticesANewVolumeByItself)
{
    QTemporaryDir media;
    TDeviceWatcher watcher({ media.path() }, QString());
    QSignalSpy connected(&watcher, &TDeviceWatcher::DeviceConnected);
    QDir(media.path()).mkdir("CARD");
    EXPECT_TRUE(connected.wait(5000));
}
