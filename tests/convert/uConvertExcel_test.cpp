#include "convert/uConvertExcel.h"

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "platform/uXml.h"
#include "testing.h"

namespace {

std::string Workbook(const std::string& sheets)
{
    return R"(<?xml version="1.0"?>
<?mso-application progid="Excel.Sheet"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"
 xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">)"
        + sheets + "</Workbook>";
}

std::string Sheet(const std::string& rows)
{
    return "<Worksheet ss:Name=\"s\"><Table>" + rows + "</Table></Worksheet>";
}

std::string Row(const std::string& cells, const std::string& attributes = "")
{
    return "<Row" + attributes + ">" + cells + "</Row>";
}

std::string Cell(const std::string& text, const std::string& type = "Number")
{
    return "<Cell><Data ss:Type=\"" + type + "\">" + text + "</Data></Cell>";
}

} // namespace

// Rows before the fault stay.
TEST(TConvertFromExcel, MessagesNameTheColumnAndTheRow)
{
    const auto error = [](const std::string& sheets) {
        return ReadOutcome<TConvertFromExcel>(Workbook(sheets));
    };
    const std::string titles = Cell("Lon", "String") + Cell("Lat", "String");
    const QString noSheets = "File does not contain any worksheets | kept ";
    EXPECT_EQ(error(Sheet(Row(titles))), "Longitude expected in column 0 of row 0 | kept ");
    EXPECT_EQ(error(Sheet(Row(titles, " ss:Index=\"1\""))),
        "Longitude expected in column 0 of row 1 | kept ");
    EXPECT_EQ(error(Sheet(Row(Cell("1") + Cell("2")) + Row(Cell("1") + Cell("2,5")))),
        "Latitude expected in column 1 of row 1 | kept  ");
    EXPECT_EQ(error(Sheet(Row(Cell("1") + Cell("2")) + Row(Cell("x") + Cell("2")))),
        "Longitude expected in column 0 of row 1 | kept  ");
    EXPECT_EQ(error(Sheet(Row("<Cell/>" + Cell("2"), " ss:Index=\"\""))),
        "Longitude expected in column 0 of row 0 | kept ");
    EXPECT_EQ(error(""), noSheets);
    EXPECT_EQ(ReadOutcome<TConvertFromExcel>("not xml at all"), noSheets);
    EXPECT_EQ(error(Sheet(Row(Cell("1") + Cell("2"))) + "<Worksheet>"), noSheets);
}

// The rows of every sheet are read.
TEST(TConvertFromExcel, CellTextAtAnyDepthUpToTheNestingLimit)
{
    const auto import = [](const std::string& firstCell) {
        TEntries entries;
        const std::string error = ErrorOf<EUserError>([&] {
            ImportInto<TConvertFromExcel>(entries,
                Workbook(Sheet(Row(Cell("1") + Cell("2"))
                             + Row("<Cell>" + firstCell + "</Cell>" + Cell("4") + Cell("after")))
                    + Sheet(Row(Cell("5") + Cell("6")))));
        }).toStdString();
        return error + " " + std::to_string(entries.Count());
    };
    EXPECT_EQ(import(Nested(MaxXmlDepth - 5, "3") + "<!-- -->.5"), "no error 3");
    EXPECT_EQ(
        import(Nested(MaxXmlDepth - 4, "3")), "Invalid xml: nesting deeper than 10000 levels 0");
}
