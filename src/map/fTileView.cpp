#include "map/fTileView.h"

#include <algorithm>
#include <cmath>
#include <set>

#include <QLabel>
#include <QPainter>
#include <QResizeEvent>

#include "map/uMapView.h"
#include "map/uTileFetcher.h"

namespace {

constexpr int GridStep = 32;
const QColor MissingTile(238, 238, 238);
const QColor GridLine(210, 210, 210);

} // namespace

TTileView::TTileView(QWidget* parent)
    : QWidget(parent)
    , Attribution(new QLabel(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    Attribution->setObjectName(QStringLiteral("lbAttribution"));
    Attribution->setText(
        QStringLiteral("<a href=\"https://www.openstreetmap.org/copyright\">%1</a>")
            .arg(tr("© OpenStreetMap contributors")));
    Attribution->setTextFormat(Qt::RichText);
    Attribution->setStyleSheet(
        QStringLiteral("QLabel { background: rgba(255, 255, 255, 200); padding: 1px 4px; }"));
    Attribution->adjustSize();
    connect(Attribution, &QLabel::linkActivated, this, &TTileView::LinkActivated);
    FProjection.Zoom = MinZoom;
}

TTileView::~TTileView() = default;

void TTileView::SetFetcher(std::unique_ptr<TTileFetcher> fetcher)
{
    FFetcher = std::move(fetcher);
    if (FFetcher)
        connect(FFetcher.get(), &TTileFetcher::TileArrived, this, [this] { update(); });
    update();
}

void TTileView::SetZoom(int zoom, QPointF anchor)
{
    zoom = std::clamp(zoom, MinZoom, MaxTileZoom);
    const double scale = std::ldexp(1.0, zoom - FProjection.Zoom);
    FProjection.Origin = (FProjection.Origin + anchor) * scale - anchor;
    FProjection.Zoom = zoom;
    update();
}

void TTileView::PanBy(QPoint delta)
{
    FProjection.Origin -= delta;
    update();
}

void TTileView::CenterOn(double lon, double lat)
{
    FProjection.Origin = QPointF(LonToWorldX(lon, FProjection.Zoom) - width() / 2.0,
        LatToWorldY(lat, FProjection.Zoom) - height() / 2.0);
    OriginFor = size();
    update();
}

void TTileView::Fit(const TCoordWindow& window, int maxZoom)
{
    int zoom = maxZoom;
    while (zoom > MinZoom
        && (LonToWorldX(window.East, zoom) - LonToWorldX(window.West, zoom) > width()
            || LatToWorldY(window.South, zoom) - LatToWorldY(window.North, zoom) > height()))
        --zoom;
    FProjection.Zoom = zoom;
    CenterOn((window.West + window.East) / 2,
        WorldYToLat((LatToWorldY(window.North, zoom) + LatToWorldY(window.South, zoom)) / 2, zoom));
}

void TTileView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int zoom = FProjection.Zoom;
    const QPointF origin = FProjection.Origin;
    // The whole view, not only the part exposed: which tiles are still wanted follows from it.
    const QRect inView = TilesInView(origin, size());
    std::set<TTileId> inSight;
    for (int y = inView.top(); y <= inView.bottom(); ++y)
        for (int x = inView.left(); x <= inView.right(); ++x) {
            const QPoint at(static_cast<int>(std::lround(x * TileSize - origin.x())),
                static_cast<int>(std::lround(y * TileSize - origin.y())));
            if (!IsTileRow(y, zoom)) {
                painter.fillRect(QRect(at, QSize(TileSize, TileSize)), palette().window());
                continue;
            }
            const TTileId tile { zoom, WrapTileX(x, zoom), y };
            inSight.insert(tile);
            DrawTile(painter, tile, at);
        }
    if (FFetcher) {
        const std::set<TTileId> wanted = TilesToFetch(inView, zoom);
        FFetcher->KeepOnly(wanted);
        for (const TTileId& tile : wanted)
            if (!inSight.contains(tile))
                FFetcher->Prefetch(tile);
    }
    if (OnPaintMarkers)
        OnPaintMarkers(painter);
}

void TTileView::DrawTile(QPainter& painter, TTileId tile, QPoint at)
{
    const QRect area(at, QSize(TileSize, TileSize));
    if (const QImage* image = FFetcher ? FFetcher->Tile(tile) : nullptr) {
        painter.drawImage(area, *image);
        return;
    }
    painter.fillRect(area, MissingTile);
    painter.setPen(GridLine);
    for (int step = 0; step < TileSize; step += GridStep) {
        painter.drawLine(area.left() + step, area.top(), area.left() + step, area.bottom());
        painter.drawLine(area.left(), area.top() + step, area.right(), area.top() + step);
    }
}

// The place in the middle stays there: a window that grows after the entries were fitted
// still shows them in the middle.
void TTileView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (OriginFor.isValid())
        FProjection.Origin -=
            QPointF(width() - OriginFor.width(), height() - OriginFor.height()) / 2;
    OriginFor = size();
    PlaceAttribution();
}

void TTileView::PlaceAttribution()
{
    Attribution->move(width() - Attribution->width(), height() - Attribution->height());
}
