#pragma once

#include <QString>

#include "locations/uDownload.h"

class TSite;

// Fetches a site's index into its local copy and reloads the program's catalogue of the site
// from it. With `force` the index comes fresh from the site; otherwise a copy in the internet
// cache may serve. Fails with "Download cancelled by user" when `progress` cancelled, and with
// "Cannot download ..." and the hint to check the connection when the download failed.
TSite& RefreshSiteXml(const QString& location, bool force, const TDownloadProgress& progress = {});
