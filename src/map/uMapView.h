#pragma once

#include <utility>
#include <vector>

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

#include "map/uProjection.h"

class TEntries;

// The rules of the map beside a document, apart from drawing: which entries show as markers,
// which a dragged rectangle selects, the hint and the status text under the pointer, zooming
// and setting a position. Positions are pixels of the map as shown, through its projection.

// The coordinates of an entry.
struct TLonLat {
    double Lon, Lat;
};
// The coordinates of every entry, in list order, read once: reading them from the entries costs
// more than everything else in drawing a million markers.
std::vector<TLonLat> PositionsOf(const TEntries& entries);

// Rows as ranges (first, last), both included.
using TRowRanges = std::vector<std::pair<int, int>>;
// Ascending, without overlaps or ranges that touch.
TRowRanges NormalizedRanges(TRowRanges ranges);

// A window of coordinates; `Contains` includes the edges.
struct TCoordWindow {
    double West, East, South, North;
    bool Contains(double lon, double lat) const
    {
        return lon >= West && lon <= East && lat >= South && lat <= North;
    }
};
// The smallest window holding all `positions` (at least one); when they lie closer together
// across the antimeridian, its east edge lies beyond 180.
TCoordWindow WindowAround(const std::vector<TLonLat>& positions);
// The coordinates of the edges of `area` (right and bottom edges at x + width, y + height).
TCoordWindow WindowOf(const IMapProjection& projection, QRect area);

// Where the entries lie on the projection's plane (see `IMapProjection::ToPlane`), in list
// order.
std::vector<QPointF> PlanePointsOf(
    const std::vector<TLonLat>& positions, const IMapProjection& projection);

// The centres of the markers of the `selected` entries, given by their plane points, that lie
// within `visible`, edges included, each pixel once: the last entry, in list order, at a pixel
// stands for the others there, and the order is kept, so that drawing them leaves the picture
// drawing all of them would. Where the map repeats east and west, an entry shows in each
// repetition in sight.
std::vector<QPoint> MarkerCentres(const std::vector<QPointF>& plane, const TRowRanges& selected,
    const TPlaneView& view, QRect visible);

// The rows of the entries, given by their plane points, strictly inside the rectangle spanned
// by `corner1` and `corner2`, in either order; on a map that repeats east and west, in any
// repetition.
TRowRanges RowsInside(
    const std::vector<QPointF>& plane, const TPlaneView& view, QPoint corner1, QPoint corner2);

// The hint at `position`: the first selected entry, in list order, whose latitude and
// longitude each lie within the projection's hint reach of the pointer's; empty when there is
// none.
QString HintAt(const TEntries& entries, const std::vector<TLonLat>& positions,
    const TRowRanges& selected, const IMapProjection& projection, QPoint position, int precision);
// The status text of the pointer: latitude and longitude, then the pixel.
QString PointerText(const IMapProjection& projection, QPoint position, int precision);

// The position a click sets, (longitude, latitude), rounded to `precision` decimals; a
// longitude beyond the antimeridian is brought back into -180..180.
std::pair<double, double> PositionAt(
    const IMapProjection& projection, QPoint position, int precision);

// Zooming doubles or halves; the levels reachable from 1 are 0.5, 1, 2 and 4.
bool CanZoomIn(bool mapChosen, double effectiveZoom);
bool CanZoomOut(bool mapChosen, double effectiveZoom);
