#include "platform/uXmlScanner.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/uCodePage.h"
#include "platform/uXml.h"
#include "testing.h"

namespace {

using TToken = TXmlScanner::TToken;

const TCodePage& Windows1252() { return *XmlCodePage("windows-1252"); }

// Elements with their attribute "a" and their texts, as the scanner reads them; with
// `where`, each tag's offsets, and the fault of malformed text.
std::string Log(TXmlScanner& scanner, bool where = false)
{
    std::string log;
    for (TToken token; (token = scanner.Next()) != TToken::End;) {
        std::string value;
        switch (token) {
        case TToken::StartTag:
            log += '<' + std::string(scanner.Name());
            if (scanner.Attribute("a", value))
                log += " a=" + value;
            log += '>';
            break;
        case TToken::EndTag:
            log += "</" + std::string(scanner.Name()) + '>';
            break;
        case TToken::Text:
            scanner.AppendText(log);
            log += '|';
            break;
        default:
            return where ? log + " malformed: " + scanner.Fault().toStdString() : "malformed";
        }
        if (where && token != TToken::Text)
            log +=
                '@' + std::to_string(scanner.TagBegin()) + '-' + std::to_string(scanner.TagEnd());
    }
    return log;
}

std::string ScannedLog(std::string_view bytes, const TCodePage& encoding)
{
    TXmlScanner scanner(bytes, encoding);
    return Log(scanner);
}

// The same from the document service's nodes, whose text is Unicode.
void AppendNodeLog(std::string& log, TXmlNode node)
{
    if (node.Name().isEmpty()) { // text, or a comment without any
        if (!node.Text().isEmpty())
            log += node.Text().toStdString() + '|';
        return;
    }
    log += '<' + node.Name().toStdString();
    if (auto value = node.Attribute("a"))
        log += " a=" + value->toStdString();
    log += '>';
    for (TXmlNode child : node.Children())
        AppendNodeLog(log, child);
    log += "</" + node.Name().toStdString() + '>';
}

void ExpectReadAsByTheDocumentService(const std::string& document)
{
    for (const TCodePage& encoding : { *XmlCodePage("windows-1252"), Utf8CodePage() }) {
        TXmlDocument doc;
        EXPECT_TRUE(doc.Parse(XmlBytesToUnicode(document, encoding)));
        std::string log;
        AppendNodeLog(log, doc.DocumentElement());
        EXPECT_EQ(ScannedLog(document, encoding), log) << document;
    }
}

} // namespace

const char* const WellFormedTexts[] = {
    "<r a='x'>plain<e/>more</r>",
    "<r>\n  <e a=\"1 &amp; 2\">  padded  </e>\n</r>",
    "<r>&lt;&gt;&amp;&apos;&quot; &#233;&#xE9;&#8364; &#x263A; &unknown; & alone &#12</r>",
    "<r a=\"tab\there\r\nline\rend\">one\r\ntwo\rthree</r>",
    "<r><![CDATA[<raw> &amp; \r\n]]><!-- not text -->after</r>",
    "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY e \"x\"> <!-- ] > -->]>\n<r>&e;</r>",
    "lead <r a='\"q\"'><e>a<f>b</f>c</e></r> trail",
    "\xEF\xBB\xBF<r>bom</r>",
    "<r>zero &#0; ends the text</r>",
    "<r>caf\xc3\xa9 \xe9</r>",
};

TEST(XmlScanner, ReadsTheSameTextAsTheDocumentService)
{
    for (const char* document : WellFormedTexts)
        ExpectReadAsByTheDocumentService(document);
}

// Texts are passed over several bytes at a time; a byte that needs decoding must be found at
// any offset, in text and in attribute values.
TEST(XmlScanner, FindsBytesToDecodeAtEveryOffset)
{
    for (const std::string special : { "&amp;", "\r\n", "\r", "\n", "\t", "\xc3\xa9", "\xe9" })
        for (size_t at = 0; at < 20; ++at)
            for (size_t after : { 0, 3, 20 }) {
                const std::string text = std::string(at, 'x') + special + std::string(after, 'y');
                ExpectReadAsByTheDocumentService("<r a=\"" + text + "\">" + text + "</r>");
            }
}

// An element's text is the input itself while nothing in it needs decoding, which lets
// entries borrow it; anything else is the decoded text, whole, and stays so when moved.
TEST(XmlText, KeepsPlainTextWhereItLiesAndDecodesTheRest)
{
    struct TCase {
        std::string Element;
        std::string Text;
        bool InInput;
    };
    const std::vector<TCase> cases { { "<e>plain text, long enough for words</e>",
                                         "plain text, long enough for words", true },
        { "<e><![CDATA[a & b]]></e>", "a & b", true }, { "<e>a &amp; b</e>", "a & b", false },
        { "<e>two\r\nlines</e>", "two\nlines", false },
        { "<e>caf\xc3\xa9</e>", "caf\xc3\xa9", true },
        { "<e>one <![CDATA[<two>]]> three</e>", "one <two> three", false } };
    for (const TCase& test : cases) {
        const std::string document =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>" + test.Element + "</r>";
        TXmlScanner scanner(document);
        TXmlText text;
        for (TToken token; (token = scanner.Next()) != TToken::End;)
            if (token == TToken::Text)
                text.Append(scanner);
        const TXmlText moved = std::move(text);
        EXPECT_EQ(moved.View(), test.Text) << test.Element;
        const std::string_view input = document;
        EXPECT_EQ(moved.View().data() >= input.data()
                && moved.View().data() < input.data() + input.size(),
            test.InInput)
            << test.Element;
    }
}

const char* const MalformedTexts[] = { "", "   ", "text only", "<!-- no element -->", "<r>",
    "<r><e></r>", "</r>", "<r></e>", "<r>x</ r>", "<1r/>", "<r a=1/>", "<r a/>", "<r a='x'b='y'/>",
    "<r a='x/>", "<r", "<r/", "<r/ >", "<r><!-- open</r>", "<r><![CDATA[x</r>", "<r><? x?></r>",
    "<r><!ELEMENT></r>", "<r><!DOCTYPE r></r>", "<r>< e/></r>" };

TEST(XmlScanner, FindsMalformedText)
{
    for (const char* bad : MalformedTexts)
        EXPECT_EQ(ScannedLog(bad, Windows1252()), "malformed") << bad;
    for (const char* good : { "<r/>", "<r a = 'x' />", "<r></r >", "<r/><second/>", "<r>]]></r>" })
        EXPECT_NE(ScannedLog(good, Windows1252()), "malformed") << good;
}

// A text read a piece at a time, as from an archive, reads the same wherever the pieces end:
// tokens, texts, offsets and where a fault is.
TEST(XmlScanner, ReadsTheSameInPieces)
{
    std::vector<std::string> texts(std::begin(WellFormedTexts), std::end(WellFormedTexts));
    texts.insert(texts.end(), std::begin(MalformedTexts), std::end(MalformedTexts));
    for (const char* lines : { "<?xml version='1.0' encoding='ISO-8859-1'?>\n<r>\n"
                               " <e a='caf\xe9'>t\xe9xt</e>\n <f>\n</e></r>",
             "\xEF\xBB\xBF<r><e/>\xc3\xa9\xc3\xa9 <!-- x -->\n<f><![CDATA[a]]></g>" })
        texts.push_back(lines);
    for (const std::string& text : texts)
        for (size_t piece : { 1, 2, 3, 7 }) {
            SCOPED_TRACE(text + " in pieces of " + std::to_string(piece));
            // The first piece holds the declaration, as the first piece of a large text does.
            size_t at = std::min(text.find('>') + 1, text.size());
            TXmlScanner pieces(text.substr(0, at), [&](char* buffer, size_t count) {
                const size_t length = std::min({ count, piece, text.size() - at });
                at += text.copy(buffer, length, at);
                return length;
            });
            EXPECT_TRUE(pieces.Streams());
            TXmlScanner whole(text);
            EXPECT_EQ(Log(pieces, true), Log(whole, true));
        }
}
