#include "convert/uConvertCsv.h"

#include <gtest/gtest.h>

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

    ASSERT_EQ(entries.Count(), 4);
    EXPECT_EQ(entries.Items(0).Description(), "Dam, Square");
    EXPECT_EQ(entries.Items(0).Longitude(), 4.88969);
    EXPECT_EQ(entries.Items(0).Latitude(), 52.37403);
    EXPECT_EQ(entries.Items(1).Description(), ";y");
    EXPECT_EQ(entries.Items(3).Latitude(), 8);
    EXPECT_EQ(progress, std::vector<int>({ 25, 50, 75 }));
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(TConvertCsv, ShortOrBadLinesEndTheImport)
{
    auto errorAfterOneEntry = [](const std::string& text) {
        TEntries entries;
        TMemoryStream stream(text);
        QString error = ErrorOf<EUserError>([&] { TConvertFromCsv().Execute(entries, stream); });
        EXPECT_EQ(entries.Count(), 1) << "entries read before the fault stay";
        return error;
    };
    // Lines are counted from 1, as an editor counts them, and the message says what to do.
    EXPECT_EQ(errorAfterOneEntry("a,,1,2\r\n\r\nb,,3,4\r\n"),
        "Line 2 does not fit this format: at least 4 values expected, 1 found. Open the file in "
        "the format it was written in, or correct that line");
    EXPECT_EQ(errorAfterOneEntry("a,,1,2\nb,c,3\n"),
        "Line 2 does not fit this format: at least 4 values expected, 3 found. Open the file in "
        "the format it was written in, or correct that line");
    EXPECT_TRUE(errorAfterOneEntry("a,,1,2\nb,,3,N\n")
                    .startsWith("Line 2 does not fit this format: 'N' is not a valid floating"));
}
