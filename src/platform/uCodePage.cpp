#include "platform/uCodePage.h"

#include <array>

#include <QList>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unused bytes there map to
// the C1 controls of the same value, as the platform's own conversion does.
constexpr std::array<char16_t, 32> High = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020,
    0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019,
    0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E,
    0x0178 };

char16_t Widen(char c)
{
    auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : byte;
}

char Narrow(char32_t code) { return CodePageByte(code).value_or('?'); }

} // namespace

std::optional<char> CodePageByte(char32_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code < 0x100))
        return static_cast<char>(code);
    for (size_t i = 0; i < High.size(); ++i)
        if (High[i] == code)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

QString CodePageToUnicode(std::string_view text)
{
    QString unicode(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    for (size_t i = 0; i < text.size(); ++i)
        unicode[static_cast<qsizetype>(i)] = QChar(Widen(text[i]));
    return unicode;
}

void AppendUtf16LE(std::string& out, std::string_view text)
{
    const size_t start = out.size();
    out.resize(start + 2 * text.size());
    char* units = out.data() + start;
    for (char c : text) {
        const char16_t unit = Widen(c);
        *units++ = static_cast<char>(unit & 0xFF);
        *units++ = static_cast<char>(unit >> 8);
    }
}

std::string NarrowUtf16LE(std::string_view utf16)
{
    std::string narrow;
    narrow.reserve(utf16.size() / 2);
    for (size_t i = 0; i + 1 < utf16.size(); i += 2)
        narrow.push_back(Narrow(static_cast<char32_t>(
            static_cast<unsigned char>(utf16[i]) | static_cast<unsigned char>(utf16[i + 1]) << 8)));
    return narrow;
}

std::string UnicodeToCodePage(QStringView text)
{
    std::string narrow;
    narrow.reserve(static_cast<size_t>(text.size()));
    for (const char32_t code : text.toUcs4())
        narrow.push_back(Narrow(code));
    return narrow;
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

QString Utf8OrCodePageToUnicode(std::string_view bytes)
{
    std::u32string codes;
    codes.reserve(bytes.size());
    while (!bytes.empty()) {
        const TUtf8Char next = Utf8CharAt(bytes);
        codes.push_back(next.Length ? next.Code : Widen(bytes[0]));
        bytes.remove_prefix(next.Length ? next.Length : 1);
    }
    return QString::fromUcs4(codes.data(), static_cast<qsizetype>(codes.size()));
}
