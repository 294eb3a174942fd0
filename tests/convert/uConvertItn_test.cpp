#include "convert/uConvertItn.h"

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "platform/uStreams.h"
#include "testing.h"

TEST(TConvertFromItn, ReadsLinesWithOrWithoutTheFinalSeparator)
{
    TEntries entries;
    ImportInto<TConvertFromItn>(entries,
        "488969|5237403|Dam Square|4|\r\n\r\n  \n488969|5237403|Dam Square|4\r"
        "1|2|only two separators|\n-100|-200||3|\n");
    ASSERT_EQ(entries.Count(), 3);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entries.Items(i).Longitude(), 4.88969);
        EXPECT_EQ(entries.Items(i).Latitude(), 52.37403);
        EXPECT_EQ(entries.Items(i).Description(), "Dam Square");
        EXPECT_EQ(entries.Items(i).Flag(), 4);
    }
    EXPECT_EQ(entries.Items(2).Flag(), 3);

    EXPECT_EQ(ErrorOf<EConvertError>(
                  [&] { ImportInto<TConvertFromItn>(entries, "1|2|a|1|\n4.5|2|b|1|\n"); }),
        "'4.5' is not a valid integer value");
    EXPECT_EQ(entries.Count(), 4) << "entries read before stay";
}

TEST(TConvertToItn, WritesOneLinePerEntry)
{
    TEntries entries;
    entries.AddValues("Dam Square", "", 4.88969, 52.37403);
    entries.AddValues("a|b", "", -0.00002, -33.85678).SetFlag(2);
    TMemoryStream stream;
    TConvertToItn().Execute(entries, stream);
    EXPECT_EQ(stream.Bytes(), "488969|5237403|Dam Square|5|\r\n-2|-3385678|a|b|2|\r\n");

    EXPECT_THROW(ImportInto<TConvertFromItn>(entries, stream.Bytes()), EConvertError)
        << "a separator in a description does not read back";
}

TEST(TConvertFromItn, ReadsGpsBabelFile)
{
    TBuiltInFormats formats;
    TMemoryStream stream(TestData("gpsbabel/points.itn"));
    TEntries entries;
    entries.LoadFromStream(stream, QString("itn"), QString(), false);
    ASSERT_EQ(entries.Count(), 4);
    EXPECT_EQ(entries.Items(0).Flag(), 0) << "flags stay as read, no departure is added";
    EXPECT_EQ(entries.Items(1).Description(), "Opera Sydney");
    EXPECT_EQ(entries.Items(1).Longitude(), 151.2153);
    EXPECT_EQ(entries.Items(3).Latitude(), -22.95191);
    EXPECT_EQ(stream.Position(), stream.Size());
}
