// Times the web map beside a document, offscreen: tiles come from a loopback server of the
// bench's own, which draws each tile it is asked for. A document of COUNT entries (default
// 1,000,000) spread over the Netherlands opens on the web map with all of them selected; the
// first paint waits for the server's tiles, a repaint takes them from memory, as does one after
// a pan. A second window then opens the same view, its tiles from the disk cache.
// Usage: marivel_map_tiles_bench [COUNT]

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "core/uSettings.h"
#include "editor/fMDIChild.h"
#include "map/fMapPanel.h"
#include "map/fTileView.h"
#include "map/uTileFetcher.h"
#include "uBenchData.h"
#include "uPaintTimer.h"

namespace {

// Answers "GET /z/x/y.png" with a tile showing its numbers, cacheable for an hour.
class TTileServer {
public:
    TTileServer()
    {
        Server.listen(QHostAddress::LocalHost);
        QObject::connect(&Server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = Server.nextPendingConnection()) {
                QObject::connect(
                    socket, &QTcpSocket::readyRead, socket, [socket] { Head(*socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString Url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(Server.serverPort());
    }

private:
    static void Head(QTcpSocket& socket)
    {
        while (socket.canReadLine()) {
            const QByteArray line = socket.readLine();
            if (line.startsWith("GET "))
                socket.setProperty("path", line.split(' ').value(1));
            if (line == "\r\n")
                Answer(socket, socket.property("path").toByteArray());
        }
    }
    static void Answer(QTcpSocket& socket, const QByteArray& path)
    {
        QImage tile(TileSize, TileSize, QImage::Format_RGB32);
        tile.fill(qRgb(242, 239, 233));
        QPainter painter(&tile);
        painter.setPen(qRgb(120, 120, 120));
        painter.drawRect(0, 0, TileSize - 1, TileSize - 1);
        painter.drawText(tile.rect(), Qt::AlignCenter, QString::fromLatin1(path));
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        tile.save(&buffer, "PNG");
        socket.write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: max-age=3600\r\n"
                     "Content-Length: "
            + QByteArray::number(png.size()) + "\r\n\r\n" + png);
    }

    QTcpServer Server;
};

// Shows the window and paints its web map until no tile is under way; the seconds it took.
double ShowUntilLoaded(TMDIChild& window)
{
    QElapsedTimer timer;
    timer.start();
    window.show();
    QApplication::processEvents();
    TTileView& view = window.MapPanel().TileMap();
    for (view.repaint(); view.Fetcher()->InFlight() > 0; view.repaint())
        while (view.Fetcher()->InFlight() > 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// A document window of `count` entries on the web map, all selected, shown.
std::unique_ptr<TMDIChild> OpenWindow(int count)
{
    auto window = std::make_unique<TMDIChild>();
    TUnitRandom random;
    for (int i = 0; i < count; ++i)
        window->Document.Entries.AddValues(
            "p", "", 3.4 + random.Next() * 3.7, 50.8 + random.Next() * 2.7);
    window->resize(1280, 860);
    window->UpdateView();
    window->SelectAll();
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir home, config, cache;
    qputenv("MARIVEL_HOME", home.path().toLocal8Bit());
    qputenv("MARIVEL_CONFIG_DIR", config.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    TTileServer server;
    Settings().Map = 0;
    Settings().TileUrl = server.Url();
    Settings().MapPanelShare = 70; // 900 of the window's 1280 pixels

    auto window = OpenWindow(count);
    TTileView& view = window->MapPanel().TileMap();
    if (!window->MapPanel().ShowsTiles()) {
        std::fprintf(stderr, "the web map is not chosen\n");
        return 1;
    }
    const double first = ShowUntilLoaded(*window);
    const double cached = Best([&] { view.repaint(); });
    // Each pan moves the markers: they are drawn anew, from positions kept in memory.
    const double panned = Best([&] {
        view.PanBy({ 7, 5 });
        view.repaint();
    });
    const int fetched = view.Fetcher()->Fetched();
    window->SelectRanges({});
    const double tilesOnly = Best([&] { view.repaint(); });
    std::printf("entries                   %d, all selected\n", count);
    std::printf(
        "view                      %dx%d at zoom %d\n", view.width(), view.height(), view.Zoom());
    std::printf("cached paint, no markers  %.1f ms\n", tilesOnly * 1000);
    std::printf("repaint after a pan       %.1f ms\n", panned * 1000);
    window.reset();

    auto again = OpenWindow(count);
    TTileView& second = again->MapPanel().TileMap();
    const double fromDisk = ShowUntilLoaded(*again);
    std::printf("second start              %.1f ms, tiles from the disk cache\n", fromDisk * 1000);
    std::printf("map-tiles: %d fetched, %d from cache, first paint %.0f ms, cached paint %.1f ms\n",
        fetched, second.Fetcher()->FromCache(), first * 1000, cached * 1000);
    return 0;
}
