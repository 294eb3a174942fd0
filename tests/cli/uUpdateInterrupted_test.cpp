#include <QDir>
#include <QProcess>
#include <QTest>

#include "sites/sitefixture.h"

namespace {

// marivel-update in a process of its own, over two local and two device targets, each fed a
// large POI file by a slow site; the test kills it at points of its run.
class InterruptedRunTest : public SiteTest {
protected:
    InterruptedRunTest()
    {
        QDir(Device.Path()).mkpath("POI");
        std::string index;
        for (const TTarget& target : Targets) {
            index += "<poi><description>" + target.Poi + "</description><url>/" + target.Poi
                + ".ov2</url></poi>";
            Subscribe(Server.Url("/site.xml"), QString::fromStdString(target.Poi), target.Location);
        }
        ServeSite("/site.xml", index);
        ServePois(false);
    }

    struct TTarget {
        std::string Poi;
        QString Location;
        QString Path; // the local file that holds it
    };

    // Enough entries that converting and writing a file takes a while.
    static std::string LargeOv2(const std::string& name)
    {
        std::string bytes;
        for (int i = 0; i < 30000; ++i)
            bytes += Ov2Record(2, 450000 + i, 5210000, { name + ' ' + std::to_string(i) });
        return bytes;
    }

    // The files a replacement writes beside its target, which a killed run leaves behind.
    QStringList Leftovers() const
    {
        QStringList files;
        for (const QString& folder : { Dir.path(), Device.Local("POI") })
            for (const QFileInfo& left :
                QDir(folder).entryInfoList({ "*.tmp", "*.old" }, QDir::Files | QDir::Hidden))
                files.append(left.filePath());
        return files;
    }

    // Every target old again and never checked, and nothing left of earlier runs beside it.
    void ResetTargets()
    {
        for (const QString& left : Leftovers())
            QFile::remove(left);
        for (const TTarget& target : Targets) {
            WriteFileBytes(target.Path, "old " + target.Poi);
            QFile::remove(QFileInfo(target.Path).path() + '/'
                + QFileInfo(target.Path).completeBaseName() + ".inf");
            SetFileModificationTime(target.Path, QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
        }
        AutoUpdateItems().Save();
    }

    void ServePois(bool slow)
    {
        for (const TTarget& target : Targets) {
            TResponse& poi = Server.Serve("/" + QByteArray::fromStdString(target.Poi) + ".ov2",
                QByteArray::fromStdString(LargeOv2(target.Poi)));
            poi.Headers = "Last-Modified: " + HttpDate(QDateTime(QDate(2023, 5, 1), QTime(12, 0)))
                + "\r\nCache-Control: no-cache\r\n";
            if (slow) {
                poi.Mode = TResponse::TMode::Slow;
                poi.ChunkSize = 64 * 1024;
            }
        }
    }

    // Starts a run, kills it once `due` says so (or lets it end), and returns the bytes each
    // target holds then.
    std::vector<std::string> RunUntil(const std::function<bool()>& due)
    {
        QProcess run;
        run.start(MARIVEL_UPDATE_PROGRAM, { "run", "--yes" });
        EXPECT_TRUE(run.waitForStarted());
        while (run.state() == QProcess::Running && !due())
            QTest::qWait(1);
        run.kill(); // SIGKILL: nothing of the program runs after it
        EXPECT_TRUE(QTest::qWaitFor([&] { return run.state() == QProcess::NotRunning; }, 20000));
        std::vector<std::string> contents;
        for (const TTarget& target : Targets)
            contents.push_back(QFile::exists(target.Path) ? FileBytes(target.Path) : "(missing)");
        return contents;
    }

    // Whether a file beside `target` is being written, or the target itself has changed.
    static bool WritingStarted(const TTarget& target)
    {
        const QFileInfo file(target.Path);
        return file.size() != qint64(("old " + target.Poi).size())
            || !QDir(file.path())
                    .entryList({ file.fileName() + ".*tmp" }, QDir::Files | QDir::Hidden)
                    .isEmpty();
    }

    TTempDevice Device;
    const std::vector<TTarget> Targets { { "Alpha", SiteTest::Target("alpha.gpx"),
                                             Dir.filePath("alpha.gpx") },
        { "Bravo", SiteTest::Target("bravo.gpx"), Dir.filePath("bravo.gpx") },
        { "Charlie", "MOBILE://\\POI\\charlie.gpx", Device.Local("POI/charlie.gpx") },
        { "Delta", "MOBILE://\\POI\\delta.gpx", Device.Local("POI/delta.gpx") } };
};

} // namespace

TEST_F(InterruptedRunTest, AKilledRunLeavesEachTargetOldOrNew)
{
    std::vector<std::pair<std::string, std::function<bool()>>> killPoints {
        { "while downloading Bravo", [&] { return Requested("/Bravo.ov2"); } }
    };
    for (const TTarget& target : Targets)
        killPoints.push_back(
            { "while writing " + target.Poi, [target] { return WritingStarted(target); } });

    std::vector<std::vector<std::string>> interrupted;
    for (const auto& point : killPoints) {
        ResetTargets();
        ServePois(true);
        Server.Requests.clear();
        interrupted.push_back(RunUntil(point.second));
    }

    ResetTargets();
    ServePois(false);
    const std::vector<std::string> updated = RunUntil([] { return false; });
    EXPECT_EQ(Leftovers(), QStringList()) << "a whole run leaves nothing beside its targets";
    for (size_t t = 0; t < Targets.size(); ++t) {
        SCOPED_TRACE(Targets[t].Poi);
        ASSERT_TRUE(updated[t] != "old " + Targets[t].Poi) << "the whole run writes every target";
        for (size_t k = 0; k < killPoints.size(); ++k) {
            SCOPED_TRACE(killPoints[k].first);
            const std::string& left = interrupted[k][t];
            EXPECT_TRUE(left == "old " + Targets[t].Poi || left == updated[t])
                << "a target of " << left.size() << " bytes is neither old nor new";
        }
    }
}
