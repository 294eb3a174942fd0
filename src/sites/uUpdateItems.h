#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QDateTime>
#include <QString>

// AutoUpdate items: subscriptions that keep a target file up to date with a POI file of a
// site, and the program-wide list of them that lives in the registry.

// One subscription. The target is its key: no two items may write the same file.
class TUpdateItem {
public:
    // The country (the site's "map") under which the POI file is listed.
    QString Country;
    // The POI file's description in the site index; with `Site` it names the file.
    QString Poi;
    // The location of the site's index.
    QString Site;
    // Null: never.
    QDateTime LastChecked;
    QDateTime LastUpdated;
    // A "FILE://" or "MOBILE://" location with file name and extension.
    QString Target;
    // The converter format id the target is written in, such as "ttov2".
    QString Format;
};

// Items compare their targets, sites and POI names ignoring case.
class TUpdateItems {
public:
    int Count() const { return int(List.size()); }
    TUpdateItem& Items(int index) const { return *List[size_t(index)]; }
    // Takes the item over.
    void Add(std::unique_ptr<TUpdateItem> item) { List.push_back(std::move(item)); }
    void Clear() { List.clear(); }

    TUpdateItem* Find(const QString& target) const;
    bool Exists(const QString& target) const { return Find(target) != nullptr; }
    TUpdateItem* FindByPoi(const QString& site, const QString& poi) const;
    bool SiteHasItems(const QString& site) const;
    // Fails with "AutoUpdate item for %1 not found".
    void Remove(const QString& target);
    // Removes every item of `site` from the stored list (see `ChangeStored`).
    void RemoveSite(const QString& site);
    // Groups the items of each site together, keeping their order within a site.
    void SortBySite();
    // Adds new subscriptions to the stored list (see `ChangeStored`), unless a target would
    // then be written by two items: then nothing is added and this fails with "The specified
    // target directory causes 2 or more ..." when the new items collide among themselves, else
    // with "One or more target files are already updated by another item...".
    void AddSubscriptions(std::vector<std::unique_ptr<TUpdateItem>> items);
    // Stores the check and update times of `checked` in its stored item, when it is still
    // stored (see `ChangeStored`).
    void StoreTimes(const TUpdateItem& checked);
    // Replaces the items of `other` by copies of these.
    void CopyTo(TUpdateItems& other) const;

    // Every change to the stored list goes through here, as a subscription made by one
    // program while another one's run is busy must survive the run's saves: under a lock
    // file beside the settings this list is loaded as stored now, `change` changes it and it
    // is saved. Items that stay keep their objects; others are gone. Fails with the
    // message of `change`, of a failed write, or of a lock that another program keeps.
    void ChangeStored(const std::function<void(TUpdateItems&)>& change);

    // The registry holds one line per item, values "0", "1", ... up to the first missing
    // number (see `ItemLine`). A value that is not text is skipped with a warning. A missing
    // key leaves the list empty. Items of the same target as before keep their objects.
    void Load();
    // Writes the lines and drops the numbered values a longer list left behind. Fails with
    // "Could not save the settings..." when the file cannot be written.
    void Save() const;

private:
    // Takes `loaded` as the list, keeping the objects of the targets it already had, so that
    // references to them stay good.
    void Adopt(std::vector<std::unique_ptr<TUpdateItem>> loaded);

    std::vector<std::unique_ptr<TUpdateItem>> List;
};

// The stored line of an item: the target, "=", then site, POI, country, last checked, last
// updated and format separated by "|", dates as "ddmmyyyyhhnnss". Each field has its "%",
// "|" and "=" written as "%25", "%7C" and "%3D", so that every text reads back as it was.
QString ItemLine(const TUpdateItem& item);
// Lines stored before fields were escaped (`escaped` false) hold them as they are; those
// written before items had a format hold five fields and leave it empty.
std::unique_ptr<TUpdateItem> ParseItemLine(const QString& line, bool escaped);

// The program's own list, loaded on first use.
TUpdateItems& AutoUpdateItems();

// A date as an item line holds it; a null date is the zero date, 30 December 1899 00:00:00.
QString FormatItemDate(const QDateTime& date);
// The zero date, an empty text and text that is no date all read as null.
QDateTime ParseItemDate(const QString& text);

// The account of the user at a site, kept in the site's sub-key of the AutoUpdate key.
struct TSiteCredentials {
    QString Username;
    QString Password;
};

// Empty texts when nothing is stored.
TSiteCredentials ReadSiteCredentials(const QString& site);
// Stores the password scrambled; fails with "Could not access registry for writing".
void WriteSiteCredentials(const QString& site, const TSiteCredentials& credentials);
