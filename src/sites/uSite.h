#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <QString>
#include <QStringList>

#include "platform/uXml.h"

// The catalogue of a POI site, parsed from the site's xml index: the POI files it offers,
// listed by country (the index calls a country a "map") and tagged with topic groups, and the
// site's own service addresses. A site's location is its identity everywhere in the program.
// Loading shows no cursor: the windows that load a site hold the hourglass around the call.

// Ordered, so that a country or site needs the highest right of its files.
enum class TAuthorization { None = 0, Registered = 1, Subscribed = 2 };

// One POI file of a site.
class TPoi {
public:
    // The file's name: unique within its site, it identifies the file in AutoUpdate items.
    QString Description;
    QString Url;
    QString Query;
    QString Image;
    // The file extension, optionally followed by "." and a converter's format id ("ov2.ttov2").
    QString Format;
    QString Note;
    // Lower-cased names of the groups the file belongs to.
    QStringList Groups;
    TAuthorization Authorization = TAuthorization::None;
    // False when the file takes no commits of new POIs.
    bool Commit = true;
    // The owning site's location.
    QString Site;

    // ".ov2" for a format of "ov2.ttov2" or "ov2"; without a format, the extension of the
    // download address before its query.
    QString Extension() const;
    // "ttov2" for a format of "ov2.ttov2"; empty when the format names no converter.
    QString FormatId() const;
};

// POI files owned elsewhere: a country's, or a selection of them.
using TPoiList = std::vector<TPoi*>;

// The first file whose description equals `description` ignoring case, or none.
TPoi* FindPoi(const TPoiList& pois, const QString& description);

// The files a site lists under one country, and what they have in common.
class TCountry {
public:
    // The "map" text; files without one are listed under an empty name.
    QString Name;
    // Every group named by any of the files, each once (ignoring case), in order of first use.
    QStringList GroupNames;
    // The same, only from files that take commits.
    QStringList CommitGroupNames;
    std::vector<std::unique_ptr<TPoi>> Pois;
    // The highest authorization of its files.
    TAuthorization Authorization = TAuthorization::None;

    TPoiList AllPois() const;
    TPoiList PoisOfGroup(const QString& name) const;
    TPoi* FindPoi(const QString& description) const;
};

// A topic group as the site describes it.
class TGroup {
public:
    QString Name;
    QString Description;
    QString Note;
    // Offered by the AutoUpdate wizard.
    bool Wizard = false;
};

class TSite {
public:
    explicit TSite(const QString& location);
    TSite(const TSite&) = delete;
    TSite& operator=(const TSite&) = delete;

    // The address of the site xml, a web or "FILE://" location.
    const QString& Location() const { return FLocation; }

    // In order of first occurrence in the index.
    std::vector<std::unique_ptr<TCountry>> Countries;
    std::vector<std::unique_ptr<TGroup>> Groups;
    QString InfoUrl;
    QString AddUrl;
    QString AddFormat;
    QString OnError;
    QString OnSuccess;
    QString ManagerPage;
    // The parsed index, kept for the queries of the update engine.
    TXmlDocument Document;

    // Reads the last downloaded copy of the index (the file itself for a "FILE://" site);
    // without one the catalogue is left empty.
    void LoadFromCache();
    // Parses the index from its bytes (their encoding as the xml declaration says). Fails with
    // "Invalid xml", with the version message when the site needs a newer program (leaving
    // the catalogue as it was), and with "Missing %1 node" for a group without name or
    // description.
    void LoadFromXml(std::string_view xml);

    TAuthorization Authorization() const;
    bool HasWizardGroups() const;
    // Index in `Groups` of the group named `name` ignoring case, or -1.
    int FindGroup(const QString& name) const;
    // The country named `name` ignoring case, or none.
    TCountry* FindCountry(const QString& name) const;

    // Text of the child `element` of the index's POI file `description`. Fails with "Poi item
    // not found in site xml" when the index has no such file, and, when `required`, with
    // "Downloaded information invalid, ..." when the file has no such child; empty text then
    // otherwise.
    QString PoiValue(const QString& description, const QString& element, bool required) const;
    // Text of the site-wide `element` ("onsuccess", "queryerrormode"); a missing one fails as
    // in `PoiValue` when `required`, else is empty.
    QString Value(const QString& element, bool required) const;

private:
    void ReadPoi(const TXmlNode& node);
    void ReadGroup(const TXmlNode& node);
    TCountry& CountryNamed(const QString& name);

    QString FLocation;
};

// The program-wide catalogue of the site at `location` (ignoring case), created and loaded
// from its cache on first use; an unknown site gives an empty catalogue, never an error.
TSite& GetSite(const QString& location);
