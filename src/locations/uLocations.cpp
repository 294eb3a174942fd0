#include "locations/uLocations.h"

#include <algorithm>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include "convert/uConvertBase.h"
#include "core/uUserPrompt.h"
#include "core/uUtils.h"
#include "device/Rapi.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"
#include "platform/uXml.h"

namespace {

const QString MobilePrefix = QStringLiteral("MOBILE://");
const QString FilePrefix = QStringLiteral("FILE://");
const QString HttpPrefix = QStringLiteral("HTTP://");

bool HasPrefix(const QString& location, const QString& prefix)
{
    return location.startsWith(prefix, Qt::CaseInsensitive);
}

QString StripPrefix(const QString& location, const QString& prefix)
{
    return HasPrefix(location, prefix) ? location.mid(prefix.size()) : location;
}

} // namespace

bool IsMobileLocation(const QString& location) { return HasPrefix(location, MobilePrefix); }
bool IsFileLocation(const QString& location) { return HasPrefix(location, FilePrefix); }
bool IsHttpLocation(const QString& location) { return HasPrefix(location, HttpPrefix); }

QString StripMobilePrefix(const QString& location) { return StripPrefix(location, MobilePrefix); }
QString StripFilePrefix(const QString& location) { return StripPrefix(location, FilePrefix); }
QString StripHttpPrefix(const QString& location) { return StripPrefix(location, HttpPrefix); }

QString StripLocationPrefixes(const QString& location)
{
    return StripHttpPrefix(StripMobilePrefix(StripFilePrefix(location)));
}

QString LocationFileName(const QString& location)
{
    const QString path = StripLocationPrefixes(location);
    return path.mid(std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
}

QString LocationFileExt(const QString& location)
{
    if (IsHttpLocation(location))
        return UrlFileExt(location).mid(1);
    return QFileInfo(LocationFileName(location)).suffix();
}

QString LocationForDisplay(const QString& location)
{
    return IsHttpLocation(location) ? UrlForDisplay(location) : location;
}

QString MessageAbout(const QString& location, const QString& message)
{
    const QString name = LocationForDisplay(location);
    return message.contains(name) ? message : name + QStringLiteral(": ") + message;
}

QString NormalizedLocation(const QString& location, const QString& baseDir)
{
    if (!IsFileLocation(location) && location.contains(QLatin1String("://")))
        return location;
    const QString path = StripFilePrefix(location);
    if (path.isEmpty())
        return location;
    const QFileInfo file(QDir::cleanPath(QDir(baseDir).absoluteFilePath(path)));
    if (const QString canonical = file.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    // A file still to be made: its folder may be reached through a link too.
    const QString folder = QFileInfo(file.path()).canonicalFilePath();
    return folder.isEmpty() ? file.filePath() : QDir(folder).filePath(file.fileName());
}

QString LocationScheme(const QString& url)
{
    const auto end = url.indexOf(QLatin1String("://"));
    return end < 0 ? QString() : url.left(end + 3);
}

namespace {

// The address without user name, password and query, any of which may hold a key.
QString WithoutCredentials(const QString& url)
{
    const QString scheme = LocationScheme(url);
    QString rest = url.mid(scheme.size()).section(QLatin1Char('?'), 0, 0);
    const QString host = rest.section(QLatin1Char('/'), 0, 0);
    return scheme + rest.mid(host.lastIndexOf(QLatin1Char('@')) + 1);
}

} // namespace

QString UrlForDisplay(const QString& url)
{
    // Enough to tell addresses apart; a site's index may hold any length.
    constexpr qsizetype MaxShown = 200;
    const QString shown = WithoutCredentials(url);
    return shown.size() <= MaxShown ? shown : shown.left(MaxShown - 1) + QChar(0x2026);
}

QString UrlFileExt(const QString& url)
{
    const QString path = url.section(QLatin1Char('?'), 0, 0);
    const auto dot = path.lastIndexOf(QLatin1Char('.'));
    const auto slash =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return dot > slash ? path.mid(dot) : QString();
}

QString EncodeUrlSpaces(const QString& url)
{
    return QString(url).replace(QLatin1Char(' '), QLatin1String("%20"));
}

QString SafeFileName(const QString& url)
{
    QString name = StripHttpPrefix(url);
    for (QChar& c : name)
        if (QStringView(u"\"*/:<>?\\|").contains(c))
            c = QLatin1Char('_');
    return name;
}

QString LocalCopyName(const QString& location)
{
    if (IsFileLocation(location))
        return StripFilePrefix(location);
    // Named without credentials and query, and short enough for any file system; a hash of the
    // whole address then keeps apart the addresses that differ only there.
    constexpr qsizetype MaxName = 160;
    const QString bare = WithoutCredentials(location);
    QString name = SafeFileName(bare);
    if (bare != location || name.size() > MaxName)
        name = name.left(MaxName) + QLatin1Char('~')
            + QString::fromLatin1(
                QCryptographicHash::hash(location.toUtf8(), QCryptographicHash::Sha1)
                    .toHex()
                    .left(12));
    return ApplicationDir() + name;
}

bool LocationExists(const QString& location)
{
    if (IsMobileLocation(location))
        return RemoteFileExists(StripMobilePrefix(location));
    return QFileInfo(location).isFile();
}

QString IconBeside(const QString& location)
{
    // The name follows the last separator of either kind: device paths use "\".
    const qsizetype name =
        std::max(location.lastIndexOf(QLatin1Char('/')), location.lastIndexOf(QLatin1Char('\\')))
        + 1;
    const qsizetype dot = location.lastIndexOf(QLatin1Char('.'));
    return (dot > name ? location.left(dot) : location) + QStringLiteral(".bmp");
}

void GiveIconBeside(const QString& document, TConvertToBase& exporter)
{
    if (!exporter.TakesIcon() || document.isEmpty() || IsMobileLocation(document)
        || IsHttpLocation(document))
        return;
    const QString icon = StripFilePrefix(IconBeside(document));
    if (!QFileInfo(icon).isFile())
        return;
    TMappedFile file(icon);
    exporter.SetIcon(LocationFileName(icon), std::string(TStreamBytes(file.Stream()).Bytes()));
}

QStringList KeepIconBeside(const QString& document, const std::string& icon)
{
    if (icon.empty() || IsMobileLocation(document) || IsHttpLocation(document))
        return {};
    const QString path = StripFilePrefix(IconBeside(document));
    if (QFileInfo(path).exists()) {
        TMappedFile there(path);
        if (TStreamBytes(there.Stream()).Bytes() == icon)
            return {};
        return { Tr(Msg::IconBesideTaken).arg(QDir::toNativeSeparators(path)) };
    }
    SaveStreamToLocation(path, TMemoryStream(icon));
    return {};
}

std::string LoadTextFromLocation(const QString& location)
{
    if (IsMobileLocation(location))
        InitRapi(); // the existence test expects a connection
    if (!LocationExists(location))
        throw Exception(Tr(Msg::FileNotFound).arg(location));
    if (IsMobileLocation(location)) {
        TMemoryStream stream;
        ReadRemoteFile(StripMobilePrefix(location), stream);
        return stream.Bytes();
    }
    TMappedFile file(location);
    std::string text;
    for (std::string_view line : SplitLines(TStreamBytes(file.Stream()).Bytes()))
        text.append(line).append("\r\n");
    file.Stream().CheckUnchanged();
    return text;
}

void SaveTextToLocation(std::string_view text, const QString& location)
{
    if (IsMobileLocation(location))
        return WriteRemoteFile(StripMobilePrefix(location), text);
    TSafeFileStream file(location);
    for (std::string_view line : SplitLines(text)) {
        file.Write(line);
        file.Write("\r\n");
    }
    file.Commit();
}

void SaveStreamToLocation(const QString& location, const TMemoryStream& stream)
{
    if (IsMobileLocation(location))
        return WriteRemoteFile(StripMobilePrefix(location), stream.Bytes());
    SaveFileBytes(StripFilePrefix(location), stream.Bytes());
}

namespace {

// Copies the cached download to the site index's local copy, keeping the server's time.
void CopyWithFileTime(const QString& source, const QString& target)
{
    try {
        TMappedFile from(source);
        SaveFileBytes(target, TStreamBytes(from.Stream()).Bytes(), true);
        SetFileModificationTime(target, QFileInfo(source).lastModified());
    } catch (const Exception&) {
        throw EUserError(Tr(Msg::CopyFileFailed).arg(source, target));
    }
}

} // namespace

TXmlDocument LoadXmlDocument(
    const QString& location, bool bypassCache, const TDownloadProgress& progress)
{
    if (IsFileLocation(location))
        return LoadXmlFile(StripFilePrefix(location));
    MakePrivateFolder(ApplicationDir());
    const QString localCopy = LocalCopyName(location);
    if (bypassCache)
        DownloadToFile(location, localCopy, TDownloadKind::Answer, progress);
    else
        CopyWithFileTime(DownloadToCacheFile(location, TDownloadKind::Answer, progress), localCopy);
    return LoadXmlFile(localCopy);
}

void CheckFileExtension(
    const QString& fileName, int exportFormatIndex, bool& ok, IUserPrompt& prompt)
{
    const QString ext = MismatchedExtension(fileName, ExporterExt(exportFormatIndex - 1));
    if (!ext.isEmpty()) {
        prompt.ShowError(Tr(Msg::ExtensionMismatch).arg(ext));
        ok = false;
    }
}

QString MismatchedExtension(const QString& fileName, const QString& ext)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix.isEmpty() || QLatin1Char('.') + suffix == ext.toLower())
        return QString();
    return QLatin1Char('.') + suffix;
}
