#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/uConvertBase.h"
#include "platform/uXmlScanner.h"

class TEntryUnits;

using TNamespaceDeclarations = std::vector<std::pair<std::string, std::string>>;

// Points of kinds an import does not read, counted by kind, so that an import that read
// nothing can say what the file holds.
class TUnreadPoints {
public:
    enum class TKind { RoutePoint, MultiGeometryPoint, TrackPoint, Prefixed };

    void Count(TKind kind) { Count(kind, {}); }
    // An element named with a prefix ("kml:Placemark") whose local name is one of `readNames`
    // is counted under its name.
    void CountPrefixed(std::string_view name, std::initializer_list<std::string_view> readNames);
    // `message` with "%1" receiving the counts ("57 route points"); empty when none were
    // counted.
    QString Warning(const char* message) const;

private:
    struct TCount {
        TKind Kind;
        std::string Name; // of a prefixed element
        int Count;
    };
    void Count(TKind kind, std::string_view name);

    std::vector<TCount> Counts;
};

// GPS eXchange Format 1.1: waypoints and track points. The importer can keep the whole XML of
// each point, so that a later export writes it back with everything it had (elevation, time,
// symbol...), with only the entry's coordinates and description new.

class TConvertToGpx : public TConvertToBase {
public:
    bool WritesUnicode() const override { return true; }
    QString FormatId() const override { return QStringLiteral("gengpx"); }
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromGpx : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("gengpx"); }
    // Waypoints first, then track points.
    void Execute(TEntries& entries, TStream& stream) override;

protected:
    std::span<const TConvertOption> Options() const override;

private:
    std::unique_ptr<TEntry> ReadPoint(TXmlScanner& scanner, std::string_view bytes);
    void NoteDeclarations(const TXmlScanner& scanner);
    // Counts the current start tag when it is a point the import does not read.
    void NoteUnread(const TXmlScanner& scanner);

    bool UseDesc = false;
    bool RetainExtra = false;
    // Attribute and element texts, kept to spare allocations per point.
    std::string Lat, Lon;
    TXmlText Name, Desc;
    // The namespace declarations of the elements a point may sit in, by depth from 1, so
    // that retained XML keeps the declarations of the prefixes it uses.
    std::vector<TNamespaceDeclarations> Declared;
    // Prefixes used in retained XML that no element declares: what they name is unknown, so
    // their elements are left out, as output naming them would not be well-formed.
    std::vector<QString> Undeclared;
    TUnreadPoints Unread;
};

void RegisterGpx();
void UnregisterGpx();

// What the XML formats share, as their files may hold millions of points.

// Appends an entry's element, its coordinates in the settings' precision.
using TAppendEntry = void (*)(std::string& out, const TEntry& entry, const TEntryUnits& units);

// Writes `head`, then, when there are entries, `open`, each entry's element by `append` and
// `close`, else `emptyTail`, reporting progress to `converter`.
void WriteEntryElements(TConvertBase& converter, TEntries& entries, TStream& stream,
    std::string_view head, std::string_view emptyTail, std::string_view open,
    std::string_view close, TAppendEntry append);

// Hands every token of `scanner` to `read`, which answers false when it found the text
// malformed, and reports progress by position in the text's `size` bytes. Malformed text, and
// any other user error, takes back the entries added since the start; malformed text fails
// with `message`, whose "%1" receives the text's first 100 characters, followed by the
// scanner's fault.
void ReadEntryTokens(TConvertBase& converter, TXmlScanner& scanner, size_t size, TEntries& entries,
    const char* message, const std::function<bool(TXmlScanner::TToken)>& read);
