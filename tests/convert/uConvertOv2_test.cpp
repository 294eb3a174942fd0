#include "convert/uConvertOv2.h"

#include <string>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include "convert/convertfixture.h"
#include "convert/uFormats.h"
#include "platform/uStreams.h"
#include "testing.h"

TEST(TConvertFromOv2, DamagedDataFailsWithoutReadingPastIt)
{
    const std::string good = Ov2Record(2, 1, 1, { "good" });
    std::vector<std::string> damaged { good + Ov2Record(2, 1, 1, { "abc" }, +1),
        good + Ov2Record(2, 1, 1, { "abc" }, -1), good + Ov2Record(0, 1, 1, { "abc" }, +1),
        good + Ov2Record(3, 1, 1, { "a", "b" }), // an extended record lacks a string
        good + Ov2Record(2, 1, 1, { "a" }, -1000000), good + std::string("\x04") + good };
    const std::string truncated = Ov2Record(2, 1, 1, { "abc" });
    for (size_t cut = 1; cut < truncated.size(); ++cut)
        damaged.push_back(good + truncated.substr(0, cut));
    for (const std::string& bytes : damaged)
        EXPECT_EQ(ReadOutcome<TConvertFromOv2>(bytes), "Invalid ov2 file | kept good ");
    EXPECT_EQ(ReadOutcome<TConvertFromOv2>(Ov2BlockHeader(100).substr(0, 10)),
        "Invalid ov2 file | kept ");
    EXPECT_EQ(ReadOutcome<TConvertFromOv2>(good + Ov2BlockHeader(1)), "no error | kept good ")
        << "a whole block header at the end ends the file";
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
