#include "convert/uConvertOvr.h"

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "platform/uBytes.h"
#include "platform/uStreams.h"
#include "testing.h"

TEST(TConvertOvr, WritesRecordsThatReadBack)
{
    TBuiltInFormats formats;
    TEntries entries;
    entries.AddValues("0123456789", "", 4.88969, -52.37403);
    entries.AddValues(std::string(300, 'x'), "", -180, 90);
    TMemoryStream stream;
    entries.SaveToStream(stream, QString("ovr"), QString());
    std::string first("\x01\x12", 2);
    AppendInt32(first, 48897);
    AppendInt32(first, -523740);
    EXPECT_EQ(stream.Bytes().substr(0, 22), first + "0123456789\x01\xff")
        << "a long description is cut to fit its length byte";

    stream.Seek(0, TSeekOrigin::Beginning);
    entries.LoadFromStream(stream, QString("ovr"), QString(), false);
    ASSERT_EQ(entries.Count(), 2);
    EXPECT_EQ(entries.Items(0).Latitude(), -52.374);
    EXPECT_EQ(entries.Items(1).Description(), std::string(247, 'x'));
}

TEST(TConvertFromOvr, DamagedDataFailsWithoutReadingPastIt)
{
    const std::string good = std::string("\x01\x09", 2) + std::string(8, '\0') + "a";
    auto expectInvalid = [](const std::string& bytes, int entriesBefore) {
        TEntries entries;
        TMemoryStream stream(bytes);
        EXPECT_EQ(ErrorOf<EUserError>([&] { TConvertFromOvr().Execute(entries, stream); }),
            "Invalid ovr file");
        EXPECT_EQ(entries.Count(), entriesBefore);
    };
    expectInvalid("\x02" + good, 0);
    expectInvalid(good + std::string("\x01\x07", 2) + std::string(8, '\0'), 1);
    for (size_t cut = 1; cut < good.size(); ++cut)
        expectInvalid(good + good.substr(0, cut), 1);
}

// A record of coordinates alone is an entry without a description, written and read so.
TEST(TConvertOvr, ARecordWithoutDescriptionIsTenBytes)
{
    std::string bare("\x01\x08", 2);
    AppendInt32(bare, 48897);
    AppendInt32(bare, -523740);
    TEntries entries;
    entries.AddValues("", "", 4.8897, -52.374);
    EXPECT_EQ(Exported<TConvertToOvr>(entries), bare);

    TEntries read;
    ImportInto<TConvertFromOvr>(
        read, bare + bare + std::string("\x01\x09", 2) + bare.substr(2) + "a");
    EXPECT_EQ(Descriptions(read), "  a ");
    EXPECT_EQ(read.Items(1).Longitude(), 4.8897);
    EXPECT_EQ(read.Items(1).Latitude(), -52.374);
}
