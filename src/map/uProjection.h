#pragma once

#include <QPointF>

// How a projection's plane lies on the map as shown: pixels are the plane scaled and shifted.
// A map that repeats east and west does so every `PeriodX` pixels; 0 when it does not.
struct TPlaneView {
    double ScaleX = 1, OffsetX = 0, ScaleY = 1, OffsetY = 0, PeriodX = 0;
    double X(double plane) const { return plane * ScaleX + OffsetX; }
    double Y(double plane) const { return plane * ScaleY + OffsetY; }
    auto operator<=>(const TPlaneView&) const = default;
};

// Turns coordinates into pixels of the map as shown and back. A calibrated picture maps them
// linearly; the web map's tiles use spherical Mercator.
class IMapProjection {
public:
    virtual ~IMapProjection() = default;
    // Pixels, rounded to the nearest.
    virtual int LonToX(double lon) const = 0;
    virtual int LatToY(double lat) const = 0;
    virtual double XToLon(double x) const = 0;
    virtual double YToLat(double y) const = 0;
    // How far, in degrees of latitude and of longitude, an entry may lie from the pointer and
    // still give the hint.
    virtual double HintReach() const = 0;
    // Where a position lies on a plane that zooming and moving the map only scale and shift:
    // many markers are projected once, not at every paint.
    virtual QPointF ToPlane(double lon, double lat) const = 0;
    virtual TPlaneView PlaneView() const = 0;
};
