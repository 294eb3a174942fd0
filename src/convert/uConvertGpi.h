#pragma once

#include "convert/uConvertBase.h"

// Garmin's binary POI file: nested records, each led by its type, flags and length, so that a
// reader passes over the kinds it does not know. Points lie in areas inside a group; texts
// are in the code page the header names. Coordinates are 32-bit integers in 2^31/180 units
// per degree, latitude first, little-endian.

class TConvertToGpi : public TConvertToBase {
public:
    QString FormatId() const override { return QStringLiteral("garmingpi"); }
    int Precision() const override { return 7; }
    bool WritesUnicode() const override;
    bool TakesIcon() const override;
    // One group and one category, named by the option or after the target file, holding every
    // entry in list order; the bitmap handed over becomes the category's.
    void Execute(TEntries& entries, TStream& stream) override;

protected:
    std::span<const TConvertOption> Options() const override;
};

class TConvertFromGpi : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("garmingpi"); }
    // Reads the waypoints of every group and area; a speed alert comes back as the "@speed"
    // suffix of the description. Bitmaps and the other kinds of record are passed over.
    void Execute(TEntries& entries, TStream& stream) override;

protected:
    std::span<const TConvertOption> Options() const override;
};

void RegisterGpi();
void UnregisterGpi();
