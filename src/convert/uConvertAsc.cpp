#include "convert/uConvertAsc.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QDate>
#include <QLocale>

#include "core/uEntryUnits.h"
#include "core/uNumbers.h"
#include "core/uSettings.h"
#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

// The comment line that opens a file, and the empty line after it. The date is left out
// under the "/dev" switch, so generated files compare equal from run to run.
std::string HeaderLines()
{
    QString text = QStringLiteral("; ") + Tr(Msg::AscGenerated);
    if (!DevSwitch())
        text += QLatin1Char(' ') + Tr(Msg::AscGeneratedOn) + QLatin1Char(' ')
            + QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    text += QLatin1Char(' ') + Tr(Msg::AscGeneratedBy) + QStringLiteral("\r\n\r\n");
    return text.toLatin1().toStdString();
}

// The numbers and separators around the description are composed in place and appended in
// one piece each, as appending them one by one cost more than making them.
void AppendLine(std::string& line, const TEntry& entry, std::string_view description,
    TColumnLayout layout, const TEntryUnits& units)
{
    const int decimals = units.Decimals();
    char text[2 * NumberRoom + 8];
    char* p = text;
    if (layout == TColumnLayout::DescLatLon) {
        line.push_back('"');
        AppendOnOneLine(line, description);
        p = PutText(p, "\", ");
        p = PutFixedUnits(p, units.Latitude(entry), decimals);
        p = PutText(p, ", ");
        p = PutFixedUnits(p, units.Longitude(entry), decimals);
        p = PutText(p, "\r\n");
        line.append(text, static_cast<size_t>(p - text));
        return;
    }
    p = PutFixedUnits(p, units.Longitude(entry), decimals);
    p = PutText(p, ", ");
    p = PutFixedUnits(p, units.Latitude(entry), decimals);
    p = PutText(p, ", \"");
    line.append(text, static_cast<size_t>(p - text));
    AppendOnOneLine(line, description);
    line.append("\"\r\n");
}

// Turns the lines of one file into entries. What it needs of the importer and the locale it
// asks once, as asking per line would be slow on long files.
class TLineReader {
public:
    explicit TLineReader(const TConvertFromAscBase& importer)
        : MinColumns(static_cast<size_t>(importer.MinColumns()))
        , MaxColumns(static_cast<size_t>(importer.MaxColumns()))
        , TitleLineAllowed(importer.HeaderLineAllowed())
        , Separator(LocaleDecimalSeparator())
    {
        switch (importer.ColumnLayout()) {
        case TColumnLayout::LonLatDesc:
            break;
        case TColumnLayout::DescLatLon:
            LongitudeColumn = 2;
            DescriptionColumn = 0;
            break;
        case TColumnLayout::GarminColumns:
            DescriptionColumn = importer.GetOption(0, false) ? 2 : LastColumn;
            break;
        }
    }

    // The entry of line `index` (counted from 0); null for a blank or comment line, and for
    // column titles on the first line where the format allows them.
    std::unique_ptr<TEntry> Read(std::string_view line, size_t index)
    {
        line = Trim(line);
        if (line.empty() || line.front() == ';')
            return nullptr;
        Fields.Split(line);
        if (Fields.size() < MinColumns || Fields.size() > MaxColumns)
            throw EUserError(MinColumns == MaxColumns
                    ? Tr(Msg::ValueCountExpected).arg(MinColumns).arg(Fields.size())
                    : Tr(Msg::ValuesExpected).arg(MinColumns).arg(MaxColumns).arg(Fields.size()));
        double longitude = 0;
        double latitude = 0;
        try {
            longitude = ParseFloat(Fields[LongitudeColumn], Separator);
            latitude = ParseFloat(Fields[LatitudeColumn], Separator);
        } catch (const EConvertError&) {
            if (index == 0 && TitleLineAllowed)
                return nullptr;
            throw;
        }
        const std::string_view description =
            Fields[DescriptionColumn == LastColumn ? Fields.size() - 1 : DescriptionColumn];
        return std::make_unique<TEntry>(
            DecodeText(description, Decoded), std::string_view(), longitude, latitude);
    }

private:
    static constexpr size_t LatitudeColumn = 1;
    static constexpr size_t LastColumn = SIZE_MAX;

    const size_t MinColumns;
    const size_t MaxColumns;
    const bool TitleLineAllowed;
    const char Separator;
    size_t LongitudeColumn = 0;
    size_t DescriptionColumn = 2; // or the last column
    TCommaFields Fields; // reused from line to line
    std::string Decoded; // likewise
};

} // namespace

void TConvertToAscBase::Execute(TEntries& entries, TStream& stream)
{
    TBlockWriter out(stream);
    if (WritesHeader())
        out.Text() += HeaderLines();
    const TColumnLayout layout = ColumnLayout();
    const TEntryUnits units(Precision());
    WriteEntryRecords(*this, entries, out, [&](std::string& line, const TEntry& entry) {
        AppendLine(line, entry, FileText(entry.Description()), layout, units);
    });
    out.Flush();
}

void TConvertFromAscBase::Execute(TEntries& entries, TStream& stream)
{
    TLineReader reader(*this);
    ReadLines(stream, entries, [&](std::string_view line, int index) {
        if (auto entry = reader.Read(line, static_cast<size_t>(index)))
            entries.AddEntry(std::move(entry), true);
    });
}

std::span<const TConvertOption> TConvertToAsc::Options() const
{
    static constexpr TConvertOption options[] = { { Msg::AscMaxPrecision,
        Msg::AscMaxPrecisionHint } };
    return options;
}

int TConvertToAsc::Precision() const
{
    return GetOption(0, false) ? Settings().Precision : TConvertToAscBase::Precision();
}

std::span<const TConvertOption> TConvertFromGarminCsv::Options() const
{
    static constexpr TConvertOption options[] = { { Msg::GarminColumn3, Msg::GarminColumn3Hint } };
    return options;
}

void RegisterAsc()
{
    RegisterFormat<TConvertToAsc, TConvertFromAsc>(
        QStringLiteral("Generic Ascii"), QStringLiteral("asc"), rpBeforeSameExt);
    RegisterFormat<TConvertToNavmanCsv, TConvertFromNavmanCsv>(
        QStringLiteral("Navman Comma Separated"), QStringLiteral("csv"), rpLast);
    RegisterFormat<TConvertToNavio, TConvertFromNavio>(
        QStringLiteral("Navio Ascii"), QStringLiteral("asc"), rpLast);
    RegisterFormat<TConvertToNavioCsv, TConvertFromNavioCsv>(
        QStringLiteral("Navio Comma Separated"), QStringLiteral("csv"), rpLast);
    RegisterFormat<TConvertToGarminCsv, TConvertFromGarminCsv>(
        QStringLiteral("Garmin Comma Separated"), QStringLiteral("csv"), rpLast);
}

void UnregisterAsc()
{
    UnregisterFormat<TConvertToAsc, TConvertFromAsc>();
    UnregisterFormat<TConvertToNavmanCsv, TConvertFromNavmanCsv>();
    UnregisterFormat<TConvertToNavio, TConvertFromNavio>();
    UnregisterFormat<TConvertToNavioCsv, TConvertFromNavioCsv>();
    UnregisterFormat<TConvertToGarminCsv, TConvertFromGarminCsv>();
}
