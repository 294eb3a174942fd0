#include "core/uDownload.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/uSettings.h"
#include "httpserver.h"
#include "testing.h"

namespace {

using TResponse = THttpTestServer::TResponse;
using TMode = TResponse::TMode;

const QByteArray LastModified = "Wed, 21 Oct 2015 07:28:00 GMT";
const QDateTime LastModifiedTime(QDate(2015, 10, 21), QTime(7, 28), Qt::UTC);

class DownloadTest : public ::testing::Test {
protected:
    DownloadTest() { SetDownloadTimeout(std::chrono::milliseconds(500)); }
    ~DownloadTest() override { SetDownloadTimeout(DefaultDownloadTimeout); }

    // The message of a failed download of `path`, through a URL with credentials and query.
    QString FailureOf(const QString& path)
    {
        QString url = Server.Url(path).replace("://", "://user:secret@") + "?key=secret";
        return ErrorOf<EUserError>([&] { DownloadToString(url, true); });
    }

    QString Failure(const QString& path) const { return "Unable to download " + Server.Url(path); }

    THttpTestServer Server;
    QTemporaryDir Dir;
};

TEST_F(DownloadTest, FileAndStringHoldTheBytes)
{
    const QByteArray body("\x00\x01 poi \xff", 8);
    Server.Serve("/a%20b.ov2", body);
    EXPECT_EQ(DownloadToString(Server.Url("/a b.ov2"), true), body.toStdString())
        << "spaces are sent encoded";
    EXPECT_TRUE(Server.Requests.last().startsWith("GET /a%20b.ov2 "));

    const QString file = Dir.filePath("a.ov2");
    DownloadToFile(Server.Url("/a b.ov2"), file);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), body);
}

TEST_F(DownloadTest, TheCacheKeepsTheServersTime)
{
    TResponse& index = Server.Serve("/index.xml", "<pois/>");
    index.Headers = "Last-Modified: " + LastModified + "\r\nCache-Control: no-cache\r\n";
    index.NotModifiedWhenAsked = true;
    const QString url = Server.Url("/index.xml");
    const QString cached = DownloadToCacheFile(url);
    EXPECT_EQ(QFileInfo(cached).lastModified().toUTC(), LastModifiedTime);

    TMemoryStream stream(std::string("x"));
    stream.Seek(0, TSeekOrigin::End);
    EXPECT_EQ(DownloadToStream(url, stream, false).toUTC(), LastModifiedTime);
    EXPECT_EQ(stream.Bytes(), "x<pois/>") << "appended at the stream's position";
    EXPECT_TRUE(Server.Requests.last().contains("If-Modified-Since"))
        << "the cached copy is checked with the server, which answered 304";

    QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    TMemoryStream fresh;
    EXPECT_GE(DownloadToStream(url, fresh, true), before) << "bypassing: the current time";
    EXPECT_EQ(fresh.Bytes(), "<pois/>");
    EXPECT_FALSE(Server.Requests.last().contains("If-Modified-Since"));
}

TEST_F(DownloadTest, FailuresNeverShowCredentials)
{
    Server.Serve("/error", "oops").Status = 500;
    Server.Serve("/early", QByteArray(4000, 'x')).Mode = TMode::CloseEarly;
    EXPECT_EQ(FailureOf("/missing"), Failure("/missing"));
    EXPECT_EQ(FailureOf("/error"), Failure("/error"));
    EXPECT_EQ(FailureOf("/early"), Failure("/early"));
    EXPECT_EQ(ErrorOf<EUserError>([] { DownloadToString("http://127.0.0.1:1/a.ov2", true); }),
        "Unable to download http://127.0.0.1:1/a.ov2")
        << "no server";
}

TEST_F(DownloadTest, ASilentServerTimesOut)
{
    Server.Serve("/silent").Mode = TMode::Silent;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(FailureOf("/silent"), Failure("/silent"));
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(DownloadTest, AFailedDownloadLeavesTheFileAlone)
{
    const QString file = Dir.filePath("a.ov2");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("good");
    }
    EXPECT_EQ(ErrorOf<EUserError>([&] { DownloadToFile(Server.Url("/missing"), file); }),
        Failure("/missing"));
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "good");
}

TEST_F(DownloadTest, ProgressIsReportedAndCancelStops)
{
    // Qt reports at most every 100 ms; this takes about 250 ms.
    Server.Serve("/slow", QByteArray(50000, 'p')).Mode = TMode::Slow;
    std::vector<std::pair<int64_t, int64_t>> reports;
    auto record = [&](int64_t done, int64_t total, bool&) { reports.emplace_back(done, total); };
    TMemoryStream stream;
    DownloadToStream(Server.Url("/slow"), stream, true, record);
    ASSERT_GE(reports.size(), 2u) << "reported as the chunks arrive";
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), std::make_pair(int64_t(50000), int64_t(50000)));
    EXPECT_EQ(stream.Size(), 50000);

    Server.Serve("/slower", QByteArray(1000000, 'p')).Mode = TMode::Slow;
    int64_t cancelledAt = 0;
    auto cancel = [&](int64_t done, int64_t, bool& stop) {
        cancelledAt = done;
        stop = done >= 3000;
    };
    TMemoryStream partial;
    EXPECT_EQ(
        ErrorOf<EAbort>([&] { DownloadToStream(Server.Url("/slower"), partial, true, cancel); }),
        "Operation aborted");
    EXPECT_LT(cancelledAt, 100000) << "stopped long before the end";
    EXPECT_EQ(partial.Size(), 0) << "nothing of a cancelled download is kept";
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
