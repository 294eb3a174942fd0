#include "uBenchData.h"

#include <functional>
#include <iterator>
#include <random>

#include "platform/uBytes.h"

namespace {

// Calls `add` with the description, longitude and latitude (1/100000 degree) of each point.
void ForEachPoint(int count, const std::function<void(const std::string&, int32_t, int32_t)>& add)
{
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int32_t> longitude(-1000000, 3000000);
    std::uniform_int_distribution<int32_t> latitude(3600000, 7000000);
    std::uniform_int_distribution<int> extraLength(0, 28);
    const std::string words = "Speed camera Fuel station Restaurant Parking Hotel Museum Harbour ";
    for (int i = 0; i < count; ++i) {
        std::string description = "POI " + std::to_string(i % 100000) + ' ';
        description.resize(12 + extraLength(random), '.');
        description.replace(
            9, std::string::npos, words, static_cast<size_t>(i % 40), description.size() - 9);
        const int32_t lon = longitude(random);
        add(description, lon, latitude(random));
    }
}

void AppendLengthBlock(std::string& out, const std::string& block)
{
    AppendInt32(out, static_cast<int32_t>(block.size() - 1));
    out += block;
}

// Degrees in 1/100000 as Garmin semicircles (2^31 of them to 180 degrees).
int32_t Semicircles(int32_t fixedPoint)
{
    return static_cast<int32_t>(static_cast<int64_t>(fixedPoint) * 2147483648LL / 18000000LL);
}

} // namespace

std::string MakeOv2(int count)
{
    std::string data;
    data.reserve(static_cast<size_t>(count) * 40);
    ForEachPoint(count, [&](const std::string& description, int32_t lon, int32_t lat) {
        data.push_back('\x02');
        AppendInt32(data, static_cast<int32_t>(description.size() + 14));
        AppendInt32(data, lon);
        AppendInt32(data, lat);
        data += description;
        data.push_back('\0');
    });
    return data;
}

std::string MakeMixedScriptGpx(int count)
{
    static const char* const Places[] = { "Αθήνα", "Москва", "北京", "Łódź", "İstanbul", "서울",
        "Tōkyō", "Zürich", "Ærø", "Paris", "Σάμος" };
    constexpr int PlaceCount = static_cast<int>(std::size(Places));
    std::string data = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><gpx>";
    int i = 0;
    ForEachPoint(count, [&](const std::string&, int32_t lon, int32_t lat) {
        data += "<wpt lat=\"" + std::to_string(lat / 100000.0) + "\" lon=\""
            + std::to_string(lon / 100000.0) + "\"><name>" + Places[i % PlaceCount] + ' '
            + std::to_string(i % 100000) + ' ' + Places[(i / PlaceCount) % PlaceCount]
            + "</name></wpt>";
        ++i;
    });
    return data + "</gpx>";
}

std::string MakeGdb(int count)
{
    std::string data("MsRcf\0", 6);
    AppendLengthBlock(data, std::string("Dl\0", 3));
    AppendLengthBlock(data, std::string("A]\x02Marivel bench\0Dec  6 2026\00012:00:00\0", 39));
    data += std::string("MapSource\0", 10);
    // Class, empty country and subclass before the position; altitude flag, comment and the
    // remaining fields after it.
    const std::string beforePosition = std::string(9, '\0') + std::string(12, '\xff')
        + std::string(2, '\0') + std::string(4, '\xff');
    const std::string afterComment =
        std::string("\0\x01\0\0\0\0\0\0\0\x12", 10) + std::string(20, '\0');
    std::string record;
    ForEachPoint(count, [&](const std::string& description, int32_t lon, int32_t lat) {
        record.assign(1, 'W');
        record += description + '\0' + beforePosition;
        AppendInt32(record, Semicircles(lat));
        AppendInt32(record, Semicircles(lon));
        record += '\0' + description + '\0' + afterComment;
        AppendInt32(data, static_cast<int32_t>(record.size() - 1));
        data += record;
    });
    AppendInt32(data, 2);
    data += std::string("V\0\x01", 3);
    return data;
}

std::string MakeCfg(int count)
{
    std::string data(64, '\0');
    const std::string signature("\x04\0\x01\0\0\0\x04\0\x02\0\0\0\x08\0\0\0\0\0\0\0\0\0\x08\0", 24);
    ForEachPoint(count, [&](const std::string& description, int32_t lon, int32_t lat) {
        data += signature;
        AppendInt32(data, lon);
        AppendInt32(data, lat);
        for (const std::string& text :
            { std::string("street"), std::string("city"), description }) {
            data.push_back(static_cast<char>(27 + text.size()));
            data += text;
        }
        data += std::string(8, '\0');
    });
    return data;
}

std::string MakeExcelXml(int count)
{
    std::string data = R"(<?xml version="1.0"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"
 xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">
 <Worksheet ss:Name="POI">
  <Table>
)";
    const auto number = [](int32_t fixedPoint) { return std::to_string(fixedPoint / 100000.0); };
    ForEachPoint(count, [&](const std::string& description, int32_t lon, int32_t lat) {
        data += "   <Row><Cell><Data ss:Type=\"Number\">" + number(lon)
            + "</Data></Cell><Cell><Data ss:Type=\"Number\">" + number(lat)
            + "</Data></Cell><Cell><Data ss:Type=\"String\">" + description
            + "</Data></Cell></Row>\n";
    });
    return data + "  </Table>\n </Worksheet>\n</Workbook>\n";
}

std::string MakeSiteIndex(int count)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pois>\n<groups>\n";
    for (int group = 0; group < 10; ++group)
        xml += "<group><name>group" + std::to_string(group) + "</name><description>Group "
            + std::to_string(group) + "</description></group>\n";
    xml += "</groups>\n";
    for (int poi = 0; poi < count; ++poi) {
        const std::string n = std::to_string(poi);
        xml += "<poi><description>POI file " + n + "</description><url>/files/" + n
            + ".ov2</url><format>ov2.ttov2</format><map>Country " + std::to_string(poi % 40)
            + "</map><group>group" + std::to_string(poi % 10) + "</group>"
            + (poi % 3 == 0 ? "<group>group" + std::to_string((poi + 1) % 10) + "</group>" : "")
            + "<note>Speed cameras and other points of " + n + "</note><lastmodified>/lm.php?f=" + n
            + "</lastmodified></poi>\n";
    }
    return xml + "</pois>\n";
}
