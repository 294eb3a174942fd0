#include "map/uTileFetcher.h"

#include <algorithm>

#include <QBuffer>
#include <QImageReader>
#include <QNetworkDiskCache>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QStandardPaths>

#include "locations/uDownload.h"
#include "locations/uLocations.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"
#include "platform/uVersion.h"

namespace {

// A server that sends nothing for this long fails the tile.
constexpr int TransferTimeoutMs = 30000;

QString Placeholder(char name) { return QStringLiteral("{%1}").arg(QLatin1Char(name)); }

} // namespace

size_t qHash(const TTileId& tile, size_t seed) noexcept
{
    return qHashMulti(seed, tile.Zoom, tile.X, tile.Y);
}

QString TileCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/marivel/tiles");
}

bool IsTileUrl(const QString& urlTemplate)
{
    constexpr char Names[] = { 'z', 'x', 'y' };
    return std::all_of(std::begin(Names), std::end(Names),
        [&](char name) { return urlTemplate.contains(Placeholder(name)); });
}

QString TileAddress(const QString& urlTemplate, TTileId tile)
{
    return QString(urlTemplate)
        .replace(Placeholder('z'), QString::number(tile.Zoom))
        .replace(Placeholder('x'), QString::number(tile.X))
        .replace(Placeholder('y'), QString::number(tile.Y));
}

QByteArray TileUserAgent()
{
    return QStringLiteral("Marivel/%1.%2.%3")
        .arg(ProgramVersion.Major)
        .arg(ProgramVersion.Minor)
        .arg(ProgramVersion.Release)
        .toLatin1();
}

TTileFetcher::TTileFetcher(const QString& urlTemplate, const QString& cacheFolder,
    int64_t cacheBytes, int memoryTiles, QObject* parent)
    : QObject(parent)
    , UrlTemplate(urlTemplate)
    , DiskCache(new QNetworkDiskCache(&Manager))
    , Memory(memoryTiles)
{
    MakePrivateFolder(cacheFolder);
    DiskCache->setCacheDirectory(cacheFolder);
    DiskCache->setMaximumCacheSize(cacheBytes);
    Manager.setCache(DiskCache);
    Manager.setProxy(ProxyFor(QUrl(TileAddress(urlTemplate, {}))));
    Manager.setAutoDeleteReplies(false);
}

TTileFetcher::~TTileFetcher()
{
    for (const auto& [reply, tile] : Replies) {
        reply->disconnect(this);
        reply->abort();
        delete reply;
    }
}

const QImage* TTileFetcher::Tile(TTileId tile)
{
    if (const QImage* image = Memory.object(tile))
        return image;
    const bool asked = FailedTiles.contains(tile)
        || std::find(Waiting.begin(), Waiting.end(), tile) != Waiting.end()
        || std::any_of(Replies.begin(), Replies.end(),
            [&](const auto& under) { return under.second.first == tile; });
    if (!asked) {
        Waiting.push_front(tile);
        StartWaiting();
    }
    return nullptr;
}

void TTileFetcher::KeepOnly(const std::set<TTileId>& wanted)
{
    std::erase_if(Waiting, [&](TTileId tile) { return !wanted.contains(tile); });
}

void TTileFetcher::StartWaiting()
{
    while (InFlight() < MaxConnections && !Waiting.empty()) {
        const TTileId tile = Waiting.front();
        Waiting.pop_front();
        Start(tile, false);
    }
}

// Only `cacheOnly` takes an expired tile as it is: the server could not be asked about it.
void TTileFetcher::Start(TTileId tile, bool cacheOnly)
{
    QNetworkRequest request(QUrl(TileAddress(UrlTemplate, tile)));
    request.setHeader(QNetworkRequest::UserAgentHeader, TileUserAgent());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
        cacheOnly ? QNetworkRequest::AlwaysCache : QNetworkRequest::PreferNetwork);
    request.setTransferTimeout(TransferTimeoutMs);
    QNetworkReply* reply = Manager.get(request);
    Replies[reply] = { tile, cacheOnly };
    const auto tooLarge = [this, reply](qint64 bytes) {
        if (bytes > MaxTileBytes) {
            reply->setProperty("tooLarge", true);
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, tooLarge] {
        tooLarge(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
        [tooLarge](qint64 received, qint64) { tooLarge(received); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { Finish(reply); });
}

void TTileFetcher::Finish(QNetworkReply* reply)
{
    reply->deleteLater();
    const auto [tile, cacheOnly] = Replies.at(reply);
    Replies.erase(reply);
    const QString url = reply->url().toString();
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (reply->property("tooLarge").toBool())
        Drop(tile, url, Tr(Msg::AnswerTooLarge).arg(MaxTileBytes / 1024));
    else if (reply->error() != QNetworkReply::NoError && !answered && !cacheOnly
        && DiskCache->metaData(reply->url()).isValid())
        Start(tile, true); // no server answered: a copy on disk, however old, is better than none
    else if (reply->error() != QNetworkReply::NoError)
        Fail(tile, ReplyFailure(*reply, url), url);
    else
        Decode(tile, *reply);
    StartWaiting();
}

void TTileFetcher::Decode(TTileId tile, QNetworkReply& reply)
{
    QBuffer bytes;
    bytes.setData(reply.readAll());
    QImageReader reader(&bytes);
    // The size is read before the picture, so that a small file claiming a huge picture is
    // never unpacked.
    const QSize size = reader.size();
    QImage image;
    if (size.isValid() && size.width() <= MaxTileSide && size.height() <= MaxTileSide)
        image = reader.read();
    if (image.isNull())
        return Drop(tile, reply.url().toString(), Tr(Msg::TileNotAPicture));
    ++(reply.attribute(QNetworkRequest::SourceIsFromCacheAttribute).toBool() ? FFromCache
                                                                             : FFetched);
    Memory.insert(tile, new QImage(std::move(image)));
    emit TileArrived(tile);
}

void TTileFetcher::Drop(TTileId tile, const QString& url, const QString& reason)
{
    DiskCache->remove(QUrl(url));
    Fail(tile, reason, url);
}

void TTileFetcher::Fail(TTileId tile, const QString& reason, const QString& url)
{
    FailedTiles.insert(tile);
    emit Failed(
        Tr(Msg::TilesUnavailable).arg(Tr(Msg::DownloadFailed).arg(UrlForDisplay(url), reason)));
}
