#pragma once

#include <cstdint>

#include "core/uModel.h"
#include "core/uNumbers.h"
#include "core/uSettings.h"

// An entry's decimal coordinates as whole numbers of 10^-Precision degrees, the numbers its
// Longitude and Latitude stand for, so that writers can make text of them without floating
// point.

inline int64_t LongitudeUnits(const TEntry& entry)
{
    const int64_t units =
        DecimalUnits({ entry.LonDeg(), entry.LonMin(), entry.LonSec(), entry.LonSecFrac() },
            Settings().Precision);
    return entry.LonWest() ? -units : units;
}

inline int64_t LatitudeUnits(const TEntry& entry)
{
    const int64_t units =
        DecimalUnits({ entry.LatDeg(), entry.LatMin(), entry.LatSec(), entry.LatSecFrac() },
            Settings().Precision);
    return entry.LatSouth() ? -units : units;
}

// A coordinate of `units` (10^-Precision degrees) in 10^-`decimals` degrees, as ToFixedPoint
// makes it of the decimal value `degrees()`. With no more decimals than `decimals` the whole
// numbers give it exactly; with more, the rounding of the decimal value decides.
template <class TDegrees>
int32_t FixedPointUnits(int64_t units, int decimals, const TDegrees& degrees)
{
    const int precision = Settings().Precision;
    if (precision > decimals)
        return ToFixedPoint(degrees(), PowerOf10(decimals));
    return static_cast<int32_t>(units * WholePowerOf10(decimals - precision));
}

// The entry's coordinates in 10^-`decimals` degrees, for the fixed-point formats.
inline int32_t LongitudeFixedPoint(const TEntry& entry, int decimals)
{
    return FixedPointUnits(LongitudeUnits(entry), decimals, [&] { return entry.Longitude(); });
}

inline int32_t LatitudeFixedPoint(const TEntry& entry, int decimals)
{
    return FixedPointUnits(LatitudeUnits(entry), decimals, [&] { return entry.Latitude(); });
}
