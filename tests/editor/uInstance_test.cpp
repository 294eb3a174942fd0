#include "editor/uInstance.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "testing.h"

TEST(CommandLine, SwitchesInAnyCaseWithSlashOrDoubleDash)
{
    const TCommandLine line = TCommandLine::Parse(
        { "/MULTI", "--Update", "/silent", "--TRAY", "/Dev" }, QStringLiteral("/home/u"));
    EXPECT_TRUE(line.Multi && line.Update && line.Silent && line.Tray && line.Dev);
    EXPECT_TRUE(line.Locations.isEmpty());

    const TCommandLine none = TCommandLine::Parse({ "a.ov2" }, QStringLiteral("/home/u"));
    EXPECT_FALSE(none.Multi || none.Update || none.Silent || none.Tray || none.Dev);
}

TEST(CommandLine, EverythingElseIsALocation)
{
    const TCommandLine line =
        TCommandLine::Parse({ "/multiple.ov2", "-multi", "--multi-x", "/tmp/b.dat", "", "../c.asc",
                                "MOBILE://\\My Documents\\d.ov2", "http://example.com/e.gpx" },
            QStringLiteral("/home/u/poi"));
    EXPECT_FALSE(line.Multi) << "only the exact switch names count";
    EXPECT_EQ(line.Locations,
        QStringList({ "/multiple.ov2", "/home/u/poi/-multi", "/home/u/poi/--multi-x", "/tmp/b.dat",
            "/home/u/c.asc", "MOBILE://\\My Documents\\d.ov2", "http://example.com/e.gpx" }))
        << "relative paths made absolute, prefixed locations kept, empty arguments dropped";
}

TEST(CommandLine, SecondStartSendsFilesThenUpdateThenShow)
{
    TCommandLine line;
    line.Locations = { "/a.ov2", "/b.ov2" };
    line.Update = true;
    line.Silent = true;
    EXPECT_EQ(MessagesFor(line),
        QList<TInstanceMessage>(
            { TInstanceMessage::Open("/a.ov2"), TInstanceMessage::Open("/b.ov2"),
                TInstanceMessage::AutoUpdate(true), TInstanceMessage::Show() }));

    line.Tray = true;
    line.Silent = false;
    EXPECT_EQ(MessagesFor(line).last(), TInstanceMessage::AutoUpdate(false)) << "no show in tray";
}

namespace {

// A channel name of this test process alone, so tests may run side by side.
QString TestChannel()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return QStringLiteral("marivel-test-%1-%2").arg(getpid()).arg(test->name());
}

// What the running instance received, in order.
struct TReceived {
    QStringList Log;

    explicit TReceived(TInstanceServer& server)
    {
        QObject::connect(&server, &TInstanceServer::openLocation,
            [this](const QString& location) { Log << "open " + location; });
        QObject::connect(&server, &TInstanceServer::startAutoUpdate,
            [this](bool silent) { Log << (silent ? "update silent" : "update"); });
        QObject::connect(&server, &TInstanceServer::showRequested, [this] { Log << "show"; });
        QObject::connect(&server, &TInstanceServer::exitRequested, [this] { Log << "exit"; });
    }
};

// Runs the helper as a second start while this process keeps serving its channel; returns
// the helper's exit code.
int SecondStart(const QString& channel, const QStringList& arguments,
    const QString& workingDir = QDir::currentPath())
{
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral(MARIVEL_INSTANCE_HELPER), QStringList { channel } + arguments);
    EXPECT_TRUE(process.waitForStarted());
    for (int waited = 0; !process.waitForFinished(10); waited += 10) {
        QCoreApplication::processEvents();
        if (waited > 20000) {
            ADD_FAILURE() << "the second start hangs";
            process.kill();
            process.waitForFinished();
        }
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

TEST(SingleInstance, SecondStartHandsOverInOrderAndEnds)
{
    const QString channel = TestChannel();
    TSingleInstance first(channel);
    ASSERT_TRUE(first.Start({}));
    ASSERT_NE(first.Server(), nullptr);
    TReceived received(*first.Server());
    QTemporaryDir dir;

    EXPECT_EQ(
        SecondStart(channel, { "a.ov2", "/update", "--SILENT", "MOBILE://\\b.ov2" }, dir.path()),
        0);
    EXPECT_EQ(received.Log,
        QStringList(
            { "open " + dir.filePath("a.ov2"), "open MOBILE://\\b.ov2", "update silent", "show" }))
        << "each message was handled before the second start ended";

    received.Log.clear();
    EXPECT_EQ(SecondStart(channel, { "/tray", "/x/c.dat", "/update" }), 0);
    EXPECT_EQ(received.Log, QStringList({ "open /x/c.dat", "update" }));

    received.Log.clear();
    EXPECT_EQ(SecondStart(channel, { "--send-exit" }), 0);
    EXPECT_EQ(received.Log, QStringList({ "exit" }));
}

TEST(SingleInstance, MultiStartsAnotherInstance)
{
    const QString channel = TestChannel();
    TSingleInstance first(channel);
    ASSERT_TRUE(first.Start({}));
    TReceived received(*first.Server());

    EXPECT_EQ(SecondStart(channel, { "/MULTI", "/a.ov2" }), 3) << "runs on";
    EXPECT_EQ(received.Log, QStringList()) << "hands nothing over";

    TCommandLine multi;
    multi.Multi = true;
    TSingleInstance second(channel);
    EXPECT_TRUE(second.Start(multi));
    EXPECT_EQ(second.Server(), nullptr) << "the first instance keeps the channel";
    EXPECT_EQ(SecondStart(channel, { "/b.ov2" }), 0);
    EXPECT_EQ(received.Log, QStringList({ "open /b.ov2", "show" }));
}

TEST(SingleInstance, NoRunningInstanceMeansThisOneRuns)
{
    const QString channel = TestChannel();
    EXPECT_FALSE(SendToRunningInstance(channel, { TInstanceMessage::Show() }));
    EXPECT_EQ(SecondStart(channel, { "/a.ov2" }), 3);

    TCommandLine multi;
    multi.Multi = true;
    TSingleInstance first(channel);
    ASSERT_TRUE(first.Start(multi));
    ASSERT_NE(first.Server(), nullptr) << "with \"/multi\" and no other instance it listens";
    TReceived received(*first.Server());
    EXPECT_EQ(SecondStart(channel, {}), 0);
    EXPECT_EQ(received.Log, QStringList({ "show" }));
}

TEST(SingleInstance, StaleSocketOfACrashedInstanceDoesNotBlock)
{
    // A socket bound and never unlinked is what a killed instance leaves behind.
    const QString channel = TestChannel();
    const QByteArray path = QDir(QDir::tempPath()).filePath(channel).toLocal8Bit();
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(path.size()), sizeof(address.sun_path));
    std::copy(path.begin(), path.end(), address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    close(fd);
    ASSERT_TRUE(QFile::exists(path));

    TSingleInstance first(channel);
    ASSERT_TRUE(first.Start({})) << "nobody answers on the stale socket";
    ASSERT_NE(first.Server(), nullptr);
    TReceived received(*first.Server());
    EXPECT_EQ(SecondStart(channel, { "/a.ov2" }), 0);
    EXPECT_EQ(received.Log, QStringList({ "open /a.ov2", "show" }));
}

TEST(SingleInstance, HungOrVanishingInstanceDoesNotKeepTheSecondStart)
{
    const QString channel = TestChannel();
    QLocalServer hung; // takes connections, never reads
    ASSERT_TRUE(hung.listen(channel));
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(SendToRunningInstance(channel, { TInstanceMessage::Show() }, 300));
    EXPECT_LT(clock.elapsed(), 5000);
    hung.close();

    // The running instance may end while it handles the exit request.
    auto server = std::make_unique<TInstanceServer>();
    ASSERT_TRUE(server->Listen(channel));
    bool exited = false;
    QObject::connect(server.get(), &TInstanceServer::exitRequested, [&] {
        exited = true;
        server.reset();
    });
    clock.restart();
    EXPECT_EQ(SecondStart(channel, { "--send-exit" }), 0);
    EXPECT_TRUE(exited);
    EXPECT_LT(clock.elapsed(), 5000) << "the closed connection ends the wait";
}

TEST(SingleInstance, ForeignBytesAreRefusedAndServingGoesOn)
{
    const QString channel = TestChannel();
    TSingleInstance first(channel);
    ASSERT_TRUE(first.Start({}));
    TReceived received(*first.Server());

    QLocalSocket stranger;
    stranger.connectToServer(channel);
    ASSERT_TRUE(stranger.waitForConnected(1000));
    stranger.write(QByteArray("\x7fGET / HTTP/1.0\r\n\r\n", 19));
    stranger.flush();
    for (int i = 0; i < 50 && stranger.state() == QLocalSocket::ConnectedState; ++i) {
        QCoreApplication::processEvents();
        stranger.waitForDisconnected(10);
    }
    EXPECT_EQ(stranger.state(), QLocalSocket::UnconnectedState) << "the stranger is cut off";
    EXPECT_EQ(received.Log, QStringList());

    EXPECT_EQ(SecondStart(channel, { "/a.ov2" }), 0);
    EXPECT_EQ(received.Log, QStringList({ "open /a.ov2", "show" }));
}

TEST(SingleInstance, MessagesReadBeforeTheSenderGaveUpAreStillHandled)
{
    // The first open shows a dialog for longer than the sender waits; the sender leaves.
    const QString channel = TestChannel();
    TInstanceServer server;
    ASSERT_TRUE(server.Listen(channel));
    QLocalSocket sender;
    QStringList opened;
    QObject::connect(&server, &TInstanceServer::openLocation, [&](const QString& location) {
        opened << location;
        if (opened.size() > 1)
            return;
        QTimer::singleShot(0, [&] { sender.abort(); });
        QEventLoop dialog;
        QTimer::singleShot(300, &dialog, &QEventLoop::quit);
        dialog.exec();
    });

    sender.connectToServer(channel);
    ASSERT_TRUE(sender.waitForConnected(1000));
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    for (const char* location : { "/a.ov2", "/b.ov2" })
        out << quint8(TInstanceMessage::TKind::OpenLocation) << QString(location) << false;
    sender.write(bytes);
    ASSERT_TRUE(sender.waitForBytesWritten(1000));
    for (int i = 0; i < 100 && opened.size() < 2; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(opened, QStringList({ "/a.ov2", "/b.ov2" }));
}
