#include "platform/uXmlScanner.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "platform/uCodePage.h"
#include "platform/uMessages.h"
#include "platform/uXml.h"

namespace {

// What the scanner's loops look for in a byte. Every byte above 0x7F is taken as part of
// some character that names may hold.
enum : uint8_t { ccBlank = 1, ccNameStart = 2, ccNamePart = 4 };

constexpr std::array<uint8_t, 256> Classes = [] {
    std::array<uint8_t, 256> classes {};
    for (int c = 0; c < 256; ++c) {
        const bool start =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
        const bool part = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        classes[c] = static_cast<uint8_t>(
            (blank ? ccBlank : 0) | (start ? ccNameStart : 0) | (part ? ccNamePart : 0));
    }
    return classes;
}();

bool Is(char c, uint8_t kind) { return Classes[static_cast<unsigned char>(c)] & kind; }

bool IsBlank(char c) { return Is(c, ccBlank); }

bool StartsName(std::string_view text, size_t pos)
{
    return pos < text.size() && Is(text[pos], ccNameStart);
}

// How many bytes from `from` have the class `kind`.
size_t RunLength(std::string_view text, size_t from, uint8_t kind)
{
    const char* p = text.data() + from;
    const char* const end = text.data() + text.size();
    while (p < end && Is(*p, kind))
        ++p;
    return static_cast<size_t>(p - text.data()) - from;
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

// What decides which bytes of a text take more than copying: whether references count and
// whether it is an attribute value (whose line breaks and tabs become spaces). Bytes from 0x80
// always do: they are decoded, or checked to be UTF-8.
struct TTextKind {
    bool References;
    bool Attribute;
};

// Those bytes for each kind of text; a table, as every byte of every text is looked up.
const std::array<bool, 256>& SpecialBytes(const TTextKind& kind)
{
    static const auto tables = [] {
        std::array<std::array<bool, 256>, 4> all {};
        for (int kind = 0; kind < 4; ++kind)
            for (int c = 0; c < 256; ++c)
                all[kind][c] = (c == '&' && (kind & 1)) || c == '\r'
                    || ((kind & 2) && (c == '\n' || c == '\t')) || c >= 0x80;
        return all;
    }();
    return tables[(kind.References ? 1 : 0) | (kind.Attribute ? 2 : 0)];
}

constexpr uint64_t EachByte = 0x0101010101010101;
constexpr uint64_t HighBits = 0x8080808080808080;

// Non-zero when a byte of `word` is `c`; a test of eight bytes at once.
uint64_t HasByte(uint64_t word, char c)
{
    const uint64_t x = word ^ (EachByte * static_cast<uint8_t>(c));
    return (x - EachByte) & ~x & HighBits;
}

// Whether none of the eight bytes at `bytes` is one that `SpecialBytes` names for the same
// kind of text: most of a text is plain, and is passed over a word at a time.
bool PlainWord(const char* bytes, const TTextKind& kind)
{
    uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    uint64_t special = HasByte(word, '\r') | (word & HighBits);
    if (kind.References)
        special |= HasByte(word, '&');
    if (kind.Attribute)
        special |= HasByte(word, '\n') | HasByte(word, '\t');
    return special == 0;
}

TTextKind KindOf(bool attribute, bool cdata) { return { attribute || !cdata, attribute }; }

// The offset of the first byte from `from` on that needs decoding; the size when none does.
size_t NextSpecial(std::string_view raw, size_t from, const TTextKind& kind)
{
    const std::array<bool, 256>& special = SpecialBytes(kind);
    size_t i = from;
    while (i + sizeof(uint64_t) <= raw.size() && PlainWord(raw.data() + i, kind))
        i += sizeof(uint64_t);
    // The few bytes left as one more word, which overlaps bytes already found plain.
    if (i + sizeof(uint64_t) > raw.size() && raw.size() >= sizeof(uint64_t)
        && PlainWord(raw.data() + raw.size() - sizeof(uint64_t), kind))
        return raw.size();
    while (i < raw.size() && !special[static_cast<unsigned char>(raw[i])])
        ++i;
    return i;
}

} // namespace

TXmlScanner::TXmlScanner(std::string_view bytes)
    : TXmlScanner(bytes, XmlEncodingOf(bytes))
{
}

TXmlScanner::TXmlScanner(std::string_view bytes, const TCodePage& encoding)
    : Bytes(bytes)
    , Encoding_(&encoding)
{
    if (Bytes.starts_with("\xEF\xBB\xBF"))
        Pos = 3;
}

namespace {

// What a text read in pieces keeps of its start, for messages that quote it.
constexpr size_t HeadSize = 1024;

} // namespace

TXmlScanner::TXmlScanner(std::string first, TSource more)
    : TXmlScanner(first, XmlEncodingOf(first))
{
    Streaming = true;
    More = std::move(more);
    First = first.substr(0, HeadSize);
    Buffer = std::move(first);
    Bytes = Buffer;
}

// Inline: a tag asks for several names and blanks, each only a few bytes long.
inline bool TXmlScanner::SkipName()
{
    if (!StartsName(Bytes, Pos))
        return false;
    Pos += RunLength(Bytes, Pos, ccNamePart);
    return true;
}

inline void TXmlScanner::SkipBlanks() { Pos += RunLength(Bytes, Pos, ccBlank); }

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
    for (;;) {
        const size_t start = Pos;
        const TToken token = NextInBytes();
        // Whatever ends at the last byte held may go on in the bytes not yet read.
        const bool mayGoOn = token == TToken::Malformed || token == TToken::End
            || (token == TToken::Text && Pos == Bytes.size());
        if (!More || !mayGoOn)
            return token;
        Pos = start;
        Refill();
    }
}

// Drops the bytes before `Pos`, where the token to read again starts, and reads more; at the
// text's end, what is held is read as the rest of it.
void TXmlScanner::Refill()
{
    KeepOpenNames();
    const std::string_view dropped = Bytes.substr(0, Pos);
    const size_t newline = dropped.rfind('\n');
    const size_t lineStart = newline == std::string_view::npos ? 0 : newline + 1;
    DroppedLines += static_cast<size_t>(std::count(dropped.begin(), dropped.end(), '\n'));
    DroppedColumns = (lineStart == 0 ? DroppedColumns : 0)
        + LineLength(dropped.substr(lineStart), Dropped + lineStart);
    Buffer.erase(0, Pos);
    Dropped += Pos;
    Pos = 0;
    // A piece more, or as much again as is held, so that a long token is read in few rounds.
    const size_t held = Buffer.size();
    Buffer.resize(held + std::max(PieceSize, held));
    const size_t read = More(Buffer.data() + held, Buffer.size() - held);
    Buffer.resize(held + read);
    Bytes = Buffer;
    if (read == 0)
        More = nullptr;
}

// The names of the open elements as copies, as the bytes they lie in are about to go.
void TXmlScanner::KeepOpenNames()
{
    std::deque<std::string> kept;
    for (std::string_view& name : Open)
        name = kept.emplace_back(name);
    KeptNames.swap(kept);
}

// The characters of a line's `bytes`, which lie at `offset` from the text's start.
size_t TXmlScanner::LineLength(std::string_view bytes, size_t offset) const
{
    if (offset == 0 && bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return static_cast<size_t>(Unicode(bytes).size());
}

// The next token of the bytes held.
TXmlScanner::TToken TXmlScanner::NextInBytes()
{
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
    if (!Open.empty())
        return Fail(Tr(Msg::XmlNotClosed).arg(Unicode(Open.back())));
    return SawElement ? TToken::End : Fail(Tr(Msg::XmlNoElement));
}

// Markup that is no token (comments, instructions, a document type) gives `End`.
TXmlScanner::TToken TXmlScanner::Markup()
{
    if (At("<?")) {
        Pos += 2;
        if (!StartsName(Bytes, Pos))
            return Fail(Tr(Msg::XmlBadName));
        return SkipPast("?>") ? TToken::End : Fail(Tr(Msg::XmlUnexpectedEnd));
    }
    if (At("<!--"))
        return SkipPast("-->") ? TToken::End : Fail(Tr(Msg::XmlUnexpectedEnd));
    if (At("<![CDATA[")) {
        const size_t start = Pos + 9;
        if (!SkipPast("]]>"))
            return Fail(Tr(Msg::XmlUnexpectedEnd));
        if (Open.empty())
            return TToken::End;
        Raw = Bytes.substr(start, Pos - 3 - start);
        RawIsCData = true;
        return TToken::Text;
    }
    if (At("<!DOCTYPE"))
        return Open.empty() && SkipDoctype()
            ? TToken::End
            : Fail(Tr(Msg::XmlBadMarkup).arg(QLatin1String("<!DOCTYPE")));
    if (At("</"))
        return EndTag();
    return StartTag();
}

TXmlScanner::TToken TXmlScanner::StartTag()
{
    Begin = Pos++;
    const size_t nameStart = Pos;
    if (!SkipName())
        return Fail(Tr(Msg::XmlBadName));
    const std::string_view name = Bytes.substr(nameStart, Pos - nameStart);
    Attributes.clear();
    for (;;) {
        const size_t blanksStart = Pos;
        SkipBlanks();
        if (Pos >= Bytes.size())
            return Fail(Tr(Msg::XmlUnexpectedEnd));
        if (Bytes[Pos] == '>' || At("/>")) {
            EmptyElementEnds = Bytes[Pos] == '/';
            Pos += EmptyElementEnds ? 2 : 1;
            break;
        }
        // name="value" or name='value', each after a blank
        const size_t attributeStart = Pos;
        if (Pos == blanksStart || !SkipName())
            return Fail(Tr(Msg::XmlBadAttribute));
        const std::string_view attribute = Bytes.substr(attributeStart, Pos - attributeStart);
        SkipBlanks();
        if (Pos >= Bytes.size() || Bytes[Pos] != '=')
            return Fail(Tr(Msg::XmlBadAttribute));
        ++Pos;
        SkipBlanks();
        if (Pos >= Bytes.size() || (Bytes[Pos] != '"' && Bytes[Pos] != '\''))
            return Fail(Tr(Msg::XmlBadAttribute));
        const size_t close = Bytes.find(Bytes[Pos], Pos + 1);
        if (close == std::string_view::npos)
            return Fail(Tr(Msg::XmlBadAttribute));
        Attributes.emplace_back(attribute, Bytes.substr(Pos + 1, close - Pos - 1));
        Pos = close + 1;
    }
    End = Pos;
    if (Depth() >= MaxXmlDepth)
        ThrowXmlTooDeep();
    Open.push_back(name);
    SawElement = true;
    return TToken::StartTag;
}

TXmlScanner::TToken TXmlScanner::EndTag()
{
    Begin = Pos;
    Pos += 2;
    const size_t nameStart = Pos;
    if (!SkipName())
        return Fail(Tr(Msg::XmlBadName));
    const std::string_view name = Bytes.substr(nameStart, Pos - nameStart);
    if (Open.empty())
        return Fail(Tr(Msg::XmlStrayEndTag).arg(Unicode(name)), Begin);
    if (name != Open.back())
        return Fail(Tr(Msg::XmlMismatchedTag).arg(Unicode(name), Unicode(Open.back())), Begin);
    SkipBlanks();
    if (Pos >= Bytes.size() || Bytes[Pos] != '>')
        return Fail(Tr(Msg::XmlBadMarkup).arg(QStringLiteral("</") + Unicode(name)), Begin);
    End = ++Pos;
    Closing = true;
    return TToken::EndTag;
}

TXmlScanner::TToken TXmlScanner::Fail(const QString& reason)
{
    return Fail(reason, std::min(Pos, Bytes.size()));
}

TXmlScanner::TToken TXmlScanner::Fail(const QString& reason, size_t at)
{
    FaultReason = reason;
    FaultAt = at;
    return TToken::Malformed;
}

QString TXmlScanner::Unicode(std::string_view bytes) const
{
    return XmlBytesToUnicode(bytes, *Encoding_);
}

QString TXmlScanner::Fault() const
{
    if (FaultReason.isEmpty())
        return {};
    const std::string_view before = Bytes.substr(0, FaultAt);
    const size_t lineStart = before.rfind('\n') + 1; // 0 on the first line held
    const auto line =
        DroppedLines + static_cast<size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    const size_t column = (lineStart == 0 ? DroppedColumns : 0)
        + LineLength(before.substr(lineStart), Dropped + lineStart) + 1;
    return Tr(Msg::XmlFaultAt)
        .arg(FaultReason)
        .arg(static_cast<qulonglong>(line))
        .arg(static_cast<qulonglong>(column));
}

// Text up to the next markup; `End` when there is nothing to report.
TXmlScanner::TToken TXmlScanner::TextRun()
{
    // Most runs are the few blanks between two tags, for which a plain loop beats memchr;
    // past the first other byte, memchr finds the markup that ends a text.
    const char* p = Bytes.data() + Pos;
    const char* const end = Bytes.data() + Bytes.size();
    while (p < end && IsBlank(*p))
        ++p;
    const bool blank = p == end || *p == '<';
    if (!blank) {
        p = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p)));
        if (!p)
            p = end;
    }
    const size_t start = Pos;
    Pos = static_cast<size_t>(p - Bytes.data());
    Raw = Bytes.substr(start, Pos - start);
    RawIsCData = false;
    return Open.empty() || blank ? TToken::End : TToken::Text;
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

template <class TVisit> void TXmlScanner::FindAttribute(TVisit visit) const
{
    for (const auto& [name, raw] : Attributes)
        if (visit(name, raw))
            return;
}

bool TXmlScanner::Attribute(std::string_view name, std::string& value) const
{
    bool found = false;
    FindAttribute([&](std::string_view attribute, std::string_view raw) {
        if (attribute != name)
            return false;
        value.clear();
        AppendDecoded(value, raw, true);
        return found = true;
    });
    return found;
}

void TXmlScanner::NamespaceDeclarations(std::vector<std::pair<std::string, std::string>>& out) const
{
    FindAttribute([&](std::string_view attribute, std::string_view raw) {
        if (attribute.starts_with("xmlns:")) {
            out.emplace_back(attribute.substr(6), std::string());
            AppendDecoded(out.back().second, raw, true);
        }
        return false;
    });
}

void TXmlScanner::AppendText(std::string& out) const { AppendDecoded(out, Raw, false); }

std::optional<std::string_view> TXmlScanner::PlainText() const
{
    const TTextKind kind = KindOf(false, RawIsCData);
    const size_t special = NextSpecial(Raw, 0, kind);
    if (special == Raw.size())
        return Raw;
    // Beyond ASCII, valid UTF-8 is already what decoding would make of it.
    if (!Encoding_->Utf8)
        return std::nullopt;
    for (size_t i = special; i < Raw.size(); i = NextSpecial(Raw, i, kind)) {
        const size_t length = Utf8CharAt(Raw.substr(i)).Length;
        if (length < 2)
            return std::nullopt;
        i += length;
    }
    return Raw;
}

void TXmlScanner::AppendDecoded(std::string& out, std::string_view raw, bool attribute) const
{
    const TTextKind kind = KindOf(attribute, RawIsCData);
    size_t plain = 0; // start of the bytes not yet copied
    for (size_t i = NextSpecial(raw, 0, kind); i < raw.size(); i = NextSpecial(raw, plain, kind)) {
        const char c = raw[i];
        out.append(raw, plain, i - plain);
        size_t length = 1;
        if (c == '&') {
            const TReference reference = ReferenceAt(raw.substr(i));
            if (reference.Length && reference.Code == 0)
                return; // the document service's text ends there too
            if (reference.Length)
                AppendUtf8(out, reference.Code);
            else
                out.push_back(c);
            length = std::max<size_t>(reference.Length, 1);
        } else if (c == '\r') {
            out.push_back(attribute ? ' ' : '\n');
            length = i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
        } else if (c == '\n' || c == '\t') {
            out.push_back(' ');
        } else if (!Encoding_->Utf8) {
            AppendUtf8(out, Encoding_->Widen[static_cast<uint8_t>(c)]);
        } else if (const size_t valid = Utf8CharAt(raw.substr(i)).Length) {
            out.append(raw, i, valid);
            length = valid;
        } else {
            std::string repaired;
            length = InvalidSequenceLength(raw.substr(i));
            out += ValidUtf8(raw.substr(i, length), repaired);
        }
        plain = i + length;
    }
    out.append(raw, plain);
}

void TXmlText::Clear()
{
    Plain = {};
    Decoded.clear();
    InDecoded = false;
}

void TXmlText::Append(const TXmlScanner& scanner)
{
    // A text read in pieces is gone with the next token.
    if (!InDecoded && Plain.empty() && !scanner.Streams())
        if (const std::optional<std::string_view> plain = scanner.PlainText()) {
            Plain = *plain;
            return;
        }
    if (!InDecoded)
        Decoded.assign(Plain);
    InDecoded = true;
    scanner.AppendText(Decoded);
}
