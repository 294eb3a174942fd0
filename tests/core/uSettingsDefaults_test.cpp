#include <climits>
#include <optional>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "core/uSettings.h"
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

// Each test starts from an empty registry and a settings object that was never loaded.
class SettingsDefaultsTest : public ::testing::Test {
protected:
    SettingsDefaultsTest() { ReleaseSettings(false); }
    ~SettingsDefaultsTest() override { ReleaseSettings(false); }

    static TSettings& LoadedWith(const char* name, int stored)
    {
        {
            TRegistry reg;
            EXPECT_TRUE(reg.OpenKey(MainKey, true));
            reg.WriteInteger(QLatin1String(name), stored);
        }
        ReleaseSettings(false);
        return Settings();
    }

    TTempConfig Config;
};

} // namespace

TEST_F(SettingsDefaultsTest, NothingStoredGivesTheDefaults)
{
    const TSettings& settings = Settings();
    for (const TSetting& setting : Table())
        EXPECT_EQ(ValueOf(settings, setting.Field), setting.Default) << setting.Name;
    EXPECT_TRUE(settings.BoundsUserSet);
    EXPECT_TRUE(settings.MRU.isEmpty());
    EXPECT_EQ(settings.Sites, BuiltInSites());
    EXPECT_TRUE(settings.HiddenSites.isEmpty());
    EXPECT_TRUE(settings.DefaultFormats.isEmpty());
}

TEST_F(SettingsDefaultsTest, StoredIntegersAreClampedToTheirRangeOnly)
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

TEST_F(SettingsDefaultsTest, EachValueIsReadUnderItsName)
{
    // Something other than the default for every value, stored under the table's name.
    const auto other = [](const TDefault& value) {
        return std::visit(
            [](const auto& v) -> TDefault {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, bool>)
                    return !v;
                else if constexpr (std::is_same_v<T, int>)
                    return v == 4 ? 5 : 4; // within every range
                else
                    return v + QStringLiteral("/stored");
            },
            value);
    };
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(MainKey, true));
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
    }
    const TSettings& settings = Settings();
    for (const TSetting& setting : Table())
        EXPECT_EQ(ValueOf(settings, setting.Field), other(setting.Default)) << setting.Name;
}
