#include "convert/uConvertGeoJson.h"

#include <gtest/gtest.h>

#include "testing.h"

namespace {

std::vector<TReadPoint> Imported(const std::string& bytes, QStringList* warnings = nullptr)
{
    TEntries entries;
    const QStringList read = ImportWarnings<TConvertFromGeoJson>(entries, bytes);
    if (warnings)
        *warnings = read;
    return ReadPoints(entries);
}

} // namespace

TEST(TConvertFromGeoJson, ReadsPointsWhereverGeoJsonHoldsThem)
{
    const struct {
        const char* Name;
        std::string Json;
        std::vector<TReadPoint> Expected;
        int Skipped;
    } cases[] = {
        { "collection, name before the rest, altitude",
            R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"name":"A"},
                "geometry":{"type":"Point","coordinates":[4.5,52.25,10]}}]})",
            { { "A", 4.5, 52.25 } }, 0 },
        { "members in any order, name else title else description",
            R"({"features":[
                {"geometry":{"coordinates":[1,2],"type":"Point"},"properties":{"description":"d","title":"t"},"type":"Feature"},
                {"type":"Feature","properties":{"description":"d","name":""},"geometry":{"type":"Point","coordinates":[3,4]}},
                {"type":"Feature","properties":{"name":5},"geometry":{"type":"Point","coordinates":[-2.5e-1,-0.5]}}
               ],"type":"FeatureCollection"})",
            { { "t", 1, 2 }, { "d", 3, 4 }, { "", -0.25, -0.5 } }, 0 },
        { "multipoint and geometry collection inside a feature",
            R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"name":"m"},
                "geometry":{"type":"MultiPoint","coordinates":[[1,2],[3,4]]}},
               {"type":"Feature","properties":{"name":"g"},"geometry":{"type":"GeometryCollection",
                "geometries":[{"type":"LineString","coordinates":[[0,0],[1,1]]},
                {"type":"Point","coordinates":[5,6]}]}}]})",
            { { "m", 1, 2 }, { "m", 3, 4 }, { "g", 5, 6 } }, 1 },
        { "other geometries and features without geometry are counted",
            R"({"type":"FeatureCollection","features":[
                {"type":"Feature","geometry":null,"properties":{"name":"none"}},
                {"type":"Feature","properties":{"name":"no member"}},
                {"type":"Feature","geometry":{"coordinates":[[[0,0],[1,0],[0,1],[0,0]]],"type":"Polygon"}},
                {"type":"Feature","geometry":{"type":"Point","coordinates":[]}},
                {"type":"Feature","properties":{"name":"p"},"geometry":{"type":"Point","coordinates":[7,8]}}]})",
            { { "p", 7, 8 } }, 4 },
        { "a bare geometry, escapes and a byte order mark",
            "\xEF\xBB\xBF"
            R"({"type":"GeometryCollection","geometries":[{"type":"Point","coordinates":[1,2]},
                {"type":"MultiPoint","coordinates":[[3,4]]}]})",
            { { "", 1, 2 }, { "", 3, 4 } }, 0 },
        { "escaped names",
            R"({"type":"Feature","properties":{"name":"Caf\u00e9 \"\ud83d\ude00\""},"geometry":{"type":"Point","coordinates":[1,2]}})",
            { { "Caf\xc3\xa9 \"\xf0\x9f\x98\x80\"", 1, 2 } }, 0 },
        { "an empty collection", R"({"type":"FeatureCollection","features":[]})", {}, 0 },
    };
    for (const auto& c : cases) {
        QStringList warnings;
        EXPECT_EQ(Imported(c.Json, &warnings), c.Expected) << c.Name;
        const char* warning = c.Skipped == 1 ? Msg::GeoJsonSkippedOne : Msg::GeoJsonSkippedMany;
        EXPECT_EQ(
            warnings, c.Skipped == 0 ? QStringList() : QStringList { Tr(warning).arg(c.Skipped) })
            << c.Name;
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
    for (const auto& c : cases) {
        TEntries entries;
        entries.AddValues("kept", "", 0, 0);
        EXPECT_EQ(ErrorOf<EUserError>([&] { ImportInto<TConvertFromGeoJson>(entries, c.Json); }),
            c.Message)
            << c.Name;
        EXPECT_EQ(Descriptions(entries), "kept ") << c.Name;
    }
}
