#include "core/uUtils.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "testing.h"

TEST(TextHelpers, LinesEndAtCrLfOrCrLf)
{
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines { "a", "b", "c", "d" }));
    EXPECT_EQ(SplitLines("a\n\r\r\nb\r\n"), (Lines { "a", "", "", "b" }));
    EXPECT_EQ(SplitLines(""), Lines {});
}

// Line breaks are looked for several bytes at a time: each position of such a step, and the
// bytes next to CR and LF in value, must come out right.
TEST(TextHelpers, OnOneLineBlanksEveryLineBreakAndNothingElse)
{
    std::string others;
    for (int byte = 1; byte < 256; ++byte)
        if (byte != '\r' && byte != '\n')
            others.push_back(static_cast<char>(byte));
    std::string line = "a\n";
    AppendOnOneLine(line, others);
    EXPECT_EQ(line, "a\n" + others) << "bytes before the appended text stay";
    for (size_t length = 1; length <= 20; ++length)
        for (size_t at = 0; at < length; ++at)
            for (const char lineBreak : { '\r', '\n' }) {
                std::string text(length, '\x0b');
                text[at] = lineBreak;
                line.clear();
                AppendOnOneLine(line, text);
                text[at] = ' ';
                ASSERT_EQ(line, text) << length << " bytes, break at " << at;
            }
}

TEST(TextHelpers, CommaTextDropsQuotesAndTrims)
{
    TCommaFields fields;
    const auto split = [&](std::string_view text) {
        fields.Split(text);
        std::vector<std::string> texts;
        for (size_t i = 0; i < fields.size(); ++i)
            texts.emplace_back(fields[i]);
        return texts;
    };
    EXPECT_EQ(split("x,y,z,w"), (std::vector<std::string> { "x", "y", "z", "w" }));
    EXPECT_EQ(split("\"a, b\" ,c"), (std::vector<std::string> { "a, b", "c" }));
    EXPECT_EQ(split(""), std::vector<std::string> { "" });
    EXPECT_EQ(split(" 1,\t\"x\"y ,"), (std::vector<std::string> { "1", "xy", "" }))
        << "quotes only toggle";
    EXPECT_EQ(split("\" a\"\"b \",\"\",\"c,\"d,\"\" e"),
        (std::vector<std::string> { "ab", "", "c,d", "e" }))
        << "several quoted fields in one line keep their own texts";

    // A text between two quotes is where it lies in the line, which entries can borrow.
    const std::string_view line = " \"a, b \" ,\"c\"d";
    EXPECT_EQ(split(line), (std::vector<std::string> { "a, b", "cd" }));
    EXPECT_EQ(fields[0].data(), line.data() + 2);
}

TEST(TextHelpers, CommaTextFindsCommasAndQuotesAnywhereInLongLines)
{
    TCommaFields fields;
    for (size_t length = 1; length <= 20; ++length)
        for (size_t at = 0; at < length; ++at) {
            std::string text(length, 'x');
            text[at] = ',';
            fields.Split(text);
            ASSERT_EQ(fields.size(), 2u) << length << " bytes, comma at " << at;
            EXPECT_EQ(fields[0], text.substr(0, at));
            EXPECT_EQ(fields[1], text.substr(at + 1));
            for (size_t quote = 0; quote < at; ++quote) {
                std::string quoted = text;
                quoted[quote] = '"';
                fields.Split(quoted);
                ASSERT_EQ(fields.size(), 1u) << "an open quote at " << quote << " hides the comma";
                EXPECT_EQ(fields[0], std::string(length - 1, 'x').replace(at - 1, 1, ","));
            }
        }
}

TEST(TimeStamps, EightBytesOfMillisecondsAndDays)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.inf");
    WriteTimeStampFile(file, QDateTime(QDate(1899, 12, 30), QTime(0, 0, 1, 5)));
    std::string expected;
    AppendInt32(expected, 1005);
    AppendInt32(expected, 693594); // the day the platform's day count starts
    EXPECT_EQ(FileBytes(file), expected);

    WriteTimeStampFile(file, QDateTime(QDate(1, 1, 1), QTime(0, 0)));
    EXPECT_EQ(ReadTimeStampFile(file).date(), QDate(1, 1, 1)) << "day 1";
}

// The stored forms of a known password, as settings written before hold them: a change of the
// scrambling would lose every stored password. The older value holds the scrambled bytes
// themselves and counts only while "Password.v2" is empty.
TEST(AutoUpdateValues, ScrambledPasswordsOfBothStoredForms)
{
    const QString site = "http://poi.example/index.xml";
    const QString password = QString::fromUtf8("s\u00e9cr\u00e9t");
    EXPECT_EQ(ScrambledPassword(password), "5630cd43ae7434bc");
    WriteAutoUpdateValue(site, "Password.v2", "5630cd43ae7434bc");
    WriteAutoUpdateValue(site, "Password", QString::fromLatin1("\x56\xd2\x29\x90\x0c\x7d"));
    EXPECT_EQ(ReadAutoUpdatePassword(site), password);
    WriteAutoUpdateValue(site, "Password.v2", "");
    EXPECT_EQ(ReadAutoUpdatePassword(site), "secret");
}
