#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include "platform/uRegistry.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

// The OpenStreetMap plugin, loaded from its library, with its settings in a fresh store.
class TOsmPluginTest : public ::testing::Test {
protected:
    TOsmPluginTest() { EXPECT_TRUE(Plugins.Load({ ShippedPlugin("openstreetmap") }, CallBack)); }

    void Store(const QString& name, const QVariant& value)
    {
        TRegistry reg;
        reg.OpenKey(PluginSettingsKey(QStringLiteral("OpenStreetMap")), true);
        if (value.typeId() == QMetaType::Int)
            reg.WriteInteger(name, value.toInt());
        else
            reg.WriteString(name, value.toString());
    }
    QString Shown(double longitude, double latitude)
    {
        Plugins[0].ShowLocation(longitude, latitude, QStringLiteral("Dam"));
        return Browser.Opened.isEmpty() ? QString() : Browser.Opened.last().toString();
    }

    TUrlRecorder Browser;
    TCallBackCounter CallBack;
    TPluginList Plugins;
};

// The map page with a marker at the entry, at the zoom and address pattern of the settings; a
// zoom off the map or an empty pattern reads as the default.
TEST_F(TOsmPluginTest, ShowsTheEntryOnTheMapPageOfItsSettings)
{
    EXPECT_EQ(Plugins[0].Name(), QStringLiteral("OpenStreetMap"));
    const QString osm =
        QStringLiteral("https://www.openstreetmap.org/?mlat=%2&mlon=%1#map=16/%2/%1");
    const struct {
        int Zoom;
        QString Pattern;
        double Longitude, Latitude;
        QString Shown;
    } cases[] = {
        { 0, {}, 4.8952, 52.370216, osm.arg("4.895200", "52.370216") }, // nothing stored
        { 0, {}, -0.5, -33.25, osm.arg("-0.500000", "-33.250000") },
        { 12, "http://tiles.example/{zoom}?at={lat},{lon}", 1, 2,
            "http://tiles.example/12?at=2.000000,1.000000" },
        { 20, "  ", 1, 2, osm.arg("1.000000", "2.000000") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Shown.toStdString());
        if (!c.Pattern.isNull()) {
            Store("Zoom", c.Zoom);
            Store("AddressPattern", c.Pattern);
        }
        EXPECT_EQ(Shown(c.Longitude, c.Latitude), c.Shown);
    }
}

TEST_F(TOsmPluginTest, CannotAdd)
{
    EXPECT_FALSE(Plugins[0].CanAdd());
    EXPECT_EQ(ErrorOf<EUserError>([&] { Plugins[0].AddLocation(1, 2, "x", true); }),
        QStringLiteral("OpenStreetMap cannot take new entries"));
}

TEST_F(TOsmPluginTest, ItsSettingsDialogStoresWhatTheUserChose)
{
    AnsweringModal([&] { Plugins[0].ShowSettings(nullptr); },
        [](QWidget* dialog) {
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->findChild<QSpinBox*>("seZoom")->value(), 16);
            dialog->findChild<QSpinBox*>("seZoom")->setValue(9);
            dialog->findChild<QLineEdit*>("edPattern")->setText("https://m.example/{lat}/{lon}");
            qobject_cast<QDialog*>(dialog)->accept();
        });
    EXPECT_EQ(Shown(1, 2), QStringLiteral("https://m.example/2.000000/1.000000"));
    AnsweringModal([&] { Plugins[0].ShowSettings(nullptr); },
        [](QWidget* dialog) {
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->findChild<QSpinBox*>("seZoom")->value(), 9);
            dialog->findChild<QSpinBox*>("seZoom")->setValue(3);
            qobject_cast<QDialog*>(dialog)->reject(); // Cancel keeps the settings
        });
    TRegistry reg;
    reg.OpenKeyReadOnly(PluginSettingsKey(QStringLiteral("OpenStreetMap")));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Zoom")), 9);
}

} // namespace
