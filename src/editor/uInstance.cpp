#include "editor/uInstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QScopeGuard>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "locations/uLocations.h"

namespace {

const QStringList SwitchNames = { QStringLiteral("multi"), QStringLiteral("update"),
    QStringLiteral("silent"), QStringLiteral("tray"), QStringLiteral("dev"), QStringLiteral("help"),
    QStringLiteral("h") };

const QString EndOfSwitches = QStringLiteral("--");

// An argument beginning with "-" is always meant as a switch; one beginning with "/" only
// when it names a switch, as it is a path otherwise.
bool IsSwitch(const QString& argument)
{
    if (argument.startsWith(QLatin1Char('-')))
        return argument.size() > 1;
    return argument.startsWith(QLatin1Char('/')) && SwitchNames.contains(argument.mid(1).toLower());
}

// The switch's name in lower case, without its "/", "-" or "--".
QString SwitchName(const QString& argument)
{
    return argument.mid(argument.startsWith(EndOfSwitches) ? 2 : 1).toLower();
}

// Both ends of the channel speak this one stream version.
constexpr QDataStream::Version WireVersion = QDataStream::Qt_6_0;
constexpr char Acknowledgement = '\x06';
// How long a start waits for a running instance to take its connection.
constexpr int ConnectTimeoutMs = 2000;
// How long a start waits for the lock that keeps two starts from both deciding to listen.
constexpr int LockTimeoutMs = 10000;
// More than any location takes: a sender whose message is still incomplete after this many
// bytes is not our program.
constexpr qint64 MaxPendingBytes = 1 << 20;

// Only a folder that is this user's alone keeps another user from taking the channel's name
// first. lstat, so that a link to someone else's folder does not pass.
bool IsPrivateFolder(const QString& path)
{
    struct stat status { };
    return lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode)
        && status.st_uid == geteuid() && (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// The user's runtime folder when it is private, else a folder of our own in the temporary
// folder; empty when that one is not private either (someone else made it first).
QString ChannelFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && IsPrivateFolder(runtime))
        return runtime;
    const QString own =
        QDir(QDir::tempPath()).filePath(QStringLiteral("marivel-%1").arg(geteuid()));
    mkdir(QFile::encodeName(own).constData(), S_IRWXU);
    return IsPrivateFolder(own) ? own : QString();
}

// Whether the process at the other end runs as this user: the folder keeps others out, this
// keeps out whoever got past it.
bool PeerIsThisUser(const QLocalSocket& socket)
{
    ucred peer {};
    socklen_t size = sizeof(peer);
    return getsockopt(
               static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size)
        == 0
        && peer.uid == geteuid();
}

// Connects `socket` to the instance listening on `name`; false when none answers or the one
// that answers is not this user's.
bool ConnectToInstance(QLocalSocket& socket, const QString& name)
{
    socket.connectToServer(name);
    return socket.waitForConnected(ConnectTimeoutMs) && PeerIsThisUser(socket);
}

QByteArray Encode(const QList<TInstanceMessage>& messages)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(WireVersion);
    for (const TInstanceMessage& message : messages)
        out << static_cast<quint8>(message.Kind) << message.Location << message.Silent;
    return bytes;
}

bool IsKnownKind(quint8 kind)
{
    return kind >= static_cast<quint8>(TInstanceMessage::TKind::OpenLocation)
        && kind <= static_cast<quint8>(TInstanceMessage::TKind::Exit);
}

bool InstanceAnswers(const QString& name)
{
    QLocalSocket socket;
    return ConnectToInstance(socket, name);
}

bool WriteAll(QLocalSocket& socket, const QByteArray& bytes, const QDeadlineTimer& deadline)
{
    socket.write(bytes);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            return false;
    return true;
}

void WaitForAcknowledgements(QLocalSocket& socket, qsizetype count, const QDeadlineTimer& deadline)
{
    qsizetype acknowledged = 0;
    while (acknowledged < count) {
        if (socket.bytesAvailable() == 0
            && !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return;
        acknowledged += socket.readAll().count(Acknowledgement);
    }
}

// The complete messages waiting in `socket`. Whatever is not our own program speaking is cut
// off before its bytes pile up; the messages before it still count.
QList<TInstanceMessage> TakeMessages(QLocalSocket& socket)
{
    QList<TInstanceMessage> messages;
    QDataStream in(&socket);
    in.setVersion(WireVersion);
    for (;;) {
        in.startTransaction();
        quint8 kind = 0;
        TInstanceMessage message;
        in >> kind;
        if (in.status() == QDataStream::Ok && !IsKnownKind(kind)) {
            socket.abort();
            return messages;
        }
        in >> message.Location >> message.Silent;
        if (!in.commitTransaction()) {
            if (in.status() == QDataStream::ReadCorruptData
                || socket.bytesAvailable() > MaxPendingBytes)
                socket.abort();
            return messages;
        }
        message.Kind = static_cast<TInstanceMessage::TKind>(kind);
        messages << message;
    }
}

} // namespace

TCommandLine TCommandLine::Parse(const QStringList& arguments, const QString& workingDir)
{
    TCommandLine result;
    bool switches = true;
    for (const QString& argument : arguments) {
        if (switches && argument == EndOfSwitches) {
            switches = false;
            continue;
        }
        if (!switches || !IsSwitch(argument)) {
            if (!argument.isEmpty())
                result.Locations << NormalizedLocation(argument, workingDir);
            continue;
        }
        const QString name = SwitchName(argument);
        if (name == QLatin1String("multi"))
            result.Multi = true;
        else if (name == QLatin1String("update"))
            result.Update = true;
        else if (name == QLatin1String("silent"))
            result.Silent = true;
        else if (name == QLatin1String("tray"))
            result.Tray = true;
        else if (name == QLatin1String("dev"))
            result.Dev = true;
        else if (name == QLatin1String("help") || name == QLatin1String("h"))
            result.Help = true;
        else if (result.UsageError.isEmpty())
            result.UsageError = QStringLiteral("Unknown switch \"%1\".").arg(argument);
    }
    return result;
}

QString ProgramUsage()
{
    return QStringLiteral(
        "Usage: marivel [switches] [FILE...]\n"
        "Opens each FILE in a document window of its own. When Marivel already runs for this\n"
        "user, the files are handed to it and this start ends.\n"
        "A FILE is a local path, FILE://path, MOBILE://\\device\\path (a file on the\n"
        "handheld device) or a web address (http://...).\n"
        "\n"
        "Switches (also written -name, or /name; letter case does not matter):\n"
        "  --multi    start another Marivel instead of handing the files over\n"
        "  --tray     start hidden in the notification area\n"
        "  --update   run an AutoUpdate shortly after the start\n"
        "  --silent   with --update: run it without questions\n"
        "  --dev      leave today's date out of generated file headers\n"
        "  -h, --help show this help and end\n"
        "  --         every argument after it is a FILE, also one beginning with \"-\"\n"
        "Qt's own options (-platform, -style, ...) are understood too.\n"
        "\n"
        "Environment:\n"
        "  MARIVEL_CONFIG_DIR   folder of the settings file (default: marivel in the\n"
        "                       user's configuration folder, ~/.config/marivel)\n"
        "  MARIVEL_HOME         folder of maps and downloaded site indexes (default:\n"
        "                       ~/.local/share/marivel; the program's folder in a build)\n"
        "  MARIVEL_WORLD_PICTURES folder of the World maps' earth.jpg and night.jpg\n"
        "                       (default: /usr/share/xplanet/images)\n"
        "  MARIVEL_RAPI_LIBRARY the Remote API library for device files (default: librapi\n"
        "                       in the installation's lib/marivel, or beside the program\n"
        "                       in a build)\n"
        "  MARIVEL_DEVICE_ROOT  the folder librapi serves as the device (default: the\n"
        "                       setting DeviceFolder, else a mounted navigator)\n"
        "  MARIVEL_MEDIA_ROOTS  \":\"-separated folders where librapi looks for a mounted\n"
        "                       navigator (default: /media/$USER:/run/media/$USER)\n"
        "  MARIVEL_RAPI_CONNECT_DELAY_MS  milliseconds librapi takes to connect, to try\n"
        "                       out a slow device\n"
        "  XDG_RUNTIME_DIR      where a second start finds the running Marivel (else a\n"
        "                       private folder in the temporary folder)\n");
}

TInstanceMessage TInstanceMessage::Open(const QString& location)
{
    return { TKind::OpenLocation, location };
}

TInstanceMessage TInstanceMessage::AutoUpdate(bool silent)
{
    return { TKind::StartAutoUpdate, QString(), silent };
}

TInstanceMessage TInstanceMessage::Show() { return { TKind::Show, QString() }; }

TInstanceMessage TInstanceMessage::Exit() { return { TKind::Exit, QString() }; }

QList<TInstanceMessage> MessagesFor(const TCommandLine& commandLine)
{
    QList<TInstanceMessage> messages;
    for (const QString& location : commandLine.Locations)
        messages << TInstanceMessage::Open(location);
    if (commandLine.Update)
        messages << TInstanceMessage::AutoUpdate(commandLine.Silent);
    if (!commandLine.Tray)
        messages << TInstanceMessage::Show();
    return messages;
}

QString InstanceChannelName()
{
    const QString folder = ChannelFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("marivel-instance"));
}

TInstanceServer::TInstanceServer(QObject* parent)
    : QObject(parent)
    , Server(std::make_unique<QLocalServer>())
{
    // Only the same user may hand files to this instance.
    Server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(Server.get(), &QLocalServer::newConnection, this, &TInstanceServer::Accept);
}

TInstanceServer::~TInstanceServer() = default;

bool TInstanceServer::Listen(const QString& name)
{
    if (Server->listen(name))
        return true;
    if (Server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalServer::removeServer(name);
    return Server->listen(name);
}

void TInstanceServer::Accept()
{
    while (QLocalSocket* socket = Server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(*socket)) {
            socket->abort();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadMessages(socket); });
        ReadMessages(socket); // bytes may have come with the connection
    }
}

void TInstanceServer::ReadMessages(QLocalSocket* socket)
{
    // Each message is acknowledged as soon as it is here and handled afterwards, outside the
    // socket's signal: a handler may keep a dialog open for as long as the user likes, fail or
    // end the program, while the sender goes its way and its socket goes away.
    const QList<TInstanceMessage> messages = TakeMessages(*socket);
    if (socket->isOpen()) {
        socket->write(QByteArray(messages.size(), Acknowledgement));
        socket->flush();
    }
    Pending << messages;
    QMetaObject::invokeMethod(this, &TInstanceServer::HandlePending, Qt::QueuedConnection);
}

// In order and one at a time: requests that come while a handler's dialog runs an event loop
// wait for it, and those after a handler that failed follow from the event loop.
void TInstanceServer::HandlePending()
{
    if (Handling)
        return;
    Handling = true;
    const QPointer<TInstanceServer> self(this);
    const auto done = qScopeGuard([&] {
        if (!self)
            return; // a handler ended the channel
        Handling = false;
        if (!Pending.isEmpty())
            QMetaObject::invokeMethod(this, &TInstanceServer::HandlePending, Qt::QueuedConnection);
    });
    while (self && !Pending.isEmpty())
        Dispatch(Pending.takeFirst());
}

void TInstanceServer::Dispatch(const TInstanceMessage& message)
{
    switch (message.Kind) {
    case TInstanceMessage::TKind::OpenLocation:
        emit openLocation(message.Location);
        break;
    case TInstanceMessage::TKind::StartAutoUpdate:
        emit startAutoUpdate(message.Silent);
        break;
    case TInstanceMessage::TKind::Show:
        emit showRequested();
        break;
    case TInstanceMessage::TKind::Exit:
        emit exitRequested();
        break;
    }
}

bool SendToRunningInstance(
    const QString& name, const QList<TInstanceMessage>& messages, int timeoutMs)
{
    QLocalSocket socket;
    if (!ConnectToInstance(socket, name))
        return false;
    // A running instance that hangs must not keep this start waiting for ever: what was
    // written is read when it wakes up.
    const QDeadlineTimer deadline(timeoutMs);
    if (WriteAll(socket, Encode(messages), deadline))
        WaitForAcknowledgements(socket, messages.size(), deadline);
    socket.disconnectFromServer();
    return true;
}

TSingleInstance::TSingleInstance(QString name)
    : Name(std::move(name))
{
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Start(const TCommandLine& commandLine)
{
    if (Name.isEmpty())
        return true; // no place safe from other users: this start runs on its own
    // Two starts at the same moment would both find no instance and both listen.
    QLockFile lock(Name + QStringLiteral(".lock"));
    lock.tryLock(LockTimeoutMs);
    if (commandLine.Multi) {
        if (InstanceAnswers(Name))
            return true;
    } else if (SendToRunningInstance(Name, MessagesFor(commandLine))) {
        return false;
    }
    Receiver = std::make_unique<TInstanceServer>();
    if (!Receiver->Listen(Name))
        Receiver.reset();
    return true;
}
