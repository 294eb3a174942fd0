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
class TOsmPluginTest : public ::testing::Test, protected TLoadedPlugin {
protected:
    TOsmPluginTest()
        : TLoadedPlugin(ShippedPlugin("openstreetmap"))
    {
    }

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

    TUrlRecorder Browser;
};

// The map page with a marker at the entry, at the zoom and address pattern of the settings; a
// zoom off the map or an empty pattern reads as the default. It takes no entries.
TEST_F(TOsmPluginTest, ShowsTheEntryOnTheMapPageOfItsSettings)
{
    EXPECT_EQ(Plugin().Name(), "OpenStreetMap");
    const QString osm = "https://www.openstreetmap.org/?mlat=%2&mlon=%1#map=16/%2/%1";
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
            TRegistry reg;
            reg.OpenKey(PluginSettingsKey("OpenStreetMap"), true);
            reg.WriteInteger("Zoom", c.Zoom);
            reg.WriteString("AddressPattern", c.Pattern);
        }
        EXPECT_EQ(Shown(c.Longitude, c.Latitude), c.Shown);
    }
    EXPECT_FALSE(Plugin().CanAdd());
    EXPECT_EQ(ErrorOf<EUserError>([&] { Plugin().AddLocation(1, 2, "x", true); }),
        "OpenStreetMap cannot take new entries");
}

TEST_F(TOsmPluginTest, ItsSettingsDialogStoresWhatTheUserChose)
{
    AnswerSettings(16, 9, "https://m.example/{lat}/{lon}", true);
    EXPECT_EQ(Shown(1, 2), "https://m.example/2.000000/1.000000");
    AnswerSettings(9, 3, "", false); // Cancel keeps the settings
    EXPECT_EQ(Shown(1, 2), "https://m.example/2.000000/1.000000");
}

} // namespace
