#pragma once

#include "core/uModel.h"
#include "tools/uEntryEditSync.h"

// The coordinates calculator's one position, shown in decimal degrees and in degrees,
// minutes and seconds by the rules of a document's coordinate fields.
class TCoordsCalculator {
public:
    const TEntry& Entry() const { return FEntry; }
    TEditTexts Texts() const { return TEntryEditSync::FromEntry(&FEntry); }
    // Applies the text of `field`; whether the position changed, so every field shows anew.
    bool Apply(TEditField field, const QString& text)
    {
        return TEntryEditSync::ToEntry(FEntry, field, text);
    }
    void SetPosition(double lon, double lat)
    {
        FEntry.SetLongitude(lon);
        FEntry.SetLatitude(lat);
    }
    // Where a caller takes the position: 0, 0 is no position entered yet, and is refused with
    // "Please enter the longitude and latitude".
    void CheckEntered() const;

private:
    TEntry FEntry;
};
