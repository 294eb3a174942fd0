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

// GPSBabel's standard output.
QString RunGpsBabel(const QStringList& arguments)
{
    QProcess gpsbabel;
    gpsbabel.start(QStringLiteral("gpsbabel"), arguments);
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

// 500 numbered names in `scripts` in turn, spread over the globe.
void AddNames(TEntries& entries, std::initializer_list<const char*> scripts)
{
    for (int i = 0; i < 500; ++i)
        entries.AddValues(
            std::string(scripts.begin()[i % scripts.size()]) + ' ' + std::to_string(i), "",
            -179.5 + i * 0.71234, -89.5 + i * 0.35791);
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
    QString Path(const char* name) const { return Dir.filePath(name); }

    TBuiltInFormats Formats;
    QTemporaryDir Dir;
};

} // namespace

// Read as "lat, lon, name" lines of GPSBabel's simple CSV, which leaves the blanks out of names.
// Itineraries are routes; they become waypoints.
TEST_F(GpsBabel, ReadsTheFilesWeWrite)
{
    TEntries entries;
    entries.AddValues("Dam Square", "", 4.88969, 52.37403);
    entries.AddValues("Opera", "", 151.2153, -33.85678);
    const std::pair<const char*, const char*> formatsBoth[] = { { "ov2", "tomtom" },
        { "dat", "destinator_poi" }, { "csv:garmincsv", "garmin_poi" }, { "itn", "tomtom_itn" },
        { "gpx", "gpx" }, { "kml", "kml" }, { "geojson", "geojson" } };
    for (auto [ours, theirs] : formatsBoth) {
        const QString ext = QString(ours).section(':', 0, 0), id = QString(ours).section(':', 1);
        const QString file = Dir.filePath("points." + ext);
        WriteFile(entries, file, id);
        // GPSBabel keeps the quotes of Garmin descriptions as part of the name.
        EXPECT_EQ(RunGpsBabel({ "-i", theirs, "-f", file, "-x", "transform,wpt=rte,del", "-o",
                                  "csv", "-F", "-" })
                      .remove('"'),
            "52.37403, 04.88969, DamSquare\n-33.85678, 151.21530, Opera\n")
            << ours;
    }
}

// GPX 1.0 and 1.1 with namespaces and indentation, KML with documents and folders, GeoJSON
// indented; every script is read, whatever the code page of 8-bit files.
TEST_F(GpsBabel, WeReadItsXmlAndJsonFiles)
{
    WriteFileBytes(Path("points.csv"),
        "52.37403,4.88969,Café Dam\n-33.85678,151.2153,Opera\n55.75,37.62,Москва\n");
    const std::pair<const char*, const char*> outputs[] = { { "gpx", "gpx" },
        { "gpx11.gpx", "gpx,gpxver=1.1" }, { "kml", "kml" }, { "geojson", "geojson" } };
    for (auto [name, format] : outputs) {
        const QString path = Dir.filePath(QStringLiteral("out.") + name);
        RunGpsBabel({ "-i", "csv", "-f", Path("points.csv"), "-o", format, "-F", path });
        TEntries entries;
        ReadFile(path, entries);
        ASSERT_EQ(entries.Count(), 3) << name;
        EXPECT_EQ(entries.Items(0).Latitude(), 52.37403) << name;
        EXPECT_EQ(entries.Items(1).Longitude(), 151.2153) << name;
        EXPECT_EQ(Descriptions(entries), "Café Dam Opera Москва ") << name;
    }
}

// Names in many scripts, with the characters JSON escapes.
TEST_F(GpsBabel, ReadsEveryNameAndPositionOfOurGeoJson)
{
    TPrecision precision(6);
    TEntries entries;
    AddNames(entries,
        { "Café \"Dam\"", "Αθήνα", "Москва", "القاهرة", "ירושלים", "दिल्ली", "北京 \\ 站",
            "東京タワー" });
    WriteFile(entries, Path("ours.geojson"));
    RunGpsBabel(
        { "-i", "geojson", "-f", Path("ours.geojson"), "-o", "gpx", "-F", Path("theirs.gpx") });
    TEntries read;
    ReadFile(Path("theirs.gpx"), read);
    ExpectSameEntries(read, entries, "our GeoJSON read by gpsbabel");
}

TEST_F(GpsBabel, GarminPoiFilesGoBothWays)
{
    TEntries names;
    AddNames(names,
        { "Café Dam", "Москва", "東京駅", "القاهرة", "Ελλάδα", "עברית", "हिन्दी", "Łódź ŻÓŁW",
            "Flitser A2@100" });
    WriteFile(names, Path("ours.gpi"));
    RunGpsBabel(
        { "-i", "garmin_gpi", "-f", Path("ours.gpi"), "-o", "gpx", "-F", Path("ours.gpx") });
    TEntries read;
    ReadFile(Path("ours.gpx"), read);
    ExpectSameEntries(read, names, "ours read by gpsbabel");

    // Speed-camera names in Windows-1252, with alerts, and names in every script in UTF-8.
    TEntries cameras;
    for (int i = 0; i < 20; ++i)
        cameras.AddValues("Flitser Zürich " + std::to_string(i)
                + (i % 2 ? "@" + std::to_string(i * 10 + 30) : ""),
            "", 8.5 + i * 0.01, 47.3 + i * 0.01);
    WriteFile(cameras, Path("cameras.gpx"));
    const std::pair<QStringList, const char*> theirs[] = {
        { { "-i", "gpx", "-f", Path("ours.gpx"), "-o", "garmin_gpi,writecodec=utf8" }, "utf-8" },
        { { "-i", "gpx", "-f", Path("cameras.gpx"), "-o",
              "garmin_gpi,writecodec=windows-1252,alerts=1,speed=50" },
            "windows-1252 with alerts" },
    };
    for (const auto& [arguments, what] : theirs) {
        RunGpsBabel(arguments + QStringList { "-F", Path("theirs.gpi") });
        RunGpsBabel({ "-i", "garmin_gpi", "-f", Path("theirs.gpi"), "-o", "gpx", "-F",
            Path("theirs.gpx") });
        TEntries ours, theirsRead;
        ReadFile(Path("theirs.gpi"), ours);
        ReadFile(Path("theirs.gpx"), theirsRead);
        ExpectSameEntries(ours, theirsRead, what);
    }
}
