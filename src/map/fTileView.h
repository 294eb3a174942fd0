#pragma once

#include <functional>
#include <memory>

#include <QWidget>

#include "map/uWebMercator.h"

class QLabel;
class TTileFetcher;
struct TCoordWindow;

// The web map as large as the widget: its tiles at one zoom, a light grid where a tile is not
// there (yet), the markers drawn by `OnPaintMarkers`, and the attribution the tiles' licence
// asks for, whose link opens the copyright page. Drawing never waits for a tile: one that
// arrives later is drawn then.
class TTileView : public QWidget {
    Q_OBJECT

public:
    static constexpr int MinZoom = 1;
    // The zoom a document's entries are fitted at, at most.
    static constexpr int MaxFitZoom = 17;

    explicit TTileView(QWidget* parent = nullptr);
    ~TTileView() override;

    // Tiles come from `fetcher`, which the view owns.
    void SetFetcher(std::unique_ptr<TTileFetcher> fetcher);
    TTileFetcher* Fetcher() const { return FFetcher.get(); }

    const TMercatorProjection& Projection() const { return FProjection; }
    int Zoom() const { return FProjection.Zoom; }
    // The place under `anchor`, a pixel of the view, stays there.
    void SetZoom(int zoom, QPointF anchor);
    void PanBy(QPoint delta);
    void CenterOn(double lon, double lat);
    // The zoom and middle that show all of `window`, at most `maxZoom`.
    void Fit(const TCoordWindow& window, int maxZoom);

    std::function<void(QPainter&)> OnPaintMarkers;

signals:
    void LinkActivated(const QString& address);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawTile(QPainter& painter, TTileId tile, QPoint at);
    void PlaceAttribution();

    std::unique_ptr<TTileFetcher> FFetcher;
    TMercatorProjection FProjection;
    QSize OriginFor; // the size of the view the origin was set for
    QLabel* Attribution;
};
