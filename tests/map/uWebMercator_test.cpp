#include "map/uWebMercator.h"

#include <cmath>

#include <gtest/gtest.h>

#include "map/uMapView.h"
#include "testing.h"

namespace {

struct TKnownTile {
    double Lon, Lat;
    TTileId Tile;
};

} // namespace

TEST(TWebMercator, KnownPointsLieInTheirTiles)
{
    const TKnownTile known[] = {
        { 0, 0, { 0, 0, 0 } },
        { 179.9, 85, { 0, 0, 0 } },
        { 0, 0, { 1, 1, 1 } },
        { 4.9, 52.37, { 17, 67320, 43075 } }, // Amsterdam
        { -74.0, 40.7, { 12, 1206, 1540 } }, // New York
        { 151.2, -33.87, { 15, 30146, 19663 } }, // Sydney
        // The antimeridian: the last column east, the first west, and 180 is -180 again.
        { 179.9999, 0, { 19, 524287, 262144 } },
        { -180, 0, { 19, 0, 262144 } },
        { 180, 0, { 19, 0, 262144 } },
        { 190, 0, { 3, 0, 4 } },
        // The square world's edges; beyond them the first and last rows.
        { 0, 85.0511, { 19, 262144, 0 } },
        { 0, -85.0511, { 19, 262144, 524287 } },
        { 0, 89.9, { 5, 16, 0 } },
        { 0, -90, { 5, 16, 31 } },
    };
    for (const auto& [lon, lat, tile] : known)
        EXPECT_EQ(TileAt(lon, lat, tile.Zoom), tile)
            << lon << ", " << lat << " at zoom " << tile.Zoom;
}

TEST(TWebMercator, WorldPixelsAndBackAtEveryZoom)
{
    const std::pair<double, double> points[] = { { 4.9, 52.37 }, { -179.99, -85.05 },
        { 179.99, 85.05 }, { 0, 0 }, { -74.0, 40.7 } };
    for (int zoom = MinTileZoom; zoom <= MaxTileZoom; ++zoom)
        for (const auto& [lon, lat] : points) {
            EXPECT_NEAR(WorldXToLon(LonToWorldX(lon, zoom), zoom), lon, 1e-9) << zoom;
            EXPECT_NEAR(WorldYToLat(LatToWorldY(lat, zoom), zoom), lat, 1e-9) << zoom;
        }
    EXPECT_NEAR(LatToWorldY(MaxMercatorLat, 3), 0, 1e-6);
    EXPECT_NEAR(LatToWorldY(-MaxMercatorLat, 3), WorldSize(3), 1e-6);
    EXPECT_NEAR(LatToWorldY(90, 3), 0, 1e-6) << "the pole is clamped to the world's edge";
}

TEST(TWebMercator, ColumnsWrapRowsDoNot)
{
    for (const auto& [x, wrapped] : { std::pair { -1, 3 }, { 4, 0 }, { 9, 1 }, { 2, 2 } })
        EXPECT_EQ(WrapTileX(x, 2), wrapped) << x;
    for (const auto& [y, row] : { std::pair { 3, true }, { 4, false }, { -1, false } })
        EXPECT_EQ(IsTileRow(y, 2), row) << y;
    for (const auto& [lon, wrapped] :
        { std::pair { 190.0, -170.0 }, { 180.0, 180.0 }, { 540.0, 180.0 }, { -190.0, 170.0 } })
        EXPECT_DOUBLE_EQ(WrapLongitude(lon), wrapped) << lon;
}

// The tiles in sight and a ring one tile wide around them are fetched, no more; columns wrap
// across the antimeridian, rows end at the world's edges.
TEST(TWebMercator, FetchesTheTilesInViewAndOneAround)
{
    const QRect inView = TilesInView({ 300, 10 }, { 600, 246 }); // pixels 300..899, 10..255
    EXPECT_EQ(inView, QRect(QPoint(1, 0), QPoint(3, 0)));
    std::set<TTileId> expected;
    for (int x = 0; x <= 4; ++x)
        for (int y = 0; y <= 1; ++y)
            expected.insert({ 5, x, y });
    EXPECT_EQ(TilesToFetch(inView, 5), expected) << "no row above the world";
    const std::set<TTileId> across = TilesToFetch(QRect(QPoint(-1, 1), QPoint(0, 1)), 2);
    EXPECT_EQ(across,
        (std::set<TTileId> { { 2, 0, 0 }, { 2, 0, 1 }, { 2, 0, 2 }, { 2, 1, 0 }, { 2, 1, 1 },
            { 2, 1, 2 }, { 2, 2, 0 }, { 2, 2, 1 }, { 2, 2, 2 }, { 2, 3, 0 }, { 2, 3, 1 },
            { 2, 3, 2 } }))
        << "columns -2..1 are 2, 3, 0 and 1";
}
