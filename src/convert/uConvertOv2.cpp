#include "convert/uConvertOv2.h"

#include "core/uEntryUnits.h"
#include "core/uNumbers.h"
#include "platform/uBytes.h"
#include "platform/uStreams.h"

namespace {

enum TRecordType : uint8_t {
    rtDeleted = 0,
    rtBlockHeader = 1,
    rtSimple = 2,
    rtExtended = 3,
    rtBlockHeader2 = 100,
};

constexpr int Decimals = 5; // of the fixed-point coordinates
constexpr double Scale = 100000;
constexpr size_t BlockBoundsSize = 16;
// Type byte, length, longitude, latitude and the description's terminating zero.
constexpr size_t SimpleRecordOverhead = 14;

} // namespace

void TConvertToOv2::Execute(TEntries& entries, TStream& stream)
{
    const TEntryUnits units(Decimals);
    TBlockWriter out(stream);
    WriteEntryRecords(*this, entries, out, [&](std::string& record, const TEntry& entry) {
        const std::string_view description = FileText(UpToZero(entry.Description()));
        record.push_back(static_cast<char>(rtSimple));
        AppendInt32(record, static_cast<int32_t>(description.size() + SimpleRecordOverhead));
        AppendInt32(record, static_cast<int32_t>(units.Longitude(entry)));
        AppendInt32(record, static_cast<int32_t>(units.Latitude(entry)));
        record.append(description);
        record.push_back('\0');
    });
    out.Flush();
}

void TConvertFromOv2::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes bytes(stream);
    const auto total = static_cast<double>(stream.Size());
    TByteCursor data(bytes.Bytes(), Msg::InvalidOv2File);
    auto reportPosition = [&] {
        SetProgress(static_cast<double>(bytes.Origin() + static_cast<int64_t>(data.Position()))
            / total * 100);
    };
    auto endAtLastRecord = [&] {
        stream.Seek(bytes.Origin() + static_cast<int64_t>(data.Position()), TSeekOrigin::Beginning);
    };
    entries.Reserve(bytes.Bytes().size() / SimpleRecordOverhead);
    while (!data.AtEnd()) {
        uint8_t type = data.Byte();
        // Block headers only group the records that follow; a header that ends the data
        // ends the import.
        while (type == rtBlockHeader || type == rtBlockHeader2) {
            data.Int32();
            data.Skip(BlockBoundsSize);
            if (data.AtEnd()) {
                reportPosition();
                return endAtLastRecord();
            }
            type = data.Byte();
        }
        if (type != rtDeleted && type != rtSimple && type != rtExtended)
            data.Fail();
        const size_t recordStart = data.Position() - 1;
        const int32_t length = data.Int32();
        const int32_t longitude = data.Int32();
        const int32_t latitude = data.Int32();
        const std::string_view description = data.ZeroTerminated();
        if (type == rtExtended) {
            data.ZeroTerminated();
            data.ZeroTerminated();
        }
        if (data.Position() - recordStart != static_cast<uint32_t>(length))
            data.Fail();
        if (type != rtDeleted)
            entries.AddEntry(std::make_unique<TEntry>(EntryText(description), std::string_view(),
                                 FromFixedPoint(longitude, Scale), FromFixedPoint(latitude, Scale)),
                true);
        reportPosition();
    }
    endAtLastRecord();
}

void RegisterOv2()
{
    RegisterFormat<TConvertToOv2, TConvertFromOv2>(
        QStringLiteral("TomTom Binary"), QStringLiteral("ov2"), rpFirst);
}

void UnregisterOv2() { UnregisterFormat<TConvertToOv2, TConvertFromOv2>(); }
