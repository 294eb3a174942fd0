#include "map/uTileFetcher.h"

#include <algorithm>
#include <functional>

#include <QBuffer>
#include <QImageReader>
#include <QNetworkAccessManager>
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

// Fetches tiles through the disk cache and decodes them, in the fetcher's own thread: neither
// reading the disk nor decoding holds up the user interface. Each tile ends in `OnLoaded` or
// `OnFailed`, called in this thread.
class TTileLoader : public QObject {
public:
    std::function<void(TTileId, const QImage&, bool fromCache)> OnLoaded;
    std::function<void(TTileId, const QString& message)> OnFailed;

    TTileLoader(const QString& urlTemplate, const QString& cacheFolder, int64_t cacheBytes)
        : UrlTemplate(urlTemplate)
        , Manager(new QNetworkAccessManager(this))
        , DiskCache(new QNetworkDiskCache(Manager))
    {
        DiskCache->setCacheDirectory(cacheFolder);
        DiskCache->setMaximumCacheSize(cacheBytes);
        Manager->setCache(DiskCache);
        Manager->setProxy(ProxyFor(QUrl(TileAddress(urlTemplate, {}))));
        Manager->setAutoDeleteReplies(false);
    }
    ~TTileLoader() override
    {
        for (const auto& [reply, tile] : Replies) {
            reply->disconnect(this);
            reply->abort();
            delete reply;
        }
    }
    TTileLoader(const TTileLoader&) = delete;
    TTileLoader& operator=(const TTileLoader&) = delete;

    // Only `cacheOnly` takes an expired tile as it is: the server could not be asked about it.
    void Start(TTileId tile, bool cacheOnly);

private:
    void Finish(QNetworkReply* reply);
    void Decode(TTileId tile, QNetworkReply& reply);
    // A broken tile leaves the disk cache too.
    void Drop(TTileId tile, const QString& url, const QString& reason);
    void Fail(TTileId tile, const QString& reason, const QString& url);

    QString UrlTemplate;
    QNetworkAccessManager* Manager;
    QNetworkDiskCache* DiskCache;
    std::map<QNetworkReply*, std::pair<TTileId, bool>> Replies; // tile, from the cache only
};

void TTileLoader::Start(TTileId tile, bool cacheOnly)
{
    QNetworkRequest request(QUrl(TileAddress(UrlTemplate, tile)));
    request.setHeader(QNetworkRequest::UserAgentHeader, TileUserAgent());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
        cacheOnly ? QNetworkRequest::AlwaysCache : QNetworkRequest::PreferNetwork);
    request.setTransferTimeout(TransferTimeoutMs);
    QNetworkReply* reply = Manager->get(request);
    Replies[reply] = { tile, cacheOnly };
    const auto tooLarge = [reply](qint64 bytes) {
        if (bytes > TTileFetcher::MaxTileBytes) {
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

void TTileLoader::Finish(QNetworkReply* reply)
{
    reply->deleteLater();
    const auto [tile, cacheOnly] = Replies.at(reply);
    Replies.erase(reply);
    const QString url = reply->url().toString();
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (reply->property("tooLarge").toBool())
        Drop(tile, url, Tr(Msg::AnswerTooLarge).arg(TTileFetcher::MaxTileBytes / 1024));
    else if (reply->error() != QNetworkReply::NoError && !answered && !cacheOnly
        && DiskCache->metaData(reply->url()).isValid())
        Start(tile, true); // no server answered: a copy on disk, however old, is better than none
    else if (reply->error() != QNetworkReply::NoError)
        Fail(tile, ReplyFailure(*reply, url), url);
    else
        Decode(tile, *reply);
}

void TTileLoader::Decode(TTileId tile, QNetworkReply& reply)
{
    QBuffer bytes;
    bytes.setData(reply.readAll());
    QImageReader reader(&bytes);
    // The size is read before the picture, so that a small file claiming a huge picture is
    // never unpacked.
    const QSize size = reader.size();
    QImage image;
    if (size.isValid() && size.width() <= TTileFetcher::MaxTileSide
        && size.height() <= TTileFetcher::MaxTileSide)
        image = reader.read();
    if (image.isNull())
        return Drop(tile, reply.url().toString(), Tr(Msg::TileNotAPicture));
    OnLoaded(tile, image, reply.attribute(QNetworkRequest::SourceIsFromCacheAttribute).toBool());
}

void TTileLoader::Drop(TTileId tile, const QString& url, const QString& reason)
{
    DiskCache->remove(QUrl(url));
    Fail(tile, reason, url);
}

void TTileLoader::Fail(TTileId tile, const QString& reason, const QString& url)
{
    OnFailed(tile,
        Tr(Msg::TilesUnavailable).arg(Tr(Msg::DownloadFailed).arg(UrlForDisplay(url), reason)));
}

TTileFetcher::TTileFetcher(const QString& urlTemplate, const QString& cacheFolder,
    int64_t cacheBytes, int memoryTiles, QObject* parent)
    : QObject(parent)
    , Loader(nullptr)
    , Memory(memoryTiles)
{
    MakePrivateFolder(cacheFolder);
    Loader = new TTileLoader(urlTemplate, cacheFolder, cacheBytes);
    // Results come back as events of this thread; once the fetcher is gone, they are not
    // delivered.
    Loader->OnLoaded = [this](TTileId tile, const QImage& image, bool fromCache) {
        QMetaObject::invokeMethod(
            this, [=, this] { Arrived(tile, image, fromCache); }, Qt::QueuedConnection);
    };
    Loader->OnFailed = [this](TTileId tile, const QString& message) {
        QMetaObject::invokeMethod(
            this, [=, this] { Fail(tile, message); }, Qt::QueuedConnection);
    };
    Loader->moveToThread(&Worker);
    connect(&Worker, &QThread::finished, Loader, &QObject::deleteLater);
    Worker.start();
}

TTileFetcher::~TTileFetcher()
{
    Worker.quit();
    Worker.wait();
}

const QImage* TTileFetcher::Tile(TTileId tile)
{
    if (const QImage* image = Memory.object(tile))
        return image;
    Ask(tile, true);
    return nullptr;
}

void TTileFetcher::Prefetch(TTileId tile)
{
    if (!Memory.contains(tile))
        Ask(tile, false);
}

void TTileFetcher::Ask(TTileId tile, bool first)
{
    if (FailedTiles.contains(tile) || Underway.contains(tile)
        || std::find(Waiting.begin(), Waiting.end(), tile) != Waiting.end())
        return;
    if (first)
        Waiting.push_front(tile);
    else
        Waiting.push_back(tile);
    StartWaiting();
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
        Underway.insert(tile);
        QMetaObject::invokeMethod(Loader, [loader = Loader, tile] { loader->Start(tile, false); });
    }
}

void TTileFetcher::Arrived(TTileId tile, const QImage& image, bool fromCache)
{
    Underway.erase(tile);
    ++(fromCache ? FFromCache : FFetched);
    Memory.insert(tile, new QImage(image));
    emit TileArrived(tile);
    StartWaiting();
}

void TTileFetcher::Fail(TTileId tile, const QString& message)
{
    Underway.erase(tile);
    FailedTiles.insert(tile);
    emit Failed(message);
    StartWaiting();
}
