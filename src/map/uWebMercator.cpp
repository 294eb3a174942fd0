#include "map/uWebMercator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int HintPixels = 6;

} // namespace

double WorldSize(int zoom) { return std::ldexp(TileSize, zoom); }

double LonToWorldX(double lon, int zoom) { return (lon + 180) / 360 * WorldSize(zoom); }

double LatToWorldY(double lat, int zoom)
{
    const double radians =
        std::clamp(lat, -MaxMercatorLat, MaxMercatorLat) * std::numbers::pi / 180;
    return (1 - std::asinh(std::tan(radians)) / std::numbers::pi) / 2 * WorldSize(zoom);
}

double WorldXToLon(double x, int zoom) { return x / WorldSize(zoom) * 360 - 180; }

double WorldYToLat(double y, int zoom)
{
    const double mercator = std::numbers::pi * (1 - 2 * y / WorldSize(zoom));
    return std::atan(std::sinh(mercator)) * 180 / std::numbers::pi;
}

int WrapTileX(int x, int zoom)
{
    const int columns = 1 << zoom;
    return ((x % columns) + columns) % columns;
}

bool IsTileRow(int y, int zoom) { return y >= 0 && y < (1 << zoom); }

TTileId TileAt(double lon, double lat, int zoom)
{
    const int last = (1 << zoom) - 1;
    const int x = static_cast<int>(std::floor(LonToWorldX(lon, zoom) / TileSize));
    const int y = static_cast<int>(std::floor(LatToWorldY(lat, zoom) / TileSize));
    return { zoom, WrapTileX(x, zoom), std::clamp(y, 0, last) };
}

QRect TilesInView(QPointF origin, QSize size)
{
    const auto tile = [](double pixel) { return static_cast<int>(std::floor(pixel / TileSize)); };
    // The last pixel in view is the one before origin + size.
    return QRect(QPoint(tile(origin.x()), tile(origin.y())),
        QPoint(tile(origin.x() + size.width() - 1), tile(origin.y() + size.height() - 1)));
}

std::set<TTileId> TilesToFetch(QRect inView, int zoom)
{
    std::set<TTileId> tiles;
    const QRect around = inView.adjusted(-1, -1, 1, 1);
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x)
            if (IsTileRow(y, zoom))
                tiles.insert({ zoom, WrapTileX(x, zoom), y });
    return tiles;
}

double WrapLongitude(double lon)
{
    const double wrapped = std::remainder(lon, 360.0);
    return wrapped == -180 && lon > 0 ? 180 : wrapped;
}

int TMercatorProjection::LonToX(double lon) const
{
    return static_cast<int>(std::lround(LonToWorldX(lon, Zoom) - Origin.x()));
}

int TMercatorProjection::LatToY(double lat) const
{
    return static_cast<int>(std::lround(LatToWorldY(lat, Zoom) - Origin.y()));
}

double TMercatorProjection::XToLon(double x) const { return WorldXToLon(x + Origin.x(), Zoom); }

double TMercatorProjection::YToLat(double y) const { return WorldYToLat(y + Origin.y(), Zoom); }

double TMercatorProjection::HintReach() const { return HintPixels * 360 / WorldSize(Zoom); }

QPointF TMercatorProjection::ToPlane(double lon, double lat) const
{
    return QPointF(LonToWorldX(lon, 0), LatToWorldY(lat, 0)) / TileSize;
}

TPlaneView TMercatorProjection::PlaneView() const
{
    const double world = WorldSize(Zoom);
    return { world, -Origin.x(), world, -Origin.y(), world };
}
