#include "map/uTileFetcher.h"

#include <QtEndian>

#include <gtest/gtest.h>
#include <zlib.h>

#include "mapfixture.h"

namespace {

using TMode = THttpTestServer::TResponse::TMode;

const QByteArray LastModified = "Wed, 21 Oct 2015 07:28:00 GMT";

// A PNG of one pixel whose header claims `side` by `side` pixels, its checksum made good: a
// decompression bomb, as far as a reader that trusts the header can tell.
QByteArray PngClaiming(quint32 side)
{
    QByteArray png = Png({ 1, 1 });
    constexpr int Width = 16, Crc = 29; // IHDR: length, type, width, height, ..., CRC
    qToBigEndian(side, png.data() + Width);
    qToBigEndian(side, png.data() + Width + 4);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.constData() + 12), Crc - 12);
    qToBigEndian(static_cast<quint32>(crc), png.data() + Crc); // of the chunk's type and data
    return png;
}

class TileFetcherTest : public ::testing::Test {
protected:
    // A fetcher of its own memory over the test's disk cache.
    std::unique_ptr<TTileFetcher> NewFetcher(int memoryTiles = 16)
    {
        auto fetcher =
            std::make_unique<TTileFetcher>(TileUrl, Cache.path(), 1024 * 1024, memoryTiles);
        QObject::connect(fetcher.get(), &TTileFetcher::Failed,
            [this](const QString& message) { Failures.append(message); });
        return fetcher;
    }
    // Asks for the tile until it is there or failed.
    const QImage* Load(TTileFetcher& fetcher, TTileId tile)
    {
        const qsizetype failures = Failures.size();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return fetcher.Tile(tile) || Failures.size() > failures; }, 5000));
        return fetcher.Tile(tile);
    }

    QTemporaryDir Cache;
    THttpTestServer Server;
    const QString TileUrl = Server.Url("/{z}/{x}/{y}.png"); // also once the server stopped
    QStringList Failures;
};

} // namespace

// The fetching tests and the preferences' test use addresses in the usual form.
TEST(TTileAddress, PlaceholdersInAnyOrderButInLowerCase)
{
    EXPECT_TRUE(IsTileUrl("https://t.example/tile?y={y}&x={x}&z={z}"));
    EXPECT_FALSE(IsTileUrl("https://t.example/{Z}/{x}/{y}.png"));
}

// A fresh tile comes from the disk the next time; an expired one is asked about and taken
// from the disk when unchanged; with the server gone, the expired copy still shows.
TEST_F(TileFetcherTest, DiskCacheKeepsToTheServersRules)
{
    const TTileId fresh { 3, 1, 2 }, expired { 3, 2, 2 };
    Server.Serve(TilePath(fresh), Png({ 256, 256 })).Headers = "Cache-Control: max-age=3600\r\n";
    auto& stale = Server.Serve(TilePath(expired), Png({ 256, 256 }, Qt::blue));
    stale.Headers = "Expires: " + LastModified + "\r\nLast-Modified: " + LastModified + "\r\n";
    stale.NotModifiedWhenAsked = true;
    {
        auto fetcher = NewFetcher();
        ASSERT_TRUE(Load(*fetcher, fresh));
        ASSERT_TRUE(Load(*fetcher, expired));
        EXPECT_EQ(fetcher->Fetched(), 2);
        ASSERT_EQ(Server.Requests.size(), 2);
        EXPECT_TRUE(Server.Requests[0].contains("User-Agent: Marivel/"))
            << Server.Requests[0].data();
    }
    {
        auto fetcher = NewFetcher();
        ASSERT_TRUE(Load(*fetcher, fresh));
        const QImage* again = Load(*fetcher, expired);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->pixelColor(0, 0), QColor(Qt::blue));
        EXPECT_EQ(fetcher->FromCache(), 2);
        EXPECT_EQ(fetcher->Fetched(), 0);
        ASSERT_EQ(Server.Requests.size(), 3) << "only the expired tile is asked about";
        EXPECT_TRUE(Server.Requests[2].toLower().contains("if-modified-since"));
    }
    Server.Stop();
    auto fetcher = NewFetcher();
    EXPECT_TRUE(Load(*fetcher, expired)) << Failures.join('\n').toStdString();
    EXPECT_TRUE(Failures.isEmpty());
}

// HTML, a tile too large to be one, a picture claiming to be huge and an error status are
// each dropped, told once, and not asked for again.
TEST_F(TileFetcherTest, BadTilesAreDroppedAndTold)
{
    const struct {
        TTileId Tile;
        QByteArray Body;
        int Status;
        const char* Told;
    } bad[] = {
        { { 4, 0, 0 }, "<html>Service unavailable</html>", 200, "no picture" },
        { { 4, 0, 1 }, QByteArray(10 * 1024 * 1024, 'x'), 200, "larger than 1024 KiB" },
        { { 4, 0, 2 }, PngClaiming(100000), 200, "no picture" },
        { { 4, 0, 3 }, "gone", 500, "HTTP 500" },
    };
    auto fetcher = NewFetcher();
    for (const auto& tile : bad) {
        auto& response = Server.Serve(TilePath(tile.Tile), tile.Body);
        response.Status = tile.Status;
        response.Headers = "Cache-Control: max-age=3600\r\n";
        Failures.clear();
        EXPECT_FALSE(Load(*fetcher, tile.Tile)) << tile.Told;
        ASSERT_EQ(Failures.size(), 1) << tile.Told;
        EXPECT_TRUE(Failures[0].startsWith("Map tiles cannot be loaded: Unable to download"));
        EXPECT_TRUE(Failures[0].contains(tile.Told)) << Failures[0].toStdString();
    }
    const qsizetype asked = Server.Requests.size();
    QTest::qWait(50);
    for (const auto& tile : bad)
        EXPECT_FALSE(fetcher->Tile(tile.Tile));
    QTest::qWait(50);
    EXPECT_EQ(Server.Requests.size(), asked) << "a failed tile is not asked for again";
    // Nor is the broken tile kept on disk for a later start.
    auto later = NewFetcher();
    Server.Serve(TilePath(bad[0].Tile), Png({ 256, 256 }));
    EXPECT_TRUE(Load(*later, bad[0].Tile));
    EXPECT_EQ(later->Fetched(), 1);
}

// Two tiles travel at once, the newest asked first; tiles no longer wanted are not fetched;
// memory keeps the tiles used last.
TEST_F(TileFetcherTest, TwoConnectionsNewestFirstLeastRecentlyUsedForgotten)
{
    std::vector<TTileId> tiles;
    for (int x = 0; x < 6; ++x) {
        tiles.push_back({ 5, x, 0 });
        auto& response = Server.Serve(TilePath(tiles.back()), Png({ 256, 256 }));
        response.Headers = "Cache-Control: max-age=3600\r\n";
        response.Mode = TMode::Slow;
        response.ChunkSize = 100;
        response.Interval = 2;
    }
    auto fetcher = NewFetcher(3);
    for (const TTileId& tile : tiles)
        EXPECT_FALSE(fetcher->Tile(tile));
    EXPECT_EQ(fetcher->InFlight(), 2);
    fetcher->KeepOnly({ tiles[0], tiles[1], tiles[5], tiles[4] });
    int most = 0;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            most = std::max(most, fetcher->InFlight());
            return fetcher->InFlight() == 0;
        },
        5000));
    EXPECT_LE(most, 2);
    ASSERT_EQ(Server.Requests.size(), 4) << "tiles 2 and 3 were no longer wanted";
    EXPECT_TRUE(Server.Requests[2].contains(TilePath(tiles[5]))) << "the newest first";
    EXPECT_EQ(fetcher->Fetched(), 4);
    // Three fit in memory; the one used longest ago comes from the disk again.
    const TTileId fetched[] = { tiles[0], tiles[1], tiles[4], tiles[5] };
    const auto* missing = std::find_if(std::begin(fetched), std::end(fetched),
        [&](TTileId tile) { return fetcher->Tile(tile) == nullptr; });
    EXPECT_TRUE(missing == &fetched[0] || missing == &fetched[1]) << "one of the first two";
    ASSERT_NE(missing, std::end(fetched));
    EXPECT_TRUE(Load(*fetcher, *missing));
    EXPECT_EQ(fetcher->FromCache(), 1);
    EXPECT_EQ(fetcher->Fetched(), 4);
}
