#pragma once

#include <cstdint>

#include <QPoint>
#include <QSize>
#include <QString>

#include "map/uProjection.h"

class IUserPrompt;

// One calibration point: a pixel of the unzoomed picture and the coordinates it stands for.
struct TCalPoint {
    double Lon = 0;
    double Lat = 0;
    int X = 0;
    int Y = 0;
};

// Two calibration points turn pixels of a map picture into coordinates and back, linearly in
// both axes; no projection is applied. With north at the top of the picture `ScaleY` is
// negative. A value: copies are independent.
class TCalibration : public IMapProjection {
public:
    const TCalPoint& Point1() const { return P1; }
    const TCalPoint& Point2() const { return P2; }
    // Recomputes the scales; a scale whose coordinate difference is zero keeps its value, so
    // that the conversions never divide by zero.
    void SetPoints(const TCalPoint& point1, const TCalPoint& point2);
    // Pixels per degree; 0 until first computed.
    double ScaleX() const { return FScaleX; }
    double ScaleY() const { return FScaleY; }

    double Zoom = 1.0;

    // Pixels of the zoomed picture, rounded to the nearest.
    int LonToX(double lon) const override;
    int LatToY(double lat) const override;
    // 0 while the scale is 0.
    double XToLon(double x) const override;
    double YToLat(double y) const override;
    // 0.02 degrees at zoom 1.
    double HintReach() const override;
    // The plane is longitude and latitude themselves.
    QPointF ToPlane(double lon, double lat) const override { return { lon, lat }; }
    TPlaneView PlaneView() const override;
    // The pixel of the unzoomed picture at a pixel of the zoomed one, rounded.
    QPoint Unzoomed(QPoint zoomed) const;
    // The zoomed size of a picture.
    QSize ZoomedSize(QSize picture) const;

    // Point 1 in the lower-left corner of a picture, point 2 in its upper-right corner.
    static TCalPoint LowerLeft(QSize picture, double lon, double lat);
    static TCalPoint UpperRight(QSize picture, double lon, double lat);

private:
    TCalPoint P1, P2;
    double FScaleX = 0;
    double FScaleY = 0;
};

// Whether the points lie less than a quarter of the picture's width apart horizontally or less
// than a quarter of its height apart vertically, which makes positions imprecise.
bool PointsTooClose(const TCalPoint& point1, const TCalPoint& point2, QSize picture);
// Whether the points may be used: points too close need the user's "Yes".
bool ConfirmCalibration(
    const TCalPoint& point1, const TCalPoint& point2, QSize picture, IUserPrompt& prompt);

// What a calibration file holds: for the picture F, the file F.inf of name=value lines.
struct TCalibrationFile {
    TCalPoint Point1, Point2;
    QString BackColor; // empty: the system's button face
    int64_t MapCheck = 0; // the picture's size in bytes when the calibration was saved
};

// Reading fails with the error of the first malformed number; pixel positions missing from
// the file are the picture's lower-left (point 1) and upper-right (point 2) corners.
TCalibrationFile ReadCalibrationFile(const QString& fileName, QSize picture);
// Replaces the file.
void WriteCalibrationFile(const QString& fileName, const TCalibrationFile& calibration);

// The size in bytes of a file, 0 when it cannot be found.
int64_t FileSizeOf(const QString& fileName);

// Takes the calibration of a map picture from its calibration file into `calibration`.
// Returns whether the map counts as calibrated; false means the "needs calibration" notice
// shows. Without a usable file (none, one made for a picture of another size, or a malformed
// one, which is told through `prompt`) the points are the picture's lower-left and upper-right
// corners at coordinates 0, and the scales last in force stay. `backColor` receives the file's
// colour when it is taken.
bool LoadMapCalibration(const QString& picture, const QString& calibrationFile, QSize pictureSize,
    TCalibration& calibration, QString& backColor, IUserPrompt& prompt);
