#include "core/uUtils.h"

#include <gtest/gtest.h>

#include "platform/uRegistry.h"
#include "testing.h"

namespace {

const QString Key = QStringLiteral("\\Software\\Test");

} // namespace

TEST(RegistryHelpers, SingleValuesFallBackAndClamp)
{
    TTempConfig config;
    TRegistry reg;
    EXPECT_EQ(ReadRegInteger(reg, Key, QStringLiteral("n"), 6, 4, 5), 5) << "missing key";
    ASSERT_TRUE(reg.OpenKey(Key, true));
    reg.WriteInteger(QStringLiteral("n"), 100);
    reg.WriteString(QStringLiteral("s"), QStringLiteral("text"));
    reg.CloseKey();
    EXPECT_EQ(ReadRegInteger(reg, Key, QStringLiteral("n"), 6, 4, 5), 6);
    EXPECT_EQ(ReadRegInteger(reg, Key, QStringLiteral("N"), 200, 150, 5), 150) << "raised to low";
    EXPECT_EQ(
        ReadRegString(reg, Key, QStringLiteral("s"), QStringLiteral("x")), QStringLiteral("text"));
    EXPECT_TRUE(ReadRegBool(reg, Key, QStringLiteral("missing"), true));
    EXPECT_TRUE(ReadRegBool(reg, Key, QStringLiteral("n"), false));
}

TEST(RegistryHelpers, ListsAreNumberedValues)
{
    TTempConfig config;
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(Key, true));
    WriteRegStrings(reg, { "a", "b", "c", "d", "e" });
    WriteRegStrings(reg, { "x", "y" });
    QStringList names = reg.GetValueNames();
    names.sort();
    EXPECT_EQ(names, QStringList({ "0", "1" }));

    reg.WriteString(QStringLiteral("3"), QStringLiteral("after a gap"));
    QStringList read { QStringLiteral("Y") };
    ReadRegStrings(reg, read, true);
    EXPECT_EQ(read, QStringList({ "Y", "x" })) << "stops at the gap, passes over duplicates";
    ReadRegStrings(reg, read, false);
    EXPECT_EQ(read, QStringList({ "Y", "x", "x", "y" }));
}

TEST(RegistryHelpers, InvariantNumbersUseAPoint)
{
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(InvariantFormatSettings().toString(1234.5, 'f', 2), QStringLiteral("1234.50"));
    EXPECT_EQ(InvariantFormatSettings().toDouble(QStringLiteral("-0.25")), -0.25);
    QLocale::setDefault(QLocale::c());
}
