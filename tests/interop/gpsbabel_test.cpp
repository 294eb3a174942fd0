// Files this program writes must read correctly in GPSBabel, a converter many users also run.

#include <QFile>
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

} // namespace

TEST(GpsBabel, ReadsTheFilesWeWrite)
{
    if (QStandardPaths::findExecutable("gpsbabel").isEmpty())
        GTEST_SKIP() << "gpsbabel is not installed";
    TBuiltInFormats formats;
    TEntries entries;
    entries.AddValues("Dam Square", "", 4.88969, 52.37403);
    entries.AddValues("Opera", "", 151.2153, -33.85678);
    QTemporaryDir dir;
    const QString expected = "52.37403, 04.88969, DamSquare\n-33.85678, 151.21530, Opera\n";
    const std::pair<const char*, const char*> formatsBoth[] = { { "ov2", "tomtom" },
        { "dat", "destinator_poi" }, { "csv:garmincsv", "garmin_poi" }, { "itn", "tomtom_itn" },
        { "gpx", "gpx" }, { "kml", "kml" }, { "geojson", "geojson" } };
    for (auto [ours, theirs] : formatsBoth) {
        const QString ext = QString(ours).section(':', 0, 0), id = QString(ours).section(':', 1);
        const QString file = dir.filePath("points." + ext);
        {
            TSafeFileStream out(file);
            entries.SaveToStream(out, ext, id);
            out.Commit();
        }
        // GPSBabel keeps the quotes of Garmin descriptions as part of the name.
        EXPECT_EQ(ReadWithGpsBabel(theirs, file).remove('"'), expected) << ours;
    }
}

TEST(GpsBabel, WeReadItsXmlAndJsonFiles)
{
    if (QStandardPaths::findExecutable("gpsbabel").isEmpty())
        GTEST_SKIP() << "gpsbabel is not installed";
    TBuiltInFormats formats;
    QTemporaryDir dir;
    const QString source = dir.filePath("points.csv");
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("52.37403,4.88969,Caf\xc3\xa9 Dam\n-33.85678,151.2153,Opera\n"
               "55.75,37.62,\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0\n");
    file.close();
    // GPX 1.0 and 1.1 with namespaces and indentation, KML with documents and folders,
    // GeoJSON indented.
    const std::pair<const char*, const char*> outputs[] = { { "gpx", "gpx" },
        { "gpx11.gpx", "gpx,gpxver=1.1" }, { "kml", "kml" }, { "geojson", "geojson" } };
    const auto read = [&](const QString& path) {
        TEntries entries;
        TMappedFile in(path);
        entries.LoadFromStream(in.Stream(), QFileInfo(path).suffix(), QString(), false);
        return entries.Count() == 3 ? std::string(entries.Items(0).Description()) + '|'
                + std::string(entries.Items(1).Description()) + '|'
                + std::string(entries.Items(2).Description())
                                    : std::string("wrong count");
    };
    for (auto [name, format] : outputs) {
        const QString path = dir.filePath(QStringLiteral("out.") + name);
        RunGpsBabel({ "-i", "csv", "-f", source, "-o", format, "-F", path });
        TEntries entries;
        TMappedFile in(path);
        entries.LoadFromStream(in.Stream(), QFileInfo(path).suffix(), QString(), false);
        ASSERT_EQ(entries.Count(), 3) << name;
        EXPECT_EQ(entries.Items(0).Latitude(), 52.37403) << name;
        EXPECT_EQ(entries.Items(1).Longitude(), 151.2153) << name;
        // Every script is read, whatever the code page of 8-bit files.
        EXPECT_EQ(read(path), "Café Dam|Opera|Москва") << name;
    }
}

TEST(GpsBabel, ReadsEveryNameAndPositionOfOurGeoJson)
{
    if (QStandardPaths::findExecutable("gpsbabel").isEmpty())
        GTEST_SKIP() << "gpsbabel is not installed";
    TBuiltInFormats formats;
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
    QTemporaryDir dir;
    const QString ours = dir.filePath("ours.geojson"), theirs = dir.filePath("theirs.gpx");
    {
        TSafeFileStream out(ours);
        entries.SaveToStream(out, "geojson", QString());
        out.Commit();
    }
    RunGpsBabel({ "-i", "geojson", "-f", ours, "-o", "gpx", "-F", theirs });
    TEntries read;
    TMappedFile in(theirs);
    read.LoadFromStream(in.Stream(), "gpx", QString(), false);
    ASSERT_EQ(read.Count(), entries.Count());
    for (int i = 0; i < entries.Count(); ++i) {
        EXPECT_EQ(read.Items(i).Description(), entries.Items(i).Description()) << i;
        EXPECT_NEAR(read.Items(i).Longitude(), entries.Items(i).Longitude(), 2e-5) << i;
        EXPECT_NEAR(read.Items(i).Latitude(), entries.Items(i).Latitude(), 2e-5) << i;
    }
}
