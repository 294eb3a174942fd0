#include "convert/uConvertGpx.h"

#include <algorithm>
#include <span>
#include <string>

#include "core/uEntryUnits.h"
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

enum TGpxOption { goUseDesc = 0, goRetainExtra = 1 };

std::string Coordinate(double value)
{
    std::string text;
    AppendGeneral(text, value);
    return text;
}

QString Creator()
{
    return QStringLiteral("Marivel v%1.%2.%3 %4 %5")
        .arg(ProgramVersion.Major)
        .arg(ProgramVersion.Minor)
        .arg(ProgramVersion.Release)
        .arg(Tr(Msg::Build))
        .arg(ProgramVersion.Build);
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
    AppendLatin1XmlAttribute(tag, Creator().toStdString());
    tag += '"';
    return tag;
}

// A point kept from a file: its own XML, with the current coordinates and description.
void AppendRetainedPoint(std::string& out, const TEntry& entry)
{
    TXmlDocument doc;
    if (!doc.Parse(Utf8ToUnicode(entry.Extra())) || !doc.DocumentElement())
        throw EUserError(
            Tr(Msg::InvalidXmlText).arg(EscapeControls(Utf8ToUnicode(entry.Extra()).left(100))));
    TXmlNode point = doc.DocumentElement();
    point.SetAttribute(QStringLiteral("lat"), QString::fromStdString(Coordinate(entry.Latitude())));
    point.SetAttribute(
        QStringLiteral("lon"), QString::fromStdString(Coordinate(entry.Longitude())));
    TXmlNode name = point.SelectNode(QStringLiteral(".//name"));
    name = name ? point.AppendChild(name) : point.AppendElement(QStringLiteral("name"));
    name.SetText(Utf8ToUnicode(entry.Description()));
    out += point.Latin1Xml();
}

// Byte for byte what the document service writes for a new point element; the start tag is
// composed in place and appended in one piece.
void AppendNewPoint(std::string& out, const TEntry& entry, const TEntryUnits& units)
{
    char tag[2 * NumberRoom + 48];
    char* p = PutText(tag, "<wpt lat=\"");
    p = PutDecimalUnits(p, units.Latitude(entry), units.Decimals());
    p = PutText(p, "\" lon=\"");
    p = PutDecimalUnits(p, units.Longitude(entry), units.Decimals());
    if (entry.Description().empty()) {
        p = PutText(p, "\"><name/></wpt>");
        out.append(tag, static_cast<size_t>(p - tag));
        return;
    }
    p = PutText(p, "\"><name>");
    out.append(tag, static_cast<size_t>(p - tag));
    AppendLatin1XmlText(out, entry.Description());
    out += "</name></wpt>";
}

} // namespace

void WriteEntryElements(TConvertBase& converter, TEntries& entries, TStream& stream,
    std::string_view head, std::string_view emptyTail, std::string_view open,
    std::string_view close, TAppendEntry append)
{
    const TEntryUnits units;
    TBlockWriter out(stream);
    out.Text() += head;
    if (entries.Count() == 0) {
        out.Text() += emptyTail;
        out.Flush();
        return;
    }
    out.Text() += open;
    WriteEntryRecords(converter, entries, out,
        [&](std::string& text, const TEntry& entry) { append(text, entry, units); });
    out.Text() += close;
    out.Flush();
}

void TConvertToGpx::Execute(TEntries& entries, TStream& stream)
{
    const std::string head = R"(<?xml version="1.0" encoding="ISO-8859-1"?>)" + GpxStartTag();
    WriteEntryElements(*this, entries, stream, head, "/>", ">", "</gpx>",
        [](std::string& out, const TEntry& entry, const TEntryUnits& units) {
            if (entry.Extra().empty())
                AppendNewPoint(out, entry, units);
            else
                AppendRetainedPoint(out, entry);
        });
}

namespace {

// The text's first 100 characters as the scanner reads them, and what is wrong with it, for a
// message.
QString MalformedText(const char* message, const TXmlScanner& scanner)
{
    constexpr qsizetype Shown = 100;
    std::string_view bytes = scanner.Head();
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const QString start = XmlBytesToUnicode(bytes.substr(0, 4 * Shown), scanner.Encoding());
    const QString text = Tr(message).arg(EscapeControls(start.left(Shown)));
    const QString fault = scanner.Fault();
    return fault.isEmpty() ? text : text + QStringLiteral(" (%1)").arg(EscapeControls(fault));
}

} // namespace

void ReadEntryTokens(TConvertBase& converter, TXmlScanner& scanner, size_t size, TEntries& entries,
    const char* message, const std::function<bool(TXmlScanner::TToken)>& read)
{
    const int countBefore = entries.Count();
    const auto total = static_cast<double>(std::max<size_t>(size, 1));
    // The percentage cannot change before this offset, a byte short of where the next whole
    // one begins so that rounding cannot pass it; asking at every token is costly.
    size_t nextPercent = 0;
    try {
        for (TXmlScanner::TToken token; (token = scanner.Next()) != TXmlScanner::TToken::End;) {
            if (token == TXmlScanner::TToken::Malformed || !read(token))
                throw EUserError(MalformedText(message, scanner));
            if (scanner.TagEnd() < nextPercent)
                continue;
            converter.SetProgress(static_cast<double>(scanner.TagEnd()) / total * 100);
            nextPercent =
                static_cast<size_t>(std::max(0.0, (converter.Progress() + 1) * total / 100 - 1));
        }
    } catch (const EUserError&) {
        while (entries.Count() > countBefore)
            entries.Delete(entries.Count() - 1);
        throw;
    }
}

void TUnreadPoints::Count(TKind kind, std::string_view name)
{
    const auto found = std::find_if(Counts.begin(), Counts.end(),
        [&](const TCount& count) { return count.Kind == kind && count.Name == name; });
    if (found == Counts.end())
        Counts.push_back({ kind, std::string(name), 1 });
    else
        ++found->Count;
}

void TUnreadPoints::CountPrefixed(
    std::string_view name, std::initializer_list<std::string_view> readNames)
{
    const size_t colon = name.find(':');
    if (colon != std::string_view::npos
        && std::find(readNames.begin(), readNames.end(), name.substr(colon + 1)) != readNames.end())
        Count(TKind::Prefixed, name);
}

QString TUnreadPoints::Warning(const char* message) const
{
    // The texts of each kind for one and for several.
    static constexpr const char* Texts[][2] = {
        { Msg::RoutePoint, Msg::RoutePoints },
        { Msg::MultiGeometryPoint, Msg::MultiGeometryPoints },
        { Msg::TrackPoint, Msg::TrackPoints },
        { Msg::PrefixedElement, Msg::PrefixedElements },
    };
    QStringList counts;
    for (const TCount& count : Counts) {
        const QString text = Tr(Texts[static_cast<int>(count.Kind)][count.Count == 1 ? 0 : 1]);
        counts << (count.Kind == TKind::Prefixed
                ? text.arg(count.Count)
                      .arg(EscapeControls(QString::fromStdString(count.Name))) // UTF-8
                : text.arg(count.Count));
    }
    return counts.isEmpty() ? QString() : Tr(message).arg(counts.join(QStringLiteral(", ")));
}

namespace {

// A point in the fewest bytes, for the most points a text can hold.
constexpr std::string_view ShortestPoint = "<wpt lat=\"0\" lon=\"0\"/>";

bool IsWaypoint(const TXmlScanner& scanner)
{
    return scanner.Depth() == 2 && scanner.Name() == "wpt" && scanner.OpenName(1) == "gpx";
}

bool IsTrackPoint(const TXmlScanner& scanner)
{
    return scanner.Depth() == 4 && scanner.Name() == "trkpt" && scanner.OpenName(3) == "trkseg"
        && scanner.OpenName(2) == "trk" && scanner.OpenName(1) == "gpx";
}

// What a point element holds for an entry: whether it has each description element and
// whether it is well-formed. Only the first child of each description name counts.
struct TPointText {
    bool HasName = false;
    bool HasDesc = false;
    bool Malformed = false;
};

// Reads the point whose start tag is current up to its end tag, with the texts of its
// description elements into `name` and `desc`.
TPointText ReadPointText(TXmlScanner& scanner, TXmlText& name, TXmlText& desc)
{
    TPointText point;
    name.Clear();
    desc.Clear();
    const int depth = scanner.Depth();
    TXmlText* capture = nullptr;
    for (;;) {
        switch (scanner.Next()) {
        case TXmlScanner::TToken::StartTag:
            if (scanner.Depth() != depth + 1)
                break;
            if (scanner.Name() == "name" && !point.HasName)
                point.HasName = true, capture = &name;
            else if (scanner.Name() == "desc" && !point.HasDesc)
                point.HasDesc = true, capture = &desc;
            break;
        case TXmlScanner::TToken::Text:
            if (capture)
                capture->Append(scanner);
            break;
        case TXmlScanner::TToken::EndTag:
            if (scanner.Depth() == depth)
                return point;
            if (scanner.Depth() == depth + 1)
                capture = nullptr;
            break;
        default:
            point.Malformed = true;
            return point;
        }
    }
}

// Declares on `point` each prefix it uses that an element around it declared (`inScope`,
// outermost first), as the XML would otherwise name namespaces it no longer declares. What
// uses a prefix that nothing declares is removed, and the prefix added to `undeclared`.
void DeclareUsedPrefixes(TXmlNode point, std::span<const TNamespaceDeclarations> inScope,
    std::vector<QString>& undeclared)
{
    for (const QString& prefix : point.UsedPrefixes()) {
        const QString attribute = QStringLiteral("xmlns:") + prefix;
        if (point.Attribute(attribute))
            continue;
        const std::string wanted = prefix.toStdString();
        const TNamespaceDeclarations::value_type* declaration = nullptr;
        for (auto scope = inScope.rbegin(); scope != inScope.rend() && !declaration; ++scope) {
            const auto found = std::find_if(scope->rbegin(), scope->rend(),
                [&](const auto& declared) { return declared.first == wanted; });
            if (found != scope->rend())
                declaration = &*found;
        }
        if (declaration) {
            point.SetAttribute(attribute, Utf8ToUnicode(declaration->second));
            continue;
        }
        point.RemovePrefixed(prefix);
        if (std::find(undeclared.begin(), undeclared.end(), prefix) == undeclared.end())
            undeclared.push_back(prefix);
    }
}

// The point's XML without the description element it has (`descriptionTag`, or none when
// null); empty when nothing else is left.
std::string RetainedXml(std::string_view pointXml, const TCodePage& encoding,
    const char* descriptionTag, std::span<const TNamespaceDeclarations> inScope,
    std::vector<QString>& undeclared)
{
    TXmlDocument doc;
    doc.Parse(XmlBytesToUnicode(pointXml, encoding)); // one element of a document already checked
    TXmlNode point = doc.DocumentElement();
    if (descriptionTag)
        point.RemoveChild(point.SelectNode(QLatin1String(descriptionTag)));
    DeclareUsedPrefixes(point, inScope, undeclared);
    if (point.ChildCount() == 0)
        return {};
    std::string xml = point.Xml().toStdString();
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
        { Msg::GpxUseDesc, Msg::GpxUseDescHint },
        { Msg::GpxRetainExtra, Msg::GpxRetainExtraHint },
    };
    return options;
}

// Reads the point whose start tag is current, to its end; null when the text turns out
// malformed.
std::unique_ptr<TEntry> TConvertFromGpx::ReadPoint(TXmlScanner& scanner, std::string_view bytes)
{
    const size_t begin = scanner.TagBegin();
    const auto inScope = std::span(Declared).first(static_cast<size_t>(scanner.Depth() - 1));
    if (!scanner.Attribute("lat", Lat) || !scanner.Attribute("lon", Lon))
        throw EUserError(Tr(Msg::InvalidGpxEntry));
    const double latitude = ParseFloat(Lat);
    const double longitude = ParseFloat(Lon);
    const TPointText point = ReadPointText(scanner, Name, Desc);
    if (point.Malformed)
        return nullptr;
    // The preferred element when there is one, else the other.
    const bool takeName = UseDesc ? !point.HasDesc && point.HasName : point.HasName;
    std::string extra;
    if (RetainExtra) {
        const bool found = point.HasName || point.HasDesc;
        extra = RetainedXml(bytes.substr(begin, scanner.TagEnd() - begin), scanner.Encoding(),
            !found         ? nullptr
                : takeName ? "name"
                           : "desc",
            inScope, Undeclared);
    }
    return std::make_unique<TEntry>((takeName ? Name : Desc).View(), extra, longitude, latitude);
}

void TConvertFromGpx::NoteDeclarations(const TXmlScanner& scanner)
{
    const auto depth = static_cast<size_t>(scanner.Depth());
    Declared.resize(depth);
    Declared[depth - 1].clear();
    scanner.NamespaceDeclarations(Declared[depth - 1]);
}

void TConvertFromGpx::NoteUnread(const TXmlScanner& scanner)
{
    if (scanner.Name() == "rtept")
        Unread.Count(TUnreadPoints::TKind::RoutePoint);
    else
        Unread.CountPrefixed(scanner.Name(), { "wpt", "trkpt", "rtept" });
}

void TConvertFromGpx::Execute(TEntries& entries, TStream& stream)
{
    UseDesc = GetOption(goUseDesc, false);
    RetainExtra = GetOption(goRetainExtra, false);
    const TStreamBytes input(stream);
    std::string utf8;
    const std::string_view bytes = XmlBytesAsUtf8(input.Bytes(), utf8);
    TXmlScanner scanner(bytes);
    entries.Reserve(bytes.size() / ShortestPoint.size());
    // One pass over a file that may be large. Waypoints come first in the list, so track
    // points wait aside. A faulty point stops its kind, but the rest of the text is still
    // checked: malformed text adds nothing at all.
    std::vector<std::unique_ptr<TEntry>> trackPoints;
    std::exception_ptr waypointFault, trackPointFault;
    const int countBefore = entries.Count();
    // Points of other kinds matter only while none were read, for the warning.
    const auto noneRead = [&] { return entries.Count() == countBefore && trackPoints.empty(); };
    const auto readInto = [&](std::exception_ptr& fault, auto&& add) {
        if (fault)
            return true;
        try {
            std::unique_ptr<TEntry> entry = ReadPoint(scanner, bytes);
            if (!entry)
                return false;
            add(std::move(entry));
        } catch (const EUserError&) {
            fault = std::current_exception();
        }
        return true;
    };
    ReadEntryTokens(
        *this, scanner, bytes.size(), entries, Msg::InvalidXmlText, [&](TXmlScanner::TToken token) {
            // Points sit at depth 2 (waypoints) or 4 (track points).
            if (RetainExtra && token == TXmlScanner::TToken::StartTag && scanner.Depth() < 4)
                NoteDeclarations(scanner);
            if (token == TXmlScanner::TToken::StartTag && IsWaypoint(scanner))
                return readInto(waypointFault, [&](std::unique_ptr<TEntry> entry) {
                    entries.AddEntry(std::move(entry), true);
                });
            if (token == TXmlScanner::TToken::StartTag && IsTrackPoint(scanner))
                return readInto(trackPointFault, [&](std::unique_ptr<TEntry> entry) {
                    trackPoints.push_back(std::move(entry));
                });
            if (token == TXmlScanner::TToken::StartTag && noneRead())
                NoteUnread(scanner);
            return true;
        });
    stream.Seek(0, TSeekOrigin::End);
    if (waypointFault)
        std::rethrow_exception(waypointFault);
    for (std::unique_ptr<TEntry>& entry : trackPoints)
        entries.AddEntry(std::move(entry), true);
    if (trackPointFault)
        std::rethrow_exception(trackPointFault);
    if (noneRead())
        if (const QString warning = Unread.Warning(Msg::NoGpxPoints); !warning.isEmpty())
            Warn(warning);
    for (const QString& prefix : Undeclared)
        Warn(Tr(Msg::UndeclaredPrefixLeftOut).arg(EscapeControls(prefix)));
}

void RegisterGpx()
{
    RegisterFormat<TConvertToGpx, TConvertFromGpx>(
        QStringLiteral("GPS eXchange Format"), QStringLiteral("gpx"), rpLast);
}

void UnregisterGpx() { UnregisterFormat<TConvertToGpx, TConvertFromGpx>(); }
