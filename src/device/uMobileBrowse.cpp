#include "device/uMobileBrowse.h"

#include <algorithm>

#include <QSet>

#include "ceapi.h"
#include "convert/uConvertBase.h"
#include "core/uUserPrompt.h"
#include "device/Rapi.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

namespace {

constexpr QLatin1Char Backslash('\\');
// The device's paths, as its find record holds them, without the terminating null.
constexpr int MaxRemotePath = 259;

QString WithoutTrailingBackslash(const QString& path)
{
    return path.endsWith(Backslash) && path != QLatin1String("\\") ? path.chopped(1) : path;
}

// The extensions (".ov2") of the registered importers.
QSet<QString> ImporterExtensions()
{
    QSet<QString> extensions;
    for (int i = 0; i < ImporterCount(); ++i)
        extensions.insert(ImporterExt(i).toLower());
    return extensions;
}

// The characters of `name` that a device file name may not hold.
QString ForbiddenCharacters(const QString& name)
{
    static const QString forbidden = QStringLiteral(":*?\"<>|");
    QString found;
    for (QChar c : name)
        if ((forbidden.contains(c) || c.unicode() < 0x20) && !found.contains(c))
            found += c;
    return found;
}

} // namespace

QString IncludeTrailingBackslash(const QString& path)
{
    return path.endsWith(Backslash) ? path : path + Backslash;
}

QString RemoteFolderOf(const QString& path) { return path.left(path.lastIndexOf(Backslash) + 1); }

QString RemoteNameOf(const QString& path) { return path.mid(path.lastIndexOf(Backslash) + 1); }

QString NormalizedRemoteFolder(const QString& path)
{
    QStringList names;
    for (const QString& name : path.split(Backslash, Qt::SkipEmptyParts))
        if (name == QLatin1String("..")) {
            if (!names.isEmpty())
                names.removeLast();
        } else if (name != QLatin1String("."))
            names.append(name);
    return IncludeTrailingBackslash(Backslash + names.join(Backslash));
}

QString RemoteParentFolder(const QString& folder)
{
    const QString path = WithoutTrailingBackslash(folder);
    const qsizetype slash = path.lastIndexOf(Backslash);
    return slash <= 0 ? QStringLiteral("\\") : path.left(slash);
}

QString LowerExtOf(const QString& name)
{
    const QString file = RemoteNameOf(name);
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : file.mid(dot).toLower();
}

QStringList RemotePlaces()
{
    QStringList places;
    GetTomTomMaps(places, false);
    places.insert(
        0, GetRemoteSpecialFolder(Ce::FolderMyDevice) + QLatin1Char('=') + Tr(Msg::MyDevice));
    places.insert(
        1, GetRemoteSpecialFolder(Ce::FolderMyDocuments) + QLatin1Char('=') + Tr(Msg::MyDocuments));
    return places;
}

int PlaceIndexOf(const QStringList& places, const QString& folder)
{
    const QString wanted = WithoutTrailingBackslash(folder);
    const auto found = std::find_if(places.begin(), places.end(),
        [&](const QString& place) { return place.section(QLatin1Char('='), 0, 0) == wanted; });
    return found == places.end() ? -1 : static_cast<int>(found - places.begin());
}

std::vector<TRemoteEntry> ListPoiFolder(const QString& folder)
{
    const QSet<QString> known = ImporterExtensions();
    std::vector<TRemoteEntry> entries;
    EnumRemoteFolder(folder, [&](const QString& name, bool isFolder) {
        if (isFolder || known.contains(LowerExtOf(name)))
            entries.push_back({ name, isFolder });
    });
    return entries;
}

// --- The file list -------------------------------------------------------------------------

void TRemoteEntryModel::SetEntries(std::vector<TRemoteEntry> entries)
{
    beginResetModel();
    Items = std::move(entries);
    endResetModel();
}

void TRemoteEntryModel::Remove(int row)
{
    beginRemoveRows({}, row, row);
    Items.erase(Items.begin() + row);
    endRemoveRows();
}

int TRemoteEntryModel::RowOf(const QString& name) const
{
    const auto found = std::find_if(Items.begin(), Items.end(), [&](const TRemoteEntry& entry) {
        return entry.Name.compare(name, Qt::CaseInsensitive) == 0;
    });
    return found == Items.end() ? -1 : static_cast<int>(found - Items.begin());
}

void TRemoteEntryModel::SetIcons(const QVariant& folder, const QVariant& file)
{
    FolderIcon = folder;
    FileIcon = file;
}

int TRemoteEntryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(Items.size());
}

QVariant TRemoteEntryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(Items.size()))
        return {};
    const TRemoteEntry& entry = Items[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return entry.Name;
    if (role == Qt::DecorationRole)
        return entry.IsFolder ? FolderIcon : FileIcon;
    return {};
}

QVariant TRemoteEntryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QCoreApplication::translate("Marivel", "Filename");
    return {};
}

// --- The browser ---------------------------------------------------------------------------

TMobileBrowser::TMobileBrowser(bool saveMode)
    : IsSaveMode(saveMode)
{
}

QStringList TMobileBrowser::TypeNames() const
{
    QStringList names;
    if (IsSaveMode)
        FillExporterNames(names);
    else
        FillImporterNames(names);
    return names;
}

QString TMobileBrowser::TypeFormatId() const
{
    return IsSaveMode ? ExporterFormatId(TypeIndex) : ImporterFormatId(TypeIndex);
}

QString TMobileBrowser::TypeExtension() const
{
    const int count = IsSaveMode ? ExporterCount() : ImporterCount();
    if (TypeIndex < 0 || TypeIndex >= count)
        return {};
    return (IsSaveMode ? ExporterExt(TypeIndex) : ImporterExt(TypeIndex)).toLower();
}

void TMobileBrowser::SetFileName(const QString& name)
{
    FileName = name;
    const QString ext = LowerExtOf(name);
    TypeIndex = ext.isEmpty() ? -1
        : IsSaveMode          ? FindExporter(ext.mid(1), QString())
                              : FindImporter(ext.mid(1), QString());
}

QString TMobileBrowser::Start()
{
    if (!RapiConnected())
        throw Exception(Tr(Msg::InitRapiNotCalled));
    Places = RemotePlaces();
    const QString folder = RemoteFolderOf(FileName);
    List(folder.isEmpty() ? Places.first().section(QLatin1Char('='), 0, 0) : folder);
    return RemoteNameOf(FileName);
}

void TMobileBrowser::List(const QString& folderText)
{
    CurrentFolder = IncludeTrailingBackslash(folderText);
    Entries.SetEntries(ListPoiFolder(CurrentFolder));
}

bool TMobileBrowser::Up(const QString& folderText)
{
    const QString parent = RemoteParentFolder(folderText);
    if (parent == folderText)
        return false;
    List(parent);
    return true;
}

int TMobileBrowser::CurrentPlace() const { return PlaceIndexOf(Places, CurrentFolder); }

QString TMobileBrowser::WithTypeExtension(const QString& fileText) const
{
    if (fileText.isEmpty())
        return fileText;
    const QString ext = LowerExtOf(fileText);
    return fileText.left(fileText.size() - ext.size()) + TypeExtension();
}

void TMobileBrowser::CheckSaveName(const QString& fileText)
{
    const QString forbidden = ForbiddenCharacters(fileText);
    if (!forbidden.isEmpty())
        throw EUserError(
            Tr(Msg::RemoteNameInvalid).arg(EscapeControls(fileText), EscapeControls(forbidden)));
    if (FileName.size() > MaxRemotePath)
        throw EUserError(Tr(Msg::RemoteNameTooLong)
                             .arg(EscapeControls(RemoteNameOf(FileName)))
                             .arg(MaxRemotePath));
}

TMobileBrowser::TAccept TMobileBrowser::Accept(const QString& fileText, IUserPrompt& prompt)
{
    // A desktop user may type "/" where the device has "\".
    const QString typed = QString(fileText).replace(QLatin1Char('/'), Backslash);
    FileName = typed.startsWith(Backslash) ? typed : CurrentFolder + typed;
    if (RemoteFolderExists(FileName)) {
        List(NormalizedRemoteFolder(FileName));
        return TAccept::EnteredFolder;
    }
    if (!IsSaveMode)
        return TAccept::Accepted;
    const QString typedExt = LowerExtOf(typed);
    if (TypeIndex < 0 && !typedExt.isEmpty())
        TypeIndex = FindExporter(typedExt.mid(1), QString());
    const QString typeExt = TypeExtension();
    if (!typedExt.isEmpty() && typedExt != typeExt)
        throw EUserError(Tr(Msg::ExtensionMismatch).arg(typedExt));
    if (typedExt.isEmpty())
        FileName += typeExt;
    CheckSaveName(typed);
    if (RemoteFileExists(FileName)
        && prompt.Ask(Tr(Msg::RemoteOverwrite).arg(EscapeControls(FileName)), false)
            != IUserPrompt::TAnswer::Yes)
        return TAccept::Declined;
    return TAccept::Accepted;
}

QString TMobileBrowser::DeleteQuestion(const QString& name) const
{
    return Tr(Msg::RemoteDeleteAsk).arg(EscapeControls(CurrentFolder + name));
}

void TMobileBrowser::Delete(const QString& name, bool companions)
{
    const QString path = CurrentFolder + name;
    if (!DeleteRemoteFile(path))
        throw EUserError(Tr(Msg::RemoteDeleteFailed).arg(EscapeControls(path)));
    const int row = Entries.RowOf(name);
    if (row >= 0)
        Entries.Remove(row);
    if (!companions)
        return;
    const QString base = path.left(path.size() - LowerExtOf(name).size());
    DeleteRemoteFile(base + QStringLiteral(".bmp"));
    DeleteRemoteFile(base + QStringLiteral(".inf"));
}

// --- The folder picker ---------------------------------------------------------------------

TMobileFolderChoice::TMobileFolderChoice() { GetTomTomMaps(Maps, false); }

TMobileFolderChoice::TMobileFolderChoice(QStringList maps)
    : Maps(std::move(maps))
{
}

QStringList TMobileFolderChoice::ComboItems() const
{
    QStringList items { QLatin1Char('[') + Tr(Msg::Other) + QLatin1Char(']') };
    for (const QString& map : Maps)
        items.append(map.section(QLatin1Char('='), 1));
    return items;
}

QString TMobileFolderChoice::TreePathOf(int index) const
{
    if (index < 1 || index > Maps.size())
        return {};
    QString path = Maps[index - 1].section(QLatin1Char('='), 0, 0);
    return path.startsWith(Backslash) ? path.mid(1) : path;
}

int TMobileFolderChoice::ComboIndexFor(const QString& treePath, int current) const
{
    const QString wanted = Backslash + treePath;
    const auto fits = [&](int index) {
        return index >= 1 && index <= Maps.size()
            && Maps[index - 1].section(QLatin1Char('='), 0, 0) == wanted;
    };
    if (treePath.isEmpty())
        return 0;
    if (fits(current))
        return current;
    for (int i = 1; i <= Maps.size(); ++i)
        if (fits(i))
            return i;
    return 0;
}

void TMobileFolderChoice::CheckChosen(const QString& treePath)
{
    if (treePath.isEmpty())
        throw EUserError(Tr(Msg::NoMapOrFolder));
}
