#pragma once

#include "convert/uConvertBase.h"

// MioMap's comma-separated POI file: per line the description twice, in double quotes, then
// longitude and latitude with four decimals, then three empty columns.

class TConvertToMioMap : public TConvertToBase {
public:
    QString FormatId() const override { return QStringLiteral("miomapcsv"); }
    int Precision() const override;
    // The description is written as it is, double quotes included.
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromMioMap : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("miomapcsv"); }
    // Blank lines are passed over; every other line, one starting with ";" too, must hold at
    // least four values.
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterMio();
void UnregisterMio();
