#include "convert/uConvertKmz.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "convert/uConvertKml.h"
#include "testing.h"

namespace {

constexpr char Placemark[] = "<kml><Placemark><name>%1</name><Point><coordinates>1,2</"
                             "coordinates></Point></Placemark></kml>";

std::string KmlNamed(const char* name) { return QString(Placemark).arg(name).toStdString(); }

// Runs a program in `folder`; its standard output, or "<failed>".
std::string RunIn(const QString& folder, const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitCode() != 0)
        return "<failed>";
    return process.readAllStandardOutput().toStdString();
}

// The archive the zip program makes of `files` (paths and contents) in the order given.
std::string Zipped(const std::vector<std::pair<QString, std::string>>& files)
{
    QTemporaryDir folder;
    QStringList names;
    for (const auto& [name, bytes] : files) {
        QDir(folder.path()).mkpath(QFileInfo(name).path());
        WriteFileBytes(folder.filePath(name), bytes);
        names << name;
    }
    RunIn(folder.path(), "zip", QStringList { "-q", "archive.kmz" } + names);
    return FileBytes(folder.filePath("archive.kmz"));
}

// Archives made and unpacked by the zip programs, as other tools make them.
class KmzTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("zip").isEmpty()
            || QStandardPaths::findExecutable("unzip").isEmpty())
            GTEST_SKIP() << "zip and unzip are not installed";
    }
};

} // namespace

// An export large enough to be deflated in several pieces unpacks as the KML export. Small ones
// are kept by the output digests; reading in pieces, by the scanner's tests and the fault past
// the first piece below.
TEST_F(KmzTest, PacksALargeKmlExportAsDocKml)
{
    TEntries entries;
    for (int i = 0; i < 25000; ++i)
        entries.AddValues(
            std::to_string(i) + (i % 3 == 0 ? " Москва & <x>" : ""), "", i / 1000.0, 55.755814);
    QTemporaryDir folder;
    WriteFileBytes(folder.filePath("out.kmz"), Exported<TConvertToKmz>(entries));
    EXPECT_EQ(RunIn(folder.path(), "unzip", { "-p", "out.kmz", "doc.kml" }),
        Exported<TConvertToKml>(entries));
}

TEST_F(KmzTest, ReadsTheMainKmlOfArchivesOtherToolsMake)
{
    const struct {
        const char* Name;
        std::vector<std::pair<QString, std::string>> Files;
        std::string Expected;
    } cases[] = {
        { "a KML in a folder, beside a picture",
            { { "images/icon.png", "\x89PNG\r\n" }, { "places/Points.KML", KmlNamed("inner") } },
            "inner " },
        { "doc.kml before any other KML",
            { { "a.kml", KmlNamed("first") }, { "doc.kml", KmlNamed("main") } }, "main " },
        { "the first KML when there is no doc.kml",
            { { "b.kml", KmlNamed("b") }, { "a.kml", KmlNamed("a") } }, "b " },
        { "UTF-16", { { "doc.kml", Utf16Bytes(KmlNamed("wide"), true) } }, "wide " },
    };
    for (const auto& c : cases) {
        TEntries entries;
        ImportInto<TConvertFromKmz>(entries, Zipped(c.Files));
        EXPECT_EQ(Descriptions(entries), c.Expected) << c.Name;
    }
}

TEST_F(KmzTest, RefusesWhatIsNoKmzAndZipBombs)
{
    TEntries points;
    points.AddValues("a", "", 1, 2);
    const std::string kmz = Exported<TConvertToKmz>(points);
    // Packs far better than 100:1, and is large enough for the ratio to count.
    const std::string bomb = "<kml>" + std::string(2 << 20, ' ') + "</kml>";
    std::string lines = "<kml>";
    for (int i = 0; i < 100000; ++i)
        lines += "<name>" + std::to_string(i) + "</name>\n";
    const struct {
        const char* Name;
        std::string Bytes;
        QString Message;
    } cases[] = {
        { "text", KmlNamed("plain"), Tr(Msg::KmzNotZip).arg("Not a zip archive") },
        { "cut short", kmz.substr(0, kmz.size() / 2), Tr(Msg::KmzNotZip).arg("Not a zip archive") },
        { "no KML", Zipped({ { "icon.png", "\x89PNG" } }), Tr(Msg::KmzWithoutKml) },
        { "a bomb", Zipped({ { "doc.kml", bomb } }), Tr(Msg::KmzTooLarge).arg("doc.kml") },
        { "KML that is not well-formed", Zipped({ { "doc.kml", "<kml><Placemark>" } }),
            Tr(Msg::InvalidKml).arg("<kml><Placemark>")
                + " (unexpected end of text, <Placemark> not closed at line 1, column 17)" },
        { "a fault past the first piece", Zipped({ { "doc.kml", lines + "<a></b>" } }),
            Tr(Msg::InvalidKml)
                    .arg(QString::fromStdString(lines.substr(0, 100)).replace("\n", "\\x0a"))
                + " (end tag </b> does not match <a> at line 100001, column 4)" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadOutcome<TConvertFromKmz>(c.Bytes), c.Message + " | kept ") << c.Name;
}
