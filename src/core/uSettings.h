#pragma once

#include <cstdint>

#include <QString>
#include <QStringList>

#include "core/uModel.h"
#include "platform/uCodePage.h"

class TRegistry;

// OpenStreetMap's tiles, unless MARIVEL_TILE_URL names another server (the tests' own, so that
// no test reaches the internet).
QString DefaultTileUrl();

// Every preference and remembered value of the program. One object per process: `Settings()`
// creates it and loads it from the registry store on first use; `ReleaseSettings` writes it
// back at a normal program end. Other parts read and change the fields directly.
class TSettings {
public:
    TSafeStringList MRU; // recent files, location=format id, newest first
    bool CheckEveryWeek = true;
    bool ChildrenMaximized = false;
    QString LastSaveFormat;
    QString InitialDir;
    QString PrevRemoteDir;
    bool WindowStateMaximized = false;
    int Left = -1;
    int Top = -1;
    int Width = -1;
    int Height = -1;
    bool ManualProxy = false;
    QString ProxyServer;
    int ProxyPort = 80;
    bool DownloadImages = true;
    QString BatchConvertDest;
    QString BatchConvertSource;
    bool AlwaysOverwrite = false;
    int Map = 0;
    bool HideMinimizeToTray = false;
    QString SiteManagerUrl;
    QStringList Sites;
    QString SiteManagerMap;
    QString SiteManagerGroup = QStringLiteral("[All]");
    int StatusWidth = -1;
    int StatusTrayHeight = -1;
    int StatusTrayWidth = -1;
    int StatusHeight = -1;
    int MapPanelShare = 25; // percent of the document window's width
    bool MapVisible = true;
    bool StatusAutoClose = false;
    QString MapPointMap;
    bool UsePointMap = false;
    QString PrevCommitSite;
    bool PluginAutoArrange = true;
    // The main window's bounds come from the user; false after the plugin arrangement moved
    // it, and then the stored bounds are left as they were.
    bool BoundsUserSet = true;
    // A first start shows entries in the browser, which needs nothing else running.
    QString DefaultPlugin = QStringLiteral("OpenStreetMap");
    QString ProxyUsername;
    QString ProxyPassword;
    TSafeStringList DefaultFormats; // extension=format id of the importer to use
    QStringList HiddenSites;
    int SiteManagerLeftPanel = -1;
    int SiteManagerWidth = -1;
    int SiteManagerHeight = -1;
    int SiteManagerLeft = -1;
    int SiteManagerTop = -1;
    bool SiteManagerMaximized = true;
    uint8_t SiteManagerGroupsView = 2;
    uint8_t SiteManagerMapsView = 2;
    uint8_t SiteManagerItemsView = 3;
    uint8_t SiteManagerSitesView = 3;
    int AutoUpdateDelay = 5;
    int FindDupsTolerance = 5;
    int Precision = 5; // decimals of coordinates shown, compared and written, 4..6
    bool CloseMinimizes = true;
    bool ShowStartupScreen = true;
    QString AutoUpdateApplication;
    QString AutoUpdateAppParams;
    bool AutoUpdateApplicationEnabled = false;
    QString BatchConvertDestFormatID = QStringLiteral("ttov2");
    QString BatchConvertDestFormatIDs = QStringLiteral("ttov2");
    QString PMVAlternateDir;
    // Caps on a download, so a broken or hostile server cannot fill the disk: POI files, and
    // site indexes with the other small answers. Only read: a user who needs more sets them.
    int MaxDownloadMiB = 512;
    int MaxIndexDownloadMiB = 16;
    // The internet cache keeps the copies that let a later download ask "changed since?";
    // beyond this size the oldest go.
    int InternetCacheMiB = 256;
    // The web map's tile address, {z}, {x} and {y} standing for the zoom and the tile's column
    // and row; and how much of the disk its tiles may take (only read).
    QString TileUrl = DefaultTileUrl();
    int TileCacheMiB = 500;
    // The code page of the 8-bit text of files (one of `CodePageNames`); an unknown name reads
    // as the default. The programs select it at start; the preferences change it.
    QString CodePage = QLatin1String(DefaultCodePage);
    // The pages of the About box and the Help menu. Only read: by default the user guide that
    // ships with the program; a distributor or user sets the real pages.
    QString HomePageUrl;
    QString HelpUrl;
    QString ForumUrl;
    // The local folder that stands for the handheld device (a mounted navigator or memory
    // card); empty: the one the environment names, else a mounted navigator found.
    QString DeviceFolder;

    // The version document, the download page, the sites status page and the page on map
    // pictures. Only read: by default the sections of the user guide on installing, on
    // keeping POI files current and on the map. No version document is set, so the check
    // stays off until a distributor names one.
    QString VersionUrl;
    QString DownloadUrl;
    QString SitesStatusUrl;
    QString MapsPageUrl;

    void Load();
    // Fails with "Could not save the settings..." when the file cannot be written.
    void Save();
    // Puts `location` at the top of the recent files, once however it is spelled, keeping at
    // most eight. Defined with the locations (locations/uRecentFiles.cpp), whose spelling it
    // keeps.
    void AddRecentFile(const QString& location, const QString& formatId);

private:
    friend TSettings& Settings();
    TSettings();

    void LoadLists(TRegistry& reg);
};

TSettings& Settings();
// Frees the settings object if it was ever created, writing it to the registry first when
// `save` (a failed write fails as `Save` does, the object freed all the same); the next
// `Settings()` loads anew.
void ReleaseSettings(bool save);

// The registry key that holds the settings, below which the other parts keep theirs.
extern const QString MainKey;
// The POI site indexes the program knows from the start: the site of time-zone cities that
// ships with the program.
const QStringList& BuiltInSites();
// That site's index as a "FILE://" location in the installation's (or build tree's) data
// folder.
QString ShippedSiteLocation();
