#include "editor/uInstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QRegularExpression>

#include <pwd.h>
#include <unistd.h>

namespace {

const QStringList SwitchNames = { QStringLiteral("multi"), QStringLiteral("update"),
    QStringLiteral("silent"), QStringLiteral("tray"), QStringLiteral("dev") };

// The switch's name without its "/" or "--"; empty for anything that is no switch.
QString SwitchName(const QString& argument)
{
    QString name;
    if (argument.startsWith(QLatin1String("--")))
        name = argument.mid(2).toLower();
    else if (argument.startsWith(QLatin1Char('/')))
        name = argument.mid(1).toLower();
    return SwitchNames.contains(name) ? name : QString();
}

// Locations with a prefix ("MOBILE://", "HTTP://", ...) and absolute paths stay as written.
QString AbsoluteLocation(const QString& argument, const QString& workingDir)
{
    if (argument.startsWith(QLatin1Char('/')) || argument.contains(QLatin1String("://")))
        return argument;
    return QDir::cleanPath(QDir(workingDir).absoluteFilePath(argument));
}

// Both ends of the channel speak this one stream version.
constexpr QDataStream::Version WireVersion = QDataStream::Qt_6_0;
constexpr char Acknowledgement = '\x06';
// How long a start waits for a running instance to take its connection.
constexpr int ConnectTimeoutMs = 2000;
// How long a start waits for the lock that keeps two starts from both deciding to listen.
constexpr int LockTimeoutMs = 10000;

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
    socket.connectToServer(name);
    return socket.waitForConnected(ConnectTimeoutMs);
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
// off before its bytes pile up.
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
            if (in.status() == QDataStream::ReadCorruptData)
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
    for (const QString& argument : arguments) {
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
        else if (!argument.isEmpty())
            result.Locations << AbsoluteLocation(argument, workingDir);
    }
    return result;
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
    const passwd* user = getpwuid(getuid());
    QString name = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(getuid());
    // The name becomes a file name in the temporary folder.
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    return QStringLiteral("marivel-") + name;
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadMessages(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        ReadMessages(socket); // bytes may have come with the connection
    }
}

void TInstanceServer::ReadMessages(QLocalSocket* socket)
{
    // A handler may run a dialog of its own, during which the sender may give up and its
    // socket go away, or it may end the program: what was read is still handled, in order,
    // unless this end of the channel is gone.
    const QPointer<TInstanceServer> self(this);
    const QPointer<QLocalSocket> alive(socket);
    while (alive) {
        const QList<TInstanceMessage> messages = TakeMessages(*socket);
        if (messages.isEmpty())
            return;
        for (const TInstanceMessage& message : messages) {
            if (!self)
                return;
            Dispatch(message);
            if (alive) {
                socket->putChar(Acknowledgement);
                socket->flush();
            }
        }
    }
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
    socket.connectToServer(name);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    // A running instance that is busy (a dialog open) takes its time; one that hangs must not
    // keep this start waiting for ever: what was written is read when it wakes up.
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
    // Two starts at the same moment would both find no instance and both listen.
    QLockFile lock(QDir(QDir::tempPath()).filePath(Name + QStringLiteral(".lock")));
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
