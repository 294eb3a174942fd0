#include "convert/uConvertGpx.h"

#include <string>

#include "core/uNumbers.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"
#include "platform/uVersion.h"
#include "platform/uXml.h"

namespace {

constexpr char Namespace[] = "http://www.topografix.com/GPX/1/1";
constexpr char Schema[] = "http://www.topografix.com/GPX/1/1/gpx.xsd";
constexpr char SchemaInstance[] = "http://www.w3.org/2001/XMLSchema-instance";
constexpr char Credit[] = "by Orvik Software - https://www.marivel.example";

enum TGpxOption { goUseDesc = 0, goRetainExtra = 1 };

std::string Coordinate(double value)
{
    std::string text;
    AppendGeneral(text, value);
    return text;
}

std::string Creator()
{
    return QStringLiteral("Marivel v%1.%2.%3 %4 %5 %6")
        .arg(ProgramVersion.Major)
        .arg(ProgramVersion.Minor)
        .arg(ProgramVersion.Release)
        .arg(Tr(Msg::Build))
        .arg(ProgramVersion.Build)
        .arg(QLatin1String(Credit))
        .toStdString();
}

// The document element's start tag with its attributes, open for the points.
std::string GpxStartTag()
{
    std::string tag = "<gpx xmlns=\"";
    tag += Namespace;
    tag += "\" xmlns:xsi=\"";
    tag += SchemaInstance;
    tag += "\" xsi:schemaLocation=\"";
    tag += Namespace;
    tag += ' ';
    tag += Schema;
    tag += "\" version=\"1.1\" creator=\"";
    AppendLatin1XmlAttribute(tag, UnicodeToCodePage(QString::fromUtf8(Creator())));
    tag += '"';
    return tag;
}

// A point kept from a file: its own XML, with the current coordinates and description.
void AppendRetainedPoint(std::string& out, const TEntry& entry)
{
    TXmlDocument doc;
    if (!doc.Parse(CodePageToUnicode(entry.Extra())) || !doc.DocumentElement())
        throw EUserError(
            Tr(Msg::InvalidXmlText).arg(CodePageToUnicode(entry.Extra().substr(0, 100))));
    TXmlNode point = doc.DocumentElement();
    point.SetAttribute(QStringLiteral("lat"), QString::fromStdString(Coordinate(entry.Latitude())));
    point.SetAttribute(
        QStringLiteral("lon"), QString::fromStdString(Coordinate(entry.Longitude())));
    TXmlNode name = point.SelectNode(QStringLiteral(".//name"));
    name = name ? point.AppendChild(name) : point.AppendElement(QStringLiteral("name"));
    name.SetText(CodePageToUnicode(entry.Description()));
    out += point.Latin1Xml();
}

// Byte for byte what the document service writes for a new point element.
void AppendNewPoint(std::string& out, const TEntry& entry)
{
    out += "<wpt lat=\"";
    AppendGeneral(out, entry.Latitude());
    out += "\" lon=\"";
    AppendGeneral(out, entry.Longitude());
    if (entry.Description().empty()) {
        out += "\"><name/></wpt>";
        return;
    }
    out += "\"><name>";
    AppendLatin1XmlText(out, entry.Description());
    out += "</name></wpt>";
}

} // namespace

void TConvertToGpx::Execute(TEntries& entries, TStream& stream)
{
    std::string out = R"(<?xml version="1.0" encoding="ISO-8859-1"?>)" + GpxStartTag();
    const int count = entries.Count();
    if (count == 0) {
        stream.Write(out + "/>");
        return;
    }
    out += '>';
    constexpr size_t BlockSize = 1 << 16;
    for (int i = 0; i < count; ++i) {
        const TEntry& entry = entries.Items(i);
        if (entry.Extra().empty())
            AppendNewPoint(out, entry);
        else
            AppendRetainedPoint(out, entry);
        if (out.size() >= BlockSize) {
            stream.Write(out);
            out.clear();
        }
    }
    stream.Write(out + "</gpx>");
}

int CheckedElementCount(std::string_view bytes, TXmlScanner::TEncoding encoding,
    const char* message, const std::function<bool(const TXmlScanner&)>& counted)
{
    TXmlScanner scanner(bytes, encoding);
    int count = 0;
    for (;;) {
        switch (scanner.Next()) {
        case TXmlScanner::TToken::End:
            return count;
        case TXmlScanner::TToken::Malformed:
            throw EUserError(Tr(message).arg(CodePageToUnicode(bytes.substr(0, 100))));
        case TXmlScanner::TToken::StartTag:
            count += counted(scanner);
            break;
        default:
            break;
        }
    }
}

namespace {

bool IsWaypoint(const TXmlScanner& scanner)
{
    return scanner.Depth() == 2 && scanner.Name() == "wpt" && scanner.OpenName(1) == "gpx";
}

bool IsTrackPoint(const TXmlScanner& scanner)
{
    return scanner.Depth() == 4 && scanner.Name() == "trkpt" && scanner.OpenName(3) == "trkseg"
        && scanner.OpenName(2) == "trk" && scanner.OpenName(1) == "gpx";
}

// What a point element holds for an entry. Only the first child of each description name
// counts.
struct TPointText {
    std::string Name;
    std::string Desc;
    bool HasName = false;
    bool HasDesc = false;
};

// Reads the point whose start tag is current up to its end tag.
TPointText ReadPointText(TXmlScanner& scanner)
{
    TPointText point;
    const int depth = scanner.Depth();
    std::string* capture = nullptr;
    for (;;) {
        const TXmlScanner::TToken token = scanner.Next();
        if (token == TXmlScanner::TToken::StartTag && scanner.Depth() == depth + 1) {
            if (scanner.Name() == "name" && !point.HasName)
                point.HasName = true, capture = &point.Name;
            else if (scanner.Name() == "desc" && !point.HasDesc)
                point.HasDesc = true, capture = &point.Desc;
        } else if (token == TXmlScanner::TToken::Text && capture) {
            scanner.AppendText(*capture);
        } else if (token == TXmlScanner::TToken::EndTag && scanner.Depth() == depth + 1) {
            capture = nullptr;
        } else if (token != TXmlScanner::TToken::Text && scanner.Depth() <= depth) {
            return point; // the point's end tag (the text was checked before)
        }
    }
}

// Characters the code page lacks stay as character references, so the XML keeps them.
std::string CodePageXml(const QString& xml)
{
    std::string narrow;
    for (const char32_t code : xml.toUcs4()) {
        if (const auto byte = CodePageByte(code))
            narrow.push_back(*byte);
        else
            narrow += "&#" + std::to_string(static_cast<uint32_t>(code)) + ';';
    }
    return narrow;
}

// The point's XML without the description element it has (`descriptionTag`, or none when
// null); empty when nothing else is left.
std::string RetainedXml(std::string_view pointXml, const char* descriptionTag)
{
    TXmlDocument doc;
    doc.Parse(CodePageToUnicode(pointXml)); // one element of a document already checked
    TXmlNode point = doc.DocumentElement();
    if (descriptionTag)
        point.RemoveChild(point.SelectNode(QLatin1String(descriptionTag)));
    if (point.ChildCount() == 0)
        return {};
    std::string xml = CodePageXml(point.Xml());
    // A track point comes back as a waypoint, the only kind the export writes.
    if (xml.starts_with("<trkpt ")) {
        xml.replace(0, 7, "<wpt ");
        if (xml.ends_with("</trkpt>"))
            xml.replace(xml.size() - 8, 8, "</wpt>");
    }
    return xml;
}

} // namespace

std::span<const TConvertOption> TConvertFromGpx::Options() const
{
    static constexpr TConvertOption options[] = {
        { "Use desc tag instead of name tag when available",
            "The GPX format defines 2 possible places where the description of the poi may be "
            "entered.\rIf you check this option, Marivel will use the \"desc\" tag as the poi "
            "description instead of the\r\"name\" tag. When the prefered tag is not available, "
            "Marivel will automatically try the other tag." },
        { "Retain extra poi information present in GPX file",
            "If you check this option, Marivel will load the extra poi information that might be "
            "present in\rthe GPX file. When saving back to the same file, or another GPX file, "
            "Marivel will reinsert\rthis information." },
    };
    return options;
}

void TConvertFromGpx::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes input(stream);
    const std::string_view bytes = input.Bytes();
    // Read as the code page whatever the declaration says, so that descriptions keep their
    // bytes: a UTF-8 name goes into a navigator's file as the UTF-8 it reads.
    constexpr auto Encoding = TXmlScanner::TEncoding::CodePage;
    const int total = CheckedElementCount(bytes, Encoding, Msg::InvalidXmlText,
        [](const TXmlScanner& scanner) { return IsWaypoint(scanner) || IsTrackPoint(scanner); });
    stream.Seek(0, TSeekOrigin::End);

    const bool useDesc = GetOption(goUseDesc, false);
    const bool retainExtra = GetOption(goRetainExtra, false);
    const auto readPoints = [&](bool (*isPoint)(const TXmlScanner&)) {
        TXmlScanner scanner(bytes, Encoding);
        int index = 0;
        std::string lat, lon;
        for (TXmlScanner::TToken token; (token = scanner.Next()) != TXmlScanner::TToken::End;) {
            if (token != TXmlScanner::TToken::StartTag || !isPoint(scanner))
                continue;
            const size_t begin = scanner.TagBegin();
            if (!scanner.Attribute("lat", lat) || !scanner.Attribute("lon", lon))
                throw EUserError(Tr(Msg::InvalidGpxEntry));
            const double latitude = ParseFloat(lat);
            const double longitude = ParseFloat(lon);
            TPointText point = ReadPointText(scanner);
            // The preferred element when there is one, else the other.
            const bool takeName = useDesc ? !point.HasDesc && point.HasName : point.HasName;
            const bool found = point.HasName || point.HasDesc;
            std::string extra;
            if (retainExtra)
                extra = RetainedXml(bytes.substr(begin, scanner.TagEnd() - begin),
                    !found         ? nullptr
                        : takeName ? "name"
                                   : "desc");
            entries.AddValues(takeName ? point.Name : point.Desc, extra, longitude, latitude);
            SetProgress(static_cast<double>(index++) / total * 100);
        }
    };
    readPoints(IsWaypoint);
    readPoints(IsTrackPoint);
}

void RegisterGpx()
{
    RegisterFormat<TConvertToGpx, TConvertFromGpx>(
        QStringLiteral("GPS eXchange Format"), QStringLiteral("gpx"), rpLast);
}

void UnregisterGpx() { UnregisterFormat<TConvertToGpx, TConvertFromGpx>(); }
