#include <bit>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "core/uUtils.h"
#include "testing.h"
#include "undated.h"

// Every writer and reader, run over one fixed set of entries and compared with the SHA-256 of
// what they produced when the set was made. Guards the bytes of every format while the
// number and text code behind them is reworked for speed.

namespace {

// Pieces of descriptions: plain, Windows-1252 letters, XML's special characters, the field
// separators of the text formats, and nothing at all.
const std::vector<std::string> DescriptionPieces { "Dam", "Café", "Zürich", "€uro", "a & b",
    "<tag>", "\"quoted\"", "it's", "x, y", "p;q", "|", " ", "ßø", "" };

// A fixed sequence of values, the same from every standard library: the engine's raw output
// is specified, its distributions are not.
class TFixedRandom {
public:
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(Engine() % bound); }
    // A value in [-limit, limit] with 0 to 9 decimals.
    double Coordinate(int limit)
    {
        const uint32_t decimals = Below(10);
        uint64_t scale = 1;
        for (uint32_t i = 0; i < decimals; ++i)
            scale *= 10;
        const uint64_t span = static_cast<uint64_t>(limit) * scale;
        const auto units = static_cast<int64_t>(
            ((static_cast<uint64_t>(Engine()) << 32 | Engine()) % (2 * span + 1)));
        return static_cast<double>(units - static_cast<int64_t>(span)) / static_cast<double>(scale);
    }
    std::string Description()
    {
        std::string text;
        for (uint32_t n = Below(4); n > 0; --n)
            text += DescriptionPieces[Below(static_cast<uint32_t>(DescriptionPieces.size()))];
        return text;
    }

private:
    std::mt19937 Engine { 20240611 };
};

// An entry set through the degree, minute and second writers.
void AddParts(TEntries& entries, const std::string& description, int lonDeg, int lonMin, int lonSec,
    bool west, int latDeg, int latMin, int latSec, bool south)
{
    TEntry& entry = entries.AddValues(description, std::string(), 0, 0);
    entry.SetLonDeg(static_cast<uint8_t>(lonDeg));
    entry.SetLonMin(static_cast<uint8_t>(lonMin));
    entry.SetLonSec(static_cast<uint8_t>(lonSec));
    entry.SetLonWest(west);
    entry.SetLatDeg(static_cast<uint8_t>(latDeg));
    entry.SetLatMin(static_cast<uint8_t>(latMin));
    entry.SetLatSec(static_cast<uint8_t>(latSec));
    entry.SetLatSouth(south);
}

void FillEntries(TEntries& entries)
{
    // The ends of both axes, the origin from both sides and values past the ends.
    for (double lon : { 180.0, -180.0, 0.0, -0.0, 180.5, -300.0 })
        for (double lat : { 90.0, -90.0, 0.0, -0.0, 95.0 })
            entries.AddValues("edge", std::string(), lon, lat);
    // Halves at every precision, from both sides.
    for (double half : { 0.5, 0.05, 0.00005, 0.000005, 0.0000005, 12.345645, 12.34565, 1.00015,
             2.0000025, 179.999995, 89.9999995, 4.88965, 52.374035 })
        entries.AddValues("half", std::string(), half, -half);
    // 59.999... seconds and 59 minutes, which round up into the next minute or degree.
    for (double seconds : { 59.0, 59.9, 59.99, 59.999, 59.9999, 59.99999, 59.999999 }) {
        const double value = 10 + 59 / 60.0 + seconds / 3600;
        entries.AddValues("59s", std::string(), -value, value);
    }
    // Parts as the editor writes them, minutes and seconds beyond 59 included.
    AddParts(entries, "parts", 4, 30, 9, false, 52, 59, 59, true);
    AddParts(entries, "parts", 179, 59, 59, true, 89, 59, 59, false);
    AddParts(entries, "parts", 0, 0, 1, true, 0, 1, 0, true);
    AddParts(entries, "parts", 10, 75, 0, false, 10, 0, 200, false);
    AddParts(entries, "parts", 179, 255, 255, false, 89, 255, 255, true);
    // Tiny magnitudes, written in scientific notation by the XML formats.
    for (double tiny : { 1e-6, 3e-6, 1e-7, 1e-9 })
        entries.AddValues("tiny", std::string(), tiny, -tiny);

    TFixedRandom random;
    for (int i = 0; i < 400; ++i) {
        const std::string description = random.Description();
        const double longitude = random.Coordinate(180);
        const double latitude = random.Coordinate(90);
        TEntry& entry = entries.AddValues(description, std::string(), longitude, latitude);
        entry.SetFlag(static_cast<int>(random.Below(8)));
    }
}

std::string Sha256(const std::string& bytes)
{
    return QCryptographicHash::hash(
        QByteArrayView(bytes.data(), qsizetype(bytes.size())), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// The program's version is part of some files; it changes with every release, not with the
// code under test.
std::string WithoutCreator(std::string bytes)
{
    const std::string attribute = "creator=\"";
    const size_t start = bytes.find(attribute);
    if (start != std::string::npos)
        bytes.erase(start + attribute.size(),
            bytes.find('"', start + attribute.size()) - start - attribute.size());
    return bytes;
}

// Everything an entry holds, exactly; its texts in Windows-1252, as the digests were made
// when entries held them so.
std::string Dump(const TEntries& entries)
{
    std::string text, scratch;
    for (int i = 0; i < entries.Count(); ++i) {
        const TEntry& e = entries.Items(i);
        text += std::string(EncodeText(e.Description(), scratch)) + '\x1f';
        text += std::string(EncodeText(e.Extra(), scratch)) + '\x1f';
        for (const int part : { int(e.LonDeg()), int(e.LonMin()), int(e.LonSec()), int(e.LonWest()),
                 int(e.LatDeg()), int(e.LatMin()), int(e.LatSec()), int(e.LatSouth()), e.Flag() })
            text += std::to_string(part) + ' ';
        text += std::to_string(std::bit_cast<uint64_t>(e.LonSecFrac())) + ' '
            + std::to_string(std::bit_cast<uint64_t>(e.LatSecFrac())) + '\n';
    }
    return text;
}

// Adds the digests of what every writer makes of `entries`, as "formatId.ext NAME", and with
// `read` of what its reader makes of that, as "formatId.ext NAME read".
void AddDigests(std::map<std::string, std::string>& digests, TEntries& entries,
    const std::string& name, bool read)
{
    for (int i = 0; i < ExporterCount(); ++i) {
        const std::string key =
            ExporterFormatId(i).toStdString() + ExporterExt(i).toStdString() + ' ' + name;
        TMemoryStream stream;
        entries.SaveToStream(stream, ExporterExt(i), ExporterFormatId(i));
        digests[key] = Sha256(WithoutCreator(stream.Bytes()));
        if (!read || FindImporter(ExporterExt(i), ExporterFormatId(i)) < 0)
            continue;
        stream.Seek(0, TSeekOrigin::Beginning);
        TEntries back;
        // Some formats cannot carry every description; how they fail is kept too.
        const QString error = ErrorOf(
            [&] { back.LoadFromStream(stream, ExporterExt(i), ExporterFormatId(i), false); });
        digests[key + " read"] = Sha256(Dump(back) + error.toStdString());
    }
}

// Names in several scripts; every character some format escapes, leaves out or cannot carry,
// as descriptions may come from anywhere (a GPX name, a clipboard); one too long for some
// formats; and a waypoint's extra XML, which only GPX writes.
void FillNames(TEntries& entries)
{
    for (const std::string& name : { std::string("Αθήνα Москва 北京 Łódź İstanbul 서울 Tōkyō €"),
             std::string("😀 \"q\" \\ &amp; <&>'"), std::string("tab\tline\nbreak\r\x01 end"),
             std::string("a\0b\x01"
                         "c\x1b[2Jd\te\r\nf",
                 15),
             std::string("Dam\0square", 10), std::string("Dam\x01\x1f square\t1"),
             std::string("Dam\r\nsquare"), std::string() })
        entries.AddValues(name, std::string(), 37.617635, -55.755814);
    entries.AddValues(std::string(300, 'x'), std::string(), -180, 90);
    entries.AddValues("kept", "<wpt><ele>3</ele><sym>Flag</sym></wpt>", 4.88969, 52.37403);
}

std::map<std::string, std::string> Digests()
{
    const TUndated undated;
    TBuiltInFormats formats;
    std::map<std::string, std::string> digests;
    TEntries entries;
    FillEntries(entries);
    for (int precision : { 4, 5, 6 }) {
        const TPrecision digits(precision);
        AddDigests(digests, entries, std::to_string(precision), precision == 5);
    }
    TEntries names, none;
    FillNames(names);
    AddDigests(digests, names, "names", true);
    AddDigests(digests, none, "empty", true);
    return digests;
}

// The digests made when the formats' bytes were last changed on purpose.
std::map<std::string, std::string> ExpectedDigests()
{
    std::map<std::string, std::string> digests;
    const QString text = QString::fromStdString(TestData("output-digests.txt"));
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts))
        if (!line.startsWith('#'))
            digests[line.section(' ', 0, -2).toStdString()] = line.section(' ', -1).toStdString();
    return digests;
}

} // namespace

TEST(OutputDigests, EveryWriterAndReaderKeepsItsBytes)
{
    const std::map<std::string, std::string> expected = ExpectedDigests();
    const std::map<std::string, std::string> actual = Digests();
    for (const auto& [name, digest] : actual) {
        const auto found = expected.find(name);
        EXPECT_EQ(found == expected.end() ? "none" : found->second, digest)
            << "the line for tests/data/output-digests.txt: " << name << ' ' << digest;
    }
    EXPECT_EQ(actual.size(), expected.size());

    // Numbers are written and read with a point wherever the user lives.
    const TLocale german(QLocale::German);
    EXPECT_EQ(Digests(), actual);
}
