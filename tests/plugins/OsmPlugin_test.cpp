#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include "modal.h"
#include "platform/uRegistry.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

// The OpenStreetMap plugin, loaded from its library, with its settings in a fresh store.
class TOsmPluginTest : public ::testing::Test {
protected:
    TOsmPluginTest() { EXPECT_TRUE(Plugins.Load({ ShippedPlugin("openstreetmap") }, CallBack)); }
    TPlugin& Plugin() { return Plugins[0]; }

    QString Shown(double longitude, double latitude)
    {
        Plugin().ShowLocation(longitude, latitude, "Dam");
        return Browser.Opened.isEmpty() ? QString() : Browser.Opened.last().toString();
    }
    // Answers the plugin's settings dialog, checking the zoom it shows.
    void AnswerSettings(int shown, int zoom, const QString& pattern, bool accept)
    {
        WhenShown([=](QDialog& dialog) {
            auto* zoomBox = dialog.findChild<QSpinBox*>("seZoom");
            EXPECT_EQ(zoomBox->value(), shown);
            zoomBox->setValue(zoom);
            dialog.findChild<QLineEdit*>("edPattern")->setText(pattern);
            accept ? dialog.accept() : dialog.reject();
        });
        Plugin().ShowSettings(nullptr);
    }

    TCallBackCounter CallBack;
    TPluginList Plugins;
    TUrlRecorder Browser;
};

// The map page with a marker at the entry, at the zoom and address pattern its settings dialog
// stored; a stored zoom off the map or an empty pattern reads as the default. It takes no entries.
TEST_F(TOsmPluginTest, ShowsTheEntryOnTheMapPageOfItsSettings)
{
    EXPECT_EQ(Plugin().Name(), "OpenStreetMap");
    const QString osm = "https://www.openstreetmap.org/?mlat=%2&mlon=%1#map=16/%2/%1";
    EXPECT_EQ(Shown(4.8952, 52.370216), osm.arg("4.895200", "52.370216")); // nothing stored
    EXPECT_EQ(Shown(-0.5, -33.25), osm.arg("-0.500000", "-33.250000"));
    AnswerSettings(16, 12, "http://tiles.example/{zoom}?at={lat},{lon}", true);
    EXPECT_EQ(Shown(1, 2), "http://tiles.example/12?at=2.000000,1.000000");
    AnswerSettings(12, 3, "", false); // Cancel keeps the settings
    EXPECT_EQ(Shown(1, 2), "http://tiles.example/12?at=2.000000,1.000000");
    {
        TRegistry reg;
        reg.OpenKey(PluginSettingsKey("OpenStreetMap"), true);
        reg.WriteInteger("Zoom", 20);
        reg.WriteString("AddressPattern", "  ");
    }
    EXPECT_EQ(Shown(1, 2), osm.arg("1.000000", "2.000000"));

    EXPECT_FALSE(Plugin().CanAdd());
    EXPECT_EQ(ErrorOf<EUserError>([&] { Plugin().AddLocation(1, 2, "x", true); }),
        "OpenStreetMap cannot take new entries");
}

} // namespace
