#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <set>

#include <QCache>
#include <QImage>
#include <QObject>
#include <QString>
#include <QThread>

#include "map/uWebMercator.h"

class TTileLoader;

size_t qHash(const TTileId& tile, size_t seed = 0) noexcept;

// Where the web map's tiles are kept: "marivel/tiles" in the user's cache folder.
QString TileCacheFolder();
// Whether a tile address names the zoom, column and row: {z}, {x} and {y}.
bool IsTileUrl(const QString& urlTemplate);
// The address of `tile`.
QString TileAddress(const QString& urlTemplate, TTileId tile);
// Tile servers ask to be told which program asks: Marivel and its version.
QByteArray TileUserAgent();

// Tiles of the web map, fetched without waiting: a tile not yet decoded in memory is asked
// of the disk cache or the server, and decoded, in a thread of the fetcher's own, and
// `TileArrived` tells when it is there. The disk cache
// keeps to the server's Cache-Control and Expires and asks again ("changed since?") for a
// tile that expired; while the server cannot be reached, expired tiles still show. At most
// `MaxConnections` tiles travel at once; a tile larger than `MaxTileBytes` or that is no
// picture of at most `MaxTileSide` pixels a side is dropped, from the disk cache as well.
class TTileFetcher : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxConnections = 2;
    static constexpr int64_t MaxTileBytes = 1024 * 1024;
    static constexpr int MaxTileSide = 1024;
    static constexpr int DefaultMemoryTiles = 512;

    TTileFetcher(const QString& urlTemplate, const QString& cacheFolder, int64_t cacheBytes,
        int memoryTiles = DefaultMemoryTiles, QObject* parent = nullptr);
    ~TTileFetcher() override;

    // The tile when it is decoded in memory, else null; then it is asked for, once: a tile that
    // failed is not asked for again by this fetcher.
    const QImage* Tile(TTileId tile);
    // Asks for a tile that is not in sight yet, after those that are.
    void Prefetch(TTileId tile);
    // Tiles waiting for their turn that are not `wanted` any more are not fetched.
    void KeepOnly(const std::set<TTileId>& wanted);

    // Tiles under way.
    int InFlight() const { return static_cast<int>(Underway.size()); }
    // Tiles the server sent, and tiles taken from the disk cache (fresh ones, and expired
    // ones the server said were unchanged or could not be asked about).
    int Fetched() const { return FFetched; }
    int FromCache() const { return FFromCache; }

signals:
    void TileArrived(TTileId tile);
    // Why a tile could not be loaded, as a finished sentence.
    void Failed(const QString& message);

private:
    // Puts a tile not asked for yet in line, first or last.
    void Ask(TTileId tile, bool first);
    void StartWaiting();
    void Arrived(TTileId tile, const QImage& image, bool fromCache);
    void Fail(TTileId tile, const QString& message);

    QThread Worker;
    TTileLoader* Loader; // lives in `Worker`, which deletes it as it ends
    QCache<TTileId, QImage> Memory;
    std::deque<TTileId> Waiting; // first in line first
    std::set<TTileId> Underway;
    std::set<TTileId> FailedTiles;
    int FFetched = 0;
    int FFromCache = 0;
};
