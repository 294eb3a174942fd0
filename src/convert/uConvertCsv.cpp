#include "convert/uConvertCsv.h"

#include <algorithm>
#include <iterator>
#include <vector>

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
    std::string line;
    const int count = entries.Count();
    for (int i = 0; i < count; ++i) {
        const TEntry& entry = entries.Items(i);
        description.clear();
        std::remove_copy(entry.Description().begin(), entry.Description().end(),
            std::back_inserter(description), '"');
        line.clear();
        AppendPoiLine(
            line, description, entry.Longitude(), entry.Latitude(), Decimals, EmptyColumns);
        stream.Write(line);
    }
}

void TConvertFromCsv::Execute(TEntries& entries, TStream& stream)
{
    TCommaFields fields;
    auto field = [&](size_t index) {
        if (index >= fields.size())
            throw EUserError(Tr(Msg::ListIndexError).arg(static_cast<int>(index)));
        return fields[index];
    };
    // The numbers are written with "." whatever the locale, so only "." is read.
    ReadLines(stream, entries, [&](std::string_view line, int) {
        fields.Split(line);
        const std::string_view description = field(DescriptionField);
        const double longitude = ParseFloat(field(LongitudeField));
        const double latitude = ParseFloat(field(LatitudeField));
        entries.AddValues(description, std::string(), longitude, latitude);
    });
}

void AppendPoiLine(std::string& line, std::string_view description, double longitude,
    double latitude, int decimals, int emptyColumns)
{
    line += '"';
    AppendOnOneLine(line, description);
    line += "\",\"";
    AppendOnOneLine(line, description);
    line += "\",";
    AppendFixed(line, longitude, decimals);
    line += ',';
    AppendFixed(line, latitude, decimals);
    line.append(static_cast<size_t>(emptyColumns), ',');
    line += "\r\n";
}

void RegisterCsv()
{
    RegisterFormat<TConvertToCsv, TConvertFromCsv>(
        QStringLiteral("Destinator Comma Separated"), QStringLiteral("csv"), rpBeforeSameExt);
}

void UnregisterCsv() { UnregisterFormat<TConvertToCsv, TConvertFromCsv>(); }
