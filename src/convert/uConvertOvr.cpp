#include "convert/uConvertOvr.h"

#include "core/uEntryUnits.h"
#include "core/uNumbers.h"
#include "platform/uBytes.h"
#include "platform/uStreams.h"

namespace {

constexpr uint8_t PoiRecord = 1;
constexpr int Decimals = 4; // of the fixed-point coordinates
constexpr double Scale = 10000;
// The length byte counts both coordinates and the description.
constexpr size_t CoordinatesSize = 8;
constexpr size_t MaxDescriptionSize = UINT8_MAX - CoordinatesSize;

} // namespace

void TConvertToOvr::Execute(TEntries& entries, TStream& stream)
{
    const TEntryUnits units(Decimals);
    TBlockWriter out(stream);
    WriteEntryRecords(*this, entries, out, [&](std::string& record, const TEntry& entry) {
        const std::string_view description =
            FileText(entry.Description()).substr(0, MaxDescriptionSize);
        record.push_back(static_cast<char>(PoiRecord));
        record.push_back(static_cast<char>(description.size() + CoordinatesSize));
        AppendInt32(record, static_cast<int32_t>(units.Longitude(entry)));
        AppendInt32(record, static_cast<int32_t>(units.Latitude(entry)));
        record.append(description);
    });
    out.Flush();
}

void TConvertFromOvr::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes bytes(stream);
    const auto total = static_cast<double>(stream.Size());
    TByteCursor data(bytes.Bytes(), Msg::InvalidOvrFile);
    while (!data.AtEnd()) {
        if (data.Byte() != PoiRecord)
            data.Fail();
        const uint8_t length = data.Byte();
        if (length < CoordinatesSize) // shorter than its own coordinates
            data.Fail();
        auto entry = std::make_unique<TEntry>();
        entry->SetLongitude(FromFixedPoint(data.Int32(), Scale));
        entry->SetLatitude(FromFixedPoint(data.Int32(), Scale));
        entry->SetDescription(EntryText(data.Slice(length - CoordinatesSize)));
        entries.AddEntry(std::move(entry), true);
        stream.Seek(bytes.Origin() + static_cast<int64_t>(data.Position()), TSeekOrigin::Beginning);
        SetProgress(static_cast<double>(stream.Position()) / total * 100);
    }
}

void RegisterOvr()
{
    RegisterFormat<TConvertToOvr, TConvertFromOvr>(
        QStringLiteral("Smartpath Binary"), QStringLiteral("ovr"), rpLast);
}

void UnregisterOvr() { UnregisterFormat<TConvertToOvr, TConvertFromOvr>(); }
