#include "convert/uConvertCsv.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "core/uEntryUnits.h"
#include "core/uNumbers.h"
#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

constexpr int Decimals = 5;
constexpr int EmptyColumns = 4;

constexpr size_t DescriptionField = 0;
constexpr size_t LongitudeField = 2;
constexpr size_t LatitudeField = 3;

} // namespace

int TConvertToCsv::Precision() const { return Decimals; }

void TConvertToCsv::Execute(TEntries& entries, TStream& stream)
{
    std::string description;
    const TEntryUnits units(Decimals);
    TBlockWriter out(stream);
    WriteEntryRecords(*this, entries, out, [&](std::string& line, const TEntry& entry) {
        const std::string_view text = FileText(entry.Description());
        description.clear();
        std::remove_copy(text.begin(), text.end(), std::back_inserter(description), '"');
        AppendPoiLine(line, description, entry, units, EmptyColumns);
    });
    out.Flush();
}

void TConvertFromCsv::Execute(TEntries& entries, TStream& stream)
{
    TCommaFields fields;
    // The numbers are written with "." whatever the locale, so only "." is read.
    ReadLines(stream, entries, [&](std::string_view line, int) {
        fields.Split(line);
        if (fields.size() <= LatitudeField)
            throw EUserError(Tr(Msg::MinValuesExpected).arg(LatitudeField + 1).arg(fields.size()));
        const std::string_view description = fields[DescriptionField];
        const double longitude = ParseFloat(fields[LongitudeField]);
        const double latitude = ParseFloat(fields[LatitudeField]);
        entries.AddValues(EntryText(description), std::string(), longitude, latitude);
    });
}

void AppendPoiLine(std::string& line, std::string_view description, const TEntry& entry,
    const TEntryUnits& units, int emptyColumns)
{
    line += '"';
    AppendOnOneLine(line, description);
    line += "\",\"";
    AppendOnOneLine(line, description);
    // The numbers composed in place and appended in one piece.
    char text[2 * NumberRoom + 3];
    char* p = PutText(text, "\",");
    p = PutFixedUnits(p, units.Longitude(entry), units.Decimals());
    *p++ = ',';
    p = PutFixedUnits(p, units.Latitude(entry), units.Decimals());
    line.append(text, static_cast<size_t>(p - text));
    line.append(static_cast<size_t>(emptyColumns), ',');
    line += "\r\n";
}

void RegisterCsv()
{
    RegisterFormat<TConvertToCsv, TConvertFromCsv>(
        QStringLiteral("Destinator Comma Separated"), QStringLiteral("csv"), rpBeforeSameExt);
}

void UnregisterCsv() { UnregisterFormat<TConvertToCsv, TConvertFromCsv>(); }
