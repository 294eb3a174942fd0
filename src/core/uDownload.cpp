#include "core/uDownload.h"

#include <memory>

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>

#include "core/uSettings.h"
#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

std::chrono::milliseconds Timeout = DefaultDownloadTimeout;

QString CacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/marivel/internet");
}

QNetworkProxy ProxyFor(const QUrl& url)
{
    const TSettings& settings = Settings();
    if (!settings.ManualProxy)
        return QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url)).value(0);
    return QNetworkProxy(QNetworkProxy::HttpProxy, settings.ProxyServer,
        static_cast<quint16>(settings.ProxyPort), settings.ProxyUsername, settings.ProxyPassword);
}

struct TFetched {
    QByteArray Body;
    QDateTime LastModified; // invalid when the server did not say
};

// One transfer, waited for in a local event loop. With `useCache` an earlier copy is
// validated with the server and kept for next time.
TFetched Fetch(const QString& url, bool useCache, const TDownloadProgress& progress)
{
    const QUrl address(EncodeUrlSpaces(url));
    QNetworkAccessManager manager;
    manager.setProxy(ProxyFor(address));
    if (useCache) {
        auto* cache = new QNetworkDiskCache(&manager);
        cache->setCacheDirectory(CacheFolder() + QStringLiteral("/http"));
        manager.setCache(cache);
    }
    QNetworkRequest request(address);
    request.setTransferTimeout(static_cast<int>(Timeout.count()));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
        useCache ? QNetworkRequest::PreferNetwork : QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, useCache);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));

    bool cancelled = false;
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, [&](qint64 done, qint64 total) {
        if (!progress || cancelled)
            return;
        progress(done, total, cancelled);
        if (cancelled)
            reply->abort();
    });
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    if (cancelled)
        throw EAbort(Tr(Msg::OperationAborted));
    if (reply->error() != QNetworkReply::NoError)
        throw EUserError(Tr(Msg::DownloadFailed).arg(UrlForDisplay(url)));
    return { reply->readAll(), reply->header(QNetworkRequest::LastModifiedHeader).toDateTime() };
}

std::string_view View(const QByteArray& bytes) { return { bytes.data(), size_t(bytes.size()) }; }

} // namespace

void SetDownloadTimeout(std::chrono::milliseconds timeout) { Timeout = timeout; }

QString DownloadToCacheFile(const QString& url, const TDownloadProgress& progress)
{
    const TFetched fetched = Fetch(url, true, progress);
    // Named by the address, so each address keeps one copy however often it is fetched.
    const QString path = CacheFolder() + QStringLiteral("/files/")
        + QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex();
    QDir().mkpath(QFileInfo(path).path());
    SaveFileBytes(path, View(fetched.Body));
    if (fetched.LastModified.isValid())
        SetFileModificationTime(path, fetched.LastModified);
    return path;
}

void DownloadToFile(const QString& url, const QString& file, const TDownloadProgress& progress)
{
    SaveFileBytes(file, View(Fetch(url, false, progress).Body));
}

QDateTime DownloadToStream(
    const QString& url, TStream& stream, bool bypassCache, const TDownloadProgress& progress)
{
    // Without the cache the bytes go straight into the stream; a temporary file would only
    // copy them once more.
    if (bypassCache) {
        stream.Write(View(Fetch(url, false, progress).Body));
        return QDateTime::currentDateTime();
    }
    const QString path = DownloadToCacheFile(url, progress);
    TMappedFile copy(path);
    stream.Write(TStreamBytes(copy.Stream()).Bytes());
    return QFileInfo(path).lastModified();
}

std::string DownloadToString(const QString& url, bool bypassCache)
{
    TMemoryStream stream;
    DownloadToStream(url, stream, bypassCache);
    return stream.Bytes();
}

TLocationInput::TLocationInput(const QString& location, const TDownloadProgress& progress)
{
    if (IsMobileLocation(location)) {
        Memory = std::make_unique<TMemoryStream>(LoadTextFromLocation(location));
    } else if (IsHttpLocation(location)) {
        // Always fresh from the server: a file asked for by name should be today's.
        Memory = std::make_unique<TMemoryStream>();
        DownloadToStream(location, *Memory, true, progress);
        Memory->Seek(0, TSeekOrigin::Beginning);
    } else {
        Mapped = std::make_unique<TMappedFile>(StripFilePrefix(location));
    }
}

TLocationInput::~TLocationInput() = default;

TStream& TLocationInput::Stream()
{
    return Mapped ? Mapped->Stream() : static_cast<TStream&>(*Memory);
}
