#include "device/Rapi.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLibrary>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "rapi/ceapi.h"
#include "testing.h"

namespace {

std::string Read(const QString& devicePath)
{
    TMemoryStream stream;
    ReadRemoteFile(devicePath, stream);
    return stream.Bytes();
}

QStringList Maps(bool namesOnly)
{
    QStringList maps { "left over" };
    GetTomTomMaps(maps, namesOnly);
    return maps;
}

QStringList Entries(const QString& folder)
{
    QStringList entries;
    EnumRemoteFolder(folder, [&](const QString& name, bool) { entries.append(name); });
    return entries;
}

// An entry point of the library itself, for what the program does not call directly.
template <typename F> F* EntryPoint(const char* name)
{
    return reinterpret_cast<F*>(QLibrary(MARIVEL_RAPI_FULL).resolve(name));
}

class DeviceTest : public ::testing::Test, public TTempDevice { };

const QString ConnectError =
    "No device found%1. Connect and mount the navigator or its memory card, or choose the "
    "folder that stands for the device in Tools > Preferences > General > "
    "Device Folder";

// Names are matched without regard to case: the write lands in the existing folder and keeps the
// file's name.
TEST_F(DeviceTest, AWriteReplacesTheFileWholeAndFailuresNameThePath)
{
    Put("My Documents/poi.ov2", "old");
    Put("My Documents/poi.ov2.~marivel-" + QString::number(EndedProcessId()) + "-7.tmp", "killed");
    WriteRemoteFile("\\my documents\\POI.OV2", "new content");
    EXPECT_EQ(Read("\\MY DOCUMENTS\\poi.ov2"), "new content");
    EXPECT_EQ(Entries("\\My Documents\\"), QStringList({ "poi.ov2" }))
        << "nothing left beside it, also not what a killed write left";
    EXPECT_EQ(ErrorOf([] { WriteRemoteFile("\\My Documents", "x"); }),
        "Could not create remote file \\My Documents")
        << "a folder is not replaced";
    EXPECT_EQ(ErrorOf([] { WriteRemoteFile("\\No Folder\\a.ov2", "x"); }),
        "Could not create remote file \\No Folder\\a.ov2");
    EXPECT_FALSE(QFileInfo::exists(Local("No Folder"))) << "no folder is made";
    EXPECT_EQ(ErrorOf<EUserError>([] { Read("\\My Documents"); }),
        "Could not open remote file \\My Documents");

    // The device's own move never replaces a file, which is why the write steps around it.
    using TMove = Ce::BOOL(const Ce::WCHAR*, const Ce::WCHAR*);
    auto* move = EntryPoint<TMove>("CeMoveFile");
    auto* lastError = EntryPoint<Ce::DWORD()>("CeGetLastError");
    ASSERT_TRUE(move && lastError);
    Put("My Documents/other.ov2", "other");
    EXPECT_FALSE(move(u"\\My Documents\\other.ov2", u"\\My Documents\\POI.ov2"));
    EXPECT_EQ(lastError(), Ce::ErrorAlreadyExists);
    EXPECT_EQ(Get("My Documents/poi.ov2"), "new content");
    EXPECT_TRUE(move(u"\\My Documents\\other.ov2", u"\\moved.ov2"));
    EXPECT_EQ(Get("moved.ov2"), "other");
    EXPECT_FALSE(move(u"\\My Documents\\other.ov2", u"\\again.ov2"));
    EXPECT_EQ(lastError(), Ce::ErrorFileNotFound);
}

TEST_F(DeviceTest, PathsStayInsideTheDeviceFolder)
{
    // A sibling whose name begins with the device folder's, as "NAV-backup" beside "NAV".
    QTemporaryDir outside(Path() + "-backup");
    const QString outsideName = QFileInfo(outside.path()).fileName();
    const QString secret = "../" + outsideName + "/secret.ov2";
    Put(secret, "secret");
    QFile::link(outside.path(), Local("Outside"));
    QFile::link(Local(secret), Local("secret.ov2"));
    Put("My Documents/a.ov2", "inside");
    QFile::link(Local("My Documents/a.ov2"), Local("alias.ov2"));
    InitRapi();

    for (const QString& path : { QString("\\/etc\\passwd"), QString("\\Outside\\secret.ov2"),
             QString("\\secret.ov2"), "\\My Documents/../..\\" + outsideName + "\\secret.ov2" }) {
        EXPECT_FALSE(RemoteFileExists(path)) << path.toStdString();
        EXPECT_EQ(ErrorOf<EUserError>([&] { Read(path); }), "Could not open remote file " + path);
        EXPECT_NE(ErrorOf([&] { WriteRemoteFile(path, "written"); }), "no error");
    }
    EXPECT_NE(ErrorOf([&] { WriteRemoteFile("\\Outside\\new.ov2", "x"); }), "no error");
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files), QStringList({ "secret.ov2" }));
    EXPECT_EQ(Entries("\\Outside\\"), QStringList());
    EXPECT_EQ(Entries("\\"), QStringList({ "My Documents", "alias.ov2" }));

    using TPathCall = Ce::BOOL(const Ce::WCHAR*);
    using TTwoPathCall = Ce::BOOL(const Ce::WCHAR*, const Ce::WCHAR*);
    EXPECT_FALSE(EntryPoint<TPathCall>("CeDeleteFile")(u"\\Outside\\secret.ov2"));
    EXPECT_FALSE(EntryPoint<Ce::BOOL(const Ce::WCHAR*, void*)>("CeCreateDirectory")(
        u"\\..\\escaped", nullptr));
    EXPECT_FALSE(EntryPoint<Ce::BOOL(const Ce::WCHAR*, const Ce::WCHAR*, Ce::BOOL)>("CeCopyFile")(
        u"\\My Documents\\a.ov2", u"\\Outside\\copy.ov2", false));
    EXPECT_FALSE(EntryPoint<TTwoPathCall>("CeMoveFile")(u"\\Outside\\secret.ov2", u"\\got.ov2"));
    EXPECT_EQ(EntryPoint<Ce::DWORD()>("CeGetLastError")(), Ce::ErrorPathNotFound);
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files), QStringList({ "secret.ov2" }));
    EXPECT_EQ(Get(secret), "secret");

    EXPECT_EQ(Read("\\alias.ov2"), "inside") << "a link that stays inside is followed";
    EXPECT_EQ(Read("\\My Documents\\..\\My Documents/a.ov2"), "inside");
}

TEST_F(DeviceTest, APipeIsNoFileAndDoesNotBlock)
{
    ASSERT_EQ(mkfifo(Local("pipe.ov2").toLocal8Bit().constData(), 0644), 0);
    EXPECT_EQ(
        ErrorOf<EUserError>([] { Read("\\pipe.ov2"); }), "Could not open remote file \\pipe.ov2");
    WriteRemoteFile("\\pipe.ov2", "a file now");
    EXPECT_EQ(Get("pipe.ov2"), "a file now");
    Put("empty.asc", "");
    EXPECT_EQ(Read("\\empty.asc"), "") << "an empty file is no error";
}

// The last map used is no map of its own, nor a card folder without a map.
TEST_F(DeviceTest, TomTomMapsComeFromTheRegistryThenTheCards)
{
    InitRapi();
    bool created = false;
    CloseRemoteKey(
        CreateRemoteKey(RemoteCurrentUser, "Software\\TomTom\\TomTom Navigator\\Maps", created));
    EXPECT_TRUE(created);
    SetMap("LastMap", "\\SD Card\\Europe-map");
    SetMap("Benelux", "\\Storage Card\\Benelux");
    SetMap("France", "\\CF Card\\France-MAP"); // listed again as the card's
    SetMap("Long", QString(300, 'x')); // a registry string keeps at most 255 characters
    CloseRemoteKey(
        CreateRemoteKey(RemoteCurrentUser, "software\\tomtom\\tomtom navigator\\maps", created));
    EXPECT_FALSE(created) << "the key exists, whatever the letter case";

    Put("SD Card/Europe-map/europe.pna", "");
    Put("SD Card/Photos/a.jpg", "");
    Put("SD Card/file-map", ""); // a file, not a map folder
    Put("CF Card/France-MAP/france.pna", "");
    EXPECT_EQ(Maps(false),
        QStringList({ "\\Storage Card\\Benelux=Benelux", "\\CF Card\\France-MAP=France",
            QString(255, 'x') + "=Long", "\\SD Card\\Europe-map=Europe-map",
            "\\CF Card\\France-MAP=France-MAP" }));
    EXPECT_EQ(Maps(true), QStringList({ "Benelux", "France", "Long", "Europe-map", "France-MAP" }));
    EXPECT_EQ(GetRemoteSpecialFolder(38), "\\Program Files") << "where PocketMarivel lives";
    EXPECT_EQ(GetRemoteSpecialFolder(1234), "");

    Put("SD Card/Later-map/x", "");
    EXPECT_EQ(Maps(true).size(), 5) << "kept for as long as the connection";
    DoneRapi();
    EXPECT_EQ(Maps(true).size(), 6);
}

TEST_F(DeviceTest, RegistryStringsKeepWhatTheyHold)
{
    // As earlier versions wrote it: the string as it is.
    Put("Windows/registry.reg",
        "[HKEY_CURRENT_USER\\Software\\TomTom\\TomTom Navigator\\Maps]\n"
        "\"Old\"=sz:\\SD Card\\navcore\n");
    InitRapi();
    const QString odd = "a\\b \"quoted\" [x] = y\n"
                        "[HKEY_CURRENT_USER\\Software\\TomTom\\TomTom Navigator\\Maps]\r\n"
                        "\"Injected\"=sz:\\evil";
    SetMap("Odd \"name\"\n[x]=", odd);
    EXPECT_EQ(Maps(false), QStringList({ "\\SD Card\\navcore=Old", odd + "=Odd \"name\"\n[x]=" }));

    std::string edited = Get("Windows/registry.reg") + "\"Later\"=\"\\\\Later\"\n";
    Put("Windows/registry.reg", edited);
    DoneRapi();
    EXPECT_EQ(Maps(false),
        QStringList({ "\\SD Card\\navcore=Old", odd + "=Odd \"name\"\n[x]=", "\\Later=Later" }))
        << "an edit from outside is seen";

    bool created = false;
    EXPECT_EQ(ErrorOf([&] { CreateRemoteKey(RemoteCurrentUser, "Software\nBad", created); }),
        "Unable to create key in remote registry: The parameter is incorrect");
}

TEST_F(DeviceTest, ASlowDeviceTimesOutAfterFourSeconds)
{
    qputenv("MARIVEL_RAPI_CONNECT_DELAY_MS", "6000");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(ErrorOf<EInitRapi>([] { InitRapi(); }),
        ConnectError.arg(" (device folder " + Path() + ")"));
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
    EXPECT_EQ(ErrorOf<EInitRapi>([] { Read("\\a.ov2"); }),
        ConnectError.arg(" (device folder " + Path() + ")"))
        << "unplugged";
    EXPECT_FALSE(RapiConnected());
    QDir(away).removeRecursively();
}

// A device folder whose "SD Card" and "Windows" are file systems of 64 KiB, as a full card is.
class FullCardTest : public DeviceTest {
protected:
    void SetUp() override
    {
        for (const QString& folder : { Local("SD Card"), Local("Windows") }) {
            QDir().mkpath(folder);
            if (mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
                GTEST_SKIP() << "no permission to mount a small file system";
            Mounted.append(folder);
        }
    }
    void TearDown() override
    {
        DoneRapi();
        for (const QString& folder : Mounted)
            umount2(folder.toLocal8Bit().constData(), MNT_DETACH);
    }

    // Fills what is left of the file system of `folder`.
    void Fill(const QString& folder) const
    {
        int fd =
            open(Local(folder + "/filler").toLocal8Bit().constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        while (write(fd, block.data(), block.size()) > 0) { }
        close(fd);
    }

    QStringList Mounted;
};

TEST_F(FullCardTest, AWriteThatDoesNotFitKeepsTheOldFile)
{
    const std::string old(10000, 'o');
    Put("SD Card/poi.ov2", old);
    Fill("SD Card");
    EXPECT_EQ(
        ErrorOf<EUserError>([] { WriteRemoteFile("\\SD Card\\poi.ov2", std::string(20000, 'n')); }),
        "Could not write remote file \\SD Card\\poi.ov2: There is not enough space on the disk");
    EXPECT_EQ(Get("SD Card/poi.ov2"), old);
    EXPECT_EQ(Entries("\\SD Card\\"), QStringList({ "filler", "poi.ov2" }))
        << "the unfinished file is removed";
}

TEST_F(FullCardTest, ARegistryThatDoesNotFitKeepsTheOldOne)
{
    InitRapi();
    for (int i = 10; i < 39; ++i) // just under a page of 4 KiB
        SetMap(QString("Map %1").arg(i), QString(120, 'x'));
    const std::string old = Get("Windows/registry.reg");
    Fill("Windows");
    EXPECT_EQ(ErrorOf([] { SetMap("One more", QString(255, 'y')); }),
        "Cannot write remote registry value One more");
    EXPECT_EQ(Get("Windows/registry.reg"), old);
    EXPECT_EQ(Maps(true).size(), 29) << "what could not be stored is not kept either";
}

// This library lacks the version probe, the folder listing and the special folders.
TEST(DeviceLibrary, AnOldOneFallsBackForMissingEntryPoints)
{
    const TTempDevice device(MARIVEL_RAPI_PARTIAL);
    device.Put("SD Card/Europe-map/x", "");
    WriteRemoteFile("\\a.ov2", "bytes");
    EXPECT_EQ(Read("\\a.ov2"), "bytes") << "a failing probe only reconnects";
    EXPECT_EQ(Entries("\\SD Card\\"), QStringList());
    EXPECT_EQ(Maps(false), QStringList());
    EXPECT_EQ(
        ErrorOf([] { GetRemoteSpecialFolder(5); }), "CeGetSpecialFolderPath function not loaded");
}

// A card that fills up mid-write takes part of the bytes and names no error.
TEST(DeviceLibrary, AShortWriteKeepsTheOldFile)
{
    const TTempDevice device(MARIVEL_RAPI_SHORT_WRITE);
    device.Put("poi.ov2", "old");
    EXPECT_EQ(ErrorOf<EUserError>([] { WriteRemoteFile("\\poi.ov2", "new content"); }),
        "Could not write remote file \\poi.ov2: There is not enough space on the disk");
    EXPECT_EQ(device.Get("poi.ov2"), "old");
    EXPECT_EQ(FilesIn(device.Path()), QStringList({ "poi.ov2" })) << "the cut file is removed";
}

TEST(DeviceLibrary, AMissingLibraryIsNamed)
{
    const TEnvironment library("MARIVEL_RAPI_LIBRARY", "/nonexistent/librapi");
    const QString missing = "The library that reaches the device (/nonexistent/librapi) could not "
                            "be loaded; please reinstall Marivel";
    EXPECT_EQ(ErrorOf<EUserError>([] { InitRapi(); }), missing);
    EXPECT_EQ(ErrorOf<EUserError>([] { WriteRemoteFile("\\a.ov2", "x"); }), missing);
    EXPECT_EQ(ErrorOf([] { GetRemoteSpecialFolder(5); }), "Rapi not loaded");
}

} // namespace
