#include "convert/uConvertKml.h"

#include <gtest/gtest.h>

#include "platform/uCodePage.h"
#include "platform/uXml.h"
#include "testing.h"

namespace {

std::vector<TReadPoint> Imported(const std::string& bytes)
{
    TEntries entries;
    ImportInto<TConvertFromKml>(entries, bytes);
    return ReadPoints(entries);
}

} // namespace

TEST(TConvertToKml, WritesTheDocumentByteForByte)
{
    TPrecision precision(7);
    TEntries entries;
    entries.AddValues("Dam <&> €", "<wpt><ele>1</ele></wpt>", 4.88969, 52.37403);
    entries.AddValues("", "", -0.000001, -33.9);

    TXmlDocument doc = CreateXmlDocument();
    doc.Root().AppendProcessingInstruction("xml", R"(version="1.0" encoding="ISO-8859-1")");
    TXmlNode kml = doc.Root().AppendElement("kml");
    kml.SetAttribute("xmlns", "http://earth.google.com/kml/2.0");
    TXmlNode folder = kml.AppendElement("Folder");
    for (const auto& [name, coordinates] :
        { std::pair { "Dam <&> €", "4.88969,52.37403,0" }, std::pair { "", "-1E-6,-33.9,0" } }) {
        TXmlNode placemark = folder.AppendElement("Placemark");
        placemark.AppendElement("name").SetText(QString::fromUtf8(name));
        placemark.AppendElement("Point").AppendElement("coordinates").SetText(coordinates);
    }
    TMemoryStream expected;
    doc.Save(expected);
    EXPECT_EQ(Exported<TConvertToKml>(entries), expected.Bytes()) << "Extra is not written";

    TEntries empty;
    EXPECT_EQ(Exported<TConvertToKml>(empty),
        R"(<?xml version="1.0" encoding="ISO-8859-1"?><kml xmlns="http://earth.google.com/kml/2.0"><Folder/></kml>)");
}

TEST(TConvertToKml, ReadsBackUnderACommaLocaleWithEightBitText)
{
    TLocale german(QLocale::German);
    TEntries entries;
    entries.AddValues("Café €", "", 4.88969, 52.37403);
    entries.AddValues("plain", "", -179.5, -0.5);
    const std::string written = Exported<TConvertToKml>(entries);
    EXPECT_NE(written.find("<coordinates>4.88969,52.37403,0</coordinates>"), std::string::npos);
    EXPECT_EQ(Imported(written),
        std::vector<TReadPoint>({ { "Café €", 4.88969, 52.37403 }, { "plain", -179.5, -0.5 } }));
}

TEST(TConvertKml, NonAsciiNamesRoundTripInAnyCodePage)
{
    const std::string moscow =
        "\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0 Z\xc3\xbcrich \xe2\x82\xac";
    const TCodePageScope utf8("utf-8");
    TEntries entries;
    entries.AddValues(moscow, "", 1, 2);
    const std::string written = Exported<TConvertToKml>(entries);
    EXPECT_NE(
        written.find("<name>&#1052;&#1086;&#1089;&#1082;&#1074;&#1072; Z\xfcrich &#8364;</name>"),
        std::string::npos)
        << written;
    EXPECT_EQ(Imported(written), std::vector<TReadPoint>({ { moscow, 1, 2 } }));
    EXPECT_EQ(Imported("<?xml version='1.0' encoding='ISO-8859-1'?><kml><Placemark><name>\xc3\xbc"
                       "</name><Point><coordinates>1,2</coordinates></Point></Placemark></kml>"),
        std::vector<TReadPoint>({ { "\xc3\x83\xc2\xbc", 1, 2 } }))
        << "declared 8-bit text is read as such, as in GPX";
}

TEST(TConvertFromKml, FindsPlacemarksAtAnyDepthWithAPoint)
{
    const char* const kml = R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2"><Document><name>doc</name>
 <Placemark><name>top</name><Point><coordinates> 1.5,2.5 </coordinates></Point></Placemark>
 <Folder><Folder>
  <Placemark><Description>by description</Description><Point><coordinates>3,4,100</coordinates></Point></Placemark>
  <Placemark><name></name><Description>ignored</Description><Point><coordinates>5,6</coordinates></Point></Placemark>
  <Placemark><name>line</name><LineString><coordinates>1,1 2,2</coordinates></LineString></Placemark>
  <Placemark><name>outer</name><Point><coordinates>7,8</coordinates></Point>
   <Placemark><name>inner</name><Point><coordinates>9,10</coordinates></Point></Placemark>
  </Placemark>
  <Placemark><name>outer 2</name><Point><coordinates>11,12</coordinates></Point>
   <Placemark><name>inner &amp; first</name><Point><coordinates>13,14</coordinates></Point></Placemark>
   <Placemark><Point><coordinates>15,16</coordinates></Point></Placemark>
  </Placemark>
 </Folder></Folder>
 <Placemark><Point><coordinates>caf&#233;-free,0</coordinates></Point></Placemark>
</Document></kml>)";
    TEntries entries;
    EXPECT_EQ(ErrorOf<EConvertError>([&] { ImportInto<TConvertFromKml>(entries, kml); }),
        "'caf\u00e9-free' is not a valid floating point value");
    EXPECT_EQ(ReadPoints(entries),
        std::vector<TReadPoint>({ { "top", 1.5, 2.5 }, { "by description", 3, 4 }, { "", 5, 6 },
            { "outer", 7, 8 }, { "inner", 9, 10 }, { "outer 2", 11, 12 },
            { "inner & first", 13, 14 }, { "", 15, 16 } }));
    EXPECT_TRUE(
        Imported("<Placemark><Point><coordinates>1,2</coordinates></Point></Placemark>").empty())
        << "not below another element";
}

TEST(TConvertFromKml, ReadsUtf16InEitherByteOrderAndUtf8WithAMark)
{
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                             "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document><Placemark>"
                             "<name>Z\xc3\xbcrich \xe2\x82\xac</name><Point><coordinates>"
                             "8.5,47.25,0</coordinates></Point></Placemark></Document></kml>";
    const std::vector<TReadPoint> expected = { { "Zürich €", 8.5, 47.25 } };
    EXPECT_EQ(Imported(Utf16Bytes(text, false)), expected) << "little-endian";
    EXPECT_EQ(Imported(Utf16Bytes(text, true)), expected) << "big-endian";
    EXPECT_EQ(Imported(Utf16Bytes(text, true, false)), expected) << "without a mark";
    EXPECT_EQ(Imported("\xEF\xBB\xBF" + text), expected) << "UTF-8 with a mark";
}

TEST(TConvertFromKml, FaultsKeepWhatWasRead)
{
    const std::string two =
        "<kml><Placemark><Point><coordinates>1,2</coordinates></Point></Placemark>"
        "<Placemark><Point><coordinates>3</coordinates></Point></Placemark>";
    TEntries entries;
    EXPECT_EQ(ErrorOf<EUserError>([&] { ImportInto<TConvertFromKml>(entries, two); }),
        QString::fromStdString("Invalid kml: " + two.substr(0, 100)
            + "... (unexpected end of text, <kml> not closed at line 1, column 140)"));
    EXPECT_EQ(entries.Count(), 0);
    EXPECT_EQ(ErrorOf<EUserError>([&] { ImportInto<TConvertFromKml>(entries, two + "</kml>"); }),
        "Invalid value found in coordinates node");
    EXPECT_EQ(entries.Count(), 1);
}

// Points of several geometries, of tracks and of prefixed placemarks are not read; a file
// holding nothing else says so.
TEST(TConvertFromKml, NamesThePointsItDoesNotReadWhenItReadsNone)
{
    const std::string point = "<Point><coordinates>1,2</coordinates></Point>";
    const std::string multi =
        "<Placemark><name>M</name><MultiGeometry>" + point + point + "</MultiGeometry></Placemark>";
    const std::string track = "<Placemark><gx:Track><when>2020-01-01</when><gx:coord>1 2 3"
                              "</gx:coord><gx:coord>4 5 6</gx:coord></gx:Track></Placemark>";
    const std::string line =
        "<Placemark><LineString><coordinates>1,2 3,4</coordinates></LineString></Placemark>";
    const std::string head = "<kml xmlns:gx='http://www.google.com/kml/ext/2.2'><Document>";
    const std::string tail = "</Document></kml>";
    TEntries entries;
    EXPECT_EQ(ImportWarnings<TConvertFromKml>(entries, head + multi + line + tail),
        QStringList("no placemarks with a point; the file holds 2 points in MultiGeometry, which "
                    "KML import does not read"));
    EXPECT_EQ(ImportWarnings<TConvertFromKml>(entries, head + track + tail),
        QStringList("no placemarks with a point; the file holds 2 gx:Track points, which KML "
                    "import does not read"));
    EXPECT_EQ(ImportWarnings<TConvertFromKml>(entries,
                  "<kml:kml xmlns:kml='http://www.opengis.net/kml/2.2'><kml:Document>"
                  "<kml:Placemark><kml:Point><kml:coordinates>1,2</kml:coordinates></kml:Point>"
                  "</kml:Placemark></kml:Document></kml:kml>"),
        QStringList("no placemarks with a point; the file holds 1 kml:Placemark element, which "
                    "KML import does not read"));
    EXPECT_EQ(entries.Count(), 0);

    EXPECT_EQ(ImportWarnings<TConvertFromKml>(
                  entries, head + multi + "<Placemark>" + point + "</Placemark>" + track + tail),
        QStringList());
    EXPECT_EQ(entries.Count(), 1) << "a file with a point placemark reads as before";
    EXPECT_EQ(ImportWarnings<TConvertFromKml>(entries, head + line + tail), QStringList())
        << "lines and polygons are no points";
}

TEST(TConvertFromKml, MalformedTextIsQuotedWithWhatIsWrong)
{
    TEntries entries;
    EXPECT_EQ(ErrorOf<EUserError>(
                  [&] { ImportInto<TConvertFromKml>(entries, "<kml>\n<Placemark>\x01</kml>"); }),
        "Invalid kml: <kml>\\x0a<Placemark>\\x01</kml>... "
        "(end tag </kml> does not match <Placemark> at line 2, column 13)");
}

TEST(TConvertFromKml, NestingBeyondTheLimitFailsAndAddsNothing)
{
    TEntries entries;
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        ImportInto<TConvertFromKml>(entries,
            "<kml><Document><Placemark><Point><coordinates>1,2</coordinates></Point></Placemark>"
                + Nested(200000, "", "Folder") + "</Document></kml>");
    }),
        "Invalid xml: nesting deeper than 10000 levels");
    EXPECT_EQ(entries.Count(), 0);
}
