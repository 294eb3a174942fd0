#include "core/uSettings.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <variant>

#include "core/uUtils.h"
#include "platform/uRegistry.h"

const QString MainKey = QStringLiteral("\\Software\\Orvik Software\\Marivel");

QString ShippedSiteLocation()
{
    // Made at build time into the build tree's data folder and installed to the same place
    // below the installation (tools/CMakeLists.txt).
    return QStringLiteral("FILE://") + InstallDataDir()
        + QStringLiteral("/sites/timezones/index.xml");
}

const QStringList& BuiltInSites()
{
    // Only sites that answer belong here: the shipped one works offline from the first start.
    static const QStringList sites { ShippedSiteLocation() };
    return sites;
}

namespace {

constexpr int RecentFilesLoaded = 5;

using TField =
    std::variant<bool TSettings::*, int TSettings::*, QString TSettings::*, uint8_t TSettings::*>;

struct TValue {
    const char* Name;
    TField Field;
    int Low = INT_MIN;
    int High = INT_MAX;
};

// The single values in the order they are read; each is stored under its field's name.
const TValue Values[] = {
    { "CheckEveryWeek", &TSettings::CheckEveryWeek },
    { "ChildrenMaximized", &TSettings::ChildrenMaximized },
    { "LastSaveFormat", &TSettings::LastSaveFormat },
    { "InitialDir", &TSettings::InitialDir },
    { "PrevRemoteDir", &TSettings::PrevRemoteDir },
    { "WindowStateMaximized", &TSettings::WindowStateMaximized },
    { "Left", &TSettings::Left },
    { "Top", &TSettings::Top },
    { "Width", &TSettings::Width },
    { "Height", &TSettings::Height },
    { "ManualProxy", &TSettings::ManualProxy },
    { "ProxyServer", &TSettings::ProxyServer },
    { "ProxyPort", &TSettings::ProxyPort },
    { "DownloadImages", &TSettings::DownloadImages },
    { "BatchConvertDest", &TSettings::BatchConvertDest },
    { "BatchConvertSource", &TSettings::BatchConvertSource },
    { "AlwaysOverwrite", &TSettings::AlwaysOverwrite },
    { "Map", &TSettings::Map },
    { "HideMinimizeToTray", &TSettings::HideMinimizeToTray },
    { "SiteManagerUrl", &TSettings::SiteManagerUrl },
    { "SiteManagerMap", &TSettings::SiteManagerMap },
    { "SiteManagerGroup", &TSettings::SiteManagerGroup },
    { "StatusWidth", &TSettings::StatusWidth },
    { "StatusTrayHeight", &TSettings::StatusTrayHeight },
    { "StatusTrayWidth", &TSettings::StatusTrayWidth },
    { "StatusHeight", &TSettings::StatusHeight },
    { "MapPanelShare", &TSettings::MapPanelShare },
    { "MapVisible", &TSettings::MapVisible },
    { "StatusAutoClose", &TSettings::StatusAutoClose },
    { "MapPointMap", &TSettings::MapPointMap },
    { "UsePointMap", &TSettings::UsePointMap },
    { "PrevCommitSite", &TSettings::PrevCommitSite },
    { "PluginAutoArrange", &TSettings::PluginAutoArrange },
    { "DefaultPlugin", &TSettings::DefaultPlugin },
    { "ProxyUsername", &TSettings::ProxyUsername },
    { "ProxyPassword", &TSettings::ProxyPassword },
    { "SiteManagerLeftPanel", &TSettings::SiteManagerLeftPanel },
    { "SiteManagerWidth", &TSettings::SiteManagerWidth },
    { "SiteManagerHeight", &TSettings::SiteManagerHeight },
    { "SiteManagerLeft", &TSettings::SiteManagerLeft },
    { "SiteManagerTop", &TSettings::SiteManagerTop },
    { "SiteManagerMaximized", &TSettings::SiteManagerMaximized },
    { "SiteManagerGroupsView", &TSettings::SiteManagerGroupsView },
    { "SiteManagerMapsView", &TSettings::SiteManagerMapsView },
    { "SiteManagerItemsView", &TSettings::SiteManagerItemsView },
    { "SiteManagerSitesView", &TSettings::SiteManagerSitesView },
    { "AutoUpdateDelay", &TSettings::AutoUpdateDelay },
    { "FindDupsTolerance", &TSettings::FindDupsTolerance },
    { "Precision", &TSettings::Precision, 4, 6 },
    { "CloseMinimizes", &TSettings::CloseMinimizes },
    { "ShowStartupScreen", &TSettings::ShowStartupScreen },
    { "AutoUpdateApplication", &TSettings::AutoUpdateApplication },
    { "AutoUpdateAppParams", &TSettings::AutoUpdateAppParams },
    { "AutoUpdateApplicationEnabled", &TSettings::AutoUpdateApplicationEnabled },
    { "BatchConvertDestFormatID", &TSettings::BatchConvertDestFormatID },
    { "BatchConvertDestFormatIDs", &TSettings::BatchConvertDestFormatIDs },
    { "PMVAlternateDir", &TSettings::PMVAlternateDir },
    { "MaxDownloadMiB", &TSettings::MaxDownloadMiB, 1, 1024 * 1024 },
    { "MaxIndexDownloadMiB", &TSettings::MaxIndexDownloadMiB, 1, 1024 * 1024 },
    { "InternetCacheMiB", &TSettings::InternetCacheMiB, 1, 1024 * 1024 },
    { "TileUrl", &TSettings::TileUrl },
    { "TileCacheMiB", &TSettings::TileCacheMiB, 1, 1024 * 1024 },
    { "CodePage", &TSettings::CodePage },
    { "HomePageUrl", &TSettings::HomePageUrl },
    { "HelpUrl", &TSettings::HelpUrl },
    { "ForumUrl", &TSettings::ForumUrl },
    { "DeviceFolder", &TSettings::DeviceFolder },
    { "VersionUrl", &TSettings::VersionUrl },
    { "DownloadUrl", &TSettings::DownloadUrl },
    { "SitesStatusUrl", &TSettings::SitesStatusUrl },
    { "MapsPageUrl", &TSettings::MapsPageUrl },
};

// The order of writing; "InitialDir" and the window bounds are written only when they carry
// something worth keeping.
const char* const SavedFirst[] = { "CheckEveryWeek", "WindowStateMaximized", "ChildrenMaximized",
    "LastSaveFormat", "ManualProxy", "ProxyServer", "ProxyPort", "ProxyUsername", "ProxyPassword",
    "DownloadImages", "PrevRemoteDir", "BatchConvertSource", "BatchConvertDest",
    "BatchConvertDestFormatID", "BatchConvertDestFormatIDs" };
const char* const WindowBounds[] = { "Left", "Top", "Width", "Height" };
const char* const SavedLast[] = { "AutoUpdateDelay", "AutoUpdateApplication", "AutoUpdateAppParams",
    "AutoUpdateApplicationEnabled", "PMVAlternateDir", "StatusTrayHeight", "StatusTrayWidth",
    "StatusHeight", "StatusWidth", "StatusAutoClose", "FindDupsTolerance", "MapPanelShare",
    "MapVisible", "AlwaysOverwrite", "Map", "Precision", "HideMinimizeToTray", "SiteManagerUrl",
    "SiteManagerMap", "SiteManagerGroup", "MapPointMap", "UsePointMap", "PrevCommitSite",
    "PluginAutoArrange", "CloseMinimizes", "ShowStartupScreen", "DefaultPlugin",
    "SiteManagerLeftPanel", "SiteManagerWidth", "SiteManagerHeight", "SiteManagerTop",
    "SiteManagerLeft", "SiteManagerMaximized", "SiteManagerGroupsView", "SiteManagerMapsView",
    "SiteManagerItemsView", "SiteManagerSitesView", "DeviceFolder", "TileUrl" };

void ReadValue(TRegistry& reg, const TValue& value, TSettings& settings)
{
    const QString name = QLatin1String(value.Name);
    std::visit(
        [&](auto member) {
            auto& field = settings.*member;
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>)
                field = ReadRegBool(reg, MainKey, name, field);
            else if constexpr (std::is_same_v<T, QString>)
                field = ReadRegString(reg, MainKey, name, field);
            else
                field = static_cast<T>(
                    ReadRegInteger(reg, MainKey, name, value.High, value.Low, field));
        },
        value.Field);
}

void WriteValue(TRegistry& reg, const char* name, const TSettings& settings)
{
    const TValue& value = *std::find_if(std::begin(Values), std::end(Values),
        [&](const TValue& v) { return qstrcmp(v.Name, name) == 0; });
    std::visit(
        [&](auto member) {
            const auto& field = settings.*member;
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>)
                reg.WriteBool(QLatin1String(name), field);
            else if constexpr (std::is_same_v<T, QString>)
                reg.WriteString(QLatin1String(name), field);
            else
                reg.WriteInteger(QLatin1String(name), field);
        },
        value.Field);
}

QString ListKey(const char* name) { return MainKey + QLatin1Char('\\') + QLatin1String(name); }

// Reads the list kept in the sub-key `name` into `list`, when the sub-key exists.
void ReadList(TRegistry& reg, const char* name, QStringList& list, bool unique)
{
    if (reg.OpenKeyReadOnly(ListKey(name)))
        ReadRegStrings(reg, list, unique);
    reg.CloseKey();
}

// A list is written anew into an emptied key, so a list that shrank leaves nothing behind.
void WriteList(TRegistry& reg, const char* name, const QStringList& list)
{
    reg.DeleteKey(ListKey(name));
    if (reg.OpenKey(ListKey(name), true))
        WriteRegStrings(reg, list);
}

std::unique_ptr<TSettings>& Instance()
{
    static std::unique_ptr<TSettings> instance;
    return instance;
}

} // namespace

TSettings::TSettings()
    : SiteManagerUrl(BuiltInSites().first())
    , HomePageUrl(UserGuideUrl())
    , HelpUrl(HomePageUrl)
    , ForumUrl(HomePageUrl)
    , DownloadUrl(UserGuideUrl("installing"))
    , SitesStatusUrl(UserGuideUrl("keeping-poi-files-current-in-the-desktop-program"))
    , MapsPageUrl(UserGuideUrl("the-map-beside-each-document"))
{
}

QString DefaultTileUrl()
{
    return qEnvironmentVariable(
        "MARIVEL_TILE_URL", QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png"));
}

TSettings& Settings()
{
    auto& instance = Instance();
    if (!instance) {
        std::unique_ptr<TSettings> loaded(new TSettings);
        loaded->Load();
        instance = std::move(loaded);
    }
    return *instance;
}

void ReleaseSettings(bool save)
{
    // Released also when the save fails.
    const std::unique_ptr<TSettings> instance = std::move(Instance());
    if (instance && save)
        instance->Save();
}

void TSettings::Load()
{
    TRegistry reg;
    for (const TValue& value : Values)
        ReadValue(reg, value, *this);
    CodePage = KnownCodePageName(CodePage);
    if (CodePage.isEmpty())
        CodePage = QLatin1String(DefaultCodePage);
    LoadLists(reg);
}

void TSettings::LoadLists(TRegistry& reg)
{
    ReadList(reg, "MRU", MRU, false);
    while (MRU.size() > RecentFilesLoaded)
        MRU.removeLast();
    for (QString& line : MRU)
        if (!line.contains(QLatin1Char('=')))
            line += QLatin1Char('=');

    Sites = BuiltInSites();
    ReadList(reg, "Sites", Sites, true);

    ReadList(reg, "HiddenSites", HiddenSites, true);
    HiddenSites.removeIf(
        [](const QString& site) { return !BuiltInSites().contains(site, Qt::CaseInsensitive); });

    ReadList(reg, "DefaultFormats", DefaultFormats, false);
}

void TSettings::Save()
{
    TRegistry reg;
    if (!reg.OpenKey(MainKey, true))
        return;
    if (!InitialDir.isEmpty())
        WriteValue(reg, "InitialDir", *this);
    for (const char* name : SavedFirst)
        WriteValue(reg, name, *this);
    if (BoundsUserSet)
        for (const char* name : WindowBounds)
            WriteValue(reg, name, *this);
    for (const char* name : SavedLast)
        WriteValue(reg, name, *this);

    WriteList(reg, "MRU", MRU);
    WriteList(reg, "Sites", Sites);
    WriteList(reg, "HiddenSites", HiddenSites);
    WriteList(reg, "DefaultFormats", DefaultFormats);
    reg.Sync();
}
