#include "editor/uInstance.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testing.h"

TEST(CommandLine, HelpAndUnknownSwitchesAreNoFiles)
{
    for (const char* help : { "--help", "-h", "/HELP", "-help" }) {
        const TCommandLine line = TCommandLine::Parse({ "a.ov2", help }, "/home/u");
        EXPECT_TRUE(line.Help) << help;
        EXPECT_EQ(line.Locations, QStringList { "/home/u/a.ov2" }) << help;
    }

    const TCommandLine unknown =
        TCommandLine::Parse({ "--multi-x", "-q", "--TRAY", "a.ov2" }, "/home/u");
    EXPECT_EQ(unknown.UsageError, "Unknown switch \"--multi-x\".") << "the first one is named";
    EXPECT_TRUE(unknown.Tray);
    EXPECT_FALSE(unknown.Help);
    EXPECT_EQ(unknown.Locations, QStringList { "/home/u/a.ov2" });

    // "/" begins a switch only before a switch's name; an empty argument is no file.
    const TCommandLine files =
        TCommandLine::Parse({ "/Dev", "/multiple.ov2", "", "--", "--help", "-x.ov2" }, "/u");
    EXPECT_TRUE(files.Dev);
    EXPECT_FALSE(files.Multi);
    EXPECT_FALSE(files.Help) << "after \"--\" only files";
    EXPECT_EQ(files.UsageError, "");
    EXPECT_EQ(files.Locations, QStringList({ "/multiple.ov2", "/u/--help", "/u/-x.ov2" }));
}

namespace {

// A channel of this test alone, in a folder only this user may enter, so tests may run side by
// side.
QString TestChannel()
{
    static const QTemporaryDir folder;
    return folder.filePath(
        QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()));
}

// The bytes a second start sends for `messages`.
QByteArray Wire(const QList<TInstanceMessage>& messages)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    for (const TInstanceMessage& message : messages)
        out << quint8(message.Kind) << message.Location << message.Silent;
    return bytes;
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

// Waits for `process` to end while this process keeps serving its channel; then the requests
// it handed over, handled from the event loop, have been handled too.
void AwaitServing(QProcess& process)
{
    const QDeadlineTimer hang(20000);
    // Checked by state: once its end was noticed during processEvents, waitForFinished says false.
    while (process.state() != QProcess::NotRunning && !hang.hasExpired()) {
        QCoreApplication::processEvents();
        process.waitForFinished(10);
    }
    if (process.state() != QProcess::NotRunning) {
        ADD_FAILURE() << "the helper hangs";
        process.kill();
        process.waitForFinished();
    }
    QCoreApplication::processEvents();
}

int ExitCodeOf(const QProcess& process)
{
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

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
    AwaitServing(process);
    return ExitCodeOf(process);
}

} // namespace

TEST(CommandLine, TheProgramAnswersOnTheConsoleAndOpensNoWindow)
{
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MARIVEL_CONFIG_DIR", config.path());
    environment.insert("XDG_RUNTIME_DIR", config.path());
    // Help needs no display: a window system that cannot be reached must not matter.
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    QProcess help;
    help.setProcessEnvironment(environment);
    help.start(QStringLiteral(MARIVEL_PROGRAM), { "--help" });
    ASSERT_TRUE(help.waitForFinished(20000));
    EXPECT_EQ(ExitCodeOf(help), 0);
    EXPECT_EQ(QString::fromLocal8Bit(help.readAllStandardOutput()), ProgramUsage());

    environment.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess unknown;
    unknown.setProcessEnvironment(environment);
    unknown.start(QStringLiteral(MARIVEL_PROGRAM), { "--halp", "a.ov2" });
    ASSERT_TRUE(unknown.waitForFinished(20000));
    EXPECT_EQ(ExitCodeOf(unknown), 2);
    EXPECT_EQ(unknown.readAllStandardOutput(), "");
    EXPECT_TRUE(unknown.readAllStandardError().startsWith("Unknown switch \"--halp\".\n\nUsage:"));
    EXPECT_TRUE(QDir(config.path()).isEmpty()) << "no settings, no channel";
}

// Without a running instance a start runs and listens, with "/multi" too. A second start hands
// its command line over in order and ends; with "/multi" it runs on its own and hands nothing
// over.
TEST(SingleInstance, SecondStartHandsOverInOrderAndEndsUnlessMulti)
{
    const QString channel = TestChannel();
    EXPECT_EQ(SecondStart(channel, { "/a.ov2" }), 3);
    TCommandLine multi;
    multi.Multi = true;
    TSingleInstance first(channel);
    ASSERT_TRUE(first.Start(multi));
    ASSERT_NE(first.Server(), nullptr);
    TReceived received(*first.Server());
    QTemporaryDir dir;

    EXPECT_EQ(
        SecondStart(channel, { "a.ov2", "/update", "--SILENT", "MOBILE://\\b.ov2" }, dir.path()),
        0);
    EXPECT_EQ(received.Log,
        QStringList(
            { "open " + dir.filePath("a.ov2"), "open MOBILE://\\b.ov2", "update silent", "show" }))
        << "each message was taken before the second start ended, and handled in order";

    received.Log.clear();
    EXPECT_EQ(SecondStart(channel, { "/tray", "/x/c.dat", "/update" }), 0);
    EXPECT_EQ(received.Log, QStringList({ "open /x/c.dat", "update" }));

    received.Log.clear();
    EXPECT_EQ(SecondStart(channel, { "/MULTI", "/a.ov2" }), 3) << "runs on";
    TSingleInstance second(channel);
    EXPECT_TRUE(second.Start(multi));
    EXPECT_EQ(second.Server(), nullptr) << "the first instance keeps the channel";
    EXPECT_EQ(received.Log, QStringList()) << "hands nothing over";

    EXPECT_EQ(SecondStart(channel, { "--send-exit" }), 0);
    EXPECT_EQ(received.Log, QStringList({ "exit" }));
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

// The first open shows a dialog for as long as the user likes. The sender must not wait for it:
// it has its acknowledgements before the handling starts, and leaves. Its connection goes away
// while the dialog is open, and what it sent is still handled.
TEST(SingleInstance, MessagesAreAcknowledgedBeforeTheyAreHandledAndHandledWhenTheSenderLeft)
{
    const QString channel = TestChannel();
    TInstanceServer server;
    ASSERT_TRUE(server.Listen(channel));
    QLocalSocket sender;
    QStringList opened;
    QByteArray acknowledged;
    QObject::connect(&server, &TInstanceServer::openLocation, [&](const QString& location) {
        opened << location;
        if (opened.size() > 1)
            return;
        if (sender.waitForReadyRead(1000))
            acknowledged = sender.readAll();
        sender.abort();
        QEventLoop dialog;
        QTimer::singleShot(300, &dialog, &QEventLoop::quit);
        dialog.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });

    sender.connectToServer(channel);
    ASSERT_TRUE(sender.waitForConnected(1000));
    sender.write(Wire({ TInstanceMessage::Open("/a.ov2"), TInstanceMessage::Open("/b.ov2") }));
    ASSERT_TRUE(sender.waitForBytesWritten(1000));
    for (int i = 0; i < 100 && opened.size() < 2; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(acknowledged.size(), 2);
    EXPECT_EQ(opened, QStringList({ "/a.ov2", "/b.ov2" }));
}

// Bytes not of our program: an unknown kind of message, an open request announcing a location of
// 4 GB, and an open request followed by a kind that does not exist. Each stranger is cut off; the
// request before the foreign bytes still counts, and its handler's failure is shown as a user
// error; the instance runs on.
TEST(SingleInstance, ForeignBytesAreRefusedAndServingGoesOn)
{
    const QString channel = TestChannel();
    QProcess running;
    running.start(QStringLiteral(MARIVEL_INSTANCE_HELPER), { channel, "--serve" });
    ASSERT_TRUE(running.waitForReadyRead(20000));
    ASSERT_EQ(running.readLine(), "ready\n");

    const QByteArray endless = QByteArray::fromHex("01fffffff0") + QByteArray(2 << 20, 'x');
    for (const QByteArray& bytes : { QByteArray("\x7fGET / HTTP/1.0\r\n\r\n", 19), endless,
             QByteArray::fromHex("01000000020041000000") }) {
        QLocalSocket stranger;
        stranger.connectToServer(channel);
        ASSERT_TRUE(stranger.waitForConnected(5000));
        stranger.write(bytes);
        stranger.waitForDisconnected(5000);
        EXPECT_EQ(stranger.state(), QLocalSocket::UnconnectedState) << "the stranger is cut off";
    }
    EXPECT_EQ(SecondStart(channel, { "--send-exit" }), 0);
    AwaitServing(running);
    EXPECT_EQ(ExitCodeOf(running), 0) << "the instance survived";
    EXPECT_EQ(running.readAllStandardOutput(), "user error: File not found: A.\n");
}

namespace {

constexpr uid_t OtherUser = 65534; // "nobody"

// Lets every user into `folder`.
QString OpenFolder(const QTemporaryDir& folder)
{
    chmod(QFile::encodeName(folder.path()).constData(), 0777);
    return folder.path();
}

} // namespace

TEST(InstanceChannel, LivesInTheUsersRuntimeFolderElseInAFolderNoOtherUserMayEnter)
{
    QTemporaryDir runtime, temp;
    {
        const TEnvironment environment("XDG_RUNTIME_DIR", runtime.path());
        EXPECT_EQ(InstanceChannelName(), runtime.filePath("marivel-instance"));
    }
    const TEnvironment tmpdir("TMPDIR", temp.path());
    const QString own = temp.filePath(QStringLiteral("marivel-%1").arg(geteuid()));
    const QString channel = own + "/marivel-instance";
    {
        const TEnvironment unset("XDG_RUNTIME_DIR", QString());
        EXPECT_EQ(InstanceChannelName(), channel);
    }
    const TEnvironment open("XDG_RUNTIME_DIR", OpenFolder(runtime));
    EXPECT_EQ(InstanceChannelName(), channel) << "a runtime folder open to others is not used";
    struct stat status { };
    ASSERT_EQ(stat(QFile::encodeName(own).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0700u);
    EXPECT_EQ(status.st_uid, geteuid());

    // Made open, or by someone else, before this user came: no channel, each start on its own.
    chmod(QFile::encodeName(own).constData(), 0777);
    EXPECT_EQ(InstanceChannelName(), QString()) << "open to others";
    ASSERT_TRUE(QDir().rmdir(own));
    ASSERT_TRUE(QFile::link(temp.path(), own));
    EXPECT_EQ(InstanceChannelName(), QString()) << "a link to a folder";
    ASSERT_TRUE(QFile::remove(own));
    ASSERT_TRUE(QDir().mkdir(own));
    if (chown(QFile::encodeName(own).constData(), OtherUser, OtherUser) == 0) {
        EXPECT_EQ(InstanceChannelName(), QString()) << "another user's";
    }

    TSingleInstance alone((QString()));
    EXPECT_TRUE(alone.Start(TCommandLine::Parse({ "/a.ov2" }, QDir::rootPath())));
    EXPECT_EQ(alone.Server(), nullptr);
}

// A channel in a folder every user may enter, as if its own folder no longer kept them out,
// and the helper run as another user of this machine; that takes root.
class AnotherUser : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "acting as another user takes root";
        OpenFolder(Folder);
    }

    void Start(QProcess& process, const QStringList& arguments)
    {
        process.setChildProcessModifier([] {
            if (setgroups(0, nullptr) != 0 || setgid(OtherUser) != 0 || setuid(OtherUser) != 0)
                _exit(99);
        });
        process.start(QStringLiteral(MARIVEL_INSTANCE_HELPER), QStringList { Channel } + arguments);
    }

    QTemporaryDir Folder;
    const QString Channel = Folder.filePath("channel");
};

TEST_F(AnotherUser, RequestsAreRefused)
{
    TInstanceServer server;
    ASSERT_TRUE(server.Listen(Channel));
    chmod(QFile::encodeName(Channel).constData(), 0777);
    TReceived received(server);

    QProcess stranger;
    Start(stranger, { "--send-raw", Wire({ TInstanceMessage::Open("/home/u/a.ov2") }).toHex() });
    AwaitServing(stranger);
    EXPECT_EQ(ExitCodeOf(stranger), 0);
    EXPECT_EQ(stranger.readAllStandardOutput(), "0\n") << "no acknowledgement";
    EXPECT_EQ(received.Log, QStringList());
}

TEST_F(AnotherUser, ItsListenerIsToldNothing)
{
    QProcess impostor;
    Start(impostor, { "--listen-raw" });
    ASSERT_TRUE(impostor.waitForReadyRead(20000));
    ASSERT_EQ(impostor.readLine(), "ready\n");

    EXPECT_FALSE(SendToRunningInstance(Channel, { TInstanceMessage::Open("/root/a.ov2") }, 1000));
    AwaitServing(impostor);
    EXPECT_EQ(impostor.readAllStandardOutput(), "0\n") << "bytes received";
}
