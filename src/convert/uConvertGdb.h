#pragma once

#include "convert/uConvertBase.h"

// Garmin MapSource's database, read only for its waypoints: a header naming the version,
// then length-prefixed records of which those of type "W" are waypoints, with their position
// in semicircles (2^31 to 180 degrees).

class TConvertFromGdb : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("gdb"); }
    // Reads versions 1 and 2 alike; every other record type is passed over.
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterGdb();
void UnregisterGdb();
