#include "platform/uXml.h"

#include <algorithm>
#include <array>
#include <string>

#include <QFileInfo>

#include <pugixml.hpp>

#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

// Declarations, processing instructions and comments are kept, so that a node's XML text and
// a saved document carry everything the file had.
constexpr unsigned ParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_pi | pugi::parse_comments;

// The library works in UTF-8; `QString::toStdString` gives UTF-8 as well.
std::string Utf8(const QString& text) { return text.toStdString(); }

bool IsAllowedControl(unsigned char byte) { return byte == '\t' || byte == '\n' || byte == '\r'; }

// Text as the library may hold it: without the characters XML 1.0 does not allow.
std::string XmlAllowedUtf8(const QString& text)
{
    std::string value = Utf8(text);
    std::erase_if(value, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && !IsAllowedControl(byte);
    });
    return value;
}

class TStringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override
    {
        Text.append(static_cast<const char*>(data), size);
    }

    std::string Text;
};

// Lets the library serialise straight into a stream, however large the document.
class TStreamWriter : public pugi::xml_writer {
public:
    explicit TStreamWriter(TStream& stream)
        : Stream(stream)
    {
    }

    void write(const void* data, size_t size) override
    {
        Stream.Write(data, static_cast<int64_t>(size));
    }

private:
    TStream& Stream;
};

// The value of `encoding="..."` in the text of a declaration; empty when it names none.
std::string_view EncodingIn(std::string_view declaration)
{
    const size_t key = declaration.find("encoding");
    const size_t open = declaration.find_first_of("\"'", key);
    if (key == std::string_view::npos || open == std::string_view::npos)
        return {};
    const size_t close = declaration.find(declaration[open], open + 1);
    if (close == std::string_view::npos)
        return {};
    return declaration.substr(open + 1, close - open - 1);
}

// The single-byte code page a written document's declaration names; null for UTF-8 and for
// an encoding the program does not know, which are written as UTF-8.
const TCodePage* EightBitEncoding(std::string_view encoding)
{
    const TCodePage* page = encoding.empty() ? nullptr : XmlCodePage(encoding);
    return page && !page->Utf8 ? page : nullptr;
}

// Whether the declared encoding is written as ISO-8859-1: what the writers of GPX and KML
// declare, and Windows-1252, written the same way.
bool IsLatin1(std::string_view encoding)
{
    const TCodePage* page = EightBitEncoding(encoding);
    return page && page->Name == QLatin1String(DefaultCodePage);
}

// The declaration that opens `bytes`, up to its closing "?>"; empty when there is none.
std::string_view LeadingDeclaration(std::string_view bytes)
{
    if (!bytes.starts_with("<?xml"))
        return {};
    const size_t end = bytes.find("?>");
    return end == std::string_view::npos ? std::string_view() : bytes.substr(0, end);
}

// The encoding named by the document's leading declaration, whether it was parsed (a
// declaration node) or built by the program (an `xml` processing instruction).
std::string_view DeclaredEncoding(const pugi::xml_document& doc)
{
    const pugi::xml_node first = doc.first_child();
    if (first.type() == pugi::node_declaration)
        return first.attribute("encoding").value();
    if (first.type() == pugi::node_pi && std::string_view(first.name()) == "xml")
        return EncodingIn(first.value());
    return {};
}

bool IsText(const pugi::xml_node& node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// Calls `visit`(node, depth) for every node below `root` in document order, its children at
// depth 1; `visit` returns false to stop. A loop, not a recursion, as input decides the depth.
template <class TVisit> void ForEachDescendant(const pugi::xml_node& root, TVisit visit)
{
    int depth = 1;
    for (pugi::xml_node node = root.first_child(); node;) {
        if (!visit(node, depth))
            return;
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (!node.next_sibling()) {
            node = node.parent();
            if (--depth == 0)
                return;
        }
        node = node.next_sibling();
    }
}

void AppendText(const pugi::xml_node& node, std::string& text)
{
    if (IsText(node))
        text += node.value();
    ForEachDescendant(node, [&](const pugi::xml_node& descendant, int) {
        if (IsText(descendant))
            text += descendant.value();
        return true;
    });
}

bool DeeperThan(const pugi::xml_node& root, int limit)
{
    bool deeper = false;
    ForEachDescendant(root, [&](const pugi::xml_node& node, int depth) {
        deeper = depth > limit && node.type() == pugi::node_element;
        return !deeper;
    });
    return deeper;
}

// A missing document element is left to the caller to judge, as a document may lack one.
bool Succeeded(const pugi::xml_parse_result& result)
{
    return result || result.status == pugi::status_no_document_element;
}

pugi::xpath_query Query(const QString& path)
{
    try {
        return pugi::xpath_query(Utf8(path).c_str());
    } catch (const pugi::xpath_exception& e) {
        throw EAssertionFailed(Tr(Msg::InvalidXmlPath).arg(path, QString::fromUtf8(e.what())));
    }
}

} // namespace

void ThrowXmlTooDeep() { throw EUserError(Tr(Msg::XmlTooDeep).arg(MaxXmlDepth)); }

TXmlNode::TXmlNode(pugi::xml_node_struct* node, pugi::xml_attribute_struct* attr)
    : Node(node)
    , Attr(attr)
{
}

TXmlNode TXmlNode::Of(const pugi::xml_node& node) { return { node.internal_object(), nullptr }; }

TXmlNode TXmlNode::Of(const pugi::xpath_node& found)
{
    return { found.node().internal_object(), found.attribute().internal_object() };
}

pugi::xml_node TXmlNode::Element() const { return pugi::xml_node(Node); }

QString TXmlNode::Name() const
{
    return QString::fromUtf8(Attr ? pugi::xml_attribute(Attr).name() : Element().name());
}

QString TXmlNode::Text() const
{
    if (Attr)
        return QString::fromUtf8(pugi::xml_attribute(Attr).value());
    std::string text;
    AppendText(Element(), text);
    return QString::fromUtf8(text);
}

void TXmlNode::SetText(const QString& text)
{
    const std::string value = XmlAllowedUtf8(text);
    if (Attr) {
        pugi::xml_attribute(Attr).set_value(value.c_str());
        return;
    }
    pugi::xml_node node = Element();
    if (IsText(node)) {
        node.set_value(value.c_str());
        return;
    }
    node.remove_children();
    if (!value.empty())
        node.append_child(pugi::node_pcdata).set_value(value.c_str());
}

QString TXmlNode::Xml() const
{
    TStringWriter writer;
    Element().print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return QString::fromUtf8(writer.Text);
}

std::optional<QString> TXmlNode::Attribute(const QString& name) const
{
    const pugi::xml_attribute attribute = Element().attribute(Utf8(name).c_str());
    if (!attribute)
        return std::nullopt;
    return QString::fromUtf8(attribute.value());
}

void TXmlNode::SetAttribute(const QString& name, const QString& value)
{
    const std::string key = Utf8(name);
    pugi::xml_node node = Element();
    pugi::xml_attribute attribute = node.attribute(key.c_str());
    if (!attribute)
        attribute = node.append_attribute(key.c_str());
    attribute.set_value(XmlAllowedUtf8(value).c_str());
}

std::vector<QString> TXmlNode::UsedPrefixes() const
{
    std::vector<QString> prefixes;
    const auto note = [&](std::string_view name) {
        const size_t colon = name.find(':');
        if (colon == std::string_view::npos)
            return;
        const QString prefix = QString::fromUtf8(name.data(), static_cast<qsizetype>(colon));
        if (prefix != QLatin1String("xml") && prefix != QLatin1String("xmlns")
            && std::find(prefixes.begin(), prefixes.end(), prefix) == prefixes.end())
            prefixes.push_back(prefix);
    };
    const auto noteNames = [&](const pugi::xml_node& node) {
        if (node.type() != pugi::node_element)
            return;
        note(node.name());
        for (const pugi::xml_attribute& attribute : node.attributes())
            note(attribute.name());
    };
    noteNames(Element());
    ForEachDescendant(Element(), [&](const pugi::xml_node& node, int) {
        noteNames(node);
        return true;
    });
    return prefixes;
}

void TXmlNode::RemovePrefixed(const QString& prefix)
{
    const std::string start = Utf8(prefix) + ':';
    const auto prefixed = [&](const char* name) {
        return std::string_view(name).starts_with(start);
    };
    const auto removeAttributes = [&](pugi::xml_node node) {
        for (pugi::xml_attribute attribute = node.first_attribute(); attribute;) {
            const pugi::xml_attribute next = attribute.next_attribute();
            if (prefixed(attribute.name()))
                node.remove_attribute(attribute);
            attribute = next;
        }
    };
    removeAttributes(Element());
    std::vector<pugi::xml_node> elements;
    ForEachDescendant(Element(), [&](const pugi::xml_node& node, int) {
        if (node.type() == pugi::node_element) {
            removeAttributes(node);
            if (prefixed(node.name()))
                elements.push_back(node);
        }
        return true;
    });
    // Later elements first, so that no element goes before one inside it.
    for (auto element = elements.rbegin(); element != elements.rend(); ++element)
        element->parent().remove_child(*element);
}

int TXmlNode::ChildCount() const
{
    const auto children = Element().children();
    return static_cast<int>(std::distance(children.begin(), children.end()));
}

std::vector<TXmlNode> TXmlNode::Children() const
{
    std::vector<TXmlNode> children;
    for (const pugi::xml_node& child : Element().children())
        children.push_back(Of(child));
    return children;
}

std::vector<TXmlNode> TXmlNode::SelectNodes(const QString& path) const
{
    const pugi::xpath_node_set found = Query(path).evaluate_node_set(Element());
    std::vector<TXmlNode> nodes;
    nodes.reserve(found.size());
    for (const pugi::xpath_node& node : found)
        nodes.push_back(Of(node));
    return nodes;
}

TXmlNode TXmlNode::SelectNode(const QString& path) const
{
    return Of(Query(path).evaluate_node(Element()));
}

TXmlNode TXmlNode::AppendElement(const QString& name)
{
    return Of(Element().append_child(Utf8(name).c_str()));
}

TXmlNode TXmlNode::AppendProcessingInstruction(const QString& target, const QString& data)
{
    pugi::xml_node instruction = Element().append_child(pugi::node_pi);
    instruction.set_name(Utf8(target).c_str());
    instruction.set_value(Utf8(data).c_str());
    return Of(instruction);
}

TXmlNode TXmlNode::AppendChild(TXmlNode child)
{
    return Of(Element().append_move(child.Element()));
}

void TXmlNode::RemoveChild(TXmlNode child) { Element().remove_child(child.Element()); }

TXmlDocument::TXmlDocument()
    : Doc(std::make_unique<pugi::xml_document>())
{
}

TXmlDocument::~TXmlDocument() = default;
TXmlDocument::TXmlDocument(TXmlDocument&&) noexcept = default;
TXmlDocument& TXmlDocument::operator=(TXmlDocument&&) noexcept = default;

bool TXmlDocument::Parse(const QString& text)
{
    return Loaded(Doc->load_buffer(
        text.utf16(), static_cast<size_t>(text.size()) * 2, ParseOptions, pugi::encoding_utf16));
}

const TCodePage& XmlEncodingOf(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return Utf8CodePage();
    const std::string_view name = EncodingIn(LeadingDeclaration(bytes));
    if (name.empty())
        return Utf8CodePage();
    if (const TCodePage* page = XmlCodePage(name))
        return *page;
    throw EUserError(Tr(Msg::XmlUnknownEncoding)
                         .arg(EscapeControls(QString::fromLatin1(name.data(),
                             static_cast<qsizetype>(std::min<size_t>(name.size(), 40))))));
}

std::string_view XmlBytesAsUtf8(std::string_view bytes, std::string& storage)
{
    const bool littleEndian = bytes.starts_with("\xFF\xFE") || bytes.starts_with({ "<\0?\0", 4 });
    const bool bigEndian = bytes.starts_with("\xFE\xFF") || bytes.starts_with({ "\0<\0?", 4 });
    if (!littleEndian && !bigEndian)
        return bytes;
    QString text(static_cast<qsizetype>(bytes.size() / 2), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto first = static_cast<uint8_t>(bytes[2 * static_cast<size_t>(i)]);
        const auto second = static_cast<uint8_t>(bytes[2 * static_cast<size_t>(i) + 1]);
        text[i] =
            QChar(static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second));
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    storage = "\xEF\xBB\xBF" + text.toStdString();
    return storage;
}

QString XmlBytesToUnicode(std::string_view bytes, const TCodePage& encoding)
{
    std::string scratch;
    return Utf8ToUnicode(DecodeText(bytes, scratch, encoding));
}

bool TXmlDocument::ParseBytes(std::string_view raw)
{
    std::string utf8;
    const std::string_view bytes = XmlBytesAsUtf8(raw, utf8);
    const TCodePage& encoding = XmlEncodingOf(bytes);
    if (!encoding.Utf8)
        return Parse(XmlBytesToUnicode(bytes, encoding));
    std::string repaired;
    const std::string_view valid = ValidUtf8(bytes, repaired);
    return Loaded(Doc->load_buffer(valid.data(), valid.size(), ParseOptions));
}

// The library keeps what it read before a fault; a text that fails leaves nothing. The
// library frees a subtree recursively, so a document deeper than the limit is not kept.
bool TXmlDocument::Loaded(const pugi::xml_parse_result& result)
{
    if (Succeeded(result) && !DeeperThan(*Doc, MaxXmlDepth))
        return true;
    const bool tooDeep = Succeeded(result);
    Doc->reset();
    if (tooDeep)
        ThrowXmlTooDeep();
    return false;
}

TXmlNode TXmlDocument::Root() const { return TXmlNode::Of(*Doc); }

TXmlNode TXmlDocument::DocumentElement() const { return TXmlNode::Of(Doc->document_element()); }

namespace {

void AppendCharacterReference(std::string& out, char32_t code)
{
    out += "&#" + std::to_string(static_cast<uint32_t>(code)) + ';';
}

// `code` in the single-byte `page`, or ISO-8859-1 when it is null; a character beyond it as a
// character reference.
void AppendEightBitChar(std::string& out, char32_t code, const TCodePage* page)
{
    if (!page) {
        if (code < 0x100)
            out.push_back(static_cast<char>(code));
        else
            AppendCharacterReference(out, code);
        return;
    }
    if (const std::optional<char> byte = page->ByteOf(code))
        out.push_back(*byte);
    else
        AppendCharacterReference(out, code);
}

// Writes the library's UTF-8 output in a single-byte encoding (ISO-8859-1 unless a code page
// is given), into `Out` or, when given, on into a stream. A character beyond it becomes a
// character reference, so every character survives a save.
class TEightBitWriter : public pugi::xml_writer {
public:
    explicit TEightBitWriter(TStream* stream = nullptr, const TCodePage* page = nullptr)
        : Stream(stream)
        , Page(page)
    {
    }

    void write(const void* data, size_t size) override
    {
        Pending.append(static_cast<const char*>(data), size);
        std::string_view rest(Pending);
        // The library writes valid UTF-8, so only a character cut at the end fails to decode.
        for (TUtf8Char next; (next = Utf8CharAt(rest)).Length; rest.remove_prefix(next.Length))
            AppendEightBitChar(Out, next.Code, Page);
        Pending.erase(0, Pending.size() - rest.size());
        if (Stream) {
            Stream->Write(Out);
            Out.clear();
        }
    }

    std::string Out;

private:
    TStream* Stream;
    const TCodePage* Page;
    std::string Pending; // an incomplete character at the end of the last block
};

// How each ASCII byte of text is written: as itself (no escape), as an escape, or not at all.
// Control characters that XML 1.0 does not allow are left out, as no reader accepts them.
struct TEscapes {
    std::array<std::string, 0x80> Escape;
    std::array<bool, 0x80> Dropped {};
    std::array<bool, 0x100> Plain {}; // neither escaped, dropped nor beyond ASCII
};

TEscapes Escapes(bool attribute)
{
    TEscapes escapes;
    for (int byte = 0; byte < 0x20; ++byte)
        if (!IsAllowedControl(byte))
            escapes.Dropped[byte] = true;
        else if (attribute)
            escapes.Escape[byte] =
                "&#" + std::to_string(byte / 10) + std::to_string(byte % 10) + ';';
    escapes.Escape['&'] = "&amp;";
    escapes.Escape['<'] = "&lt;";
    escapes.Escape[attribute ? '"' : '>'] = attribute ? "&quot;" : "&gt;";
    for (int byte = 0; byte < 0x80; ++byte)
        escapes.Plain[byte] = escapes.Escape[byte].empty() && !escapes.Dropped[byte];
    return escapes;
}

// UTF-8 text escaped, in ISO-8859-1 or references; runs of plain ASCII are copied whole.
void AppendEscaped(std::string& out, std::string_view text, bool attribute)
{
    static const TEscapes escapes[2] = { Escapes(false), Escapes(true) };
    const TEscapes& chosen = escapes[attribute];
    size_t plain = 0; // start of the bytes not yet copied
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (chosen.Plain[byte]) {
            ++i;
            continue;
        }
        out.append(text, plain, i - plain);
        if (byte < 0x80) {
            out += chosen.Escape[byte];
            ++i;
        } else {
            const TUtf8Char next = Utf8CharAt(text.substr(i));
            AppendEightBitChar(out, next.Length ? next.Code : U'\uFFFD', nullptr);
            i += next.Length ? next.Length : InvalidSequenceLength(text.substr(i));
        }
        plain = i;
    }
    out.append(text, plain);
}

} // namespace

void AppendLatin1XmlText(std::string& out, std::string_view text)
{
    AppendEscaped(out, text, false);
}

void AppendLatin1XmlAttribute(std::string& out, std::string_view text)
{
    AppendEscaped(out, text, true);
}

std::string TXmlNode::Latin1Xml() const
{
    TEightBitWriter writer;
    Element().print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(writer.Out);
}

void TXmlDocument::Save(TStream& stream) const
{
    constexpr unsigned Format = pugi::format_raw | pugi::format_no_declaration;
    const std::string_view declared = DeclaredEncoding(*Doc);
    if (const TCodePage* page = EightBitEncoding(declared)) {
        TEightBitWriter writer(&stream, IsLatin1(declared) ? nullptr : page);
        Doc->save(writer, "", Format, pugi::encoding_utf8);
    } else {
        TStreamWriter writer(stream);
        Doc->save(writer, "", Format, pugi::encoding_utf8);
    }
}

TXmlDocument CreateXmlDocument() { return TXmlDocument(); }

TXmlDocument LoadXmlFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw Exception(Tr(Msg::FileNotFound).arg(path));
    TMappedFile file(path);
    TXmlDocument doc;
    const bool parsed = doc.ParseBytes(TStreamBytes(file.Stream()).Bytes());
    file.Stream().CheckUnchanged(); // a file cut short reads as zeros, which would not parse
    if (!parsed)
        throw Exception(Tr(Msg::InvalidXml));
    if (!doc.DocumentElement())
        throw Exception(Tr(Msg::InvalidXmlNoRoot));
    return doc;
}
