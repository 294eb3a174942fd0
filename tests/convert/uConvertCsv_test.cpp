#include "convert/uConvertCsv.h"

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "platform/uStreams.h"
#include "testing.h"

namespace {

std::string Export(TEntries& entries)
{
    TMemoryStream stream;
    TConvertToCsv().Execute(entries, stream);
    return stream.Bytes();
}

void Import(TEntries& entries, const std::string& text)
{
    TMemoryStream stream(text);
    TConvertFromCsv().Execute(entries, stream);
}

} // namespace

TEST(TConvertToCsv, WritesTheDescriptionTwiceWithoutQuotes)
{
    TEntries entries;
    entries.AddValues("Dam \"Square\"", "", 4.88969, 52.37403);
    entries.AddValues("", "", -0.000001, -33.85678);
    EXPECT_EQ(Export(entries),
        "\"Dam Square\",\"Dam Square\",4.88969,52.37403,,,,\r\n"
        "\"\",\"\",0.00000,-33.85678,,,,\r\n");

    TEntries empty;
    EXPECT_EQ(Export(empty), "");
}

TEST(TConvertFromCsv, ReadsDescriptionLongitudeAndLatitude)
{
    TEntries entries;
    std::vector<int> progress;
    TConvertFromCsv importer;
    importer.OnProgress = [&](int percent) { progress.push_back(percent); };
    TMemoryStream stream(" \"Dam, Square\" ,ignored, 4.88969 ,52.37403,a,b,c,d,e\r\n"
                         ";x,,-1,-2\n"
                         "a,b,3,4\r"
                         "q,r,5,6");
    importer.Execute(entries, stream);

    ASSERT_EQ(entries.Count(), 4);
    EXPECT_EQ(entries.Items(0).Description(), "Dam, Square");
    EXPECT_EQ(entries.Items(0).Longitude(), 4.88969);
    EXPECT_EQ(entries.Items(0).Latitude(), 52.37403);
    EXPECT_TRUE(entries.Items(0).IpDeparture());
    EXPECT_EQ(entries.Items(1).Description(), ";x");
    EXPECT_EQ(entries.Items(1).Latitude(), -2);
    EXPECT_EQ(entries.Items(3).Longitude(), 5);
    EXPECT_EQ(progress, std::vector<int>({ 25, 50, 75 }));
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(TConvertFromCsv, ShortOrBadLinesEndTheImport)
{
    auto errorAfterOneEntry = [](const std::string& text) {
        TEntries entries;
        QString error = ErrorOf<EUserError>([&] { Import(entries, text); });
        EXPECT_EQ(entries.Count(), 1) << "entries read before the fault stay";
        return error;
    };
    EXPECT_EQ(errorAfterOneEntry("a,,1,2\r\n\r\nb,,3,4\r\n"), "List index out of bounds (2)");
    EXPECT_EQ(errorAfterOneEntry("a,,1,2\nb,c\n"), "List index out of bounds (2)");
    EXPECT_EQ(errorAfterOneEntry("a,,1,2\nb,c,3\n"), "List index out of bounds (3)");
    EXPECT_EQ(
        errorAfterOneEntry("a,,1,2\nb,,3,north\n"), "'north' is not a valid floating point value");
}

TEST(TConvertFromCsv, IsTheFirstCsvFormatInTheRegistry)
{
    TBuiltInFormats formats;
    TEntries entries;
    TMemoryStream in("\"a b\",\"a b\",1.50000,-2.25000,,,,\r\n");
    entries.LoadFromStream(in, QString("CSV"), QString(), false);
    ASSERT_EQ(entries.Count(), 1);
    TMemoryStream out;
    entries.SaveToStream(out, QString("csv"), QString("dstcsv"));
    EXPECT_EQ(out.Bytes(), in.Bytes());
}
