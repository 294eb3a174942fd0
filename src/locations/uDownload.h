#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QDateTime>
#include <QString>

#include "platform/uExceptions.h"

class QNetworkProxy;
class QNetworkReply;
class QTemporaryFile;
class QUrl;
class TMappedFile;
class TMemoryStream;
class TStream;

// Downloads of web addresses, through the user's proxy settings (`ManualProxy` and the
// fields after it) and an internet cache in the user's cache folder. Each call waits for its
// transfer and fails with the user error "Unable to download %1: reason", naming the address
// without credentials or query; a cancelled transfer fails with `EAbort`. Bytes go to a file
// as they arrive, so a download never grows in memory. Only http and https addresses are
// fetched, also where a server redirects, so a web address never reads a local file.

// A download that did not arrive: no server answered (`HttpStatus` 0: no connection, a
// server that fell silent), or the server answered with an error status.
class EDownloadFailed : public EUserError {
public:
    EDownloadFailed(const QString& message, int httpStatus)
        : EUserError(message)
        , HttpStatus(httpStatus)
    {
    }
    const int HttpStatus;
};

// What the user can do about `failure`, as a sentence without its full stop: check the
// connection, the address, or the site's username and password; empty when the failure was
// no download's, or nothing but waiting helps.
QString DownloadAdvice(const std::exception& failure);

// Called as bytes arrive, with the bytes so far and the expected total (-1 when the server
// does not say); setting `cancel` stops the transfer.
using TDownloadProgress = std::function<void(int64_t done, int64_t total, bool& cancel)>;

// What is fetched decides how large it may be and how long it may take: a POI file may be
// large (`MaxDownloadMiB`), an index or a picture is small (`MaxIndexDownloadMiB`), and a
// server's reply read into memory (a query's answer, a time, a notification's answer, the
// version document) is a few lines, capped at `MaxReplyBytes`.
enum class TDownloadKind { PoiFile, Answer, Reply };
inline constexpr int64_t MaxReplyBytes = 64 * 1024;

struct TDownloadTimeouts {
    // A server that sends nothing for this long fails the download.
    std::chrono::milliseconds Idle = std::chrono::seconds(30);
    // However steadily bytes arrive, a whole download takes no longer than this.
    std::chrono::milliseconds PoiFile = std::chrono::minutes(30);
    std::chrono::milliseconds Answer = std::chrono::minutes(2);
};
// Tests shorten the waits; `{}` restores the defaults.
void SetDownloadTimeouts(const TDownloadTimeouts& timeouts);

// A copy in the internet cache, validated with the server unless the server gave it a
// lifetime; it carries the server's Last-Modified time as its file time. The cache keeps to
// `InternetCacheMiB`, the oldest copies going first. Returns the copy's path.
QString DownloadToCacheFile(
    const QString& url, TDownloadKind kind, const TDownloadProgress& progress = {});
// Replaces `file` only once the whole download has arrived.
void DownloadToFile(const QString& url, const QString& file, TDownloadKind kind,
    const TDownloadProgress& progress = {});
// Appends the download at the stream's position. Returns the cached copy's time, or the
// current time when `bypassCache`.
QDateTime DownloadToStream(const QString& url, TStream& stream, bool bypassCache,
    TDownloadKind kind, const TDownloadProgress& progress = {});
// A server's reply, whole (`TDownloadKind::Reply`).
std::string DownloadToString(const QString& url, bool bypassCache);

// The proxy the user's settings give for `url`: the manual one, else the system's.
QNetworkProxy ProxyFor(const QUrl& url);
// Why a transfer of `url` failed, in words a user can act on, naming the address without
// credentials.
QString ReplyFailure(const QNetworkReply& reply, const QString& url);

// The bytes of a location to read: a local file or a downloaded POI file is mapped, a device
// file is held in memory whole.
class TLocationInput {
public:
    TLocationInput(const QString& location, const TDownloadProgress& progress = {});
    ~TLocationInput();

    TStream& Stream();

private:
    std::unique_ptr<TMemoryStream> Memory;
    std::unique_ptr<QTemporaryFile> Downloaded; // outlives its mapping below
    std::unique_ptr<TMappedFile> Mapped;
};
