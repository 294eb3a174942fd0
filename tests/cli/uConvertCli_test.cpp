#include "cli/uConvertCli.h"

#include <functional>
#include <optional>
#include <utility>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "convert/uFormats.h"
#include "core/uSettings.h"
#include "httpserver.h"
#include "platform/uCodePage.h"
#include "testing.h"

namespace {

// Runs marivel-convert's command in a folder of its own, with the built-in formats.
class ConvertCommandTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return Dir.filePath(QLatin1String(name)); }

    void Write(const char* name, const std::string& bytes) const
    {
        WriteFileBytes(Path(name), bytes);
    }

    std::string Read(const char* name) const { return FileBytes(Path(name)); }

    // An OV2 file of `count` points.
    static std::string Points(int count)
    {
        std::string records;
        for (int i = 0; i < count; ++i)
            records += Ov2Record(2, i, i, { "point " + std::to_string(i) });
        return records;
    }

    int Run(QStringList arguments)
    {
        Out.clear();
        Err.clear();
        QTextStream out(&Out);
        QTextStream err(&Err);
        return RunConvertCommand(arguments, out, err);
    }

    TBuiltInFormats Formats;
    QTemporaryDir Dir;
    QString Out;
    QString Err;
};

} // namespace

// Plain appending, in order, is the duplicates test's; reading each format is the formats' tests.
TEST_F(ConvertCommandTest, AppendsSeveralInputsInOrderNamedIfAsked)
{
    Write("paris.ov2", Ov2Record(2, 1, 1, { "Eiffel" }));
    Write("rome.OV2", Ov2Record(2, 2, 2, { "Forum" }));
    EXPECT_EQ(Run({ "--add-names", Path("paris.ov2"), Path("rome.OV2"), Path("all.ov2") }), 0);
    EXPECT_EQ(Read("all.ov2"),
        Ov2Record(2, 1, 1, { "paris - Eiffel" }) + Ov2Record(2, 2, 2, { "rome - Forum" }));
}

// How near a duplicate lies is the search's own test; here, that the inputs are searched as one.
TEST_F(ConvertCommandTest, DropsDuplicatesOfAllInputsKeepingTheFirst)
{
    // 1/100000 degree is 0.7 m east-west here.
    Write("a.ov2", Ov2Record(2, 500000, 5000000, { "a" }));
    Write(
        "b.ov2", Ov2Record(2, 500003, 5000000, { "a2" }) + Ov2Record(2, 700000, 5000000, { "c" }));
    EXPECT_EQ(Run({ "--drop-duplicates", "4", Path("a.ov2"), Path("b.ov2"), Path("out.ov2") }), 0);
    EXPECT_EQ(Err, QString("Removed 1 duplicates\n"));
    EXPECT_EQ(Read("out.ov2"), Read("a.ov2") + Ov2Record(2, 700000, 5000000, { "c" }));
}

// Each failing run of tests/data/cli/convert-failures.txt says why, and nothing is written,
// nothing is left behind and an old output stays.
TEST_F(ConvertCommandTest, AFailedRunSaysWhyAndWritesNothing)
{
    Write("a.ov2", Ov2Record(2, 1, 1, { "a" }));
    Write("bad.ov2", Ov2Record(2, 1, 1, { "a" }) + "\x04");
    Write("in.xyz", "data");
    Write("out.ov2", "old");
    QDir(Dir.path()).mkdir("out");
    Write("out/a.ov2", "old");
    THttpTestServer server;
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.Port());
    const auto filled = [&](QString text) {
        return text.replace("DIR", Dir.path()).replace("HOST", host);
    };
    struct TCase {
        int Status;
        QStringList Arguments;
        QString Said;
    };
    std::vector<TCase> cases;
    for (const QString& line : TestDataLines("cli/convert-failures.txt")) {
        const QStringList fields = line.split(" | ");
        cases.push_back({ fields[0].toInt(), filled(fields[1]).split(' '), filled(fields[2]) });
    }
    for (const QString wrong : { "-1", "1.5", "+2", " 3", "five", "", "99999999999" })
        cases.push_back({ 2, { "--drop-duplicates", wrong, Path("a.ov2"), Path("x.ov2") },
            "--drop-duplicates takes a whole number of metres, not \"" + wrong + "\"." });
    const QStringList files = FilesIn(Dir.path()), outFiles = FilesIn(Path("out"));
    ASSERT_GT(cases.size(), 7u) << "the data file was read";
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Arguments.join(' ').toStdString());
        EXPECT_EQ(Run(c.Arguments), c.Status);
        const QString said = Err.section('\n', 0, 0);
        if (c.Said.endsWith(u'…'))
            EXPECT_TRUE(said.startsWith(c.Said.chopped(1))) << said.toStdString();
        else
            EXPECT_EQ(said, c.Said);
        EXPECT_EQ(Err.contains("Usage: marivel-convert"), c.Status == 2);
        EXPECT_EQ(FilesIn(Dir.path()), files);
        EXPECT_EQ(FilesIn(Path("out")), outFiles);
        EXPECT_EQ(Read("out.ov2"), "old");
    }
}

// The usage, and the formats in registry order, as tests/data/cli keeps them.
TEST_F(ConvertCommandTest, ShowsTheUsageAndListsTheFormats)
{
    EXPECT_EQ(Run({ "-h" }), 0);
    EXPECT_EQ(Out.toStdString(), TestData("cli/convert-usage.txt"));
    EXPECT_EQ(Run({ "--list-formats" }), 0);
    EXPECT_EQ(Out.toStdString(), TestData("cli/list-formats.txt"));
}

TEST_F(ConvertCommandTest, OptionsAndTheEncodingHoldForOneRunOnly)
{
    Write("in.ov2", Ov2Record(2, 123456, -654321, { "x" }));
    Settings().Precision = 6;
    EXPECT_EQ(Run({ "--option", "genasc:0=on", Path("in.ov2"), Path("on.asc") }), 0);
    EXPECT_EQ(Run({ Path("in.ov2"), Path("off.asc") }), 0);
    Settings().Precision = 5;
    EXPECT_TRUE(QString::fromStdString(Read("on.asc")).endsWith("1.234560, -6.543210, \"x\"\r\n"));
    EXPECT_TRUE(QString::fromStdString(Read("off.asc")).endsWith("1.23456, -6.54321, \"x\"\r\n"));

    const std::string moscow = "\xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0";
    Write("in.csv", '"' + moscow + "\",\"" + moscow + "\",37.61778,55.75583,,,,\r\n");
    ASSERT_EQ(Run({ "--encoding", "UTF-8", Path("in.csv"), Path("a.ov2") }), 0)
        << Err.toStdString();
    EXPECT_NE(Read("a.ov2").find(moscow), std::string::npos);
    EXPECT_EQ(Err, "") << "nothing lacked";
    EXPECT_EQ(CodePageName(), "windows-1252");
}

TEST_F(ConvertCommandTest, ReadsTheWebAndTheDeviceAndNamesTheOutputItCannotCreate)
{
    TTempDevice device;
    device.Put("My Documents/old.txt", "");
    THttpTestServer server;
    const std::string ov2 = Ov2Record(2, 100000, 200000, { "web" });
    server.Serve("/a.ov2", QByteArray::fromStdString(ov2));

    EXPECT_EQ(Run({ "--dev", server.Url("/a.ov2"), "MOBILE://\\My Documents\\a.asc" }), 0)
        << Err.toStdString();
    EXPECT_EQ(Run({ "mobile://\\my documents\\A.ASC", "FILE://" + Path("back.ov2") }), 0)
        << Err.toStdString();
    EXPECT_EQ(Read("back.ov2"), ov2);

    EXPECT_EQ(Run({ Path("back.ov2"), "MOBILE://\\No Folder\\a.ov2" }), 1);
    EXPECT_EQ(
        Err, "MOBILE://\\No Folder\\a.ov2: Could not create remote file \\No Folder\\a.ov2.\n");
}

namespace {

// Standard error that runs `Act` once the progress of writing shows on it, and keeps the text.
class TOnWriting : public QIODevice {
public:
    explicit TOnWriting(std::function<void()> act)
        : Act(std::move(act))
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        Text.append(data, size);
        if (Act && QByteArray(data, size).contains("Writing"))
            std::exchange(Act, nullptr)();
        return size;
    }

public:
    QByteArray Text;

private:
    std::function<void()> Act;
};

} // namespace

// An output that cannot be written whole fails and keeps the old one: on a disk that is all but
// full, which a small output finds only with the last flush; and when its input changes, as the
// entries keep their texts where they lie in the input until the output is written.
TEST_F(ConvertCommandTest, AnOutputThatCannotBeWrittenWholeKeepsTheOldOne)
{
    const std::string records = Points(300);
    std::optional<TFileSizeLimit> fullDisk;
    const QString changed = Path("in.ov2") + ": File changed while it was read.\n";
    const std::pair<std::function<void()>, QString> cases[] = {
        { [&] { fullDisk.emplace(4096); },
            QStringLiteral("Cannot write file %1: File too large.\n").arg(Path("out.asc")) },
        { [&] { ASSERT_EQ(truncate(QFile::encodeName(Path("in.ov2")).constData(), 10), 0); },
            changed },
        { [&] {
             QFile file(Path("in.ov2"));
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.write("\x02");
             ASSERT_TRUE(file.setFileTime(
                 QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
         },
            changed },
    };
    for (const auto& [change, said] : cases) {
        Write("in.ov2", records);
        Write("out.asc", "old");
        TOnWriting err(change);
        QTextStream errStream(&err);
        QTextStream out(&Out);
        EXPECT_EQ(
            RunConvertCommand({ "--progress", Path("in.ov2"), Path("out.asc") }, out, errStream),
            1);
        fullDisk.reset();
        errStream.flush();
        EXPECT_TRUE(err.Text.endsWith(said.toUtf8())) << err.Text.toStdString();
        EXPECT_EQ(Read("out.asc"), "old");
        EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left";
    }
}

// Characters the code page lacks, and an input that reads as empty while it holds points of a
// kind its format does not read, are warnings; the conversion goes on.
TEST_F(ConvertCommandTest, LackingCharactersAndUnreadPointsAreWarnings)
{
    Write("in.kml",
        "<kml><Placemark><name>\xd0\x9c\xd0\xbe Z\xc3\xbcrich</name><Point><coordinates>1,2"
        "</coordinates></Point></Placemark></kml>");
    Write("route.gpx", TestData("convert/unread/route.gpx"));
    EXPECT_EQ(Run({ Path("in.kml"), Path("route.gpx"), Path("out.ov2") }), 0);
    EXPECT_EQ(Err,
        "warning: " + Path("route.gpx")
            + ": no waypoints; the file holds 2 route points, which GPX import does not read.\n"
              "warning: 2 characters that the code page windows-1252 lacks were replaced by "
              "\"?\", in 1 entry: Мо Zürich.\n");
    EXPECT_EQ(Read("out.ov2"), Ov2Record(2, 100000, 200000, { "?? Z\xfcrich" }));

    Settings().CodePage = QStringLiteral("utf-8");
    EXPECT_EQ(Run({ Path("in.kml"), Path("out.ov2") }), 0);
    EXPECT_EQ(Err, "") << "the setting names the code page";
}

// A failed input is named and the others go on, unless told to stop; an output that exists is
// replaced. The batch conversion's tests pin the rest of converting into a folder.
TEST_F(ConvertCommandTest, IntoAFolderAFailedInputIsNamedAndTheOthersGoOn)
{
    QDir(Dir.path()).mkdir("out");
    QDir(Dir.path()).mkdir("out/c.gpx"); // a target that cannot be written
    Write("out/a.gpx", "old");
    Write("a.ov2", Ov2Record(2, 1, 1, { "a" }));
    Write("bad.ov2", Ov2Record(2, 1, 1, { "half" }) + "\x04");
    Write("c.ov2", Ov2Record(2, 3, 3, { "c" }));
    Write("d.ov2", Ov2Record(2, 4, 4, { "d" }));
    const QStringList inputs { Path("a.ov2"), Path("bad.ov2"), Path("missing.ov2"), Path("c.ov2"),
        Path("d.ov2") };
    EXPECT_EQ(Run(QStringList { "--into", Path("out"), "--to", "gengpx" } + inputs), 1);
    const QStringList lines = Err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << Err.toStdString();
    EXPECT_EQ(lines[0], Path("bad.ov2") + ": Invalid ov2 file.");
    EXPECT_EQ(lines[1], "File " + Path("missing.ov2") + " not found.");
    EXPECT_TRUE(lines[2].startsWith(Path("c.ov2") + ": Cannot write file " + Path("out/c.gpx")))
        << lines[2].toStdString();
    EXPECT_EQ(FilesIn(Path("out")), QStringList({ "a.gpx", "d.gpx" })) << "nothing half written";
    EXPECT_NE(Read("out/a.gpx"), "old");

    QDir(Path("out")).remove("d.gpx");
    EXPECT_EQ(
        Run(QStringList { "--progress", "--stop-on-error", "--into", Path("out"), "--to", "gengpx" }
            + inputs),
        1);
    EXPECT_TRUE(Err.contains("%\n" + Path("bad.ov2") + ": Invalid ov2 file.\n"))
        << "on a line after the progress: " << Err.toStdString();
    EXPECT_FALSE(Err.contains("missing.ov2"));
    EXPECT_FALSE(QFile::exists(Path("out/d.gpx"))) << "stopped at the first failure";

    // A named format reads whatever the extension.
    Write("in.dat", "<gpx><wpt lat='2' lon='1'><name>a</name></wpt></gpx>");
    EXPECT_EQ(
        Run({ "--from", "gengpx", "--into", Path("out"), "--to", "ttov2", Path("in.dat") }), 0);
    EXPECT_EQ(Read("out/in.ov2"), Ov2Record(2, 100000, 200000, { "a" }));
}

// The built program in a pipeline: standard output carries the output and nothing else, and a
// reader that stops early ends it quietly.
TEST_F(ConvertCommandTest, PipesThroughStandardInputAndOutput)
{
    const std::string ov2 = Points(20000);
    Write("in.ov2", ov2);
    ASSERT_EQ(Run({ "--dev", Path("in.ov2"), Path("out.gpx") }), 0);

    QProcess convert;
    convert.start(MARIVEL_CONVERT_PROGRAM,
        { "--progress", "--dev", "--from", "ttov2", "--to", "gengpx", "-", "-" });
    convert.write(QByteArray::fromStdString(ov2));
    convert.closeWriteChannel();
    ASSERT_TRUE(convert.waitForFinished());
    EXPECT_EQ(convert.exitCode(), 0);
    EXPECT_TRUE(convert.readAllStandardOutput().toStdString() == Read("out.gpx"))
        << "standard output carries the output and nothing else";
    EXPECT_TRUE(convert.readAllStandardError().contains("Writing standard output"));

    // With SIGPIPE ignored, as a parent may leave it, the program sees the broken pipe itself.
    QProcess pipeline;
    pipeline.setStandardInputFile(Path("in.ov2"));
    pipeline.start("bash",
        { "-c", "trap '' PIPE; \"$0\" \"$@\" | head -c 1 >/dev/null; exit ${PIPESTATUS[0]}",
            MARIVEL_CONVERT_PROGRAM, "--from", "ttov2", "--to", "genasc", "-", "-" });
    ASSERT_TRUE(pipeline.waitForFinished());
    EXPECT_EQ(pipeline.exitCode(), 141);
    EXPECT_EQ(pipeline.readAllStandardError(), "");
}
