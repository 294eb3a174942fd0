#pragma once

#include "convert/uConvertBase.h"

// Smartpath's binary POI file: records without a file header, each the type byte 1, a length
// byte, longitude and latitude as 32-bit integers in 1/10000 degree (little-endian) and the
// description without a terminator.

class TConvertToOvr : public TConvertToBase {
public:
    QString FormatId() const override { return QStringLiteral("ttovr"); }
    int Precision() const override { return 4; }
    // Descriptions longer than the length byte can count are shortened.
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromOvr : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("ttovr"); }
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterOvr();
void UnregisterOvr();
