#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QString>

#include "platform/uXml.h"

// A forward-only reader of XML text, for documents too large to hold as nodes (a GPX file
// with a country's POIs): tags and text one at a time, checked for well-formedness as it
// goes. It reads what the XML document service reads, so both give the same text: entity
// and character references resolved, line ends as LF, whitespace-only text passed over, an
// attribute's blanks as spaces, text outside the elements ignored.
class TXmlScanner {
public:
    enum class TToken { StartTag, EndTag, Text, End, Malformed };

    // Reads `bytes` as they declare themselves (`XmlEncodingOf`).
    explicit TXmlScanner(std::string_view bytes);
    TXmlScanner(std::string_view bytes, const TCodePage& encoding);

    // Fills up to `count` bytes at `buffer` with the text's next bytes; how many, 0 at its end.
    using TSource = std::function<size_t(char* buffer, size_t count)>;
    // Reads a text too large to hold, such as one unpacked from an archive, a piece at a time:
    // `first` is its start, which declares the encoding (not UTF-16, which would need
    // `XmlBytesAsUtf8`), `more` gives the rest. Only the current token and the names of the
    // open elements are held, so texts and names lie in the input only until the next call
    // of `Next`.
    TXmlScanner(std::string first, TSource more);
    // How much such a scanner asks for at a time, unless the token it holds is longer: enough
    // for the time spent per piece not to matter, and little beside the entries read.
    static constexpr size_t PieceSize = size_t(1) << 16;
    const TCodePage& Encoding() const { return *Encoding_; }
    // Whether the text is read a piece at a time.
    bool Streams() const { return Streaming; }
    // The text's first bytes: all of them, or at least the first piece's.
    std::string_view Head() const { return Streaming ? std::string_view(First) : Bytes; }

    // An empty-element tag gives a start tag and then its end tag. Malformed text gives
    // `Malformed` where the fault is found; text without any element is malformed too.
    // Elements nested deeper than `MaxXmlDepth` fail with `ThrowXmlTooDeep`.
    TToken Next();

    // The element of the current tag, and of a text its parent.
    std::string_view Name() const { return Open.back(); }
    // 1 for the document element.
    int Depth() const { return static_cast<int>(Open.size()); }
    // The name of the open element at `depth`, from 1 to `Depth()`.
    std::string_view OpenName(int depth) const { return Open[static_cast<size_t>(depth - 1)]; }
    // Whether the open elements are `path`, outermost first.
    bool OpenPathIs(std::initializer_list<std::string_view> path) const
    {
        return std::equal(Open.begin(), Open.end(), path.begin(), path.end());
    }

    // The value of the current start tag's attribute `name` (qualified, as written), as
    // UTF-8; false when the tag has no such attribute.
    bool Attribute(std::string_view name, std::string& value) const;
    // The namespace declarations ("xmlns:prefix") of the current start tag, as (prefix, name)
    // pairs decoded as `Attribute` decodes them, appended to `out`.
    void NamespaceDeclarations(std::vector<std::pair<std::string, std::string>>& out) const;
    // Appends the current text as UTF-8: references resolved, bytes that are no UTF-8 in a
    // UTF-8 text as U+FFFD, counted (`InvalidSequences`).
    void AppendText(std::string& out) const;
    // The current text as it lies in the input, when that is already what `AppendText` would
    // append.
    std::optional<std::string_view> PlainText() const;

    // Why the text is malformed and where, once `Next` said so, as a message may tell it:
    // "end tag </b> does not match <a> at line 3, column 5".
    QString Fault() const;

    // Byte offsets of the current tag from the text's start: its "<" and just past its ">".
    size_t TagBegin() const { return Dropped + Begin; }
    size_t TagEnd() const { return Dropped + End; }

private:
    TToken NextInBytes();
    void Refill();
    void KeepOpenNames();
    size_t LineLength(std::string_view line, size_t offset) const;
    TToken Markup();
    TToken StartTag();
    TToken EndTag();
    TToken TextRun();
    TToken Fail(const QString& reason);
    TToken Fail(const QString& reason, size_t at);
    QString Unicode(std::string_view bytes) const;
    bool SkipPast(std::string_view terminator);
    bool SkipDoctype();
    bool SkipName();
    void SkipBlanks();
    bool At(std::string_view text) const { return Bytes.substr(Pos).starts_with(text); }
    void AppendDecoded(std::string& out, std::string_view raw, bool attribute) const;
    // Calls `visit`(name, raw value) for each attribute of the current start tag until it
    // answers true.
    template <class TVisit> void FindAttribute(TVisit visit) const;

    std::string_view Bytes;
    const TCodePage* Encoding_;
    size_t Pos = 0;
    std::vector<std::string_view> Open; // names of the open elements, outermost first
    bool SawElement = false;
    bool EmptyElementEnds = false; // the current start tag was "<name/>"
    bool Closing = false; // the current token ends an element, which goes at the next token
    size_t Begin = 0;
    size_t End = 0;
    // Names and raw values of the current start tag's attributes, found as it was checked.
    std::vector<std::pair<std::string_view, std::string_view>> Attributes;
    std::string_view Raw; // of the current text
    bool RawIsCData = false;
    QString FaultReason;
    size_t FaultAt = 0;
    // Read a piece at a time: the bytes held from offset `Dropped` on, and copies of the open
    // elements' names that lay in the bytes dropped, with the lines dropped and the characters
    // of the last one, for `Fault`.
    bool Streaming = false;
    TSource More;
    std::string Buffer, First;
    size_t Dropped = 0;
    std::deque<std::string> KeptNames;
    size_t DroppedLines = 0, DroppedColumns = 0;
};

// The text of an element, gathered from its runs of text and CDATA. While that is one run
// that needs no decoding, and the scanner holds the whole input, the text is where it lies in
// the input: no copy is made, and entries can borrow it from there (`TextArena::TBorrowing`).
class TXmlText {
public:
    void Clear();
    // Adds the scanner's current text.
    void Append(const TXmlScanner& scanner);
    std::string_view View() const { return InDecoded ? std::string_view(Decoded) : Plain; }

private:
    std::string_view Plain; // until a run needs decoding
    std::string Decoded;
    bool InDecoded = false;
};
