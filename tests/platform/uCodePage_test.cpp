#include "platform/uCodePage.h"

#include <gtest/gtest.h>

#include "testing.h"

namespace {

std::string Narrowed(std::string_view utf16)
{
    std::string narrow;
    NarrowUtf16LE(utf16, narrow);
    return narrow;
}

} // namespace

TEST(CodePage, WindowsLatinRoundTripsThroughUtf16)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    std::string utf16;
    AppendUtf16LE(utf16, all);
    EXPECT_EQ(Narrowed(utf16), all);
    EXPECT_EQ(CodePageToUnicode("\x80\xe9"), QString::fromUtf8("€é"));
    EXPECT_EQ(utf16.substr(2 * 0x7f, 2), std::string("\xac\x20", 2)) << "0x80 is the euro sign";
    EXPECT_EQ(Narrowed(std::string("\x3a\x04\x41\x00", 4)), "?A") << "Cyrillic is not there";
}

TEST(CodePage, NarrowingReplacesTheTextAndLeavesAsciiWhereverItEnds)
{
    std::string narrow = "an older and longer text in the room reused";
    for (size_t ascii = 0; ascii <= 9; ++ascii) {
        const std::string expected = std::string(ascii, 'a') + "\xe9" + "b";
        std::string utf16;
        AppendUtf16LE(utf16, expected);
        NarrowUtf16LE(utf16, narrow);
        EXPECT_EQ(narrow, expected) << ascii << " ASCII characters first";
    }
    for (size_t ascii = 0; ascii <= 5; ++ascii) {
        std::string utf16;
        AppendUtf16LE(utf16, std::string(ascii, 'a'));
        NarrowUtf16LE(utf16 + std::string("\x41\x01", 2), narrow);
        EXPECT_EQ(narrow, std::string(ascii, 'a') + "?") << "a low byte in ASCII is not enough";
    }
}

TEST(CodePage, Utf8WithEightBitBytesFallingBackToTheCodePage)
{
    EXPECT_EQ(Utf8OrWindows1252ToUnicode("caf\xc3\xa9 \xe2\x82\xac"), QString::fromUtf8("café €"));
    EXPECT_EQ(Utf8OrWindows1252ToUnicode("caf\xe9 \x80"), QString::fromUtf8("café €"))
        << "a Latin-1 file reads as it was written";
    EXPECT_EQ(Utf8OrWindows1252ToUnicode("\xc3\xa9\xe9"), QString::fromUtf8("éé")) << "mixed";
    EXPECT_EQ(Utf8OrWindows1252ToUnicode("\xc0\xaf"), QString::fromUtf8("À¯")) << "overlong";
    EXPECT_EQ(Utf8OrWindows1252ToUnicode("\xed\xa0\x80"), QString::fromUtf8("í\u00a0€"))
        << "a surrogate is no character";
    EXPECT_EQ(Utf8OrWindows1252ToUnicode("\xf0\x9f\x98\x80"), QString::fromUtf8("😀"));
    EXPECT_EQ(Utf8OrWindows1252ToUnicode("\xe2\x82"), QString::fromUtf8("â‚")) << "cut short";

    EXPECT_EQ(UnicodeToCodePage(QString::fromUtf8("é€😀")), "\xe9\x80?");
}

TEST(CodePage, NamesAreTheDefaultUtf8AndSingleBytePagesThePlatformKnows)
{
    const TCodePageSwitch restore(DefaultCodePage);
    const QStringList& names = CodePageNames();
    ASSERT_GE(names.size(), 3);
    EXPECT_EQ(names[0], "windows-1252");
    EXPECT_EQ(names[1], "utf-8");
    EXPECT_TRUE(names.contains("windows-1251"));
    EXPECT_TRUE(names.contains("koi8-r"));
    EXPECT_EQ(KnownCodePageName("ISO-8859-5"), "iso-8859-5");
    EXPECT_EQ(KnownCodePageName("ibm437"), "") << "not a superset of ASCII";
    EXPECT_FALSE(SelectCodePage("klingon"));
    EXPECT_EQ(CodePageName(), "windows-1252") << "an unknown name changes nothing";
}

TEST(CodePage, SingleBytePagesRoundTripEveryByte)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    for (const char* name : { "windows-1251", "windows-1253", "iso-8859-7", "koi8-r" }) {
        const TCodePageSwitch page(name);
        EXPECT_EQ(UnicodeToCodePage(CodePageToUnicode(all)), all) << name;
        std::string utf16;
        AppendUtf16LE(utf16, all);
        EXPECT_EQ(Narrowed(utf16), all) << name;
    }
    const TCodePageSwitch cyrillic("windows-1251");
    EXPECT_EQ(CodePageToUnicode("\xcc\xee\xf1\xea\xe2\xe0"), QString::fromUtf8("Москва"));
    EXPECT_EQ(UnicodeToCodePage(QString::fromUtf8("Москва é")), "\xcc\xee\xf1\xea\xe2\xe0 ?");
}

TEST(CodePage, Utf8KeepsEveryCharacter)
{
    const TCodePageSwitch utf8("utf-8");
    const QString text = QString::fromUtf8("Москва Ζυρίχη 北京 😀 €");
    const std::string narrow = UnicodeToCodePage(text);
    EXPECT_EQ(narrow, text.toStdString());
    EXPECT_EQ(CodePageToUnicode(narrow), text);
    EXPECT_EQ(CodePageToUnicode("caf\xe9"), QString::fromUtf8("café")) << "no UTF-8: Windows-1252";
    std::string utf16;
    AppendUtf16LE(utf16, narrow);
    EXPECT_EQ(Narrowed(utf16), narrow) << "surrogate pairs too";
}

// ASCII text takes a shorter way to UTF-16 than the rest; both must agree under every page.
TEST(CodePage, AsciiWidensTheSameUnderEveryPage)
{
    std::string ascii;
    for (int byte = 1; byte < 0x80; ++byte)
        ascii.push_back(static_cast<char>(byte));
    std::string expected = "kept";
    for (const char c : ascii)
        expected += { c, '\0' };
    for (const QString& name : CodePageNames()) {
        const TCodePageSwitch page(name.toLatin1().constData());
        std::string utf16 = "kept";
        AppendUtf16LE(utf16, ascii);
        EXPECT_EQ(utf16, expected) << name.toStdString();
        utf16.clear();
        AppendUtf16LE(utf16, ascii + "\xe9");
        EXPECT_EQ(utf16.substr(0, expected.size() - 4), expected.substr(4)) << "one byte beyond";
    }
}

TEST(CodePage, WideningFindsTheFirstByteBeyondAsciiAnywhere)
{
    const TCodePageSwitch restore(DefaultCodePage);
    for (size_t length = 1; length <= 20; ++length)
        for (size_t at = 0; at < length; ++at) {
            std::string text(length, 'a');
            text[at] = '\xe9';
            std::string utf16 = "kept";
            AppendUtf16LE(utf16, text);
            ASSERT_EQ(utf16.size(), 4 + 2 * length) << length << " bytes, 0xE9 at " << at;
            EXPECT_EQ(utf16.substr(4 + 2 * at, 2), std::string("\xe9\0", 2));
            EXPECT_EQ(Narrowed(utf16.substr(4)), text);
        }
}

TEST(CodePage, CountsWhatItReplaces)
{
    const TCodePageSwitch restore(DefaultCodePage);
    size_t replaced = 0;
    {
        const TReplacementTally tally(replaced);
        EXPECT_EQ(UnicodeToCodePage(QString::fromUtf8("Москва €")), "?????? \x80");
        std::string out;
        EXPECT_FALSE(TryAppendCodePageChar(out, U'\u263A'));
        EXPECT_EQ(out, "") << "a try counts nothing";
    }
    EXPECT_EQ(replaced, 6u);
    EXPECT_EQ(ReplacementWarning(6),
        "6 characters that the code page windows-1252 lacks were replaced by \"?\"");
    EXPECT_EQ(ReplacementWarning(1),
        "1 character that the code page windows-1252 lacks was replaced by \"?\"");
}
