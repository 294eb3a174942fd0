#pragma once

#include <memory>
#include <vector>

#include <QDesktopServices>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "plugins/uPluginActions.h"

// The plugin libraries the build made, and the ones that fail on purpose.
inline QString ShippedPlugin(const char* name)
{
    return QStringLiteral(MARIVEL_PLUGIN_DIR "/marivel_%1.so").arg(QLatin1String(name));
}
inline QString ExamplePlugin()
{
    return QStringLiteral(MARIVEL_EXAMPLE_PLUGIN_DIR "/marivel_example.so");
}
inline QString FaultyPlugin(const char* fault)
{
    return QStringLiteral(MARIVEL_FAULTY_PLUGIN_DIR "/faulty_%1.so").arg(QLatin1String(fault));
}

// A plugin in the test itself, whose answers the test sets and whose calls it reads.
class TFakePlugin : public QObject, public TPluginBase {
    Q_OBJECT
    Q_INTERFACES(IPluginBase)

public:
    explicit TFakePlugin(const QString& name, bool canAdd = true)
        : Name(name)
        , CanAdd(canAdd)
    {
    }

    QString Name;
    bool CanAdd;
    bool Arranged = false;
    QStringList Calls;
    IPluginCallBack* CallBack = nullptr;

    TPluginResult ShowLocation(double lon, double lat, const QString& description) override
    {
        return Log(QStringLiteral("show %1 %2 %3").arg(lon).arg(lat).arg(description));
    }
    // Refuses an entry without a name, as a plugin may, saying why.
    TPluginResult AddLocation(
        double lon, double lat, const QString& description, TPluginBool first) override
    {
        if (description.isEmpty())
            return TPluginResult::Fail(QStringLiteral("no name"));
        return Log(QStringLiteral("add %1 %2 %3 %4").arg(lon).arg(lat).arg(description).arg(first));
    }
    TPluginResult ShowSettings(QWidget*) override { return Log(QStringLiteral("settings")); }
    TPluginResult SetCallBack(IPluginCallBack* callBack) override
    {
        CallBack = callBack;
        return TPluginResult::Ok();
    }
    TPluginResult GetName(QString& name) override
    {
        name = Name;
        return TPluginResult::Ok();
    }
    TPluginResult SetAutoArrange(TPluginBool value) override
    {
        return Log(QStringLiteral("arrange %1").arg(value));
    }
    TPluginResult SetArea(int32_t left, int32_t top, int32_t width, int32_t height) override
    {
        return Log(QStringLiteral("area %1 %2 %3 %4").arg(left).arg(top).arg(width).arg(height));
    }
    TPluginResult GetArranged(TPluginBool& arranged) override
    {
        arranged = ToPluginBool(Arranged);
        return TPluginResult::Ok();
    }
    TPluginResult GetCanAdd(TPluginBool& canAdd) override
    {
        canAdd = ToPluginBool(CanAdd);
        return TPluginResult::Ok();
    }

private:
    TPluginResult Log(const QString& call)
    {
        Calls.append(call);
        return TPluginResult::Ok();
    }
};

// The main window and its screen as the plugin commands see them.
class TFakeWindows : public IPluginWindows {
public:
    TScreenArea Screen { QRect(0, 0, 1280, 900), QRect(0, 30, 1280, 840), true };
    QRect Bounds { 100, 100, 800, 600 };
    std::vector<QRect> Placed;

    TScreenArea DocumentScreen() const override { return Screen; }
    QRect MainWindowBounds() const override { return Bounds; }
    void PlaceMainWindow(const QRect& bounds) override
    {
        Placed.push_back(bounds);
        Bounds = bounds;
    }
};

class TCallBackCounter : public IPluginCallBack {
public:
    int Closed = 0;
    TPluginResult AppClosed() override
    {
        ++Closed;
        return TPluginResult::Ok();
    }
};

// Fake plugins in a plugin list, in the order added, for a fixture to derive from. The list
// goes before the fakes it points to.
class TFakePluginList {
protected:
    void Add(const QString& name, bool canAdd = true)
    {
        Fakes.push_back(std::make_unique<TFakePlugin>(name, canAdd));
        Plugins.Add(*Fakes.back(), CallBack);
    }

    TCallBackCounter CallBack;
    std::vector<std::unique_ptr<TFakePlugin>> Fakes;
    TPluginList Plugins;
};

// Takes the desktop's web addresses for as long as it lives, and keeps them.
class TUrlRecorder : public QObject {
    Q_OBJECT

public:
    TUrlRecorder()
    {
        for (const char* scheme : { "http", "https" })
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "Open");
    }
    ~TUrlRecorder() override
    {
        for (const char* scheme : { "http", "https" })
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> Opened;

public slots:
    void Open(const QUrl& url) { Opened.append(url); }
};
