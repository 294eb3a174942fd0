#include "platform/uCodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, WindowsLatinRoundTripsThroughUtf16)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    std::string utf16;
    AppendUtf16LE(utf16, all);
    EXPECT_EQ(NarrowUtf16LE(utf16), all);
    EXPECT_EQ(CodePageToUnicode("\x80\xe9"), QString::fromUtf8("€é"));
    EXPECT_EQ(utf16.substr(2 * 0x7f, 2), std::string("\xac\x20", 2)) << "0x80 is the euro sign";
    EXPECT_EQ(NarrowUtf16LE(std::string("\x3a\x04\x41\x00", 4)), "?A") << "Cyrillic is not there";
}

TEST(CodePage, Utf8WithEightBitBytesFallingBackToTheCodePage)
{
    EXPECT_EQ(Utf8OrCodePageToUnicode("caf\xc3\xa9 \xe2\x82\xac"), QString::fromUtf8("café €"));
    EXPECT_EQ(Utf8OrCodePageToUnicode("caf\xe9 \x80"), QString::fromUtf8("café €"))
        << "a Latin-1 file reads as it was written";
    EXPECT_EQ(Utf8OrCodePageToUnicode("\xc3\xa9\xe9"), QString::fromUtf8("éé")) << "mixed";
    EXPECT_EQ(Utf8OrCodePageToUnicode("\xc0\xaf"), QString::fromUtf8("À¯")) << "overlong";
    EXPECT_EQ(Utf8OrCodePageToUnicode("\xed\xa0\x80"), QString::fromUtf8("í\u00a0€"))
        << "a surrogate is no character";
    EXPECT_EQ(Utf8OrCodePageToUnicode("\xf0\x9f\x98\x80"), QString::fromUtf8("😀"));
    EXPECT_EQ(Utf8OrCodePageToUnicode("\xe2\x82"), QString::fromUtf8("â‚")) << "cut short";

    EXPECT_EQ(UnicodeToCodePage(QString::fromUtf8("é€😀")), "\xe9\x80?");
}
