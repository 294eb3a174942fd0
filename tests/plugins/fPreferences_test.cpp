#include "editor/fPreferences.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "core/uSettings.h"
#include "map/mapfixture.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

class TPreferencesDialog : public ::testing::Test, protected TFakePluginList {
protected:
    TPreferencesDialog()
    {
        for (const char* name : { "OpenStreetMap", "JOSM" })
            Add(QLatin1String(name));
    }

    template <class T> static T* Child(QWidget& dialog, const char* name)
    {
        T* found = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QPushButton* Button(QWidget& dialog, const QString& text)
    {
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == text)
                return button;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }
    static void Select(QTreeWidget* list, const QString& formatId)
    {
        list->setCurrentItem(list->findItems(formatId, Qt::MatchExactly, 2).value(0));
    }

    TBuiltInFormats Formats;
};

// An empty device folder leaves the device to the library: the field says what it finds.
TEST_F(TPreferencesDialog, TheDeviceFolderSaysWhatIsFound)
{
    QTemporaryDir media;
    const TEnvironment roots("MARIVEL_MEDIA_ROOTS", media.path());
    const TEnvironment root("MARIVEL_DEVICE_ROOT", QString());
    const auto placeholder = [this] {
        TfmPluginSettings dialog(Plugins);
        return Child<QLineEdit>(dialog, "edDeviceFolder")->placeholderText();
    };
    EXPECT_EQ(placeholder(), "(none found)");
    QDir(media.path()).mkpath("NAVIGATOR");
    WriteFileBytes(media.filePath("NAVIGATOR/ttgo.bif"), "");
    EXPECT_EQ(placeholder(), "Found: " + media.filePath("NAVIGATOR"));
}

TEST_F(TPreferencesDialog, ShowsTheSettingsAndStoresThemOnClose)
{
    TSettings& settings = Settings();
    std::tie(settings.ShowStartupScreen, settings.CloseMinimizes, settings.Precision,
        settings.PluginAutoArrange) = std::tuple(true, false, 4, true);
    TfmPluginSettings dialog(Plugins);
    auto* tabs = dialog.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "General");
    EXPECT_TRUE(Button(dialog, "Close")->isDefault());
    EXPECT_TRUE(Child<QCheckBox>(dialog, "cbShowStartupScreen")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(dialog, "cbCloseMinimizes")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(dialog, "rbPrecision6")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(dialog, "cbAutoArrange")->isChecked());
    Child<QCheckBox>(dialog, "cbShowStartupScreen")->setChecked(false);
    Child<QCheckBox>(dialog, "cbCloseMinimizes")->setChecked(true);
    Child<QCheckBox>(dialog, "cbAutoArrange")->setChecked(false);
    Child<QLineEdit>(dialog, "edDeviceFolder")->setText("/media/nav");
    EXPECT_EQ(settings.Precision, 4); // nothing is stored before the dialog closes
    dialog.reject(); // Close, Esc and the window's own close button alike
    EXPECT_FALSE(settings.ShowStartupScreen);
    EXPECT_TRUE(settings.CloseMinimizes);
    EXPECT_EQ(settings.Precision, 6);
    EXPECT_FALSE(settings.PluginAutoArrange);
    EXPECT_EQ(settings.DeviceFolder, QStringLiteral("/media/nav"));
    EXPECT_TRUE(dialog.DeviceFolderChanged());
}

TEST_F(TPreferencesDialog, SetDefaultAndSettingsFollowTheSelectedPlugin)
{
    TfmPluginSettings dialog(Plugins);
    auto* list = Child<QTreeWidget>(dialog, "lvPlugins");
    QPushButton* setDefault = Button(dialog, "Set Default");
    QPushButton* pluginSettings = Button(dialog, "Settings...");
    EXPECT_FALSE(setDefault->isEnabled());
    EXPECT_FALSE(pluginSettings->isEnabled());
    list->setCurrentItem(list->topLevelItem(0)); // the default already
    EXPECT_FALSE(setDefault->isEnabled());
    EXPECT_TRUE(pluginSettings->isEnabled());
    list->setCurrentItem(list->topLevelItem(1));
    ASSERT_TRUE(setDefault->isEnabled());
    setDefault->click();
    EXPECT_EQ(Settings().DefaultPlugin, QStringLiteral("JOSM"));
    EXPECT_FALSE(setDefault->isEnabled());
    pluginSettings->click();
    EXPECT_EQ(Fakes[1]->Calls, QStringList { "settings" });
}

TEST_F(TPreferencesDialog, OptionsShowAsFieldsThatStoreAtOnce)
{
    TfmPluginSettings dialog(Plugins);
    auto* box = Child<QGroupBox>(dialog, "gbImportOptions");
    auto* list = Child<QTreeWidget>(dialog, "lvImport");
    Select(list, "gengpx");
    const int gpx = list->indexOfTopLevelItem(list->currentItem());
    auto checks = box->findChildren<QCheckBox*>();
    ASSERT_EQ(checks.size(), 2);
    EXPECT_EQ(checks[1]->text(), CreateImporterAt(gpx)->OptionCaption(1));
    EXPECT_EQ(checks[0]->toolTip(), CreateImporterAt(gpx)->OptionHint(0));
    const bool was = checks[1]->isChecked(), other = checks[0]->isChecked();
    checks[1]->click();
    EXPECT_EQ(CreateImporterAt(gpx)->GetOption(1, was), !was);
    // Another importer's options replace these; back again, they show what was stored.
    Select(list, "ttov2");
    EXPECT_TRUE(box->findChildren<QCheckBox*>().isEmpty());
    Select(list, "gengpx");
    checks = box->findChildren<QCheckBox*>();
    EXPECT_EQ(checks.value(1)->isChecked(), !was);
    EXPECT_EQ(checks.value(0)->isChecked(), other) << "the other option stays";

    list = Child<QTreeWidget>(dialog, "lvExport");
    box = Child<QGroupBox>(dialog, "gbExportOptions");
    Select(list, "garmingpi");
    const int gpi = list->indexOfTopLevelItem(list->currentItem());
    EXPECT_EQ(box->findChildren<QCheckBox*>().size(), 3);
    auto* name = box->findChild<QLineEdit*>();
    auto* metres = box->findChild<QSpinBox*>();
    ASSERT_TRUE(name && metres);
    EXPECT_EQ(name->text(), "");
    EXPECT_EQ(metres->value(), 300);
    EXPECT_EQ(metres->maximum(), 65535);
    name->setText("Flitsers");
    metres->setValue(120);
    EXPECT_EQ(CreateExporterAt(gpi)->GetText(3), "Flitsers");
    EXPECT_EQ(CreateExporterAt(gpi)->GetNumber(4), 120);
}

} // namespace

// The tile address is tested without closing the dialog, and one without its placeholders
// keeps the dialog open, saying why.
TEST_F(TPreferencesDialog, TheTileAddressIsTestedAndOneWithoutPlaceholdersRefused)
{
    THttpTestServer server;
    server.Serve("/tiles/0/0/0.png", Png(QSize(256, 256)));
    TfmPluginSettings dialog(Plugins);
    dialog.show();
    auto* address = Child<QLineEdit>(dialog, "edTileUrl");
    auto* told = Child<QLabel>(dialog, "lbTileTest");
    EXPECT_EQ(address->text(), Settings().TileUrl);
    address->setText(server.Url("/tiles/{z}/{x}/{y}.png"));
    Child<QPushButton>(dialog, "btTestTileUrl")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return told->text() == "The tile server sent a tile."; }))
        << told->text().toStdString();
    address->setText(server.Url("/nothing/{z}/{x}/{y}.png"));
    Child<QPushButton>(dialog, "btTestTileUrl")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return told->text().contains("HTTP 404"); }))
        << told->text().toStdString();

    address->setText(server.Url("/tiles/{z}/{x}.png"));
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible()) << "refused";
    EXPECT_TRUE(told->text().contains("{z}, {x} and {y}"));
    EXPECT_EQ(Settings().TileUrl, DefaultTileUrl());
    address->setText(server.Url("/tiles/{z}/{x}/{y}.png"));
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Settings().TileUrl, server.Url("/tiles/{z}/{x}/{y}.png"));
}
