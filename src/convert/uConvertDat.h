#pragma once

#include "convert/uConvertBase.h"

// Destinator's binary "Dynamic POI" file: records without a file header, each holding
// zero-terminated UTF-16 strings (the record kind, the description and seven more), then the
// position as IEEE doubles, little-endian.

class TConvertToDat : public TConvertToBase {
public:
    bool WritesUnicode() const override { return true; }
    QString FormatId() const override { return QStringLiteral("destdat"); }
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromDat : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("destdat"); }
    // Fails with "Invalid dat file" when the data ends inside a record; the entries of the
    // records before it stay.
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterDat();
void UnregisterDat();
