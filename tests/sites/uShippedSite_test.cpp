#include <QFile>

#include "convert/uConvertOv2.h"
#include "locations/uLocations.h"
#include "sites/uAutoUpdate.h"
#include "sites/uSite.h"
#include "testing.h"

// The site the build makes from tzdata and the program lists first; read here where the build
// tree keeps it, found the way the program finds it.

namespace {

// The zones tzdata lists, each one city of the site.
int ZoneCount()
{
    const std::string table = FileBytes("/usr/share/zoneinfo/zone1970.tab");
    int count = 0;
    for (const QByteArray& line : QByteArray::fromStdString(table).split('\n'))
        count += !line.isEmpty() && !line.startsWith('#');
    return count;
}

std::unique_ptr<TEntries> PoiFile(const TPoi& poi)
{
    auto entries = std::make_unique<TEntries>();
    EXPECT_FALSE(poi.Url.contains('/')) << "relative, for a moved site: " << poi.Url.toStdString();
    const QString location = MakeAbsoluteUrl(poi.Url, ShippedSiteLocation());
    ImportInto<TConvertFromOv2>(*entries, FileBytes(StripFilePrefix(location)));
    return entries;
}

const TEntry* EntryNamed(const TEntries& entries, const std::string& prefix)
{
    for (int i = 0; i < entries.Count(); ++i)
        if (entries.Items(i).Description().starts_with(prefix))
            return &entries.Items(i);
    return nullptr;
}

} // namespace

TEST(ShippedSite, IsTheFirstBuiltInSiteAndListsEveryTimeZoneCityByArea)
{
    ASSERT_EQ(BuiltInSites().first(), ShippedSiteLocation());
    ASSERT_TRUE(QFile::exists(LocalCopyName(ShippedSiteLocation())))
        << "made by the build: " << ShippedSiteLocation().toStdString();
    const TSite& site = GetSite(ShippedSiteLocation());

    ASSERT_EQ(site.Groups.size(), 2u);
    EXPECT_EQ(site.Groups[0]->Description, "Time-zone cities");
    EXPECT_EQ(site.Groups[1]->Description, "Zones shared by several countries");
    EXPECT_TRUE(site.HasWizardGroups());
    ASSERT_GE(site.Countries.size(), 5u);
    for (const char* area : { "Africa", "America", "Asia", "Europe", "Pacific" })
        EXPECT_NE(site.FindCountry(area), nullptr) << area;
    EXPECT_EQ(site.AddUrl, "") << "the site takes no commits";

    const TCountry& asia = *site.FindCountry("Asia");
    EXPECT_EQ(asia.GroupNames, QStringList({ "timezone-cities", "shared-zones" }));
    EXPECT_TRUE(asia.CommitGroupNames.isEmpty());
    ASSERT_EQ(asia.PoisOfGroup("shared-zones").size(), 1u);
    const TPoi& shared = *asia.PoisOfGroup("shared-zones").front();
    EXPECT_EQ(shared.Extension(), ".ov2");
    EXPECT_EQ(shared.FormatId(), "ttov2");
    EXPECT_NE(EntryNamed(*PoiFile(shared), "Dubai, United Arab Emirates, Oman"), nullptr)
        << "a zone several countries follow";

    // Every file reads back, each zone once.
    int cities = 0;
    for (const auto& country : site.Countries) {
        for (const TPoi* poi : country->AllPois()) {
            const auto entries = PoiFile(*poi);
            EXPECT_GT(entries->Count(), 0) << poi->Description.toStdString();
            EXPECT_EQ(poi->Note, QStringLiteral("%1 places").arg(entries->Count()));
            EXPECT_EQ(site.PoiValue(poi->Description, "map", true), country->Name);
            if (poi->Groups.contains("timezone-cities"))
                cities += entries->Count();
        }
    }
    EXPECT_EQ(cities, ZoneCount()) << "each zone once";

    const auto europe = PoiFile(*site.FindCountry("Europe")->PoisOfGroup("timezone-cities")[0]);
    const TEntry* andorra = EntryNamed(*europe, "Andorra, Andorra");
    ASSERT_NE(andorra, nullptr) << Descriptions(*europe);
    EXPECT_NEAR(andorra->Latitude(), 42.5, 1e-5); // +4230+00131
    EXPECT_NEAR(andorra->Longitude(), 1 + 31.0 / 60, 1e-5);
    const auto america = PoiFile(*site.FindCountry("America")->PoisOfGroup("timezone-cities")[0]);
    const TEntry* west = EntryNamed(*america, "Los Angeles, United States");
    ASSERT_NE(west, nullptr);
    EXPECT_NEAR(west->Latitude(), 34 + 3.0 / 60 + 8.0 / 3600, 1e-5); // +340308-1181434
    EXPECT_NEAR(west->Longitude(), -(118 + 14.0 / 60 + 34.0 / 3600), 1e-5);
}
