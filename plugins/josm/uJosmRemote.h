#pragma once

#include <functional>

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrlQuery>

// JOSM's remote control: the HTTP interface a running JOSM offers on 127.0.0.1, by default on
// port 8111 (its settings key keeps another). Commands wait for JOSM's answer; in between, a
// poll of "/version" keeps track of whether JOSM is there.
class TJosmRemote : public QObject {
    Q_OBJECT

public:
    static constexpr int DefaultPort = 8111;
    // Half the side of the box shown around an entry, in degrees: a few streets.
    static constexpr double HalfBox = 0.002;

    // `closed` is called when JOSM stops answering after it answered.
    explicit TJosmRemote(std::function<void()> closed);

    static int StoredPort();
    static void StorePort(int port);

    // Each returns what went wrong, empty when JOSM did it.
    // Loads the map data of the box around the position and zooms to it.
    QString LoadAndZoom(double longitude, double latitude);
    // Zooms to the box around the position, loading nothing.
    QString Zoom(double longitude, double latitude);
    // Opens a new, empty data layer, which takes the nodes added next.
    QString NewLayer();
    QString AddNode(double longitude, double latitude, const QString& name);
    // As `AddNode`, into the layer `NewLayer` opened: JOSM opens it after answering, so
    // the node is offered again while JOSM has no layer yet.
    QString AddNodeToNewLayer(double longitude, double latitude, const QString& name);
    // Whether JOSM answered the last request or poll.
    bool Answering() const { return FAnswering; }
    // Polls every `interval` ms from now on.
    void StartPolling(int interval);
    void StopPolling() { Poll.stop(); }

private:
    void PollOnce();
    QString Send(const QString& command, const QUrlQuery& query);
    static QUrlQuery BoxAround(double longitude, double latitude);
    QString Failure(int status, const QString& body, const QString& networkError) const;
    void SetAnswering(bool answering);
    QUrl Address(const QString& command, const QUrlQuery& query) const;

    std::function<void()> Closed;
    QNetworkAccessManager Network;
    QTimer Poll;
    bool FAnswering = false;
    int LastStatus = 0; // of the last request: the HTTP status, 0 when JOSM did not answer
};
