#include "convert/uConvertOv2.h"

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "core/uNumbers.h"
#include "platform/uBytes.h"
#include "platform/uExceptions.h"
#include "platform/uStreams.h"

namespace {

std::string Record(uint8_t type, int32_t lon, int32_t lat, std::initializer_list<std::string> texts,
    int lengthError = 0)
{
    std::string body;
    AppendInt32(body, lon);
    AppendInt32(body, lat);
    for (const std::string& text : texts)
        body += text + '\0';
    std::string record(1, static_cast<char>(type));
    AppendInt32(record, static_cast<int32_t>(body.size() + 5) + lengthError);
    return record + body;
}

std::string BlockHeader(uint8_t type)
{
    std::string header(1, static_cast<char>(type));
    AppendInt32(header, 12345); // the length of a block is not checked
    return header + std::string(16, '\x7f');
}

std::string Export(TEntries& entries)
{
    TMemoryStream stream;
    TConvertToOv2().Execute(entries, stream);
    return stream.Bytes();
}

void Import(TEntries& entries, const std::string& bytes)
{
    TMemoryStream stream(bytes);
    TConvertFromOv2().Execute(entries, stream);
}

void ExpectInvalid(const std::string& bytes, int entriesBefore)
{
    TEntries entries;
    try {
        Import(entries, bytes);
        FAIL() << "damaged data was accepted";
    } catch (const EUserError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid ov2 file"));
    }
    EXPECT_EQ(entries.Count(), entriesBefore) << "entries read before the fault stay";
}

} // namespace

TEST(TConvertToOv2, WritesSimpleRecords)
{
    TEntries entries;
    entries.AddValues("abc", "", 4.88969, 52.37403);
    std::string expected = "\x02";
    AppendInt32(expected, 17);
    AppendInt32(expected, 488969);
    AppendInt32(expected, 5237403);
    expected += std::string("abc\0", 4);
    EXPECT_EQ(Export(entries), expected);
    EXPECT_EQ(Export(entries).size(), 17u);

    TEntries empty;
    EXPECT_EQ(Export(empty), "");
}

TEST(TConvertToOv2, NegativeCoordinatesRoundTrip)
{
    TEntries entries;
    entries.AddValues("", "", -0.00002, -33.9);
    entries.AddValues("", "", -179.99999, -89.99999);
    TEntries back;
    Import(back, Export(entries));
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Items(0).Longitude(), -0.00002);
    EXPECT_EQ(back.Items(0).Latitude(), -33.9);
    EXPECT_TRUE(back.Items(0).LatSouth());
    EXPECT_EQ(back.Items(1).Longitude(), -179.99999);
    EXPECT_EQ(back.Items(1).Latitude(), -89.99999);
}

TEST(FixedPoint, RoundsHalvesToEven)
{
    EXPECT_EQ(ToFixedPoint(0.625, 4), 2);
    EXPECT_EQ(ToFixedPoint(0.875, 4), 4);
    EXPECT_EQ(ToFixedPoint(-0.625, 4), -2);
    EXPECT_EQ(ToFixedPoint(-0.875, 4), -4);
    EXPECT_EQ(ToFixedPoint(-180, 100000), -18000000);
    EXPECT_EQ(static_cast<double>(RoundToDecimals(2.5L, 0)), 2);
    EXPECT_EQ(static_cast<double>(RoundToDecimals(3.5L, 0)), 4);
}

TEST(TConvertFromOv2, ReadsSimpleAndExtendedRecordsAndSkipsTheRest)
{
    std::string data = BlockHeader(1) + Record(2, 488969, 5237403, { "first" }) + BlockHeader(100)
        + Record(0, 1, 1, { "deleted" }) + Record(3, -100, -200, { "second", "x", "y" })
        + Record(2, 0, 0, { "" });
    TEntries entries;
    std::vector<int> progress;
    TConvertFromOv2 importer;
    importer.OnProgress = [&](int percent) { progress.push_back(percent); };
    TMemoryStream stream(data);
    importer.Execute(entries, stream);

    ASSERT_EQ(entries.Count(), 3);
    EXPECT_EQ(entries.Items(0).Description(), "first");
    EXPECT_EQ(entries.Items(0).Latitude(), 52.37403);
    EXPECT_TRUE(entries.Items(0).IpDeparture());
    EXPECT_EQ(entries.Items(1).Description(), "second");
    EXPECT_EQ(entries.Items(1).Longitude(), -0.001);
    EXPECT_FALSE(entries.Items(1).IpDeparture());
    EXPECT_EQ(entries.Items(2).Description(), "");
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(progress.back(), 100);
}

TEST(TConvertFromOv2, BlockHeaderAtTheEndEndsTheImport)
{
    TEntries entries;
    Import(entries, Record(2, 1, 1, { "a" }) + BlockHeader(1));
    EXPECT_EQ(entries.Count(), 1);
    Import(entries, "");
    EXPECT_EQ(entries.Count(), 1) << "an empty file adds nothing";
}

TEST(TConvertFromOv2, DamagedDataFailsWithoutReadingPastIt)
{
    const std::string good = Record(2, 1, 1, { "good" });
    ExpectInvalid(good + Record(2, 1, 1, { "abc" }, +1), 1);
    ExpectInvalid(good + Record(2, 1, 1, { "abc" }, -1), 1);
    ExpectInvalid(good + Record(0, 1, 1, { "abc" }, +1), 1);
    ExpectInvalid(good + Record(3, 1, 1, { "a", "b" }), 1); // an extended record lacks a string
    ExpectInvalid(good + Record(2, 1, 1, { "a" }, -1000000), 1);
    ExpectInvalid(good + std::string("\x04") + good, 1);

    std::string truncated = Record(2, 1, 1, { "abc" });
    for (size_t cut = 1; cut < truncated.size(); ++cut)
        ExpectInvalid(good + truncated.substr(0, cut), 1);
    ExpectInvalid(BlockHeader(100).substr(0, 10), 0);
}

TEST(TConvertFromOv2, LoadsAndSavesThroughTheRegistry)
{
    TBuiltInFormats formats;
    TEntries entries;
    TMemoryStream in(Record(2, -1, 2, { "x" }) + Record(2, 3, -4, { "y" }));
    entries.LoadFromStream(in, QStringLiteral(".OV2"), QString(), false);
    ASSERT_EQ(entries.Count(), 2);
    TMemoryStream out;
    entries.SaveToStream(out, QStringLiteral("ov2"), QStringLiteral("ttov2"));
    EXPECT_EQ(out.Bytes(), in.Bytes());

    TMemoryStream unknown("data");
    EXPECT_THROW(
        entries.LoadFromStream(unknown, QStringLiteral("xyz"), QString(), false), EUserError);
    EXPECT_EQ(entries.Count(), 2) << "an unknown format leaves the list as it was";
}
