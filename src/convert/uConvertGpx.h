#pragma once

#include <functional>
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
};

void RegisterGpx();
void UnregisterGpx();

// Reads all of `bytes` and counts the start tags that `counted` accepts. Text that is not
// well-formed XML fails with `message`, whose "%1" receives the text's first 100 characters.
int CheckedElementCount(std::string_view bytes, TXmlScanner::TEncoding encoding,
    const char* message, const std::function<bool(const TXmlScanner&)>& counted);
