#include "map/uMapView.h"

#include <gtest/gtest.h>

#include "map/uCalibration.h"
#include "map/uWebMercator.h"
#include "testing.h"

namespace {

// 10 pixels a degree, origin at the top left, north up: pixel (x, y) is (x / 10, -y / 10).
TCalibration TenPerDegree(double zoom = 1)
{
    TCalibration calibration;
    calibration.SetPoints({ 0, 0, 0, 0 }, { 10, -10, 100, 100 });
    calibration.Zoom = zoom;
    return calibration;
}

// Entries described "0", "1", ... at the positions (longitude, latitude).
struct TEntriesAt : TEntries {
    TEntriesAt(std::initializer_list<std::pair<double, double>> positions)
    {
        int i = 0;
        for (const auto& [lon, lat] : positions)
            AddValues(std::to_string(i++), "", lon, lat);
    }
};

std::vector<QPointF> Plane(const TEntries& entries, const IMapProjection& projection)
{
    return PlanePointsOf(PositionsOf(entries), projection);
}

} // namespace

TEST(TMapRanges, NormalizedAreSortedAndMerged)
{
    EXPECT_EQ(NormalizedRanges({ { 5, 7 }, { 0, 1 }, { 2, 3 }, { 6, 9 }, { 20, 20 } }),
        (TRowRanges { { 0, 3 }, { 5, 9 }, { 20, 20 } }));
    EXPECT_TRUE(NormalizedRanges({}).empty());
}

// The rectangle from (20, 20) to (60, 50) spans longitudes 2..6 and latitudes -5..-2; its
// edges are outside, and neighbouring rows form one range.
TEST(TMapSelection, RectangleSelectsStrictlyInsideEitherWay)
{
    const TEntriesAt entries({ { 3, -3 }, { 3.5, -3 }, { 2, -3 }, { 6, -3 }, { 4, -2 }, { 4, -5 },
        { 5.99, -4.99 }, { 7, -3 }, { 4, -4 } });
    const auto plane = Plane(entries, TenPerDegree());
    const TRowRanges expected { { 0, 1 }, { 6, 6 }, { 8, 8 } };
    const std::pair<QPoint, QPoint> drags[] = { { { 20, 20 }, { 60, 50 } },
        { { 60, 50 }, { 20, 20 } }, { { 20, 50 }, { 60, 20 } } };
    for (const auto& [from, to] : drags)
        EXPECT_EQ(RowsInside(plane, TenPerDegree().PlaneView(), from, to), expected)
            << from.x() << "," << from.y();
    EXPECT_TRUE(RowsInside(plane, TenPerDegree().PlaneView(), { 20, 20 }, { 20, 20 }).empty());
}

TEST(TMapMarkers, VisibleWindowIncludesItsEdgesEachPixelOnceLastKept)
{
    // The visible area (20, 20) 40 by 30 spans longitudes 2..6 and latitudes -5..-2. Rows 0
    // and 8 share a pixel, as do 2 and 9; drawn in list order, 8 and 9 come out on top.
    const TEntriesAt entries({ { 2, -2 }, { 6, -5 }, { 4, -3 }, { 1.99, -3 }, { 4, -5.01 },
        { 6.01, -3 }, { 4, -1.99 }, { 5, -4 }, { 2, -2 }, { 4, -3 } });
    const auto plane = Plane(entries, TenPerDegree());
    const QRect area(20, 20, 40, 30);
    const struct {
        const char* Case;
        TRowRanges Selected;
        double Zoom;
        std::vector<QPoint> Centres;
    } cases[] = {
        { "all", { { 0, 9 } }, 1, { { 60, 50 }, { 50, 40 }, { 20, 20 }, { 40, 30 } } },
        { "some", { { 1, 2 }, { 7, 7 } }, 1, { { 60, 50 }, { 40, 30 }, { 50, 40 } } },
        { "zoomed in", { { 0, 9 } }, 2, { { 40, 40 } } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Case);
        const TCalibration calibration = TenPerDegree(test.Zoom);
        EXPECT_EQ(MarkerCentres(plane, test.Selected, calibration.PlaneView(), area), test.Centres);
    }
}

// Where the view spans the antimeridian, entries east and west of it show on their own side;
// where the world is narrower than the view, in each of its repetitions. A rectangle across it
// takes entries on both sides of it; a click east of it sets a longitude from -180 on.
TEST(TMapMarkers, ShowAndAreSelectedOnBothSidesOfTheAntimeridian)
{
    const TEntriesAt entries({ { 179, 10 }, { -179, 10 }, { -170, 10 }, { 0, 10 } });
    // The web map at zoom 3 (2048 pixels around), its view starting 100 pixels west of the
    // antimeridian at 20 degrees north.
    TMercatorProjection projection;
    projection.Zoom = 3;
    projection.Origin = { WorldSize(3) - 100, LatToWorldY(20, 3) };
    const auto plane = Plane(entries, projection);
    const int y = projection.LatToY(10);
    EXPECT_EQ(MarkerCentres(plane, { { 0, 1 } }, projection.PlaneView(), QRect(0, 0, 200, 100)),
        (std::vector<QPoint> { { projection.LonToX(179), y }, { projection.LonToX(181), y } }));
    EXPECT_EQ(RowsInside(plane, projection.PlaneView(), { 0, 0 }, { 150, 500 }),
        (TRowRanges { { 0, 1 } }));
    EXPECT_DOUBLE_EQ(PositionAt(projection, { 150, 0 }, 5).first, -171.21094); // 188.78906
    EXPECT_DOUBLE_EQ(PositionAt(projection, { 150, 0 }, 4).first, -171.2109) << "the precision";

    TMercatorProjection world;
    world.Zoom = 1; // 512 pixels around
    const auto west = MarkerCentres(plane, { { 1, 1 } }, world.PlaneView(), QRect(0, 0, 1200, 512));
    const int x = world.LonToX(-179);
    EXPECT_EQ(west,
        (std::vector<QPoint> { { x + 1024, world.LatToY(10) }, { x + 512, world.LatToY(10) },
            { x, world.LatToY(10) } }));
}

TEST(TMapMarkers, WindowAroundEntriesCrossesTheAntimeridianWhenNarrower)
{
    const struct {
        std::vector<TLonLat> Positions;
        double West, East;
    } cases[] = {
        { { { 4.9, 52.4 }, { 5.1, 52.3 } }, 4.9, 5.1 },
        { { { 179.5, 1 }, { -179.5, -1 } }, 179.5, 180.5 },
        { { { -100, 0 }, { 100, 0 }, { 0, 0 } }, -100, 100 },
        { { { -170, 0 }, { 170, 0 }, { 0, 0 } }, 0, 190 },
    };
    for (const auto& test : cases) {
        const TCoordWindow window = WindowAround(test.Positions);
        EXPECT_DOUBLE_EQ(window.West, test.West);
        EXPECT_DOUBLE_EQ(window.East, test.East);
        EXPECT_DOUBLE_EQ(window.South, std::min(test.Positions[0].Lat, test.Positions[1].Lat));
    }
}

TEST(TMapHint, FirstSelectedEntryInListOrderWithinReach)
{
    QLocale::setDefault(QLocale::c());
    const TEntriesAt entries({ { 5, -5 }, { 5.015, -5.015 }, { 5.01, -4.99 }, { 5.03, -5 } });
    const auto positions = PositionsOf(entries);
    const struct {
        TRowRanges Selected;
        double Zoom;
        int Precision;
        const char* Hint;
    } cases[] = {
        { { { 0, 3 } }, 1, 5, "0\rLat/Lon: -5.00000/5.00000" },
        { { { 1, 3 } }, 1, 5, "1\rLat/Lon: -5.01500/5.01500" },
        { { { 3, 3 } }, 1, 4, "" }, // 0.03 degrees away
        { {}, 1, 5, "" }, { { { 1, 3 } }, 2, 4, "2\rLat/Lon: -4.9900/5.0100" }, // the reach halves
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Hint);
        const QPoint pointer = QPoint(50, 50) * test.Zoom; // 5, -5
        EXPECT_EQ(HintAt(entries, positions, test.Selected, TenPerDegree(test.Zoom), pointer,
                      test.Precision),
            test.Hint);
    }
}
