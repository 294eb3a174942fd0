#include "sites/uSite.h"

#include <algorithm>

#include <QFileInfo>

#include "core/uUtils.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

namespace {

bool SameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

void AddUnique(QStringList& list, const QString& name)
{
    if (!list.contains(name, Qt::CaseInsensitive))
        list.append(name);
}

TAuthorization AuthorizationOf(const QString& text)
{
    const QString word = text.toLower();
    if (word == QLatin1String("registered"))
        return TAuthorization::Registered;
    if (word == QLatin1String("subscribed"))
        return TAuthorization::Subscribed;
    return TAuthorization::None;
}

// The text of the child `name` of `parent`; a missing one fails with "Missing %1 node",
// naming it by its path in the index.
QString RequiredChild(const TXmlNode& parent, const QString& name, const QString& path)
{
    const TXmlNode child = parent.SelectNode(name);
    if (!child)
        throw EUserError(Tr(Msg::MissingNode).arg(path));
    return child.Text();
}

// The text of the first node `path` selects below `from`; with `required`, a missing node
// means the index is not what the site should have sent.
QString SelectedText(const TXmlNode& from, const QString& path, bool required)
{
    const TXmlNode node = from.SelectNode(path);
    if (!node && required)
        throw EUserError(Tr(Msg::SiteInfoInvalid));
    return node.Text();
}

} // namespace

QString TPoi::Extension() const
{
    if (Format.isEmpty())
        return UrlFileExt(Url);
    return QLatin1Char('.') + Format.left(Format.lastIndexOf(QLatin1Char('.')));
}

QString TPoi::FormatId() const
{
    const auto dot = Format.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : Format.mid(dot + 1);
}

TPoi* FindPoi(const TPoiList& pois, const QString& description)
{
    const auto found = std::find_if(pois.cbegin(), pois.cend(),
        [&](const TPoi* poi) { return SameText(poi->Description, description); });
    return found == pois.cend() ? nullptr : *found;
}

TPoiList TCountry::AllPois() const
{
    TPoiList pois;
    pois.reserve(Pois.size());
    for (const auto& poi : Pois)
        pois.push_back(poi.get());
    return pois;
}

TPoiList TCountry::PoisOfGroup(const QString& name) const
{
    const QString group = name.toLower();
    TPoiList pois;
    for (const auto& poi : Pois)
        if (poi->Groups.contains(group))
            pois.push_back(poi.get());
    return pois;
}

TPoi* TCountry::FindPoi(const QString& description) const
{
    return ::FindPoi(AllPois(), description);
}

TSite::TSite(const QString& location)
    : FLocation(location)
{
}

void TSite::LoadFromCache()
{
    const QString file = LocalCopyName(FLocation);
    if (QFileInfo(file).isFile())
        LoadFromXml(LoadTextFromLocation(file));
    else
        Countries.clear();
}

void TSite::LoadFromXml(std::string_view xml)
{
    TXmlDocument document = CreateXmlDocument();
    if (!document.ParseBytes(xml))
        throw EUserError(Tr(Msg::InvalidXml));
    // Before anything is cleared: a site this program cannot use keeps what it showed.
    CheckSiteXmlVersion(document);
    Document = std::move(document);
    Groups.clear();
    Countries.clear();

    const TXmlNode root = Document.Root();
    for (const TXmlNode& poi : root.SelectNodes(QStringLiteral("pois/poi")))
        ReadPoi(poi);
    for (const TXmlNode& group : root.SelectNodes(QStringLiteral("pois/groups/group")))
        ReadGroup(group);
    InfoUrl = root.SelectNode(QStringLiteral("pois/infourl")).Text();
    AddUrl = root.SelectNode(QStringLiteral("pois/addurl")).Text();
    AddFormat = root.SelectNode(QStringLiteral("pois/addformat")).Text();
    OnSuccess = root.SelectNode(QStringLiteral("pois/onsuccess")).Text();
    OnError = root.SelectNode(QStringLiteral("pois/onerror")).Text();
    ManagerPage = root.SelectNode(QStringLiteral("pois/marivel/managerpage")).Text();
}

void TSite::ReadPoi(const TXmlNode& node)
{
    auto poi = std::make_unique<TPoi>();
    poi->Site = FLocation;
    QString map;
    for (const TXmlNode& child : node.Children()) {
        const QString name = child.Name();
        const QString text = child.Text();
        if (name == QLatin1String("description"))
            poi->Description = text;
        else if (name == QLatin1String("url"))
            poi->Url = text;
        else if (name == QLatin1String("query"))
            poi->Query = text;
        else if (name == QLatin1String("image"))
            poi->Image = text;
        else if (name == QLatin1String("format"))
            poi->Format = text;
        else if (name == QLatin1String("note"))
            poi->Note = text;
        else if (name == QLatin1String("nocommit"))
            poi->Commit = false;
        else if (name == QLatin1String("authorization"))
            poi->Authorization = AuthorizationOf(text);
        else if (name == QLatin1String("group"))
            poi->Groups.append(text);
        else if (name == QLatin1String("map"))
            map = text;
    }

    TCountry& country = CountryNamed(map);
    for (const QString& group : std::as_const(poi->Groups)) {
        if (poi->Commit)
            AddUnique(country.CommitGroupNames, group);
        AddUnique(country.GroupNames, group);
    }
    for (QString& group : poi->Groups)
        group = group.toLower();
    country.Authorization = std::max(country.Authorization, poi->Authorization);
    country.Pois.push_back(std::move(poi));
}

TCountry& TSite::CountryNamed(const QString& name)
{
    if (TCountry* country = FindCountry(name))
        return *country;
    auto country = std::make_unique<TCountry>();
    country->Name = name;
    return *Countries.emplace_back(std::move(country));
}

void TSite::ReadGroup(const TXmlNode& node)
{
    const QString name =
        RequiredChild(node, QStringLiteral("name"), QStringLiteral("pois/groups/group/name"));
    // A later group of the same name refills the earlier one.
    const int index = FindGroup(name);
    TGroup& group =
        index >= 0 ? *Groups[size_t(index)] : *Groups.emplace_back(std::make_unique<TGroup>());
    group.Name = name;
    group.Description = RequiredChild(
        node, QStringLiteral("description"), QStringLiteral("pois/groups/group/description"));
    group.Note = node.SelectNode(QStringLiteral("note")).Text();
    group.Wizard = bool(node.SelectNode(QStringLiteral("wizard")));
}

TAuthorization TSite::Authorization() const
{
    TAuthorization highest = TAuthorization::None;
    for (const auto& country : Countries)
        highest = std::max(highest, country->Authorization);
    return highest;
}

bool TSite::HasWizardGroups() const
{
    return std::any_of(
        Groups.cbegin(), Groups.cend(), [](const auto& group) { return group->Wizard; });
}

int TSite::FindGroup(const QString& name) const
{
    for (size_t i = 0; i < Groups.size(); ++i)
        if (SameText(Groups[i]->Name, name))
            return int(i);
    return -1;
}

TCountry* TSite::FindCountry(const QString& name) const
{
    for (const auto& country : Countries)
        if (SameText(country->Name, name))
            return country.get();
    return nullptr;
}

QString TSite::PoiValue(const QString& description, const QString& element, bool required) const
{
    const TXmlNode poi = Document.Root().SelectNode(
        QStringLiteral("//pois/poi[description=%1]").arg(XPathLiteral(description)));
    if (!poi)
        throw EUserError(Tr(Msg::PoiNotInSite));
    return SelectedText(poi, element, required);
}

QString TSite::Value(const QString& element, bool required) const
{
    return SelectedText(Document.Root(), QStringLiteral("//pois/") + element, required);
}

TSite& GetSite(const QString& location)
{
    // Freed when the program ends.
    static std::vector<std::unique_ptr<TSite>> sites;
    for (const auto& site : sites)
        if (SameText(site->Location(), location))
            return *site;
    TSite& site = *sites.emplace_back(std::make_unique<TSite>(location));
    site.LoadFromCache();
    return site;
}
