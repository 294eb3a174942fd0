#include "editor/uFileCommands.h"

#include <algorithm>

#include <QFileInfo>

#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "device/Rapi.h"
#include "device/uMobileBrowse.h"
#include "editor/uDocument.h"
#include "locations/uDownload.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

QString DefaultFormatFor(const QString& location)
{
    const QString id = Settings().DefaultFormats.ValueOf('.' + LocationExt(location));
    return IndexOfExporterFormat(id) >= 0 ? id : QString();
}

QStringList LoadLocation(const QString& location, const QString& formatId, TEntries& entries,
    const TProgressEvent& progress)
{
    TLocationInput input(location);
    entries.OnProgress = progress;
    std::string icon;
    return entries.LoadFromStream(input.Stream(), LocationExt(location), formatId, false, &icon)
        + KeepIconBeside(location, icon);
}

TFormatOffer FormatOfferFor(const QString& location, const QString& failedId)
{
    const QString ext = LocationExt(location);
    TFormatOffer choice;
    if (ImporterCountForExt(ext) < 2)
        return choice;
    for (int i = 0; i < ImporterCount(); ++i) {
        if (!ImporterMatchesExt(i, ext))
            continue;
        choice.Names.append(ImporterName(i));
        choice.Ids.append(ImporterFormatId(i));
    }
    const QString failed = failedId.isEmpty() ? choice.Ids.first() : failedId;
    const auto other = std::find_if(
        choice.Ids.begin(), choice.Ids.end(), [&](const QString& id) { return id != failed; });
    choice.Preselected =
        other != choice.Ids.end() ? static_cast<int>(other - choice.Ids.begin()) : 1;
    return choice;
}

void RememberDefaultFormat(const QString& location, const QString& formatId)
{
    const QString ext = '.' + QFileInfo(StripLocationPrefixes(location)).suffix();
    TSafeStringList& defaults = Settings().DefaultFormats;
    const int index = defaults.IndexOfName(ext);
    if (index >= 0)
        defaults.removeAt(index);
    defaults.AddPair(ext, formatId);
}

std::optional<TLoadedAs> LoadLocationAsChosen(const QString& location, const QString& formatId,
    TEntries& entries, const TProgressEvent& progress, const TChooseFormat& choose)
{
    const QString id = formatId.isEmpty() ? DefaultFormatFor(location) : formatId;
    try {
        return TLoadedAs { id, LoadLocation(location, id, entries, progress) };
    } catch (const EUserError& error) {
        const TFormatOffer offer = FormatOfferFor(location, id);
        if (offer.Names.isEmpty())
            throw;
        const std::optional<TFormatChoice> choice = choose(offer, error.Message());
        if (!choice)
            return std::nullopt;
        const QString chosen = offer.Ids.value(choice->Index);
        std::optional<TLoadedAs> loaded =
            LoadLocationAsChosen(location, chosen, entries, progress, choose);
        if (loaded && choice->UseAsDefault)
            RememberDefaultFormat(location, chosen);
        return loaded;
    }
}

QString NumberedCaption(int number, const QString& name)
{
    return QStringLiteral("&%1 %2").arg(number).arg(
        QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

QString RecentFileCaption(int number, const QString& location)
{
    QString caption = NumberedCaption(number, LocationFileName(location));
    if (IsMobileLocation(location))
        caption += QStringLiteral(" (%1)").arg(Tr(Msg::Remote));
    return caption;
}

QString RemoteOpenStartName()
{
    const QString folder = Settings().PrevRemoteDir;
    return folder.isEmpty() ? QString() : IncludeTrailingBackslash(folder);
}

QString RemoteSaveStartName(const QString& documentLocation)
{
    if (IsMobileLocation(documentLocation))
        return StripMobilePrefix(documentLocation);
    return RemoteOpenStartName() + LocationFileName(documentLocation);
}

QString WithRemoteDefaultExt(const QString& devicePath)
{
    return LowerExtOf(devicePath).isEmpty() ? devicePath + QStringLiteral(".ov2") : devicePath;
}

void CopyIconToDevice(const QString& oldLocation, const QString& devicePath, IUserPrompt& prompt)
{
    if (oldLocation.isEmpty())
        return;
    const QString source = IconBeside(oldLocation);
    const QString target = IconBeside(devicePath);
    if (!LocationExists(source)
        || NormalizedLocation(source).compare(
               QStringLiteral("MOBILE://") + target, Qt::CaseInsensitive)
            == 0)
        return;
    if (RemoteFileExists(target)
        && prompt.Ask(Tr(Msg::RemoteOverwrite).arg(EscapeControls(target)), false)
            != IUserPrompt::TAnswer::Yes)
        return;
    if (IsMobileLocation(source)) {
        if (!CopyRemoteFile(StripMobilePrefix(source), target))
            throw EUserError(
                Tr(Msg::CopyFileFailed).arg(EscapeControls(source), EscapeControls(target)));
    } else
        CopyFileToDevice(StripFilePrefix(source), target);
}

void RememberRemoteFolder(const QString& devicePath)
{
    Settings().PrevRemoteDir = RemoteFolderOf(devicePath);
}
