#pragma once

#include <array>
#include <string>
#include <string_view>

#include <QString>
#include <QStringList>

// The code page of the program's 8-bit text: it widens entries' bytes to Unicode (screen,
// XML, UTF-16 files) and narrows Unicode back. Windows-1252 unless the setting CodePage or
// marivel-convert's --encoding chose UTF-8 or another single-byte code page, so files in the
// wild round-trip byte for byte. A character the code page lacks narrows to "?", and is
// counted, so that a command can say so once.

inline constexpr char DefaultCodePage[] = "windows-1252";
// The names `SelectCodePage` takes: the default, "utf-8", then the single-byte code pages.
const QStringList& CodePageNames();
// `name` as listed in `CodePageNames`, compared ignoring case; empty for an unknown name.
QString KnownCodePageName(const QString& name);
// Makes `name` the code page; false, changing nothing, for an unknown name.
bool SelectCodePage(const QString& name);
QString CodePageName();
bool IsDefaultCodePage();
// The current single-byte code page's characters by byte; null while it is UTF-8.
const std::array<char16_t, 256>* CodePageTable();

QString CodePageToUnicode(std::string_view text);
std::string UnicodeToCodePage(QStringView text);
// Appends `code` narrowed; false, appending and counting nothing, when the code page lacks it.
bool TryAppendCodePageChar(std::string& out, char32_t code);
// Appends `code` narrowed, "?" when the code page lacks it.
void AppendCodePageChar(std::string& out, char32_t code);

// How many characters narrowing has replaced by "?" since the program started: a command
// compares the count before and after it.
size_t ReplacedCharacters();
// The warning for `count` replaced characters.
QString ReplacementWarning(size_t count);

// Adds to `count` the characters narrowing replaced while it lives.
class TReplacementTally {
public:
    explicit TReplacementTally(size_t& count)
        : Count(count)
        , Before(ReplacedCharacters())
    {
    }
    ~TReplacementTally() { Count += ReplacedCharacters() - Before; }
    TReplacementTally(const TReplacementTally&) = delete;
    TReplacementTally& operator=(const TReplacementTally&) = delete;

private:
    size_t& Count;
    size_t Before;
};

// Appends `text` widened to UTF-16, little-endian.
void AppendUtf16LE(std::string& out, std::string_view text);
// `utf16` (little-endian pairs of bytes) narrowed to 8-bit text, into `narrow`, whose room
// is reused: a reader of millions of texts makes none of its own.
void NarrowUtf16LE(std::string_view utf16, std::string& narrow);

// Windows-1252, whatever the code page, for bytes that declare themselves 8-bit (XML files
// in ISO-8859-1) and for bytes that turn out to be no UTF-8.
char16_t Windows1252ToUnicode(char byte);

// The character encoded in UTF-8 at the start of `bytes` and the length of its sequence;
// length 0 when the bytes there are no valid UTF-8 (overlong forms and surrogates included).
struct TUtf8Char {
    char32_t Code;
    size_t Length;
};
TUtf8Char Utf8CharAt(std::string_view bytes);
// Decodes UTF-8; a byte that is not part of a valid sequence is read as Windows-1252, so
// text from an 8-bit file still reads as it was written.
QString Utf8OrWindows1252ToUnicode(std::string_view bytes);
