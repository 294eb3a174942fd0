#include "locations/uDownload.h"

#include <algorithm>
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
#include <QTemporaryFile>
#include <QTimer>

#include "core/uSettings.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

TDownloadTimeouts Timeouts;

constexpr int64_t MiB = 1024 * 1024;
// How soon a cancel stops a transfer that receives nothing.
constexpr std::chrono::milliseconds CancelPollInterval(100);

// The program's cache, the owner's alone: it holds what sites sent for the user's account.
QString CacheFolder()
{
    const QString marivel =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/marivel";
    MakePrivateFolder(marivel);
    return marivel + QStringLiteral("/internet");
}

// Half the cache for the server's copies that let a later download ask "changed since?", half
// for the copies handed out.
int64_t CacheShareBytes() { return Settings().InternetCacheMiB * MiB / 2; }

// Removes the files of `folder` written longest ago until the rest fit in `bytes`; `keep`
// stays whatever its age. Their modification times are the servers', so the time of writing
// is the change time.
void TrimFolder(const QString& folder, int64_t bytes, const QString& keep)
{
    QFileInfoList files = QDir(folder).entryInfoList(QDir::Files);
    std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.metadataChangeTime() > b.metadataChangeTime();
    });
    int64_t total = 0;
    for (const QFileInfo& file : std::as_const(files)) {
        total += file.size();
        if (total > bytes && file.filePath() != keep)
            QFile::remove(file.filePath());
    }
}

bool IsWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// A copy the server gave no lifetime is checked with the server each time. Qt would guess a
// lifetime from its age, and a plain web server sends no more than Last-Modified, so a newer
// file there went unseen for weeks.
void RequireRevalidation(QNetworkDiskCache& cache, const QUrl& url)
{
    QNetworkCacheMetaData copy = cache.metaData(url);
    if (!copy.isValid() || copy.expirationDate().isValid())
        return;
    copy.setExpirationDate(QDateTime::currentDateTimeUtc().addSecs(-1));
    cache.updateMetaData(copy);
}

// How large and how long a download may be, and what passing the size says.
struct TLimits {
    int64_t MaxBytes;
    std::chrono::milliseconds Deadline;
    QString TooLarge;
};

TLimits LimitsOf(TDownloadKind kind)
{
    const TSettings& settings = Settings();
    const auto inMiB = [](int cap, std::chrono::milliseconds deadline) {
        return TLimits { cap * MiB, deadline, Tr(Msg::DownloadTooLarge).arg(cap) };
    };
    switch (kind) {
    case TDownloadKind::PoiFile:
        return inMiB(settings.MaxDownloadMiB, Timeouts.PoiFile);
    case TDownloadKind::Answer:
        return inMiB(settings.MaxIndexDownloadMiB, Timeouts.Answer);
    case TDownloadKind::Reply:
        break;
    }
    return { MaxReplyBytes, Timeouts.Answer, Tr(Msg::AnswerTooLarge).arg(MaxReplyBytes / 1024) };
}

QString CannotWrite(const QFileDevice& file)
{
    return Tr(Msg::CannotWriteFile).arg(file.fileName(), file.errorString());
}

// One transfer into `sink`, waited for in a local event loop. The bytes go to the sink as
// they arrive; the transfer stops as soon as it passes its size cap, sends nothing for the
// idle timeout or runs past its deadline. A sink that cannot write fails with a user error,
// which ends the transfer.
class TTransfer {
public:
    using TSink = std::function<void(const QByteArray& bytes)>;

    TTransfer(const QString& url, TDownloadKind kind, const TDownloadProgress& progress,
        const TSink& sink)
        : Url(url)
        , Limits(LimitsOf(kind))
        , Progress(progress)
        , Sink(sink)
    {
    }

    // With `useCache` an earlier copy is validated with the server and kept for next time.
    // Returns the server's Last-Modified time, invalid when it did not say.
    QDateTime Run(bool useCache)
    {
        Start(useCache);
        QEventLoop loop;
        QObject::connect(Reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!Reply->isFinished())
            loop.exec();
        if (Reason.isEmpty() && Reply->error() == QNetworkReply::NoError)
            TakeBytes(); // what arrived with the end
        if (Cancelled)
            throw EAbort(Tr(Msg::OperationAborted));
        if (!WriteFailure.isEmpty())
            throw EUserError(WriteFailure);
        if (TooLarge)
            throw EUserError(Tr(Msg::DownloadFailed).arg(UrlForDisplay(Url), Reason));
        if (!Reason.isEmpty() || Reply->error() != QNetworkReply::NoError)
            throw EDownloadFailed(
                Tr(Msg::DownloadFailed)
                    .arg(UrlForDisplay(Url), Reason.isEmpty() ? ReplyFailure(*Reply, Url) : Reason),
                Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
        return Reply->header(QNetworkRequest::LastModifiedHeader).toDateTime();
    }

private:
    void Start(bool useCache)
    {
        const QUrl address(EncodeUrlSpaces(Url));
        if (!IsWebAddress(address))
            throw EUserError(
                Tr(Msg::DownloadFailed).arg(UrlForDisplay(Url), Tr(Msg::NotAWebAddress)));
        Manager.setProxy(ProxyFor(address));
        if (useCache) {
            auto* cache = new QNetworkDiskCache(&Manager);
            cache->setCacheDirectory(CacheFolder() + QStringLiteral("/http"));
            cache->setMaximumCacheSize(CacheShareBytes());
            RequireRevalidation(*cache, address);
            Manager.setCache(cache);
        }
        QNetworkRequest request(address);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
            useCache ? QNetworkRequest::PreferNetwork : QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, useCache);
        Reply.reset(Manager.get(request));

        Idle.setSingleShot(true);
        QObject::connect(&Idle, &QTimer::timeout,
            [this] { Stop(Tr(Msg::DownloadIdle).arg(double(Timeouts.Idle.count()) / 1000)); });
        Idle.start(Timeouts.Idle);
        Deadline.setSingleShot(true);
        QObject::connect(&Deadline, &QTimer::timeout, [this] {
            Stop(Tr(Msg::DownloadTooLong).arg(double(Limits.Deadline.count()) / 60000));
        });
        Deadline.start(Limits.Deadline);

        QObject::connect(Reply.get(), &QNetworkReply::metaDataChanged, [this] { CheckLength(); });
        QObject::connect(Reply.get(), &QNetworkReply::readyRead, [this] { TakeBytes(); });
        QObject::connect(Reply.get(), &QNetworkReply::downloadProgress,
            [this](qint64 done, qint64 total) { Report(done, total); });
        // A server that keeps the answer back sends no progress; the cancel is asked for
        // all the same, so Cancel stops the transfer at once.
        QObject::connect(&CancelPoll, &QTimer::timeout, [this] { Report(Done, Total); });
        CancelPoll.start(CancelPollInterval);
    }

    // A server that announces more than the cap is not listened to at all.
    void CheckLength()
    {
        Idle.start();
        const QVariant length = Reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > Limits.MaxBytes)
            StopTooLarge();
    }

    void TakeBytes()
    {
        Idle.start();
        while (Reply->bytesAvailable() > 0 && Reason.isEmpty() && WriteFailure.isEmpty()) {
            const QByteArray bytes = Reply->read(64 * 1024);
            Received += bytes.size();
            if (Received > Limits.MaxBytes)
                return StopTooLarge();
            try {
                Sink(bytes);
            } catch (const EUserError& e) {
                WriteFailure = e.Message();
                Reply->abort();
            }
        }
    }

    void Report(qint64 done, qint64 total)
    {
        Done = done;
        Total = total;
        if (!Progress || Cancelled || !Reason.isEmpty())
            return;
        Progress(done, total, Cancelled);
        if (Cancelled)
            Reply->abort();
    }

    void StopTooLarge()
    {
        TooLarge = Reason.isEmpty();
        Stop(Limits.TooLarge);
    }

    void Stop(const QString& reason)
    {
        if (!Reason.isEmpty())
            return;
        Reason = reason;
        Reply->abort();
    }

    const QString Url;
    const TLimits Limits;
    const TDownloadProgress& Progress;
    const TSink& Sink;
    QNetworkAccessManager Manager;
    std::unique_ptr<QNetworkReply> Reply;
    QTimer Idle;
    QTimer Deadline;
    QTimer CancelPoll;
    int64_t Received = 0;
    int64_t Done = 0;
    int64_t Total = -1;
    bool Cancelled = false;
    bool TooLarge = false;
    QString Reason; // why the transfer was stopped here, empty when it was not
    QString WriteFailure;
};

// Replaces `path` by the download once it has arrived whole; a failed download leaves no
// partial file behind.
QDateTime DownloadReplacing(const QString& url, const QString& path, bool useCache,
    TDownloadKind kind, const TDownloadProgress& progress)
{
    TSafeFileStream file(path, true);
    const QDateTime lastModified = TTransfer(url, kind, progress, [&](const QByteArray& bytes) {
        file.Write(bytes.data(), bytes.size());
    }).Run(useCache);
    file.Commit();
    return lastModified;
}

// The download in a temporary file of the system's temporary folder, removed with the object.
std::unique_ptr<QTemporaryFile> DownloadToTemporaryFile(
    const QString& url, TDownloadKind kind, const TDownloadProgress& progress)
{
    auto file = std::make_unique<QTemporaryFile>(
        SystemTemporaryTemplate(QStringLiteral("marivel-download")));
    // Unbuffered, so that every write error shows at once, the last one included. (The
    // temporary file offers this open only through its base class.)
    if (!static_cast<QFile&>(*file).open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EUserError(CannotWrite(*file));
    TTransfer(url, kind, progress, [&](const QByteArray& bytes) {
        if (file->write(bytes) != bytes.size())
            throw EUserError(CannotWrite(*file));
    }).Run(false);
    return file;
}

void AppendFile(const QString& path, TStream& stream)
{
    TMappedFile file(path);
    stream.Write(TStreamBytes(file.Stream()).Bytes());
}

} // namespace

void SetDownloadTimeouts(const TDownloadTimeouts& timeouts) { Timeouts = timeouts; }

QString DownloadAdvice(const std::exception& failure)
{
    const auto* download = dynamic_cast<const EDownloadFailed*>(&failure);
    if (!download)
        return QString();
    const int status = download->HttpStatus;
    if (status == 0)
        return Tr(Msg::CheckInternet);
    if (status == 401 || status == 403 || status == 407)
        return Tr(Msg::CheckCredentials);
    if (status >= 400 && status < 500)
        return Tr(Msg::CheckAddress);
    return QString();
}

QString DownloadToCacheFile(
    const QString& url, TDownloadKind kind, const TDownloadProgress& progress)
{
    // Named by the address, so each address keeps one copy however often it is fetched.
    const QString folder = CacheFolder() + QStringLiteral("/files");
    const QString path = folder + QLatin1Char('/')
        + QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha1).toHex();
    QDir().mkpath(folder);
    const QDateTime lastModified = DownloadReplacing(url, path, true, kind, progress);
    TrimFolder(folder, CacheShareBytes(), path);
    if (lastModified.isValid())
        SetFileModificationTime(path, lastModified);
    return path;
}

void DownloadToFile(
    const QString& url, const QString& file, TDownloadKind kind, const TDownloadProgress& progress)
{
    DownloadReplacing(url, file, false, kind, progress);
}

QDateTime DownloadToStream(const QString& url, TStream& stream, bool bypassCache,
    TDownloadKind kind, const TDownloadProgress& progress)
{
    if (bypassCache) {
        AppendFile(DownloadToTemporaryFile(url, kind, progress)->fileName(), stream);
        return QDateTime::currentDateTime();
    }
    const QString path = DownloadToCacheFile(url, kind, progress);
    AppendFile(path, stream);
    return QFileInfo(path).lastModified();
}

std::string DownloadToString(const QString& url, bool bypassCache)
{
    TMemoryStream stream;
    DownloadToStream(url, stream, bypassCache, TDownloadKind::Reply);
    return stream.Bytes();
}

TLocationInput::TLocationInput(const QString& location, const TDownloadProgress& progress)
{
    if (IsMobileLocation(location)) {
        Memory = std::make_unique<TMemoryStream>(LoadTextFromLocation(location));
    } else if (IsHttpLocation(location)) {
        // Always fresh from the server: a file asked for by name should be today's.
        Downloaded = DownloadToTemporaryFile(location, TDownloadKind::PoiFile, progress);
        Mapped = std::make_unique<TMappedFile>(Downloaded->fileName());
    } else {
        Mapped = std::make_unique<TMappedFile>(StripFilePrefix(location));
    }
}

TLocationInput::~TLocationInput() = default;

TStream& TLocationInput::Stream()
{
    return Mapped ? Mapped->Stream() : static_cast<TStream&>(*Memory);
}

QNetworkProxy ProxyFor(const QUrl& url)
{
    const TSettings& settings = Settings();
    if (!settings.ManualProxy)
        return QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url)).value(0);
    return QNetworkProxy(QNetworkProxy::HttpProxy, settings.ProxyServer,
        static_cast<quint16>(settings.ProxyPort), settings.ProxyUsername, settings.ProxyPassword);
}

// The server's own words go through `EscapeControls`.
QString ReplyFailure(const QNetworkReply& reply, const QString& url)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400)
        return Tr(Msg::HttpStatus)
            .arg(status)
            .arg(EscapeControls(
                reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
    if (reply.error() == QNetworkReply::ConnectionRefusedError)
        return Tr(Msg::ConnectionRefused);
    // Qt follows redirects between web addresses only.
    if (const QByteArray target = reply.rawHeader("Location");
        !target.isEmpty() && reply.error() == QNetworkReply::ProtocolUnknownError)
        return Tr(Msg::RedirectRefused)
            .arg(EscapeControls(UrlForDisplay(QString::fromUtf8(target))));
    // Qt's own texts may quote the address, credentials and all.
    QString text = reply.errorString();
    if (const QString quoted = reply.url().toString(); !quoted.isEmpty())
        text.replace(quoted, UrlForDisplay(url));
    return EscapeControls(text);
}
