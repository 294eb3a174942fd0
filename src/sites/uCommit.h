#pragma once

#include <QString>
#include <QStringList>

#include "sites/uSite.h"

struct TSiteCredentials;

// Committing a new POI to a site that takes them: the sites that do, the groups and POI files
// a commit may go to, and the request itself.

// The sites of `sites`, without the hidden ones, whose downloaded index mentions "<addurl"
// anywhere (a plain search of the local copy, so a mention inside a comment counts). Fails
// with "No sites detected that support committing of poi's. ..." when there is none.
QStringList CommitSites(const QStringList& sites, const QStringList& hidden);

// What the user commits: the entry and the POI file it is meant for.
struct TCommitEntry {
    QString Description;
    double Longitude = 0;
    double Latitude = 0;
    QString Poi;
};

// The country's groups that take commits, as the user reads them: the site's description of
// each, or the name where the site describes none.
QStringList CommitGroupCaptions(const TSite& site, const TCountry& country);
// The POI files of `group` in `country` that take commits.
TPoiList CommitPois(const TCountry& country, const QString& group);

// The site's "addurl", made absolute and expanded, with "%Poi%", "%Lon%", "%Lat%" and
// "%Desc%" filled in (ignoring case); coordinates with "." whatever the locale.
QString CommitAddress(
    const TSite& site, const TCommitEntry& entry, const TSiteCredentials& credentials);
// Sends the entry with the stored credentials of the site. An empty answer is success; a
// non-empty answer is the site's complaint. Any failure comes out as "Cannot commit to ..."
// with the connection hint, after it was reported to the site's error address.
void CommitToSite(const TSite& site, const TCommitEntry& entry);
