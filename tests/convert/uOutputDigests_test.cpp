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

// "formatId.ext precision" for a written file, "formatId.ext read" for what was read back.
std::map<std::string, std::string> Digests()
{
    const TUndated undated;
    TBuiltInFormats formats;
    TEntries entries;
    FillEntries(entries);
    std::map<std::string, std::string> digests;
    for (int precision : { 4, 5, 6 }) {
        const TPrecision digits(precision);
        for (int i = 0; i < ExporterCount(); ++i) {
            const std::string format =
                ExporterFormatId(i).toStdString() + ExporterExt(i).toStdString();
            TMemoryStream stream;
            entries.SaveToStream(stream, ExporterExt(i), ExporterFormatId(i));
            digests[format + ' ' + std::to_string(precision)] =
                Sha256(WithoutCreator(stream.Bytes()));
            if (precision != 5 || FindImporter(ExporterExt(i), ExporterFormatId(i)) < 0)
                continue;
            stream.Seek(0, TSeekOrigin::Beginning);
            TEntries read;
            // Some formats cannot carry every description; how they fail is kept too.
            const QString error = ErrorOf(
                [&] { read.LoadFromStream(stream, ExporterExt(i), ExporterFormatId(i), false); });
            digests[format + " read"] = Sha256(Dump(read) + error.toStdString());
        }
    }
    return digests;
}

} // namespace

TEST(OutputDigests, EveryWriterAndReaderKeepsItsBytes)
{
    const std::map<std::string, std::string> expected {
        { "destdat.dat 4", "cf902f75fe41e5636e66f38566eba63baca6af186538524a7c1b0d220dacc010" },
        { "destdat.dat 5", "02ff2b03c5596fa6fa2fbf1e6dad5f8abbfd5927d74db6ce1dab171180de9bd2" },
        { "destdat.dat 6", "6125c8bb8d1ccd82f370ad21d137f27a91a79bb56bd0defb5b5fa20438859079" },
        { "destdat.dat read", "ce307d25c57f1522e705b0783c7556f3cd51fd6d756a5298f6a07881ea58414c" },
        { "dstcsv.csv 4", "4409c12f85933656fd4fa02725b2a87da37f1d5bf6ee98109ada06b0329b7348" },
        { "dstcsv.csv 5", "b6e71e23017ed3350b103b17176460130487074540e153215f571680a455e25e" },
        { "dstcsv.csv 6", "0032b973c290d3900e8e30eba5bdd8d76c6524514e3047f15053b8d34641a51f" },
        { "dstcsv.csv read", "482bb2d2f780ed743fc907d74d954068e913f68899e29852f2cc06267bb239b8" },
        { "garmincsv.csv 4", "b904d6f65d6347bdc9b17857bd494982cd73eba5282d757ed5901d033587a022" },
        { "garmincsv.csv 5", "589ba34bc7b785438e471157f5189e13d10cd8804a99faf91f017081bb3a1fa1" },
        { "garmincsv.csv 6", "d107e8186e323225cdac95c2af982fd6180fe3e0a4dbdaa95f50f2a26dd0953a" },
        { "garmincsv.csv read",
            "482bb2d2f780ed743fc907d74d954068e913f68899e29852f2cc06267bb239b8" },
        { "garmingpi.gpi 4", "df42965c0b8bf99c3c27ea219f7f33a4a7e0a6887515f118064adbfe2f1f5a0f" },
        { "garmingpi.gpi 5", "a46b190cdde9eee454acbddb678e16b5ccd00639bad8d2000d19d361130c54f5" },
        { "garmingpi.gpi 6", "1e60eb5d3ad77c0af03ea78f3e6e7f9c0a5b9908471aae9342ebab0cf9e34679" },
        { "garmingpi.gpi read",
            "35942c86d532557733d12cde4d3e392305a7502e0ce6eff240a86b2e4be50640" },
        { "genasc.asc 4", "2753e91fa6c09d4aca6d58486926c7bea7eefe5ca248d6b047682255be8be363" },
        { "genasc.asc 5", "fa72931fe75eeb640ffe703689595c309b4be5b44258a677a42d4ac705fbb101" },
        { "genasc.asc 6", "150912973ecf220d8dd1e3dc423d12301326abab516a6d94a803702bba7d46e6" },
        { "genasc.asc read", "482bb2d2f780ed743fc907d74d954068e913f68899e29852f2cc06267bb239b8" },
        { "gengpx.gpx 4", "bb6d5afcaca5d79c8ee28009c464fbf50c8a73ab2fffb38ff4cd14a1692a9513" },
        { "gengpx.gpx 5", "0b8d8344af6bc1fa610a39cfc7a3a95e42a40215dab0b1c429db99e79141dbae" },
        { "gengpx.gpx 6", "b49f39beae2560b4468b62ceb63698ec9dfee570d0afeae25098f698f4717b26" },
        { "gengpx.gpx read", "4bc11ca975d687cd23a2c7fe86b74b4d745fc5ef805a7bbbaea9e2f6007a5ffc" },
        { "genkmz.kmz 4", "21d317d01fe0238fd2e72465a5abff55c5b3b03146c6665294e732aee8dcf92f" },
        { "genkmz.kmz 5", "9ed8147ebf7198f4796cd6f9e3f2d748b71371198c435b9b384e3f6c2d7c654e" },
        { "genkmz.kmz 6", "f27fbc6b1b277d76537b5c8db1143ed79adc1e4ce584f0819530b6fe8bcdbbe7" },
        { "genkmz.kmz read", "4bc11ca975d687cd23a2c7fe86b74b4d745fc5ef805a7bbbaea9e2f6007a5ffc" },
        { "geojson.geojson 4", "d4521fddc83a13118e790ba68a3fb36c3a88354551fbbb75713be8de671a9c13" },
        { "geojson.geojson 5", "7bf5a51bbb5d9942eeac8511fd76444efa7ecc8925975611f9b9ba4b599bb8f2" },
        { "geojson.geojson 6", "f6403d7eb21220eb1af7a99530d3b98eeb34d42e28448629277bc68e1d692822" },
        { "geojson.geojson read",
            "ce307d25c57f1522e705b0783c7556f3cd51fd6d756a5298f6a07881ea58414c" },
        { "genkml.kml 4", "d6388e653860e30b4aad86d20e9b9b9d582d8a764c760ed428262214a76b4a74" },
        { "genkml.kml 5", "314ed25db1e3afaf5f9afd833d554fa79caa471bb86d4b29928a0b07cf8c035d" },
        { "genkml.kml 6", "723f7f29cc6d829b2d5cddb5406ad888722cead8c6ec7812e664d40e2ca74bea" },
        { "genkml.kml read", "4bc11ca975d687cd23a2c7fe86b74b4d745fc5ef805a7bbbaea9e2f6007a5ffc" },
        { "miomapcsv.csv 4", "a4a8e0adbb68a87a348ceefbb02a793e87fdc59ad3c1913e9550fe6d26da4d38" },
        { "miomapcsv.csv 5", "fbb78d02b028b60791dd3db313c505632832f90604f50a9e8430aeecc0f0bf2b" },
        { "miomapcsv.csv 6", "8fdf62c8ce1b171d3bdd6ac7d78a829ee5f348672600e8e64167e2431885f632" },
        { "miomapcsv.csv read",
            "3b619fa61f9fbbfd55c0f1872737626a86f372e3318bdeae8b856c834f39d712" },
        { "navioasc.asc 4", "2753e91fa6c09d4aca6d58486926c7bea7eefe5ca248d6b047682255be8be363" },
        { "navioasc.asc 5", "fa72931fe75eeb640ffe703689595c309b4be5b44258a677a42d4ac705fbb101" },
        { "navioasc.asc 6", "150912973ecf220d8dd1e3dc423d12301326abab516a6d94a803702bba7d46e6" },
        { "navioasc.asc read", "482bb2d2f780ed743fc907d74d954068e913f68899e29852f2cc06267bb239b8" },
        { "naviocsv.csv 4", "87f4f89c428aada9a2077b82ee33be71f3ddd1193db0c65c2941f8721d86b13c" },
        { "naviocsv.csv 5", "dd2113c4b8d645bc90911d05bc256098db85b3c56e3013658efe53be5130480f" },
        { "naviocsv.csv 6", "af156b79c783c45302e2b16578d0e5c6b8e035ece4b621b1cd21eb313d77109c" },
        { "naviocsv.csv read", "482bb2d2f780ed743fc907d74d954068e913f68899e29852f2cc06267bb239b8" },
        { "navmancsv.csv 4", "2753e91fa6c09d4aca6d58486926c7bea7eefe5ca248d6b047682255be8be363" },
        { "navmancsv.csv 5", "fa72931fe75eeb640ffe703689595c309b4be5b44258a677a42d4ac705fbb101" },
        { "navmancsv.csv 6", "150912973ecf220d8dd1e3dc423d12301326abab516a6d94a803702bba7d46e6" },
        { "navmancsv.csv read",
            "482bb2d2f780ed743fc907d74d954068e913f68899e29852f2cc06267bb239b8" },
        { "ttitn.itn 4", "cc0a519bdf28374b53c2dac493e2110719d1629716b3679abafaa34691d47449" },
        { "ttitn.itn 5", "118cb958d241d7faca66d11a5e7245908c3bdffc8f13af5e97c26b6bcf232a70" },
        { "ttitn.itn 6", "61bf90f303b555536fcd1a2b2d72abfaeb974df35d38336097f82f8b067bfd23" },
        { "ttitn.itn read", "7be4ed586ba8e9258ca448c6f30de17ee8b22f6be466835be5c4fdec4f733422" },
        { "ttov2.ov2 4", "f5718c3e9cc919e88f5f16651e99e5c1f0dc3890d0c5dda21075955ec5d32464" },
        { "ttov2.ov2 5", "a93ea241a208102395dc41d1e7594103f74f7d0c67a87263d7e6155d0fec47f7" },
        { "ttov2.ov2 6", "ef0e2db73fdad9c04736dba7e165f8450b8d0b1ba0cbba29674d1d91260e58f3" },
        { "ttov2.ov2 read", "ce307d25c57f1522e705b0783c7556f3cd51fd6d756a5298f6a07881ea58414c" },
        { "ttovr.ovr 4", "d4bfb3c3dddfa216941b701aced70d6a839b4323370b89d8fa11631843cf5bcd" },
        { "ttovr.ovr 5", "9d7076d6d553c3f5c9f3a4b28d44aa67cdc75fa11577b933401a7456d0f6d3f0" },
        { "ttovr.ovr 6", "9f242c44fc097426cf7500a3c61ba845da5e673d6769655f75dfbca85a78bdd2" },
        { "ttovr.ovr read", "05088956a9ac98dccf889d4e006406fc1fc366b393ee8516a8412168e65095cb" },
    };
    const std::map<std::string, std::string> actual = Digests();
    for (const auto& [name, digest] : actual) {
        const auto found = expected.find(name);
        EXPECT_EQ(found == expected.end() ? "none" : found->second, digest)
            << "{ \"" << name << "\", \"" << digest << "\" },";
    }
    EXPECT_EQ(actual.size(), expected.size());
}
