#include "core/uUtils.h"

#include <gtest/gtest.h>

#include "platform/uRegistry.h"
#include "testing.h"

TEST(RegistryHelpers, SingleValuesFallBackAndClamp)
{
    TTempConfig config;
    const QString key = "\\Software\\Test";
    TRegistry reg;
    EXPECT_EQ(ReadRegInteger(reg, key, "n", 6, 4, 5), 5) << "missing key";
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.WriteInteger("n", 100);
    reg.CloseKey();
    EXPECT_EQ(ReadRegInteger(reg, key, "N", 200, 150, 5), 150) << "raised to low first";
    EXPECT_EQ(ReadRegInteger(reg, key, "n", 6, 4, 5), 6);
    EXPECT_EQ(reg.CurrentPath(), "") << "the key is closed again";
}

TEST(RegistryHelpers, ListsAreNumberedValues)
{
    TTempConfig config;
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test", true));
    WriteRegStrings(reg, { "a", "b", "c", "d", "e" });
    WriteRegStrings(reg, { "x", "y" });
    QStringList names = reg.GetValueNames();
    names.sort();
    EXPECT_EQ(names, QStringList({ "0", "1" })) << "nothing of the longer list is left";

    reg.WriteString("3", "after a gap");
    QStringList read { "Y" };
    ReadRegStrings(reg, read, true);
    EXPECT_EQ(read, QStringList({ "Y", "x" })) << "stops at the gap, passes over duplicates";
}

TEST(TextHelpers, LinesEndAtCrLfOrCrLf)
{
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines { "a", "b", "c", "d" }));
    EXPECT_EQ(SplitLines("a\n\r\r\nb\r\n"), (Lines { "a", "", "", "b" }));
    EXPECT_EQ(SplitLines(""), Lines {});
    EXPECT_EQ(RemoveLineBreaks(" a\r\nb \n"), "ab");
}

TEST(TextHelpers, CommaTextDropsQuotesAndTrims)
{
    std::vector<std::string> fields { "reused", "x", "y", "z" };
    SplitCommaText("\"a, b\" ,c", fields);
    EXPECT_EQ(fields, (std::vector<std::string> { "a, b", "c" }));
    SplitCommaText("", fields);
    EXPECT_EQ(fields, std::vector<std::string> { "" });
    SplitCommaText(" 1,\t\"x\"y ,", fields);
    EXPECT_EQ(fields, (std::vector<std::string> { "1", "xy", "" })) << "quotes only toggle";
}
