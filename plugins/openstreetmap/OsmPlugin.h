#pragma once

#include <QDialog>
#include <QObject>

#include "plugins/MrvPluginBase.h"
#include "uOsmSettings.h"

class QLineEdit;
class QSpinBox;

// Shows an entry on the OpenStreetMap web page, with a marker, in the user's browser. It
// cannot take new entries.
class TOsmPlugin : public QObject, public TPluginBase {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IPluginBase_iid)
    Q_INTERFACES(IPluginBase)

public:
    TPluginResult ShowLocation(
        double Longitude, double Latitude, const QString& Description) override;
    TPluginResult AddLocation(
        double Longitude, double Latitude, const QString& Description, TPluginBool First) override;
    TPluginResult ShowSettings(QWidget* ParentWindow) override;
    TPluginResult SetCallBack(IPluginCallBack* CallBack) override;
    TPluginResult GetName(QString& Name) override;
    TPluginResult GetCanAdd(TPluginBool& CanAdd) override;
};

// The zoom level and the address pattern.
class TfmOsmSettings : public QDialog {
    Q_OBJECT

public:
    TfmOsmSettings(const TOsmSettings& settings, QWidget* parent);
    TOsmSettings Settings() const;

private:
    QSpinBox* seZoom;
    QLineEdit* edPattern;
};
