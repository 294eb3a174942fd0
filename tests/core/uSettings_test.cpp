#include "core/uSettings.h"

#include <QSettings>

#include <gtest/gtest.h>

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
        Store(MainKey + QLatin1Char('\\') + QLatin1String(key), [&](TRegistry& reg) {
            for (int i = 0; i < lines.size(); ++i)
                reg.WriteString(QString::number(i), lines[i]);
        });
    }

    static QStringList ReadList(const char* key)
    {
        TRegistry reg;
        QStringList lines;
        if (reg.OpenKeyReadOnly(MainKey + QLatin1Char('\\') + QLatin1String(key)))
            for (int i = 0; reg.ValueExists(QString::number(i)); ++i)
                lines.append(reg.ReadString(QString::number(i)));
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
    EXPECT_TRUE(s.CheckEveryWeek);
    EXPECT_EQ(s.Left, -1);
    EXPECT_EQ(s.ProxyPort, 80);
    EXPECT_EQ(s.MapPanelWidth, 200);
    EXPECT_EQ(s.SiteManagerGroup, QStringLiteral("[All]"));
    EXPECT_EQ(s.SiteManagerItemsView, 3);
    EXPECT_EQ(s.BatchConvertDestFormatIDs, QStringLiteral("ttov2"));
    EXPECT_EQ(s.Sites, BuiltInSites());
    EXPECT_EQ(s.Sites.size(), 11);
    EXPECT_EQ(s.SiteManagerUrl, BuiltInSites().first());
    EXPECT_TRUE(s.MRU.isEmpty());
}

TEST_F(SettingsTest, PrecisionIsClampedWhenRead)
{
    for (auto [stored, read] : { std::pair { 9, 6 }, { 2, 4 }, { -7, 4 }, { 5, 5 } }) {
        Store(MainKey,
            [&](TRegistry& reg) { reg.WriteInteger(QStringLiteral("Precision"), stored); });
        ReleaseSettings(false);
        EXPECT_EQ(Settings().Precision, read) << "stored " << stored;
    }
}

TEST_F(SettingsTest, RoundTripsEveryKindOfValueUnderItsName)
{
    TSettings& s = Settings();
    s.ProxyServer = QStringLiteral("proxy, \"quoted\"; é");
    s.ProxyPort = 3128;
    s.MapVisible = false;
    s.SiteManagerSitesView = 1;
    s.InitialDir = QStringLiteral("/home/user/poi");
    s.DefaultFormats.AddPair(QStringLiteral(".csv"), QStringLiteral("garmincsv"));
    TSettings& again = Restart();
    EXPECT_EQ(again.ProxyServer, QStringLiteral("proxy, \"quoted\"; é"));
    EXPECT_EQ(again.ProxyPort, 3128);
    EXPECT_FALSE(again.MapVisible);
    EXPECT_EQ(again.SiteManagerSitesView, 1);
    EXPECT_EQ(again.DefaultFormats.ValueOf(QStringLiteral(".CSV")), QStringLiteral("garmincsv"));

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(MainKey));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("ProxyPort")), 3128);
    EXPECT_EQ(reg.ReadString(QStringLiteral("InitialDir")), QStringLiteral("/home/user/poi"));
    EXPECT_FALSE(reg.ReadBool(QStringLiteral("MapVisible")));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("SiteManagerSitesView")), 1);
    QStringList names = reg.GetValueNames();
    EXPECT_EQ(names.size(), 57) << names.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(names.contains(QStringLiteral("BoundsUserSet")));
    EXPECT_FALSE(names.contains(QStringLiteral("LastVersionCheck")));
}

TEST_F(SettingsTest, EmptyInitialDirAndArrangedBoundsAreNotWritten)
{
    Store(MainKey, [](TRegistry& reg) {
        reg.WriteString(QStringLiteral("InitialDir"), QStringLiteral("/kept"));
        reg.WriteInteger(QStringLiteral("Left"), 10);
    });
    TSettings& s = Settings();
    s.InitialDir.clear();
    s.Left = 500;
    s.BoundsUserSet = false; // the plugin arrangement moved the window
    TSettings& again = Restart();
    EXPECT_EQ(again.InitialDir, QStringLiteral("/kept"));
    EXPECT_EQ(again.Left, 10);
}

TEST_F(SettingsTest, RecentFilesKeepEightWhileRunningAndFiveAfterARestart)
{
    TSettings& s = Settings();
    for (int i = 1; i <= 10; ++i)
        s.AddRecentFile(QStringLiteral("/f%1.ov2").arg(i), QStringLiteral("ttov2"));
    EXPECT_EQ(s.MRU.size(), 8);
    EXPECT_EQ(s.MRU.NameAt(0), QStringLiteral("/f10.ov2"));

    s.AddRecentFile(QStringLiteral("/F5.OV2"), QStringLiteral("genasc"));
    EXPECT_EQ(s.MRU.size(), 8);
    EXPECT_EQ(s.MRU.at(0), QStringLiteral("/F5.OV2=genasc"))
        << "moved to the top, with the new format";
    EXPECT_EQ(s.MRU.IndexOfName(QStringLiteral("/f5.ov2")), 0);

    s.AddRecentFile(QStringLiteral("MOBILE://\\a=b.ov2"), QStringLiteral("ttov2"));
    EXPECT_EQ(s.MRU.at(0), QStringLiteral("MOBILE://\\a%3Db.ov2=ttov2"));

    TSettings& again = Restart();
    EXPECT_EQ(again.MRU.size(), 5);
    EXPECT_EQ(again.MRU.NameAt(0), QStringLiteral("MOBILE://\\a=b.ov2"));
    Restart();
    EXPECT_EQ(ReadList("MRU").size(), 5) << "the shorter list leaves no stale values behind";
}

TEST_F(SettingsTest, RecentFileWithoutFormatIdGetsAnEmptyOne)
{
    StoreList("MRU", { QStringLiteral("/a.ov2"), QStringLiteral("/b.asc=genasc") });
    TSettings& s = Settings();
    EXPECT_EQ(s.MRU.at(0), QStringLiteral("/a.ov2="));
    EXPECT_EQ(s.MRU.NameAt(0), QStringLiteral("/a.ov2"));
    EXPECT_EQ(s.MRU.ValueAt(1), QStringLiteral("genasc"));
}

TEST_F(SettingsTest, SitesMergeTheUsersOwnAndDropTheObsoleteIndex)
{
    const QString own = QStringLiteral("http://example.org/pois.xml");
    StoreList("Sites", { BuiltInSites().at(3).toUpper(), own, ObsoleteSite.toUpper(), own });
    TSettings& s = Settings();
    EXPECT_EQ(s.Sites.size(), 12);
    EXPECT_EQ(s.Sites.mid(0, 11), BuiltInSites());
    EXPECT_EQ(s.Sites.last(), own);
}

TEST_F(SettingsTest, HiddenSitesKeepOnlyBuiltInOnes)
{
    StoreList("HiddenSites",
        { BuiltInSites().at(2), QStringLiteral("http://gone.example/x.xml"),
            BuiltInSites().at(2).toUpper() });
    TSettings& s = Settings();
    EXPECT_EQ(s.HiddenSites, QStringList { BuiltInSites().at(2) });
    Restart();
    EXPECT_EQ(ReadList("HiddenSites"), QStringList { BuiltInSites().at(2) });
}
