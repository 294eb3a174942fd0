#include "platform/uXmlScanner.h"

#include <array>
#include <cstring>

#include "platform/uCodePage.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The characters names may hold, and those they may start with; every byte above 0x7F is
// taken as part of some character that may.
struct TNameChars {
    std::array<bool, 256> Start {};
    std::array<bool, 256> Part {};
    TNameChars()
    {
        for (int c = 0; c < 256; ++c) {
            Start[c] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':'
                || c >= 0x80;
            Part[c] = Start[c] || (c >= '0' && c <= '9') || c == '-' || c == '.';
        }
    }
};

const TNameChars NameChars;

bool StartsName(std::string_view text, size_t pos)
{
    return pos < text.size() && NameChars.Start[static_cast<unsigned char>(text[pos])];
}

// The character an entity or character reference at the start of `text` stands for, and the
// reference's length; length 0 when `text` starts with no reference the parser knows, in
// which case the "&" is an ordinary character.
struct TReference {
    char32_t Code = 0;
    size_t Length = 0;
};

TReference ReferenceAt(std::string_view text)
{
    static constexpr std::pair<std::string_view, char> Entities[] = { { "&lt;", '<' },
        { "&gt;", '>' }, { "&amp;", '&' }, { "&apos;", '\'' }, { "&quot;", '"' } };
    for (const auto& [entity, c] : Entities)
        if (text.starts_with(entity))
            return { static_cast<char32_t>(c), entity.size() };
    if (!text.starts_with("&#"))
        return {};
    const bool hex = text.size() > 2 && text[2] == 'x';
    size_t i = hex ? 3 : 2;
    uint64_t code = 0;
    for (; i < text.size() && i < 16; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9' ? c - '0'
            : hex && c >= 'a' && c <= 'f'      ? c - 'a' + 10
            : hex && c >= 'A' && c <= 'F'      ? c - 'A' + 10
                                               : -1;
        if (digit < 0)
            break;
        code = code * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    }
    if (i == (hex ? 3u : 2u) || i >= text.size() || text[i] != ';')
        return {};
    return { code > 0x10FFFF ? U'\uFFFD' : static_cast<char32_t>(code), i + 1 };
}

} // namespace

TXmlScanner::TXmlScanner(std::string_view bytes, TEncoding encoding)
    : Bytes(bytes)
    , Encoding(encoding)
{
    if (Bytes.starts_with("\xEF\xBB\xBF"))
        Pos = 3;
}

TXmlScanner::TToken TXmlScanner::Next()
{
    if (EmptyElementEnds) {
        EmptyElementEnds = false;
        Closing = true;
        return TToken::EndTag;
    }
    if (Closing) {
        Open.pop_back();
        Closing = false;
    }
    while (Pos < Bytes.size()) {
        if (Bytes[Pos] != '<') {
            const TToken text = TextRun();
            if (text != TToken::End)
                return text;
            continue;
        }
        const TToken token = Markup();
        if (token != TToken::End)
            return token;
    }
    return Open.empty() && SawElement ? TToken::End : TToken::Malformed;
}

// Markup that is no token (comments, instructions, a document type) gives `End`.
TXmlScanner::TToken TXmlScanner::Markup()
{
    if (At("<?")) {
        Pos += 2;
        return StartsName(Bytes, Pos) && SkipPast("?>") ? TToken::End : TToken::Malformed;
    }
    if (At("<!--"))
        return SkipPast("-->") ? TToken::End : TToken::Malformed;
    if (At("<![CDATA[")) {
        const size_t start = Pos + 9;
        if (!SkipPast("]]>"))
            return TToken::Malformed;
        if (Open.empty())
            return TToken::End;
        Raw = Bytes.substr(start, Pos - 3 - start);
        RawIsCData = true;
        return TToken::Text;
    }
    if (At("<!DOCTYPE"))
        return Open.empty() && SkipDoctype() ? TToken::End : TToken::Malformed;
    if (At("</"))
        return EndTag();
    return StartTag();
}

TXmlScanner::TToken TXmlScanner::StartTag()
{
    Begin = Pos++;
    const size_t nameStart = Pos;
    if (!SkipName())
        return TToken::Malformed;
    const std::string_view name = Bytes.substr(nameStart, Pos - nameStart);
    const size_t attributesStart = Pos;
    for (;;) {
        const size_t blanksStart = Pos;
        SkipBlanks();
        if (Pos >= Bytes.size())
            return TToken::Malformed;
        if (Bytes[Pos] == '>' || At("/>")) {
            Attributes = Bytes.substr(attributesStart, Pos - attributesStart);
            EmptyElementEnds = Bytes[Pos] == '/';
            Pos += EmptyElementEnds ? 2 : 1;
            break;
        }
        // name="value" or name='value', each after a blank
        if (Pos == blanksStart || !SkipName())
            return TToken::Malformed;
        SkipBlanks();
        if (Pos >= Bytes.size() || Bytes[Pos] != '=')
            return TToken::Malformed;
        ++Pos;
        SkipBlanks();
        if (Pos >= Bytes.size() || (Bytes[Pos] != '"' && Bytes[Pos] != '\''))
            return TToken::Malformed;
        const size_t close = Bytes.find(Bytes[Pos], Pos + 1);
        if (close == std::string_view::npos)
            return TToken::Malformed;
        Pos = close + 1;
    }
    End = Pos;
    Open.push_back(name);
    SawElement = true;
    return TToken::StartTag;
}

TXmlScanner::TToken TXmlScanner::EndTag()
{
    Begin = Pos;
    Pos += 2;
    const size_t nameStart = Pos;
    if (Open.empty() || !SkipName() || Bytes.substr(nameStart, Pos - nameStart) != Open.back())
        return TToken::Malformed;
    SkipBlanks();
    if (Pos >= Bytes.size() || Bytes[Pos] != '>')
        return TToken::Malformed;
    End = ++Pos;
    Closing = true;
    return TToken::EndTag;
}

// Text up to the next markup; `End` when there is nothing to report.
TXmlScanner::TToken TXmlScanner::TextRun()
{
    const size_t start = Pos;
    const void* next = std::memchr(Bytes.data() + Pos, '<', Bytes.size() - Pos);
    Pos = next ? static_cast<size_t>(static_cast<const char*>(next) - Bytes.data()) : Bytes.size();
    Raw = Bytes.substr(start, Pos - start);
    RawIsCData = false;
    if (Open.empty())
        return TToken::End;
    for (char c : Raw)
        if (!IsBlank(c))
            return TToken::Text;
    return TToken::End;
}

bool TXmlScanner::SkipPast(std::string_view terminator)
{
    const size_t found = Bytes.find(terminator, Pos);
    if (found == std::string_view::npos)
        return false;
    Pos = found + terminator.size();
    return true;
}

// Past the closing ">", over a bracketed internal subset with its quoted literals and
// comments.
bool TXmlScanner::SkipDoctype()
{
    int brackets = 0;
    for (Pos += 9; Pos < Bytes.size(); ++Pos) {
        const char c = Bytes[Pos];
        if (c == '"' || c == '\'') {
            Pos = Bytes.find(c, Pos + 1);
            if (Pos == std::string_view::npos)
                return false;
        } else if (At("<!--")) {
            if (!SkipPast("-->"))
                return false;
            --Pos;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            --brackets;
        } else if (c == '>' && brackets <= 0) {
            ++Pos;
            return true;
        }
    }
    return false;
}

bool TXmlScanner::SkipName()
{
    if (!StartsName(Bytes, Pos))
        return false;
    while (++Pos < Bytes.size() && NameChars.Part[static_cast<unsigned char>(Bytes[Pos])]) { }
    return true;
}

void TXmlScanner::SkipBlanks()
{
    while (Pos < Bytes.size() && IsBlank(Bytes[Pos]))
        ++Pos;
}

bool TXmlScanner::Attribute(std::string_view name, std::string& value) const
{
    // The tag was checked when it was read, so here every attribute is name, "=", quoted value.
    std::string_view rest = Attributes;
    while (!rest.empty()) {
        const size_t nameStart = rest.find_first_not_of(" \t\r\n");
        if (nameStart == std::string_view::npos)
            break;
        const size_t equals = rest.find('=', nameStart);
        std::string_view found = rest.substr(nameStart, equals - nameStart);
        while (!found.empty() && IsBlank(found.back()))
            found.remove_suffix(1);
        const size_t open = rest.find_first_of("\"'", equals);
        const size_t close = rest.find(rest[open], open + 1);
        if (found == name) {
            value.clear();
            AppendDecoded(value, rest.substr(open + 1, close - open - 1), true);
            return true;
        }
        rest.remove_prefix(close + 1);
    }
    return false;
}

void TXmlScanner::AppendText(std::string& out) const { AppendDecoded(out, Raw, false); }

void TXmlScanner::AppendDecoded(std::string& out, std::string_view raw, bool attribute) const
{
    const bool references = attribute || !RawIsCData;
    for (size_t i = 0; i < raw.size();) {
        const char c = raw[i];
        if (c == '&' && references) {
            if (const TReference reference = ReferenceAt(raw.substr(i)); reference.Length) {
                if (reference.Code == 0)
                    return; // the document service's text ends there too
                out.push_back(CodePageByte(reference.Code).value_or('?'));
                i += reference.Length;
                continue;
            }
        } else if (c == '\r') {
            out.push_back(attribute ? ' ' : '\n');
            i += i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
            continue;
        } else if (attribute && (c == '\n' || c == '\t')) {
            out.push_back(' ');
            ++i;
            continue;
        } else if (static_cast<unsigned char>(c) >= 0x80 && Encoding == TEncoding::Utf8) {
            if (const TUtf8Char utf8 = Utf8CharAt(raw.substr(i)); utf8.Length) {
                out.push_back(CodePageByte(utf8.Code).value_or('?'));
                i += utf8.Length;
                continue;
            }
        }
        out.push_back(c);
        ++i;
    }
}
