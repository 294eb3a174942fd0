#include "convert/uConvertGeoJson.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "testing.h"

// Points in collections, features, multipoints and bare geometries; the name else the title else
// the description; members in any order; geometries that are no points counted.
TEST(TConvertFromGeoJson, ReadsPointsWhereverGeoJsonHoldsThem)
{
    const struct {
        const char* File;
        std::vector<TReadPoint> Expected;
        int Skipped;
    } cases[] = {
        { "collection", { { "A", 4.5, 52.25 } }, 0 },
        { "any-order", { { "t", 1, 2 }, { "d", 3, 4 }, { "", -0.25, -0.5 } }, 0 },
        { "multipoint", { { "m", 1, 2 }, { "m", 3, 4 }, { "g", 5, 6 } }, 1 },
        { "skipped", { { "p", 7, 8 } }, 4 },
        { "bare-geometry", { { "", 1, 2 }, { "", 3, 4 } }, 0 },
        { "escaped", { { "Caf\xc3\xa9 \"\xf0\x9f\x98\x80\"", 1, 2 } }, 0 },
        { "empty", {}, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        TEntries entries;
        const QStringList warnings = ImportWarnings<TConvertFromGeoJson>(
            entries, TestData(("convert/geojson/" + std::string(c.File) + ".geojson").c_str()));
        EXPECT_EQ(ReadPoints(entries), c.Expected);
        const char* warning = c.Skipped == 1 ? Msg::GeoJsonSkippedOne : Msg::GeoJsonSkippedMany;
        EXPECT_EQ(
            warnings, c.Skipped == 0 ? QStringList() : QStringList { Tr(warning).arg(c.Skipped) });
    }
}

TEST(TConvertFromGeoJson, RefusesBadInputWithoutReadingAnyOfIt)
{
    const std::string feature =
        R"({"type":"Feature","geometry":{"type":"Point","coordinates":[1,2]}})";
    const std::string nested = std::string(1000000, '[') + std::string(1000000, ']');
    const struct {
        const char* Name;
        std::string Json;
        QString Message;
    } cases[] = {
        { "cut short", R"({"type":"FeatureCollection","features":[)" + feature,
            "Invalid GeoJSON at byte 106: Missing a comma or ']' after an array element." },
        { "two values", feature + feature,
            "Invalid GeoJSON at byte 66: The document root must not be followed by other values." },
        { "not UTF-8", "{\"type\":\"Feature\",\"properties\":{\"name\":\"\xff\"}}",
            "Invalid GeoJSON at byte 40: Invalid encoding in string." },
        { "a million nested arrays", nested, "Invalid GeoJSON: nesting deeper than 10000 levels" },
        { "an array", "[1,2]", Tr(Msg::NotGeoJson) },
        { "an object without type", R"({"features":[]})", Tr(Msg::NotGeoJson) },
        { "a point of one number", R"({"type":"Point","coordinates":[1]})",
            Tr(Msg::InvalidGeoJsonPoint).arg(33) },
        { "a point of text", R"({"type":"Point","coordinates":["1","2"]})",
            Tr(Msg::InvalidGeoJsonPoint).arg(39) },
        { "a point of two positions", R"({"type":"Point","coordinates":[[1,2],[3,4]]})",
            Tr(Msg::InvalidGeoJsonPoint).arg(43) },
        { "a multipoint of numbers", R"({"type":"MultiPoint","coordinates":[1,2]})",
            Tr(Msg::InvalidGeoJsonPoint).arg(40) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadOutcome<TConvertFromGeoJson>(c.Json), c.Message + " | kept ") << c.Name;
}
