#pragma once

#include <compare>
#include <set>

#include <QPointF>
#include <QRect>
#include <QSize>

#include "map/uProjection.h"

// The web map: square tiles of `TileSize` pixels in spherical (web) Mercator, 2^zoom of them
// across and down. World pixels count from the north-west corner at longitude -180 and
// latitude `MaxMercatorLat`.
inline constexpr int TileSize = 256;
inline constexpr int MinTileZoom = 0;
inline constexpr int MaxTileZoom = 19;
// Where the square world ends north and south.
inline constexpr double MaxMercatorLat = 85.0511287798066;

struct TTileId {
    int Zoom = 0;
    int X = 0;
    int Y = 0;
    auto operator<=>(const TTileId&) const = default;
};

// The width and height of the world in pixels at `zoom`.
double WorldSize(int zoom);
double LonToWorldX(double lon, int zoom);
// Latitudes beyond `MaxMercatorLat` are taken as that latitude.
double LatToWorldY(double lat, int zoom);
double WorldXToLon(double x, int zoom);
double WorldYToLat(double y, int zoom);
// Tile columns repeat east and west of the antimeridian; rows do not.
int WrapTileX(int x, int zoom);
bool IsTileRow(int y, int zoom);
// The tile holding a position; a longitude of 180 is the antimeridian's tile column 0.
TTileId TileAt(double lon, double lat, int zoom);
// The columns and rows of the tiles in a view of `size` pixels whose top-left corner shows the
// world pixel `origin`. Columns count on across the antimeridian; rows may lie beyond the
// world's.
QRect TilesInView(QPointF origin, QSize size);
// The tiles worth fetching for a view that shows the tiles `inView`: those and a ring one tile
// wide around them, no more, which the tile servers' rules allow; columns wrapped, rows within
// the world.
std::set<TTileId> TilesToFetch(QRect inView, int zoom);
// A longitude brought into -180..180.
double WrapLongitude(double lon);

// Coordinates as pixels of a view of the web map at `Zoom`, whose top-left corner shows the
// world pixel `Origin`. Longitudes east of 180 or west of -180 continue the world across the
// antimeridian.
class TMercatorProjection : public IMapProjection {
public:
    int Zoom = MinTileZoom;
    QPointF Origin;

    int LonToX(double lon) const override;
    int LatToY(double lat) const override;
    double XToLon(double x) const override;
    double YToLat(double y) const override;
    // A few pixels' worth of longitude.
    double HintReach() const override;
    // The world at zoom 0 on a scale of 1, repeating across the antimeridian.
    QPointF ToPlane(double lon, double lat) const override;
    TPlaneView PlaneView() const override;
};
