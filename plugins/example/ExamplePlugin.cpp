#include "ExamplePlugin.h"

#include <QMessageBox>

TPluginResult TExamplePlugin::ShowLocation(
    double Longitude, double Latitude, const QString& Description)
{
    FReceived.append(QStringLiteral("show %1 %2 %3").arg(Longitude).arg(Latitude).arg(Description));
    return TPluginResult::Ok();
}

TPluginResult TExamplePlugin::AddLocation(
    double Longitude, double Latitude, const QString& Description, TPluginBool First)
{
    // An empty description is the kind of input a plugin may refuse, with a reason.
    if (Description.isEmpty())
        return TPluginResult::Fail(tr("The example plugin takes only entries with a name"));
    if (FromPluginBool(First))
        FReceived.append(QStringLiteral("new batch"));
    FReceived.append(QStringLiteral("add %1 %2 %3").arg(Longitude).arg(Latitude).arg(Description));
    return TPluginResult::Ok();
}

TPluginResult TExamplePlugin::ShowSettings(QWidget* ParentWindow)
{
    QMessageBox::information(ParentWindow, tr("Example plugin"),
        FReceived.isEmpty() ? tr("Nothing received yet.") : FReceived.join(QLatin1Char('\n')));
    return TPluginResult::Ok();
}

// A plugin that drives an application keeps `CallBack` and calls its `AppClosed` when the
// application closes; this one drives none. Being connected anew starts a fresh record.
TPluginResult TExamplePlugin::SetCallBack(IPluginCallBack*)
{
    FReceived.clear();
    return TPluginResult::Ok();
}

TPluginResult TExamplePlugin::GetName(QString& Name)
{
    Name = QStringLiteral("Example");
    return TPluginResult::Ok();
}

TPluginResult TExamplePlugin::SetAutoArrange(TPluginBool Value)
{
    FReceived.append(QStringLiteral("arrange %1").arg(FromPluginBool(Value)));
    return TPluginResult::Ok();
}

TPluginResult TExamplePlugin::SetArea(int32_t Left, int32_t Top, int32_t Width, int32_t Height)
{
    FReceived.append(QStringLiteral("area %1 %2 %3 %4").arg(Left).arg(Top).arg(Width).arg(Height));
    return TPluginResult::Ok();
}

TPluginResult TExamplePlugin::GetCanAdd(TPluginBool& CanAdd)
{
    CanAdd = PluginTrue;
    return TPluginResult::Ok();
}
