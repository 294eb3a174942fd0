#pragma once

#include <string>
#include <string_view>

#include "convert/uConvertBase.h"

class TEntryUnits;

// Destinator's comma-separated POI file: per line the description twice, in double quotes,
// then longitude and latitude with five decimals, then four empty columns.

class TConvertToCsv : public TConvertToBase {
public:
    QString FormatId() const override { return QStringLiteral("dstcsv"); }
    int Precision() const override;
    // Double quotes inside a description are dropped, as the file has no escape for them.
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromCsv : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("dstcsv"); }
    // Every line must hold at least four values; a blank line fails too.
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterCsv();
void UnregisterCsv();

// The line layout is shared with MioMap's files, which have one empty column fewer.

// Appends "description","description", the entry's longitude and latitude in `units`,
// `emptyColumns` commas and CR LF.
void AppendPoiLine(std::string& line, std::string_view description, const TEntry& entry,
    const TEntryUnits& units, int emptyColumns);
