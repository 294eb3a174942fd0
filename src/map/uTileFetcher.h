#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <set>

#include <QCache>
#include <QImage>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

#include "map/uWebMercator.h"

class QNetworkDiskCache;
class QNetworkReply;

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
// of the disk cache or the server, and `TileArrived` tells when it is there. The disk cache
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
    // failed is not asked for again until `ForgetFailures`.
    const QImage* Tile(TTileId tile);
    // Tiles waiting for their turn that are not `wanted` any more are not fetched.
    void KeepOnly(const std::set<TTileId>& wanted);
    void ForgetFailures() { FailedTiles.clear(); }

    // Tiles under way.
    int InFlight() const { return static_cast<int>(Replies.size()); }
    // Tiles the server sent, and tiles taken from the disk cache (fresh ones, and expired
    // ones the server said were unchanged or could not be asked about).
    int Fetched() const { return FFetched; }
    int FromCache() const { return FFromCache; }

signals:
    void TileArrived(TTileId tile);
    // Why a tile could not be loaded, as a finished sentence.
    void Failed(const QString& message);

private:
    void StartWaiting();
    void Start(TTileId tile, bool cacheOnly);
    void Finish(QNetworkReply* reply);
    void Decode(TTileId tile, QNetworkReply& reply);
    // A broken tile leaves the disk cache too.
    void Drop(TTileId tile, const QString& url, const QString& reason);
    void Fail(TTileId tile, const QString& reason, const QString& url);

    QString UrlTemplate;
    QNetworkAccessManager Manager;
    QNetworkDiskCache* DiskCache;
    QCache<TTileId, QImage> Memory;
    std::deque<TTileId> Waiting; // newest first: the view the user looks at now
    std::map<QNetworkReply*, std::pair<TTileId, bool>> Replies; // tile, from the cache only
    std::set<TTileId> FailedTiles;
    int FFetched = 0;
    int FFromCache = 0;
};
