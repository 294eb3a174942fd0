// Files this program writes must read correctly in GPSBabel, a converter many users also run.

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "core/uModel.h"
#include "platform/uStreams.h"
#include "testing.h"

namespace {

void RunGpsBabel(const QStringList& arguments)
{
    QProcess gpsbabel;
    gpsbabel.start(QStringLiteral("gpsbabel"), arguments);
    gpsbabel.waitForFinished();
}

// What GPSBabel reads from `file` in its format `format`, as "lat, lon, name" lines (its
// simple CSV leaves the blanks out of names). Itineraries are routes; they become waypoints.
QString ReadWithGpsBabel(const QString& format, const QString& file)
{
    QProcess gpsbabel;
    gpsbabel.start(QStringLiteral("gpsbabel"),
        { "-i", format, "-f", file, "-x", "transform,wpt=rte,del", "-o", "csv", "-F", "-" });
    gpsbabel.waitForFinished();
    return QString::fromUtf8(gpsbabel.readAllStandardOutput()).remove('\r');
}

void ReadFile(const QString& path, TEntries& entries)
{
    TMappedFile in(path);
    entries.LoadFromStream(in.Stream(), QFileInfo(path).suffix(), QString(), false);
}

void WriteFile(TEntries& entries, const QString& path, const QString& formatId = {})
{
    TSafeFileStream out(path);
    entries.SaveToStream(out, QFileInfo(path).suffix(), formatId, path);
    out.Commit();
}

// Both lists hold the same names at the same places, in the same order.
void ExpectSameEntries(const TEntries& actual, const TEntries& expected, const char* what)
{
    ASSERT_EQ(actual.Count(), expected.Count()) << what;
    for (int i = 0; i < expected.Count(); ++i) {
        EXPECT_EQ(actual.Items(i).Description(), expected.Items(i).Description()) << what;
        EXPECT_NEAR(actual.Items(i).Latitude(), expected.Items(i).Latitude(), 2e-5) << what;
        EXPECT_NEAR(actual.Items(i).Longitude(), expected.Items(i).Longitude(), 2e-5) << what;
    }
}

// Runs only where GPSBabel is installed.
class GpsBabel : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("gpsbabel").isEmpty())
            GTEST_SKIP() << "gpsbabel is not installed";
    }

    TBuiltInFormats Formats;
    QTemporaryDir Dir;
};

} // namespace

TEST_F(GpsBabel, ReadsTheFilesWeWrite)
{
    TEntries entries;
    entries.AddValues("Dam Square", "", 4.88969, 52.37403);
    entries.AddValues("Opera", "", 151.2153, -33.85678);
    const QString expected = "52.37403, 04.88969, DamSquare\n-33.85678, 151.21530, Opera\n";
    const std::pair<const char*, const char*> formatsBoth[] = { { "ov2", "tomtom" },
        { "dat", "destinator_poi" }, { "csv:garmincsv", "garmin_poi" }, { "itn", "tomtom_itn" },
        { "gpx", "gpx" }, { "kml", "kml" }, { "geojson", "geojson" } };
    for (auto [ours, theirs] : formatsBoth) {
        const QString ext = QString(ours).section(':', 0, 0), id = QString(ours).section(':', 1);
        const QString file = Dir.filePath("points." + ext);
        WriteFile(entries, file, id);
        // GPSBabel keeps the quotes of Garmin descriptions as part of the name.
        EXPECT_EQ(ReadWithGpsBabel(theirs, file).remove('"'), expected) << ours;
    }
}

TEST_F(GpsBabel, WeReadItsXmlAndJsonFiles)
{
    const QString source = Dir.filePath("points.csv");
    WriteFileBytes(source,
        "52.37403,4.88969,Caf\xc3\xa9 Dam\n-33.85678,151.2153,Opera\n"
        "55.75,37.62,\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0\n");
    // GPX 1.0 and 1.1 with namespaces and indentation, KML with documents and folders,
    // GeoJSON indented.
    const std::pair<const char*, const char*> outputs[] = { { "gpx", "gpx" },
        { "gpx11.gpx", "gpx,gpxver=1.1" }, { "kml", "kml" }, { "geojson", "geojson" } };
    for (auto [name, format] : outputs) {
        const QString path = Dir.filePath(QStringLiteral("out.") + name);
        RunGpsBabel({ "-i", "csv", "-f", source, "-o", format, "-F", path });
        TEntries entries;
        ReadFile(path, entries);
        ASSERT_EQ(entries.Count(), 3) << name;
        EXPECT_EQ(entries.Items(0).Latitude(), 52.37403) << name;
        EXPECT_EQ(entries.Items(1).Longitude(), 151.2153) << name;
        // Every script is read, whatever the code page of 8-bit files.
        EXPECT_EQ(Descriptions(entries), "Café Dam Opera Москва ") << name;
    }
}

TEST_F(GpsBabel, ReadsEveryNameAndPositionOfOurGeoJson)
{
    TPrecision precision(6);
    // 500 names in Latin, Greek, Cyrillic, Arabic, Hebrew, Devanagari, Chinese and Japanese, with
    // the characters JSON escapes.
    const char* const words[] = { "Caf\xc3\xa9 \"Dam\"", "\xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1",
        "\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0",
        "\xd8\xa7\xd9\x84\xd9\x82\xd8\xa7\xd9\x87\xd8\xb1\xd8\xa9",
        "\xd7\x99\xd7\xa8\xd7\x95\xd7\xa9\xd7\x9c\xd7\x99\xd7\x9d",
        "\xe0\xa4\xa6\xe0\xa4\xbf\xe0\xa4\xb2\xe0\xa5\x8d\xe0\xa4\xb2\xe0\xa5\x80",
        "\xe5\x8c\x97\xe4\xba\xac \\ \xe7\xab\x99",
        "\xe6\x9d\xb1\xe4\xba\xac\xe3\x82\xbf\xe3\x83\xaf\xe3\x83\xbc" };
    TEntries entries;
    for (int i = 0; i < 500; ++i)
        entries.AddValues(std::string(words[i % 8]) + ' ' + std::to_string(i), "",
            -179.5 + i * 0.71234, -89.5 + i * 0.35791);
    WriteFile(entries, Dir.filePath("ours.geojson"));
    RunGpsBabel({ "-i", "geojson", "-f", Dir.filePath("ours.geojson"), "-o", "gpx", "-F",
        Dir.filePath("theirs.gpx") });
    TEntries read;
    ReadFile(Dir.filePath("theirs.gpx"), read);
    ExpectSameEntries(read, entries, "our GeoJSON read by gpsbabel");
}

TEST_F(GpsBabel, GarminPoiFilesGoBothWays)
{
    const auto path = [&](const char* name) { return Dir.filePath(name); };
    const char* scripts[] = { "Café Dam", "Москва", "東京駅", "القاهرة", "Ελλάδα", "עברית", "हिन्दी",
        "Łódź ŻÓŁW", "Flitser A2@100" };
    TEntries names;
    for (int i = 0; i < 500; ++i)
        names.AddValues(std::string(scripts[i % std::size(scripts)]) + ' ' + std::to_string(i), "",
            -179.5 + i * 0.71234, -89.5 + i * 0.35791);
    WriteFile(names, path("ours.gpi"));
    RunGpsBabel(
        { "-i", "garmin_gpi", "-f", path("ours.gpi"), "-o", "gpx", "-F", path("ours.gpx") });
    TEntries read;
    ReadFile(path("ours.gpx"), read);
    ExpectSameEntries(read, names, "ours read by gpsbabel");

    // Speed-camera names in Windows-1252, with alerts, and names in every script in UTF-8.
    TEntries cameras;
    for (int i = 0; i < 20; ++i)
        cameras.AddValues("Flitser Zürich " + std::to_string(i)
                + (i % 2 ? "@" + std::to_string(i * 10 + 30) : ""),
            "", 8.5 + i * 0.01, 47.3 + i * 0.01);
    WriteFile(cameras, path("cameras.gpx"));
    const std::pair<QStringList, const char*> theirs[] = {
        { { "-i", "gpx", "-f", path("ours.gpx"), "-o", "garmin_gpi,writecodec=utf8" }, "utf-8" },
        { { "-i", "gpx", "-f", path("cameras.gpx"), "-o",
              "garmin_gpi,writecodec=windows-1252,alerts=1,speed=50" },
            "windows-1252 with alerts" },
    };
    for (const auto& [arguments, what] : theirs) {
        RunGpsBabel(arguments + QStringList { "-F", path("theirs.gpi") });
        RunGpsBabel({ "-i", "garmin_gpi", "-f", path("theirs.gpi"), "-o", "gpx", "-F",
            path("theirs.gpx") });
        TEntries ours, theirsRead;
        ReadFile(path("theirs.gpi"), ours);
        ReadFile(path("theirs.gpx"), theirsRead);
        ExpectSameEntries(ours, theirsRead, what);
    }
}
