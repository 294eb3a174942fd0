#include "OsmPlugin.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

TPluginResult TOsmPlugin::ShowLocation(double Longitude, double Latitude, const QString&)
{
    const QUrl page = TOsmSettings::Load().PageOf(Longitude, Latitude);
    if (!page.isValid())
        return TPluginResult::Fail(
            tr("The OpenStreetMap address pattern does not make a valid address: %1")
                .arg(page.toString()));
    if (!QDesktopServices::openUrl(page))
        return TPluginResult::Fail(
            tr("No web browser could be started for %1").arg(page.toString()));
    return TPluginResult::Ok();
}

TPluginResult TOsmPlugin::AddLocation(double, double, const QString&, TPluginBool)
{
    return TPluginResult::Fail(tr("OpenStreetMap cannot take new entries"));
}

TPluginResult TOsmPlugin::ShowSettings(QWidget* ParentWindow)
{
    TfmOsmSettings dialog(TOsmSettings::Load(), ParentWindow);
    if (dialog.exec() == QDialog::Accepted)
        dialog.Settings().Save();
    return TPluginResult::Ok();
}

// The browser is not watched, so there is nothing to call back about.
TPluginResult TOsmPlugin::SetCallBack(IPluginCallBack*) { return TPluginResult::Ok(); }

TPluginResult TOsmPlugin::GetName(QString& Name)
{
    Name = QStringLiteral("OpenStreetMap");
    return TPluginResult::Ok();
}

TPluginResult TOsmPlugin::GetCanAdd(TPluginBool& CanAdd)
{
    CanAdd = PluginFalse;
    return TPluginResult::Ok();
}

TfmOsmSettings::TfmOsmSettings(const TOsmSettings& settings, QWidget* parent)
    : QDialog(parent)
    , seZoom(new QSpinBox(this))
    , edPattern(new QLineEdit(this))
{
    setWindowTitle(tr("OpenStreetMap Settings..."));
    seZoom->setObjectName(QStringLiteral("seZoom"));
    seZoom->setRange(TOsmSettings::MinZoom, TOsmSettings::MaxZoom);
    seZoom->setValue(settings.Zoom);
    edPattern->setObjectName(QStringLiteral("edPattern"));
    edPattern->setText(settings.Pattern);
    edPattern->setMinimumWidth(edPattern->fontMetrics().horizontalAdvance(settings.Pattern) + 20);
    edPattern->setToolTip(tr("{lat}, {lon} and {zoom} stand for the position and the zoom level"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    layout->addRow(tr("Zoom level:"), seZoom);
    layout->addRow(tr("Map address:"), edPattern);
    layout->addRow(buttons);
}

TOsmSettings TfmOsmSettings::Settings() const
{
    TOsmSettings settings;
    settings.Zoom = seZoom->value();
    settings.Pattern = edPattern->text().trimmed().isEmpty() ? TOsmSettings::DefaultPattern
                                                             : edPattern->text().trimmed();
    return settings;
}
