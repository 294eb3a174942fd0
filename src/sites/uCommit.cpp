#include "sites/uCommit.h"

#include <QFile>

#include "locations/uDownload.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "sites/uAutoUpdate.h"
#include "sites/uUpdateItems.h"

namespace {

// A plain search of the local copy, as a site need not be loaded to be offered.
bool MentionsAddUrl(const QString& site)
{
    QFile copy(LocalCopyName(site));
    return copy.open(QIODevice::ReadOnly) && copy.readAll().contains("<addurl");
}

QString Coordinate(double value) { return QString::number(value, 'g', 15); }

void NotifyError(const TSite& site, const QString& message, const TCommitEntry& entry,
    const TSiteCredentials& credentials)
{
    if (site.OnError.isEmpty())
        return;
    try {
        DownloadToString(SiteRequestAddress(FillErrorAddress(site.OnError, message, entry.Poi),
                             site.Location(), credentials),
            true);
    } catch (const Exception&) { // the error the user reads is the one that matters
    }
}

} // namespace

QStringList CommitSites(const QStringList& sites, const QStringList& hidden)
{
    QStringList found;
    for (const QString& site : sites)
        if (!hidden.contains(site, Qt::CaseInsensitive) && MentionsAddUrl(site))
            found.append(site);
    if (found.isEmpty())
        throw EUserError(Tr(Msg::NoCommitSites));
    return found;
}

QStringList CommitGroupCaptions(const TSite& site, const TCountry& country)
{
    QStringList captions;
    for (const QString& name : country.CommitGroupNames) {
        const int group = site.FindGroup(name);
        captions.append(group < 0 ? name : site.Groups[size_t(group)]->Description);
    }
    return captions;
}

TPoiList CommitPois(const TCountry& country, const QString& group)
{
    TPoiList pois = country.PoisOfGroup(group);
    std::erase_if(pois, [](const TPoi* poi) { return !poi->Commit; });
    return pois;
}

QString CommitAddress(
    const TSite& site, const TCommitEntry& entry, const TSiteCredentials& credentials)
{
    return SiteRequestAddress(site.AddUrl, site.Location(), credentials)
        .replace(QStringLiteral("%Poi%"), UrlEncoded(entry.Poi), Qt::CaseInsensitive)
        .replace(QStringLiteral("%Lon%"), Coordinate(entry.Longitude), Qt::CaseInsensitive)
        .replace(QStringLiteral("%Lat%"), Coordinate(entry.Latitude), Qt::CaseInsensitive)
        .replace(QStringLiteral("%Desc%"), UrlEncoded(entry.Description), Qt::CaseInsensitive);
}

void CommitToSite(const TSite& site, const TCommitEntry& entry)
{
    const TSiteCredentials credentials = ReadSiteCredentials(site.Location());
    try {
        const std::string answer = DownloadToString(CommitAddress(site, entry, credentials), true);
        const QString complaint = QString::fromUtf8(answer).trimmed();
        if (!complaint.isEmpty())
            throw ESiteError(EscapeControls(complaint));
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        const QString message = Tr(Msg::CannotCommit).arg(site.Location(), e.Message())
            + QStringLiteral("\r\r") + Tr(Msg::CheckCredentials);
        NotifyError(site, message, entry, credentials);
        throw EUserError(message);
    }
}
