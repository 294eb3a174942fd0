#include "core/uSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "core/uUtils.h"
#include "platform/uRegistry.h"
#include "testing.h"

namespace {

// Each test starts from an empty registry and a settings object that was never loaded.
class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() { ReleaseSettings(false); }
    ~SettingsTest() override { ReleaseSettings(false); }

    static void Store(const QString& key, const std::function<void(TRegistry&)>& write)
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(key, true));
        write(reg);
    }

    static void StoreList(const char* key, const QStringList& lines)
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(MainKey + '\\' + key, true));
        WriteRegStrings(reg, lines);
    }

    static QStringList ReadList(const char* key)
    {
        TRegistry reg;
        QStringList lines;
        if (reg.OpenKeyReadOnly(MainKey + '\\' + key))
            ReadRegStrings(reg, lines, false);
        return lines;
    }

    // Saves and loads anew, as an exit and a restart do.
    static TSettings& Restart()
    {
        ReleaseSettings(true);
        return Settings();
    }

    TTempConfig Config;
};

} // namespace

TEST_F(SettingsTest, MissingValuesGiveTheDefaults)
{
    TSettings& s = Settings();
    EXPECT_EQ(s.Precision, 5);
    EXPECT_EQ(s.Left, -1);
    EXPECT_EQ(s.SiteManagerGroup, "[All]");
    EXPECT_EQ(s.Sites, QStringList { ShippedSiteLocation() }) << "only sites that work";
    EXPECT_EQ(s.SiteManagerUrl, BuiltInSites().first());
}

TEST_F(SettingsTest, PrecisionIsClampedWhenRead)
{
    for (auto [stored, read] : { std::pair { 9, 6 }, { 2, 4 }, { -7, 4 }, { 5, 5 } }) {
        Store(MainKey, [&](TRegistry& reg) { reg.WriteInteger(QString("Precision"), stored); });
        ReleaseSettings(false);
        EXPECT_EQ(Settings().Precision, read) << "stored " << stored;
    }
}

TEST_F(SettingsTest, UnknownCodePagesReadAsTheDefault)
{
    for (auto [stored, read] : { std::pair { "UTF-8", "utf-8" }, { "windows-1251", "windows-1251" },
             { "klingon", "windows-1252" }, { "", "windows-1252" } }) {
        Store(MainKey, [&](TRegistry& reg) { reg.WriteString(QString("CodePage"), stored); });
        ReleaseSettings(false);
        EXPECT_EQ(Settings().CodePage, read) << "stored " << stored;
    }
}

// A hand-edited file must never keep the program from starting.
TEST_F(SettingsTest, ValuesOfAnotherTypeGiveTheDefaults)
{
    Settings();
    Restart(); // every single value is now stored
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(MainKey, false));
        for (const QString& name : reg.GetValueNames()) {
            if (reg.TryReadString(name))
                reg.WriteInteger(name, 7);
            else
                reg.WriteString(name, "abc");
        }
    }
    StoreList("MRU", { "/a.ov2=ttov2", "/b.ov2=ttov2" });
    Store(MainKey + "\\MRU", [](TRegistry& reg) { reg.WriteInteger(QString("1"), 7); });
    ReleaseSettings(false);
    TSettings& s = Settings();
    EXPECT_EQ(s.Precision, 5);
    EXPECT_TRUE(s.CheckEveryWeek);
    EXPECT_EQ(s.SiteManagerGroup, "[All]");
    EXPECT_EQ(s.SiteManagerSitesView, 3);
    EXPECT_EQ(s.MRU, QStringList { "/a.ov2=ttov2" });
}

TEST_F(SettingsTest, RoundTripsEveryKindOfValueUnderItsName)
{
    TSettings& s = Settings();
    s.ProxyServer = QString("proxy, \"quoted\"; é");
    s.ProxyPort = 3128;
    s.MapVisible = false;
    s.SiteManagerSitesView = 1;
    s.InitialDir = QString("/home/user/poi");
    s.TileUrl = QString("http://tiles.example/{z}/{x}/{y}.png");
    s.DefaultFormats.AddPair(QString(".csv"), QString("garmincsv"));
    TSettings& again = Restart();
    EXPECT_EQ(again.ProxyServer, "proxy, \"quoted\"; é");
    EXPECT_FALSE(again.MapVisible);
    EXPECT_EQ(again.SiteManagerSitesView, 1);
    EXPECT_EQ(again.TileUrl, "http://tiles.example/{z}/{x}/{y}.png");
    EXPECT_EQ(again.DefaultFormats.ValueOf(".CSV"), "garmincsv");

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(MainKey));
    EXPECT_EQ(reg.ReadInteger("ProxyPort"), 3128);
    EXPECT_EQ(reg.ReadString("InitialDir"), "/home/user/poi");
    EXPECT_EQ(reg.GetValueNames().size(), 59) << "every single value, and nothing else";
}

TEST_F(SettingsTest, EmptyInitialDirAndArrangedBoundsAreNotWritten)
{
    Store(MainKey, [](TRegistry& reg) {
        reg.WriteString("InitialDir", "/kept");
        reg.WriteInteger("Left", 10);
    });
    TSettings& s = Settings();
    s.InitialDir.clear();
    s.Left = 500;
    s.BoundsUserSet = false; // the plugin arrangement moved the window
    TSettings& again = Restart();
    EXPECT_EQ(again.InitialDir, QString("/kept"));
    EXPECT_EQ(again.Left, 10);
}

TEST_F(SettingsTest, RecentFilesKeepEightWhileRunningAndFiveAfterARestart)
{
    TSettings& s = Settings();
    for (int i = 1; i <= 10; ++i)
        s.AddRecentFile(QString("/f%1.ov2").arg(i), QString("ttov2"));
    EXPECT_EQ(s.MRU.size(), 8);
    s.AddRecentFile(QString("/F5.OV2"), QString("genasc"));
    EXPECT_EQ(s.MRU.size(), 8);
    EXPECT_EQ(s.MRU.at(0), QString("/F5.OV2=genasc")) << "moved to the top, with the new format";
    EXPECT_EQ(s.MRU.IndexOfName(QString("/f5.ov2")), 0);

    s.AddRecentFile("MOBILE://\\a=b.ov2", "ttov2");
    EXPECT_EQ(s.MRU.at(0), "MOBILE://\\a%3Db.ov2=ttov2");
    EXPECT_EQ(Restart().MRU.size(), 5);
    Restart();
    EXPECT_EQ(ReadList("MRU").size(), 5) << "the shorter list leaves no stale values behind";
}

TEST_F(SettingsTest, ARecentFileIsListedOnceHoweverItIsSpelled)
{
    QTemporaryDir dir;
    const QString real = QFileInfo(dir.path()).canonicalFilePath();
    QFile(real + "/a.ov2").open(QIODevice::WriteOnly);
    QFile::link(real, real + "-link");
    TSettings& s = Settings();
    s.AddRecentFile(real + "/a.ov2", "ttov2"); // handed over by a second start
    s.AddRecentFile("FILE://" + real + "/a.ov2", "ttov2"); // from the open dialog
    s.AddRecentFile(real + "/sub/../a.ov2", "ttov2");
    s.AddRecentFile(real + "-link/a.ov2", "ttov2");
    EXPECT_EQ(s.MRU, QStringList { real + "/a.ov2=ttov2" });
    QFile::remove(real + "-link");
}

TEST_F(SettingsTest, PageAddressesAreTheUserGuideUnlessSet)
{
    TSettings& s = Settings();
    EXPECT_TRUE(s.HomePageUrl.startsWith("file:///")) << s.HomePageUrl.toStdString();
    EXPECT_TRUE(s.HomePageUrl.endsWith("/docs/user-guide.md"));
    EXPECT_TRUE(QFileInfo(QUrl(s.HomePageUrl).toLocalFile()).isFile());
    EXPECT_EQ(s.HelpUrl, s.HomePageUrl);
    EXPECT_EQ(s.ForumUrl, s.HomePageUrl);
    const QString guide = s.HomePageUrl;
    EXPECT_EQ(s.DownloadUrl, guide + "#installing");
    EXPECT_EQ(s.SitesStatusUrl, guide + "#keeping-poi-files-current-in-the-desktop-program");
    EXPECT_EQ(s.MapsPageUrl, guide + "#the-map-beside-each-document");
    EXPECT_TRUE(s.VersionUrl.isEmpty()) << "no check until a version document is named";

    Store(MainKey, [](TRegistry& reg) { reg.WriteString("HomePageUrl", "https://poi.example/"); });
    TSettings& again = Restart();
    EXPECT_EQ(again.HomePageUrl, "https://poi.example/") << "a distributor's page";
    EXPECT_EQ(again.HelpUrl, guide);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(MainKey));
    EXPECT_FALSE(reg.ValueExists("HelpUrl")) << "a default that moves with the program";
}

TEST_F(SettingsTest, StoredListsAreCleanedWhenLoaded)
{
    const QString own = "http://example.org/pois.xml";
    StoreList("MRU", { "/a.ov2", "/b.asc=genasc" });
    StoreList("Sites", { BuiltInSites().at(0).toUpper(), own, own });
    StoreList("HiddenSites",
        { BuiltInSites().at(0), "http://gone.example/x.xml", BuiltInSites().at(0).toUpper() });
    TSettings& s = Settings();
    EXPECT_EQ(s.MRU, QStringList({ "/a.ov2=", "/b.asc=genasc" })) << "an empty format id is added";
    EXPECT_EQ(s.Sites, BuiltInSites() + QStringList { own }) << "no duplicates";
    EXPECT_EQ(s.HiddenSites, QStringList { BuiltInSites().at(0) }) << "only built-in sites hide";
}

TEST_F(SettingsTest, AWriteThatFailsIsReported)
{
    Settings();
    const TFileSizeLimit fullDisk(64);
    EXPECT_EQ(ErrorOf<EUserError>([] { Settings().Save(); }),
        "Could not save the settings to " + TRegistry::FileName(TRegRoot::CurrentUser)
            + ": the disk may be full, or the file may not be writable");
}
