#include "platform/uCodePage.h"

#include <array>

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

char Narrow(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit < 0x100))
        return static_cast<char>(unit);
    for (size_t i = 0; i < High.size(); ++i)
        if (High[i] == unit)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

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
        narrow.push_back(Narrow(static_cast<char16_t>(
            static_cast<unsigned char>(utf16[i]) | static_cast<unsigned char>(utf16[i + 1]) << 8)));
    return narrow;
}
