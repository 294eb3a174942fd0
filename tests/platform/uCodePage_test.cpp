#include "platform/uCodePage.h"

#include <gtest/gtest.h>

#include "testing.h"

namespace {

std::string AllBytes()
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    return all;
}

std::string Decoded(std::string_view bytes)
{
    std::string scratch;
    return std::string(DecodeText(bytes, scratch));
}

std::string Encoded(std::string_view utf8)
{
    std::string scratch;
    return std::string(EncodeText(utf8, scratch));
}

std::string ThroughUtf16(std::string_view utf8)
{
    std::string utf16, back = "an older and longer text in the room reused";
    AppendUtf16LE(utf16, utf8);
    Utf16LEToUtf8(utf16, back);
    return back;
}

} // namespace

// 8-bit files must come back byte for byte, whatever their code page, and through UTF-16 too.
TEST(CodePage, EveryByteOfEverySingleBytePageRoundTrips)
{
    for (const QString& name : CodePageNames()) {
        if (name == "utf-8")
            continue;
        const TCodePageScope page(name);
        const std::string utf8 = Decoded(AllBytes());
        EXPECT_EQ(Encoded(utf8), AllBytes()) << name.toStdString();
        EXPECT_EQ(ThroughUtf16(utf8), utf8) << name.toStdString();
    }
}

TEST(CodePage, CountsWhatItCannotKeep)
{
    const TCodePageScope page(DefaultCodePage);
    const size_t replacedBefore = ReplacedCharacters();
    EXPECT_EQ(Encoded("Москва €"), "?????? \x80");
    EXPECT_EQ(UnencodableCharacters("Москва € 北京"), 8u) << "counting replaces nothing";
    EXPECT_EQ(ReplacedCharacters() - replacedBefore, 6u);
    EXPECT_EQ(ReplacementWarning(1),
        "1 character that the code page windows-1252 lacks was replaced by \"?\"");

    // Bytes that are no UTF-8: one U+FFFD for each bad sequence, valid text around it kept.
    const TCodePageScope utf8("utf-8");
    const size_t before = InvalidSequences();
    EXPECT_EQ(Decoded("caf\xe9!"), "caf\uFFFD!");
    EXPECT_EQ(Decoded("\xe2\x82 \xc0\xaf \xed\xa0\x80 \xf0\x9f\x98\x80"),
        "\uFFFD \uFFFD\uFFFD \uFFFD\uFFFD\uFFFD 😀")
        << "cut short, overlong, a surrogate";
    EXPECT_EQ(InvalidSequences() - before, 7u);
    EXPECT_EQ(InvalidSequenceWarning(7), "7 byte sequences that are no UTF-8 were read as \"�\"");
}

TEST(CodePage, Utf16ConvertsAsciiAnywhereAndPairsOfSurrogates)
{
    for (size_t length = 1; length <= 20; ++length)
        for (size_t at = 0; at < length; ++at) {
            std::string text(length, 'a');
            text.replace(at, 1, "é");
            std::string utf16;
            AppendUtf16LE(utf16, text);
            ASSERT_EQ(utf16.size(), 2 * length) << length << " characters, é at " << at;
            EXPECT_EQ(utf16.substr(2 * at, 2), std::string("\xe9\0", 2));
            EXPECT_EQ(ThroughUtf16(text), text);
        }
    EXPECT_EQ(ThroughUtf16("😀 Москва"), "😀 Москва");
    std::string lone;
    Utf16LEToUtf8(std::string("\x3d\xd8\x41\x00", 4), lone);
    EXPECT_EQ(lone, "\uFFFDA") << "an unpaired surrogate";
}

TEST(CodePage, NamesAreTheDefaultUtf8AndSingleBytePagesThePlatformKnows)
{
    const TCodePageScope restore(DefaultCodePage);
    // The first two, the default and UTF-8, are pinned by the command line's list of them.
    EXPECT_TRUE(CodePageNames().contains("windows-1251"));
    EXPECT_EQ(KnownCodePageName("ISO-8859-5"), "iso-8859-5");
    EXPECT_EQ(KnownCodePageName("ibm437"), "") << "not a superset of ASCII";
    EXPECT_FALSE(SelectCodePage("klingon"));
    EXPECT_EQ(CodePageName(), "windows-1252") << "an unknown name changes nothing";
}
