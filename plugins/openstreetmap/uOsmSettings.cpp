#include "uOsmSettings.h"

#include "platform/uRegistry.h"
#include "plugins/uPluginUtils.h"

namespace {

QString Key() { return PluginSettingsKey(QStringLiteral("OpenStreetMap")); }
const QString ZoomValue = QStringLiteral("Zoom");
const QString PatternValue = QStringLiteral("AddressPattern");

// Coordinates in the address always take "." and enough decimals for a metre.
QString Coordinate(double value) { return QString::number(value, 'f', 6); }

} // namespace

const QString TOsmSettings::DefaultPattern =
    QStringLiteral("https://www.openstreetmap.org/?mlat={lat}&mlon={lon}#map={zoom}/{lat}/{lon}");

TOsmSettings TOsmSettings::Load()
{
    TOsmSettings settings;
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(Key()))
        return settings;
    const int zoom = reg.TryReadInteger(ZoomValue).value_or(DefaultZoom);
    if (zoom >= MinZoom && zoom <= MaxZoom)
        settings.Zoom = zoom;
    const QString pattern = reg.TryReadString(PatternValue).value_or(QString()).trimmed();
    if (!pattern.isEmpty())
        settings.Pattern = pattern;
    return settings;
}

void TOsmSettings::Save() const
{
    TRegistry reg;
    reg.OpenKey(Key(), true);
    reg.WriteInteger(ZoomValue, Zoom);
    reg.WriteString(PatternValue, Pattern);
}

QUrl TOsmSettings::PageOf(double longitude, double latitude) const
{
    QString address = Pattern;
    address.replace(QStringLiteral("{lat}"), Coordinate(latitude))
        .replace(QStringLiteral("{lon}"), Coordinate(longitude))
        .replace(QStringLiteral("{zoom}"), QString::number(Zoom));
    return QUrl(address);
}
