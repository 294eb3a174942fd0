#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "convert/uConvertBase.h"
#include "platform/uXmlScanner.h"

// GPS eXchange Format 1.1: waypoints and track points. The importer can keep the whole XML of
// each point, so that a later export writes it back with everything it had (elevation, time,
// symbol...), with only the entry's coordinates and description new.

class TConvertToGpx : public TConvertToBase {
public:
    QString FormatId() const override { return QStringLiteral("gengpx"); }
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromGpx : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("gengpx"); }
    // Waypoints first, then track points.
    void Execute(TEntries& entries, TStream& stream) override;

protected:
    std::span<const TConvertOption> Options() const override;

private:
    std::unique_ptr<TEntry> ReadPoint(TXmlScanner& scanner, std::string_view bytes);

    bool UseDesc = false;
    bool RetainExtra = false;
    std::string Lat, Lon; // attribute texts, kept to spare an allocation per point
};

void RegisterGpx();
void UnregisterGpx();
