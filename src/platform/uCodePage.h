#pragma once

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
