#include "sites/uAutoUpdateManager.h"

#include <algorithm>
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include "ceapi.h"
#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "core/uUtils.h"
#include "device/Rapi.h"
#include "locations/uDownload.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"
#include "platform/uXml.h"
#include "sites/uAutoUpdate.h"
#include "sites/uSite.h"
#include "sites/uUpdateItems.h"

using namespace Msg;

namespace {

bool SameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool Agreed(IUserPrompt& prompt, const char* question)
{
    return prompt.Ask(Tr(question), false) == IUserPrompt::TAnswer::Yes;
}

const TCountry* CountryOf(const TSite& site, const TPoi& poi)
{
    for (const auto& country : site.Countries)
        for (const auto& each : country->Pois)
            if (each.get() == &poi)
                return country.get();
    return nullptr;
}

// The exporter in which the site offers `poi`, the first one when the registry has none.
int OfferedFormatIndex(const TPoi& poi)
{
    return std::max(FindExporter(poi.Extension(), poi.FormatId()), 0);
}

// The side file ".inf" beside a target tells an update how old the target is; a new
// subscription must not inherit one.
void ForgetSideFile(const QString& target)
{
    if (IsMobileLocation(target)) {
        ForgetTargetTime(target);
        return;
    }
    const QFileInfo file(StripFilePrefix(target));
    QFile::remove(file.dir().filePath(file.completeBaseName() + QStringLiteral(".inf")));
}

// Points the POI file's item at `target`, making one when it has none.
void SetTarget(
    TUpdateItems& items, const TSite& site, const TPoi& poi, const QString& target, int formatIndex)
{
    TUpdateItem* item = items.FindByPoi(site.Location(), poi.Description);
    if (!item) {
        auto made = std::make_unique<TUpdateItem>();
        item = made.get();
        items.Add(std::move(made));
    }
    const TCountry* country = CountryOf(site, poi);
    item->Site = site.Location();
    item->Poi = poi.Description;
    item->Country = country ? country->Name : QString();
    item->Target = target;
    item->Format = ExporterFormatId(formatIndex);
    ForgetSideFile(target);
}

// Whether an item other than the POI files' own ones writes `target`.
bool TakenByOthers(const TUpdateItems& items, const QString& target, const TSite& site,
    const std::vector<TPoi*>& own)
{
    const TUpdateItem* item = items.Find(target);
    return item && std::none_of(own.begin(), own.end(), [&](const TPoi* poi) {
        return SameText(item->Site, site.Location()) && SameText(item->Poi, poi->Description);
    });
}

QString TargetIn(const QString& folder, const TPoi& poi, const QString& ext)
{
    const QChar separator = IsMobileLocation(folder) ? QLatin1Char('\\') : QLatin1Char('/');
    QString target = folder;
    if (!target.endsWith(separator))
        target += separator;
    return target + SafeFileName(poi.Description) + ext;
}

// Closes a key of the device registry when it goes out of scope.
class TRemoteKeyGuard {
public:
    explicit TRemoteKeyGuard(const QString& subKey)
    {
        bool created = false;
        Key = CreateRemoteKey(RemoteCurrentUser, subKey, created);
    }
    ~TRemoteKeyGuard() { CloseRemoteKey(Key); }
    TRemoteKeyGuard(const TRemoteKeyGuard&) = delete;
    TRemoteKeyGuard& operator=(const TRemoteKeyGuard&) = delete;

    void Set(const QString& name, const QString& text)
    {
        try {
            SetRemoteString(Key, name, text);
        } catch (const Exception& error) {
            throw EUserError(QString::fromUtf8(error.what()));
        }
    }

private:
    TRemoteKey Key = 0;
};

void AppendText(TXmlNode parent, const QString& name, const QString& text)
{
    parent.AppendElement(name).SetText(text);
}

void AppendPmvItem(TXmlNode root, const TUpdateItem& item)
{
    const TSite& site = GetSite(item.Site);
    TXmlNode node = root.AppendElement(QStringLiteral("item"));
    AppendText(node, QStringLiteral("site"), item.Site);
    AppendText(node, QStringLiteral("filename"), StripMobilePrefix(item.Target));
    for (const char* name :
        { "url", "query", "lastmodified", "description", "authorization", "format" })
        AppendText(node, QLatin1String(name), site.PoiValue(item.Poi, QLatin1String(name), false));
    AppendText(node, QStringLiteral("queryerrormode"),
        site.Value(QStringLiteral("queryerrormode"), false));
}

// The device program writes what it downloads as it comes.
void CheckPmvFormat(const TUpdateItem& item)
{
    const TSite& site = GetSite(item.Site);
    const TPoi* poi = nullptr;
    for (const auto& country : site.Countries)
        if (!poi)
            poi = country->FindPoi(item.Poi);
    if (!poi)
        throw EUserError(Tr(PoiNotInSite));
    const QString offered = ExporterFormatId(OfferedFormatIndex(*poi));
    if (!SameText(item.Format, offered))
        throw EUserError(Tr(PmvCannotConvert).arg(item.Poi, offered));
}

void SendPmvCredentials(const TUpdateItems& items)
{
    QStringList sent;
    for (int i = 0; i < items.Count(); ++i) {
        const QString& site = items.Items(i).Site;
        const TSiteCredentials credentials = ReadSiteCredentials(site);
        if (credentials.Username.isEmpty() || sent.contains(site, Qt::CaseInsensitive))
            continue;
        sent.append(site);
        TRemoteKeyGuard key(
            QStringLiteral("Software\\Orvik Software\\Marivel\\AutoUpdateItems\\") + site);
        key.Set(QStringLiteral("Username"), credentials.Username);
        key.Set(QStringLiteral("Password.v2"), ScrambledPassword(credentials.Password));
    }
}

QString PmvFolder()
{
    if (!Settings().PMVAlternateDir.isEmpty())
        return Settings().PMVAlternateDir;
    return GetRemoteSpecialFolder(Ce::FolderProgramFiles) + QStringLiteral("\\PocketMarivel");
}

void WritePmvSettings(const TXmlDocument& document)
{
    TMemoryStream stream;
    document.Save(stream);
    try {
        WriteRemoteFile(
            ExcludeTrailingBackslashExceptRoot(PmvFolder()) + "\\settings.xml", stream.Bytes());
    } catch (const Exception& error) {
        throw EUserError(
            Tr(PmvNotInstalled) + QStringLiteral("\r\r") + QString::fromUtf8(error.what()));
    }
}

} // namespace

TAutoUpdateManager::TAutoUpdateManager(IUserPrompt& prompt, TSiteRefresher refresher)
    : Prompt(prompt)
    , Refresher(std::move(refresher))
{
}

QStringList TAutoUpdateManager::ShownSites() const
{
    QStringList shown = Settings().Sites;
    shown.removeIf([](const QString& site) {
        return Settings().HiddenSites.contains(site, Qt::CaseInsensitive);
    });
    return shown;
}

int TAutoUpdateManager::HiddenCount() const
{
    return int(Settings().Sites.size() - ShownSites().size());
}

bool TAutoUpdateManager::IsBuiltIn(const QString& site)
{
    return BuiltInSites().contains(site, Qt::CaseInsensitive);
}

QString TAutoUpdateManager::DeleteCaption(const QString& site)
{
    return IsBuiltIn(site) ? QCoreApplication::translate("Marivel", "Hide")
                           : QCoreApplication::translate("Marivel", "Del");
}

QString TAutoUpdateManager::AddSite(const QString& location)
{
    const QString site = SiteAddress(location);
    if (Settings().Sites.contains(site, Qt::CaseInsensitive))
        throw EUserError(Tr(SiteListed));
    Settings().Sites.append(site);
    Settings().Save();
    return site;
}

QString TAutoUpdateManager::SiteAddress(const QString& location)
{
    static const QRegularExpression doubledScheme(
        QStringLiteral("^(?:(?:https?|file)://)+((?:https?|file)://)"),
        QRegularExpression::CaseInsensitiveOption);
    return location.trimmed().replace(doubledScheme, QStringLiteral("\\1"));
}

void TAutoUpdateManager::CheckNewSite(const QString& location)
{
    const QString site = SiteAddress(location);
    if (IsFileLocation(site)) {
        if (!QFileInfo(StripFilePrefix(site)).isFile())
            throw EUserError(Tr(FileNotFound).arg(EscapeControls(site)));
    } else if (!IsHttpLocation(site)) {
        throw EUserError(Tr(InvalidSiteLocation));
    } else if (const QUrl url(EncodeUrlSpaces(site), QUrl::StrictMode);
               StripHttpPrefix(site).size() < 3 || !url.isValid() || url.host().isEmpty()) {
        throw EUserError(Tr(InvalidUrl).arg(EscapeControls(site)));
    }
}

bool TAutoUpdateManager::DeleteSite(const QString& site)
{
    const bool builtIn = IsBuiltIn(site);
    if (!Agreed(Prompt, builtIn ? ConfirmHideSite : ConfirmRemoveSite))
        return false;
    AutoUpdateItems().RemoveSite(site);
    if (builtIn)
        Settings().HiddenSites.append(site);
    else
        Settings().Sites.removeIf([&](const QString& each) { return SameText(each, site); });
    Settings().Save();
    return true;
}

bool TAutoUpdateManager::UnhideSites()
{
    if (Settings().HiddenSites.isEmpty()) {
        Prompt.ShowMessage(Tr(NoHiddenSites));
        return false;
    }
    if (!Agreed(Prompt, ConfirmUnhide))
        return false;
    Settings().HiddenSites.clear();
    Settings().Save();
    return true;
}

TSite* TAutoUpdateManager::OpenSite(const QString& site)
{
    if (QFileInfo::exists(LocalCopyName(site)))
        return &GetSite(site);
    if (IsFileLocation(site))
        throw EUserError(Tr(LocalSiteGone).arg(EscapeControls(StripFilePrefix(site))));
    if (Prompt.Ask(Tr(SiteNotDownloaded).arg(EscapeControls(LocationForDisplay(site))), false)
        != IUserPrompt::TAnswer::Yes)
        return nullptr;
    return &Refresher(site);
}

std::string TAutoUpdateManager::FetchPage(const QString& address, const QString& site)
{
    const QString url = SiteRequestAddress(address, site, {});
    if (IsFileLocation(url)) {
        TMappedFile file(StripFilePrefix(url));
        return std::string(TStreamBytes(file.Stream()).Bytes().substr(0, MaxPageBytes));
    }
    TMemoryStream page;
    DownloadToStream(url, page, false, TDownloadKind::Answer);
    return page.Bytes().substr(0, MaxPageBytes);
}

QString TAutoUpdateManager::SiteXmlFile(const QString& site)
{
    const QString file = LocalCopyName(site);
    if (!QFileInfo(file).isFile())
        throw EUserError(Tr(NoSiteXmlFile));
    return file;
}

QString TAutoUpdateManager::CountryCaption(const TCountry& country)
{
    return country.Name.isEmpty() ? Tr(OtherCaption) : country.Name;
}

std::vector<TGroupRow> TAutoUpdateManager::GroupRows(const TSite& site, const TCountry& country)
{
    std::vector<TGroupRow> rows;
    rows.reserve(size_t(country.GroupNames.size()) + 1);
    for (const QString& name : country.GroupNames) {
        const int group = site.FindGroup(name);
        QString caption = group >= 0 ? site.Groups[size_t(group)]->Description : name;
        if (caption.isEmpty())
            caption = Tr(OtherCaption);
        rows.push_back({ caption, name.toLower() });
    }
    rows.push_back({ Tr(AllCaption), QString() });
    return rows;
}

std::vector<TPoi*> TAutoUpdateManager::PoisOf(const TCountry& country, const TGroupRow& group)
{
    return group.Name.isNull() ? country.AllPois() : country.PoisOfGroup(group.Name);
}

QString TAutoUpdateManager::AuthorizationCaption(const TPoi& poi)
{
    switch (poi.Authorization) {
    case TAuthorization::Registered:
        return Tr(AuthRegistered);
    case TAuthorization::Subscribed:
        return Tr(AuthSubscribed);
    case TAuthorization::None:
        break;
    }
    return Tr(AuthNone);
}

TTargetProposal TAutoUpdateManager::ProposeLocalTarget(const TSite& site, const TPoi& poi) const
{
    TTargetProposal proposal;
    QString ext = poi.Extension();
    proposal.FormatIndex = OfferedFormatIndex(poi);
    proposal.Folder = Settings().InitialDir;
    if (const TUpdateItem* item = AutoUpdateItems().FindByPoi(site.Location(), poi.Description)) {
        const QFileInfo target(StripLocationPrefixes(item->Target));
        proposal.Folder = target.path();
        ext = QLatin1Char('.') + target.suffix();
        proposal.FormatIndex = std::max(IndexOfExporterFormat(item->Format), 0);
    }
    proposal.FileName = SafeFileName(poi.Description) + ext;
    return proposal;
}

void TAutoUpdateManager::SubscribeLocal(
    const TSite& site, const TPoi& poi, QString fileName, int formatIndex)
{
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += ExporterExt(formatIndex);
    const QString target = QStringLiteral("FILE://") + fileName;
    AutoUpdateItems().ChangeStored([&](TUpdateItems& items) {
        if (TakenByOthers(items, target, site, { const_cast<TPoi*>(&poi) }))
            throw EUserError(Tr(TargetTaken));
        SetTarget(items, site, poi, target, formatIndex);
    });
    Settings().InitialDir = QFileInfo(fileName).path();
}

void TAutoUpdateManager::CheckSameTargetKind(const TSite& site, const std::vector<TPoi*>& pois)
{
    bool local = false;
    bool device = false;
    for (const TPoi* poi : pois)
        if (const TUpdateItem* item =
                AutoUpdateItems().FindByPoi(site.Location(), poi->Description))
            (IsMobileLocation(item->Target) ? device : local) = true;
    if (local && device)
        throw EUserError(Tr(MixedTargets));
}

bool TAutoUpdateManager::SubscribeMany(
    const TSite& site, const std::vector<TPoi*>& pois, const QString& folder, int formatIndex)
{
    QStringList targets;
    for (const TPoi* poi : pois) {
        const QString target = TargetIn(folder, *poi, ExporterExt(formatIndex));
        if (targets.contains(target, Qt::CaseInsensitive))
            throw EUserError(Tr(TargetFolderCollides));
        targets.append(target);
    }
    // Checked before the question and again when storing: another program may have
    // subscribed one of the targets meanwhile.
    const auto checkFree = [&](const TUpdateItems& items) {
        for (const QString& target : std::as_const(targets))
            if (TakenByOthers(items, target, site, pois))
                throw EUserError(Tr(TargetsTaken));
    };
    checkFree(AutoUpdateItems());
    bool exist = false;
    for (size_t i = 0; i < pois.size() && !exist; ++i) {
        const QString& target = targets[qsizetype(i)];
        const TUpdateItem* own = AutoUpdateItems().FindByPoi(site.Location(), pois[i]->Description);
        exist = (!own || !SameText(own->Target, target)) && TargetExists(target);
    }
    if (exist && !Agreed(Prompt, TargetsExist))
        return false;
    AutoUpdateItems().ChangeStored([&](TUpdateItems& items) {
        checkFree(items);
        for (size_t i = 0; i < pois.size(); ++i)
            SetTarget(items, site, *pois[i], targets[qsizetype(i)], formatIndex);
    });
    return true;
}

bool TAutoUpdateManager::Unsubscribe(const QStringList& targets)
{
    if (targets.isEmpty() || !Agreed(Prompt, ConfirmUnsubscribe))
        return false;
    AutoUpdateItems().ChangeStored([&](TUpdateItems& items) {
        for (const QString& target : targets)
            items.Remove(target);
    });
    return true;
}

void TAutoUpdateManager::ItemsOf(const QStringList& targets, TUpdateItems& items)
{
    items.Clear();
    for (const QString& target : targets)
        if (const TUpdateItem* item = AutoUpdateItems().Find(target))
            items.Add(std::make_unique<TUpdateItem>(*item));
    items.SortBySite();
}

void TAutoUpdateManager::SetApplication(const QString& path)
{
    if (!path.isEmpty() && !QFileInfo(path).isFile())
        throw EUserError(Tr(ApplicationMissing));
    Settings().AutoUpdateApplication = path;
    KeepSettings();
}

void TAutoUpdateManager::KeepSettings() { Settings().Save(); }

void TAutoUpdateManager::SendToPocketMarivel(const QStringList& targets)
{
    TUpdateItems items;
    ItemsOf(targets, items);
    TUpdateItems device;
    for (int i = 0; i < items.Count(); ++i)
        if (IsMobileLocation(items.Items(i).Target))
            device.Add(std::make_unique<TUpdateItem>(items.Items(i)));
    if (device.Count() == 0)
        throw EUserError(Tr(NoDeviceItems));

    TXmlDocument document = CreateXmlDocument();
    document.Root().AppendProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"ISO-8859-1\""));
    TXmlNode root = document.Root().AppendElement(QStringLiteral("autoupdateitems"));
    for (int i = 0; i < device.Count(); ++i) {
        CheckPmvFormat(device.Items(i));
        AppendPmvItem(root, device.Items(i));
    }
    InitRapi();
    SendPmvCredentials(device);
    WritePmvSettings(document);
    Prompt.ShowMessage(Tr(PmvSaved));
}
