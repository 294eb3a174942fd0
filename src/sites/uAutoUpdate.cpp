#include "sites/uAutoUpdate.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>

#include "convert/uConvertBase.h"
#include "core/uModel.h"
#include "core/uSettings.h"
#include "core/uUtils.h"
#include "device/Rapi.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"
#include "platform/uVersion.h"
#include "platform/uXml.h"
#include "sites/uSite.h"
#include "sites/uUpdateItems.h"

namespace {

constexpr int StepCount = 7;
// Times this close count as the same: file systems and servers round them differently.
constexpr qint64 SameTimeSeconds = 10;

int StepPercent(int step) { return step * 100 / StepCount; }

bool SameTime(const QDateTime& a, const QDateTime& b)
{
    return a.isValid() && b.isValid() && qAbs(a.secsTo(b)) <= SameTimeSeconds;
}

// `location` with its file's extension replaced by `ext`, for the files kept beside a target.
QString WithExtension(const QString& location, const QString& ext)
{
    const QString current = UrlFileExt(location);
    return location.left(location.size() - current.size()) + ext;
}

QString SideFile(const QString& location)
{
    return StripMobilePrefix(WithExtension(location, QStringLiteral(".inf")));
}

QString DeviceFolderOf(const QString& path)
{
    return ExcludeTrailingBackslashExceptRoot(path.left(path.lastIndexOf(QLatin1Char('\\')) + 1));
}

// A time-stamp file is read and written locally; a device's travels through this copy.
class TLocalStamp {
public:
    TLocalStamp()
        : File(SystemTemporaryTemplate(QStringLiteral("marivel-stamp")))
    {
        File.open();
    }
    QString Path() const { return File.fileName(); }

private:
    QTemporaryFile File;
};

// Fails with "Invalid target filename" for a location that is neither a device nor a local
// file.
void CheckTarget(const QString& location)
{
    if (!IsMobileLocation(location) && !IsFileLocation(location))
        throw EUserError(Tr(Msg::InvalidTarget));
}

// One update of one item: what the site index says about its POI file, and the steps.
class TItemUpdate {
public:
    TItemUpdate(TUpdateItem& item, const TXmlDocument& siteDocument, const TUpdateStatus& status,
        TDownloadProgress progress)
        : Item(item)
        , Status(status ? status : [](int, const QString&) {})
        , Progress(std::move(progress))
        , Credentials(ReadSiteCredentials(item.Site))
    {
        Status(StepPercent(2), Tr(Msg::CheckingNewVersion));
        const TXmlNode root = siteDocument.Root();
        SiteOnSuccess = root.SelectNode(QStringLiteral("//pois/onsuccess")).Text();
        SiteOnError = root.SelectNode(QStringLiteral("//pois/onerror")).Text();
        QueryErrorMode =
            root.SelectNode(QStringLiteral("//pois/queryerrormode")).Text().trimmed().toInt();
        Poi = root.SelectNode(
            QStringLiteral("//pois/poi[description=%1]").arg(XPathLiteral(item.Poi)));
        if (!Poi)
            throw EUserError(Tr(Msg::PoiVanished).arg(item.Poi));
        const TXmlNode url = Poi.SelectNode(QStringLiteral("url"));
        if (!url)
            throw EUserError(Tr(Msg::SiteInfoInvalid));
        Url = Expanded(url.Text());
        // Every address is checked before the first is asked for.
        for (const QString& address : { PoiText("query"), PoiText("lastmodified"), PoiText("image"),
                 PoiText("onsuccess"), PoiText("onerror"), SiteOnSuccess, SiteOnError })
            if (!address.isEmpty())
                Expanded(address);
    }

    // True when a new version was written; the Cancel answer sets `cancelled`.
    bool Run(bool& askBeforeOverwrite, IOverwriteQuestion& question, bool& cancelled);

    // What the conversion of the new version found worth telling.
    QStringList Warnings;

private:
    QString PoiText(const char* name) const { return Poi.SelectNode(QLatin1String(name)).Text(); }
    QString Expanded(const QString& address) const
    {
        return SiteRequestAddress(address, Item.Site, Credentials);
    }
    // A server's small answer, fresh.
    QString Request(const QString& url) const
    {
        TMemoryStream answer;
        DownloadToStream(url, answer, true, TDownloadKind::Reply, Progress);
        return QString::fromUtf8(answer.Bytes()).trimmed();
    }
    // A "FILE://" address is read in place, anything else comes through the internet cache;
    // returns the copy's time.
    QDateTime Fetch(const QString& url, TMemoryStream& bytes) const;

    void Query() const;
    QDateTime RemoteTime() const;
    bool SaveNewVersion(TMemoryStream& downloaded, const QDateTime& time, bool& ask,
        IOverwriteQuestion& question, bool& cancelled);
    void FetchImage() const;
    void NotifySuccess() const;

    // Runs `step`; a failure is reported to the site's error address and raised again with
    // the finished message, naming `name`, with `context` added to the error.
    template <typename Step>
    void Reported(const QString& name, const char* context, Step step) const;
    void NotifyError(const QString& message) const;

    TUpdateItem& Item;
    TUpdateStatus Status;
    TDownloadProgress Progress;
    TSiteCredentials Credentials;
    QString SiteOnSuccess;
    QString SiteOnError;
    int QueryErrorMode = 0;
    TXmlNode Poi;
    QString Url;
};

bool TItemUpdate::Run(bool& askBeforeOverwrite, IOverwriteQuestion& question, bool& cancelled)
{
    if (!PoiText("query").isEmpty())
        Reported(Item.Poi, Msg::WhileQuerying, [&] { Query(); });
    QDateTime remote;
    if (!PoiText("lastmodified").isEmpty())
        Reported(Item.Poi, Msg::WhileChecking, [&] { remote = RemoteTime(); });
    Item.LastChecked = QDateTime::currentDateTime();
    if (remote.isValid() && SameTime(GetTargetTime(Item.Target), remote))
        return false;

    bool written = false;
    Reported(Item.Poi, Msg::WhileDownloading, [&] {
        Status(StepPercent(3), Tr(Msg::DownloadingOrCached));
        TMemoryStream downloaded;
        const QDateTime copyTime = Fetch(Url, downloaded);
        if (remote.isValid() || !SameTime(GetTargetTime(Item.Target), copyTime))
            written = SaveNewVersion(downloaded, remote.isValid() ? remote : copyTime,
                askBeforeOverwrite, question, cancelled);
    });
    if (!written)
        return false;
    FetchImage();
    Status(StepPercent(7), Tr(Msg::Finishing));
    NotifySuccess();
    return true;
}

QDateTime TItemUpdate::Fetch(const QString& url, TMemoryStream& bytes) const
{
    if (!IsFileLocation(url))
        return DownloadToStream(url, bytes, false, TDownloadKind::PoiFile, Progress);
    const QString path = StripFilePrefix(url);
    TMappedFile file(path);
    bytes = TMemoryStream(std::string(TStreamBytes(file.Stream()).Bytes()));
    return QFileInfo(path).lastModified();
}

void TItemUpdate::Query() const
{
    const QString answer = Request(Expanded(PoiText("query")));
    if (QueryErrorMode == 1 && !answer.isEmpty())
        throw ESiteError(Tr(Msg::SiteReportedError) + QLatin1Char(' ') + EscapeControls(answer));
}

QDateTime TItemUpdate::RemoteTime() const
{
    return ParseRemoteTime(Request(Expanded(PoiText("lastmodified"))));
}

bool TItemUpdate::SaveNewVersion(TMemoryStream& downloaded, const QDateTime& time, bool& ask,
    IOverwriteQuestion& question, bool& cancelled)
{
    Status(StepPercent(4), Tr(Msg::SavingNewVersion));
    if (ask && !Settings().AlwaysOverwrite && TargetExists(Item.Target)) {
        switch (question.AskOverwrite(Tr(Msg::ConfirmOverwrite).arg(Item.Target))) {
        case TOverwriteAnswer::Yes:
            break;
        case TOverwriteAnswer::No:
            return false;
        case TOverwriteAnswer::Cancel:
            cancelled = true;
            return false;
        case TOverwriteAnswer::YesToAllAlways:
            Settings().AlwaysOverwrite = true;
            [[fallthrough]];
        case TOverwriteAnswer::YesToAll:
            ask = false;
            break;
        }
    }
    // The site's format tag names the source format; without one the address's extension
    // does, and an extension no importer knows falls back to the first importer.
    TPoi source;
    source.Format = PoiText("format");
    source.Url = Url;
    const int importer = std::max(FindImporter(source.Extension(), source.FormatId()), 0);
    const QString formatId =
        source.FormatId().isEmpty() ? ImporterFormatId(importer) : source.FormatId();
    TEntries entries;
    downloaded.Seek(0, TSeekOrigin::Beginning);
    Warnings = entries.LoadFromStream(downloaded, ImporterExt(importer), formatId, false);
    TMemoryStream converted;
    const QString targetExt = UrlFileExt(Item.Target);
    if (!CreateExporter(targetExt, Item.Format)->WritesUnicode())
        if (const TEntries::TUnencodable found = entries.Unencodable(); found.Entries)
            Warnings << UnencodableWarning(found);
    entries.SaveToStream(converted, targetExt, Item.Format, LocationFileName(Item.Target));
    SaveStreamToLocation(Item.Target, converted);

    Status(StepPercent(5), Tr(Msg::SavingNewVersion));
    SetTargetTime(Item.Target, time);
    Status(StepPercent(6), Tr(Msg::SavingNewVersion));
    Item.LastUpdated = QDateTime::currentDateTime();
    return true;
}

// A picture the site offers for the POI file, kept beside the target; one the user placed
// there is never replaced.
void TItemUpdate::FetchImage() const
{
    const QString image = PoiText("image");
    const QString bitmap = WithExtension(Item.Target, QStringLiteral(".bmp"));
    if (!Settings().DownloadImages || image.isEmpty() || TargetExists(bitmap))
        return;
    Reported(Item.Poi + Tr(Msg::ImageSuffix), Msg::WhileDownloading, [&] {
        Status(-1, Tr(Msg::DownloadingImage));
        TMemoryStream bytes;
        Fetch(Expanded(image), bytes);
        Status(-1, Tr(Msg::SavingImage));
        SaveStreamToLocation(bitmap, bytes);
    });
}

void TItemUpdate::NotifySuccess() const
{
    const QString own = PoiText("onsuccess");
    const QString address = own.isEmpty() ? SiteOnSuccess : own;
    if (address.isEmpty())
        return;
    try {
        Request(Expanded(address).replace(
            QStringLiteral("%Description%"), UrlEncoded(Item.Poi), Qt::CaseInsensitive));
    } catch (const EAbort&) {
        throw;
    } catch (const Exception&) { // the file is written; what the site makes of it is its own
    }
}

template <typename Step>
void TItemUpdate::Reported(const QString& name, const char* context, Step step) const
{
    try {
        step();
    } catch (const EAbort&) {
        throw;
    } catch (const Exception& e) {
        const bool siteError = dynamic_cast<const ESiteError*>(&e) != nullptr;
        QString message =
            Tr(Msg::CannotDownload).arg(name, e.Message() + QLatin1Char(' ') + Tr(context));
        if (const QString advice = DownloadAdvice(e); !advice.isEmpty())
            message += QStringLiteral("\r\r") + advice;
        NotifyError(message);
        if (siteError)
            throw ESiteError(message);
        throw EUserError(message);
    }
}

void TItemUpdate::NotifyError(const QString& message) const
{
    const QString own = PoiText("onerror");
    const QString address = own.isEmpty() ? SiteOnError : own;
    if (address.isEmpty())
        return;
    try {
        Request(Expanded(FillErrorAddress(address, message, Item.Poi)));
    } catch (const Exception&) { // the error the user reads is the one that matters
    }
}

} // namespace

TAutoUpdate::TAutoUpdate(IOverwriteQuestion& question)
    : Question(question)
{
}

TDownloadProgress TAutoUpdate::Progress()
{
    return [this](int64_t done, int64_t total, bool& cancel) {
        if (OnDownload)
            OnDownload(done, total, cancel);
        cancel = cancel || FCancelled;
    };
}

bool TAutoUpdate::Update(const TUpdateItem& item, bool& askBeforeOverwrite,
    const TUpdateStatus& status, const TXmlDocument& siteDocument)
{
    TUpdateItem* listed = AutoUpdateItems().Find(item.Target);
    if (!listed)
        return false;
    bool written = false;
    Warnings.clear();
    try {
        TItemUpdate update(*listed, siteDocument, status, Progress());
        written = update.Run(askBeforeOverwrite, Question, FCancelled);
        Warnings = update.Warnings;
    } catch (...) {
        // The times of this check persist, also after a failure.
        AutoUpdateItems().StoreTimes(*listed);
        throw;
    }
    AutoUpdateItems().StoreTimes(*listed);
    return written;
}

bool TargetExists(const QString& location)
{
    CheckTarget(location);
    if (!IsMobileLocation(location))
        return QFileInfo(StripFilePrefix(location)).isFile();
    InitRapi();
    return RemoteFileExists(StripMobilePrefix(location));
}

QDateTime GetTargetTime(const QString& location)
{
    CheckTarget(location);
    if (!IsMobileLocation(location)) {
        const QFileInfo file(StripFilePrefix(location));
        return file.isFile() ? file.lastModified() : QDateTime();
    }
    const QString side = SideFile(location);
    TMemoryStream stamp;
    try {
        InitRapi();
        if (!RemoteFileExists(side))
            return {};
        ReadRemoteFile(side, stamp);
    } catch (const EInitRapi&) {
        throw EUserError(Tr(Msg::CannotReadTime));
    }
    constexpr size_t StampSize = 8;
    if (stamp.Bytes().size() < StampSize)
        return {};
    TLocalStamp local;
    SaveFileBytes(local.Path(), stamp.Bytes());
    return ReadTimeStampFile(local.Path());
}

void SetTargetTime(const QString& location, const QDateTime& time)
{
    CheckTarget(location);
    if (!IsMobileLocation(location))
        return SetFileModificationTime(StripFilePrefix(location), time);
    const QString side = SideFile(location);
    InitRapi();
    if (!RemoteFolderExists(DeviceFolderOf(side)))
        throw EUserError(Tr(Msg::CannotStoreTime).arg(side));
    try {
        TLocalStamp local;
        WriteTimeStampFile(local.Path(), time);
        CopyFileToDevice(local.Path(), side);
    } catch (const EInitRapi&) {
        throw;
    } catch (const Exception&) {
        throw EUserError(Tr(Msg::CannotWriteTime).arg(side));
    }
}

void ForgetTargetTime(const QString& location)
{
    if (!IsMobileLocation(location))
        return; // a local target's time is its own file's
    InitRapi();
    DeleteRemoteFile(SideFile(location)); // none there is as good
}

QString UrlEncoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString FillErrorAddress(const QString& address, const QString& message, const QString& description)
{
    return QString(address)
        .replace(QStringLiteral("%ErrorMsg%"), UrlEncoded(message), Qt::CaseInsensitive)
        .replace(QStringLiteral("%ErrorCode%"), QStringLiteral("0"), Qt::CaseInsensitive)
        .replace(QStringLiteral("%Description%"), UrlEncoded(description), Qt::CaseInsensitive);
}

QString MakeAbsoluteUrl(const QString& address, const QString& base)
{
    static const QRegularExpression schemePrefix(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (address.isEmpty() || schemePrefix.match(address).hasMatch())
        return address;
    const QString scheme = LocationScheme(base);
    if (scheme.isEmpty())
        throw EUserError(Tr(Msg::InvalidUrl).arg(base));
    const QString rest = base.mid(scheme.size()).section(QLatin1Char('?'), 0, 0);
    if (address.startsWith(QLatin1Char('/')))
        return scheme + rest.left(rest.indexOf(QLatin1Char('/'))) + address;
    // Relative to the index's own folder, so a site folder can be moved as a whole.
    return scheme + rest.left(rest.lastIndexOf(QLatin1Char('/')) + 1) + address;
}

QString ExpandUrl(const QString& address, const QString& username, const QString& password)
{
    const QString version = QStringLiteral("%1.%2.%3.%4")
                                .arg(ProgramVersion.Major)
                                .arg(ProgramVersion.Minor)
                                .arg(ProgramVersion.Release)
                                .arg(ProgramVersion.Build);
    return QString(address)
        .replace(QStringLiteral("%Username%"), UrlEncoded(username), Qt::CaseInsensitive)
        .replace(QStringLiteral("%Password%"), UrlEncoded(password), Qt::CaseInsensitive)
        .replace(QStringLiteral("%AppVer%"), version, Qt::CaseInsensitive)
        .replace(QStringLiteral("%AppName%"), UrlEncoded(QLatin1String(Msg::ApplicationTitle)),
            Qt::CaseInsensitive);
}

QString SiteRequestAddress(
    const QString& address, const QString& site, const TSiteCredentials& credentials)
{
    const QString absolute = MakeAbsoluteUrl(address, site);
    const QString expanded = ExpandUrl(absolute, credentials.Username, credentials.Password);
    const QString scheme = QUrl(expanded).scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || (IsFileLocation(site) && IsFileLocation(expanded)))
        return expanded;
    throw EUserError(Tr(IsFileLocation(site) ? Msg::LocalSiteAddress : Msg::WebSiteAddress)
                         .arg(EscapeControls(UrlForDisplay(absolute))));
}

QDateTime ParseRemoteTime(const QString& answer)
{
    bool ok = true;
    auto number = [&](int position, int length) {
        bool digits = false;
        const int value = answer.mid(position - 1, length).toInt(&digits);
        ok = ok && digits;
        return value;
    };
    const QDate date(number(1, 4), number(5, 2), number(7, 2));
    const QTime time(number(10, 2), number(12, 2), number(14, 2));
    const QDateTime result(date, time);
    if (!ok || !result.isValid())
        throw EConvertError(Tr(Msg::InvalidRemoteTime).arg(EscapeControls(answer.left(40))));
    return result;
}
