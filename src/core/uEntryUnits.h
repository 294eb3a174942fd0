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
