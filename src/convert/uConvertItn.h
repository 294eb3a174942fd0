#pragma once

#include "convert/uConvertBase.h"

// TomTom's itinerary: one line per stop, "longitude|latitude|description|flag|" with the
// coordinates as whole numbers in 1/100000 degree and the flag as `TEntry::Flag` packs it.

class TConvertToItn : public TConvertToBase {
public:
    QString FormatId() const override { return QStringLiteral("ttitn"); }
    int Precision() const override { return 5; }
    // A "|" inside a description is written as it is, so such a line does not read back.
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromItn : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("ttitn"); }
    // Keeps the flags read; lines with fewer than four fields are passed over.
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterItn();
void UnregisterItn();
