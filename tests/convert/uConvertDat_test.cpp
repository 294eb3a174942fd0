#include "convert/uConvertDat.h"

#include <gtest/gtest.h>

#include "convert/uConvertCsv.h"
#include "core/uSettings.h"
#include "platform/uStreams.h"
#include "testing.h"

TEST(TConvertDat, WritesOneRecordPerEntryAndNothingForNone)
{
    TEntries entries;
    EXPECT_EQ(Exported<TConvertToDat>(entries), "");
    entries.AddValues("A", "", 1, -2);
    const std::string position("\0\0\0\0\0\0\xf0\x3f\0\0\0\0\0\0\0\xc0", 16);
    EXPECT_EQ(Exported<TConvertToDat>(entries),
        std::string("D\0y\0n\0a\0m\0i\0c\0 \0P\0O\0I\0\0\0A\0\0\0", 28) + std::string(22, '\0')
            + position + position + std::string(16, '\0'));
}

TEST(TConvertDat, KeepsTheDecimalsThatCsvRoundsAway)
{
    TPrecision six(6);
    TEntries entries, back;
    entries.AddValues("€ café", "", 4.123456, -52.373026);
    ImportInto<TConvertFromDat>(back, Exported<TConvertToDat>(entries));
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Items(0).Description(), "€ café");
    EXPECT_EQ(back.Items(0).Longitude(), 4.123456);
    EXPECT_EQ(back.Items(0).Latitude(), -52.373026);

    TMemoryStream csv;
    TConvertToCsv().Execute(entries, csv);
    EXPECT_EQ(csv.Bytes(), "\"\x80 caf\xE9\",\"\x80 caf\xE9\",4.12346,-52.37303,,,,\r\n");
}

TEST(TConvertDat, ReadsGpsBabelsFileUpToWhereItEnds)
{
    const std::string file = TestData("gpsbabel/points.dat");
    TEntries entries;
    ImportInto<TConvertFromDat>(entries, file);
    ASSERT_EQ(entries.Count(), 4);
    EXPECT_EQ(entries.Items(0).Description(), "Dam Square");
    EXPECT_EQ(entries.Items(0).Longitude(), 4.88969);
    EXPECT_EQ(entries.Items(1).Description(), "Opera, Sydney");
    EXPECT_EQ(entries.Items(1).Latitude(), -33.85678);

    const size_t lastRecord = file.rfind(std::string("D\0y\0n", 5));
    for (size_t cut = lastRecord + 1; cut < file.size(); ++cut) {
        TEntries before;
        EXPECT_EQ(
            ErrorOf<EUserError>([&] { ImportInto<TConvertFromDat>(before, file.substr(0, cut)); }),
            "Invalid dat file");
        EXPECT_EQ(before.Count(), 3) << "the records before stay; cut at " << cut;
    }
    TEntries none;
    ImportInto<TConvertFromDat>(none, "");
    EXPECT_EQ(none.Count(), 0);
}
