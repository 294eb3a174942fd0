#include "convert/uConvertCsv.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "testing.h"

// Lines are counted from 1, as an editor counts them, and the message says what to do; entries
// read before the fault stay. A ";" starts no comment.
TEST(TConvertCsv, ShortOrBadLinesEndTheImport)
{
    const QString advice =
        ". Open the file in the format it was written in, or correct that line | kept ;a ";
    EXPECT_EQ(ReadOutcome<TConvertFromCsv>(";a,,1,2\r\n\r\nb,,3,4\r\n"),
        "Line 2 does not fit this format: at least 4 values expected, 1 found" + advice);
    EXPECT_EQ(ReadOutcome<TConvertFromCsv>(";a,,1,2\nb,c,3\n"),
        "Line 2 does not fit this format: at least 4 values expected, 3 found" + advice);
    EXPECT_EQ(ReadOutcome<TConvertFromCsv>(";a,,1,2\nb,,3,N\n"),
        "Line 2 does not fit this format: 'N' is not a valid floating point value" + advice);
}
