#pragma once

#include <memory>

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// What the program was started with: file locations to open and the switches. A switch is
// written "--name" or "-name", or "/name" for one of the names the program knows, in any
// letter case; after "--" every argument is a location, as is every other argument.
struct TCommandLine {
    QStringList Locations;
    bool Multi = false;
    bool Update = false;
    bool Silent = false;
    bool Tray = false;
    bool Dev = false;
    bool Help = false;
    QString UsageError; // about the first switch the program does not know

    // `arguments` without the program's own name. Local paths are normalised against
    // `workingDir`, so a running instance opens the file the user meant, and only once.
    static TCommandLine Parse(const QStringList& arguments, const QString& workingDir);
};

// What "--help" prints: the switches, the locations and the environment variables read.
QString ProgramUsage();

// One request from a second start to the running instance.
struct TInstanceMessage {
    enum class TKind : quint8 { OpenLocation = 1, StartAutoUpdate, Show, Exit };
    TKind Kind;
    QString Location; // OpenLocation
    bool Silent = false; // StartAutoUpdate

    static TInstanceMessage Open(const QString& location);
    static TInstanceMessage AutoUpdate(bool silent);
    static TInstanceMessage Show();
    static TInstanceMessage Exit();
    bool operator==(const TInstanceMessage&) const = default;
};

// What a second start sends, in order: its locations, then the AutoUpdate request with
// "/update", then the show request unless "/tray".
QList<TInstanceMessage> MessagesFor(const TCommandLine& commandLine);

// The path of the current user's channel, in a folder no other user can write to: the
// user's runtime folder ($XDG_RUNTIME_DIR) when it is private, else "marivel-" and the user id
// in the temporary folder, made private on first use. Empty when that folder belongs to
// someone else or is open to others.
QString InstanceChannelName();

// The running instance's end of the channel, talking only to processes of the same user: each
// message is acknowledged as soon as it arrived and then arrives as one signal, in the order
// sent, from the event loop, so a handler that shows a dialog keeps no second start waiting.
class TInstanceServer : public QObject {
    Q_OBJECT
public:
    explicit TInstanceServer(QObject* parent = nullptr);
    ~TInstanceServer() override;

    // Listens on `name`; a socket left behind by an instance that crashed is removed first.
    // The caller makes sure no live instance listens there (`TSingleInstance` does).
    bool Listen(const QString& name);

signals:
    void openLocation(const QString& location);
    void startAutoUpdate(bool silent);
    void showRequested();
    void exitRequested();

private:
    void Accept();
    void ReadMessages(QLocalSocket* socket);
    void HandlePending();
    void Dispatch(const TInstanceMessage& message);

    std::unique_ptr<QLocalServer> Server;
    QList<TInstanceMessage> Pending; // received and acknowledged, not yet handled
    bool Handling = false;
};

// Sends `messages` to the instance listening on `name` and waits until it acknowledged all
// of them or `timeoutMs` passed. False when no instance of this user answers on `name`.
bool SendToRunningInstance(
    const QString& name, const QList<TInstanceMessage>& messages, int timeoutMs = 30000);

// The start routine's check for a running instance. `Start` either hands the command line to
// the running instance (returns false: this process should end) or makes this process the
// one that listens (returns true). With "/multi" nothing is handed over; the new instance
// listens only when no other does. Without a name every start runs on its own.
class TSingleInstance {
public:
    explicit TSingleInstance(QString name = InstanceChannelName());
    ~TSingleInstance();

    bool Start(const TCommandLine& commandLine);
    // Stops listening, so that a start from now on becomes the running instance.
    void Stop() { Receiver.reset(); }
    // The channel's receiving end once `Start` returned true; null when another instance
    // already listens (started with "/multi").
    TInstanceServer* Server() const { return Receiver.get(); }

private:
    QString Name;
    std::unique_ptr<TInstanceServer> Receiver;
};
