#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

// The system code page, Windows-1252: it widens the program's 8-bit text to Unicode and
// narrows Unicode back, so files in the wild round-trip byte for byte. A character the code
// page lacks narrows to "?".

QString CodePageToUnicode(std::string_view text);

// Appends `text` widened to UTF-16, little-endian.
void AppendUtf16LE(std::string& out, std::string_view text);
// `utf16` (little-endian pairs of bytes) narrowed to 8-bit text.
std::string NarrowUtf16LE(std::string_view utf16);

// The code page's byte for a character; none when the code page lacks it.
std::optional<char> CodePageByte(char32_t code);
// `text` narrowed to 8-bit text.
std::string UnicodeToCodePage(QStringView text);

// The character encoded in UTF-8 at the start of `bytes` and the length of its sequence;
// length 0 when the bytes there are no valid UTF-8 (overlong forms and surrogates included).
struct TUtf8Char {
    char32_t Code;
    size_t Length;
};
TUtf8Char Utf8CharAt(std::string_view bytes);
// Decodes UTF-8; a byte that is not part of a valid sequence is read as the code page, so
// text from an 8-bit file still reads as it was written.
QString Utf8OrCodePageToUnicode(std::string_view bytes);
