#include "convert/uConvertItn.h"

#include <gtest/gtest.h>

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
