#include "uJosmRemote.h"

#include <chrono>

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTextDocumentFragment>

#include "platform/uRegistry.h"
#include "plugins/uPluginUtils.h"

namespace {

QString Key() { return PluginSettingsKey(QStringLiteral("JOSM")); }
const QString PortValue = QStringLiteral("Port");
constexpr std::chrono::seconds RequestTimeout(10);
// How long JOSM gets to open a new layer, and how often it is asked meanwhile.
constexpr int NewLayerTimeout = 5000;
constexpr int NewLayerRetryInterval = 100;

QString Coordinate(double value) { return QString::number(value, 'f', 7); }

// JOSM splits the tag list at "|", which a name therefore cannot hold.
QString TagValue(QString text) { return text.replace(QLatin1Char('|'), QLatin1Char('/')); }

// JOSM tells why it refused in a small page whose last line is the reason.
QString Reason(const QByteArray& body)
{
    const QStringList lines = QTextDocumentFragment::fromHtml(QString::fromUtf8(body))
                                  .toPlainText()
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

} // namespace

TJosmRemote::TJosmRemote(std::function<void()> closed)
    : Closed(std::move(closed))
{
    // JOSM is on this machine: no proxy stands between.
    Network.setProxy(QNetworkProxy::NoProxy);
    connect(&Poll, &QTimer::timeout, this, &TJosmRemote::PollOnce);
}

void TJosmRemote::PollOnce()
{
    QNetworkReply* reply = Network.get(QNetworkRequest(Address(QStringLiteral("version"), {})));
    new TReplyLimit(*reply, RequestTimeout);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        SetAnswering(reply->error() == QNetworkReply::NoError);
    });
}

int TJosmRemote::StoredPort()
{
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(Key()))
        return DefaultPort;
    const int port = reg.TryReadInteger(PortValue).value_or(DefaultPort);
    return port > 0 && port <= 65535 ? port : DefaultPort;
}

void TJosmRemote::StorePort(int port)
{
    TRegistry reg;
    reg.OpenKey(Key(), true);
    reg.WriteInteger(PortValue, port);
}

QUrlQuery TJosmRemote::BoxAround(double longitude, double latitude)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("left"), Coordinate(longitude - HalfBox));
    query.addQueryItem(QStringLiteral("right"), Coordinate(longitude + HalfBox));
    query.addQueryItem(QStringLiteral("top"), Coordinate(latitude + HalfBox));
    query.addQueryItem(QStringLiteral("bottom"), Coordinate(latitude - HalfBox));
    return query;
}

QString TJosmRemote::LoadAndZoom(double longitude, double latitude)
{
    return Send(QStringLiteral("load_and_zoom"), BoxAround(longitude, latitude));
}

QString TJosmRemote::Zoom(double longitude, double latitude)
{
    return Send(QStringLiteral("zoom"), BoxAround(longitude, latitude));
}

// A layer of its own, which JOSM opens even when it cannot reach the map server.
QString TJosmRemote::NewLayer()
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("new_layer"), QStringLiteral("true"));
    query.addQueryItem(QStringLiteral("layer_name"), QStringLiteral("Marivel"));
    query.addQueryItem(QStringLiteral("data"), QStringLiteral("<osm version=\"0.6\"/>"));
    return Send(QStringLiteral("load_data"), query);
}

QString TJosmRemote::AddNode(double longitude, double latitude, const QString& name)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("lat"), Coordinate(latitude));
    query.addQueryItem(QStringLiteral("lon"), Coordinate(longitude));
    if (!name.isEmpty())
        query.addQueryItem(QStringLiteral("addtags"), QStringLiteral("name=") + TagValue(name));
    return Send(QStringLiteral("add_node"), query);
}

QString TJosmRemote::AddNodeToNewLayer(double longitude, double latitude, const QString& name)
{
    QString failure = AddNode(longitude, latitude, name);
    for (int waited = 0; LastStatus == 400 && waited < NewLayerTimeout;
         waited += NewLayerRetryInterval) {
        QEventLoop pause;
        QTimer::singleShot(NewLayerRetryInterval, &pause, &QEventLoop::quit);
        pause.exec(QEventLoop::ExcludeUserInputEvents);
        failure = AddNode(longitude, latitude, name);
    }
    return failure;
}

void TJosmRemote::StartPolling(int interval)
{
    Poll.start(interval);
    PollOnce();
}

QUrl TJosmRemote::Address(const QString& command, const QUrlQuery& query) const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(StoredPort());
    url.setPath(QLatin1Char('/') + command);
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

QString TJosmRemote::Send(const QString& command, const QUrlQuery& query)
{
    QNetworkReply* reply = Network.get(QNetworkRequest(Address(command, query)));
    const auto* limit = new TReplyLimit(*reply, RequestTimeout);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    reply->deleteLater();
    // An answer cut off for its size or its time is none of JOSM's.
    const bool cutOff = !limit->Failure().isEmpty();
    const int status =
        cutOff ? 0 : reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    LastStatus = status;
    SetAnswering(status != 0);
    if (reply->error() == QNetworkReply::NoError)
        return QString();
    if (cutOff)
        return Failure(status, QString(), limit->Failure());
    return Failure(status, Reason(reply->readAll()), reply->errorString());
}

QString TJosmRemote::Failure(int status, const QString& body, const QString& networkError) const
{
    if (status == 0)
        return tr("JOSM does not answer on port %1 (%2). Start JOSM and switch on \"Enable "
                  "remote control\" in its preferences, under Remote Control")
            .arg(StoredPort())
            .arg(networkError);
    if (status == 403)
        return tr("JOSM does not allow this request (%1). In JOSM's preferences, under Remote "
                  "Control, allow it to load data and to create new objects")
            .arg(body);
    return tr("JOSM answered with error %1: %2").arg(status).arg(body);
}

void TJosmRemote::SetAnswering(bool answering)
{
    const bool stopped = FAnswering && !answering;
    FAnswering = answering;
    if (stopped && Closed)
        Closed();
}
