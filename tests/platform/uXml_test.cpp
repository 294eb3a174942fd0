#include "platform/uXml.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/uCodePage.h"
#include "testing.h"

namespace {

TXmlDocument Parsed(const char* text)
{
    TXmlDocument doc;
    EXPECT_TRUE(doc.Parse(QString::fromUtf8(text))) << text;
    return doc;
}

const char* const Gpx = R"(<?xml version="1.0"?>
<gpx xmlns="http://www.topografix.com/GPX/1/1" version="1.1">
 <wpt lat="1" lon="2"><name>A</name></wpt>
 <wpt lat="3" lon="4"><name>B's</name><desc>x</desc></wpt>
 <trk><trkseg><trkpt lat="5" lon="6"><ele>7</ele></trkpt></trkseg></trk>
</gpx>)";

} // namespace

TEST(Xml, SelectsByPathDespiteDefaultNamespace)
{
    TXmlDocument doc = Parsed(Gpx);
    EXPECT_EQ(doc.Root().SelectNodes(QStringLiteral("gpx/wpt")).size(), 2u);
    EXPECT_EQ(doc.Root().SelectNodes(QStringLiteral("gpx/trk/trkseg/trkpt")).size(), 1u);
    EXPECT_EQ(doc.Root().SelectNodes(QStringLiteral("//*/name")).size(), 2u);
    TXmlNode b = doc.Root().SelectNode(QStringLiteral("//wpt[name=\"B's\"]"));
    EXPECT_EQ(b.Attribute(QStringLiteral("lat")), "3");
    EXPECT_EQ(b.SelectNode(QStringLiteral("desc")).Text(), "x");
    TXmlNode lon = doc.DocumentElement().SelectNode(QStringLiteral("trk//trkpt/@lon"));
    EXPECT_EQ(lon.Name(), "lon");
    EXPECT_EQ(lon.Text(), "6");
    EXPECT_FALSE(doc.Root().SelectNode(QStringLiteral("gpx/rte")));
    EXPECT_THROW(doc.Root().SelectNodes(QStringLiteral("gpx[")), EAssertionFailed);
}

TEST(Xml, LoadXmlFileReportsMissingFileAndBadXml)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.xml"));
    EXPECT_EQ(ErrorOf([&] { LoadXmlFile(path); }), "File " + path + " not found");
    const auto load = [&](const char* text) {
        WriteFileBytes(path, text);
        return ErrorOf([&] { LoadXmlFile(path); });
    };
    EXPECT_EQ(load("<a>"), "Invalid xml");
    EXPECT_EQ(
        load("<?xml version=\"1.0\"?><!-- none -->"), "Invalid xml, no document element found");
    EXPECT_EQ(load("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xe9</a>"), "no error");
}

TEST(Xml, TextWrittenPieceByPieceEqualsTheSavedDocument)
{
    std::string bytes; // every character of Windows-1252 and beyond; control characters XML
    for (int byte = 1; byte < 256; ++byte) // forbids are left out
        bytes.push_back(static_cast<char>(byte));
    std::string scratch;
    std::string all(DecodeText(bytes, scratch, *XmlCodePage("windows-1252")));
    // Thousands of three-byte characters, so the writer's blocks end inside some of them.
    std::string euros;
    for (int i = 0; i < 5000; ++i)
        all += "€", euros += "&#8364;";
    all += std::string("é𝄞 Москва\0after", 25);

    TXmlDocument doc = CreateXmlDocument();
    doc.Root().AppendProcessingInstruction("xml", R"(version="1.0" encoding="ISO-8859-1")");
    TXmlNode element = doc.Root().AppendElement("e");
    element.SetAttribute("a", Utf8ToUnicode(all));
    element.SetText(Utf8ToUnicode(all));
    TMemoryStream saved;
    doc.Save(saved);

    std::string pieces = R"(<?xml version="1.0" encoding="ISO-8859-1"?><e a=")";
    AppendLatin1XmlAttribute(pieces, all);
    pieces += "\">";
    AppendLatin1XmlText(pieces, all);
    pieces += "</e>";
    EXPECT_EQ(pieces, saved.Bytes());
    EXPECT_EQ(element.Latin1Xml(), pieces.substr(pieces.find("<e")));
    EXPECT_NE(pieces.find("\xff" + euros
                  + "\xe9&#119070; &#1052;&#1086;&#1089;&#1082;&#1074;&#1072;after</e>"),
        std::string::npos)
        << "characters beyond Latin-1 as references, the text going on past a zero";
    for (char byte = 0; byte < 0x20; ++byte) {
        if (byte == '\t' || byte == '\n' || byte == '\r')
            continue;
        const std::string reference = "&#" + std::to_string(byte / 10) + std::to_string(byte % 10);
        EXPECT_EQ(pieces.find(byte), std::string::npos) << int(byte);
        EXPECT_EQ(pieces.find(reference + ';'), std::string::npos) << int(byte);
    }

    TXmlDocument utf8 = Parsed("<a>é</a>");
    TMemoryStream utf8Stream;
    utf8.Save(utf8Stream);
    EXPECT_EQ(utf8Stream.Bytes(), "<a>\xc3\xa9</a>") << "no declaration: UTF-8";
}

TEST(Xml, NestingIsWalkedWithoutRecursionUpToTheLimitAndRefusedBeyond)
{
    const std::string deepest = Nested(MaxXmlDepth, "x<!--c-->y");
    TXmlDocument doc;
    ASSERT_TRUE(doc.ParseBytes(deepest));
    TXmlNode top = doc.DocumentElement();
    EXPECT_EQ(top.Text(), "xy");
    EXPECT_EQ(top.Xml().toStdString(), deepest);
    EXPECT_EQ(top.SelectNodes(QStringLiteral("//d")).size(), size_t(MaxXmlDepth));
    doc.Root().RemoveChild(top);
    EXPECT_FALSE(doc.DocumentElement());

    for (const std::string& tooDeep : { Nested(MaxXmlDepth + 1, ""), Nested(200000, "x") }) {
        EXPECT_EQ(ErrorOf<EUserError>([&] { doc.ParseBytes(tooDeep); }),
            "Invalid xml: nesting deeper than 10000 levels");
        EXPECT_FALSE(doc.DocumentElement()) << "nothing of a refused text is kept";
        EXPECT_EQ(ErrorOf<EUserError>([&] { doc.Parse(QString::fromStdString(tooDeep)); }),
            "Invalid xml: nesting deeper than 10000 levels");
    }
}
