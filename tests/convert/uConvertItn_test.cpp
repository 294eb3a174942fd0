#include "convert/uConvertItn.h"

#include <gtest/gtest.h>

#include "testing.h"

TEST(TConvertFromItn, ReadsLinesWithOrWithoutTheFinalSeparator)
{
    TEntries entries;
    ImportInto<TConvertFromItn>(entries,
        "488969|5237403|Dam Square|4|\r\n\r\n  \n488969|5237403|Dam Square|4\r"
        "1|2|only two separators|\n-100|-200||3|\n");
    EXPECT_EQ(ReadPoints(entries),
        std::vector<TReadPoint>({ { "Dam Square", 4.88969, 52.37403 },
            { "Dam Square", 4.88969, 52.37403 }, { "", -0.001, -0.002 } }))
        << "a line of two separators is passed over";
    for (const int i : { 0, 1, 2 })
        EXPECT_EQ(entries.Items(i).Flag(), i < 2 ? 4 : 3);

    EXPECT_EQ(ErrorOf<EConvertError>(
                  [&] { ImportInto<TConvertFromItn>(entries, "1|2|a|1|\n4.5|2|b|1|\n"); }),
        "'4.5' is not a valid integer value");
    EXPECT_EQ(entries.Count(), 4) << "entries read before stay";
}
