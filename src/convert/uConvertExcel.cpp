#include "convert/uConvertExcel.h"

#include <array>
#include <string>

#include "core/uNumbers.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"
#include "platform/uXmlScanner.h"

namespace {

enum TColumn { colLongitude = 0, colLatitude = 1, colDescription = 2 };
constexpr size_t ColumnsRead = 3;

using TToken = TXmlScanner::TToken;

bool IsWorksheet(const TXmlScanner& scanner)
{
    return scanner.OpenPathIs({ "Workbook", "Worksheet" });
}

bool IsRow(const TXmlScanner& scanner)
{
    return scanner.OpenPathIs({ "Workbook", "Worksheet", "Table", "Row" });
}

// Checks the whole text and counts the rows, so that text that turns out malformed, or a
// workbook without worksheets, adds no entry. Fails with the message for both.
size_t CountRows(std::string_view bytes)
{
    TXmlScanner scanner(bytes);
    bool worksheet = false;
    size_t rows = 0;
    for (TToken token; (token = scanner.Next()) != TToken::End;) {
        if (token == TToken::Malformed)
            throw EUserError(Tr(Msg::NoWorksheets));
        if (token == TToken::StartTag) {
            worksheet = worksheet || IsWorksheet(scanner);
            rows += IsRow(scanner) ? 1 : 0;
        }
    }
    if (!worksheet)
        throw EUserError(Tr(Msg::NoWorksheets));
    return rows;
}

// The row's own number where the file gives one, else its position among all rows.
int RowNumber(const TXmlScanner& row, int position)
{
    std::string index;
    return row.Attribute("ss:Index", index) && !index.empty() ? ParseInteger(index) : position;
}

// The text of the first cells of the row whose start tag is current, read up to its end
// tag; a cell's text is all the text within it. The text was checked before.
struct TRowCells {
    std::array<std::string, ColumnsRead> Text;
    size_t Count = 0;

    void Read(TXmlScanner& scanner)
    {
        for (std::string& text : Text)
            text.clear();
        Count = 0;
        const int depth = scanner.Depth();
        std::string* cell = nullptr; // the text of the cell being read, if it is one of the first
        for (TToken token; (token = scanner.Next()) != TToken::End;) {
            if (token == TToken::StartTag && scanner.Depth() == depth + 1
                && scanner.Name() == "Cell") {
                cell = Count < ColumnsRead ? &Text[Count] : nullptr;
                ++Count;
            } else if (token == TToken::Text && cell && scanner.Depth() > depth) {
                scanner.AppendText(*cell);
            } else if (token == TToken::EndTag && scanner.Depth() <= depth + 1) {
                if (scanner.Depth() == depth)
                    return;
                cell = nullptr;
            }
        }
    }

    double Number(TColumn column, const char* message, int row) const
    {
        try {
            return ParseFloat(Text[column]);
        } catch (const EConvertError&) {
            throw EConvertError(Tr(message).arg(static_cast<int>(column)).arg(row));
        }
    }
};

} // namespace

// The rows are read straight from the text, so a large workbook needs little more memory
// than its own bytes.
void TConvertFromExcel::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes input(stream);
    stream.Seek(0, TSeekOrigin::End);
    std::string utf8;
    const std::string_view bytes = XmlBytesAsUtf8(input.Bytes(), utf8);
    const size_t rows = CountRows(bytes);
    TXmlScanner scanner(bytes);
    TRowCells cells;
    size_t i = 0;
    for (TToken token; (token = scanner.Next()) != TToken::End;) {
        if (token != TToken::StartTag || !IsRow(scanner))
            continue;
        const int row = RowNumber(scanner, static_cast<int>(i));
        cells.Read(scanner);
        auto entry = std::make_unique<TEntry>();
        entry->SetLongitude(cells.Number(colLongitude, Msg::LongitudeExpected, row));
        entry->SetLatitude(cells.Number(colLatitude, Msg::LatitudeExpected, row));
        entry->SetDescription(cells.Text[colDescription]);
        entries.AddEntry(std::move(entry), true);
        SetProgress(static_cast<double>(i) / static_cast<double>(rows) * 100);
        ++i;
    }
}

void RegisterExcel()
{
    RegisterImporter(ImporterClassOf<TConvertFromExcel>(), QStringLiteral("Excel XML Format"),
        QStringLiteral("xml"), rpLast);
}

void UnregisterExcel() { UnregisterImporter(ImporterClassOf<TConvertFromExcel>()); }
