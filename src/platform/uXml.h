#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

class TStream;

// How deep elements may nest, the document element being at depth 1. Nothing real comes
// close; deeper text is refused before anything walks it.
inline constexpr int MaxXmlDepth = 10000;
// Fails with "Invalid xml: nesting deeper than 10000 levels", a user error.
[[noreturn]] void ThrowXmlTooDeep();

struct TCodePage;

// The encoding `bytes` declare: a UTF-8 byte order mark wins, then the leading declaration's
// `encoding` (UTF-8 when none is named). Fails with a user error naming an encoding it does
// not know. The one decision every XML reader of the program makes.
const TCodePage& XmlEncodingOf(std::string_view bytes);
// XML text in UTF-16, either byte order, found by its byte order mark or by its leading "<?",
// as UTF-8 with a byte order mark, kept in `storage`; any other text as it is. So a reader of
// UTF-8 and 8-bit text reads what the document service reads.
std::string_view XmlBytesAsUtf8(std::string_view bytes, std::string& storage);
// `bytes` decoded as `encoding`; bytes that are no UTF-8 in UTF-8 text read as U+FFFD.
QString XmlBytesToUnicode(std::string_view bytes, const TCodePage& encoding);

// The XML library's own types, named here only as opaque handles: nothing but uXml.cpp sees
// the library itself.
namespace pugi {
struct xml_node_struct;
struct xml_attribute_struct;
class xml_node;
class xml_document;
class xpath_node;
struct xml_parse_result;
}

// A handle on a node of a `TXmlDocument`: cheap to copy, owns nothing, valid while its document
// lives and the node stays in it. A path that ends in an attribute step yields handles on
// attributes, which have a name and a text and nothing else. An empty handle, like any question
// an attribute cannot answer, gives an empty result.
class TXmlNode {
public:
    TXmlNode() = default;

    explicit operator bool() const { return Node || Attr; }
    bool operator==(const TXmlNode&) const = default;

    QString Name() const;
    // All the text below the node, concatenated in document order.
    QString Text() const;
    // Replaces the node's children by one text node (none for an empty text).
    void SetText(const QString& text);
    // The node serialised, without declaration or indentation.
    QString Xml() const;
    // The same in ISO-8859-1, as `TXmlDocument::Save` writes the node in such a document.
    std::string Latin1Xml() const;
    // Removes the elements and attributes below the node, the node's own attributes
    // included, whose name has the prefix `prefix`.
    void RemovePrefixed(const QString& prefix);

    // Attribute names are taken as written, prefix included ("xsi:schemaLocation").
    std::optional<QString> Attribute(const QString& name) const;
    void SetAttribute(const QString& name, const QString& value);

    // The prefixes of the element and attribute names of the node and its descendants, each
    // once, in document order; "xml" and "xmlns" are none.
    std::vector<QString> UsedPrefixes() const;

    int ChildCount() const;
    std::vector<TXmlNode> Children() const;

    // An XPath 1.0 location path relative to this node, such as "gpx/wpt", "//*/Placemark" or
    // "pois/poi[description='x']". Namespaces are ignored, so element names match as written
    // whatever default namespace the file declares. A malformed path is a program fault.
    std::vector<TXmlNode> SelectNodes(const QString& path) const;
    // The first node `SelectNodes` would yield; an empty handle when there is none.
    TXmlNode SelectNode(const QString& path) const;

    // The library keeps no detached nodes, so new nodes are made as this node's last child.
    TXmlNode AppendElement(const QString& name);
    TXmlNode AppendProcessingInstruction(const QString& target, const QString& data);
    // Moves `child`, a node of the same document, to the end of this node's children.
    TXmlNode AppendChild(TXmlNode child);
    // `child` is destroyed; handles on it and its descendants become invalid.
    void RemoveChild(TXmlNode child);

private:
    friend class TXmlDocument;

    TXmlNode(pugi::xml_node_struct* node, pugi::xml_attribute_struct* attr);
    static TXmlNode Of(const pugi::xml_node& node);
    static TXmlNode Of(const pugi::xpath_node& found);
    pugi::xml_node Element() const;

    pugi::xml_node_struct* Node = nullptr;
    pugi::xml_attribute_struct* Attr = nullptr;
};

// An XML document in memory; it owns all its nodes.
class TXmlDocument {
public:
    TXmlDocument();
    ~TXmlDocument();
    TXmlDocument(TXmlDocument&&) noexcept;
    TXmlDocument& operator=(TXmlDocument&&) noexcept;

    // Replace the content by the parsed text. False, leaving the document empty, when the text
    // is not well-formed; a text without any element parses, leaving the document without a
    // document element. Elements nested deeper than `MaxXmlDepth` leave the document empty
    // and fail with `ThrowXmlTooDeep`.
    bool Parse(const QString& text);
    // As `Parse`, for bytes in the encoding `XmlEncodingOf` finds (or UTF-16 when a byte
    // order mark says so). Bytes that are no UTF-8 in UTF-8 text read as U+FFFD, counted
    // (`InvalidSequences`).
    bool ParseBytes(std::string_view bytes);

    // The document node itself: the parent of the declaration and of the document element.
    TXmlNode Root() const;
    // Empty when the document has none.
    TXmlNode DocumentElement() const;

    // Writes the document without indentation or byte order mark, in the single-byte
    // encoding its leading `xml` declaration or processing instruction names (characters
    // beyond it as character references; ISO-8859-1 for windows-1252), else in UTF-8.
    void Save(TStream& stream) const;

private:
    bool Loaded(const pugi::xml_parse_result& result);

    std::unique_ptr<pugi::xml_document> Doc;
};

// An empty document.
TXmlDocument CreateXmlDocument();
// The local file `path` parsed by `ParseBytes`; a missing file, malformed XML and a missing
// document element each fail with their own message.
TXmlDocument LoadXmlFile(const QString& path);

// For documents too large to hold as nodes, which are written piece by piece: UTF-8 text
// escaped as element text or as an attribute value, in ISO-8859-1, byte for byte as
// `TXmlDocument::Save` writes the same text. The text ends at a zero byte, as it does in a
// node.
void AppendLatin1XmlText(std::string& out, std::string_view text);
void AppendLatin1XmlAttribute(std::string& out, std::string_view text);
