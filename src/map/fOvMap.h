#pragma once

#include <functional>
#include <vector>

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "map/uCalibration.h"

// A map picture calibrated by two points, drawn at `Zoom` with markers on it. Its size is the
// picture's times the zoom (100 by 100 without a picture); it sits in a scroll area.
class TOvMap : public QWidget {
    Q_OBJECT

public:
    explicit TOvMap(QWidget* parent = nullptr);

    // A null image leaves the map without a picture.
    void SetMapPic(const QImage& picture);
    bool HasPicture() const { return !MapPic.isNull(); }
    QSize PictureSize() const { return MapPic.size(); }
    // Pixels that are more transparent than opaque become see-through, the others opaque, so
    // that a marker drawn twice at a place looks as drawn once.
    void SetMarker(const QImage& marker);

    const TCalibration& Calibration() const { return Cal; }
    void SetPoints(const TCalPoint& point1, const TCalPoint& point2);
    double Zoom() const { return Cal.Zoom; }
    void SetZoom(double zoom);

    // Called at the end of every paint, after the picture is drawn.
    std::function<void(QPainter&)> OnPaintMarkers;

    // The marker centred on the position: its left edge at x minus half its width, its top
    // at y minus half its height.
    void DrawMarker(QPainter& painter, double lon, double lat) const;
    // Markers centred on `centres` as one picture of `area`, see-through elsewhere: drawn at
    // the area's top left, it shows what `DrawMarker` would draw one after the other there.
    // Fast for many.
    QImage MarkerLayer(const std::vector<QPoint>& centres, QRect area) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FitSize();

    // A row's stretch of the marker's opaque pixels.
    struct TMarkerRun {
        int Y, X, Length;
    };

    QPixmap MapPic;
    QImage Marker;
    std::vector<TMarkerRun> MarkerRuns;
    TCalibration Cal;
};
