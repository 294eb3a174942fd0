#pragma once

#include <cstdint>

#include "core/uModel.h"
#include "core/uNumbers.h"
#include "core/uSettings.h"

// Entries' decimal coordinates as whole numbers of 10^-Decimals degrees, so that writers can
// make text of them without floating point. Made once per file: asking the settings for the
// precision per entry is a cost of its own over millions of entries.
class TEntryUnits {
public:
    // In 10^-Precision degrees, the numbers an entry's Longitude and Latitude stand for.
    TEntryUnits()
        : TEntryUnits(Settings().Precision)
    {
    }
    // In 10^-`decimals` degrees, as ToFixedPoint makes them of the decimal values. With no
    // more decimals than `decimals` the whole numbers give them exactly; with more, the
    // rounding of the decimal value decides.
    explicit TEntryUnits(int decimals)
        : FDecimals(decimals)
        , Precision(Settings().Precision)
        , Scale(Precision > decimals ? 0 : WholePowerOf10(decimals - Precision))
    {
    }

    int Decimals() const { return FDecimals; }

    int64_t Longitude(const TEntry& entry) const
    {
        return Scale == 0 ? ToFixedPoint(entry.Longitude(), PowerOf10(FDecimals))
                          : entry.LongitudeUnits(Precision) * Scale;
    }

    int64_t Latitude(const TEntry& entry) const
    {
        return Scale == 0 ? ToFixedPoint(entry.Latitude(), PowerOf10(FDecimals))
                          : entry.LatitudeUnits(Precision) * Scale;
    }

private:
    int FDecimals;
    int Precision;
    int64_t Scale; // 10^(decimals - precision); 0 when the decimal value decides
};
