#include "sites/uSiteXmlUpdater.h"

#include <QFileInfo>

#include "locations/uDownload.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uXml.h"
#include "sites/uSite.h"

TSite& RefreshSiteXml(const QString& location, bool force, const TDownloadProgress& progress)
{
    const QString shown = LocationForDisplay(location);
    if (IsFileLocation(location) && !QFileInfo(StripFilePrefix(location)).isFile())
        throw EUserError(Tr(Msg::LocalSiteGone).arg(EscapeControls(StripFilePrefix(location))));
    try {
        LoadXmlDocument(location, force, progress);
    } catch (const EAbort&) {
        throw EUserError(Tr(Msg::DownloadCancelled));
    } catch (const EDownloadFailed& e) {
        // A server that did not answer may be down for a while; one that did says what is wrong.
        QString advice = DownloadAdvice(e);
        if (e.HttpStatus == 0)
            advice += QStringLiteral(". ") + Tr(Msg::SiteStatusHint);
        throw EUserError(Tr(Msg::CannotDownload).arg(shown, e.Message())
            + (advice.isEmpty() ? QString() : QStringLiteral("\r\r") + advice));
    } catch (const EUserError& e) {
        throw EUserError(Tr(Msg::CannotDownload).arg(shown, e.Message()));
    } catch (const Exception& e) { // what arrived does not parse as XML
        throw EUserError(Tr(Msg::NotASiteIndex).arg(shown, e.Message()));
    }
    // The catalogue reads the local copy the download just wrote; an index the program
    // cannot use fails with its own message.
    TSite& site = GetSite(location);
    site.LoadFromCache();
    return site;
}
