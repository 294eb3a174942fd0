#include "convert/uConvertOv2.h"

#include <string>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include "convert/uFormats.h"
#include "platform/uBytes.h"
#include "platform/uStreams.h"
#include "testing.h"

namespace {

void ExpectInvalid(const std::string& bytes, int entriesBefore)
{
    TEntries entries;
    EXPECT_EQ(ErrorOf<EUserError>([&] { ImportInto<TConvertFromOv2>(entries, bytes); }),
        "Invalid ov2 file");
    EXPECT_EQ(entries.Count(), entriesBefore) << "entries read before the fault stay";
}

} // namespace

TEST(TConvertToOv2, WritesSimpleRecords)
{
    TEntries entries;
    entries.AddValues("abc", "", 4.88969, 52.37403);
    EXPECT_EQ(Exported<TConvertToOv2>(entries),
        std::string("\x02\x11\0\0\0\x09\x76\x07\0\x9b\xea\x4f\0abc\0", 17));

    TEntries empty;
    EXPECT_EQ(Exported<TConvertToOv2>(empty), "");
}

TEST(TConvertToOv2, NegativeCoordinatesRoundTrip)
{
    TEntries entries;
    entries.AddValues("", "", -0.00002, -33.9);
    entries.AddValues("", "", -179.99999, -89.99999);
    TEntries back;
    ImportInto<TConvertFromOv2>(back, Exported<TConvertToOv2>(entries));
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Items(0).Longitude(), -0.00002);
    EXPECT_EQ(back.Items(0).Latitude(), -33.9);
    EXPECT_TRUE(back.Items(0).LatSouth());
    EXPECT_EQ(back.Items(1).Longitude(), -179.99999);
    EXPECT_EQ(back.Items(1).Latitude(), -89.99999);
}

TEST(TConvertFromOv2, ReadsSimpleAndExtendedRecordsAndSkipsTheRest)
{
    std::string data = Ov2BlockHeader(1) + Ov2Record(2, 488969, 5237403, { "first" })
        + Ov2BlockHeader(100) + Ov2Record(0, 1, 1, { "deleted" })
        + Ov2Record(3, -100, -200, { "second", "x", "y" }) + Ov2Record(2, 0, 0, { "" });
    TEntries entries;
    std::vector<int> progress;
    TConvertFromOv2 importer;
    importer.OnProgress = [&](int percent) { progress.push_back(percent); };
    TMemoryStream stream(data);
    importer.Execute(entries, stream);

    ASSERT_EQ(entries.Count(), 3);
    EXPECT_EQ(entries.Items(0).Description(), "first");
    EXPECT_EQ(entries.Items(0).Latitude(), 52.37403);
    EXPECT_EQ(entries.Items(1).Description(), "second");
    EXPECT_EQ(entries.Items(1).Longitude(), -0.001);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(progress.back(), 100);
}

TEST(TConvertFromOv2, BlockHeaderAtTheEndEndsTheImport)
{
    TEntries entries;
    ImportInto<TConvertFromOv2>(entries, Ov2Record(2, 1, 1, { "a" }) + Ov2BlockHeader(1));
    EXPECT_EQ(entries.Count(), 1);
    ImportInto<TConvertFromOv2>(entries, "");
    EXPECT_EQ(entries.Count(), 1) << "an empty file adds nothing";
}

TEST(TConvertFromOv2, DamagedDataFailsWithoutReadingPastIt)
{
    const std::string good = Ov2Record(2, 1, 1, { "good" });
    ExpectInvalid(good + Ov2Record(2, 1, 1, { "abc" }, +1), 1);
    ExpectInvalid(good + Ov2Record(2, 1, 1, { "abc" }, -1), 1);
    ExpectInvalid(good + Ov2Record(0, 1, 1, { "abc" }, +1), 1);
    ExpectInvalid(good + Ov2Record(3, 1, 1, { "a", "b" }), 1); // an extended record lacks a string
    ExpectInvalid(good + Ov2Record(2, 1, 1, { "a" }, -1000000), 1);
    ExpectInvalid(good + std::string("\x04") + good, 1);

    std::string truncated = Ov2Record(2, 1, 1, { "abc" });
    for (size_t cut = 1; cut < truncated.size(); ++cut)
        ExpectInvalid(good + truncated.substr(0, cut), 1);
    ExpectInvalid(Ov2BlockHeader(100).substr(0, 10), 0);
}

TEST(TConvertFromOv2, LoadsAndSavesThroughTheRegistry)
{
    TBuiltInFormats formats;
    TEntries entries;
    TMemoryStream in(Ov2Record(2, -1, 2, { "x" }) + Ov2Record(2, 3, -4, { "y" }));
    entries.LoadFromStream(in, QString(".OV2"), QString(), false);
    ASSERT_EQ(entries.Count(), 2);
    TMemoryStream out;
    entries.SaveToStream(out, QString("ov2"), QString("ttov2"));
    EXPECT_EQ(out.Bytes(), in.Bytes());

    TMemoryStream unknown("data");
    EXPECT_THROW(entries.LoadFromStream(unknown, QString("xyz"), QString(), false), EUserError);
    EXPECT_EQ(entries.Count(), 2) << "an unknown format leaves the list as it was";
}

// The zeros that stand in for the lost pages do not parse; the message names the cause.
TEST(TConvertFromOv2, AFileCutShortWhileReadIsReportedAsChanged)
{
    TBuiltInFormats formats;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ov2"));
    std::string records;
    for (int i = 0; i < 2000; ++i)
        records += Ov2Record(2, i, i, { "point " + std::to_string(i) });
    WriteFileBytes(path, records);
    TMappedFile file(path);
    ASSERT_EQ(truncate(QFile::encodeName(path).constData(), 100), 0);
    TEntries entries;
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        entries.LoadFromStream(file.Stream(), QStringLiteral("ov2"), QString(), false);
    }),
        QStringLiteral("File changed while it was read"));
}

TEST(TConvertFromOv2, ReadsWhatGpsBabelWrites)
{
    TEntries entries;
    ImportInto<TConvertFromOv2>(entries, TestData("gpsbabel/points.ov2")); // a block header first
    ASSERT_EQ(entries.Count(), 4);
    EXPECT_EQ(entries.Items(1).Description(), "Opera, Sydney");
    EXPECT_EQ(entries.Items(1).Longitude(), 151.2153);
    EXPECT_NEAR(entries.Items(3).Latitude(), -22.95191, 1.1e-5) << "GPSBabel truncates";
}
