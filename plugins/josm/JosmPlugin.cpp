#include "JosmPlugin.h"

#include <QInputDialog>

namespace {

TPluginResult ResultOf(const QString& failure)
{
    return failure.isEmpty() ? TPluginResult::Ok() : TPluginResult::Fail(failure);
}

} // namespace

TJosmPlugin::TJosmPlugin()
    : Remote([this] {
        if (CallBack)
            CallBack->AppClosed();
    })
{
}

TPluginResult TJosmPlugin::ShowLocation(double Longitude, double Latitude, const QString&)
{
    return ResultOf(Remote.LoadAndZoom(Longitude, Latitude));
}

// A batch goes into a new layer, so it can be looked over and uploaded on its own; JOSM
// shows where its first entry lies.
TPluginResult TJosmPlugin::AddLocation(
    double Longitude, double Latitude, const QString& Description, TPluginBool First)
{
    if (!FromPluginBool(First))
        return ResultOf(Remote.AddNode(Longitude, Latitude, Description));
    QString failure = Remote.NewLayer();
    if (failure.isEmpty())
        failure = Remote.Zoom(Longitude, Latitude);
    if (failure.isEmpty())
        failure = Remote.AddNodeToNewLayer(Longitude, Latitude, Description);
    return ResultOf(failure);
}

TPluginResult TJosmPlugin::ShowSettings(QWidget* ParentWindow)
{
    QInputDialog dialog(ParentWindow);
    dialog.setWindowTitle(tr("JOSM Settings..."));
    dialog.setLabelText(tr("The port JOSM's remote control listens on (JOSM's own is %1):")
                            .arg(TJosmRemote::DefaultPort));
    dialog.setIntRange(1, 65535);
    dialog.setIntValue(TJosmRemote::StoredPort());
    if (dialog.exec() == QDialog::Accepted)
        TJosmRemote::StorePort(dialog.intValue());
    return TPluginResult::Ok();
}

// JOSM is watched only while the program holds the plugin.
TPluginResult TJosmPlugin::SetCallBack(IPluginCallBack* CallBack)
{
    this->CallBack = CallBack;
    if (CallBack)
        Remote.StartPolling(PollInterval);
    else
        Remote.StopPolling();
    return TPluginResult::Ok();
}

TPluginResult TJosmPlugin::GetName(QString& Name)
{
    Name = QStringLiteral("JOSM");
    return TPluginResult::Ok();
}

TPluginResult TJosmPlugin::GetCanAdd(TPluginBool& CanAdd)
{
    CanAdd = ToPluginBool(Remote.Answering());
    return TPluginResult::Ok();
}
