// The recent files are the settings' own list, but each is kept under its normalized location,
// so the one method that fills the list is defined here, with the locations, and not with the
// other settings.
#include "core/uSettings.h"
#include "locations/uLocations.h"

namespace {

constexpr int RecentFilesKept = 8;

} // namespace

void TSettings::AddRecentFile(const QString& location, const QString& formatId)
{
    const QString normalized = NormalizedLocation(location);
    int existing = MRU.IndexOfName(normalized);
    if (existing >= 0)
        MRU.removeAt(existing);
    MRU.InsertPair(0, normalized, formatId);
    while (MRU.size() > RecentFilesKept)
        MRU.removeLast();
}
