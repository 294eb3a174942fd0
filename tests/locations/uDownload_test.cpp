#include "locations/uDownload.h"

#include <filesystem>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "httpserver.h"
#include "testing.h"

namespace {

using namespace std::chrono_literals;
using TResponse = THttpTestServer::TResponse;
using TMode = TResponse::TMode;

const QByteArray LastModified = "Wed, 21 Oct 2015 07:28:00 GMT";
constexpr qsizetype MiB = 1024 * 1024;

// The bytes of the files below `folder`, all together.
qint64 BytesBelow(const QString& folder)
{
    qint64 total = 0;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
        total += QFileInfo(it.next()).size();
    return total;
}

// The bytes of the files in `folder` that this process holds open, also those that have no
// name yet (a temporary file gets one only when asked for it).
qint64 OpenBytesIn(const QString& folder)
{
    qint64 total = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && QString::fromStdString(target.parent_path()) == folder)
            total += qint64(std::filesystem::file_size(entry.path(), error));
    }
    return total;
}

class DownloadTest : public ::testing::Test {
protected:
    // The timeouts are put back after each test (main.cpp).
    DownloadTest() { SetDownloadTimeouts({ .Idle = 500ms, .PoiFile = 10s, .Answer = 10s }); }

    // An index or other answer, fresh.
    static std::string Answer(const QString& url)
    {
        TMemoryStream answer;
        DownloadToStream(url, answer, true, TDownloadKind::Answer);
        return answer.Bytes();
    }

    // The message of a failed download of `path`, through a URL with credentials and query.
    QString FailureOf(const QString& path)
    {
        QString url = Server.Url(path).replace("://", "://user:secret@") + "?key=secret";
        return ErrorOf<EUserError>([&] { Answer(url); });
    }

    QString Failure(const QString& path, const QString& reason) const
    {
        return "Unable to download " + Server.Url(path) + ": " + reason;
    }

    // A body that does not end, as far as any cap of a test goes: 8 MiB in steps of 16 KiB.
    TResponse& ServeUnbounded(const QByteArray& path)
    {
        TResponse& response = Server.Serve(path, QByteArray(16 * 1024, 'u'));
        response.Mode = TMode::Unbounded;
        response.Repeat = 512;
        return response;
    }

    THttpTestServer Server;
    QTemporaryDir Dir;
    const QString Cache =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/marivel";
};

// A download to a file is the site progress window's test.
TEST_F(DownloadTest, TheBytesArriveWholeAndSpacesAreSentEncoded)
{
    const QByteArray body("\x00\x01 poi \xff", 8);
    Server.Serve("/a%20b.ov2", body);
    EXPECT_EQ(DownloadToString(Server.Url("/a b.ov2"), true), body.toStdString())
        << "spaces are sent encoded";
    EXPECT_TRUE(Server.Requests.last().startsWith("GET /a%20b.ov2 "));
}

TEST_F(DownloadTest, TheCacheKeepsTheServersTime)
{
    TResponse& index = Server.Serve("/index.xml", "<pois/>");
    index.Headers = "Last-Modified: " + LastModified + "\r\nCache-Control: no-cache\r\n";
    index.NotModifiedWhenAsked = true;
    const QString url = Server.Url("/index.xml");
    DownloadToCacheFile(url, TDownloadKind::Answer);

    TMemoryStream stream(std::string("x"));
    stream.Seek(0, TSeekOrigin::End);
    EXPECT_EQ(DownloadToStream(url, stream, false, TDownloadKind::Answer).toUTC(),
        QDateTime(QDate(2015, 10, 21), QTime(7, 28), Qt::UTC));
    EXPECT_EQ(stream.Bytes(), "x<pois/>") << "appended at the stream's position";
    EXPECT_TRUE(Server.Requests.last().contains("If-Modified-Since"))
        << "the cached copy is checked with the server, which answered 304";

    QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    TMemoryStream fresh;
    EXPECT_GE(DownloadToStream(url, fresh, true, TDownloadKind::Answer), before)
        << "bypassing: the current time";
    EXPECT_EQ(fresh.Bytes(), "<pois/>");
    EXPECT_FALSE(Server.Requests.last().contains("If-Modified-Since"));

    // A plain web server sends Last-Modified and no lifetime: each download asks it again, so a
    // newer file is seen at once.
    TResponse& plain = Server.Serve("/plain.ov2", "old");
    plain.Headers = "Last-Modified: " + LastModified + "\r\n";
    const QString plainUrl = Server.Url("/plain.ov2");
    DownloadToCacheFile(plainUrl, TDownloadKind::PoiFile);
    plain.Body = "new";
    EXPECT_EQ(FileBytes(DownloadToCacheFile(plainUrl, TDownloadKind::PoiFile)), "new");
    EXPECT_TRUE(Server.Requests.last().contains("If-Modified-Since"));
}

TEST_F(DownloadTest, FailuresSayWhyAndNeverShowCredentials)
{
    Server.Serve("/error", "oops").Status = 500;
    TResponse& gone = Server.Serve("/gone", "");
    gone.Status = 410;
    gone.Reason = "Gone\x1b[2J";
    Server.Serve("/early", QByteArray(4000, 'x')).Mode = TMode::CloseEarly;
    EXPECT_EQ(FailureOf("/error"), Failure("/error", "HTTP 500 Internal Server Error"));
    EXPECT_EQ(FailureOf("/gone"), Failure("/gone", "HTTP 410 Gone\\x1b[2J"))
        << "the server's words cannot drive the terminal";
    EXPECT_EQ(FailureOf("/early"), Failure("/early", "Connection closed"));
    EXPECT_EQ(ErrorOf<EUserError>([] { DownloadToString("http://127.0.0.1:1/a.ov2", true); }),
        "Unable to download http://127.0.0.1:1/a.ov2: connection refused");
}

// Qt reads local files and other schemes too: a web address must never reach them, also
// not through a redirect. A redirect between web addresses is still followed.
TEST_F(DownloadTest, OnlyWebAddressesAreFetchedAndAnUnusableOneIsNamedOnce)
{
    for (const QString& local :
        { QString("file:///etc/hostname"), QString("FILE:/etc/hostname"), QString("qrc:/a.xml") })
        EXPECT_EQ(ErrorOf<EUserError>([&] { DownloadToString(local, true); }),
            "Unable to download " + local + ": only web addresses (http, https) are downloaded");
    const auto redirect = [&](const QByteArray& path, const QByteArray& to) {
        TResponse& response = Server.Serve(path);
        response.Status = 302;
        response.Headers = "Location: " + to + "\r\n";
    };
    redirect("/jump", "file:///etc/hostname");
    EXPECT_EQ(FailureOf("/jump"),
        Failure("/jump", "the server redirected to file:///etc/hostname, which is no web address"));
    redirect("/hop", Server.Url("/there").toLatin1());
    Server.Serve("/there", "arrived");
    EXPECT_EQ(DownloadToString(Server.Url("/hop"), true), "arrived");

    // An unusable address is named once, however long.
    for (const QString& address :
        { "x=y://" + QString(3000, 'a'), "http://[" + QString(3000, 'b') }) {
        const QString message = ErrorOf<EUserError>([&] { DownloadToString(address, true); });
        EXPECT_LT(message.size(), 400) << message.left(400).toStdString();
        EXPECT_EQ(message.count(address.left(20)), 1);
    }
}

// A silent server times out after the idle time, or sooner when the user cancels (cancelling
// while bytes arrive is the site progress window's test); a trickling one meets the deadline of
// its kind.
TEST_F(DownloadTest, ASilentOrTricklingServerTimesOut)
{
    Server.Serve("/silent").Mode = TMode::Silent;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(FailureOf("/silent"), Failure("/silent", "timed out after 0.5 s"));
    EXPECT_LT(timer.elapsed(), 5000);
    timer.restart();
    auto cancelSoon = [&](int64_t, int64_t, bool& stop) { stop = timer.elapsed() > 200; };
    TMemoryStream partial;
    EXPECT_THROW(
        DownloadToStream(Server.Url("/silent"), partial, true, TDownloadKind::PoiFile, cancelSoon),
        EAbort);

    // A byte every 100 ms never lets the idle timeout strike; the whole would take 4 s.
    TResponse& trickle = Server.Serve("/trickle.ov2", QByteArray(40, 't'));
    trickle.Mode = TMode::Slow;
    trickle.ChunkSize = 1;
    trickle.Interval = 100;
    SetDownloadTimeouts({ .Idle = 500ms, .PoiFile = 1200ms, .Answer = 600ms });
    EXPECT_EQ(FailureOf("/trickle.ov2"), Failure("/trickle.ov2", "took longer than 0.01 min"));
    EXPECT_EQ(ErrorOf<EUserError>([&] { TLocationInput(Server.Url("/trickle.ov2")); }),
        Failure("/trickle.ov2", "took longer than 0.02 min"));
}

TEST_F(DownloadTest, AFailedDownloadLeavesTheFileAlone)
{
    const QString file = Dir.filePath("a.ov2");
    WriteFileBytes(file, "good");
    EXPECT_THROW(DownloadToFile(Server.Url("/missing"), file, TDownloadKind::PoiFile), EUserError);

    // A small file that does not fit fails only with its last bytes; that must count too.
    Server.Serve("/small.ov2", QByteArray(10000, 's'));
    {
        TFileSizeLimit limit(4096);
        EXPECT_EQ(ErrorOf<EUserError>([&] {
            DownloadToFile(Server.Url("/small.ov2"), file, TDownloadKind::PoiFile);
        }).section(':', -1),
            " File too large");
    }
    EXPECT_EQ(FileBytes(file), "good");
    EXPECT_EQ(FilesIn(Dir.path()), QStringList { "a.ov2" });
}

TEST_F(DownloadTest, AnEndlessBodyGoesToDiskAndStopsAtTheCap)
{
    Settings().MaxDownloadMiB = 2;
    ServeUnbounded("/endless.ov2");
    const QString url = Server.Url("/endless.ov2");
    const QString tooLarge = Failure("/endless.ov2", "larger than 2 MiB");

    // What arrived is in a file in the folder as the download goes on, not in memory.
    std::vector<std::pair<int64_t, qint64>> onDisk;
    auto watch = [&](int64_t done, int64_t, bool&) {
        onDisk.emplace_back(done, OpenBytesIn(Dir.path()));
    };
    {
        const TEnvironment temp("TMPDIR", Dir.path());
        EXPECT_EQ(ErrorOf<EUserError>([&] { TLocationInput(url, watch); }), tooLarge);
    }
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        DownloadToFile(url, Dir.filePath("a.ov2"), TDownloadKind::PoiFile, watch);
    }),
        tooLarge);
    ASSERT_GE(onDisk.size(), 2u);
    for (auto [done, bytes] : onDisk) {
        EXPECT_LE(done, 2 * MiB);
        // At most a read and a writer's buffer of a few hundred KiB wait in memory.
        EXPECT_GE(bytes, done - 512 * 1024) << "held back in memory";
    }
    EXPECT_TRUE(QDir(Dir.path()).isEmpty()) << "the partial downloads are gone";
    EXPECT_EQ(OpenBytesIn(Dir.path()), 0);
}

TEST_F(DownloadTest, AnAnnouncedLengthAboveTheCapFailsAtOnceRepliesAreCappedAndSoIsTheCache)
{
    Settings().MaxIndexDownloadMiB = 1;
    // Only the head comes: waiting for the body would time out instead.
    Server.Serve("/big.xml", QByteArray(MiB + 1, 'b')).Mode = TMode::HeadOnly;
    EXPECT_EQ(FailureOf("/big.xml"), Failure("/big.xml", "larger than 1 MiB"));
    Server.Serve("/full.xml", QByteArray(MiB, 'f'));
    EXPECT_EQ(Answer(Server.Url("/full.xml")).size(), size_t(MiB)) << "the cap itself is allowed";

    // A reply read into memory (a query's answer, a time, a version) is a few lines, whatever
    // the cap of indexes is.
    Server.Serve("/full", QByteArray(64 * 1024, 'r'));
    EXPECT_EQ(DownloadToString(Server.Url("/full"), true).size(), size_t(64 * 1024));
    ServeUnbounded("/endless");
    EXPECT_EQ(ErrorOf<EUserError>([&] { DownloadToString(Server.Url("/endless"), true); }),
        Failure("/endless", "the answer is larger than 64 KiB"));

    // The cache holds to the cap too.
    ServeUnbounded("/endless.xml");
    EXPECT_EQ(ErrorOf<EUserError>(
                  [&] { DownloadToCacheFile(Server.Url("/endless.xml"), TDownloadKind::Answer); }),
        Failure("/endless.xml", "larger than 1 MiB"));
    EXPECT_LT(BytesBelow(Cache + "/internet"), MiB) << "nothing of it stays in the cache";

    // A copy cached under a larger cap is not handed out once the cap is lower.
    Settings().MaxIndexDownloadMiB = 2;
    Server.Serve("/index.xml", QByteArray(MiB + MiB / 2, 'i')).Headers =
        "Cache-Control: max-age=3600\r\n";
    const QString url = Server.Url("/index.xml");
    DownloadToCacheFile(url, TDownloadKind::Answer);
    const qsizetype asked = Server.Requests.size();
    Settings().MaxIndexDownloadMiB = 1;
    EXPECT_EQ(ErrorOf<EUserError>([&] { DownloadToCacheFile(url, TDownloadKind::Answer); }),
        Failure("/index.xml", "larger than 1 MiB"));
    EXPECT_EQ(Server.Requests.size(), asked) << "served from the cache";
}

// Addresses that change with every run (a "?v=N") must not grow the cache without end.
TEST_F(DownloadTest, TheCacheKeepsToItsSize)
{
    Settings().InternetCacheMiB = 1;
    TResponse& poi = Server.Serve("/poi.ov2");
    poi.Headers = "Last-Modified: " + LastModified + "\r\n";
    QString last;
    for (int run = 0; run < 8; ++run) {
        poi.Body.resize(300 * 1024);
        for (char& byte : poi.Body)
            byte = char(QRandomGenerator::global()->generate()); // beyond compression
        last = DownloadToCacheFile(Server.Url("/poi.ov2?v=%1").arg(run), TDownloadKind::PoiFile);
    }
    EXPECT_LE(BytesBelow(Cache), MiB + 64 * 1024);
    EXPECT_EQ(QFileInfo(last).size(), 300 * 1024) << "the newest copy stays";
    EXPECT_FALSE(QFileInfo(Cache).permissions() & (QFile::ReadGroup | QFile::ReadOther));
}

TEST_F(DownloadTest, AManualProxyCarriesTheRequest)
{
    Server.Serve("/a.ov2", "through the proxy").ProxyLogin = "ann:pw";
    Settings().ManualProxy = true;
    Settings().ProxyServer = "127.0.0.1";
    Settings().ProxyPort = Server.Port();
    Settings().ProxyUsername = "ann";
    Settings().ProxyPassword = "pw";
    EXPECT_EQ(DownloadToString("http://poi.example/a.ov2", true), "through the proxy");
    EXPECT_TRUE(Server.Requests.last().startsWith("GET http://poi.example/a.ov2 "));
}

} // namespace
