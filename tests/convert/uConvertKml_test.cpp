#include "convert/uConvertKml.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "testing.h"

namespace {

std::vector<TReadPoint> Imported(const std::string& bytes)
{
    TEntries entries;
    ImportInto<TConvertFromKml>(entries, bytes);
    return ReadPoints(entries);
}

} // namespace

TEST(TConvertFromKml, FindsPlacemarksAtAnyDepthWithAPoint)
{
    const std::string kml = TestData("convert/nested.kml");
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

TEST(TConvertFromKml, FaultsKeepWhatWasRead)
{
    const std::string two =
        "<kml><Placemark><Point><coordinates>1,2</coordinates></Point></Placemark>"
        "<Placemark><Point><coordinates>3</coordinates></Point></Placemark>";
    EXPECT_EQ(ReadOutcome<TConvertFromKml>(two),
        QString::fromStdString("Invalid kml: " + two.substr(0, 100)
            + "... (unexpected end of text, <kml> not closed at line 1, column 140) | kept "));
    EXPECT_EQ(ReadOutcome<TConvertFromKml>(two + "</kml>"),
        "Invalid value found in coordinates node | kept  ");
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
