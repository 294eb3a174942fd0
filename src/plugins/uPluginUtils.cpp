#include "plugins/uPluginUtils.h"

#include <exception>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QNetworkReply>
#include <QPluginLoader>
#include <QSet>
#include <QStandardPaths>

#include <unistd.h>

#include "core/uSettings.h"
#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

namespace {

// Why the library `file` is not to be loaded, empty when it may be: a library runs as the
// user, so one that others could have placed or changed is not run. A link is followed to the
// library it names.
QString Distrust(const QString& file)
{
    const QFileInfo named(file);
    const QFileInfo library(named.canonicalFilePath());
    if (!library.exists())
        return QString(); // the loader tells it is missing
    for (const QString& path : { named.absolutePath(), library.absolutePath(), file })
        if (QFileInfo(path).permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther))
            return Tr(Msg::PluginWritable).arg(file, path);
    if (library.ownerId() != geteuid() && library.ownerId() != 0)
        return Tr(Msg::PluginNotOwned).arg(file);
    return QString();
}

} // namespace

TPlugin::TPlugin(QObject& object, IPluginBase& plugin)
    : FObject(object)
    , Plugin(plugin)
{
}

TPlugin::~TPlugin()
{
    if (!Connected)
        return;
    try {
        Plugin.SetCallBack(nullptr);
    } catch (...) {
        // Going anyway: the plugin is not called again.
    }
}

// The plugin's failure, or what it threw, as the user reads it. Text from a plugin is
// another program's text, so control characters are shown, not obeyed.
template <typename TCall> void TPlugin::Call(TCall call)
{
    const QString name = FName.isEmpty() ? FObject.metaObject()->className() : FName;
    TPluginResult result;
    try {
        result = call();
    } catch (const std::exception& error) {
        throw EUserError(
            Tr(Msg::PluginThrew).arg(name, EscapeControls(QString::fromUtf8(error.what()))));
    } catch (...) {
        throw EUserError(Tr(Msg::PluginFailed).arg(name));
    }
    if (!result.Failed())
        return;
    if (result.Message.isEmpty())
        throw EUserError(Tr(Msg::PluginFailed).arg(name));
    throw EUserError(EscapeControls(result.Message));
}

void TPlugin::Connect(IPluginCallBack& callBack)
{
    Call([&] { return Plugin.SetCallBack(&callBack); });
    Connected = true;
    QString name;
    Call([&] { return Plugin.GetName(name); });
    FName = name;
}

void TPlugin::ShowLocation(double longitude, double latitude, const QString& description)
{
    Call([&] { return Plugin.ShowLocation(longitude, latitude, description); });
}

void TPlugin::AddLocation(double longitude, double latitude, const QString& description, bool first)
{
    Call([&] { return Plugin.AddLocation(longitude, latitude, description, ToPluginBool(first)); });
}

void TPlugin::ShowSettings(QWidget* parent)
{
    Call([&] { return Plugin.ShowSettings(parent); });
}

void TPlugin::SetAutoArrange(bool value)
{
    Call([&] { return Plugin.SetAutoArrange(ToPluginBool(value)); });
}

void TPlugin::SetArea(const QRect& area)
{
    Call([&] { return Plugin.SetArea(area.left(), area.top(), area.width(), area.height()); });
}

bool TPlugin::GetArranged()
{
    TPluginBool arranged = PluginFalse;
    Call([&] { return Plugin.GetArranged(arranged); });
    return FromPluginBool(arranged);
}

bool TPlugin::CanAdd()
{
    TPluginBool canAdd = PluginFalse;
    try {
        Call([&] { return Plugin.GetCanAdd(canAdd); });
    } catch (const EUserError&) {
        return false;
    }
    return FromPluginBool(canAdd);
}

bool TPluginList::Load(const QStringList& files, IPluginCallBack& callBack)
{
    bool all = true;
    for (const QString& file : files.mid(0, MaxPlugins)) {
        const QString distrust = Distrust(file);
        if (!distrust.isEmpty()) {
            FRefused.append(distrust);
            all = false;
            continue;
        }
        QPluginLoader loader(file);
        // A library missing a symbol is turned away now rather than failing in a later call.
        loader.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        QObject* object = loader.instance();
        if (!object || !Add(*object, callBack)) {
            all = false;
            if (object)
                loader.unload();
        }
    }
    return all;
}

bool TPluginList::Add(QObject& object, IPluginCallBack& callBack)
{
    auto* base = qobject_cast<IPluginBase*>(&object);
    if (!base)
        return false;
    auto plugin = std::make_unique<TPlugin>(object, *base);
    try {
        plugin->Connect(callBack);
    } catch (const EUserError&) {
        return false;
    }
    Plugins.push_back(std::move(plugin));
    return true;
}

int TPluginList::DefaultIndex(const QString& defaultName) const
{
    for (int i = 0; i < Count(); ++i)
        if ((*this)[i].Name().compare(defaultName, Qt::CaseInsensitive) == 0)
            return i;
    return Plugins.empty() ? -1 : 0;
}

TPlugin* TPluginList::Default() const
{
    const int index = DefaultIndex(Settings().DefaultPlugin);
    return index < 0 ? nullptr : &(*this)[index];
}

QStringList PluginFolders()
{
    const QString subFolder = QStringLiteral("plugins");
    const QStringList candidates { ApplicationDir() + subFolder,
        ProgramLibraryDir() + QLatin1Char('/') + subFolder,
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QStringLiteral("/marivel/") + subFolder };
    QStringList folders;
    for (const QString& candidate : candidates) {
        const QString folder = QDir::cleanPath(candidate);
        if (!folders.contains(folder))
            folders.append(folder);
    }
    return folders;
}

QStringList PluginFiles(const QStringList& folders)
{
    QStringList files;
    QSet<QString> names;
    for (const QString& folder : folders) {
        const QFileInfoList found =
            QDir(folder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& file : found) {
            if (!QLibrary::isLibrary(file.fileName()) || names.contains(file.fileName()))
                continue;
            names.insert(file.fileName());
            files.append(file.absoluteFilePath());
        }
    }
    return files;
}

QString PluginSettingsKey(const QString& name)
{
    return MainKey + QStringLiteral("\\Plugins\\") + name;
}

TReplyLimit::TReplyLimit(QNetworkReply& reply, std::chrono::milliseconds deadline)
    : QObject(&reply)
    , Reply(reply)
{
    connect(&reply, &QNetworkReply::metaDataChanged, this,
        [this] { Check(Reply.header(QNetworkRequest::ContentLengthHeader).toLongLong()); });
    // What waits to be read is what grows; what arrived in all counts for a reader that reads
    // as it goes.
    connect(&reply, &QNetworkReply::readyRead, this, [this] { Check(Reply.bytesAvailable()); });
    connect(&reply, &QNetworkReply::downloadProgress, this,
        [this](qint64 received, qint64) { Check(received); });
    connect(&reply, &QNetworkReply::finished, &Deadline, &QTimer::stop);
    connect(&Deadline, &QTimer::timeout, this,
        [this, deadline] { Stop(Tr(Msg::DownloadIdle).arg(double(deadline.count()) / 1000)); });
    Deadline.setSingleShot(true);
    Deadline.start(deadline);
}

void TReplyLimit::Check(qint64 bytes)
{
    if (bytes > MaxBytes)
        Stop(Tr(Msg::AnswerTooLarge).arg(MaxBytes / 1024));
}

void TReplyLimit::Stop(const QString& failure)
{
    if (!FFailure.isEmpty() || Reply.isFinished())
        return;
    FFailure = failure;
    Reply.abort();
}
