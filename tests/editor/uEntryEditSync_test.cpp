#include "editor/uEntryEditSync.h"

#include <gtest/gtest.h>

#include "core/uModel.h"
#include "testing.h"

TEST(TEntryEditSync, FieldsShowTheEntryAndEditsGoBack)
{
    TEditTexts none = TEntryEditSync::FromEntry(nullptr);
    EXPECT_FALSE(none.Enabled);
    EXPECT_TRUE(none.Latitude.isEmpty());

    TEntry entry;
    entry.SetDescription("Caf\xe9");
    entry.SetLatitude(51.5);
    entry.SetLongitude(-0.125);
    TEditTexts texts = TEntryEditSync::FromEntry(&entry);
    EXPECT_EQ(texts.Description, QString::fromUtf8("Café"));
    EXPECT_EQ(texts.Latitude, "51.50000");
    EXPECT_EQ(texts.LatDeg + ' ' + texts.LatMin + ' ' + texts.LatSec, "51 30 0");
    EXPECT_EQ(texts.LatSign + texts.LonSign, "NW");

    EXPECT_FALSE(TEntryEditSync::ToEntry(entry, TEditField::Latitude, "51.5"))
        << "an unchanged value is not applied";
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::LatDeg, "89.7"));
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::LatMin, "59"));
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::LatSec, "59"));
    EXPECT_EQ(TEntryEditSync::FromEntry(&entry).Latitude, "89.99972");

    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::LonSign, "W"));
    EXPECT_EQ(TEntryEditSync::FromEntry(&entry).LonSign, "E") << "a hemisphere button toggles";
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::Description, QString::fromUtf8("€")));
    EXPECT_EQ(entry.Description(), "\x80");
    EXPECT_THROW(TEntryEditSync::ToEntry(entry, TEditField::Longitude, "east"), EConvertError);
}

TEST(TEntryEditSync, MinusAndPlusKeysTurnTheHemisphere)
{
    TEntry entry;
    entry.SetLatitude(51.5);
    QString text = TEntryEditSync::WithSign(TEntryEditSync::FromEntry(&entry).Latitude, true);
    EXPECT_EQ(text, "-51.50000");
    EXPECT_EQ(TEntryEditSync::WithSign(text, true), text) << "one minus only";
    TEntryEditSync::ToEntry(entry, TEditField::Latitude, text);
    EXPECT_TRUE(entry.LatSouth());
    EXPECT_EQ(TEntryEditSync::FromEntry(&entry).LatSign, "S");
    TEntryEditSync::ToEntry(entry, TEditField::Latitude, TEntryEditSync::WithSign(text, false));
    EXPECT_FALSE(entry.LatSouth());

    TLocale german(QLocale::German);
    EXPECT_EQ(TEntryEditSync::FromEntry(&entry).Latitude, "51,50000");
    EXPECT_TRUE(TEntryEditSync::ToEntry(entry, TEditField::Latitude, "-51,25"));
    EXPECT_EQ(entry.Latitude(), -51.25);
}
