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

// Where a byte the code page leaves undefined above the controls maps: a character of the
// private use area of its own, which no defined byte maps to.
constexpr char16_t PrivateUseBase = 0xF700;

// The platform's table of a code page; none when it does not know it, or when the code page
// is no superset of ASCII (markup must stay readable). A byte the code page leaves undefined
// maps to the control of its own value, as in Windows-1252, or above the controls to a private
// character, so it survives a round trip.
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
        table[static_cast<size_t>(byte)] = character != QChar::ReplacementCharacter ? character
            : byte < 0xA0                                                           ? char16_t(byte)
                          : char16_t(PrivateUseBase + byte);
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
size_t Invalid = 0;

constexpr char ReplacementCharacter[] = "\xEF\xBF\xBD"; // U+FFFD in UTF-8
constexpr uint64_t HighBits = 0x8080808080808080;

} // namespace

std::optional<char> TCodePage::ByteOf(char32_t code) const
{
    if (code < 0x80)
        return static_cast<char>(code);
    const auto found = std::lower_bound(Narrow.begin(), Narrow.end(), code,
        [](const std::pair<char32_t, char>& entry, char32_t c) { return entry.first < c; });
    if (found == Narrow.end() || found->first != code)
        return std::nullopt;
    return found->second;
}

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

const TCodePage& CurrentCodePage()
{
    if (!Current)
        Current = &CodePages().front();
    return *Current;
}

QString CodePageName() { return CurrentCodePage().Name; }

const TCodePage& Utf8CodePage() { return CodePages()[1]; }

const TCodePage* XmlCodePage(std::string_view name)
{
    const QString wanted = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    for (const char* superseded : { "iso-8859-1", "us-ascii", "ascii", "latin1" })
        if (wanted.compare(QLatin1String(superseded), Qt::CaseInsensitive) == 0)
            return &CodePages().front();
    for (const TCodePage& page : CodePages())
        if (page.Name.compare(wanted, Qt::CaseInsensitive) == 0)
            return &page;
    if (wanted.compare(QLatin1String("utf8"), Qt::CaseInsensitive) == 0)
        return &Utf8CodePage();
    return nullptr;
}

TCodePageScope::TCodePageScope(const QString& name)
    : Previous(CodePageName())
{
    SelectCodePage(name);
}

TCodePageScope::~TCodePageScope() { SelectCodePage(Previous); }

bool IsAscii(std::string_view text)
{
    size_t i = 0;
    uint64_t high = 0;
    for (; i + sizeof(uint64_t) <= text.size(); i += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        high |= word;
    }
    for (; i < text.size(); ++i)
        high |= static_cast<uint8_t>(text[i]);
    return (high & HighBits) == 0;
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

size_t InvalidSequenceLength(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const size_t expected = lead >= 0xC2 && lead < 0xE0 ? 2
        : lead >= 0xE0 && lead < 0xF0                   ? 3
        : lead >= 0xF0 && lead < 0xF5                   ? 4
                                                        : 1;
    size_t length = 1;
    while (length < expected && length < bytes.size()
        && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
        ++length;
    // A full-length sequence that still fails is an overlong form or a surrogate: its bytes
    // are told one by one, as no prefix of it is valid.
    return length == expected ? 1 : length;
}

namespace {

// Appends `bytes`, valid UTF-8 from `from` on to the first invalid sequence, then U+FFFD for
// each invalid sequence, counted.
void AppendRepairedUtf8(std::string& out, std::string_view bytes)
{
    while (!bytes.empty()) {
        const TUtf8Char next = Utf8CharAt(bytes);
        if (next.Length) {
            out.append(bytes.substr(0, next.Length));
            bytes.remove_prefix(next.Length);
            continue;
        }
        out += ReplacementCharacter;
        ++Invalid;
        bytes.remove_prefix(InvalidSequenceLength(bytes));
    }
}

// The offset of the first invalid sequence in `bytes`; the size when there is none.
size_t FirstInvalid(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t length = Utf8CharAt(bytes.substr(i)).Length;
        if (!length)
            return i;
        i += length;
    }
    return i;
}

} // namespace

std::string_view ValidUtf8(std::string_view bytes, std::string& scratch)
{
    const size_t invalid = FirstInvalid(bytes);
    if (invalid == bytes.size())
        return bytes;
    scratch.assign(bytes.substr(0, invalid));
    AppendRepairedUtf8(scratch, bytes.substr(invalid));
    return scratch;
}

std::string_view DecodeText(std::string_view bytes, std::string& scratch, const TCodePage& page)
{
    if (IsAscii(bytes))
        return bytes;
    if (page.Utf8)
        return ValidUtf8(bytes, scratch);
    scratch.clear();
    for (const char byte : bytes)
        AppendUtf8(scratch, page.Widen[static_cast<uint8_t>(byte)]);
    return scratch;
}

namespace {

// Calls `lacking` with each character of `utf8` that `page` lacks, else appends its byte.
template <typename TLacking>
void EncodeEach(std::string_view utf8, std::string& out, const TCodePage& page, TLacking lacking)
{
    while (!utf8.empty()) {
        const TUtf8Char next = Utf8CharAt(utf8);
        const size_t length = next.Length ? next.Length : 1;
        const std::optional<char> byte = next.Length ? page.ByteOf(next.Code) : std::nullopt;
        if (byte)
            out.push_back(*byte);
        else
            lacking();
        utf8.remove_prefix(length);
    }
}

} // namespace

std::string_view EncodeText(std::string_view utf8, std::string& scratch, const TCodePage& page)
{
    if (page.Utf8 || IsAscii(utf8))
        return utf8;
    scratch.clear();
    EncodeEach(utf8, scratch, page, [&] {
        scratch.push_back('?');
        ++Replaced;
    });
    return scratch;
}

size_t UnencodableCharacters(std::string_view utf8, const TCodePage& page)
{
    if (page.Utf8 || IsAscii(utf8))
        return 0;
    size_t count = 0;
    std::string ignored;
    EncodeEach(utf8, ignored, page, [&] { ++count; });
    return count;
}

size_t ReplacedCharacters() { return Replaced; }

size_t InvalidSequences() { return Invalid; }

QString ReplacementWarning(size_t count)
{
    return Tr(count == 1 ? Msg::CharacterReplaced : Msg::CharactersReplaced)
        .arg(count)
        .arg(CodePageName());
}

QString InvalidSequenceWarning(size_t count)
{
    return Tr(count == 1 ? Msg::InvalidUtf8Sequence : Msg::InvalidUtf8Sequences).arg(count);
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
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little)
        for (; i + sizeof(uint64_t) <= text.size(); i += sizeof(uint64_t)) {
            uint64_t bytes;
            std::memcpy(&bytes, text.data() + i, sizeof bytes);
            if (bytes & HighBits)
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

void AppendUtf16LE(std::string& out, std::string_view utf8)
{
    const size_t start = out.size();
    out.resize(start + 2 * utf8.size());
    if (WidenAscii(utf8, out.data() + start))
        return;
    const QString unicode = Utf8ToUnicode(utf8);
    out.resize(start + 2 * static_cast<size_t>(unicode.size()));
    char* units = out.data() + start;
    for (const QChar c : unicode) {
        *units++ = static_cast<char>(c.unicode() & 0xFF);
        *units++ = static_cast<char>(c.unicode() >> 8);
    }
}

void Utf16LEToUtf8(std::string_view utf16, std::string& utf8)
{
    // ASCII, most of any text, is copied unit by unit; the rest is decoded pair by pair.
    const size_t units = utf16.size() / 2;
    const auto unitAt = [&](size_t i) {
        return static_cast<char32_t>(
            static_cast<uint8_t>(utf16[2 * i]) | static_cast<uint8_t>(utf16[2 * i + 1]) << 8);
    };
    utf8.resize(units);
    size_t i = 0;
    for (; i < units && unitAt(i) < 0x80; ++i)
        utf8[i] = static_cast<char>(unitAt(i));
    if (i == units)
        return;
    utf8.resize(i);
    for (; i < units; ++i) {
        char32_t code = unitAt(i);
        const bool high = code >= 0xD800 && code < 0xDC00;
        const char32_t low = high && i + 1 < units ? unitAt(i + 1) : 0;
        if (high && low >= 0xDC00 && low < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD; // a surrogate without its other half
        }
        AppendUtf8(utf8, code);
    }
}
