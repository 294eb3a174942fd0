#include "convert/uConvertGpi.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <optional>
#include <utility>
#include <vector>

#include <QBuffer>
#include <QFileInfo>
#include <QImage>

#include "core/uNumbers.h"
#include "core/uSettings.h"
#include "core/uUtils.h"
#include "platform/uBytes.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

enum TRecordType : uint16_t {
    rtHeader1 = 0,
    rtHeader2 = 1,
    rtWaypoint = 2,
    rtAlert = 3,
    rtCategoryRef = 6,
    rtBitmapRef = 4,
    rtBitmap = 5,
    rtCategory = 7,
    rtArea = 8,
    rtGroup = 9,
    rtEnd = 0xFFFF,
};

// A record with this flag gives, after its length, the length of its main part: the fields
// and, for a group, its areas. What follows the main part are records that belong to it.
constexpr uint16_t HasMainLength = 8;
constexpr size_t RecordHeaderSize = 8;
constexpr size_t MainLengthSize = 4;

constexpr long double UnitsPerDegree = 2147483648.0L / 180;
constexpr uint16_t Utf8CodePageNumber = 65001;
constexpr char LanguageCode[] = "EN";
constexpr char SignatureText[] = "GRMREC";
constexpr char PoiText[] = "POI";
// Garmin's clock starts at 1989-12-31 00:00 UTC.
constexpr int64_t GarminEpoch = 631065600;

// Entries an area holds at most: a device looks into the areas near it only.
constexpr size_t AreaSize = 128;
constexpr int DefaultProximityMetres = 300;
// Speeds are whole hundredths of a metre per second.
constexpr double KmhToSpeedUnits = 100 / 3.6;
constexpr double MphToSpeedUnits = 100 * 1609.344 / 3600;
// An alert's bytes after its distance and speed, as the POI loaders write them for speed
// cameras: flags, switched on, along the road, tone 5.
constexpr char AlertTail[] = "\x00\x01\x10\x00\x01\x01\x05\x10";
constexpr size_t AlertTailSize = sizeof AlertTail - 1;

// A category's picture: devices show one of 24 by 24 pixels, and a far larger one would only
// fill the file.
constexpr int MaxBitmapSide = 255;
// The colour that devices leave see-through.
constexpr uint32_t TransparentColour = 0xFF00FF;
// What the bitmap fields before the pixels take in the size fields that count them.
constexpr uint32_t BitmapHeaderCount = 0x2C;

// Nesting beyond any file in use: a deeper one is damaged or made to exhaust the stack.
constexpr int MaxDepth = 64;

// The unit of speeds comes first in both, as the command line numbers an option of both once.
enum TOption { opMph, opWindowsCodePage, opNoAlerts, opCategory, opProximity };
enum TReaderOption { opReaderMph = opMph, opKeepBitmap };

size_t LStringSize(size_t textSize) { return 8 + textSize; }

// A text as the format holds names: its total length, then one language's code and text.
void AppendLString(std::string& out, std::string_view text)
{
    AppendInt32(out, static_cast<int32_t>(text.size() + 4));
    out += LanguageCode;
    AppendWord(out, static_cast<uint16_t>(text.size()));
    out += text;
}

void AppendRecordHeader(std::string& out, uint16_t type, size_t length)
{
    AppendWord(out, type);
    AppendWord(out, 0);
    AppendInt32(out, static_cast<int32_t>(length));
}

// `length` counts what follows the main length: the main part and the records after it.
void AppendRecordHeader(std::string& out, uint16_t type, size_t length, size_t mainLength)
{
    AppendWord(out, type);
    AppendWord(out, HasMainLength);
    AppendInt32(out, static_cast<int32_t>(length));
    AppendInt32(out, static_cast<int32_t>(mainLength));
}

// Rounded half to even, as ToFixedPoint rounds, in double: the product of a degree value and
// 2^31/180 is exact enough, and long double arithmetic costs several times as much per entry.
// The degrees are `decimalUnits` / `unitsPerDegree`, the entry's value at its precision.
int32_t Units(int64_t decimalUnits, double unitsPerDegree)
{
    constexpr double Scale = static_cast<double>(UnitsPerDegree);
    const double degrees = static_cast<double>(decimalUnits) / unitsPerDegree;
    // 180 degrees is 2^31, which wraps to -2^31: the same meridian.
    return static_cast<int32_t>(static_cast<int64_t>(std::nearbyint(degrees * Scale)));
}

// Puts `value`'s bytes, least significant first, at `p`; returns the end.
template <class TUnsigned> char* PutLittleEndian(char* p, TUnsigned value)
{
    for (size_t i = 0; i < sizeof value; ++i, value >>= 8)
        *p++ = static_cast<char>(value & 0xFF);
    return p;
}

char* PutWord(char* p, uint16_t value) { return PutLittleEndian(p, value); }
char* PutInt32(char* p, size_t value) { return PutLittleEndian(p, static_cast<uint32_t>(value)); }

// The speed of a description ending in "@" and a whole number, in the format's units; none
// for any other description or a speed the format cannot hold.
std::optional<uint16_t> AlertSpeed(std::string_view description, double unitsPerSpeed)
{
    const size_t at = description.rfind('@');
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view digits = description.substr(at + 1);
    if (digits.empty() || digits.size() > 4
        || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int speed = 0;
    for (char digit : digits)
        speed = speed * 10 + (digit - '0');
    const long units = std::lround(speed * unitsPerSpeed);
    if (speed == 0 || units > 0xFFFF)
        return std::nullopt;
    return static_cast<uint16_t>(units);
}

// The body of the bitmap record of `picture`: 32 bits a pixel, rows from the top, and the
// transparent colour where the picture is see-through. Its id, 0, is the one waypoints name.
std::string BitmapBody(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const auto lineSize = static_cast<uint16_t>(image.width() * 4);
    const auto imageSize = static_cast<int32_t>(lineSize * image.height());
    std::string body;
    for (int field : { 0, image.height(), image.width(), int(lineSize), 32, 0 })
        AppendWord(body, static_cast<uint16_t>(field));
    // The pixels' size, a count of the fields, no palette, the transparent colour, which is
    // switched on, and the pixels' size with the fields.
    for (uint32_t field : { uint32_t(imageSize), BitmapHeaderCount, 0u, TransparentColour, 1u,
             imageSize + BitmapHeaderCount })
        AppendInt32(body, static_cast<int32_t>(field));
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            AppendInt32(body,
                static_cast<int32_t>(
                    qAlpha(line[x]) < 128 ? TransparentColour : line[x] & 0xFFFFFF));
    }
    return body;
}

// The colour of pixel `x` of `line`, `depth` bits a pixel, as 0xRRGGBB; none for a palette
// index beyond the palette.
std::optional<uint32_t> PixelColour(
    std::string_view line, int x, int depth, const std::vector<uint32_t>& palette)
{
    const auto byteAt = [&](size_t i) { return static_cast<uint8_t>(line[i]); };
    if (depth >= 24) {
        const size_t at = static_cast<size_t>(x) * static_cast<size_t>(depth / 8);
        return byteAt(at) | byteAt(at + 1) << 8 | byteAt(at + 2) << 16;
    }
    // Palette indices fill each byte from its highest bit down, as in BMP files.
    const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(depth);
    const unsigned index = (byteAt(bit / 8) >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
    if (index >= palette.size())
        return std::nullopt;
    return palette[index];
}

// The picture of a bitmap record as a BMP file, see-through pixels in the colour the writer
// takes for them; empty for a record that is damaged or of a depth this reader does not know.
std::string BitmapFile(std::string_view body)
{
    constexpr size_t FieldsSize = 12 + 24;
    if (body.size() < FieldsSize)
        return {};
    TByteCursor data(body, Msg::InvalidGpiFile);
    data.Word(); // its id
    const int height = data.Word();
    const int width = data.Word();
    const size_t lineSize = data.Word();
    const int depth = data.Word();
    data.Skip(2 + 8);
    const uint32_t paletteSize = data.DWord();
    const uint32_t seeThroughColour = data.DWord() & 0xFFFFFF;
    const bool hasSeeThrough = data.DWord() != 0;
    data.Skip(4);
    const bool known =
        depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 24 || depth == 32;
    const size_t pixelsSize = lineSize * static_cast<size_t>(height);
    if (!known || width == 0 || height == 0 || lineSize * 8 < size_t(width) * size_t(depth)
        || paletteSize > 256 || body.size() - data.Position() < pixelsSize + paletteSize * 4)
        return {};
    const std::string_view pixels = data.Slice(pixelsSize);
    std::vector<uint32_t> palette(paletteSize);
    for (uint32_t& colour : palette)
        colour = data.DWord() & 0xFFFFFF;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const std::string_view line = pixels.substr(static_cast<size_t>(y) * lineSize, lineSize);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::optional<uint32_t> colour = PixelColour(line, x, depth, palette);
            if (!colour)
                return {};
            out[x] = 0xFF000000
                | (hasSeeThrough && *colour == seeThroughColour ? TransparentColour : *colour);
        }
    }
    QByteArray bmp;
    QBuffer buffer(&bmp);
    image.save(&buffer, "BMP");
    return std::string(bmp.constData(), static_cast<size_t>(bmp.size()));
}

// Writes the records of one file; sizes are worked out before the records that hold them.
class TGpiWriter {
public:
    // Alerts, when written, warn `proximity` metres from their point.
    // `bitmap` is the body of the category's bitmap record, empty for none.
    TGpiWriter(TConvertToBase& converter, const TEntries& entries, const TCodePage& page,
        std::optional<double> unitsPerSpeed, uint16_t proximity, std::string_view bitmap)
        : Converter(converter)
        , Entries(entries)
        , Page(page)
        , UnitsPerSpeed(unitsPerSpeed)
        , Proximity(proximity)
        , Bitmap(bitmap)
        , WaypointRefsSize(CategoryRefSize + (bitmap.empty() ? 0 : BitmapRefSize))
        , Precision(Settings().Precision)
    {
    }

    void Write(TStream& stream, std::string_view category)
    {
        TBlockWriter out(stream);
        std::string& text = out.Text();
        const std::string name = std::string(Encoded(category));
        AppendHeaders(text, name);
        const size_t areas = MeasureAreas();
        const size_t categorySize = RecordHeaderSize + 2 + LStringSize(name.size());
        const size_t bitmapSize = Bitmap.empty() ? 0 : RecordHeaderSize + Bitmap.size();
        const size_t main = LStringSize(name.size()) + areas;
        AppendRecordHeader(text, rtGroup, main + categorySize + bitmapSize, main);
        AppendLString(text, name);
        size_t index = 0;
        WriteEntryRecords(Converter, Entries, out, [&](std::string& record, const TEntry& entry) {
            if (index % AreaSize == 0)
                AppendAreaHeader(record, Areas[index / AreaSize]);
            AppendWaypoint(record, entry, Points[index++]);
        });
        AppendRecordHeader(text, rtCategory, 2 + LStringSize(name.size()));
        AppendWord(text, 0);
        AppendLString(text, name);
        if (!Bitmap.empty()) {
            AppendRecordHeader(text, rtBitmap, Bitmap.size());
            text += Bitmap;
        }
        AppendRecordHeader(text, rtEnd, 0);
        out.Flush();
    }

private:
    static constexpr size_t AreaMainSize = 23;
    static constexpr size_t WaypointMainSize = 11; // without its name
    static constexpr size_t AlertSize = RecordHeaderSize + 4 + AlertTailSize;
    static constexpr size_t CategoryRefSize = RecordHeaderSize + 2;
    static constexpr size_t BitmapRefSize = RecordHeaderSize + 2;
    static constexpr size_t Ahead = 32;
    // Fewer entries are measured in one piece: a thread would cost more than it saves.
    static constexpr size_t SplitFrom = 1 << 16;

    // What the first pass works out of an entry for the second.
    struct TPoint {
        int32_t Latitude, Longitude;
        uint16_t Speed; // of its alert, 0 for none
    };

    struct TArea {
        int32_t North = INT32_MIN, East = INT32_MIN, South = INT32_MAX, West = INT32_MAX;
        bool Alerts = false;
        size_t ContentSize = 0; // of its waypoints' records
    };

    std::string_view Encoded(std::string_view utf8)
    {
        return EncodeText(UpToZero(utf8), Scratch, Page);
    }

    // The length a text, cut at its first zero, takes in the file, without encoding it: every
    // character is a byte of a single-byte code page, "?" included.
    size_t EncodedSize(std::string_view utf8) const
    {
        if (Page.Utf8)
            return utf8.size();
        return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(),
            [](char c) { return (static_cast<uint8_t>(c) & 0xC0) != 0x80; }));
    }

    // The bounds, alerts and sizes of every area, and each entry's position and alert speed
    // (0: none); returns the size of all areas' records. A large list is measured in two
    // halves at once, each of whole areas: the pass waits on memory more than it computes.
    size_t MeasureAreas()
    {
        const size_t count = static_cast<size_t>(Entries.Count());
        Points.resize(count);
        Areas.resize((count + AreaSize - 1) / AreaSize);
        const size_t half = count < SplitFrom ? count : count / 2 / AreaSize * AreaSize;
        std::future<size_t> secondHalf;
        if (half < count)
            secondHalf = std::async(
                std::launch::async, [this, half, count] { return Measure(half, count); });
        const size_t size = Measure(0, half) + (secondHalf.valid() ? secondHalf.get() : 0);
        return size + Areas.size() * (RecordHeaderSize + MainLengthSize + AreaMainSize);
    }

    // `MeasureAreas` for the entries from `first` to before `last`; returns their records' size.
    size_t Measure(size_t first, size_t last)
    {
        // The entries' values at the precision they are shown with, as Latitude() gives them.
        const double unitsPerDegree = static_cast<double>(PowerOf10(Precision));
        size_t size = 0;
        for (size_t i = first; i < last; ++i) {
            // Entries and their texts lie far apart in memory: asked for ahead, as the
            // writing loop does.
            if (i + Ahead < last)
                __builtin_prefetch(Entries.Items(static_cast<int>(i + Ahead)).TextsAddress());
            if (i + 2 * Ahead < last)
                __builtin_prefetch(&Entries.Items(static_cast<int>(i + 2 * Ahead)));
            const TEntry& entry = Entries.Items(static_cast<int>(i));
            const std::string_view text = UpToZero(entry.Description());
            TPoint& point = Points[i];
            point.Speed = UnitsPerSpeed ? AlertSpeed(text, *UnitsPerSpeed).value_or(0) : 0;
            point.Latitude = Units(entry.LatitudeUnits(Precision), unitsPerDegree);
            point.Longitude = Units(entry.LongitudeUnits(Precision), unitsPerDegree);
            TArea& area = Areas[i / AreaSize];
            area.North = std::max(area.North, point.Latitude);
            area.South = std::min(area.South, point.Latitude);
            area.East = std::max(area.East, point.Longitude);
            area.West = std::min(area.West, point.Longitude);
            area.Alerts = area.Alerts || point.Speed;
            const size_t waypoint = RecordHeaderSize + MainLengthSize + WaypointMainSize
                + LStringSize(EncodedSize(text)) + WaypointRefsSize + (point.Speed ? AlertSize : 0);
            area.ContentSize += waypoint;
            size += waypoint;
        }
        return size;
    }

    void AppendHeaders(std::string& out, std::string_view name)
    {
        const std::string fileName = std::string(name) + ".gpi";
        AppendRecordHeader(out, rtHeader1, 8 + 4 + 2 + 2 + fileName.size());
        out += SignatureText;
        out += "00";
        // Files made under the dev switch compare equal from run to run.
        const int64_t now = DevSwitch() ? GarminEpoch
                                        : std::chrono::duration_cast<std::chrono::seconds>(
                                            std::chrono::system_clock::now().time_since_epoch())
                                              .count();
        AppendInt32(out, static_cast<int32_t>(now - GarminEpoch));
        AppendWord(out, 0);
        AppendWord(out, static_cast<uint16_t>(fileName.size()));
        out += fileName;
        AppendRecordHeader(out, rtHeader2, 12);
        out.append(PoiText, sizeof PoiText); // with its zero
        out.append("\0\0"
                   "00",
            4);
        AppendWord(out, CodePageNumber());
        AppendWord(out, 0);
    }

    uint16_t CodePageNumber() const
    {
        return Page.Utf8 ? Utf8CodePageNumber : Page.Name.mid(8).toUShort(); // "windows-125x"
    }

    static void AppendAreaHeader(std::string& out, const TArea& area)
    {
        AppendRecordHeader(out, rtArea, AreaMainSize + area.ContentSize, AreaMainSize);
        for (int32_t bound : { area.North, area.East, area.South, area.West })
            AppendInt32(out, bound);
        AppendInt32(out, 0);
        AppendWord(out, 1);
        out.push_back(area.Alerts ? '\1' : '\0');
    }

    // The fixed fields are composed in place and appended in one piece before and one after
    // the name: a million records of small appends cost more than the rest of the writing.
    void AppendWaypoint(std::string& out, const TEntry& entry, const TPoint& point)
    {
        const std::string_view name = Encoded(entry.Description());
        const size_t main = WaypointMainSize + LStringSize(name.size());
        char head[RecordHeaderSize + MainLengthSize + WaypointMainSize + 8];
        char* p = PutWord(head, rtWaypoint);
        p = PutWord(p, HasMainLength);
        p = PutInt32(p, main + WaypointRefsSize + (point.Speed ? AlertSize : 0));
        p = PutInt32(p, main);
        p = PutInt32(p, static_cast<uint32_t>(point.Latitude));
        p = PutInt32(p, static_cast<uint32_t>(point.Longitude));
        p = PutWord(p, 1);
        *p++ = point.Speed ? '\1' : '\0';
        p = PutInt32(p, name.size() + 4); // the name as an LString
        p = std::copy_n(LanguageCode, 2, p);
        p = PutWord(p, static_cast<uint16_t>(name.size()));
        out.append(head, static_cast<size_t>(p - head));
        out += name;
        char tail[AlertSize + BitmapRefSize + CategoryRefSize];
        p = tail;
        if (point.Speed) {
            p = PutWord(p, rtAlert);
            p = PutWord(p, 0);
            p = PutInt32(p, 4 + AlertTailSize);
            p = PutWord(p, Proximity);
            p = PutWord(p, point.Speed);
            p = std::copy_n(AlertTail, AlertTailSize, p);
        }
        if (!Bitmap.empty())
            p = PutReference(p, rtBitmapRef);
        p = PutReference(p, rtCategoryRef);
        out.append(tail, static_cast<size_t>(p - tail));
    }

    // A reference to the bitmap or category of id 0.
    static char* PutReference(char* p, uint16_t type)
    {
        p = PutWord(p, type);
        p = PutWord(p, 0);
        p = PutInt32(p, 2);
        return PutWord(p, 0);
    }

    TConvertToBase& Converter;
    const TEntries& Entries;
    const TCodePage& Page;
    std::optional<double> UnitsPerSpeed; // none when no alerts are written
    uint16_t Proximity;
    std::string_view Bitmap;
    size_t WaypointRefsSize; // of the records after a waypoint's alert
    int Precision; // the settings', read once: the entries are measured on two threads
    std::vector<TPoint> Points;
    std::vector<TArea> Areas;
    std::string Scratch;
};

bool IsWindowsGpiCodePage(const TCodePage& page)
{
    for (int number = 1250; number <= 1257; ++number)
        if (page.Name == QStringLiteral("windows-%1").arg(number))
            return true;
    return false;
}

// The bitmap record body of the BMP file `bytes`, named `name` in messages; empty for none.
std::string CategoryBitmap(const QString& name, const std::string& bytes)
{
    if (bytes.empty())
        return {};
    QImage picture;
    if (!picture.loadFromData(
            reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "BMP"))
        throw EUserError(Tr(Msg::GpiBitmapUnreadable).arg(name));
    if (picture.width() > MaxBitmapSide || picture.height() > MaxBitmapSide)
        throw EUserError(Tr(Msg::GpiBitmapTooLarge)
                             .arg(name)
                             .arg(picture.width())
                             .arg(picture.height())
                             .arg(MaxBitmapSide));
    return BitmapBody(picture);
}

} // namespace

bool TConvertToGpi::TakesIcon() const { return true; }

bool TConvertToGpi::WritesUnicode() const { return !GetOption(opWindowsCodePage, false); }

std::span<const TConvertOption> TConvertToGpi::Options() const
{
    static constexpr TConvertOption options[] = { { Msg::GpiMph, Msg::GpiMphHint },
        { Msg::GpiWindowsCodePage, Msg::GpiWindowsCodePageHint },
        { Msg::GpiNoAlerts, Msg::GpiNoAlertsHint },
        { Msg::GpiCategory, Msg::GpiCategoryHint, okText },
        { Msg::GpiProximity, Msg::GpiProximityHint, okNumber, DefaultProximityMetres, 1, 0xFFFF } };
    return options;
}

void TConvertToGpi::Execute(TEntries& entries, TStream& stream)
{
    const TCodePage& page = WritesUnicode() ? Utf8CodePage() : CurrentCodePage();
    if (!IsWindowsGpiCodePage(page) && !page.Utf8)
        throw EUserError(Tr(Msg::GpiCodePageUnfit).arg(page.Name, OptionLabel(opWindowsCodePage)));
    std::optional<double> unitsPerSpeed;
    if (!GetOption(opNoAlerts, false))
        unitsPerSpeed = GetOption(opMph, false) ? MphToSpeedUnits : KmhToSpeedUnits;
    QString category = GetText(opCategory);
    if (category.isEmpty())
        category =
            Target().isEmpty() ? QStringLiteral("POI") : QFileInfo(Target()).completeBaseName();
    const QByteArray name = category.toUtf8();
    const std::string bitmap = CategoryBitmap(IconName(), Icon());
    TGpiWriter(
        *this, entries, page, unitsPerSpeed, static_cast<uint16_t>(GetNumber(opProximity)), bitmap)
        .Write(stream, std::string_view(name.constData(), static_cast<size_t>(name.size())));
}

namespace {

// Reads the records of one file into entries.
class TGpiReader {
public:
    // `onBitmap`, when set, is called with the body of the first bitmap record.
    TGpiReader(TConvertFromBase& converter, TEntries& entries, double unitsPerSpeed,
        std::function<void(std::string_view)> onBitmap)
        : Converter(converter)
        , Entries(entries)
        , UnitsPerSpeed(unitsPerSpeed)
        , OnBitmap(std::move(onBitmap))
    {
    }

    void Read(std::string_view bytes)
    {
        if (Obfuscated(bytes))
            throw EUserError(Tr(Msg::GpiUnreadable));
        Total = static_cast<double>(bytes.size());
        Start = bytes.data();
        // Room for as many entries as the smallest waypoints would make.
        Entries.Reserve(bytes.size() / 48);
        TByteCursor data(bytes, Msg::InvalidGpiFile);
        ReadHeaders(data);
        while (!data.AtEnd()) {
            const TRecord record = NextRecord(data);
            if (record.Type == rtEnd)
                break;
            ReadRecord(record, 0);
        }
    }

private:
    struct TRecord {
        uint16_t Type;
        std::string_view Body; // the main part and the records after it
    };

    // The file's first bytes, a record type of zero, turned into something else by a byte
    // that every byte of the file was combined with.
    static bool Obfuscated(std::string_view bytes)
    {
        return bytes.size() >= 14 && bytes[0] != 0 && bytes[0] == bytes[1]
            && static_cast<char>(bytes[8] ^ bytes[0]) == SignatureText[0]
            && static_cast<char>(bytes[9] ^ bytes[0]) == SignatureText[1];
    }

    TRecord NextRecord(TByteCursor& data)
    {
        const uint16_t type = data.Word();
        const uint16_t flags = data.Word();
        const uint32_t length = data.DWord();
        if (flags & HasMainLength) {
            const uint32_t main = data.DWord();
            if (main > length)
                data.Fail();
        }
        return { type, data.Slice(length) };
    }

    void ReadHeaders(TByteCursor& data)
    {
        TRecord header = NextRecord(data);
        TByteCursor fields(header.Body, Msg::InvalidGpiFile);
        if (header.Type != rtHeader1 || fields.Slice(6) != SignatureText)
            data.Fail();
        header = NextRecord(data);
        fields = TByteCursor(header.Body, Msg::InvalidGpiFile);
        if (header.Type != rtHeader2 || fields.Slice(4) != std::string_view(PoiText, 4))
            data.Fail();
        fields.Skip(4);
        const uint16_t number = fields.Word();
        Page = number == Utf8CodePageNumber
            ? &Utf8CodePage()
            : XmlCodePage(QStringLiteral("windows-%1").arg(number).toStdString());
        if (!Page)
            throw EUserError(Tr(Msg::GpiUnreadable));
    }

    // The records inside `record` from `data`'s position on.
    void ReadContents(TByteCursor& data, int depth)
    {
        if (depth > MaxDepth)
            data.Fail();
        while (!data.AtEnd())
            ReadRecord(NextRecord(data), depth + 1);
    }

    void ReadRecord(const TRecord& record, int depth)
    {
        TByteCursor data(record.Body, Msg::InvalidGpiFile);
        switch (record.Type) {
        case rtGroup:
            ReadLString(data);
            return ReadContents(data, depth);
        case rtArea:
            data.Skip(23);
            return ReadContents(data, depth);
        case rtWaypoint:
            ReadWaypoint(data);
            return ReportPosition(record);
        case rtBitmap:
            if (OnBitmap)
                std::exchange(OnBitmap, nullptr)(record.Body);
            return;
        default: // categories and what this reader does not know
            return;
        }
    }

    // The text of the first language.
    std::string_view ReadLString(TByteCursor& data)
    {
        TByteCursor text(data.Slice(data.DWord()), Msg::InvalidGpiFile);
        if (text.AtEnd())
            return {};
        text.Skip(2);
        return text.Slice(text.Word());
    }

    void ReadWaypoint(TByteCursor& data)
    {
        const double latitude = data.Int32() / UnitsPerDegree;
        const double longitude = data.Int32() / UnitsPerDegree;
        data.Skip(3);
        std::string_view name = DecodeText(ReadLString(data), Scratch, *Page);
        while (!data.AtEnd()) {
            const TRecord inner = NextRecord(data);
            if (inner.Type != rtAlert)
                continue;
            TByteCursor alert(inner.Body, Msg::InvalidGpiFile);
            alert.Word();
            const uint16_t speed = alert.Word();
            if (speed > 0 && name.find('@') == std::string_view::npos) {
                // Made apart: the name read may be a view of the file's bytes, kept as it is.
                Suffixed.assign(name).append(
                    '@' + std::to_string(std::lround(speed / UnitsPerSpeed)));
                name = Suffixed;
            }
        }
        Entries.AddEntry(
            std::make_unique<TEntry>(name, std::string_view(), longitude, latitude), true);
    }

    void ReportPosition(const TRecord& read)
    {
        const auto end = read.Body.data() + read.Body.size() - Start;
        Converter.SetProgress(static_cast<double>(end) / Total * 100);
    }

    TConvertFromBase& Converter;
    TEntries& Entries;
    double UnitsPerSpeed;
    std::function<void(std::string_view)> OnBitmap;
    const TCodePage* Page = nullptr;
    double Total = 0;
    const char* Start = nullptr;
    std::string Scratch;
    std::string Suffixed;
};

} // namespace

std::span<const TConvertOption> TConvertFromGpi::Options() const
{
    static constexpr TConvertOption options[] = { { Msg::GpiMph, Msg::GpiMphHint },
        { Msg::GpiKeepBitmap, Msg::GpiKeepBitmapHint } };
    return options;
}

void TConvertFromGpi::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes bytes(stream);
    std::function<void(std::string_view)> keepBitmap;
    if (GetOption(opKeepBitmap, false))
        keepBitmap = [this](std::string_view body) {
            std::string bmp = BitmapFile(body);
            if (bmp.empty())
                Warn(Tr(Msg::GpiBitmapUnknown));
            KeepIcon(std::move(bmp));
        };
    TGpiReader(*this, entries, GetOption(opReaderMph, false) ? MphToSpeedUnits : KmhToSpeedUnits,
        std::move(keepBitmap))
        .Read(bytes.Bytes());
    stream.Seek(0, TSeekOrigin::End);
}

void RegisterGpi()
{
    RegisterFormat<TConvertToGpi, TConvertFromGpi>(
        QStringLiteral("Garmin POI"), QStringLiteral("gpi"), rpLast);
}

void UnregisterGpi() { UnregisterFormat<TConvertToGpi, TConvertFromGpi>(); }
