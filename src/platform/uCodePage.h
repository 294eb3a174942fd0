#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

// Entries hold their texts as UTF-8. Files whose text is 8-bit (OV2, ITN, CSV and the other
// binary and line formats) hold it in a code page: Windows-1252 unless the setting CodePage or
// marivel-convert's --encoding chose UTF-8 or another single-byte code page. Such text is
// decoded as it is read and encoded as it is written; ASCII, most of any file, is the same in
// every code page and passes through untouched, so files in the wild round-trip byte for byte.
// A character the code page lacks is written as "?" and counted, so that a command can say so;
// bytes that are no UTF-8 in UTF-8 text read as U+FFFD and are counted as well.

// UTF-8 or a single-byte code page that is a superset of ASCII.
struct TCodePage {
    QString Name;
    bool Utf8 = false;
    std::array<char16_t, 256> Widen {}; // the character of each byte
    std::vector<std::pair<char32_t, char>> Narrow; // the bytes above ASCII, by character

    // The byte of `code`; none when the code page lacks it. Not for UTF-8.
    std::optional<char> ByteOf(char32_t code) const;
};

inline constexpr char DefaultCodePage[] = "windows-1252";
// The names `SelectCodePage` takes: the default, "utf-8", then the single-byte code pages.
const QStringList& CodePageNames();
// `name` as listed in `CodePageNames`, compared ignoring case; empty for an unknown name.
QString KnownCodePageName(const QString& name);
// Makes `name` the code page of 8-bit files; false, changing nothing, for an unknown name.
bool SelectCodePage(const QString& name);
QString CodePageName();
const TCodePage& CurrentCodePage();
const TCodePage& Utf8CodePage();
// The code page an XML declaration's `encoding` names, null when none is known. ISO-8859-1
// and US-ASCII read as Windows-1252, their superset, as web browsers read them.
const TCodePage* XmlCodePage(std::string_view name);

// Makes `name` the code page while it lives.
class TCodePageScope {
public:
    explicit TCodePageScope(const QString& name);
    ~TCodePageScope();
    TCodePageScope(const TCodePageScope&) = delete;
    TCodePageScope& operator=(const TCodePageScope&) = delete;

private:
    QString Previous;
};

bool IsAscii(std::string_view text);
// `bytes` in `page` as UTF-8: the bytes themselves when they are ASCII or valid UTF-8 of a
// UTF-8 page, else the text made in `scratch`, whose room is reused from call to call.
std::string_view DecodeText(
    std::string_view bytes, std::string& scratch, const TCodePage& page = CurrentCodePage());
// `utf8` in `page`, likewise; a character the page lacks becomes "?" and is counted.
std::string_view EncodeText(
    std::string_view utf8, std::string& scratch, const TCodePage& page = CurrentCodePage());
// How many characters of `utf8` `page` lacks.
size_t UnencodableCharacters(std::string_view utf8, const TCodePage& page = CurrentCodePage());
inline QString Utf8ToUnicode(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// How many characters encoding has replaced by "?", and how many byte sequences that are no
// UTF-8 decoding has replaced by U+FFFD, since the program started: a command compares the
// counts before and after it.
size_t ReplacedCharacters();
size_t InvalidSequences();
// The warnings for `count` of each.
QString ReplacementWarning(size_t count);
QString InvalidSequenceWarning(size_t count);

// Appends `utf8` as UTF-16, little-endian.
void AppendUtf16LE(std::string& out, std::string_view utf8);
// `utf16` (little-endian pairs of bytes) as UTF-8 into `utf8`, whose room is reused: a reader
// of millions of texts makes none of its own. An unpaired surrogate reads as U+FFFD.
void Utf16LEToUtf8(std::string_view utf16, std::string& utf8);

// The character encoded in UTF-8 at the start of `bytes` and the length of its sequence;
// length 0 when the bytes there are no valid UTF-8 (overlong forms and surrogates included).
struct TUtf8Char {
    char32_t Code;
    size_t Length;
};
TUtf8Char Utf8CharAt(std::string_view bytes);
void AppendUtf8(std::string& out, char32_t code);
// How many bytes at the start of `bytes`, which are no valid UTF-8 there, make one invalid
// sequence: a lead byte with the continuation bytes that follow it, as far as they fit.
size_t InvalidSequenceLength(std::string_view bytes);
// `bytes` with each invalid sequence replaced by U+FFFD and counted: the bytes themselves
// when they are valid, else the text made in `scratch`.
std::string_view ValidUtf8(std::string_view bytes, std::string& scratch);
