#include "map/uMapView.h"

#include <gtest/gtest.h>

#include "map/uCalibration.h"
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

} // namespace

TEST(TMapRanges, NormalizedAreSortedAndMerged)
{
    EXPECT_EQ(NormalizedRanges({ { 5, 7 }, { 0, 1 }, { 2, 3 }, { 6, 9 }, { 20, 20 } }),
        (TRowRanges { { 0, 3 }, { 5, 9 }, { 20, 20 } }));
    EXPECT_TRUE(NormalizedRanges({}).empty());
}

TEST(TMapSelection, RectangleSelectsStrictlyInsideEitherWay)
{
    // The rectangle from (20, 20) to (60, 50) spans longitudes 2..6 and latitudes -5..-2.
    const TEntriesAt entries({ { 3, -3 }, { 2, -3 }, { 6, -3 }, { 4, -2 }, { 4, -5 },
        { 5.99, -4.99 }, { 7, -3 }, { 4, -4 } });
    const TCalibration calibration = TenPerDegree();
    const TRowRanges expected { { 0, 0 }, { 5, 5 }, { 7, 7 } };
    EXPECT_EQ(RowsInside(PositionsOf(entries), calibration, { 20, 20 }, { 60, 50 }), expected);
    EXPECT_EQ(RowsInside(PositionsOf(entries), calibration, { 60, 50 }, { 20, 20 }), expected)
        << "dragged from lower right to upper left";
    EXPECT_EQ(RowsInside(PositionsOf(entries), calibration, { 20, 50 }, { 60, 20 }), expected);
    EXPECT_TRUE(RowsInside(PositionsOf(entries), calibration, { 20, 20 }, { 20, 20 }).empty());
}

TEST(TMapSelection, NeighbouringRowsFormOneRange)
{
    const TEntriesAt entries({ { 1, -1 }, { 1, -1 }, { 1, -1 }, { 9, -9 }, { 1, -1 } });
    EXPECT_EQ(RowsInside(PositionsOf(entries), TenPerDegree(), { 0, 0 }, { 50, 50 }),
        (TRowRanges { { 0, 2 }, { 4, 4 } }));
}

TEST(TMapMarkers, VisibleWindowIncludesItsEdges)
{
    // The visible area (20, 20) 40 by 30 spans longitudes 2..6 and latitudes -5..-2.
    const TEntriesAt entries({ { 2, -2 }, { 6, -5 }, { 4, -3 }, { 1.99, -3 }, { 4, -5.01 },
        { 6.01, -3 }, { 4, -1.99 } });
    const auto centres =
        MarkerCentres(PositionsOf(entries), { { 0, 6 } }, TenPerDegree(), QRect(20, 20, 40, 30));
    EXPECT_EQ(centres, (std::vector<QPoint> { { 20, 20 }, { 60, 50 }, { 40, 30 } }));
}

TEST(TMapMarkers, OnlySelectedEntriesEachPixelOnceLastKept)
{
    const TEntriesAt entries({ { 1, -1 }, { 2, -2 }, { 1, -1 }, { 3, -3 }, { 2, -2 } });
    // Rows 0 and 2 share a pixel, as do 1 and 4; drawn in list order, 2 and 4 come out on top.
    const auto all =
        MarkerCentres(PositionsOf(entries), { { 0, 4 } }, TenPerDegree(), QRect(0, 0, 100, 100));
    EXPECT_EQ(all, (std::vector<QPoint> { { 10, 10 }, { 30, 30 }, { 20, 20 } }));
    const auto some = MarkerCentres(
        PositionsOf(entries), { { 0, 0 }, { 3, 3 } }, TenPerDegree(), QRect(0, 0, 100, 100));
    EXPECT_EQ(some, (std::vector<QPoint> { { 10, 10 }, { 30, 30 } }));
}

TEST(TMapMarkers, ZoomPlacesMarkersFurtherOut)
{
    const TEntriesAt entries({ { 1, -1 }, { 8, -8 } });
    const auto centres =
        MarkerCentres(PositionsOf(entries), { { 0, 1 } }, TenPerDegree(2), QRect(0, 0, 100, 100));
    EXPECT_EQ(centres, (std::vector<QPoint> { { 20, 20 } })) << "8 degrees lie at 160";
}

TEST(TMapHint, FirstSelectedEntryInListOrderWithinReach)
{
    TTempConfig config;
    QLocale::setDefault(QLocale::c());
    const TEntriesAt entries({ { 5, -5 }, { 5.015, -5.015 }, { 5.01, -4.99 }, { 5.03, -5 } });
    const TCalibration calibration = TenPerDegree();
    const QPoint pointer(50, 50); // 5, -5
    EXPECT_EQ(HintAt(entries, PositionsOf(entries), { { 0, 3 } }, calibration, pointer, 5),
        "0\rLat/Lon: -5.00000/5.00000");
    EXPECT_EQ(HintAt(entries, PositionsOf(entries), { { 1, 3 } }, calibration, pointer, 5),
        "1\rLat/Lon: -5.01500/5.01500");
    EXPECT_EQ(
        HintAt(entries, PositionsOf(entries), { { 3, 3 } }, calibration, pointer, 4), QString())
        << "0.03 degrees away";
    EXPECT_EQ(HintAt(entries, PositionsOf(entries), {}, calibration, pointer, 5), QString())
        << "nothing selected";
    // Zoomed in twice as far, the reach halves to 0.01 degrees.
    EXPECT_EQ(HintAt(entries, PositionsOf(entries), { { 1, 3 } }, TenPerDegree(2), { 100, 100 }, 4),
        "2\rLat/Lon: -4.9900/5.0100");
}

TEST(TMapPointer, StatusTextAndPositionsRoundToPrecision)
{
    QLocale::setDefault(QLocale::c());
    const TCalibration calibration = TenPerDegree(4);
    EXPECT_EQ(PointerText(calibration, { 123, 457 }, 5), "-11.42500 3.07500 (123 457)");
    // A pixel of zoom 4 is 0.025 degrees: 0.0025 of a degree lies between pixels.
    const auto [lon, lat] = PositionAt(TenPerDegree(3), { 1, 2 }, 5);
    EXPECT_DOUBLE_EQ(lon, 0.03333);
    EXPECT_DOUBLE_EQ(lat, -0.06667);
    const auto [lon4, lat4] = PositionAt(TenPerDegree(3), { 1, 2 }, 4);
    EXPECT_DOUBLE_EQ(lon4, 0.0333);
    EXPECT_DOUBLE_EQ(lat4, -0.0667);
}

TEST(TMapZoom, LevelsBetweenHalfAndFour)
{
    EXPECT_TRUE(CanZoomIn(true, 2));
    EXPECT_FALSE(CanZoomIn(true, 4));
    EXPECT_FALSE(CanZoomIn(false, 1)) << "no map chosen";
    EXPECT_TRUE(CanZoomOut(true, 1));
    EXPECT_FALSE(CanZoomOut(true, 0.5));
    EXPECT_FALSE(CanZoomOut(false, 2));
}
