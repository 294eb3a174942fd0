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
