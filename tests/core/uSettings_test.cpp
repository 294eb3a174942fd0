#include "core/uSettings.h"

#include <climits>
#include <optional>
#include <variant>
#include <vector>

#include <QFileInfo>
#include <QUrl>

#include <gtest/gtest.h>

#include "core/uUtils.h"
#include "platform/uRegistry.h"
#include "testing.h"

namespace {

using TField =
    std::variant<bool TSettings::*, int TSettings::*, QString TSettings::*, uint8_t TSettings::*>;
using TDefault = std::variant<bool, int, QString>;

struct TRange {
    int Low, High;
};

// Every single value of the settings: its registry name, its field, the value it has when
// nothing is stored, and the range a stored integer is clamped to.
struct TSetting {
    const char* Name;
    TField Field;
    TDefault Default;
    std::optional<TRange> Range = std::nullopt;
};

const QString Empty;

// Built on first use: the shipped site's location needs the running program's folder.
const std::vector<TSetting>& Table()
{
    static const std::vector<TSetting> table = {
        { "CheckEveryWeek", &TSettings::CheckEveryWeek, true },
        { "ChildrenMaximized", &TSettings::ChildrenMaximized, false },
        { "LastSaveFormat", &TSettings::LastSaveFormat, Empty },
        { "InitialDir", &TSettings::InitialDir, Empty },
        { "PrevRemoteDir", &TSettings::PrevRemoteDir, Empty },
        { "WindowStateMaximized", &TSettings::WindowStateMaximized, false },
        { "Left", &TSettings::Left, -1 },
        { "Top", &TSettings::Top, -1 },
        { "Width", &TSettings::Width, -1 },
        { "Height", &TSettings::Height, -1 },
        { "ManualProxy", &TSettings::ManualProxy, false },
        { "ProxyServer", &TSettings::ProxyServer, Empty },
        { "ProxyPort", &TSettings::ProxyPort, 80 },
        { "DownloadImages", &TSettings::DownloadImages, true },
        { "BatchConvertDest", &TSettings::BatchConvertDest, Empty },
        { "BatchConvertSource", &TSettings::BatchConvertSource, Empty },
        { "AlwaysOverwrite", &TSettings::AlwaysOverwrite, false },
        { "Map", &TSettings::Map, 0 },
        { "HideMinimizeToTray", &TSettings::HideMinimizeToTray, false },
        { "SiteManagerUrl", &TSettings::SiteManagerUrl, ShippedSiteLocation() },
        { "SiteManagerMap", &TSettings::SiteManagerMap, Empty },
        { "SiteManagerGroup", &TSettings::SiteManagerGroup, QStringLiteral("[All]") },
        { "StatusWidth", &TSettings::StatusWidth, -1 },
        { "StatusTrayHeight", &TSettings::StatusTrayHeight, -1 },
        { "StatusTrayWidth", &TSettings::StatusTrayWidth, -1 },
        { "StatusHeight", &TSettings::StatusHeight, -1 },
        { "MapPanelShare", &TSettings::MapPanelShare, 25 },
        { "MapVisible", &TSettings::MapVisible, true },
        { "StatusAutoClose", &TSettings::StatusAutoClose, false },
        { "MapPointMap", &TSettings::MapPointMap, Empty },
        { "UsePointMap", &TSettings::UsePointMap, false },
        { "PrevCommitSite", &TSettings::PrevCommitSite, Empty },
        { "PluginAutoArrange", &TSettings::PluginAutoArrange, true },
        { "DefaultPlugin", &TSettings::DefaultPlugin, QStringLiteral("OpenStreetMap") },
        { "ProxyUsername", &TSettings::ProxyUsername, Empty },
        { "ProxyPassword", &TSettings::ProxyPassword, Empty },
        { "SiteManagerLeftPanel", &TSettings::SiteManagerLeftPanel, -1 },
        { "SiteManagerWidth", &TSettings::SiteManagerWidth, -1 },
        { "SiteManagerHeight", &TSettings::SiteManagerHeight, -1 },
        { "SiteManagerLeft", &TSettings::SiteManagerLeft, -1 },
        { "SiteManagerTop", &TSettings::SiteManagerTop, -1 },
        { "SiteManagerMaximized", &TSettings::SiteManagerMaximized, true },
        { "SiteManagerGroupsView", &TSettings::SiteManagerGroupsView, 2 },
        { "SiteManagerMapsView", &TSettings::SiteManagerMapsView, 2 },
        { "SiteManagerItemsView", &TSettings::SiteManagerItemsView, 3 },
        { "SiteManagerSitesView", &TSettings::SiteManagerSitesView, 3 },
        { "AutoUpdateDelay", &TSettings::AutoUpdateDelay, 5 },
        { "FindDupsTolerance", &TSettings::FindDupsTolerance, 5 },
        { "Precision", &TSettings::Precision, 5, TRange { 4, 6 } },
        { "CloseMinimizes", &TSettings::CloseMinimizes, true },
        { "ShowStartupScreen", &TSettings::ShowStartupScreen, true },
        { "AutoUpdateApplication", &TSettings::AutoUpdateApplication, Empty },
        { "AutoUpdateAppParams", &TSettings::AutoUpdateAppParams, Empty },
        { "AutoUpdateApplicationEnabled", &TSettings::AutoUpdateApplicationEnabled, false },
        { "BatchConvertDestFormatID", &TSettings::BatchConvertDestFormatID,
            QStringLiteral("ttov2") },
        { "BatchConvertDestFormatIDs", &TSettings::BatchConvertDestFormatIDs,
            QStringLiteral("ttov2") },
        { "PMVAlternateDir", &TSettings::PMVAlternateDir, Empty },
        { "MaxDownloadMiB", &TSettings::MaxDownloadMiB, 512, TRange { 1, 1048576 } },
        { "MaxIndexDownloadMiB", &TSettings::MaxIndexDownloadMiB, 16, TRange { 1, 1048576 } },
        { "DeviceFolder", &TSettings::DeviceFolder, Empty },
        { "TileUrl", &TSettings::TileUrl, qEnvironmentVariable("MARIVEL_TILE_URL") },
        { "TileCacheMiB", &TSettings::TileCacheMiB, 500, TRange { 1, 1048576 } },
    };
    return table;
}

// The field's value as the table writes it: small integers are integers.
TDefault ValueOf(const TSettings& settings, const TField& field)
{
    return std::visit(
        [&](auto member) -> TDefault {
            const auto& value = settings.*member;
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, uint8_t>)
                return int(value);
            else
                return value;
        },
        field);
}

// Each test starts from an empty registry and a settings object that was never loaded (main.cpp).
class SettingsTest : public ::testing::Test {
protected:
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

    // Loads anew with `stored` under `name`.
    static TSettings& LoadedWith(const char* name, int stored)
    {
        Store(MainKey, [&](TRegistry& reg) { reg.WriteInteger(QLatin1String(name), stored); });
        ReleaseSettings(false);
        return Settings();
    }

    // Saves and loads anew, as an exit and a restart do.
    static TSettings& Restart()
    {
        ReleaseSettings(true);
        return Settings();
    }
};

} // namespace

TEST_F(SettingsTest, StoredIntegersAreClampedToTheirRangeOnly)
{
    for (const TSetting& setting : Table()) {
        if (!std::holds_alternative<int TSettings::*>(setting.Field))
            continue;
        const TRange range = setting.Range.value_or(TRange { INT_MIN, INT_MAX });
        const int below = setting.Range ? range.Low - 1 : INT_MIN;
        const int above = setting.Range ? range.High + 1 : INT_MAX;
        EXPECT_EQ(ValueOf(LoadedWith(setting.Name, below), setting.Field), TDefault(range.Low))
            << setting.Name;
        EXPECT_EQ(ValueOf(LoadedWith(setting.Name, above), setting.Field), TDefault(range.High))
            << setting.Name;
        if (setting.Range) { // the ends themselves are kept
            EXPECT_EQ(
                ValueOf(LoadedWith(setting.Name, range.High), setting.Field), TDefault(range.High))
                << setting.Name;
        }
    }
}

TEST_F(SettingsTest, EachValueIsReadAndWrittenUnderItsName)
{
    // Something other than the default for every value, stored under the table's name.
    const auto other = [](const TDefault& value) -> TDefault {
        if (const bool* flag = std::get_if<bool>(&value))
            return !*flag;
        if (const int* number = std::get_if<int>(&value))
            return *number == 4 ? 5 : 4; // within every range
        return std::get<QString>(value) + "/stored";
    };
    Store(MainKey, [&](TRegistry& reg) {
        for (const TSetting& setting : Table()) {
            const TDefault stored = other(setting.Default);
            const QString name = QLatin1String(setting.Name);
            if (const bool* flag = std::get_if<bool>(&stored))
                reg.WriteBool(name, *flag);
            else if (const int* number = std::get_if<int>(&stored))
                reg.WriteInteger(name, *number);
            else
                reg.WriteString(name, std::get<QString>(stored));
        }
    });
    Settings().DefaultFormats.AddPair(QString(".csv"), QString("garmincsv"));
    // Only a hand-edited file sets these.
    const QStringList readOnly { "MaxDownloadMiB", "MaxIndexDownloadMiB", "TileCacheMiB" };
    for (const bool written : { false, true }) {
        for (const TSetting& setting : Table())
            EXPECT_EQ(ValueOf(Settings(), setting.Field),
                written && readOnly.contains(setting.Name) ? setting.Default
                                                           : other(setting.Default))
                << setting.Name << (written ? " written" : " read");
        TRegistry().DeleteKey(MainKey);
        Restart();
    }
    EXPECT_EQ(Settings().DefaultFormats.ValueOf(".CSV"), "garmincsv");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(MainKey));
    EXPECT_EQ(reg.GetValueNames().size(), 59) << "every single value, and nothing else";
}

// Every value has its default when nothing is stored, and also when a hand-edited file holds a
// value of another type: such a file must never keep the program from starting.
TEST_F(SettingsTest, NothingStoredOrValuesOfAnotherTypeGiveTheDefaults)
{
    for (const bool handEdited : { false, true }) {
        if (handEdited) {
            Restart(); // every single value is now stored
            TRegistry reg;
            ASSERT_TRUE(reg.OpenKey(MainKey, false));
            for (const QString& name : reg.GetValueNames()) {
                if (reg.TryReadString(name))
                    reg.WriteInteger(name, 7);
                else
                    reg.WriteString(name, "abc");
            }
            StoreList("MRU", { "/a.ov2=ttov2", "/b.ov2=ttov2" });
            Store(MainKey + "\\MRU", [](TRegistry& mru) { mru.WriteInteger(QString("1"), 7); });
            ReleaseSettings(false);
        }
        const TSettings& settings = Settings();
        for (const TSetting& setting : Table())
            EXPECT_EQ(ValueOf(settings, setting.Field), setting.Default)
                << setting.Name << (handEdited ? " hand-edited" : "");
        EXPECT_TRUE(settings.BoundsUserSet);
        EXPECT_EQ(settings.CodePage, "windows-1252");
        EXPECT_EQ(settings.Sites, QStringList { ShippedSiteLocation() }) << "only sites that work";
        EXPECT_TRUE(settings.HiddenSites.isEmpty());
        EXPECT_TRUE(settings.DefaultFormats.isEmpty());
    }
    EXPECT_EQ(Settings().MRU, QStringList { "/a.ov2=ttov2" });
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
    EXPECT_EQ(s.MRU.NameAt(0), "MOBILE://\\a=b.ov2");
    EXPECT_EQ(Restart().MRU.size(), 5);
    Restart();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(MainKey + "\\MRU"));
    EXPECT_EQ(reg.GetValueNames().size(), 5) << "the shorter list leaves no stale values behind";
}

TEST_F(SettingsTest, PageAddressesAreTheUserGuideUnlessSet)
{
    TSettings& s = Settings();
    EXPECT_TRUE(s.HomePageUrl.startsWith("file:///")) << s.HomePageUrl.toStdString();
    EXPECT_TRUE(QFileInfo(QUrl(s.HomePageUrl).toLocalFile()).isFile());
    EXPECT_EQ(s.HelpUrl, s.HomePageUrl);
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

TEST_F(SettingsTest, StoredListsAndCodePagesAreCleanedWhenLoaded)
{
    const QString own = "http://example.org/pois.xml";
    Store(MainKey, [](TRegistry& reg) { reg.WriteString(QString("CodePage"), "klingon"); });
    StoreList("MRU", { "/a.ov2", "/b.asc=genasc" });
    StoreList("Sites", { BuiltInSites().at(0).toUpper(), own, own });
    StoreList("HiddenSites",
        { BuiltInSites().at(0), "http://gone.example/x.xml", BuiltInSites().at(0).toUpper() });
    TSettings& s = Settings();
    EXPECT_EQ(s.MRU, QStringList({ "/a.ov2=", "/b.asc=genasc" })) << "an empty format id is added";
    EXPECT_EQ(s.Sites, BuiltInSites() + QStringList { own }) << "no duplicates";
    EXPECT_EQ(s.HiddenSites, QStringList { BuiltInSites().at(0) }) << "only built-in sites hide";
    EXPECT_EQ(s.CodePage, "windows-1252") << "an unknown code page reads as the default";
}

TEST_F(SettingsTest, AWriteThatFailsIsReported)
{
    Settings();
    const TFileSizeLimit fullDisk(64);
    EXPECT_EQ(ErrorOf<EUserError>([] { Settings().Save(); }),
        "Could not save the settings to " + TRegistry::FileName(TRegRoot::CurrentUser)
            + ": the disk may be full, or the file may not be writable");
}
