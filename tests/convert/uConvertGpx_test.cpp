#include "convert/uConvertGpx.h"

#include <functional>

#include <gtest/gtest.h>

#include "convert/uConvertKml.h"
#include "testing.h"

namespace {

struct TRead {
    std::string Description;
    std::string Extra;
    double Longitude;
    double Latitude;
    bool operator==(const TRead&) const = default;
};

void PrintTo(const TRead& read, std::ostream* os)
{
    *os << '{' << read.Description << " | " << read.Extra << " | " << read.Longitude << ", "
        << read.Latitude << '}';
}

std::vector<TRead> Imported(const std::string& bytes, bool useDesc, bool retainExtra)
{
    TConvertFromGpx importer;
    importer.SetOption(0, useDesc);
    importer.SetOption(1, retainExtra);
    TEntries entries;
    ImportInto(entries, bytes, importer);
    std::vector<TRead> read;
    for (int i = 0; i < entries.Count(); ++i) {
        const TEntry& entry = entries.Items(i);
        read.push_back({ std::string(entry.Description()), std::string(entry.Extra()),
            entry.Longitude(), entry.Latitude() });
    }
    return read;
}

// The points a file of tests/data lists, a line each: description, extra XML, longitude and
// latitude, tab-separated.
std::vector<TRead> Points(const char* file)
{
    std::vector<TRead> points;
    for (const QString& line : TestDataLines(file)) {
        const QStringList fields = line.split('\t');
        points.push_back({ fields[0].toStdString(), fields[1].toStdString(), fields[2].toDouble(),
            fields[3].toDouble() });
    }
    return points;
}

// Track points, then waypoints with a name, a description, both or neither, two of each, and a
// name deeper down before their own.
const std::string Mixed = TestData("convert/mixed.gpx");

} // namespace

// The point's own first name, else its first description, unless the description is chosen.
TEST(TConvertFromGpx, RetainsTheRestOfEachPointAsAWaypoint)
{
    const std::vector<TRead> read = Imported(Mixed, false, true);
    EXPECT_EQ(read, Points("convert/mixed-read.txt"));
    EXPECT_EQ(Imported(Mixed, true, true), Points("convert/mixed-read-by-desc.txt"));

    // Exported again: the track point as a waypoint, the description written into name; a
    // point's own position and name give way to the entry's, a name deeper down does not.
    TEntries entries;
    ImportInto<TConvertFromGpx>(entries, Mixed);
    entries.Items(6).SetDescription("renamed");
    entries.Items(0).SetExtra(R"(<wpt lat="0" lon="0"><name>old</name><extensions>)"
                              R"(<x:name>n</x:name></extensions><!-- kept --></wpt>)");
    const std::string written = Exported<TConvertToGpx>(entries);
    for (const char* point :
        { R"(<wpt lat="5.5" lon="6.5"><ele>7</ele><time>2026-01-01T00:00:00Z</time><name>renamed</name></wpt>)",
            R"(<wpt lat="1" lon="2"><extensions><x:name>n</x:name></extensions><!-- kept --><name>A</name></wpt>)" })
        EXPECT_NE(written.find(point), std::string::npos) << written;
    EXPECT_EQ(Imported(written, false, true)[6].Extra, read[6].Extra);
}

// Each point declares the prefixes it uses, once, with the namespace they had in the file; an inner
// redeclaration stays.
TEST(TConvertGpx, RetainedExtensionsKeepTheirNamespaceDeclarations)
{
    TEntries entries;
    TConvertFromGpx importer;
    importer.SetOption(1, true);
    ImportInto(entries, TestData("convert/extended.gpx"), importer);
    const std::string written = Exported<TConvertToGpx>(entries);
    EXPECT_EQ(written.substr(written.find("<wpt")), TestData("convert/extended-written.gpx"));

    TEntries again;
    ImportInto(again, written, importer);
    EXPECT_EQ(Exported<TConvertToGpx>(again), written) << "read again, written the same";
}

TEST(TConvertFromGpx, DecodesTextAsItsDeclarationSays)
{
    const auto name = [](const std::string& encoding, const std::string& text) {
        const std::string declaration =
            encoding.empty() ? "" : R"(<?xml version="1.0" encoding=")" + encoding + "\"?>";
        return Imported(
            declaration + "<gpx><wpt lat='1' lon='2'><name>" + text + "</name></wpt></gpx>", false,
            false)[0]
            .Description;
    };
    struct TCase {
        const char* Encoding;
        std::string Bytes;
        const char* Name;
    };
    const TCase cases[] = {
        { "", "Z\xc3\xbcrich &#8364; \xe2\x98\xba", "Zürich € ☺" },
        { "UTF-8", "\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0", "Москва" },
        { "ISO-8859-1", "Z\xfcrich \x80 \xc3\xbc", "Zürich € Ã¼" },
        { "windows-1251", "\xcc\xee\xf1\xea\xe2\xe0 \x80", "Москва Ђ" },
        { "ISO-8859-7", "\xc1\xe8\xde\xed\xe1", "Αθήνα" },
        { "", "caf\xe9 ok", "caf\uFFFD ok" },
    };
    for (const TCase& c : cases) {
        const TCodePageScope page(c.Encoding[0] ? "windows-1252" : "utf-8"); // changes nothing
        EXPECT_EQ(name(c.Encoding, c.Bytes), c.Name) << c.Encoding;
    }
    EXPECT_EQ(ErrorOf<EUserError>([&] { name("klingon-8", "x"); }),
        "The XML text declares the encoding \"klingon-8\", which Marivel cannot read");
}

// Retained XML stays well-formed: a prefix that nothing declares is left out, with one
// warning.
TEST(TConvertFromGpx, LeavesOutUndeclaredPrefixes)
{
    const std::string gpx = "<gpx xmlns:k='urn:kept'><wpt lat='1' lon='2'><name>n</name>"
                            "<cmt>\xce\xb1\xce\xb2</cmt><k:x/><gpxpx:speed>3</gpxpx:speed>"
                            "<extensions><gpxpx:a gpxpx:b='1'/><c/></extensions></wpt></gpx>";
    TConvertFromGpx().SetOption(1, true);
    TEntries read;
    EXPECT_EQ(ImportWarnings<TConvertFromGpx>(read, gpx),
        QStringList { "Extra information with the namespace prefix \"gpxpx:\", "
                      "which the file never declares, was left out, as other "
                      "programs refuse such XML" });
    ASSERT_EQ(read.Count(), 1);
    EXPECT_EQ(read.Items(0).Extra(),
        "<wpt lat=\"1\" lon=\"2\" xmlns:k=\"urn:kept\"><cmt>αβ</cmt>"
        "<k:x/><extensions><c/></extensions></wpt>");
}

// UTF-16 in either byte order, with a mark or without, and UTF-8 with a mark; the rest of the
// point is kept in UTF-8. KML text is decoded by the same code.
TEST(TConvertFromGpx, ReadsUtf16InEitherByteOrderAndUtf8WithAMark)
{
    const std::string gpx = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<gpx>"
                            "<wpt lat=\"47.25\" lon=\"8.5\"><name>Z\xc3\xbcrich \xe2\x82\xac</name>"
                            "<cmt>\xc3\xa9</cmt></wpt></gpx>\r\n";
    for (const std::string& bytes : { Utf16Bytes(gpx, false), Utf16Bytes(gpx, true),
             Utf16Bytes(gpx, false, false), Utf16Bytes(gpx, true, false), "\xEF\xBB\xBF" + gpx }) {
        SCOPED_TRACE(bytes.substr(0, 4));
        EXPECT_EQ(Imported(bytes, false, true),
            std::vector<TRead>({ { "Zürich €", "<wpt lat=\"47.25\" lon=\"8.5\"><cmt>é</cmt></wpt>",
                8.5, 47.25 } }));
    }
}

// A fault ends the reading. Malformed text adds nothing and is quoted, as text, with what is
// wrong and where; a faulty point keeps the points read before it, waypoints first.
TEST(TConvertFromGpx, FaultsAreQuotedAndKeepWhatWasRead)
{
    const std::string longText = "<gpx>" + std::string(200, 'x');
    std::string accents;
    for (int i = 0; i < 100; ++i)
        accents += "\xc3\xa9";
    const struct {
        const char* Name;
        std::string Bytes;
        QString Message;
        std::vector<double> Latitudes; // of the points read, after the one there before
    } cases[] = {
        { "cut short", "<gpx><wpt lat='1' lon='2'/><wpt lat='3'/>",
            "Invalid xml: <gpx><wpt lat='1' lon='2'/><wpt lat='3'/>... "
            "(unexpected end of text, <gpx> not closed at line 1, column 42)",
            {} },
        { "100 characters quoted", longText,
            QString::fromStdString("Invalid xml: " + longText.substr(0, 100)
                + "... (unexpected end of text, <gpx> not closed at line 1, column 206)"),
            {} },
        { "none cut in two", "<gpx><name>" + accents,
            QString::fromStdString("Invalid xml: <gpx><name>" + accents.substr(0, 2 * 89)
                + "... (unexpected end of text, <name> not closed at line 1, column 112)"),
            {} },
        { "a zero byte does not end the quote",
            std::string("<gpx>\0<wpt lat='1' lon='2'></wx></gpx>", 38),
            "Invalid xml: <gpx>\\x00<wpt lat='1' lon='2'></wx></gpx>... "
            "(end tag </wx> does not match <wpt> at line 1, column 28)",
            {} },
        { "UTF-16 quoted as its characters",
            Utf16Bytes("<gpx>\r\n <wpt lat='1' lon='2'>\r\n</gpx>", true),
            "Invalid xml: <gpx>\\x0d\\x0a <wpt lat='1' lon='2'>\\x0d\\x0a</gpx>... "
            "(end tag </gpx> does not match <wpt> at line 3, column 1)",
            {} },
        { "a malformed attribute", "<gpx><wpt lat='1' lon=2/></gpx>",
            "Invalid xml: <gpx><wpt lat='1' lon=2/></gpx>... "
            "(malformed attribute at line 1, column 23)",
            {} },
        { "no element", "  ", "Invalid xml:   ... (no element at line 1, column 3)", {} },
        { "malformed text wins over a faulty point", "<gpx><wpt lat='5' lon='5'/><wpt/><wpt></gpx>",
            "Invalid xml: <gpx><wpt lat='5' lon='5'/><wpt/><wpt></gpx>... "
            "(end tag </gpx> does not match <wpt> at line 1, column 39)",
            {} },
        { "a point without longitude", "<gpx><wpt lat='1' lon='2'/><wpt lat='3'/></gpx>",
            "Invalid entry found in GPX format", { 1 } },
        { "waypoints first, even after a faulty track point",
            "<gpx><trk><trkseg><trkpt lat='1' lon='1'/><trkpt lon='2'/><trkpt lat='3' lon='3'/>"
            "</trkseg></trk><wpt lat='4' lon='4'/></gpx>",
            "Invalid entry found in GPX format", { 4, 1 } },
        { "a comma", "<gpx><wpt lat='1,5' lon='2'/></gpx>",
            "'1,5' is not a valid floating point value", {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TEntries entries;
        entries.AddValues("before", "", 0, 0);
        EXPECT_EQ(
            ErrorOf<EUserError>([&] { ImportInto<TConvertFromGpx>(entries, c.Bytes); }), c.Message);
        std::vector<double> latitudes;
        for (int i = 1; i < entries.Count(); ++i)
            latitudes.push_back(entries.Items(i).Latitude());
        EXPECT_EQ(latitudes, c.Latitudes);
    }
}

// Both XML formats, whose nesting limit spares the stack, take back what they read.
TEST(XmlFormats, NestingBeyondTheLimitFailsAndAddsNothing)
{
    const std::string deep = Nested(200000, "x", "extensions");
    const std::string gpx = "<gpx><wpt lat='1' lon='2'><name>a</name></wpt><wpt lat='3' lon='4'>"
        + deep + "</wpt></gpx>";
    const std::string kml = "<kml><Document><Placemark><Point><coordinates>1,2</coordinates>"
                            "</Point></Placemark>"
        + deep + "</Document></kml>";
    TEntries entries;
    for (const auto& read : { std::function([&] { ImportInto<TConvertFromGpx>(entries, gpx); }),
             std::function([&] { ImportInto<TConvertFromKml>(entries, kml); }) }) {
        EXPECT_EQ(ErrorOf<EUserError>(read), "Invalid xml: nesting deeper than 10000 levels");
        EXPECT_EQ(entries.Count(), 0);
    }
}

// Route points and prefixed points, points of several geometries and of tracks are not read; a
// file of tests/data/convert/unread holding nothing else says so, also when it is appended.
TEST(XmlFormats, NameThePointsTheyDoNotReadWhenTheyReadNone)
{
    const struct {
        const char* File;
        QString Unread; // as the warning names them
        int Read;
    } cases[] = {
        { "route.gpx", "2 route points", 0 },
        { "prefixed.gpx", "2 g:wpt elements, 1 route point, 1 g:trkpt element", 0 },
        { "route-and-waypoint.gpx", "", 1 }, { "route-and-track.gpx", "", 1 },
        { "metadata.gpx", "", 0 }, // a file without points has nothing to tell
        { "multi-and-line.kml", "2 points in MultiGeometry", 0 },
        { "track.kml", "2 gx:Track points", 0 }, { "prefixed.kml", "1 kml:Placemark element", 0 },
        { "point-among-others.kml", "", 1 },
        { "line.kml", "", 0 }, // lines and polygons are no points
    };
    for (const auto& c : cases)
        for (const int before : { 0, 1 }) {
            SCOPED_TRACE(std::string(c.File) + (before ? " appended" : ""));
            TEntries entries;
            if (before)
                entries.AddValues("kept", "", 1, 2);
            const std::string bytes = TestData((std::string("convert/unread/") + c.File).c_str());
            const bool gpx = QString(c.File).endsWith(".gpx");
            const QString warning = gpx
                ? "no waypoints; the file holds " + c.Unread + ", which GPX import does not read"
                : "no placemarks with a point; the file holds " + c.Unread
                    + ", which KML import does not read";
            EXPECT_EQ(gpx ? ImportWarnings<TConvertFromGpx>(entries, bytes)
                          : ImportWarnings<TConvertFromKml>(entries, bytes),
                c.Unread.isEmpty() ? QStringList() : QStringList(warning));
            EXPECT_EQ(entries.Count(), before + c.Read);
        }
}
