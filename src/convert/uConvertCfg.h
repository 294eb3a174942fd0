#pragma once

#include "convert/uConvertBase.h"

// The binary configuration file of TomTom Navigator 5, read only for the favourites in it.
// Each favourite starts with a fixed 24-byte signature, followed by its longitude and latitude
// in 1/100000 degree and three strings, the last of which is its name.

class TConvertFromCfg : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("ttcfg"); }
    // Fails with a user error when the file holds no favourite at all.
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterCfg();
void UnregisterCfg();
