#include "convert/uConvertMio.h"

#include <string>
#include <vector>

#include "convert/uConvertCsv.h"
#include "core/uEntryUnits.h"
#include "core/uNumbers.h"
#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

constexpr int Decimals = 4;
constexpr int EmptyColumns = 3;

constexpr int MinFields = 4;
constexpr size_t DescriptionField = 0;
constexpr size_t LongitudeField = 2;
constexpr size_t LatitudeField = 3;

} // namespace

int TConvertToMioMap::Precision() const { return Decimals; }

void TConvertToMioMap::Execute(TEntries& entries, TStream& stream)
{
    const TEntryUnits units(Decimals);
    TBlockWriter out(stream);
    WriteEntryRecords(*this, entries, out, [&](std::string& line, const TEntry& entry) {
        AppendPoiLine(line, FileText(entry.Description()), entry, units, EmptyColumns);
    });
    out.Flush();
}

void TConvertFromMioMap::Execute(TEntries& entries, TStream& stream)
{
    // Files written by other programs under the user's locale may use its separator.
    const char separator = LocaleDecimalSeparator();
    TCommaFields fields;
    ReadLines(stream, entries, [&](std::string_view line, int) {
        line = Trim(line);
        if (line.empty())
            return;
        fields.Split(line);
        if (fields.size() < MinFields)
            throw EUserError(Tr(Msg::MinValuesExpected).arg(MinFields).arg(fields.size()));
        const double longitude = ParseFloat(fields[LongitudeField], separator);
        const double latitude = ParseFloat(fields[LatitudeField], separator);
        entries.AddValues(EntryText(fields[DescriptionField]), std::string(), longitude, latitude);
    });
}

void RegisterMio()
{
    RegisterFormat<TConvertToMioMap, TConvertFromMioMap>(
        QStringLiteral("MioMap Comma Separated"), QStringLiteral("csv"), rpLast);
}

void UnregisterMio() { UnregisterFormat<TConvertToMioMap, TConvertFromMioMap>(); }
