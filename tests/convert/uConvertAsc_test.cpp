#include "convert/uConvertAsc.h"

#include <QDate>
#include <QLocale>

#include <gtest/gtest.h>

#include "core/uUtils.h"
#include "platform/uStreams.h"
#include "testing.h"

namespace {

void Import(TConvertFromAscBase&& importer, TEntries& entries, const std::string& text)
{
    TMemoryStream stream(text);
    importer.Execute(entries, stream);
    EXPECT_EQ(stream.Position(), stream.Size());
}

} // namespace

// The layouts' bytes are kept by the output digests; the header is dated but for developers.
TEST(TConvertToAscBase, DatesTheHeader)
{
    SetDevSwitch(false);
    const QString today = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    const std::string dated =
        "; This Ascii PoiFile was generated on " + today.toStdString() + " by ";
    TEntries none;
    EXPECT_EQ(Exported<TConvertToNavio>(none).substr(0, dated.size()), dated);
}

TEST(TConvertFromAscBase, FailuresNameTheLineFromOneAndKeepWhatWasRead)
{
    TEntries entries;
    auto errorOf = [&](TConvertFromAscBase&& importer, const std::string& text) {
        const QString error =
            ErrorOf<EUserError>([&] { Import(std::move(importer), entries, text); });
        const QString advice =
            ". Open the file in the format it was written in, or correct that line";
        EXPECT_TRUE(error.endsWith(advice)) << error.toStdString();
        return error.chopped(advice.size());
    };
    EXPECT_EQ(errorOf(TConvertFromNavmanCsv(), "; comment\r\n1,2,a\r\n3,4\r\n5,6,b"),
        "Line 3 does not fit this format: 3 values expected, 2 found");
    EXPECT_EQ(entries.Count(), 1);
    EXPECT_EQ(errorOf(TConvertFromGarminCsv(), "1,2,a,b,c"),
        "Line 1 does not fit this format: 3 to 4 values expected, 5 found");
    EXPECT_EQ(errorOf(TConvertFromNavmanCsv(), "Lon,Lat,a"),
        "Line 1 does not fit this format: 'Lon' is not a valid floating point value");
    EXPECT_EQ(errorOf(TConvertFromGarminCsv(), "\n1,2,a\nx,y,z"),
        "Line 3 does not fit this format: 'x' is not a valid floating point value")
        << "column titles only on the first line";
}

TEST(TConvertFromGarminCsv, TakesTheLastColumnOrTheThirdByOptionAndPassesTitlesOver)
{
    const TTempConfig config;
    const std::string text = "Longitude,Latitude,Name,Comment\n1,2,name,comment\n3,4,only\n";
    TEntries entries;
    Import(TConvertFromGarminCsv(), entries, text);
    TConvertFromGarminCsv().SetOption(0, true);
    Import(TConvertFromGarminCsv(), entries, text);
    EXPECT_EQ(ReadPoints(entries),
        std::vector<TReadPoint>(
            { { "comment", 1, 2 }, { "only", 3, 4 }, { "name", 1, 2 }, { "only", 3, 4 } }));
}
