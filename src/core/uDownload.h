#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QDateTime>
#include <QString>

class TMappedFile;
class TMemoryStream;
class TStream;

// Downloads of web addresses, through the user's proxy settings (`ManualProxy` and the
// fields after it) and an internet cache in the user's cache folder. Each call waits for its
// transfer and fails with the user error "Unable to download %1", naming the address without
// credentials or query; a cancelled transfer fails with `EAbort`.

// Called as bytes arrive, with the bytes so far and the expected total (-1 when the server
// does not say); setting `cancel` stops the transfer.
using TDownloadProgress = std::function<void(int64_t done, int64_t total, bool& cancel)>;

// A server that sends nothing for this long fails the download.
inline constexpr std::chrono::milliseconds DefaultDownloadTimeout { 30000 };
// Tests shorten the wait.
void SetDownloadTimeout(std::chrono::milliseconds timeout);

// A copy in the internet cache, validated with the server; it carries the server's
// Last-Modified time as its file time. Returns the copy's path.
QString DownloadToCacheFile(const QString& url, const TDownloadProgress& progress = {});
// Replaces `file` only once the whole download has arrived.
void DownloadToFile(
    const QString& url, const QString& file, const TDownloadProgress& progress = {});
// Appends the download at the stream's position. Returns the cached copy's time, or the
// current time when `bypassCache`.
QDateTime DownloadToStream(
    const QString& url, TStream& stream, bool bypassCache, const TDownloadProgress& progress = {});
std::string DownloadToString(const QString& url, bool bypassCache);

// The bytes of a location to read: a local file is mapped, a device file or a download is
// held in memory whole.
class TLocationInput {
public:
    TLocationInput(const QString& location, const TDownloadProgress& progress = {});
    ~TLocationInput();

    TStream& Stream();

private:
    std::unique_ptr<TMemoryStream> Memory;
    std::unique_ptr<TMappedFile> Mapped;
};
