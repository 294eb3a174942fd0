#include "convert/uConvertKml.h"

#include <deque>
#include <exception>
#include <string>
#include <vector>

#include "convert/uConvertGpx.h"
#include "core/uEntryUnits.h"
#include "core/uNumbers.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"
#include "platform/uXml.h"
#include "platform/uXmlScanner.h"

namespace {

constexpr char KmlStart[] =
    R"(<?xml version="1.0" encoding="ISO-8859-1"?><kml xmlns="http://earth.google.com/kml/2.0">)";

// Byte for byte what the document service writes for the entry's placemark.
void AppendPlacemark(std::string& out, const TEntry& entry, const TEntryUnits& units)
{
    if (entry.Description().empty()) {
        out += "<Placemark><name/>";
    } else {
        out += "<Placemark><name>";
        AppendLatin1XmlText(out, entry.Description());
        out += "</name>";
    }
    // The point is composed in place and appended in one piece.
    char point[2 * NumberRoom + 64];
    char* p = PutText(point, "<Point><coordinates>");
    p = PutDecimalUnits(p, units.Longitude(entry), units.Decimals());
    *p++ = ',';
    p = PutDecimalUnits(p, units.Latitude(entry), units.Decimals());
    p = PutText(p, ",0</coordinates></Point></Placemark>");
    out.append(point, static_cast<size_t>(p - point));
}

} // namespace

void TConvertToKml::Execute(TEntries& entries, TStream& stream)
{
    WriteEntryElements(*this, entries, stream, KmlStart, "<Folder/></kml>", "<Folder>",
        "</Folder></kml>", AppendPlacemark);
}

namespace {

// A placemark being read: the first `name`, `Description` and `Point/coordinates` below it.
struct TPlacemark {
    explicit TPlacemark(int depth)
        : Depth(depth)
    {
    }

    // Starts over for another placemark, keeping the texts' room.
    void Reuse(int depth)
    {
        Depth = depth;
        Coordinates.Clear();
        Name.Clear();
        Description.Clear();
        HasCoordinates = HasName = HasDescription = Closed = false;
        Capture = nullptr;
        CaptureDepth = 0;
    }

    int Depth;
    TXmlText Coordinates, Name, Description;
    bool HasCoordinates = false, HasName = false, HasDescription = false;
    TXmlText* Capture = nullptr; // the text being read, of the element at `CaptureDepth`
    int CaptureDepth = 0;
    bool Closed = false;

    void StartCapture(TXmlText& text, bool& has, int depth)
    {
        if (has)
            return;
        has = true;
        Capture = &text;
        CaptureDepth = depth;
    }

    void Start(const TXmlScanner& scanner)
    {
        const int depth = scanner.Depth();
        const std::string_view name = scanner.Name();
        if (depth == Depth + 1 && name == "name")
            StartCapture(Name, HasName, depth);
        else if (depth == Depth + 1 && name == "Description")
            StartCapture(Description, HasDescription, depth);
        else if (depth == Depth + 2 && name == "coordinates"
            && scanner.OpenName(Depth + 1) == "Point")
            StartCapture(Coordinates, HasCoordinates, depth);
    }

    void End(int depth)
    {
        if (depth == CaptureDepth)
            Capture = nullptr;
        Closed = Closed || depth == Depth;
    }
};

// Placemarks in the order they start; one may hold another, which ends first.
class TPlacemarkReader {
public:
    TPlacemarkReader(TEntries& entries)
        : Entries(entries)
    {
    }

    void Token(TXmlScanner::TToken token, TXmlScanner& scanner)
    {
        if (token == TXmlScanner::TToken::StartTag && scanner.Name() == "Placemark"
            && scanner.Depth() >= 2) {
            Open.push_back(&StartPlacemark(scanner.Depth()));
            return;
        }
        for (TPlacemark* placemark : Open) {
            if (token == TXmlScanner::TToken::StartTag)
                placemark->Start(scanner);
            else if (token == TXmlScanner::TToken::Text && placemark->Capture)
                placemark->Capture->Append(scanner);
            else if (token == TXmlScanner::TToken::EndTag)
                placemark->End(scanner.Depth());
        }
        if (!Open.empty() && Open.back()->Closed)
            Open.pop_back();
        while (PendingCount > 0 && Slots[First].Closed) {
            if (!Fault)
                Add(Slots[First]);
            ++First;
            if (--PendingCount == 0)
                First = 0;
        }
    }

    std::exception_ptr Fault; // the first placemark that could not be read ends the reading

private:
    TPlacemark& StartPlacemark(int depth)
    {
        const size_t slot = First + PendingCount++;
        if (slot == Slots.size())
            return Slots.emplace_back(depth);
        Slots[slot].Reuse(depth);
        return Slots[slot];
    }

    void Add(const TPlacemark& placemark)
    {
        if (!placemark.HasCoordinates)
            return; // a line or a polygon
        try {
            const std::string_view coordinates = placemark.Coordinates.View();
            const size_t comma = coordinates.find(',');
            if (comma == std::string_view::npos)
                throw EUserError(Tr(Msg::InvalidCoordinates));
            const double longitude = ParseFloat(coordinates.substr(0, comma));
            const std::string_view rest = coordinates.substr(comma + 1);
            const double latitude = ParseFloat(rest.substr(0, rest.find(',')));
            Entries.AddEntry(
                std::make_unique<TEntry>(
                    (placemark.HasName ? placemark.Name : placemark.Description).View(),
                    std::string_view(), longitude, latitude),
                true);
        } catch (const EUserError&) {
            Fault = std::current_exception();
        }
    }

    TEntries& Entries;
    // The placemarks started and not yet added are `PendingCount` slots from `First`; the
    // slots after them were read, and their texts' room serves the next. Emptying a deque
    // and refilling it would free and allocate at every placemark; and a deque still, so
    // that `Open` keeps pointing at its slots as more are added.
    std::deque<TPlacemark> Slots;
    size_t First = 0;
    size_t PendingCount = 0;
    // The pending placemarks not yet closed, outermost first: those a token may concern.
    // Closed ones wait for an outer one to close, and could be many.
    std::vector<TPlacemark*> Open;
};

} // namespace

namespace {

// A placemark in the fewest bytes, for the most a text can hold.
constexpr std::string_view ShortestPlacemark =
    "<Placemark><Point><coordinates>0,0</coordinates></Point></Placemark>";

// Counts the current start tag when it is a point the import does not read: one of a
// placemark's several geometries, a point of a track, or a placemark named with a prefix.
void NoteUnread(const TXmlScanner& scanner, TUnreadPoints& unread)
{
    const std::string_view name = scanner.Name();
    if (name == "Point" && scanner.Depth() > 1
        && scanner.OpenName(scanner.Depth() - 1) == "MultiGeometry")
        unread.Count(TUnreadPoints::TKind::MultiGeometryPoint);
    else if (name == "gx:coord")
        unread.Count(TUnreadPoints::TKind::TrackPoint);
    else
        unread.CountPrefixed(name, { "Placemark" });
}

} // namespace

void TConvertFromKml::Execute(TEntries& entries, TStream& stream)
{
    const TStreamBytes input(stream);
    std::string utf8;
    const std::string_view bytes = XmlBytesAsUtf8(input.Bytes(), utf8);
    TXmlScanner scanner(bytes);
    Read(entries, scanner, bytes.size());
    stream.Seek(0, TSeekOrigin::End);
}

void TConvertFromKml::Read(TEntries& entries, TXmlScanner& scanner, size_t size)
{
    entries.Reserve(size / ShortestPlacemark.size());
    TPlacemarkReader reader(entries);
    TUnreadPoints unread;
    const int countBefore = entries.Count();
    ReadEntryTokens(*this, scanner, size, entries, Msg::InvalidKml, [&](TXmlScanner::TToken token) {
        // Points of other kinds matter only while none were read, for the warning.
        if (token == TXmlScanner::TToken::StartTag && entries.Count() == countBefore)
            NoteUnread(scanner, unread);
        reader.Token(token, scanner);
        return true;
    });
    if (reader.Fault)
        std::rethrow_exception(reader.Fault);
    if (entries.Count() == countBefore)
        if (const QString warning = unread.Warning(Msg::NoKmlPoints); !warning.isEmpty())
            Warn(warning);
}

void RegisterKml()
{
    RegisterFormat<TConvertToKml, TConvertFromKml>(
        QStringLiteral("Google Earth"), QStringLiteral("kml"), rpLast);
}

void UnregisterKml() { UnregisterFormat<TConvertToKml, TConvertFromKml>(); }
