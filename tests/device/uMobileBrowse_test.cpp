#include "device/uMobileBrowse.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "convert/uFormats.h"
#include "device/uDeviceTree.h"
#include "testing.h"

namespace {

// A connected device with the built-in formats registered.
class BrowseTest : public ::testing::Test, public TTempDevice {
protected:
    BrowseTest() { InitRapi(); }

    static QStringList Names(const TMobileBrowser& browser)
    {
        QStringList names;
        for (const TRemoteEntry& entry : browser.Entries.Entries())
            names.append(entry.Name + (entry.IsFolder ? "\\" : ""));
        return names;
    }

    TBuiltInFormats Formats;
    TScriptedPrompt Prompt;
};

TEST(RemotePaths, FoldersNamesAndParents)
{
    EXPECT_EQ(RemoteFolderOf("a.ov2"), "");
    EXPECT_EQ(RemoteNameOf("\\My Documents\\a.ov2"), "a.ov2");
    EXPECT_EQ(NormalizedRemoteFolder("\\My Documents\\Maps\\..\\.\\x"), "\\My Documents\\x\\");
    EXPECT_EQ(NormalizedRemoteFolder("\\..\\..\\"), "\\") << "nothing lies above the root";
    EXPECT_EQ(RemoteParentFolder("\\My Documents\\Maps\\"), "\\My Documents");
    EXPECT_EQ(RemoteParentFolder("\\My Documents"), "\\");
    EXPECT_EQ(RemoteParentFolder("\\"), "\\");
    EXPECT_EQ(LowerExtOf("\\A.b\\Cams"), "");
}

TEST_F(BrowseTest, TheTreeReadsAFolderOnceWhenCached)
{
    QDir().mkpath(Local("My Documents/Maps/Europe"));
    QDir().mkpath(Local("SD Card"));
    Put("My Documents/a.ov2", "");
    QStringList read;
    TDeviceFolderModel tree([&](const QString& folder) {
        read.append(folder);
        return RemoteSubfolders(folder);
    });
    tree.Reload();
    ASSERT_EQ(tree.rowCount(), 2);
    const QModelIndex documents = tree.index(0, 0);
    EXPECT_EQ(tree.data(documents, Qt::DisplayRole), "My Documents");
    const QModelIndex placeholder = tree.index(0, 0, documents);
    EXPECT_EQ(tree.data(placeholder, Qt::DisplayRole), "retrieving contents...");
    EXPECT_EQ(tree.data(placeholder, Qt::UserRole), 1);

    EXPECT_TRUE(tree.Expand(documents));
    EXPECT_TRUE(tree.Expand(documents));
    EXPECT_EQ(read, QStringList({ "\\", "\\My Documents\\" })) << "read once";
    EXPECT_EQ(tree.data(tree.index(0, 0, documents), Qt::DisplayRole), "Maps");
    EXPECT_FALSE(tree.Expand(tree.index(1, 0))) << "an empty folder does not expand";
    EXPECT_EQ(
        tree.PathOf(tree.Find("\\my documents\\MAPS\\Europe\\")), "My Documents\\Maps\\Europe")
        << "found ignoring case and the outer \\";
    EXPECT_FALSE(tree.Find("My Documents\\Asia").isValid());
}

// Typed names are relative to the folder shown.
TEST_F(BrowseTest, StartsAtMyDeviceWhereATypedFolderIsEnteredAndATypedFileOpened)
{
    Put("My Documents/Maps/a.ov2", "");
    Put("My Documents/cams.ov2", "");
    TMobileBrowser browser(false);
    browser.Start();
    EXPECT_EQ(browser.CurrentFolder, "\\");
    EXPECT_EQ(browser.CurrentPlace(), 0);
    EXPECT_EQ(browser.Accept("my documents", Prompt), TMobileBrowser::TAccept::EnteredFolder);
    EXPECT_EQ(browser.CurrentFolder, "\\my documents\\");
    EXPECT_EQ(browser.Accept("Maps\\..\\Maps", Prompt), TMobileBrowser::TAccept::EnteredFolder);
    EXPECT_EQ(browser.CurrentFolder, "\\my documents\\Maps\\");
    EXPECT_EQ(Names(browser), QStringList({ "a.ov2" }));
    EXPECT_EQ(browser.Accept("..", Prompt), TMobileBrowser::TAccept::EnteredFolder);
    EXPECT_EQ(browser.CurrentFolder, "\\my documents\\");
    EXPECT_EQ(browser.Accept("cams.ov2", Prompt), TMobileBrowser::TAccept::Accepted);
    EXPECT_EQ(browser.FileName, "\\my documents\\cams.ov2");
    EXPECT_EQ(browser.Accept("Maps/a.ov2", Prompt), TMobileBrowser::TAccept::Accepted)
        << "a desktop user's slash";
    EXPECT_EQ(browser.FileName, "\\my documents\\Maps\\a.ov2");
    EXPECT_TRUE(Prompt.Asked.isEmpty());

    browser.List("\\My Documents\\Nowhere");
    EXPECT_TRUE(Names(browser).isEmpty()) << "a missing folder lists empty";
    EXPECT_EQ(browser.CurrentPlace(), -1);
    EXPECT_TRUE(browser.Up("\\My Documents\\Nowhere"));
    EXPECT_EQ(browser.CurrentFolder, "\\My Documents\\");
    EXPECT_FALSE(browser.Up("\\"));

    DoneRapi();
    TMobileBrowser unconnected(false);
    EXPECT_EQ(ErrorOf([&] { unconnected.Start(); }), "InitRapi not called");
}

TEST_F(BrowseTest, SavingFitsTheNameToTheTypeAndTheDeviceAndAsksBeforeOverwriting)
{
    TMobileBrowser browser(true);
    browser.SetFileName("\\My Documents\\old.ov2");
    ASSERT_GE(browser.TypeIndex, 0);
    EXPECT_EQ(browser.TypeFormatId(), "ttov2");
    Put("My Documents/cams.ov2", "old");
    browser.Start();
    EXPECT_EQ(browser.Accept("new", Prompt), TMobileBrowser::TAccept::Accepted);
    EXPECT_EQ(browser.FileName, "\\My Documents\\new.ov2") << "the type's extension is added";
    EXPECT_EQ(ErrorOf<EUserError>([&] { browser.Accept("new.gpx", Prompt); }),
        "The extension \".gpx\" of the file name does not match the chosen file type.");
    EXPECT_EQ(browser.Accept("NEW.OV2", Prompt), TMobileBrowser::TAccept::Accepted);
    EXPECT_EQ(browser.WithTypeExtension(""), "");
    EXPECT_EQ(ErrorOf<EUserError>([&] { browser.Accept("a:b?.ov2", Prompt); }),
        "The file name a:b?.ov2 holds characters that the device does not allow in names: :?");
    EXPECT_EQ(ErrorOf<EUserError>([&] { browser.Accept(QString(300, 'x'), Prompt); }),
        "The file name " + QString(300, 'x')
            + ".ov2 is too long for the device, whose paths "
              "hold at most 259 characters");
    EXPECT_EQ(browser.Accept("Straße €.ov2", Prompt), TMobileBrowser::TAccept::Accepted)
        << "any character of the device's Unicode names";

    Prompt.Answers = { IUserPrompt::TAnswer::No, IUserPrompt::TAnswer::Yes };
    EXPECT_EQ(browser.Accept("CAMS", Prompt), TMobileBrowser::TAccept::Declined);
    EXPECT_EQ(Prompt.Asked.value(0),
        "Remote file \\My Documents\\CAMS.ov2 already exists. Do you want to overwrite it?");
    EXPECT_EQ(browser.Accept("cams.ov2", Prompt), TMobileBrowser::TAccept::Accepted);
    EXPECT_EQ(Prompt.Asked.size(), 2);

    browser.SetFileName("\\x.unknown");
    EXPECT_EQ(browser.TypeIndex, -1);
    EXPECT_EQ(browser.Accept("a.gpx", Prompt), TMobileBrowser::TAccept::Accepted)
        << "with no type chosen the typed extension chooses it";
    EXPECT_EQ(browser.TypeFormatId(), "gengpx");
}

TEST_F(BrowseTest, DeletingTakesTheCompanionsAlongAndFailsOnAFolder)
{
    for (const char* name : { "a.ov2", "a.bmp", "a.inf", "b.ov2", "b.bmp", "b.inf", "C.GPX" })
        Put(QStringLiteral("My Documents/") + name, "");
    QDir().mkpath(Local("My Documents/Sub"));
    TMobileBrowser browser(false);
    browser.SetFileName("\\My Documents\\");
    browser.Start();
    EXPECT_EQ(Names(browser), QStringList({ "C.GPX", "Sub\\", "a.ov2", "b.ov2" }))
        << "folders and POI files as the device spells them, nothing else";
    EXPECT_EQ(browser.CurrentPlace(), 1);
    EXPECT_EQ(browser.DeleteQuestion("a.ov2"),
        "Are you sure you want to delete remote file \\My Documents\\a.ov2?");
    browser.Delete("a.ov2", true);
    browser.Delete("b.ov2", false);
    EXPECT_EQ(FilesIn(Local("My Documents")), QStringList({ "b.bmp", "b.inf", "C.GPX" }));
    EXPECT_EQ(Names(browser), QStringList({ "C.GPX", "Sub\\" }));
    EXPECT_EQ(ErrorOf<EUserError>([&] { browser.Delete("Sub", true); }),
        "Could not delete remote file \\My Documents\\Sub");
    EXPECT_EQ(Names(browser), QStringList({ "C.GPX", "Sub\\" }))
        << "a failed deletion keeps the list";

    ASSERT_TRUE(QDir(Path()).removeRecursively()); // unplugged: lists empty
    EXPECT_NO_THROW(browser.List("\\My Documents\\"));
    EXPECT_TRUE(Names(browser).isEmpty());
}

TEST_F(BrowseTest, AReadOnlyDeviceSaysWhy)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes anywhere";
    QDir().mkpath(Local("My Documents"));
    QFile::setPermissions(Local("My Documents"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(ErrorOf<EUserError>([] { WriteRemoteFile("\\My Documents\\a.ov2", "x"); }),
        "Could not write remote file \\My Documents\\a.ov2: Access is denied");
    QFile::setPermissions(
        Local("My Documents"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(BrowseTest, NamesThatAreNotUtf8AreListedAndRead)
{
    QDir().mkpath(Local("My Documents"));
    // As a card written by a program that knew only Latin-1 holds it.
    const QByteArray latin1 = QFile::encodeName(Local("My Documents")) + "/caf\xe9.ov2";
    const int fd = ::open(latin1.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    TMobileBrowser browser(false);
    browser.SetFileName("\\My Documents\\");
    browser.Start();
    EXPECT_EQ(Names(browser), QStringList({ QString::fromUtf8("caf\xc3\xa9.ov2") }));
    EXPECT_TRUE(RemoteFileExists(QString::fromUtf8("\\My Documents\\caf\xc3\xa9.ov2")));
}

TEST(MobileFolderChoice, OtherStandsForAnyFolder)
{
    TMobileFolderChoice choice({ "\\SD Card\\A-map=A", "\\Maps\\B=B", "\\SD Card\\A-map=A-map" });
    EXPECT_EQ(choice.ComboItems(), QStringList({ "[Other]", "A", "B", "A-map" }));
    EXPECT_EQ(choice.TreePathOf(0), "");
    EXPECT_EQ(choice.TreePathOf(2), "Maps\\B");
    EXPECT_EQ(choice.ComboIndexFor("Maps\\B", 0), 2);
    EXPECT_EQ(choice.ComboIndexFor("SD Card\\A-map", 0), 1) << "the first map of the folder";
    EXPECT_EQ(choice.ComboIndexFor("SD Card\\A-map", 3), 3) << "the chosen one when it fits";
    EXPECT_EQ(choice.ComboIndexFor("Maps", 2), 0) << "another folder is [Other]";
    EXPECT_EQ(choice.ComboIndexFor("", 2), 0);
    EXPECT_EQ(ErrorOf<EUserError>([] { TMobileFolderChoice::CheckChosen(""); }),
        "No map or folder specified");
    EXPECT_NO_THROW(TMobileFolderChoice::CheckChosen("Maps"));
}

// The device folder: the environment's, else the setting, else the first mounted navigator.
TEST(DeviceFolder, TheEnvironmentThenTheSettingThenAMountedNavigator)
{
    const QTemporaryDir media, elsewhere;
    QDir(media.path()).mkpath("1-stick/photos");
    QDir(media.path()).mkpath("2-nav/Europe");
    WriteFileBytes(media.filePath("2-nav/Europe/europe.PNA"), "");
    QDir(media.path()).mkpath("3-nav");
    WriteFileBytes(media.filePath("3-nav/ttgo.bif"), "");
    const TEnvironment root("MARIVEL_DEVICE_ROOT", QString());
    const TEnvironment roots("MARIVEL_MEDIA_ROOTS", elsewhere.path() + ":" + media.path());
    WriteRemoteFile("\\probe.txt", "x");
    EXPECT_TRUE(QFile::exists(media.filePath("2-nav/probe.txt")))
        << "the first navigator by name, known by its map folder";
    DoneRapi();

    Settings().DeviceFolder = elsewhere.filePath("gone");
    EXPECT_TRUE(ErrorOf<EInitRapi>([] {
        InitRapi();
    }).startsWith("No device found (device folder " + elsewhere.filePath("gone") + ")."))
        << "the set folder is named, missing";
    Settings().DeviceFolder = elsewhere.path();
    WriteRemoteFile("\\probe.txt", "setting");
    EXPECT_EQ(FileBytes(elsewhere.filePath("probe.txt")), "setting");
    DoneRapi();
    QTemporaryDir device;
    qputenv("MARIVEL_DEVICE_ROOT", QFile::encodeName(device.path()));
    WriteRemoteFile("\\probe.txt", "environment");
    EXPECT_EQ(FileBytes(device.filePath("probe.txt")), "environment");
    DoneRapi();
}

} // namespace
