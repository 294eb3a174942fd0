#pragma once

#include "convert/uConvertBase.h"

// GeoJSON (RFC 7946): a feature collection with a point feature per entry.

class TConvertToGeoJson : public TConvertToBase {
public:
    bool WritesUnicode() const override { return true; }
    QString FormatId() const override { return QStringLiteral("geojson"); }
    // Coordinates [longitude, latitude] in the settings' precision, the description as the
    // property "name".
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromGeoJson : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("geojson"); }
    // Every Point and MultiPoint, in features, feature collections and geometry collections at
    // any depth, named by the feature's property "name", else "title", else "description".
    // Other geometries and features without one are counted in a warning. The text is read
    // event by event, so a file of millions of points needs no tree of it in memory.
    void Execute(TEntries& entries, TStream& stream) override;
};

// Appends `utf8` as a JSON string, quotes included.
void AppendJsonString(std::string& out, std::string_view utf8);

void RegisterGeoJson();
void UnregisterGeoJson();
