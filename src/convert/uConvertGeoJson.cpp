#include "convert/uConvertGeoJson.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include "core/uEntryUnits.h"
#include "core/uNumbers.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

void AppendJsonString(std::string& out, std::string_view utf8)
{
    static constexpr char Hex[] = "0123456789abcdef";
    out += '"';
    size_t plain = 0; // the start of the characters not yet appended, which need no escape
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(utf8.substr(plain, i - plain));
        plain = i + 1;
        out += '\\';
        if (c == '"' || c == '\\') {
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += 'n';
        } else if (c == '\t') {
            out += 't';
        } else {
            out += "u00";
            out += Hex[c >> 4];
            out += Hex[c & 15];
        }
    }
    out.append(utf8.substr(plain));
    out += '"';
}

namespace {

void AppendFeature(std::string& out, const TEntry& entry, const TEntryUnits& units)
{
    // The fixed part is composed in place and appended in one piece.
    char feature[2 * NumberRoom + 96];
    char* p = PutText(feature, R"({"type":"Feature","geometry":{"type":"Point","coordinates":[)");
    p = PutDecimalUnits(p, units.Longitude(entry), units.Decimals());
    *p++ = ',';
    p = PutDecimalUnits(p, units.Latitude(entry), units.Decimals());
    p = PutText(p, R"(]},"properties":{"name":)");
    out.append(feature, static_cast<size_t>(p - feature));
    AppendJsonString(out, entry.Description());
    out += "}}";
}

} // namespace

void TConvertToGeoJson::Execute(TEntries& entries, TStream& stream)
{
    const TEntryUnits units;
    TBlockWriter out(stream);
    out.Text() += R"({"type":"FeatureCollection","features":[)";
    // A feature a line, so that the file reads and compares well as text.
    const char* separator = "\n";
    WriteEntryRecords(*this, entries, out, [&](std::string& text, const TEntry& entry) {
        text += separator;
        separator = ",\n";
        AppendFeature(text, entry, units);
    });
    out.Text() += "\n]}\n";
    out.Flush();
}

namespace {

// Deeper nesting is refused before the parser's own stack grows without bound.
constexpr int MaxJsonDepth = 10000;

// The members of GeoJSON objects that matter here.
enum class TKey {
    Other,
    Type,
    Geometry,
    Properties,
    Coordinates,
    Members,
    Name,
    Title,
    Description
};

// The value `table` gives `name`, else `other`.
template <class T, size_t N>
T Named(const std::pair<std::string_view, T> (&table)[N], std::string_view name, T other)
{
    for (const auto& [known, value] : table)
        if (name == known)
            return value;
    return other;
}

TKey KeyOf(std::string_view key)
{
    static constexpr std::pair<std::string_view, TKey> Keys[] = { { "type", TKey::Type },
        { "geometry", TKey::Geometry }, { "properties", TKey::Properties },
        { "coordinates", TKey::Coordinates }, { "features", TKey::Members },
        { "geometries", TKey::Members }, { "name", TKey::Name }, { "title", TKey::Title },
        { "description", TKey::Description } };
    return Named(Keys, key, TKey::Other);
}

enum class TGeoType {
    None,
    Point,
    MultiPoint,
    GeometryCollection,
    Feature,
    FeatureCollection,
    Other
};

TGeoType GeoTypeOf(std::string_view type)
{
    static constexpr std::pair<std::string_view, TGeoType> Types[] = { { "Point", TGeoType::Point },
        { "MultiPoint", TGeoType::MultiPoint },
        { "GeometryCollection", TGeoType::GeometryCollection }, { "Feature", TGeoType::Feature },
        { "FeatureCollection", TGeoType::FeatureCollection } };
    // Lines, polygons, and types GeoJSON does not know.
    return Named(Types, type, TGeoType::Other);
}

// What an open object or array is to the reader.
enum class TRole {
    Other, // JSON the reader passes over
    GeoObject, // a GeoJSON object: feature, collection or geometry
    Properties, // a feature's properties
    Coordinates, // the "coordinates" array of a geometry, or an array within it
    Members, // "features" or "geometries": an array of GeoJSON objects
};

struct TPosition {
    double Longitude, Latitude;
};

// A string value: where it lies in the input when the input holds it unescaped, so that
// entries can borrow it from there (`TextArena::TBorrowing`), else a copy.
class TJsonText {
public:
    void Clear()
    {
        Raw = {};
        Copied = false;
    }
    // `value` as the parser gives it, whose closing quote in the input is at `quote`.
    void Set(std::string_view value, const char* quote)
    {
        Raw = std::string_view(quote - value.size(), value.size());
        Copied = Raw != value;
        if (Copied)
            Copy.assign(value);
    }
    // Moved with its frame, a copy is read where it now is.
    std::string_view Get() const { return Copied ? std::string_view(Copy) : Raw; }

private:
    std::string_view Raw;
    std::string Copy;
    bool Copied = false;
};

// An open object or array. Frames are reused from one container to the next at their depth,
// so their texts keep their room.
struct TFrame {
    void Reset(TRole role)
    {
        Role = role;
        Key = TKey::Other;
        Type = TGeoType::None;
        HasGeometry = Malformed = HasArrays = HasValues = false;
        PositionDepths = 0;
        Numbers = 0;
        for (TJsonText& name : Names)
            name.Clear();
    }

    TRole Role = TRole::Other;
    TKey Key = TKey::Other; // of the member whose value comes next, in an object
    // A GeoJSON object:
    TGeoType Type = TGeoType::None;
    size_t PointsFrom = 0; // its points are those from here on in the reader's list
    unsigned PositionDepths = 0; // bit n: a position n arrays deep in "coordinates"
    bool HasGeometry = false; // a feature's "geometry" is an object
    bool Malformed = false; // a position of its coordinates is not two numbers or more
    TJsonText Names[3]; // the properties "name", "title" and "description"
    // A coordinates array:
    int Owner = 0; // the depth of its GeoJSON object
    int Depth = 0; // 1 for "coordinates" itself
    int Numbers = 0;
    bool HasArrays = false;
    bool HasValues = false; // that are no numbers
    TPosition Position {};
};

class TGeoJsonReader : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, TGeoJsonReader> {
public:
    TGeoJsonReader(TConvertBase& converter, TEntries& entries, const rapidjson::MemoryStream& in)
        : Converter(converter)
        , Entries(entries)
        , In(in)
    {
    }

    bool StartObject()
    {
        TRole role = TRole::Other;
        if (Depth == 0) {
            role = TRole::GeoObject;
            RootIsObject = true;
        } else if (Top().Role == TRole::Members) {
            role = TRole::GeoObject;
        } else if (Top().Role == TRole::GeoObject && Top().Key == TKey::Geometry) {
            role = TRole::GeoObject;
            Top().HasGeometry = true;
        } else if (Top().Role == TRole::GeoObject && Top().Key == TKey::Properties) {
            role = TRole::Properties;
        }
        if (!Push(role))
            return false;
        Top().PointsFrom = Points.size();
        return true;
    }

    bool StartArray()
    {
        if (Depth == 0)
            return Push(TRole::Other);
        // Copied, as pushing may move the frames.
        const TFrame& parent = Top();
        const TRole role = parent.Role;
        const TKey key = parent.Key;
        if (role == TRole::GeoObject && key == TKey::Members)
            return Push(TRole::Members);
        if (role == TRole::GeoObject && key == TKey::Coordinates)
            return PushCoordinates(Depth - 1, 1);
        if (role == TRole::Coordinates) {
            Top().HasArrays = true;
            return PushCoordinates(parent.Owner, parent.Depth + 1);
        }
        return Push(TRole::Other);
    }

    bool Key(const char* text, rapidjson::SizeType length, bool)
    {
        Top().Key = KeyOf({ text, length });
        return true;
    }

    bool String(const char* text, rapidjson::SizeType length, bool)
    {
        if (Depth == 0)
            return true; // the whole text: no GeoJSON
        const std::string_view value(text, length);
        TFrame& frame = Top();
        if (frame.Role == TRole::GeoObject && frame.Key == TKey::Type)
            frame.Type = GeoTypeOf(value);
        else if (frame.Role == TRole::Properties && frame.Key >= TKey::Name)
            // The parser stands just past the closing quote.
            Frames[static_cast<size_t>(Depth - 2)]
                .Names[static_cast<int>(frame.Key) - static_cast<int>(TKey::Name)]
                .Set(value, In.src_ - 1);
        else if (frame.Role == TRole::Coordinates)
            frame.HasValues = true;
        return true;
    }

    bool RawNumber(const char* text, rapidjson::SizeType length, bool)
    {
        if (Depth == 0 || Top().Role != TRole::Coordinates)
            return true;
        TFrame& frame = Top();
        // Lines and polygons are skipped; their numbers need no parsing.
        if (++frame.Numbers <= 2
            && Frames[static_cast<size_t>(frame.Owner)].Type != TGeoType::Other)
            (frame.Numbers == 1 ? frame.Position.Longitude : frame.Position.Latitude) =
                ParseFloat({ text, length });
        return true;
    }

    // null and true or false
    bool Default()
    {
        if (Depth > 0 && Top().Role == TRole::Coordinates)
            Top().HasValues = true;
        return true;
    }

    bool EndArray(rapidjson::SizeType)
    {
        if (Top().Role == TRole::Coordinates)
            EndCoordinates(Top());
        --Depth;
        return true;
    }

    bool EndObject(rapidjson::SizeType)
    {
        if (Top().Role == TRole::GeoObject)
            EndGeoObject(Top());
        --Depth;
        return true;
    }

    bool TooDeep = false;
    bool RootIsObject = false;
    bool RootHasType = false;
    int Skipped = 0; // geometries that are no points, and features without geometry

private:
    TFrame& Top() { return Frames[static_cast<size_t>(Depth - 1)]; }

    bool Push(TRole role)
    {
        if (Depth == MaxJsonDepth) {
            TooDeep = true;
            return false;
        }
        if (static_cast<size_t>(Depth) == Frames.size())
            Frames.emplace_back();
        Frames[static_cast<size_t>(Depth++)].Reset(role);
        return true;
    }

    bool PushCoordinates(int owner, int depth)
    {
        if (!Push(TRole::Coordinates))
            return false;
        Top().Owner = owner;
        Top().Depth = depth;
        return true;
    }

    // A coordinates array of numbers is a position.
    void EndCoordinates(const TFrame& frame)
    {
        if (frame.Numbers == 0 && !frame.HasValues)
            return; // empty, or a list of positions
        TFrame& owner = Frames[static_cast<size_t>(frame.Owner)];
        if (frame.HasArrays || frame.HasValues || frame.Numbers < 2) {
            owner.Malformed = true;
            return;
        }
        owner.PositionDepths |= 1U << std::min(frame.Depth, 31);
        if (owner.Type != TGeoType::Other)
            Points.push_back(frame.Position);
    }

    void EndGeoObject(const TFrame& object)
    {
        const size_t count = Points.size() - object.PointsFrom;
        switch (object.Type) {
        case TGeoType::Point:
        case TGeoType::MultiPoint: {
            const unsigned depth = object.Type == TGeoType::Point ? 1U << 1 : 1U << 2;
            if (object.Malformed || (object.PositionDepths & ~depth) != 0
                || (object.Type == TGeoType::Point && count > 1))
                throw EUserError(Tr(Msg::InvalidGeoJsonPoint).arg(In.Tell()));
            if (count == 0)
                ++Skipped; // an empty geometry
            break;
        }
        case TGeoType::GeometryCollection:
            break;
        case TGeoType::Feature:
            if (!object.HasGeometry)
                ++Skipped;
            AddPoints(object.PointsFrom, NameOf(object));
            ReportProgress();
            break;
        case TGeoType::FeatureCollection:
            AddPoints(object.PointsFrom, {});
            break;
        case TGeoType::Other:
        case TGeoType::None:
            if (count > 0 || object.Type == TGeoType::Other)
                ++Skipped;
            Points.resize(object.PointsFrom);
            break;
        }
        if (Depth == 1) {
            RootHasType = object.Type != TGeoType::None;
            AddPoints(0, {}); // a geometry or a geometry collection by itself
        }
    }

    static std::string_view NameOf(const TFrame& feature)
    {
        for (const TJsonText& name : feature.Names)
            if (!name.Get().empty())
                return name.Get();
        return {};
    }

    void AddPoints(size_t from, std::string_view name)
    {
        for (size_t i = from; i < Points.size(); ++i)
            Entries.AddEntry(std::make_unique<TEntry>(
                                 name, std::string_view(), Points[i].Longitude, Points[i].Latitude),
                true);
        Points.resize(from);
    }

    void ReportProgress()
    {
        const size_t position = In.Tell();
        if (position < NextPercent)
            return;
        const auto size = static_cast<double>(In.size_);
        Converter.SetProgress(static_cast<double>(position) / size * 100);
        NextPercent = static_cast<size_t>((Converter.Progress() + 1) * size / 100);
    }

    TConvertBase& Converter;
    TEntries& Entries;
    const rapidjson::MemoryStream& In;
    std::vector<TFrame> Frames;
    int Depth = 0; // the frames open
    // Points read and not yet added: those of geometries whose feature has not ended.
    std::vector<TPosition> Points;
    size_t NextPercent = 0;
};

// A feature in the fewest bytes, for the most a text can hold.
constexpr std::string_view ShortestFeature =
    R"({"type":"Feature","geometry":{"type":"Point","coordinates":[0,0]}})";

QString ParseFault(const rapidjson::Reader& parser, const TGeoJsonReader& reader)
{
    if (reader.TooDeep)
        return Tr(Msg::GeoJsonTooDeep).arg(MaxJsonDepth);
    return Tr(Msg::InvalidGeoJson)
        .arg(parser.GetErrorOffset())
        .arg(QString::fromUtf8(rapidjson::GetParseError_En(parser.GetParseErrorCode())));
}

} // namespace

void TConvertFromGeoJson::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes input(stream);
    std::string_view bytes = input.Bytes();
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3); // a byte order mark, which RFC 7946 forbids but editors write
    entries.Reserve(bytes.size() / ShortestFeature.size());
    const int countBefore = entries.Count();
    rapidjson::MemoryStream in(bytes.data(), bytes.size());
    TGeoJsonReader reader(*this, entries, in);
    rapidjson::Reader parser;
    try {
        // Iterative, so that deep nesting costs no stack; numbers as text, which ParseFloat
        // reads to the nearest double as every other format's reader does.
        constexpr unsigned Flags = rapidjson::kParseIterativeFlag
            | rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseValidateEncodingFlag;
        if (parser.Parse<Flags>(in, reader).IsError())
            throw EUserError(ParseFault(parser, reader));
        if (!reader.RootIsObject || !reader.RootHasType)
            throw EUserError(Tr(Msg::NotGeoJson));
    } catch (const EUserError&) {
        while (entries.Count() > countBefore)
            entries.Delete(entries.Count() - 1);
        throw;
    }
    stream.Seek(0, TSeekOrigin::End);
    if (reader.Skipped > 0)
        Warn(Tr(reader.Skipped == 1 ? Msg::GeoJsonSkippedOne : Msg::GeoJsonSkippedMany)
                 .arg(reader.Skipped));
}

void RegisterGeoJson()
{
    RegisterFormat<TConvertToGeoJson, TConvertFromGeoJson>(
        QStringLiteral("GeoJSON"), QStringLiteral("geojson"), rpLast);
}

void UnregisterGeoJson() { UnregisterFormat<TConvertToGeoJson, TConvertFromGeoJson>(); }
