#include "convert/uConvertGdb.h"

#include <algorithm>

#include "platform/uBytes.h"
#include "platform/uStreams.h"

namespace {

using namespace std::string_view_literals;

constexpr std::string_view Signature = "MsRcf\0"sv;
constexpr std::string_view Creator = "MapSource\0"sv;
// The writer's buffer for a header block; a longer block cannot come from it.
constexpr size_t HeaderBufferSize = 128;
constexpr uint8_t WaypointRecord = 'W';
constexpr size_t WaypointClassSize = 4;
constexpr size_t WaypointSubclassSize = 22;
constexpr double DegreesPerSemicircle = 180.0 / 2147483648.0;
// Length, type, the empty name and country, the class and subclass, and the position.
constexpr size_t ShortestWaypoint = 4 + 1 + 1 + WaypointClassSize + 1 + WaypointSubclassSize + 8;

// A header block: its length L, then L + 1 bytes.
std::string_view HeaderBlock(TByteCursor& data)
{
    const auto length = static_cast<uint32_t>(data.Int32());
    if (length >= HeaderBufferSize)
        data.Fail();
    return data.Slice(length + 1);
}

void ReadHeader(TByteCursor& data)
{
    if (data.Slice(Signature.size()) != Signature)
        data.Fail();
    const std::string_view version = HeaderBlock(data);
    const std::string_view versionText = version.substr(0, version.find('\0'));
    if (versionText != "Dk" && versionText != "Dl")
        throw EUserError(Tr(Msg::InvalidGdbVersion));
    HeaderBlock(data);
    if (data.Slice(Creator.size()) != Creator)
        data.Fail();
}

std::unique_ptr<TEntry> ReadWaypoint(std::string_view record, std::string& decoded)
{
    TByteCursor data(record, Msg::InvalidGdbHeader);
    const std::string_view description = data.ZeroTerminated();
    data.Skip(WaypointClassSize);
    data.ZeroTerminated(); // country
    data.Skip(WaypointSubclassSize);
    const double latitude = data.Int32() * DegreesPerSemicircle;
    const double longitude = data.Int32() * DegreesPerSemicircle;
    return std::make_unique<TEntry>(
        DecodeText(description, decoded), std::string_view(), longitude, latitude);
}

} // namespace

void TConvertFromGdb::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes bytes(stream);
    const auto total = static_cast<double>(stream.Size());
    TByteCursor data(bytes.Bytes(), Msg::InvalidGdbHeader);
    ReadHeader(data);
    entries.Reserve(data.Remaining() / ShortestWaypoint);
    std::string decoded;
    while (!data.AtEnd()) {
        const auto length = static_cast<uint32_t>(data.Int32());
        const uint8_t type = data.Byte();
        // A record said to run past the data is cut to it and ends the import.
        const std::string_view record = data.Slice(std::min<size_t>(length, data.Remaining()));
        if (type == WaypointRecord)
            entries.AddEntry(ReadWaypoint(record, decoded), true);
        SetProgress(static_cast<double>(bytes.Origin() + static_cast<int64_t>(data.Position()))
            / total * 100);
    }
    stream.Seek(bytes.Origin() + static_cast<int64_t>(data.Position()), TSeekOrigin::Beginning);
}

void RegisterGdb()
{
    RegisterImporter(ImporterClassOf<TConvertFromGdb>(), QStringLiteral("Garmin Mapsource"),
        QStringLiteral("gdb"), rpBeforeSameExt);
}

void UnregisterGdb() { UnregisterImporter(ImporterClassOf<TConvertFromGdb>()); }
