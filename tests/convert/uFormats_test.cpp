#include "convert/uFormats.h"

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "testing.h"

namespace {

// What a written description becomes when read back, by the rule of its format.
struct TDescriptionRule {
    const char* FormatId;
    std::string Written;
    std::string ReadBack;
};

// Writes `description` in the exporter at `index` and reads it back with the importer of the
// same format.
std::string RoundTrip(int index, const std::string& description)
{
    TEntries entries;
    entries.AddValues(description, std::string(), 4.5, 52.25);
    TMemoryStream stream;
    entries.SaveToStream(stream, ExporterExt(index), ExporterFormatId(index));
    stream.Seek(0, TSeekOrigin::Beginning);
    TEntries read;
    read.LoadFromStream(stream, ExporterExt(index), ExporterFormatId(index), false);
    EXPECT_EQ(read.Count(), 1) << ExporterFormatId(index).toStdString();
    return read.Count() == 1 ? std::string(read.Items(0).Description()) : std::string();
}

} // namespace

// Descriptions come from anywhere (a GPX name, a clipboard), so they may hold bytes a format
// cannot carry. Whatever they hold, every written file reads back, one entry per entry.
TEST(WrittenFiles, ReadBackWhateverTheDescriptionHolds)
{
    TBuiltInFormats formats;
    const std::string hostile = std::string("a\0b\x01c", 5) + "\x1b[2Jd\te\r\nf";
    for (int i = 0; i < ExporterCount(); ++i) {
        SCOPED_TRACE(ExporterFormatId(i).toStdString() + ExporterExt(i).toStdString());
        const std::string read = RoundTrip(i, hostile);
        EXPECT_EQ(read.substr(0, 1), "a");
    }
}

// Formats that end a text with a zero byte keep what comes before the first one; XML formats
// leave out the characters XML 1.0 does not allow; line-oriented formats write line breaks as
// blanks. Every other byte is carried as it is.
TEST(WrittenFiles, FollowTheirFormatsRuleForControlBytes)
{
    TBuiltInFormats formats;
    const std::string withZero("Dam\0square", 10);
    const std::string withControls("Dam\x01\x1f square\t1");
    const std::vector<TDescriptionRule> rules {
        { "ttov2", withZero, "Dam" },
        { "destdat", withZero, "Dam" },
        { "gengpx", withZero, "Damsquare" },
        { "genkml", withZero, "Damsquare" },
        { "gengpx", withControls, "Dam square\t1" },
        { "genkml", withControls, "Dam square\t1" },
        { "ttitn", "Dam\r\nsquare", "Dam  square" },
        { "dstcsv", "Dam\nsquare", "Dam square" },
        { "genasc", withZero, withZero },
        { "ttovr", withControls, withControls },
        { "garmingpi", withZero, "Dam" },
        { "garmingpi", withControls, withControls },
    };
    for (const TDescriptionRule& rule : rules) {
        const int index = IndexOfExporterFormat(QString::fromLatin1(rule.FormatId));
        ASSERT_GE(index, 0) << rule.FormatId;
        EXPECT_EQ(RoundTrip(index, rule.Written), rule.ReadBack) << rule.FormatId;
    }
}
