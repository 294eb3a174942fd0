#include "sites/uDeviceConnect.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "testing.h"

TEST(DeviceWatcher, WatchesTheMediaRootsForVolumesThatAppearAfterItStartedAndNoticesThemByItself)
{
    {
        const TEnvironment roots("MARIVEL_MEDIA_ROOTS", QStringLiteral("/a::/b"));
        EXPECT_EQ(MediaRoots(), QStringList({ "/a", "/b" }));
    }
    const TEnvironment noRoots("MARIVEL_MEDIA_ROOTS", QString());
    const TEnvironment user("USER", QStringLiteral("ann"));
    EXPECT_EQ(MediaRoots(), QStringList({ "/media/ann", "/run/media/ann" }));

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

    QDir(media.path()).mkdir("CARD");
    EXPECT_TRUE(connected.wait(5000)) << "noticed without being asked";
}
