#include "editor/uEntryEditSync.h"

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
        TEntryEditSync::ToEntry(entry, TEditField::Description, QString::fromUtf8("Café €")));
    EXPECT_EQ(entry.Description(), "Caf\xe9 \x80");
    EXPECT_EQ(TEntryEditSync::FromEntry(&entry).Description, QString::fromUtf8("Café €"));
    EXPECT_FALSE(
        TEntryEditSync::ToEntry(entry, TEditField::Description, QString::fromUtf8("Café €")))
        << "an unchanged value is not applied";
    EXPECT_THROW(TEntryEditSync::ToEntry(entry, TEditField::Longitude, "east"), EConvertError);
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::LonDeg, "12.9"));
    EXPECT_EQ(entry.LonDeg(), 12) << "a fraction is cut off";
}
