#pragma once

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
};
