#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "plugins/MrvPluginBase.h"

class QNetworkReply;
class QWidget;

// One loaded plugin as the program calls it: a failure the plugin reports, and anything it
// throws, becomes an `EUserError` carrying the plugin's message, so a faulty plugin costs a
// command and never the program.
class TPlugin {
public:
    // `plugin` lives in `object`, the plugin's root object, which its library owns.
    TPlugin(QObject& object, IPluginBase& plugin);
    // Takes the callback back: the plugin may outlive the program's hold on it.
    ~TPlugin();
    TPlugin(const TPlugin&) = delete;
    TPlugin& operator=(const TPlugin&) = delete;

    // Hands the plugin the callback and asks its name; fails when either fails.
    void Connect(IPluginCallBack& callBack);
    const QString& Name() const { return FName; }
    QObject& Object() const { return FObject; }

    void ShowLocation(double longitude, double latitude, const QString& description);
    void AddLocation(double longitude, double latitude, const QString& description, bool first);
    void ShowSettings(QWidget* parent);
    void SetAutoArrange(bool value);
    void SetArea(const QRect& area);
    bool GetArranged();
    // Whether the plugin takes new entries now; a plugin that fails to answer does not.
    bool CanAdd();

private:
    template <typename TCall> void Call(TCall call);

    QObject& FObject;
    IPluginBase& Plugin;
    QString FName;
    bool Connected = false;
};

// The loaded plugins in load order, owned by the main window for the life of the program.
class TPluginList {
public:
    // No more plugin libraries than this are looked at.
    static constexpr int MaxPlugins = 127;

    // Loads the plugin libraries `files` in order, the first `MaxPlugins` of them, and hands
    // each `callBack`. A library that others could have placed or changed is not loaded (see
    // `Refused`); one that cannot be loaded, has no `IPluginBase` or refuses the callback is
    // left out too; false when any was.
    bool Load(const QStringList& files, IPluginCallBack& callBack);
    // Why `Load` did not load libraries it did not trust, a sentence for each.
    const QStringList& Refused() const { return FRefused; }
    // Adds a plugin that is already loaded; false when it refuses the callback or its name.
    bool Add(QObject& object, IPluginCallBack& callBack);

    int Count() const { return static_cast<int>(Plugins.size()); }
    TPlugin& operator[](int index) const { return *Plugins[static_cast<size_t>(index)]; }
    // The plugin named `defaultName` ignoring case, the first such; when none is, the first
    // plugin; -1 when there are none.
    int DefaultIndex(const QString& defaultName) const;
    // The default plugin of the settings' `DefaultPlugin`, null when there are no plugins.
    TPlugin* Default() const;

private:
    std::vector<std::unique_ptr<TPlugin>> Plugins;
    QStringList FRefused;
};

// The folders plugins are loaded from: "plugins" below the application folder, beside the
// installed program, and in the user's data folder; each once.
QStringList PluginFolders();
// The plugin libraries of `folders` in load order: folder by folder, by file name; a file
// name already found in an earlier folder is left out.
QStringList PluginFiles(const QStringList& folders);

// The registry key below which the plugin named `name` keeps its own settings.
QString PluginSettingsKey(const QString& name);

// Holds an answer that a plugin reads into memory from another program to a size and a time,
// so that whatever listens on the plugin's port can neither grow the program nor keep it
// waiting: the reply is aborted as soon as its announced length or the bytes it brought pass
// `MaxBytes`, or when it has not finished within `deadline`. It lives as the reply's child.
class TReplyLimit : public QObject {
public:
    // Plenty for the short answers of a map application's remote control.
    static constexpr qint64 MaxBytes = 64 * 1024;

    TReplyLimit(QNetworkReply& reply, std::chrono::milliseconds deadline);
    // Why the reply was aborted, empty when it was not.
    const QString& Failure() const { return FFailure; }

private:
    void Check(qint64 bytes);
    void Stop(const QString& failure);

    QNetworkReply& Reply;
    QTimer Deadline;
    QString FFailure;
};
