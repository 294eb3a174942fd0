#include "sites/uSiteXmlUpdater.h"

#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uXml.h"
#include "sites/uSite.h"

TSite& RefreshSiteXml(const QString& location, bool force, const TDownloadProgress& progress)
{
    try {
        LoadXmlDocument(location, force, progress);
    } catch (const EAbort&) {
        throw EUserError(Tr(Msg::DownloadCancelled));
    } catch (const Exception& e) {
        throw EUserError(Tr(Msg::CannotDownload).arg(LocationForDisplay(location), e.Message())
            + QStringLiteral("\r\r") + Tr(Msg::CheckInternet) + QStringLiteral(". ")
            + Tr(Msg::SiteStatusHint));
    }
    // The catalogue reads the local copy the download just wrote; an index the program
    // cannot use fails with its own message.
    TSite& site = GetSite(location);
    site.LoadFromCache();
    return site;
}
