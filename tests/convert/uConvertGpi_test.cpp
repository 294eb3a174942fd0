#include "convert/uConvertGpi.h"

#include <cctype>
#include <string>
#include <tuple>
#include <vector>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "convert/convertfixture.h"
#include "convert/uFormats.h"
#include "locations/uLocations.h"
#include "platform/uBytes.h"
#include "platform/uCodePage.h"
#include "platform/uStreams.h"
#include "testing.h"
#include "undated.h"

namespace {

// Bytes written as hexadecimal pairs; white space, quoted ASCII text and comments from "#" to
// the end of the line may stand between them.
std::string Hex(std::string_view text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (std::isspace(static_cast<unsigned char>(text[i])))
            continue;
        if (text[i] == '#') {
            i = std::min(text.find('\n', i), text.size());
            continue;
        }
        if (text[i] == '"') {
            const size_t end = text.find('"', i + 1);
            bytes += text.substr(i + 1, end - i - 1);
            i = end;
            continue;
        }
        bytes.push_back(static_cast<char>(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
        ++i;
    }
    return bytes;
}

// Both headers, in `codePage`.
std::string Headers(uint16_t codePage)
{
    std::string bytes = Hex("0000 0000 1700 0000 \"GRMREC00\" 0000 0000 0000 0700 \"Cat.gpi\""
                            "0100 0000 0c00 0000 \"POI\" 00 0000 \"00\"");
    AppendWord(bytes, codePage);
    return bytes + Hex("0000");
}

// A record without a main length.
std::string Record(uint16_t type, const std::string& body)
{
    std::string bytes;
    AppendWord(bytes, type);
    AppendWord(bytes, 0);
    AppendInt32(bytes, static_cast<int32_t>(body.size()));
    return bytes + body;
}

std::string LString(const std::string& text)
{
    std::string bytes;
    AppendInt32(bytes, static_cast<int32_t>(text.size() + 4));
    bytes += "EN";
    AppendWord(bytes, static_cast<uint16_t>(text.size()));
    return bytes + text;
}

// A waypoint as older files have it, without a main length, and with `inner` records.
std::string Waypoint(int32_t latitude, int32_t longitude, const std::string& name,
    const std::string& inner = std::string())
{
    std::string body;
    AppendInt32(body, latitude);
    AppendInt32(body, longitude);
    body += Hex("0100 00") + LString(name) + inner;
    return Record(2, body);
}

std::string Alert(uint16_t metres, uint16_t speed)
{
    std::string body;
    AppendWord(body, metres);
    AppendWord(body, speed);
    return Record(3, body + Hex("0001 1000 0101 0510"));
}

std::string Area(const std::string& inner) { return Record(8, std::string(23, '\0') + inner); }

std::string Group(const std::string& inner) { return Record(9, LString("Group") + inner); }

std::string End() { return Hex("ffff 0000 0000 0000"); }

void AddTwoEntries(TEntries& entries)
{
    entries.AddValues("Dam", "", 4.88969, 52.37403);
    entries.AddValues("Cam@100", "", 151.2153, -33.85678);
}

std::string Written(TEntries& entries)
{
    TConvertToGpi exporter;
    exporter.SetTarget(QStringLiteral("/data/Cat.gpi"));
    return Exported(entries, exporter);
}

} // namespace

TEST(TConvertToGpi, WritesHeadersGroupAreaWaypointsAlertAndCategory)
{
    const TTempConfig config;
    const TUndated undated;
    TEntries entries;
    AddTwoEntries(entries);
    EXPECT_EQ(Written(entries), Hex(TestData("convert/two-entries.gpi.hex")));
}

TEST(TConvertToGpi, OptionsReachTheBytes)
{
    const TTempConfig config;
    const TUndated undated;
    const TBuiltInFormats formats;
    TEntries entries;
    entries.AddValues("Zürich@60", "", 8.54, 47.37);
    // Options as the command line gives them ("index=value"), and bytes found in the file, or
    // not at all when `Absent`, or the message of a value refused.
    struct TCase {
        std::vector<QString> Options;
        std::string Expected;
        enum { Found, Absent, Refused } Outcome = Found;
    };
    const std::string distance = "Option garmingpi:4 (\"Proximity alert distance in metres\") "
                                 "takes a whole number from 1 to 65535, not ";
    const TCase cases[] = {
        { {}, Hex("2c01 8306") }, // 300 m, 60 km/h
        { { "3=" }, Hex("0000") + LString("Cat") + End() }, // named after the file
        { { "0=on" }, Hex("2c01 7a0a") }, // mph
        { { "2=on" }, Hex("0300 0000 0c00 0000"), TCase::Absent },
        { { "3=Flitsers" }, Hex("0700 0000 1200 0000 0000") + LString("Flitsers") },
        { { "4=65535", "0=off" }, Hex("ffff 8306") },
        { { "4=0" }, distance + "\"0\"", TCase::Refused },
        { { "4= 30" }, distance + "\" 30\"", TCase::Refused },
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Options.empty() ? "defaults" : test.Options[0].toStdString());
        ClearOptionOverrides();
        const QString error = ErrorOf<EUserError>([&] {
            for (const QString& option : test.Options)
                OverrideOption(
                    "garmingpi", option.section('=', 0, 0).toInt(), option.section('=', 1));
        });
        EXPECT_EQ(error.toStdString(), test.Outcome == TCase::Refused ? test.Expected : "no error");
        if (test.Outcome != TCase::Refused) {
            EXPECT_EQ(Written(entries).find(test.Expected) == std::string::npos,
                test.Outcome == TCase::Absent);
        }
    }
    ClearOptionOverrides();

    TConvertToGpi().SetOption(1, true);
    {
        const TCodePageScope latin2(QStringLiteral("windows-1250"));
        const std::string windows = Written(entries);
        EXPECT_EQ(windows.substr(0, Headers(1250).size()), Headers(1250));
        EXPECT_NE(windows.find(LString("Z\xfcrich@60")), std::string::npos);
    }
    const TCodePageScope iso(QStringLiteral("iso-8859-2"));
    EXPECT_EQ(ErrorOf<EUserError>([&] { Written(entries); }),
        "Garmin POI files hold texts in windows-1250 to windows-1257, not in iso-8859-2. "
        "Choose one of these code pages, or uncheck the option \"Write texts in the Windows "
        "code page for older devices\"");
}

TEST(TConvertToGpi, TheBitmapBesideTheDocumentBecomesTheCategorys)
{
    const TTempConfig config;
    const TUndated undated;
    TEntries entries;
    AddTwoEntries(entries);
    const auto bmpOf = [](const QImage& picture) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
        return bytes.toStdString();
    };
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(0xff, 0, 0x80));
    picture.setPixel(1, 0, qRgb(0, 0x40, 0xff));
    const auto withIcon = [&](const std::string& bytes) {
        TConvertToGpi exporter;
        exporter.SetTarget(QStringLiteral("Cat.gpi"));
        exporter.SetIcon(QStringLiteral("Cat.bmp"), bytes);
        return Exported(entries, exporter);
    };
    const std::string written = withIcon(bmpOf(picture));
    const std::string bitmap = Record(5, Hex(TestData("convert/bitmap-rgb.gpi.hex")));
    EXPECT_EQ(written.substr(written.size() - End().size() - bitmap.size()), bitmap + End());
    EXPECT_NE(
        written.find(Hex("0400 0000 0200 0000 0000 0600 0000 0200 0000 0000")), std::string::npos)
        << "each waypoint shows it";
    const auto iconRead = [](const std::string& file) {
        TConvertFromGpi importer;
        TEntries back;
        TMemoryStream stream(file);
        importer.Execute(back, stream);
        return std::pair(importer.Icon(), importer.Warnings());
    };
    EXPECT_EQ(iconRead(written).first, "") << "written beside the file only when asked";
    TConvertFromGpi().SetOption(1, true);
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(iconRead(written).first)), picture);
    const std::string paletted = Headers(65001)
        + Group(Waypoint(0, 0, "Dam") + Record(5, Hex(TestData("convert/bitmap-paletted.gpi.hex"))))
        + End();
    QImage expected(3, 2, QImage::Format_RGB32);
    for (const auto& [x, y, colour] :
        { std::tuple(0, 0, 0xffffff), std::tuple(1, 0, 0), std::tuple(2, 0, 0xff00ff),
            std::tuple(0, 1, 0xff00ff), std::tuple(1, 1, 0), std::tuple(2, 1, 0xffffff) })
        expected.setPixel(x, y, 0xff000000u | colour);
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(iconRead(paletted).first)), expected);
    std::string damaged = paletted;
    damaged[damaged.size() - End().size() - 20] = '\x30'; // an index past the palette
    const auto [none, warnings] = iconRead(damaged);
    EXPECT_EQ(none, "");
    EXPECT_EQ(warnings.value(0).left(42), "The file's category bitmap is damaged or o");

    // Kept beside the document read; a different bitmap already there stays.
    const QTemporaryDir folder;
    const QString document = folder.filePath(QStringLiteral("Cat.gpi"));
    const std::string icon = iconRead(written).first;
    EXPECT_EQ(KeepIconBeside(document, icon), QStringList());
    EXPECT_EQ(FileBytes(folder.filePath(QStringLiteral("Cat.bmp"))), icon);
    EXPECT_EQ(KeepIconBeside(document, icon), QStringList()) << "the same bitmap again";
    const QStringList taken = KeepIconBeside(document, iconRead(paletted).first);
    EXPECT_TRUE(taken.value(0).startsWith("The category bitmap was not written to "))
        << taken.value(0).toStdString();
    EXPECT_EQ(FileBytes(folder.filePath(QStringLiteral("Cat.bmp"))), icon);

    const std::pair<std::string, const char*> refused[] = {
        { "not a picture", "The bitmap Cat.bmp beside the file is not a BMP picture" },
        { bmpOf(picture.scaled(256, 2)), "is 256 by 2 pixels; a category picture has at most 255" },
    };
    for (const auto& [bytes, message] : refused)
        EXPECT_TRUE(ErrorOf<EUserError>([&] { withIcon(bytes); }).contains(message)) << message;
}

TEST(TConvertFromGpi, ReadsOlderRecordsSkipsUnknownOnesAndAddsAlertSpeeds)
{
    const TTempConfig config;
    const std::string file = Headers(1252)
        + Group(Area(Waypoint(624846517, 58336274, "Caf\xe9", Alert(300, 2778))
            + Record(0x55, "unknown") + Area(Waypoint(0, 0, "Nested@80", Alert(0, 2000)))
            + Waypoint(-403927119, 1804068800, "Near", Alert(250, 0))))
        + Record(7, Hex("0000") + LString("Category")) + End() + "after the end";
    TEntries entries;
    ImportInto<TConvertFromGpi>(entries, file);
    ASSERT_EQ(entries.Count(), 3);
    EXPECT_EQ(Descriptions(entries), "Café@100 Nested@80 Near ");
    EXPECT_NEAR(entries.Items(0).Latitude(), 52.37403, 1e-7);
    EXPECT_NEAR(entries.Items(0).Longitude(), 4.88969, 1e-7);
    EXPECT_NEAR(entries.Items(2).Latitude(), -33.85678, 1e-7);

    // Written speeds come back; an "@" that starts no speed stays text. The rest of what is
    // written is read back by the output digests.
    TEntries names, back;
    for (const char* name : { "Flitser A2@100", "a@b", "@50", "", "Ελλάδα" })
        names.AddValues(name, "", 1, 2);
    ImportInto<TConvertFromGpi>(back, Written(names));
    EXPECT_EQ(Descriptions(back), "Flitser A2@100 a@b @50  Ελλάδα ");

    TConvertFromGpi().SetOption(0, true);
    entries.Clear();
    ImportInto<TConvertFromGpi>(entries, file);
    EXPECT_EQ(entries.Items(0).Description(), "Café@62");
}

TEST(TConvertFromGpi, RefusesDamagedEncryptedAndForeignFiles)
{
    const TTempConfig config;
    TEntries two;
    AddTwoEntries(two);
    const std::string good = Written(two);
    const size_t headers = Headers(65001).size();
    std::string longerWaypoint = good;
    longerWaypoint[headers + 12 + 11 + 12 + 23 + 44 + 4] += 1; // runs past its area
    std::string mainTooLong = good;
    mainTooLong[headers + 8] = '\xff';
    std::string obfuscated = good;
    for (char& byte : obfuscated)
        byte = static_cast<char>(byte ^ 0x5a);
    std::string deep = Waypoint(0, 0, "deep");
    for (int i = 0; i < 100; ++i)
        deep = Area(deep);
    const std::string invalid = "Invalid gpi file | kept ";
    const std::string unreadable =
        "This GPI file is encrypted or uses an unknown code page and cannot be read | kept ";
    const std::pair<std::string, std::string> cases[] = {
        { good.substr(0, 5), invalid },
        { good.substr(0, headers + 40), invalid },
        { good.substr(0, good.size() - 30), invalid },
        { longerWaypoint, invalid + "Dam " },
        { mainTooLong, invalid },
        { Headers(65001) + Group(deep), invalid },
        { std::string("\x02\x11\0\0\0\x09\x76\x07\0\x9b\xea\x4f\0abc\0", 17), invalid },
        { obfuscated, unreadable },
        { Headers(932) + Group(Area(Waypoint(0, 0, "x"))), unreadable },
    };
    for (const auto& [bytes, message] : cases)
        EXPECT_EQ(ReadOutcome<TConvertFromGpi>(bytes), QString::fromStdString(message))
            << bytes.size();
}
