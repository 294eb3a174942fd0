#pragma once

#include <QObject>

#include "plugins/MrvPluginBase.h"
#include "uJosmRemote.h"

// Shows entries in JOSM, the OpenStreetMap editor, and adds them to it as named nodes,
// through JOSM's remote control.
class TJosmPlugin : public QObject, public TPluginBase {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IPluginBase_iid)
    Q_INTERFACES(IPluginBase)

public:
    // How often JOSM is asked whether it is still there, in ms.
    static constexpr int PollInterval = 2000;

    TJosmPlugin();

    TPluginResult ShowLocation(
        double Longitude, double Latitude, const QString& Description) override;
    TPluginResult AddLocation(
        double Longitude, double Latitude, const QString& Description, TPluginBool First) override;
    TPluginResult ShowSettings(QWidget* ParentWindow) override;
    TPluginResult SetCallBack(IPluginCallBack* CallBack) override;
    TPluginResult GetName(QString& Name) override;
    TPluginResult GetCanAdd(TPluginBool& CanAdd) override;

private:
    IPluginCallBack* CallBack = nullptr;
    TJosmRemote Remote;
};
