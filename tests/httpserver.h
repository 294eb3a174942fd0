#pragma once

#include <map>

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A small HTTP server on 127.0.0.1 for download tests. It lives in the test's thread: a
// download waits in an event loop, and that loop serves the server too.
class THttpTestServer {
public:
    struct TResponse {
        enum class TMode {
            Whole,
            CloseEarly, // half the promised body, then the connection closes
            Silent, // reads the request and never answers
            HeadOnly, // the head, promising the body, and then nothing
            Slow, // the body in chunks of `ChunkSize` bytes, one every `Interval` ms
            // The body `Repeat` times, one every `Interval` ms, without a length; then the
            // connection closes. To the client it is a body that does not end.
            Unbounded,
        };
        int Status = 200;
        QByteArray Reason; // the status line's reason phrase, when not the usual one
        QByteArray Body;
        QByteArray Headers; // extra header lines, each ended by CR LF
        TMode Mode = TMode::Whole;
        int ChunkSize = 1000;
        int Interval = 5;
        int Repeat = 1;
        bool NotModifiedWhenAsked = false; // answers 304 to a conditional request
        QByteArray ProxyLogin; // when set, "user:password" a proxy must be given first
    };

    THttpTestServer()
    {
        Server.listen(QHostAddress::LocalHost);
        QObject::connect(&Server, &QTcpServer::newConnection, [this] { Accept(); });
    }

    QString Url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(Server.serverPort()).arg(path);
    }
    quint16 Port() const { return Server.serverPort(); }

    // Answers `body` to requests of `path` (as sent, spaces encoded); the response returned
    // may be changed further.
    TResponse& Serve(const QByteArray& path, const QByteArray& body = {})
    {
        TResponse& response = Routes[path];
        response.Body = body;
        return response;
    }

    // Stops listening and drops the connections kept open, as a server that went down.
    void Stop()
    {
        Server.close();
        for (QTcpSocket* socket : Server.findChildren<QTcpSocket*>())
            socket->abort();
    }

    // The head of every request received, in order.
    QList<QByteArray> Requests;

private:
    void Accept()
    {
        while (QTcpSocket* socket = Server.nextPendingConnection()) {
            auto* head = new QByteArray;
            QObject::connect(socket, &QObject::destroyed, [head] { delete head; });
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket, head] {
                head->append(socket->readAll());
                if (head->contains("\r\n\r\n")) {
                    Requests.append(head->left(head->indexOf("\r\n\r\n")));
                    Answer(socket, Requests.last());
                    head->clear();
                }
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    // The path of the request line, without query and without the scheme and host that a
    // request through a proxy carries.
    static QByteArray PathOf(const QByteArray& head)
    {
        QByteArray target = head.split(' ').value(1);
        if (target.startsWith("http://"))
            target = target.mid(target.indexOf('/', 7));
        return target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
    }

    void Answer(QTcpSocket* socket, const QByteArray& head)
    {
        auto route = Routes.find(PathOf(head));
        if (route == Routes.end())
            return Send(socket, Plain(404, "", "not found"));
        const TResponse& response = route->second;
        if (!response.ProxyLogin.isEmpty()
            && !head.contains("Proxy-Authorization: Basic " + response.ProxyLogin.toBase64()))
            return Send(socket, Plain(407, "Proxy-Authenticate: Basic realm=\"test\"\r\n", ""));
        if (response.NotModifiedWhenAsked && head.toLower().contains("if-modified-since"))
            return Send(socket, Plain(304, response.Headers, ""));
        switch (response.Mode) {
        case TResponse::TMode::Whole:
            return Send(socket, response);
        case TResponse::TMode::CloseEarly:
            socket->write(Head(response, response.Body.size()));
            socket->write(response.Body.left(response.Body.size() / 2));
            socket->flush();
            socket->disconnectFromHost();
            return;
        case TResponse::TMode::Silent:
            return;
        case TResponse::TMode::HeadOnly:
            socket->write(Head(response, response.Body.size()));
            return;
        case TResponse::TMode::Slow:
            socket->write(Head(response, response.Body.size()));
            return SendSlowly(socket, response.Body, response.ChunkSize, response.Interval);
        case TResponse::TMode::Unbounded:
            socket->write(Head(response, -1));
            return SendRepeatedly(socket, response.Body, response.Repeat, response.Interval);
        }
    }

    static TResponse Plain(int status, const QByteArray& headers, const QByteArray& body)
    {
        TResponse response;
        response.Status = status;
        response.Headers = headers;
        response.Body = body;
        return response;
    }

    static QByteArray ReasonFor(int status)
    {
        static const std::map<int, QByteArray> reasons { { 200, "OK" }, { 304, "Not Modified" },
            { 404, "Not Found" }, { 407, "Proxy Authentication Required" },
            { 500, "Internal Server Error" } };
        auto found = reasons.find(status);
        return found == reasons.end() ? "Test" : found->second;
    }

    // A length of -1 leaves the length out: the body ends when the connection closes.
    static QByteArray Head(const TResponse& response, qsizetype length)
    {
        const QByteArray reason =
            response.Reason.isEmpty() ? ReasonFor(response.Status) : response.Reason;
        const QByteArray framing = length < 0
            ? QByteArray("Connection: close\r\n")
            : "Content-Length: " + QByteArray::number(length) + "\r\n";
        return "HTTP/1.1 " + QByteArray::number(response.Status) + " " + reason + "\r\n" + framing
            + response.Headers + "\r\n";
    }

    static void Send(QTcpSocket* socket, const TResponse& response)
    {
        const bool hasBody = response.Status != 304;
        socket->write(Head(response, hasBody ? response.Body.size() : 0));
        if (hasBody)
            socket->write(response.Body);
    }

    static void SendSlowly(QTcpSocket* socket, QByteArray rest, int chunkSize, int interval)
    {
        if (rest.isEmpty() || socket->state() != QAbstractSocket::ConnectedState)
            return;
        socket->write(rest.left(chunkSize));
        QTimer::singleShot(interval, socket,
            [=, rest = rest.mid(chunkSize)] { SendSlowly(socket, rest, chunkSize, interval); });
    }

    static void SendRepeatedly(QTcpSocket* socket, const QByteArray& body, int times, int interval)
    {
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
        if (times == 0)
            return socket->disconnectFromHost();
        socket->write(body);
        QTimer::singleShot(
            interval, socket, [=] { SendRepeatedly(socket, body, times - 1, interval); });
    }

    QTcpServer Server;
    std::map<QByteArray, TResponse> Routes;
};
