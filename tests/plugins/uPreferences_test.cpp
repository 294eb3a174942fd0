#include "editor/uPreferences.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "core/uSettings.h"
#include "testing.h"

namespace {

using TConverters = TPreferences::TConverters;

class TPreferencesTest : public ::testing::Test {
protected:
    TBuiltInFormats Formats;
};

// The check boxes' settings go through the dialog's test; these are the rest.
TEST_F(TPreferencesTest, ReadsAndStoresTheGeneralSettings)
{
    TSettings& settings = Settings();
    std::tie(settings.Precision, settings.DeviceFolder) =
        std::tuple(5, QStringLiteral("/media/nav"));
    TPreferences::TGeneral general = TPreferences::Load();
    EXPECT_FALSE(general.SixDecimals);
    EXPECT_EQ(general.DeviceFolder, QStringLiteral("/media/nav"));
    EXPECT_EQ(general.CodePage, "windows-1252");

    const TCodePageScope restore(DefaultCodePage);
    general = { true, false, true, true, QStringLiteral("/media/card"), "windows-1251",
        "http://tiles.example/{z}/{x}/{y}.png" };
    EXPECT_TRUE(TPreferences::Store(general));
    EXPECT_EQ(settings.CodePage, "windows-1251");
    EXPECT_EQ(CodePageName(), "windows-1251") << "in use at once";
    EXPECT_EQ(settings.TileUrl, "http://tiles.example/{z}/{x}/{y}.png");
    general.SixDecimals = false;
    general.TileUrl = QStringLiteral("  ");
    EXPECT_FALSE(TPreferences::Store(general)); // the device folder stayed
    EXPECT_EQ(settings.Precision, 5);
    EXPECT_EQ(settings.TileUrl, DefaultTileUrl()) << "emptied, it is OpenStreetMap's";
}

TEST_F(TPreferencesTest, ListsTheConvertersInRegistryOrderWithTheirMarks)
{
    Settings().DefaultFormats.AddPair(QStringLiteral(".CSV"), QStringLiteral("NavioCSV"));
    const auto importers = TPreferences::Rows(TConverters::Importers);
    ASSERT_EQ(static_cast<int>(importers.size()), ImporterCount());
    EXPECT_EQ(importers[0].Name, ImporterName(0));
    EXPECT_EQ(importers[0].Ext, QStringLiteral(".ov2"));
    EXPECT_EQ(importers[0].FormatId, QStringLiteral("ttov2"));
    for (const auto& row : importers)
        EXPECT_EQ(row.Default, row.FormatId == QStringLiteral("naviocsv"))
            << row.FormatId.toStdString();
    const auto gpx = std::ranges::find(
        importers, QStringLiteral("gengpx"), &TPreferences::TConverterRow::FormatId);
    ASSERT_NE(gpx, importers.end());
    EXPECT_TRUE(gpx->HasOptions);
    EXPECT_FALSE(importers[0].HasOptions);

    const auto exporters = TPreferences::Rows(TConverters::Exporters);
    ASSERT_EQ(static_cast<int>(exporters.size()), ExporterCount());
    for (const auto& row : exporters)
        EXPECT_FALSE(row.Default); // exporters have no default
}

} // namespace
