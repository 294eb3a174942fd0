#include "device/Rapi.h"

#include <chrono>

#include <QDir>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "testing.h"

namespace {

class DeviceTest : public ::testing::Test, public TTempDevice {
protected:
    explicit DeviceTest(const char* library = MARIVEL_RAPI_FULL)
        : TTempDevice(library)
    {
    }

    static std::string Read(const QString& devicePath)
    {
        TMemoryStream stream;
        ReadRemoteFile(devicePath, stream);
        return stream.Bytes();
    }

    static QStringList Maps(bool namesOnly)
    {
        QStringList maps { "left over" };
        GetTomTomMaps(maps, namesOnly);
        return maps;
    }
};

const QString ConnectError = "Unable to initialize connection to remote device. Please check "
                             "the device is properly connected, ActiveSync is installed and "
                             "active and that the device is ActiveSync compatible";

TEST_F(DeviceTest, FilesAreMatchedWithoutRegardToCase)
{
    Put("My Documents/Poi.ov2", "ov2 bytes");
    Put("My Documents/empty.asc", "");
    InitRapi();
    EXPECT_TRUE(RapiConnected());
    EXPECT_TRUE(RemoteFileExists("\\my documents\\POI.OV2"));
    EXPECT_FALSE(RemoteFileExists("\\My Documents\\other.ov2"));
    EXPECT_EQ(Read("\\MY DOCUMENTS\\poi.ov2"), "ov2 bytes");
    EXPECT_EQ(Read("\\My Documents\\empty.asc"), "") << "an empty file is no error";

    WriteRemoteFile("\\my documents\\new.asc", "written");
    EXPECT_EQ(Get("My Documents/new.asc"), "written") << "lands in the existing folder";
    WriteRemoteFile("\\My Documents\\POI.ov2", "short");
    EXPECT_EQ(Get("My Documents/Poi.ov2"), "short") << "replaces the file, keeps its name";

    const QString local = Local("local.ov2");
    Put("local.ov2", "copied");
    CopyFileToDevice(local, "\\Copy.ov2");
    EXPECT_EQ(Get("Copy.ov2"), "copied");
}

TEST_F(DeviceTest, FileFailuresNameThePath)
{
    EXPECT_EQ(ErrorOf<EUserError>([] { Read("\\My Documents\\missing.ov2"); }),
        "Could not open remote file \\My Documents\\missing.ov2");
    EXPECT_EQ(ErrorOf([] { WriteRemoteFile("\\No Folder\\a.ov2", "x"); }),
        "Could not create remote file \\No Folder\\a.ov2");
    EXPECT_FALSE(QFileInfo::exists(Local("No Folder")));
    Put("../outside.ov2", "not on the device");
    EXPECT_EQ(ErrorOf<EUserError>([] { Read("\\..\\outside.ov2"); }),
        "Could not open remote file \\..\\outside.ov2");
    QFile::remove(Local("../outside.ov2"));
    Put("Folder/a.ov2", "");
    EXPECT_EQ(ErrorOf<EUserError>([] { Read("\\Folder"); }), "Could not open remote file \\Folder");
    EXPECT_EQ(ErrorOf<EUserError>([&] { CopyFileToDevice(Local("gone.ov2"), "\\a.ov2"); }),
        "File " + Local("gone.ov2") + " not found");
}

TEST_F(DeviceTest, FoldersListTheirEntries)
{
    Put("SD Card/b.ov2", "");
    Put("SD Card/Maps/x", "");
    InitRapi();
    QStringList entries;
    EnumRemoteFolder("\\sd card\\",
        [&](const QString& name, bool isFolder) { entries.append(name + (isFolder ? "/" : "")); });
    EXPECT_EQ(entries, QStringList({ "Maps/", "b.ov2" }));

    entries.clear();
    EnumRemoteFolder("\\Nowhere\\", [&](const QString& name, bool) { entries.append(name); });
    EXPECT_TRUE(entries.isEmpty());
}

TEST_F(DeviceTest, SpecialFolders)
{
    InitRapi();
    EXPECT_EQ(GetRemoteSpecialFolder(17), "\\");
    EXPECT_EQ(GetRemoteSpecialFolder(5), "\\My Documents");
    EXPECT_EQ(GetRemoteSpecialFolder(38), "\\Program Files");
    EXPECT_EQ(GetRemoteSpecialFolder(1234), "");
}

TEST_F(DeviceTest, TomTomMapsComeFromTheRegistryThenTheCards)
{
    InitRapi();
    bool created = false;
    TRemoteKey key =
        CreateRemoteKey(RemoteCurrentUser, "Software\\TomTom\\TomTom Navigator\\Maps", created);
    EXPECT_TRUE(created);
    SetRemoteString(key, "LastMap", "\\SD Card\\Europe-map");
    SetRemoteString(key, "Benelux", "\\Storage Card\\Benelux");
    CloseRemoteKey(key);
    CloseRemoteKey(
        CreateRemoteKey(RemoteCurrentUser, "software\\tomtom\\tomtom navigator\\maps", created));
    EXPECT_FALSE(created) << "the key exists, whatever the letter case";

    Put("SD Card/Europe-map/europe.pna", "");
    Put("SD Card/Photos/a.jpg", "");
    Put("SD Card/file-map", ""); // a file, not a map folder
    Put("CF Card/France-MAP/france.pna", "");
    EXPECT_EQ(Maps(false),
        QStringList({ "\\Storage Card\\Benelux=Benelux", "\\SD Card\\Europe-map=Europe-map",
            "\\CF Card\\France-MAP=France-MAP" }));
    EXPECT_EQ(Maps(true), QStringList({ "Benelux", "Europe-map", "France-MAP" }));

    Put("SD Card/Later-map/x", "");
    EXPECT_EQ(Maps(true).size(), 3) << "kept for as long as the connection";
    DoneRapi();
    EXPECT_EQ(Maps(true).size(), 4);
}

TEST_F(DeviceTest, NoMapsWithoutMapFolders)
{
    InitRapi();
    bool created = false;
    TRemoteKey key =
        CreateRemoteKey(RemoteCurrentUser, "Software\\TomTom\\TomTom Navigator\\Maps", created);
    SetRemoteString(key, "LastMap", "\\SD Card\\Europe-map");
    CloseRemoteKey(key);
    Put("SD Card/Photos/a.jpg", "");
    EXPECT_EQ(Maps(false), QStringList());
}

TEST_F(DeviceTest, RegistryStringsKeepAtMost255Characters)
{
    InitRapi();
    bool created = false;
    TRemoteKey key =
        CreateRemoteKey(RemoteCurrentUser, "Software\\TomTom\\TomTom Navigator\\Maps", created);
    SetRemoteString(key, "Long", QString(300, 'x'));
    CloseRemoteKey(key);
    EXPECT_EQ(Maps(false), QStringList({ QString(255, 'x') + "=Long" }));
}

TEST_F(DeviceTest, WithoutADeviceTheConnectionFails)
{
    qunsetenv("MARIVEL_DEVICE_ROOT");
    EXPECT_EQ(ErrorOf<EInitRapi>([] { InitRapi(); }), ConnectError);
    EXPECT_FALSE(RapiConnected());
    qputenv("MARIVEL_DEVICE_ROOT", Local("not there").toLocal8Bit());
    EXPECT_EQ(ErrorOf<EInitRapi>([] { WriteRemoteFile("\\a.ov2", "x"); }), ConnectError);
    qputenv("MARIVEL_DEVICE_ROOT", Path().toLocal8Bit());
    EXPECT_NO_THROW(WriteRemoteFile("\\a.ov2", "x")) << "the next operation tries again";
}

TEST_F(DeviceTest, ASlowDeviceTimesOutAfterFourSeconds)
{
    qputenv("MARIVEL_RAPI_CONNECT_DELAY_MS", "6000");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(ErrorOf<EInitRapi>([] { InitRapi(); }), ConnectError);
    EXPECT_GE(timer.elapsed(), 3900);
    EXPECT_LT(timer.elapsed(), 5500);
    EXPECT_FALSE(RapiConnected());
    qputenv("MARIVEL_RAPI_CONNECT_DELAY_MS", "50");
    EXPECT_NO_THROW(InitRapi()) << "a device that answers in time connects";
    qunsetenv("MARIVEL_RAPI_CONNECT_DELAY_MS");
}

TEST_F(DeviceTest, ARepluggedDeviceIsReconnectedWithoutAMessage)
{
    Put("a.ov2", "first device");
    EXPECT_EQ(Read("\\a.ov2"), "first device");
    const QString away = Path() + "-away";
    ASSERT_TRUE(QDir().rename(Path(), away));
    Put("a.ov2", "second device"); // a new folder in the old one's place
    EXPECT_EQ(Read("\\a.ov2"), "second device");
    EXPECT_TRUE(RapiConnected());

    ASSERT_TRUE(QDir(Path()).removeRecursively());
    EXPECT_EQ(ErrorOf<EInitRapi>([] { Read("\\a.ov2"); }), ConnectError) << "unplugged";
    EXPECT_FALSE(RapiConnected());
    QDir(away).removeRecursively();
}

class OldDeviceLibraryTest : public DeviceTest {
protected:
    OldDeviceLibraryTest()
        : DeviceTest(MARIVEL_RAPI_PARTIAL)
    {
    }
};

// This library lacks the version probe, the folder listing and the special folders.
TEST_F(OldDeviceLibraryTest, MissingEntryPointsFallBack)
{
    Put("SD Card/Europe-map/x", "");
    WriteRemoteFile("\\a.ov2", "bytes");
    EXPECT_EQ(Read("\\a.ov2"), "bytes") << "a failing probe only reconnects";
    int entries = 0;
    EnumRemoteFolder("\\SD Card\\", [&](const QString&, bool) { ++entries; });
    EXPECT_EQ(entries, 0);
    EXPECT_EQ(Maps(false), QStringList());
    EXPECT_EQ(
        ErrorOf([] { GetRemoteSpecialFolder(5); }), "CeGetSpecialFolderPath function not loaded");
}

TEST(DeviceLibrary, AMissingLibraryIsNamed)
{
    qputenv("MARIVEL_RAPI_LIBRARY", "/nonexistent/librapi");
    EXPECT_EQ(ErrorOf<EUserError>([] { InitRapi(); }),
        "Remote API library not found, make sure you have ActiveSync installed");
    EXPECT_EQ(ErrorOf<EUserError>([] { WriteRemoteFile("\\a.ov2", "x"); }),
        "Remote API library not found, make sure you have ActiveSync installed");
    EXPECT_EQ(ErrorOf([] { GetRemoteSpecialFolder(5); }), "Rapi not loaded");
}

} // namespace
