#include "core/uModel.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <string_view>
#include <tuple>

#include <gtest/gtest.h>

#include "core/uSettings.h"
#include "testing.h"

// The editor sets the seconds the user typed; a fraction read from a file must not stay.
TEST(TEntry, SecondsSetByHandDropTheOldFraction)
{
    TEntry e;
    e.SetLatitude(-10.123456789);
    e.SetLatSec(7);
    EXPECT_EQ(e.LatSecFrac(), 0);
    EXPECT_LT(e.Latitude(), 0) << "south stays south";
}

// Importers build entries in one step; that must leave each the same as a fresh entry given
// every value through its setter, change mark included.
TEST(TEntry, BuiltFromValuesEqualsOneGivenEachValue)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = { 0, -0.0, nan, 1e-9, -1e-9, 52.123456789, -4.5, 179.99999999, 181,
        -200, 90.0000001 };
    const std::string_view texts[] = { "", "Dam", std::string_view("a\0b", 3) };
    for (const double longitude : values)
        for (const double latitude : values)
            for (const std::string_view description : texts)
                for (const std::string_view extra : texts) {
                    TEntry set;
                    set.SetLongitude(longitude);
                    set.SetLatitude(latitude);
                    set.SetDescription(description);
                    set.SetExtra(extra);
                    const TEntry built(description, extra, longitude, latitude);
                    const auto axes = [](const TEntry& e) {
                        return std::make_tuple(e.LonDeg(), e.LonMin(), e.LonSec(),
                            std::bit_cast<uint64_t>(e.LonSecFrac()), e.LonWest(), e.LatDeg(),
                            e.LatMin(), e.LatSec(), std::bit_cast<uint64_t>(e.LatSecFrac()),
                            e.LatSouth());
                    };
                    ASSERT_EQ(axes(built), axes(set)) << longitude << " " << latitude;
                    ASSERT_EQ(built.Description(), set.Description());
                    ASSERT_EQ(built.Extra(), set.Extra());
                    ASSERT_EQ(built.Changed(), set.Changed()) << longitude << " " << latitude;
                    ASSERT_EQ(built.Flag(), set.Flag());
                }
}

TEST(TEntries, ClearReportsEachPercentOnce)
{
    TEntries list;
    for (int i = 0; i < 400; ++i)
        list.AddValues("", "", 0, 0);
    std::vector<int> reported;
    list.OnProgress = [&](int percent) { reported.push_back(percent); };
    list.Clear();
    ASSERT_EQ(reported.size(), 100u);
    EXPECT_EQ(reported.front(), 99);
    EXPECT_EQ(reported.back(), 0);
}

// An entry keeps every decimal but reads rounded to the user's precision, so a save in a format
// of fewer decimals loses some only when the precision is higher than the format's.
TEST(TEntries, ReadRoundedToTheUsersPrecisionAndFitItWhenAsked)
{
    TEntries list;
    EXPECT_TRUE(list.FitsPrecision(0));
    list.AddValues("", "", 4.123456, 52.123456789);
    TPrecision six(6);
    const TEntry& e = list.Items(0);
    EXPECT_EQ(e.Latitude(), 52.123457);
    EXPECT_EQ(e.LatitudeStr(), QString("52.123457"));
    EXPECT_TRUE(list.FitsPrecision(6));
    EXPECT_FALSE(list.FitsPrecision(5));
    Settings().Precision = 5;
    EXPECT_EQ(e.Latitude(), 52.12346);
    EXPECT_TRUE(list.FitsPrecision(5));
}

// The marks share a word with the texts' address: changing either must keep the other. A copy
// takes everything and is marked changed.
TEST(TEntry, TextsOfAnyLengthSurviveChangesOfTheOtherAndOfTheMarks)
{
    EXPECT_EQ(TEntry().Flag(), 1) << "a new entry is an enabled itinerary point";
    // Lengths around the steps of their encoding (a description alone up to 254 bytes keeps
    // its length beside the address), and an extra text larger than the chunks the texts are
    // cut from.
    for (const size_t length : { size_t(0), size_t(127), size_t(128), size_t(254), size_t(255),
             size_t(256), size_t(16384) }) {
        const std::string description(length, 'd');
        const std::string extra(3 * 1024 * 1024 + length, 'x');
        TEntry entry;
        entry.SetFlag(6);
        entry.SetExtra(extra);
        entry.SetDescription(description);
        EXPECT_EQ(entry.Description(), description);
        EXPECT_EQ(entry.Extra(), extra);
        entry.SetExtra("");
        EXPECT_EQ(entry.Description(), description);
        EXPECT_TRUE(entry.Extra().empty());
        const size_t cut = std::min<size_t>(length, 1);
        entry.SetDescription(entry.Description().substr(cut)); // from the entry's own block
        EXPECT_EQ(entry.Description(), description.substr(cut));
        EXPECT_TRUE(!entry.IpEnabled() && entry.IpStopOver() && entry.IpDeparture());
        entry.SetFlag(5);
        EXPECT_EQ(entry.Description(), description.substr(cut)) << "and the marks keep them";
        entry.SetLatitude(-10.123456789);
        entry.SetLongitude(170.5);
        entry.ClearChanged();
        TEntry copy;
        copy.SetExtra("x");
        entry.AssignTo(copy);
        EXPECT_TRUE(copy.Changed());
        EXPECT_EQ(copy.LatSecFrac(), entry.LatSecFrac());
        EXPECT_EQ(copy.Longitude(), 170.5);
        EXPECT_EQ(copy.Description(), entry.Description());
        EXPECT_EQ(copy.Extra(), "");
        EXPECT_EQ(copy.Flag(), 5);
    }
}
