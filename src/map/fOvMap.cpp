#include "map/fOvMap.h"

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>

namespace {

constexpr int SizeWithoutPicture = 100;

} // namespace

TOvMap::TOvMap(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    FitSize();
}

void TOvMap::SetMapPic(const QImage& picture)
{
    MapPic = QPixmap::fromImage(picture);
    FitSize();
    if (HasPicture())
        SetPoints(Cal.Point1(), Cal.Point2());
}

void TOvMap::SetMarker(const QImage& marker)
{
    Marker = marker.convertToFormat(QImage::Format_ARGB32);
    MarkerRuns.clear();
    for (int y = 0; y < Marker.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(Marker.scanLine(y));
        for (int x = 0; x < Marker.width(); ++x) {
            const bool opaque = qAlpha(line[x]) >= 128;
            line[x] = opaque ? (line[x] | 0xff000000u) : 0;
            if (!opaque)
                continue;
            if (!MarkerRuns.empty() && MarkerRuns.back().Y == y
                && MarkerRuns.back().X + MarkerRuns.back().Length == x)
                ++MarkerRuns.back().Length;
            else
                MarkerRuns.push_back({ y, x, 1 });
        }
    }
    update();
}

void TOvMap::SetPoints(const TCalPoint& point1, const TCalPoint& point2)
{
    Cal.SetPoints(point1, point2);
    update();
}

void TOvMap::SetZoom(double zoom)
{
    Cal.Zoom = zoom;
    FitSize();
    update();
}

void TOvMap::FitSize()
{
    setFixedSize(HasPicture() ? Cal.ZoomedSize(MapPic.size())
                              : QSize(SizeWithoutPicture, SizeWithoutPicture));
}

void TOvMap::DrawMarker(QPainter& painter, double lon, double lat) const
{
    painter.drawImage(
        Cal.LonToX(lon) - Marker.width() / 2, Cal.LatToY(lat) - Marker.height() / 2, Marker);
}

// Markers are copied stretch by stretch of opaque pixels into one layer: a million draw calls
// would not paint in time.
QImage TOvMap::MarkerLayer(const std::vector<QPoint>& centres, QRect area) const
{
    QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    if (Marker.isNull())
        return layer;
    // Rows by address: asking the images for each row costs more than the copying.
    auto* const layerBits = reinterpret_cast<QRgb*>(layer.bits());
    const qsizetype layerStride = layer.bytesPerLine() / 4;
    const auto* const markerBits = reinterpret_cast<const QRgb*>(Marker.constBits());
    const qsizetype markerStride = Marker.bytesPerLine() / 4;
    const int width = layer.width(), height = layer.height();
    for (const QPoint& centre : centres) {
        const int left = centre.x() - Marker.width() / 2 - area.x();
        const int top = centre.y() - Marker.height() / 2 - area.y();
        for (const TMarkerRun& run : MarkerRuns) {
            const int y = top + run.Y;
            const int from = std::max(left + run.X, 0);
            const int to = std::min(left + run.X + run.Length, width);
            if (y < 0 || y >= height || from >= to)
                continue;
            std::copy_n(markerBits + run.Y * markerStride + (from - left), to - from,
                layerBits + y * layerStride + from);
        }
    }
    return layer;
}

void TOvMap::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    if (HasPicture()) {
        // Only the exposed part is scaled: at zoom 4 the whole picture is 16 times larger.
        const double scaleX = static_cast<double>(width()) / MapPic.width();
        const double scaleY = static_cast<double>(height()) / MapPic.height();
        const QRectF source(exposed.x() / scaleX, exposed.y() / scaleY, exposed.width() / scaleX,
            exposed.height() / scaleY);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRectF(exposed), MapPic, source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    } else {
        painter.fillRect(exposed, palette().window());
    }
    if (OnPaintMarkers)
        OnPaintMarkers(painter);
}
