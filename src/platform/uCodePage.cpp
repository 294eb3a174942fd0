#include "platform/uCodePage.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include <QStringDecoder>

#include "platform/uMessages.h"

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unused bytes there map to
// the C1 controls of the same value, as the platform's own conversion does.
constexpr std::array<char16_t, 32> High = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020,
    0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019,
    0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E,
    0x0178 };

constexpr char Utf8Name[] = "utf-8";

// Single-byte code pages offered besides the default, where the platform knows them.
constexpr const char* SingleByteNames[] = { "windows-1250", "windows-1251", "windows-1253",
    "windows-1254", "windows-1255", "windows-1256", "windows-1257", "windows-1258", "windows-874",
    "iso-8859-1", "iso-8859-2", "iso-8859-3", "iso-8859-4", "iso-8859-5", "iso-8859-6",
    "iso-8859-7", "iso-8859-8", "iso-8859-9", "iso-8859-10", "iso-8859-13", "iso-8859-14",
    "iso-8859-15", "iso-8859-16", "koi8-r", "koi8-u", "macintosh" };

struct TCodePage {
    QString Name;
    bool Utf8 = false;
    std::array<char16_t, 256> Widen {};
    std::vector<std::pair<char32_t, char>> Narrow; // the bytes above ASCII, by character

    std::optional<char> ByteOf(char32_t code) const
    {
        if (code < 0x80)
            return static_cast<char>(code);
        const auto found = std::lower_bound(Narrow.begin(), Narrow.end(), code,
            [](const std::pair<char32_t, char>& entry, char32_t c) { return entry.first < c; });
        if (found == Narrow.end() || found->first != code)
            return std::nullopt;
        return found->second;
    }
};

TCodePage SingleByte(const QString& name, const std::array<char16_t, 256>& widen)
{
    TCodePage page { name, false, widen, {} };
    for (int byte = 0x80; byte < 0x100; ++byte)
        page.Narrow.emplace_back(widen[byte], static_cast<char>(byte));
    std::stable_sort(page.Narrow.begin(), page.Narrow.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    return page;
}

std::array<char16_t, 256> Windows1252Table()
{
    std::array<char16_t, 256> table {};
    for (int byte = 0; byte < 0x100; ++byte)
        table[byte] = byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : char16_t(byte);
    return table;
}

// The character of each byte in the code page `name`, by the platform's decoder: all bytes
// decoded in one call, as each decoder made costs more than the decoding. Bytes that do not
// come out as one character each are decoded one by one, each with a fresh decoder.
QString DecodedBytes(const char* name)
{
    std::array<char, 256> bytes;
    for (int byte = 0; byte < 0x100; ++byte)
        bytes[static_cast<size_t>(byte)] = static_cast<char>(byte);
    QString decoded = QStringDecoder(name)(QByteArrayView(bytes.data(), bytes.size()));
    if (decoded.size() == 0x100)
        return decoded;
    decoded.clear();
    for (const char byte : bytes) {
        const QString single = QStringDecoder(name)(QByteArrayView(&byte, 1));
        if (single.size() != 1)
            return {};
        decoded += single;
    }
    return decoded;
}

// The platform's table of a code page; none when it does not know it, or when the code page
// is no superset of ASCII (markup must stay readable). A byte the code page leaves undefined
// maps to the control of its own value, as in Windows-1252, so it survives a round trip.
std::optional<TCodePage> PlatformSingleByte(const char* name)
{
    if (!QStringDecoder(name).isValid())
        return std::nullopt;
    const QString decoded = DecodedBytes(name);
    if (decoded.isEmpty())
        return std::nullopt;
    std::array<char16_t, 256> table {};
    for (int byte = 0; byte < 0x100; ++byte) {
        const char16_t character = decoded[byte].unicode();
        if (byte < 0x80 && character != byte)
            return std::nullopt;
        table[static_cast<size_t>(byte)] =
            character == QChar::ReplacementCharacter ? char16_t(byte) : character;
    }
    return SingleByte(QLatin1String(name), table);
}

const std::vector<TCodePage>& CodePages()
{
    static const std::vector<TCodePage> pages = [] {
        std::vector<TCodePage> list;
        list.push_back(SingleByte(QLatin1String(DefaultCodePage), Windows1252Table()));
        list.push_back({ QLatin1String(Utf8Name), true, {}, {} });
        for (const char* name : SingleByteNames)
            if (auto page = PlatformSingleByte(name))
                list.push_back(std::move(*page));
        return list;
    }();
    return pages;
}

const TCodePage* Current = nullptr;
size_t Replaced = 0;

const TCodePage& Page()
{
    if (!Current)
        Current = &CodePages().front();
    return *Current;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
        return;
    }
    const int length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    constexpr unsigned char Lead[] = { 0, 0, 0xC0, 0xE0, 0xF0 };
    out.push_back(static_cast<char>(Lead[length] | (code >> (6 * (length - 1)))));
    for (int i = length - 2; i >= 0; --i)
        out.push_back(static_cast<char>(0x80 | ((code >> (6 * i)) & 0x3F)));
}

} // namespace

const QStringList& CodePageNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const TCodePage& page : CodePages())
            list.append(page.Name);
        return list;
    }();
    return names;
}

QString KnownCodePageName(const QString& name)
{
    for (const QString& known : CodePageNames())
        if (known.compare(name, Qt::CaseInsensitive) == 0)
            return known;
    return {};
}

bool SelectCodePage(const QString& name)
{
    for (const TCodePage& page : CodePages())
        if (page.Name.compare(name, Qt::CaseInsensitive) == 0) {
            Current = &page;
            return true;
        }
    return false;
}

QString CodePageName() { return Page().Name; }

bool IsDefaultCodePage() { return &Page() == &CodePages().front(); }

const std::array<char16_t, 256>* CodePageTable() { return Page().Utf8 ? nullptr : &Page().Widen; }

char16_t Windows1252ToUnicode(char byte) { return CodePages().front().Widen[uint8_t(byte)]; }

QString CodePageToUnicode(std::string_view text)
{
    const TCodePage& page = Page();
    if (page.Utf8)
        return Utf8OrWindows1252ToUnicode(text);
    QString unicode(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    for (size_t i = 0; i < text.size(); ++i)
        unicode[static_cast<qsizetype>(i)] = QChar(page.Widen[static_cast<uint8_t>(text[i])]);
    return unicode;
}

bool TryAppendCodePageChar(std::string& out, char32_t code)
{
    const TCodePage& page = Page();
    if (page.Utf8) {
        AppendUtf8(out, code);
        return true;
    }
    const std::optional<char> byte = page.ByteOf(code);
    if (byte)
        out.push_back(*byte);
    return byte.has_value();
}

void AppendCodePageChar(std::string& out, char32_t code)
{
    if (!TryAppendCodePageChar(out, code)) {
        out.push_back('?');
        ++Replaced;
    }
}

std::string UnicodeToCodePage(QStringView text)
{
    std::string narrow;
    narrow.reserve(static_cast<size_t>(text.size()));
    for (const char32_t code : text.toUcs4())
        AppendCodePageChar(narrow, code);
    return narrow;
}

size_t ReplacedCharacters() { return Replaced; }

QString ReplacementWarning(size_t count)
{
    return Tr(count == 1 ? Msg::CharacterReplaced : Msg::CharactersReplaced)
        .arg(count)
        .arg(CodePageName());
}

namespace {

// Four bytes, the low half of `four`, each moved to the low byte of its own 16-bit unit.
uint64_t SpreadBytes(uint64_t four)
{
    four = (four | four << 16) & 0x0000FFFF0000FFFF;
    return (four | four << 8) & 0x00FF00FF00FF00FF;
}

// Widens `text` to UTF-16 at `units`, eight bytes a step where the processor stores numbers
// little-endian; false, with part of it written, at a byte that is not ASCII.
bool WidenAscii(std::string_view text, char* units)
{
    constexpr uint64_t TopBits = 0x8080808080808080;
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little)
        for (; i + sizeof(uint64_t) <= text.size(); i += sizeof(uint64_t)) {
            uint64_t bytes;
            std::memcpy(&bytes, text.data() + i, sizeof bytes);
            if (bytes & TopBits)
                return false;
            const uint64_t low = SpreadBytes(bytes & 0xFFFFFFFF), high = SpreadBytes(bytes >> 32);
            std::memcpy(units + 2 * i, &low, sizeof low);
            std::memcpy(units + 2 * i + sizeof low, &high, sizeof high);
        }
    for (; i < text.size(); ++i) {
        if (text[i] & 0x80)
            return false;
        units[2 * i] = text[i];
        units[2 * i + 1] = '\0';
    }
    return true;
}

} // namespace

void AppendUtf16LE(std::string& out, std::string_view text)
{
    const size_t start = out.size();
    // Every code page is a superset of ASCII, so ASCII text widens byte by byte, without a
    // Unicode copy.
    out.resize(start + 2 * text.size());
    if (WidenAscii(text, out.data() + start))
        return;
    const QString unicode = CodePageToUnicode(text);
    out.resize(start + 2 * static_cast<size_t>(unicode.size()));
    char* units = out.data() + start;
    for (const QChar c : unicode) {
        *units++ = static_cast<char>(c.unicode() & 0xFF);
        *units++ = static_cast<char>(c.unicode() >> 8);
    }
}

void NarrowUtf16LE(std::string_view utf16, std::string& narrow)
{
    // ASCII, most of any text, is the same byte in every code page; the rest goes through
    // Unicode. A surrogate pair cannot straddle the point where it starts.
    const size_t units = utf16.size() / 2;
    narrow.resize(units);
    size_t ascii = 0;
    for (; ascii < units && static_cast<uint8_t>(utf16[2 * ascii]) < 0x80
         && utf16[2 * ascii + 1] == '\0';
         ++ascii)
        narrow[ascii] = utf16[2 * ascii];
    if (ascii == units)
        return;
    narrow.resize(ascii);
    QString unicode(static_cast<qsizetype>(units - ascii), Qt::Uninitialized);
    for (qsizetype i = 0; i < unicode.size(); ++i) {
        const size_t at = 2 * (ascii + static_cast<size_t>(i));
        unicode[i] = QChar(static_cast<char16_t>(
            static_cast<uint8_t>(utf16[at]) | static_cast<uint8_t>(utf16[at + 1]) << 8));
    }
    narrow += UnicodeToCodePage(unicode);
}

TUtf8Char Utf8CharAt(std::string_view bytes)
{
    constexpr TUtf8Char Invalid = { 0, 0 };
    if (bytes.empty())
        return Invalid;
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80)
        return { lead, 1 };
    const size_t length = lead >= 0xC2 && lead < 0xE0 ? 2
        : lead >= 0xE0 && lead < 0xF0                 ? 3
        : lead >= 0xF0 && lead < 0xF5                 ? 4
                                                      : 0;
    if (length == 0 || bytes.size() < length)
        return Invalid;
    char32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80)
            return Invalid;
        code = code << 6 | (next & 0x3F);
    }
    constexpr char32_t Smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    if (code < Smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
        return Invalid;
    return { code, length };
}

QString Utf8OrWindows1252ToUnicode(std::string_view bytes)
{
    std::u32string codes;
    codes.reserve(bytes.size());
    while (!bytes.empty()) {
        const TUtf8Char next = Utf8CharAt(bytes);
        codes.push_back(next.Length ? next.Code : Windows1252ToUnicode(bytes[0]));
        bytes.remove_prefix(next.Length ? next.Length : 1);
    }
    return QString::fromUcs4(codes.data(), static_cast<qsizetype>(codes.size()));
}
