#include "sites/uDeviceConnect.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/uExceptions.h"
#include "platform/uMessages.h"

QString AutostartFile()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/marivel.desktop");
}

bool UpdateOnConnectEnabled() { return QFileInfo::exists(AutostartFile()); }

void SetUpdateOnConnect(bool on, const QString& program)
{
    const QString file = AutostartFile();
    if (!on) {
        QFile::remove(file);
        return;
    }
    QDir().mkpath(QFileInfo(file).path());
    QSaveFile entry(file);
    // The desktop entry quotes a path with spaces; a quote or backslash in it is escaped.
    QString quoted = program;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('"'), QStringLiteral("\\\""));
    const QByteArray text = "[Desktop Entry]\nType=Application\nName=Marivel\n"
                            "Comment=AutoUpdate of POI files when a device connects\n"
                            "Exec=\""
        + quoted.toUtf8() + "\" --tray\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    if (!entry.open(QIODevice::WriteOnly) || entry.write(text) != text.size() || !entry.commit())
        throw EUserError(Tr(Msg::CannotWriteFile).arg(file, entry.errorString()));
}

QStringList MediaRoots()
{
    if (qEnvironmentVariableIsSet("MARIVEL_MEDIA_ROOTS"))
        return qEnvironmentVariable("MARIVEL_MEDIA_ROOTS")
            .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        return {};
    return { QStringLiteral("/media/") + user, QStringLiteral("/run/media/") + user };
}

TDeviceWatcher::TDeviceWatcher(
    const QStringList& mediaRoots, const QString& deviceFolder, QObject* parent)
    : QObject(parent)
    , Roots(mediaRoots)
    , DeviceFolder(deviceFolder)
    , Known(Present())
{
    connect(&Watcher, &QFileSystemWatcher::directoryChanged, this, &TDeviceWatcher::Check);
    Watch();
}

QSet<QString> TDeviceWatcher::Present() const
{
    QSet<QString> present;
    for (const QString& root : Roots)
        for (const QFileInfo& volume : QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
            present.insert(volume.filePath());
    if (!DeviceFolder.isEmpty() && QFileInfo(DeviceFolder).isDir())
        present.insert(DeviceFolder);
    return present;
}

// The media folders, and the device folder's parent, since a folder that is not there yet
// cannot be watched itself.
void TDeviceWatcher::Watch()
{
    QStringList folders = Roots;
    if (!DeviceFolder.isEmpty())
        folders.append(QFileInfo(DeviceFolder).path());
    folders.removeIf([](const QString& folder) { return !QFileInfo(folder).isDir(); });
    folders.removeIf(
        [this](const QString& folder) { return Watcher.directories().contains(folder); });
    if (!folders.isEmpty())
        Watcher.addPaths(folders);
}

void TDeviceWatcher::Check()
{
    const QSet<QString> now = Present();
    for (const QString& path : now)
        if (!Known.contains(path))
            emit DeviceConnected(path);
    Known = now;
    Watch();
}
