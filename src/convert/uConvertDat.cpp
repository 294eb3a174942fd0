#include "convert/uConvertDat.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "core/uEntryUnits.h"
#include "platform/uBytes.h"
#include "platform/uCodePage.h"
#include "platform/uStreams.h"

namespace {

constexpr std::string_view RecordKind = "Dynamic POI";
// After the description: strings and bytes that this program leaves empty and does not read.
constexpr int UnusedStrings = 7;
constexpr size_t UnusedBytes = 8;
// The position is stored twice, then zeros close the record.
constexpr size_t ClosingZeros = 16;
// Nine empty strings, the unused bytes, the positions and the closing zeros.
constexpr size_t ShortestRecord =
    (UnusedStrings + 2) * sizeof(char16_t) + UnusedBytes + 4 * sizeof(double) + ClosingZeros;

void AppendZeroTerminatedUtf16(std::string& out, std::string_view text)
{
    AppendUtf16LE(out, UpToZero(text));
    out.append(2, '\0');
}

} // namespace

void TConvertToDat::Execute(TEntries& entries, TStream& stream)
{
    // Widened once, as it starts every record.
    std::string kind;
    AppendZeroTerminatedUtf16(kind, RecordKind);
    // The doubles nearest the decimal values, as the entries' own Longitude and Latitude give
    // them, without asking the settings per entry; a value that rounds to zero keeps its sign.
    const TEntryUnits units;
    const auto scale = static_cast<double>(WholePowerOf10(units.Decimals()));
    const auto degrees = [&](int64_t signedUnits, bool negative) {
        const double value = static_cast<double>(std::abs(signedUnits)) / scale;
        return negative ? -value : value;
    };
    TBlockWriter out(stream);
    WriteEntryRecords(*this, entries, out, [&](std::string& record, const TEntry& entry) {
        const double longitude = degrees(units.Longitude(entry), entry.LonWest());
        const double latitude = degrees(units.Latitude(entry), entry.LatSouth());
        record.append(kind);
        AppendZeroTerminatedUtf16(record, entry.Description());
        record.append(UnusedStrings * sizeof(char16_t) + UnusedBytes, '\0');
        AppendDouble(record, longitude);
        AppendDouble(record, latitude);
        AppendDouble(record, longitude);
        AppendDouble(record, latitude);
        record.append(ClosingZeros, '\0');
    });
    out.Flush();
}

void TConvertFromDat::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes bytes(stream);
    TByteCursor data(bytes.Bytes(), Msg::InvalidDatFile);
    entries.Reserve(bytes.Bytes().size() / ShortestRecord);
    std::string description;
    while (!data.AtEnd()) {
        data.ZeroTerminatedUtf16(); // the record kind
        Utf16LEToUtf8(data.ZeroTerminatedUtf16(), description);
        for (int i = 0; i < UnusedStrings; ++i)
            data.ZeroTerminatedUtf16();
        data.Skip(UnusedBytes);
        const double longitude = data.Double();
        const double latitude = data.Double();
        data.Skip(2 * sizeof(double) + ClosingZeros);
        entries.AddEntry(
            std::make_unique<TEntry>(description, std::string_view(), longitude, latitude), true);
    }
    stream.Seek(0, TSeekOrigin::End);
}

void RegisterDat()
{
    RegisterFormat<TConvertToDat, TConvertFromDat>(
        QStringLiteral("Destinator Binary"), QStringLiteral("dat"), rpLast);
}

void UnregisterDat() { UnregisterFormat<TConvertToDat, TConvertFromDat>(); }
