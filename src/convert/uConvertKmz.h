#pragma once

#include "convert/uConvertBase.h"

// Google Earth KMZ: a zip archive whose KML file holds the placemarks, and which may hold the
// pictures the KML shows as well.

class TConvertToKmz : public TConvertToBase {
public:
    bool WritesUnicode() const override { return true; }
    QString FormatId() const override { return QStringLiteral("genkmz"); }
    // One file, "doc.kml", as the KML export writes it.
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromKmz : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("genkmz"); }
    // Reads "doc.kml", else the archive's first file named ".kml", as the KML import does; other
    // files are ignored. A KML file that would unpack to more than 1 GiB, or to more than 100
    // times its packed size, is refused as a zip bomb.
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterKmz();
void UnregisterKmz();
