// A start of the program's application object for the single-instance and fault tests; what
// reached the user is printed, one line each. With --faults, posted events whose handlers fail
// (a fault, a fault after the receiver deleted itself, as a socket that its handler closes) must
// each be shown while the program goes on and ends normally; a failing handler's user error is
// --serve's. Otherwise a start on the channel named by the first argument; by default a second
// start: exits with 0 when it handed its command line over, 3 when it would have become a
// running instance itself. The other modes:
//   --send-exit  sends the exit request, as another program may;
//   --serve      is the running instance: each open fails with a user error, as the main
//                window's open of a file that is not there; ends at the exit request;
//   --send-raw HEX  writes the bytes as a stranger would and prints how many bytes came back;
//   --listen-raw    takes one connection as a stranger would and prints how many bytes it got.

#include <cstdio>
#include <stdexcept>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QLocalServer>
#include <QLocalSocket>

#include "editor/fCrashReport.h"
#include "editor/uInstance.h"
#include "platform/uExceptions.h"

namespace {

struct TPrintingSink : IFaultSink {
    void ShowUserError(const QString& text) override { Print("user error: " + text); }
    void ShowFault(const TFaultReport& report) override
    {
        Print(QStringLiteral("fault: %1 (%2) in %3").arg(report.What, report.Type, report.Where));
    }
    static void Print(const QString& line)
    {
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    }
};

const QEvent::Type FaultEvent = static_cast<QEvent::Type>(QEvent::User + 2);
const QEvent::Type DeleteThenFaultEvent = static_cast<QEvent::Type>(QEvent::User + 3);

class TThrower : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == FaultEvent)
            throw std::out_of_range("index 7");
        if (event->type() == DeleteThenFaultEvent) {
            delete this;
            throw std::runtime_error("closed");
        }
        return QObject::event(event);
    }
};

int Faults(TMarivelApplication& app)
{
    TThrower thrower;
    thrower.setObjectName("thrower");
    QCoreApplication::postEvent(&thrower, new QEvent(FaultEvent));
    QCoreApplication::postEvent(new TThrower, new QEvent(DeleteThenFaultEvent));
    // Queued behind the events, so the program ends only after all of them failed.
    QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}

int Serve(TMarivelApplication& app, const QString& channel)
{
    TSingleInstance instance(channel);
    if (!instance.Start({}) || !instance.Server())
        return 2;
    TInstanceServer* server = instance.Server();
    QObject::connect(server, &TInstanceServer::openLocation, [](const QString& location) {
        throw EUserError(QStringLiteral("File not found: %1").arg(location));
    });
    QObject::connect(server, &TInstanceServer::exitRequested, &app, &QCoreApplication::quit);
    TPrintingSink::Print(QStringLiteral("ready"));
    return app.exec();
}

int SendRaw(const QString& channel, const QByteArray& bytes)
{
    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(5000))
        return 1;
    socket.write(bytes);
    socket.waitForBytesWritten(5000);
    QByteArray answer;
    while (socket.waitForReadyRead(5000))
        answer += socket.readAll();
    TPrintingSink::Print(QString::number(answer.size()));
    return 0;
}

int ListenRaw(const QString& channel)
{
    QLocalServer server;
    server.setSocketOptions(QLocalServer::WorldAccessOption);
    if (!server.listen(channel))
        return 1;
    TPrintingSink::Print(QStringLiteral("ready"));
    if (!server.waitForNewConnection(20000))
        return 1;
    QLocalSocket* socket = server.nextPendingConnection();
    QByteArray received;
    while (socket->waitForReadyRead(5000))
        received += socket->readAll();
    received += socket->readAll();
    TPrintingSink::Print(QString::number(received.size()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    TMarivelApplication app(argc, argv);
    TPrintingSink sink;
    app.SetFaultSink(&sink);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--faults"))
        return Faults(app);
    const QString channel = arguments.takeFirst();
    const QString mode = arguments.value(0);
    if (mode == QLatin1String("--send-exit"))
        return SendToRunningInstance(channel, { TInstanceMessage::Exit() }) ? 0 : 1;
    if (mode == QLatin1String("--serve"))
        return Serve(app, channel);
    if (mode == QLatin1String("--send-raw"))
        return SendRaw(channel, QByteArray::fromHex(arguments.value(1).toLatin1()));
    if (mode == QLatin1String("--listen-raw"))
        return ListenRaw(channel);
    TSingleInstance instance(channel);
    return instance.Start(TCommandLine::Parse(arguments, QDir::currentPath())) ? 3 : 0;
}
