#include "convert/uConvertAsc.h"

#include <QDate>
#include <QLocale>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "core/uSettings.h"
#include "core/uUtils.h"
#include "platform/uStreams.h"
#include "testing.h"

namespace {

class TDevSwitch {
public:
    TDevSwitch() { SetDevSwitch(true); }
    ~TDevSwitch() { SetDevSwitch(false); }
};

class TGermanLocale {
public:
    TGermanLocale() { QLocale::setDefault(QLocale(QLocale::German)); }
    ~TGermanLocale() { QLocale::setDefault(Previous); }

private:
    QLocale Previous;
};

const std::string Header = "; This Ascii PoiFile was generated";

std::string Export(TConvertToAscBase&& exporter, double lon, double lat, const char* desc)
{
    TEntries entries;
    entries.AddValues(desc, "", lon, lat);
    TMemoryStream stream;
    exporter.Execute(entries, stream);
    return stream.Bytes();
}

void Import(TConvertFromAscBase&& importer, TEntries& entries, const std::string& text)
{
    TMemoryStream stream(text);
    importer.Execute(entries, stream);
    EXPECT_EQ(stream.Position(), stream.Size());
}

} // namespace

TEST(TConvertToAscBase, WritesEachLayoutWithItsHeader)
{
    const TDevSwitch dev;
    const std::string dam = Export(TConvertToAsc(), 4.88969, 52.37403, "Dam");
    EXPECT_EQ(dam.substr(0, Header.size() + 4), Header + " by ") << "no date under /dev";
    EXPECT_EQ(dam.substr(dam.find("\r\n\r\n") + 4), "4.88969, 52.37403, \"Dam\"\r\n");
    const std::string navio = Export(TConvertToNavioCsv(), 4.88969, 52.37403, "Dam");
    EXPECT_EQ(navio.substr(navio.find("\r\n\r\n") + 4), "\"Dam\", 52.37403, 4.88969\r\n");
    EXPECT_EQ(Export(TConvertToGarminCsv(), 151.2153, -33.9, "a\"b"),
        "151.21530, -33.90000, \"a\"b\"\r\n")
        << "no header, the description unchanged";
}

TEST(TConvertToAscBase, HeaderNamesTheDateOutsideDevMode)
{
    const QString today = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    const std::string header = Header + " on " + today.toStdString() + " by ";
    EXPECT_EQ(Export(TConvertToNavio(), 1, 2, "x").substr(0, header.size()), header);
}

TEST(TConvertToAscBase, NumbersUseAPointInEveryLocale)
{
    const TGermanLocale german;
    EXPECT_EQ(
        Export(TConvertToGarminCsv(), 4.88969, -52.5, "Dam"), "4.88969, -52.50000, \"Dam\"\r\n");
    TEntries entries;
    Import(TConvertFromNavmanCsv(), entries, "4.88969, 52.37403, Dam");
    ASSERT_EQ(entries.Count(), 1);
    EXPECT_EQ(entries.Items(0).Longitude(), 4.88969);
}

TEST(TConvertToAsc, MaximumPrecisionOptionWritesTheSettingsDecimals)
{
    const TTempConfig config;
    const int previous = Settings().Precision;
    Settings().Precision = 6;
    EXPECT_EQ(Export(TConvertToGarminCsv(), 4.123456, 1, ""), "4.12346, 1.00000, \"\"\r\n");
    const std::string fine = "4.123456, 1.000000, \"\"\r\n";
    EXPECT_NE(
        Export(TConvertToAsc(), 4.123456, 1, "").find("4.12346, 1.00000,"), std::string::npos);
    TConvertToAsc().SetOption(0, true);
    EXPECT_EQ(TConvertToAsc().Precision(), 6);
    const std::string generic = Export(TConvertToAsc(), 4.123456, 1, "");
    EXPECT_EQ(generic.substr(generic.size() - fine.size()), fine);
    EXPECT_EQ(Export(TConvertToNavio(), 4.123456, 1, "").find("4.123456"), std::string::npos);
    Settings().Precision = previous;
}

TEST(TConvertFromAscBase, ReadsDescriptionsAndSkipsCommentsAndBlankLines)
{
    TEntries written;
    written.AddValues("Dam, Amsterdam", "", 4.88969, 52.37403);
    written.AddValues("Opera", "", 151.2153, -33.85678);
    TMemoryStream stream;
    TConvertToNavioCsv().Execute(written, stream);
    TEntries entries;
    Import(TConvertFromNavioCsv(), entries, stream.Bytes() + "\r\n  \" x \" , -1.5,2\n");
    ASSERT_EQ(entries.Count(), 3);
    EXPECT_EQ(entries.Items(0).Description(), "Dam, Amsterdam");
    EXPECT_EQ(entries.Items(0).Longitude(), 4.88969);
    EXPECT_EQ(entries.Items(1).Latitude(), -33.85678);
    EXPECT_EQ(entries.Items(2).Description(), "x") << "blanks inside the quotes are trimmed";
    EXPECT_EQ(entries.Items(2).Longitude(), 2);
    EXPECT_EQ(entries.Items(2).Latitude(), -1.5);
    EXPECT_TRUE(entries.Items(0).IpDeparture());
}

TEST(TConvertFromAscBase, WrongColumnCountsNameTheLineFromZero)
{
    TEntries entries;
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        Import(TConvertFromNavmanCsv(), entries, "; comment\r\n1,2,a\r\n3,4\r\n5,6,b");
    }),
        "3 to 3 values expected on line 2");
    EXPECT_EQ(entries.Count(), 1) << "entries read before the fault stay";
    EXPECT_EQ(ErrorOf<EUserError>([&] { Import(TConvertFromGarminCsv(), entries, "1,2,a,b,c"); }),
        "3 to 4 values expected on line 0");
}

TEST(TConvertFromGarminCsv, TakesTheLastColumnOrTheThirdByOption)
{
    const TTempConfig config;
    const std::string text = "Longitude,Latitude,Name,Comment\n1,2,name,comment\n3,4,only\n";
    TEntries entries;
    Import(TConvertFromGarminCsv(), entries, text);
    ASSERT_EQ(entries.Count(), 2) << "the title row is passed over";
    EXPECT_EQ(entries.Items(0).Description(), "comment");
    EXPECT_EQ(entries.Items(1).Description(), "only");
    TConvertFromGarminCsv().SetOption(0, true);
    Import(TConvertFromGarminCsv(), entries, text);
    EXPECT_EQ(entries.Items(2).Description(), "name");

    EXPECT_EQ(
        ErrorOf<EUserError>([&] { Import(TConvertFromNavmanCsv(), entries, "Lon,Lat,Name"); }),
        "'Lon' is not a valid floating point value");
    EXPECT_EQ(
        ErrorOf<EUserError>([&] { Import(TConvertFromGarminCsv(), entries, "\n1,2,a,b\nx,y,z"); }),
        "'x' is not a valid floating point value")
        << "titles only on the first line";
}

TEST(TConvertFromGarminCsv, ReadsAFileWrittenByGpsBabel)
{
    TBuiltInFormats formats;
    TEntries entries;
    TMemoryStream stream(TestData("gpsbabel/points-garmin.csv"));
    entries.LoadFromStream(stream, "csv", "garmincsv", false);
    ASSERT_EQ(entries.Count(), 4);
    EXPECT_EQ(entries.Items(0).Description(), "Dam Square");
    EXPECT_EQ(entries.Items(0).Longitude(), 4.88969);
    EXPECT_EQ(entries.Items(0).Latitude(), 52.37403);
    EXPECT_EQ(entries.Items(1).Description(), "Opera Sydney");
    EXPECT_EQ(entries.Items(1).Longitude(), 151.2153);
    EXPECT_EQ(entries.Items(1).Latitude(), -33.85678);
    EXPECT_EQ(entries.Items(3).Description(), "Cristo Redentor");
    EXPECT_EQ(entries.Items(3).Longitude(), -43.21049);
}
