#pragma once

#include "convert/uConvertBase.h"

class TXmlScanner;

// Google Earth KML: one placemark with a name and a point per entry.

class TConvertToKml : public TConvertToBase {
public:
    bool WritesUnicode() const override { return true; }
    QString FormatId() const override { return QStringLiteral("genkml"); }
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromKml : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("genkml"); }
    // Every placemark below the document element, at any depth, that has a point; the text
    // is UTF-8, and a byte that is not is read as the code page, so files this program wrote
    // (which say ISO-8859-1) read back.
    void Execute(TEntries& entries, TStream& stream) override;
    // The same from the KML text `scanner` reads, `size` bytes long as far as known.
    void Read(TEntries& entries, TXmlScanner& scanner, size_t size);
};

void RegisterKml();
void UnregisterKml();
