#include "cli/uUpdateCli.h"

#include <QProcess>
#include <QTest>
#include <QTextStream>

#include "core/uUtils.h"
#include "platform/uRegistry.h"
#include "sites/sitefixture.h"

namespace {

// marivel-update against a site on the loopback server.
class UpdateCommandTest : public SiteTest {
protected:
    UpdateCommandTest()
    {
        ServeSite("/site.xml",
            "<poi><description>Speed Cams</description><map>Netherlands</map>"
            "<url>/cams.ov2</url><lastmodified>/lm</lastmodified></poi>");
        const QDateTime time(QDate(2023, 5, 1), QTime(12, 0));
        ServePoi("/cams.ov2", "Camera A", time);
        Server.Serve("/lm", SiteTime(time));
    }

    QString Site() const { return Server.Url("/site.xml"); }

    int Run(const QStringList& arguments, const QString& answers = QString())
    {
        Out.clear();
        Err.clear();
        QTextStream out(&Out);
        QTextStream err(&Err);
        QString input = answers;
        QTextStream terminal(&input);
        return RunUpdateCommand(arguments, out, err, answers.isNull() ? nullptr : &terminal);
    }

    // Waits, the site answering meanwhile, for `process` to end; what it printed.
    static QString Printed(QProcess& process)
    {
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000));
        return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    }

    QString Out;
    QString Err;
};

} // namespace

// Addresses show without their account and query, names with their control characters
// escaped and their separators kept. The rows' texts are the run's, pinned by its tests.
TEST_F(UpdateCommandTest, SubscribesListsRunsAndUnsubscribesShowingNoCredentialsNorControls)
{
    ServeSite("/hostile.xml",
        "<poi><description>Speed|Cams\x1b[2J</description><map>NL\x1b]0;x\x07</map>"
        "<url>/cams.ov2</url><lastmodified>/lm</lastmodified></poi>");
    const QString site = Server.Url("/hostile.xml?token=t0k").replace("//", "//ann:s3cret@");
    const QString shown = Server.Url("/hostile.xml");
    const QString target = Dir.filePath("a=b.ov2");
    ASSERT_EQ(Run({ "subscribe", site, "speed|cams\x1b[2J", target }), 0) << Err.toStdString();
    QString printed = Out + Err;
    ASSERT_EQ(Run({ "list" }), 0);
    EXPECT_EQ(
        Out, shown + "\tNL\\x1b]0;x\\x07\tSpeed|Cams\\x1b[2J\tFILE://" + target + "\tttov2\t\t\n")
        << "the POI as the index names it, the first format of the extension";
    printed += Out;

    EXPECT_EQ(Run({ "run" }), 0) << Err.toStdString();
    EXPECT_EQ(Out,
        shown + ": Checked site xml file...\nSpeed|Cams\\x1b[2J: Updated\nFinished: 1 updated\n");
    printed += Out + Err;
    EXPECT_FALSE(printed.contains("s3cret") || printed.contains("t0k") || printed.contains('\x1b'))
        << printed.toStdString();
    EXPECT_EQ(FileBytes(target), Ov2Record(2, 450000, 5210000, { "Camera A" }));
    Server.Stop();
    EXPECT_EQ(Run({ "run", "--yes" }), 1) << "an item failed";

    ASSERT_EQ(Run({ "unsubscribe", target }), 0);
    ASSERT_EQ(Run({ "list" }), 0);
    EXPECT_EQ(Out, "");
}

TEST_F(UpdateCommandTest, AnExistingTargetIsOnlyOverwrittenWhenConfirmed)
{
    const QString target = Dir.filePath("cams.gpx");
    WriteFileBytes(target, "mine");
    ASSERT_EQ(Run({ "subscribe", Site(), "Speed Cams", "FILE://" + target }), 0);

    EXPECT_EQ(Run({ "run" }), 0);
    EXPECT_TRUE(Out.contains("Speed Cams: Already up to date (the existing target was kept: "
                             "overwriting it needs --yes)\n"))
        << Out.toStdString();
    EXPECT_EQ(FileBytes(target), "mine");

    EXPECT_EQ(Run({ "run" }, "maybe\nn\n"), 0);
    EXPECT_TRUE(Err.contains(
        "Are you sure you want to overwrite the existing one (FILE://" + target + ")? [y]es, [n]o"))
        << "asked again after an answer it does not know";
    EXPECT_EQ(FileBytes(target), "mine");

    EXPECT_EQ(Run({ "run" }, "y\n"), 0);
    EXPECT_TRUE(Out.contains("Speed Cams: Updated"));
    EXPECT_NE(FileBytes(target).find("<gpx"), std::string::npos) << "written as GPX";
}

// A device target is kept as given. A new subscription forgets the time a former one left
// beside its target; a refused one keeps it.
TEST_F(UpdateCommandTest, RefusesWhatCannotBeSubscribed)
{
    TTempDevice device;
    device.Put("POI/cams.ov2", "old");
    const QString target = "MOBILE://\\POI\\cams.ov2";
    const QString sideFile = device.Local("POI/cams.inf");
    WriteTimeStampFile(sideFile, QDateTime(QDate(2023, 5, 1), QTime(12, 0)));
    EXPECT_EQ(Run({ "subscribe", Site(), "Fuel", target }), 1);
    EXPECT_EQ(Err, "POI item not found in the site xml.\n");
    ASSERT_EQ(Run({ "subscribe", Site(), "Speed Cams", target }), 0) << Err.toStdString();
    EXPECT_FALSE(QFile::exists(sideFile));
    ASSERT_EQ(Run({ "list" }), 0);
    EXPECT_TRUE(Out.contains("\t" + target + "\tttov2\t")) << Out.toStdString();
    WriteTimeStampFile(sideFile, QDateTime(QDate(2023, 5, 1), QTime(12, 0)));
    EXPECT_EQ(Run({ "subscribe", Site(), "Speed Cams", target }), 1);
    EXPECT_TRUE(Err.startsWith("The target file is already updated by another item."));
    EXPECT_TRUE(QFile::exists(sideFile));

    EXPECT_EQ(Run({ "subscribe", Site(), "Speed Cams", Dir.filePath("b.ov2"), "--to", "gdb" }), 2)
        << "a format that cannot be written";
    EXPECT_EQ(Run({ "subscribe", Site(), "Speed Cams" }), 2);
    EXPECT_EQ(Run({ "refresh" }), 2);
    EXPECT_TRUE(Err.contains("Usage: marivel-update"));
}

TEST_F(UpdateCommandTest, SubscriptionsFailWhenTheSettingsCannotBeWritten)
{
    const QString target = Dir.filePath("cams.ov2");
    ASSERT_EQ(Run({ "subscribe", Site(), "Speed Cams", target }), 0);
    {
        // Larger than the files a subscription writes besides the settings.
        TRegistry reg;
        reg.OpenKey("\\Padding", true);
        reg.WriteString("Padding", QString(4096, 'x'));
    }
    const QString settings = TRegistry::FileName(TRegRoot::CurrentUser);
    const std::string before = FileBytes(settings);
    // Room for the settings as they are, not with one more item; unsubscribing saves the same way.
    const TFileSizeLimit fullDisk(before.size() + 50);
    EXPECT_EQ(Run({ "subscribe", Site(), "Speed Cams", Dir.filePath("b.ov2") }), 1);
    EXPECT_TRUE(Err.startsWith("Could not save the settings to ")) << Err.toStdString();
    EXPECT_EQ(FileBytes(settings), before) << "put back, not cut short";
}

TEST_F(UpdateCommandTest, ChangesMadeDuringARunSurviveItAndASecondRunIsRefused)
{
    ServeSite("/site.xml",
        "<poi><description>Speed Cams</description><url>/cams.ov2</url></poi>"
        "<poi><description>Fuel</description><url>/fuel.ov2</url></poi>");
    ServePoi("/fuel.ov2", "Fuel A", QDateTime(QDate(2023, 5, 1), QTime(12, 0)));
    TResponse& cams = ServePoi("/cams.ov2", "Camera A", QDateTime(QDate(2023, 5, 1), QTime(12, 0)));
    cams.Mode = TResponse::TMode::Slow; // a byte every 250 ms keeps the run busy for seconds
    cams.ChunkSize = 1;
    cams.Interval = 250;
    ASSERT_EQ(Run({ "subscribe", Site(), "Speed Cams", Dir.filePath("cams.ov2") }), 0);
    ASSERT_EQ(Run({ "subscribe", Site(), "Fuel", Dir.filePath("fuel.ov2") }), 0);

    QProcess first;
    first.start(MARIVEL_UPDATE_PROGRAM, { "run", "--yes" });
    ASSERT_TRUE(QTest::qWaitFor([&] { return Requested("/cams.ov2"); }, 20000));
    QProcess second;
    second.start(MARIVEL_UPDATE_PROGRAM, { "run" });
    EXPECT_EQ(Printed(second),
        "Another AutoUpdate run is busy; please try again when it has finished.\n");
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(Run({ "unsubscribe", Dir.filePath("fuel.ov2") }), 0) << Err.toStdString();
    EXPECT_EQ(Run({ "subscribe", Site(), "Fuel", Dir.filePath("fuel.gpx") }), 0);
    ASSERT_EQ(first.state(), QProcess::Running) << "the changes were made during the run";
    Printed(first);
    EXPECT_EQ(first.exitCode(), 0);

    QProcess list;
    list.start(MARIVEL_UPDATE_PROGRAM, { "list" });
    const QStringList items = Printed(list).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(items.size(), 2) << items.join('\n').toStdString();
    EXPECT_TRUE(items[0].contains("\tFILE://" + Dir.filePath("cams.ov2") + "\tttov2\t20"))
        << "the run's dates kept: " << items[0].toStdString();
    EXPECT_TRUE(items[1].contains("\tFILE://" + Dir.filePath("fuel.gpx") + "\tgengpx\t"))
        << "the subscription made during the run kept: " << items[1].toStdString();
}
