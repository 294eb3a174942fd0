#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

class IUserPrompt;
class TCountry;
class TPoi;
class TSite;
class TUpdateItem;
class TUpdateItems;

// The rules of the AutoUpdate manager: the list of POI sites, browsing a site's catalogue,
// subscribing its POI files to local or device targets, and the configuration sent to Pocket
// Marivel. The manager window only collects the user's choices and shows what this returns.

// A row of a country's group list: what is shown and the group it stands for.
struct TGroupRow {
    QString Caption;
    // Lower-cased group name; null for the row of all POI files.
    QString Name;
};

// Where a single POI file's target starts in the save dialog.
struct TTargetProposal {
    QString Folder;
    QString FileName;
    // Exporter index of the registry.
    int FormatIndex = 0;
};

class TAutoUpdateManager {
public:
    // Brings a site's index from the site and returns its catalogue; the window shows a
    // progress window while it does.
    using TSiteRefresher = std::function<TSite&(const QString& location)>;

    TAutoUpdateManager(IUserPrompt& prompt, TSiteRefresher refresher);

    // Sites
    // The sites not hidden, in list order.
    QStringList ShownSites() const;
    int HiddenCount() const;
    static bool IsBuiltIn(const QString& site);
    // "Hide" for a built-in site, "Del" for one the user added.
    static QString DeleteCaption(const QString& site);
    // Adds `location`, made `SiteAddress`, to the list and returns it; fails with "This url
    // already exists in the site list".
    QString AddSite(const QString& location);
    // A typed or pasted site location, trimmed, with a doubled scheme made one: the field
    // starts with "http://", and a pasted "http://poi.org/i.xml" lands behind it.
    static QString SiteAddress(const QString& location);
    // What "Add site" accepts (after `SiteAddress`): a "FILE://" location of an existing file or
    // a web address with a valid host.
    static void CheckNewSite(const QString& location);
    // Asks first; a built-in site is hidden, another one dropped, and its items go with it.
    bool DeleteSite(const QString& site);
    bool UnhideSites();
    // The catalogue to show for `site`. A web site never downloaded is fetched when the user
    // agrees; null when not. Fails for a local index that is gone.
    TSite* OpenSite(const QString& site);
    TSite& UpdateSite(const QString& site) { return Refresher(site); }
    // The cached index for "View"; fails with "Cannot find the site xml index file".
    static QString SiteXmlFile(const QString& site);
    // The bytes of a page the index of `site` names (its information or manager page), made
    // absolute and checked as every address of a site is: a local one read in place, a web one
    // through the internet cache; at most `MaxPageBytes` of it.
    static std::string FetchPage(const QString& address, const QString& site);
    static constexpr size_t MaxPageBytes = 1024 * 1024;

    // Catalogue lists
    static QString CountryCaption(const TCountry& country);
    // Each group of the country, by the site's description of it, then the row for all.
    static std::vector<TGroupRow> GroupRows(const TSite& site, const TCountry& country);
    static std::vector<TPoi*> PoisOf(const TCountry& country, const TGroupRow& group);
    static QString AuthorizationCaption(const TPoi& poi);

    // Subscribing
    TTargetProposal ProposeLocalTarget(const TSite& site, const TPoi& poi) const;
    // Subscribes (or moves the subscription of) `poi` to the local file `fileName`, which gets
    // the extension of exporter `formatIndex` when it has none.
    void SubscribeLocal(const TSite& site, const TPoi& poi, QString fileName, int formatIndex);
    // Fails with the mixed selection message when the selected files are subscribed to local
    // and device targets at once.
    static void CheckSameTargetKind(const TSite& site, const std::vector<TPoi*>& pois);
    // Subscribes each of `pois` to a file named after it in `folder` (a "FILE://" or
    // "MOBILE://" location). False when the user would not overwrite files that exist.
    bool SubscribeMany(
        const TSite& site, const std::vector<TPoi*>& pois, const QString& folder, int formatIndex);
    // Asks first; removes the items of `targets` and saves.
    bool Unsubscribe(const QStringList& targets);
    // Copies of the items of `targets`, sorted by site, for a run.
    static void ItemsOf(const QStringList& targets, TUpdateItems& items);

    // Settings tab; each value is kept at once.
    static void SetApplication(const QString& path);
    static void KeepSettings();

    // Writes the configuration of the device items of `targets` for Pocket Marivel and says
    // so; fails with the finished message of what stood in the way.
    void SendToPocketMarivel(const QStringList& targets);

private:
    IUserPrompt& Prompt;
    TSiteRefresher Refresher;
};
