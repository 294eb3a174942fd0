#pragma once

#include <QObject>
#include <QStringList>

#include "plugins/MrvPluginBase.h"

// The smallest useful plugin: it remembers the entries it was shown and given, and lists
// them in its settings dialog. A starting point for a plugin of your own.
class TExamplePlugin : public QObject, public TPluginBase {
    Q_OBJECT
    // The metadata names the interface the object implements; the program loads nothing else.
    Q_PLUGIN_METADATA(IID IPluginBase_iid)
    Q_INTERFACES(IPluginBase)
    // What the plugin received, one line a call, for the curious and for tests.
    Q_PROPERTY(QStringList Received READ Received)

public:
    TPluginResult ShowLocation(
        double Longitude, double Latitude, const QString& Description) override;
    TPluginResult AddLocation(
        double Longitude, double Latitude, const QString& Description, TPluginBool First) override;
    TPluginResult ShowSettings(QWidget* ParentWindow) override;
    TPluginResult SetCallBack(IPluginCallBack* CallBack) override;
    TPluginResult GetName(QString& Name) override;
    TPluginResult SetAutoArrange(TPluginBool Value) override;
    TPluginResult SetArea(int32_t Left, int32_t Top, int32_t Width, int32_t Height) override;
    TPluginResult GetCanAdd(TPluginBool& CanAdd) override;

    QStringList Received() const { return FReceived; }

private:
    QStringList FReceived;
};
