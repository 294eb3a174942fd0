#include <bit>
#include <cstdint>
#include <map>
#include <string>

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

// The entries of tests/data/digest-entries.txt.
void FillEntries(TEntries& entries)
{
    for (const QString& line : TestDataLines("digest-entries.txt")) {
        const QStringList fields = line.split('\t');
        const QStringList lon = fields[1].split(' '), lat = fields[2].split(' ');
        TEntry& entry = entries.AddValues(fields[0].toStdString(), std::string(),
            lon.size() == 1 ? lon[0].toDouble() : 0, lat.size() == 1 ? lat[0].toDouble() : 0);
        if (fields.size() > 3)
            entry.SetFlag(fields[3].toInt());
        if (lon.size() == 1)
            continue;
        entry.SetLonDeg(static_cast<uint8_t>(lon[0].toInt()));
        entry.SetLonMin(static_cast<uint8_t>(lon[1].toInt()));
        entry.SetLonSec(static_cast<uint8_t>(lon[2].toInt()));
        entry.SetLonWest(lon[3] == "W");
        entry.SetLatDeg(static_cast<uint8_t>(lat[0].toInt()));
        entry.SetLatMin(static_cast<uint8_t>(lat[1].toInt()));
        entry.SetLatSec(static_cast<uint8_t>(lat[2].toInt()));
        entry.SetLatSouth(lat[3] == "S");
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
    for (const QString& line : TestDataLines("output-digests.txt"))
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
