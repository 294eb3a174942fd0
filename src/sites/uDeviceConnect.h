#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

// "AutoUpdate upon device connect" on a Linux desktop: an autostart entry starts the program in
// the tray at login, and the running program watches where a navigator or memory card shows
// up, starting a tray-mode update when one does.

// "marivel.desktop" in the autostart folder of $XDG_CONFIG_HOME (default ~/.config).
QString AutostartFile();
bool UpdateOnConnectEnabled();
// On: writes the entry, running `program` with "--tray"; off: removes it. Fails with
// "Cannot write file ..." when the entry cannot be written.
void SetUpdateOnConnect(bool on, const QString& program);

// The folders where removable media appear, one volume per subfolder: MARIVEL_MEDIA_ROOTS
// (":"-separated) when set, else /media/$USER and /run/media/$USER.
QStringList MediaRoots();

// Tells when a volume appears in a media folder, or when the device folder comes into being.
// Volumes there when it starts count as present, so only a new connection starts an update.
class TDeviceWatcher : public QObject {
    Q_OBJECT
public:
    TDeviceWatcher(
        const QStringList& mediaRoots, const QString& deviceFolder, QObject* parent = nullptr);

    // Looks again; emits `DeviceConnected` for each volume that was not there before.
    void Check();

signals:
    void DeviceConnected(const QString& path);

private:
    QSet<QString> Present() const;
    void Watch();

    QStringList Roots;
    QString DeviceFolder;
    QSet<QString> Known;
    QFileSystemWatcher Watcher;
};
