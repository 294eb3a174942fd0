#include "convert/uConvertExcel.h"

#include "core/uNumbers.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"
#include "platform/uXml.h"

namespace {

enum TColumn { colLongitude = 0, colLatitude = 1, colDescription = 2 };

// The row's own number where the file gives one, else its position among all rows.
int RowNumber(TXmlNode row, int position)
{
    const std::optional<QString> index = row.Attribute(QStringLiteral("ss:Index"));
    return index && !index->isEmpty() ? ParseInteger(UnicodeToCodePage(*index)) : position;
}

QString CellText(const std::vector<TXmlNode>& cells, TColumn column)
{
    return static_cast<size_t>(column) < cells.size() ? cells[column].Text() : QString();
}

double CellNumber(const std::vector<TXmlNode>& cells, TColumn column, const char* message, int row)
{
    try {
        return ParseFloat(UnicodeToCodePage(CellText(cells, column)));
    } catch (const EConvertError&) {
        throw EConvertError(Tr(message).arg(static_cast<int>(column)).arg(row));
    }
}

} // namespace

void TConvertFromExcel::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes input(stream);
    TXmlDocument doc;
    // Text that does not parse leaves an empty document, which has no worksheet.
    doc.Parse(Utf8OrCodePageToUnicode(input.Bytes()));
    stream.Seek(0, TSeekOrigin::End);
    if (!doc.Root().SelectNode(QStringLiteral("Workbook/Worksheet")))
        throw EUserError(Tr(Msg::NoWorksheets));
    const std::vector<TXmlNode> rows =
        doc.Root().SelectNodes(QStringLiteral("Workbook/Worksheet/Table/Row"));
    for (size_t i = 0; i < rows.size(); ++i) {
        const int row = RowNumber(rows[i], static_cast<int>(i));
        const std::vector<TXmlNode> cells = rows[i].SelectNodes(QStringLiteral("Cell"));
        auto entry = std::make_unique<TEntry>();
        entry->SetLongitude(CellNumber(cells, colLongitude, Msg::LongitudeExpected, row));
        entry->SetLatitude(CellNumber(cells, colLatitude, Msg::LatitudeExpected, row));
        entry->SetDescription(UnicodeToCodePage(CellText(cells, colDescription)));
        entries.AddEntry(std::move(entry), true);
        SetProgress(static_cast<double>(i) / static_cast<double>(rows.size()) * 100);
    }
}

void RegisterExcel()
{
    RegisterImporter(ImporterClassOf<TConvertFromExcel>(), QStringLiteral("Excel XML Format"),
        QStringLiteral("xml"), rpLast);
}

void UnregisterExcel() { UnregisterImporter(ImporterClassOf<TConvertFromExcel>()); }
