#pragma once

#include "convert/uConvertBase.h"

// TomTom's binary POI file: a sequence of records, each led by its type byte and length.
// Coordinates are 32-bit integers in 1/100000 degree, longitude first, little-endian.

class TConvertToOv2 : public TConvertToBase {
public:
    QString FormatId() const override { return QStringLiteral("ttov2"); }
    int Precision() const override { return 5; }
    // Writes simple POI records only, in list order.
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromOv2 : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("ttov2"); }
    // Reads simple and extended POI records; block headers and deleted records are passed over.
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterOv2();
void UnregisterOv2();
