#include "map/uMapView.h"

#include <algorithm>
#include <cmath>

#include <QLocale>

#include "core/uModel.h"
#include "core/uNumbers.h"
#include "map/uProjection.h"
#include "map/uWebMercator.h"
#include "platform/uCodePage.h"
#include "platform/uMessages.h"

namespace {

constexpr double MaxZoom = 4;
constexpr double MinZoom = 0.5;

std::pair<double, double> Ordered(double a, double b) { return { std::min(a, b), std::max(a, b) }; }

// Calls `visit` with each selected row, last first.
template <class TVisit> void ForEachSelectedBackwards(const TRowRanges& selected, TVisit visit)
{
    for (auto range = selected.rbegin(); range != selected.rend(); ++range)
        for (int row = range->second; row >= range->first; --row)
            visit(row);
}

// Pixels already taken by a marker, in `area` widened by a margin for rounding.
class TPixelSet {
public:
    explicit TPixelSet(QRect area)
        : Area(area.adjusted(-Margin, -Margin, Margin, Margin))
        , Taken(static_cast<size_t>(std::max(0, Area.width()))
              * static_cast<size_t>(std::max(0, Area.height())))
    {
    }
    // Whether `pixel` was free; it is taken afterwards.
    bool Take(QPoint pixel)
    {
        if (!Area.contains(pixel))
            return true;
        const size_t index = static_cast<size_t>(pixel.y() - Area.top()) * Area.width()
            + static_cast<size_t>(pixel.x() - Area.left());
        const bool free = !Taken[index];
        Taken[index] = true;
        return free;
    }

private:
    static constexpr int Margin = 2;
    QRect Area;
    std::vector<bool> Taken;
};

// Calls `visit` with each of the columns, from `left` to `right` with both included, at which
// the column `x` of a map that repeats every `period` pixels shows (`x` itself when 0).
template <class TVisit>
void ForEachRepetition(double x, double period, double left, double right, TVisit visit)
{
    if (period <= 0) {
        if (x >= left && x <= right)
            visit(x);
        return;
    }
    double offset = x - left;
    if (offset < 0 || offset >= period) // seldom: the division costs more than the rest
        offset = std::fmod(std::fmod(offset, period) + period, period);
    for (x = left + offset; x <= right; x += period)
        visit(x);
}

} // namespace

std::vector<TLonLat> PositionsOf(const TEntries& entries)
{
    std::vector<TLonLat> positions;
    positions.reserve(static_cast<size_t>(entries.Count()));
    for (int row = 0; row < entries.Count(); ++row) {
        const TEntry& entry = entries.Items(row);
        positions.push_back({ entry.Longitude(), entry.Latitude() });
    }
    return positions;
}

TRowRanges NormalizedRanges(TRowRanges ranges)
{
    std::sort(ranges.begin(), ranges.end());
    TRowRanges merged;
    for (const auto& range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    return merged;
}

TCoordWindow WindowAround(const std::vector<TLonLat>& positions)
{
    TCoordWindow plain { 180, -180, 90, -90 };
    TCoordWindow across { 360, 0, 90, -90 }; // west longitudes taken 360 degrees further east
    for (const auto& [lon, lat] : positions) {
        const double east = lon < 0 ? lon + 360 : lon;
        plain = { std::min(plain.West, lon), std::max(plain.East, lon), std::min(plain.South, lat),
            std::max(plain.North, lat) };
        across.West = std::min(across.West, east);
        across.East = std::max(across.East, east);
    }
    if (across.East - across.West < plain.East - plain.West)
        return { across.West, across.East, plain.South, plain.North };
    return plain;
}

TCoordWindow WindowOf(const IMapProjection& projection, QRect area)
{
    const auto [west, east] = Ordered(projection.XToLon(area.x()),
        projection.XToLon(static_cast<double>(area.x()) + area.width()));
    const auto [south, north] = Ordered(projection.YToLat(area.y()),
        projection.YToLat(static_cast<double>(area.y()) + area.height()));
    return { west, east, south, north };
}

std::vector<QPointF> PlanePointsOf(
    const std::vector<TLonLat>& positions, const IMapProjection& projection)
{
    std::vector<QPointF> plane;
    plane.reserve(positions.size());
    for (const auto& [lon, lat] : positions)
        plane.push_back(projection.ToPlane(lon, lat));
    return plane;
}

std::vector<QPoint> MarkerCentres(const std::vector<QPointF>& plane, const TRowRanges& selected,
    const TPlaneView& view, QRect visible)
{
    const double left = visible.x(), right = left + visible.width();
    const double top = visible.y(), bottom = top + visible.height();
    TPixelSet taken(visible);
    std::vector<QPoint> centres;
    ForEachSelectedBackwards(selected, [&](int row) {
        const QPointF& point = plane[static_cast<size_t>(row)];
        const double y = view.Y(point.y());
        if (y < top || y > bottom)
            return;
        ForEachRepetition(view.X(point.x()), view.PeriodX, left, right, [&](double x) {
            const QPoint pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
            if (taken.Take(pixel))
                centres.push_back(pixel);
        });
    });
    std::reverse(centres.begin(), centres.end());
    return centres;
}

TRowRanges RowsInside(
    const std::vector<QPointF>& plane, const TPlaneView& view, QPoint corner1, QPoint corner2)
{
    const double left = std::min(corner1.x(), corner2.x());
    const double right = std::max(corner1.x(), corner2.x());
    const double top = std::min(corner1.y(), corner2.y());
    const double bottom = std::max(corner1.y(), corner2.y());
    TRowRanges rows;
    for (int row = 0; row < static_cast<int>(plane.size()); ++row) {
        const QPointF& point = plane[static_cast<size_t>(row)];
        const double y = view.Y(point.y());
        bool inside = false;
        if (y > top && y < bottom)
            ForEachRepetition(view.X(point.x()), view.PeriodX, left, right,
                [&](double x) { inside = inside || (x > left && x < right); });
        if (!inside)
            continue;
        if (!rows.empty() && rows.back().second == row - 1)
            rows.back().second = row;
        else
            rows.emplace_back(row, row);
    }
    return rows;
}

QString HintAt(const TEntries& entries, const std::vector<TLonLat>& positions,
    const TRowRanges& selected, const IMapProjection& projection, QPoint position, int precision)
{
    const double lon = projection.XToLon(position.x());
    const double lat = projection.YToLat(position.y());
    const double reach = projection.HintReach();
    for (const auto& [first, last] : selected)
        for (int row = first; row <= last; ++row) {
            const TLonLat& at = positions[static_cast<size_t>(row)];
            if (std::fabs(at.Lat - lat) <= reach && std::fabs(at.Lon - lon) <= reach)
                return Tr(Msg::MapHint)
                    .arg(Utf8ToUnicode(entries.Items(row).Description()),
                        QLocale().toString(at.Lat, 'f', precision),
                        QLocale().toString(at.Lon, 'f', precision));
        }
    return QString();
}

QString PointerText(const IMapProjection& projection, QPoint position, int precision)
{
    return QStringLiteral("%1 %2 (%3 %4)")
        .arg(QLocale().toString(projection.YToLat(position.y()), 'f', precision),
            QLocale().toString(WrapLongitude(projection.XToLon(position.x())), 'f', precision))
        .arg(position.x())
        .arg(position.y());
}

std::pair<double, double> PositionAt(
    const IMapProjection& projection, QPoint position, int precision)
{
    return { RoundToDecimals(WrapLongitude(projection.XToLon(position.x())), precision),
        RoundToDecimals(projection.YToLat(position.y()), precision) };
}

bool CanZoomIn(bool mapChosen, double effectiveZoom)
{
    return mapChosen && effectiveZoom < MaxZoom;
}

bool CanZoomOut(bool mapChosen, double effectiveZoom)
{
    return mapChosen && effectiveZoom > MinZoom;
}
