#include "convert/uConvertDat.h"

#include <gtest/gtest.h>

#include "convert/uConvertCsv.h"
#include "core/uSettings.h"
#include "platform/uStreams.h"
#include "testing.h"

namespace {

class TPrecisionSix {
public:
    TPrecisionSix() { Settings().Precision = 6; }
    ~TPrecisionSix() { Settings().Precision = Previous; }

private:
    int Previous = Settings().Precision;
};

std::string Export(TEntries& entries)
{
    TMemoryStream stream;
    TConvertToDat().Execute(entries, stream);
    return stream.Bytes();
}

void Import(TEntries& entries, const std::string& bytes)
{
    TMemoryStream stream(bytes);
    TConvertFromDat().Execute(entries, stream);
}

} // namespace

TEST(TConvertToDat, WritesOneRecordPerEntry)
{
    TEntries entries;
    entries.AddValues("A", "", 1, -2);
    const std::string kind("D\0y\0n\0a\0m\0i\0c\0 \0P\0O\0I\0\0\0", 24);
    const std::string position("\0\0\0\0\0\0\xf0\x3f\0\0\0\0\0\0\0\xc0", 16);
    EXPECT_EQ(Export(entries),
        kind + std::string("A\0\0\0", 4) + std::string(22, '\0') + position + position
            + std::string(16, '\0'));

    TEntries empty;
    EXPECT_EQ(Export(empty), "");
}

TEST(TConvertToDat, KeepsDecimalsThatCsvRoundsAway)
{
    TPrecisionSix six;
    TEntries entries;
    entries.AddValues("\x80 caf\xE9", "", 4.123456, -52.373026);
    TMemoryStream csv;
    TConvertToCsv().Execute(entries, csv);
    EXPECT_EQ(csv.Bytes(), "\"\x80 caf\xE9\",\"\x80 caf\xE9\",4.12346,-52.37303,,,,\r\n");

    TEntries back;
    Import(back, Export(entries));
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Items(0).Description(), "\x80 caf\xE9");
    EXPECT_EQ(back.Items(0).Longitude(), 4.123456);
    EXPECT_EQ(back.Items(0).Latitude(), -52.373026);
}

TEST(TConvertFromDat, ReadsGpsBabelsFile)
{
    TEntries entries;
    TMemoryStream stream(TestData("gpsbabel/points.dat"));
    TConvertFromDat().Execute(entries, stream);
    ASSERT_EQ(entries.Count(), 4);
    EXPECT_EQ(entries.Items(0).Description(), "Dam Square");
    EXPECT_EQ(entries.Items(0).Longitude(), 4.88969);
    EXPECT_EQ(entries.Items(0).Latitude(), 52.37403);
    EXPECT_EQ(entries.Items(1).Description(), "Opera, Sydney");
    EXPECT_EQ(entries.Items(1).Longitude(), 151.2153);
    EXPECT_EQ(entries.Items(1).Latitude(), -33.85678);
    EXPECT_EQ(stream.Position(), stream.Size());

    TEntries none;
    Import(none, "");
    EXPECT_EQ(none.Count(), 0);
}

TEST(TConvertFromDat, DataEndingInsideARecordFails)
{
    TEntries two;
    two.AddValues("first", "", 1, 2);
    two.AddValues("second", "", 3, 4);
    const std::string bytes = Export(two);
    const size_t recordSize = bytes.size() / 2;
    for (size_t cut = recordSize + 1; cut < bytes.size(); ++cut) {
        TEntries entries;
        EXPECT_EQ(
            ErrorOf<EUserError>([&] { Import(entries, bytes.substr(0, cut)); }), "Invalid dat file")
            << "cut at " << cut;
        EXPECT_EQ(entries.Count(), 1) << "cut at " << cut;
    }
}
