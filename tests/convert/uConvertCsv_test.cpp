#include "convert/uConvertCsv.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "convert/uFormats.h"
#include "platform/uStreams.h"
#include "testing.h"

TEST(TConvertCsv, ReadsFieldsOneThreeAndFourAsTheFirstCsvFormat)
{
    TBuiltInFormats formats;
    const auto importer = CreateImporter(QStringLiteral("CSV"), QString());
    std::vector<int> progress;
    importer->OnProgress = [&](int percent) { progress.push_back(percent); };
    TEntries entries;
    TMemoryStream stream(
        " \"Dam, Square\" ,x, 4.88969 ,52.37403,a,b,c,d\r\n;y,,-1,-2\nq,,5,6\rr,,7,8");
    importer->Execute(entries, stream);

    EXPECT_EQ(ReadPoints(entries),
        std::vector<TReadPoint>({ { "Dam, Square", 4.88969, 52.37403 }, { ";y", -1, -2 },
            { "q", 5, 6 }, { "r", 7, 8 } }));
    EXPECT_EQ(progress, std::vector<int>({ 25, 50, 75 }));
    EXPECT_EQ(stream.Position(), stream.Size());
}

// Lines are counted from 1, as an editor counts them, and the message says what to do; entries
// read before the fault stay.
TEST(TConvertCsv, ShortOrBadLinesEndTheImport)
{
    const QString advice =
        ". Open the file in the format it was written in, or correct that line | kept a ";
    EXPECT_EQ(ReadOutcome<TConvertFromCsv>("a,,1,2\r\n\r\nb,,3,4\r\n"),
        "Line 2 does not fit this format: at least 4 values expected, 1 found" + advice);
    EXPECT_EQ(ReadOutcome<TConvertFromCsv>("a,,1,2\nb,c,3\n"),
        "Line 2 does not fit this format: at least 4 values expected, 3 found" + advice);
    EXPECT_EQ(ReadOutcome<TConvertFromCsv>("a,,1,2\nb,,3,N\n"),
        "Line 2 does not fit this format: 'N' is not a valid floating point value" + advice);
}
