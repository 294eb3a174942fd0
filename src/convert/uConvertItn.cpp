#include "convert/uConvertItn.h"

#include <array>
#include <optional>
#include <vector>

#include "core/uEntryUnits.h"
#include "core/uNumbers.h"
#include "core/uUtils.h"
#include "platform/uStreams.h"

namespace {

constexpr int Decimals = 5; // of the fixed-point coordinates
constexpr double Scale = 100000;
constexpr char Separator = '|';

// Longitude, latitude, description and flag.
using TItnFields = std::array<std::string_view, 4>;

// The four fields of `line`; none when it has fewer than three separators. The last field
// takes the rest of the line, separators included.
std::optional<TItnFields> SplitItnLine(std::string_view line)
{
    if (line.ends_with(Separator))
        line.remove_suffix(1);
    TItnFields fields;
    for (size_t i = 0; i < fields.size() - 1; ++i) {
        const size_t end = line.find(Separator);
        if (end == std::string_view::npos)
            return std::nullopt;
        fields[i] = line.substr(0, end);
        line.remove_prefix(end + 1);
    }
    fields.back() = line;
    return fields;
}

std::unique_ptr<TEntry> EntryOf(const TItnFields& fields, std::string_view description)
{
    auto entry = std::make_unique<TEntry>();
    entry->SetLongitude(FromFixedPoint(ParseInteger(fields[0]), Scale));
    entry->SetLatitude(FromFixedPoint(ParseInteger(fields[1]), Scale));
    entry->SetDescription(description);
    const int32_t flag = ParseInteger(fields[3]);
    entry->SetIpEnabled(flag & 1);
    entry->SetIpStopOver(flag & 2);
    entry->SetIpDeparture(flag & 4);
    return entry;
}

} // namespace

void TConvertToItn::Execute(TEntries& entries, TStream& stream)
{
    const TEntryUnits units(Decimals);
    TBlockWriter out(stream);
    WriteEntryRecords(*this, entries, out, [&](std::string& line, const TEntry& entry) {
        // The numbers composed in place, each side of the description appended in one piece.
        char text[2 * NumberRoom + 2];
        char* p = PutInteger(text, units.Longitude(entry));
        *p++ = Separator;
        p = PutInteger(p, units.Latitude(entry));
        *p++ = Separator;
        line.append(text, static_cast<size_t>(p - text));
        AppendOnOneLine(line, FileText(entry.Description()));
        p = text;
        *p++ = Separator;
        p = PutInteger(p, entry.Flag());
        *p++ = Separator;
        p = PutText(p, "\r\n");
        line.append(text, static_cast<size_t>(p - text));
    });
    out.Flush();
}

void TConvertFromItn::Execute(TEntries& entries, TStream& stream)
{
    // The whole text is read before the first line is parsed.
    const TStreamBytes bytes(stream);
    stream.Seek(
        bytes.Origin() + static_cast<int64_t>(bytes.Bytes().size()), TSeekOrigin::Beginning);
    const std::vector<std::string_view> lines = SplitLines(bytes.Bytes());
    const auto count = static_cast<double>(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = Trim(lines[i]);
        if (line.empty())
            continue;
        if (const std::optional<TItnFields> fields = SplitItnLine(line))
            entries.AddEntry(EntryOf(*fields, EntryText((*fields)[2])), false);
        SetProgress(static_cast<double>(i) / count * 100);
    }
}

void RegisterItn()
{
    RegisterFormat<TConvertToItn, TConvertFromItn>(
        QStringLiteral("TomTom Itinerary"), QStringLiteral("itn"), rpLast);
}

void UnregisterItn() { UnregisterFormat<TConvertToItn, TConvertFromItn>(); }
