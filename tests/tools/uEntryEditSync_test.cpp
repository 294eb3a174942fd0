#include "tools/uEntryEditSync.h"

#include <gtest/gtest.h>

#include "core/uModel.h"
#include "testing.h"

// The window's tests drive the fields; these are the cases a window test would not meet.
TEST(TEntryEditSync, LocaleSeparatorCodePageTextAndBadNumbers)
{
    TEntry entry;
    entry.SetLatitude(51.5);
    TLocale german(QLocale::German);
    EXPECT_EQ(TEntryEditSync::FromEntry(&entry).Latitude, "51,50000");
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::Latitude, "-51,25"));
    EXPECT_EQ(entry.Latitude(), -51.25);
    EXPECT_TRUE(entry.LatSouth());

    EXPECT_TRUE(
        TEntryEditSync::ToEntry(entry, TEditField::Description, QString::fromUtf8("Café € 北京")));
    EXPECT_EQ(entry.Description(), "Café € 北京");
    EXPECT_EQ(TEntryEditSync::FromEntry(&entry).Description, QString::fromUtf8("Café € 北京"));
    EXPECT_FALSE(
        TEntryEditSync::ToEntry(entry, TEditField::Description, QString::fromUtf8("Café € 北京")))
        << "an unchanged value is not applied";
    EXPECT_THROW(TEntryEditSync::ToEntry(entry, TEditField::Longitude, "east"), EConvertError);
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::LonDeg, "12.9"));
    EXPECT_EQ(entry.LonDeg(), 12) << "a fraction is cut off";
}

TEST(TEntryEditSync, DegreeMinuteAndSecondFieldsKeepToTheirRanges)
{
    TEntry entry;
    entry.SetLatitude(68.5);
    EXPECT_FALSE(TEntryEditSync::ToEntry(entry, TEditField::LatMin, "75"));
    EXPECT_EQ(entry.LatMin(), 30) << "not 68 degrees and 75 minutes";
    EXPECT_FALSE(TEntryEditSync::ToEntry(entry, TEditField::LatSec, "60"));
    EXPECT_FALSE(TEntryEditSync::ToEntry(entry, TEditField::LatDeg, "91"));
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::LonDeg, "180"));
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::LatDeg, "90"));
    for (const TEditField clamped : { TEditField::LatMin, TEditField::LatSec, TEditField::LonMin })
        EXPECT_FALSE(TEntryEditSync::ToEntry(entry, clamped, "30")) << "stays at the pole";
    EXPECT_EQ(entry.Latitude(), 90);
    EXPECT_EQ(
        ErrorOf<EUserError>([&] { TEntryEditSync::ToEntry(entry, TEditField::Latitude, "95.5"); }),
        "A latitude lies from -90 to 90 degrees, not 95.5");
    EXPECT_EQ(ErrorOf<EUserError>(
                  [&] { TEntryEditSync::ToEntry(entry, TEditField::Longitude, "-180.5"); }),
        "A longitude lies from -180 to 180 degrees, not -180.5");
    EXPECT_EQ(entry.Latitude(), 90);

    const auto state = [](TEditField field, QString text) {
        TDegreePartValidator validator(field, nullptr);
        int position = 0;
        return validator.validate(text, position);
    };
    using S = QValidator::State;
    EXPECT_EQ(state(TEditField::LatMin, ""), S::Intermediate);
    EXPECT_EQ(state(TEditField::LonMin, "5.5"), S::Invalid) << "whole minutes";
    EXPECT_EQ(state(TEditField::LonSec, "60"), S::Invalid);
    EXPECT_EQ(state(TEditField::LonSec, "-1"), S::Invalid);
    EXPECT_EQ(state(TEditField::LatDeg, "90"), S::Acceptable);
    EXPECT_EQ(state(TEditField::LatDeg, "91"), S::Invalid);
    EXPECT_EQ(state(TEditField::LonDeg, "180"), S::Acceptable);
    EXPECT_EQ(state(TEditField::LonDeg, "1800"), S::Invalid);
    TLocale german(QLocale::German);
    EXPECT_EQ(state(TEditField::LatSec, "12,5"), S::Acceptable);
    EXPECT_EQ(state(TEditField::LatSec, "12,5,"), S::Invalid);
}
