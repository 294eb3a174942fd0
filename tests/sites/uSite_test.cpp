#include "sites/uSite.h"

#include "core/uUtils.h"
#include "platform/uMessages.h"
#include "sitefixture.h"

const std::string Catalogue = TestData("sites/catalogue.xml");

// Group lists, commit marks, lookups ignoring case and most fields are pinned where the manager,
// the wizard and commits use them; here what only the index itself shows.
TEST(TSite, ListsPoiFilesByCountryAndForgetsThemWhenReloaded)
{
    TSite site("http://poi.example/index.xml");
    site.LoadFromXml(Catalogue);

    ASSERT_EQ(site.Countries.size(), 2u) << "the map name matches ignoring case";
    const TCountry& nl = *site.Countries[0];
    EXPECT_EQ(nl.Name, "Netherlands") << "named as first met";
    EXPECT_EQ(nl.Pois[0]->Site, "http://poi.example/index.xml");
    EXPECT_EQ(nl.Pois[1]->Authorization, TAuthorization::None) << "any other word is none";
    EXPECT_EQ(nl.Authorization, TAuthorization::Registered);
    EXPECT_EQ(site.Countries[1]->Pois[0]->Description, "Everywhere")
        << "a repeated element overwrites";
    EXPECT_EQ(site.Authorization(), TAuthorization::Subscribed);
    EXPECT_EQ(site.ManagerPage, "http://poi.example/manager");

    // A group named twice keeps the later values.
    ASSERT_EQ(site.Groups.size(), 2u);
    EXPECT_EQ(site.FindGroup("speed"), 0);
    EXPECT_EQ(site.Groups[0]->Description, "Speed cameras");
    EXPECT_EQ(site.Groups[0]->Note, "fixed");
    EXPECT_FALSE(site.Groups[0]->Wizard) << "the later element has no wizard mark";

    site.LoadFromXml(SiteXml("<poi><description>One</description><map>Spain</map></poi>"));
    ASSERT_EQ(site.Countries.size(), 1u);
    EXPECT_EQ(site.Countries[0]->Name, "Spain");
    EXPECT_TRUE(site.Groups.empty());
    EXPECT_EQ(site.InfoUrl, "") << "absent elements clear the fields";
}

TEST(TSite, BrokenIndexesFailWithTheirMessages)
{
    TSite site("FILE:///x.xml");
    EXPECT_EQ(ErrorOf<EUserError>([&] { site.LoadFromXml("<pois><poi></pois>"); }), "Invalid xml");
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        site.LoadFromXml(SiteXml("<groups><group><description>d</description></group></groups>"));
    }),
        "Missing pois/groups/group/name node");
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        site.LoadFromXml(SiteXml("<groups><group><name>n</name></group></groups>"));
    }),
        "Missing pois/groups/group/description node");
    EXPECT_EQ(ErrorOf<EConvertError>(
                  [&] { site.LoadFromXml(SiteXml("<marivel><version>1.x</version></marivel>")); }),
        "'x' is not a valid integer value");
}

TEST(TSite, ASiteNeedingANewerProgramKeepsItsCatalogueAndVersionsCompareFromTheFirstPart)
{
    TSite site("FILE:///x.xml");
    site.LoadFromXml(Catalogue);
    const QString newer = QString::number(ProgramVersion.Major + 1);

    EXPECT_EQ(ErrorOf<EUserError>([&] {
        site.LoadFromXml(SiteXml("<marivel><version>" + newer.toStdString()
            + "</version></marivel><poi><description>New</description></poi>"));
    }),
        Tr(Msg::NeedsNewerVersion).arg(newer));
    EXPECT_EQ(site.Countries.size(), 2u);
    EXPECT_EQ(site.PoiValue("Fuel NL", "url", true), "http://poi.example/get.php?id=3")
        << "the document stays the one of the catalogue";

    const QString current =
        QStringLiteral("%1.%2").arg(ProgramVersion.Major).arg(ProgramVersion.Minor);
    site.LoadFromXml(
        SiteXml("<marivel><version>" + current.toStdString() + "</version></marivel>"));
    EXPECT_TRUE(site.Countries.empty()) << "missing version parts count as -1";

    auto error = [](const char* required, TProgramVersion program) {
        return ErrorOf<EUserError>([&] { CheckMinimumVersion(required, program); });
    };
    EXPECT_NE(error("2.5.1", { 2, 5, 0, 7 }), "no error");
    EXPECT_EQ(error("2.4.9", { 2, 5, 0, 0 }), "no error") << "an older part ends the check";
    EXPECT_EQ(error("2.5", { 2, 5, 0, 0 }), "no error") << "missing parts pass";
    EXPECT_EQ(error("2.5.0.0", { 2, 5, 0, 0 }), "no error");
    EXPECT_NE(error("2.5.0.1", { 2, 5, 0, 0 }), "no error");
    EXPECT_EQ(error("3.-1", { 3, 0, 0, 0 }), "no error") << "parts compare as signed numbers";
}

TEST(TSite, ValuesOfTheIndexByPoiAndElementAndThePoiFilesFormat)
{
    TSite site("FILE:///x.xml");
    site.LoadFromXml(SiteXml(R"(<queryerrormode>1</queryerrormode>
        <poi><description>Bob's</description><url>b</url></poi>
        <poi><description>"Bob's"</description><url>q</url><image/></poi>)"));

    EXPECT_EQ(site.PoiValue("Bob's", "url", true), "b") << "an apostrophe needs other quotes";
    EXPECT_EQ(site.PoiValue("\"Bob's\"", "url", true), "q") << "both quote kinds";
    EXPECT_EQ(site.PoiValue("\"Bob's\"", "image", true), "");
    EXPECT_EQ(site.PoiValue("Bob's", "query", false), "");
    EXPECT_EQ(ErrorOf<EUserError>([&] { site.PoiValue("Bob's", "query", true); }),
        Tr(Msg::SiteInfoInvalid));
    EXPECT_EQ(ErrorOf<EUserError>([&] { site.PoiValue("bob's", "url", false); }),
        "POI item not found in the site xml")
        << "the index is searched as written";

    EXPECT_EQ(site.Value("queryerrormode", true), "1");
    EXPECT_EQ(site.Value("onsuccess", false), "");
    EXPECT_NE(ErrorOf<EUserError>([&] { site.Value("onsuccess", true); }), "no error");

    // A POI file's extension and format id come from its format tag or its address.
    const struct {
        QString Format, Extension, FormatId;
    } cases[] = {
        { "", ".php", "" }, // from the address, its query ignored
        { "ov2.ttov2", ".ov2", "ttov2" }, { "ov2", ".ov2", "" },
        { "csv.a.b", ".csv.a",
            "a.b" }, // the extension ends at the last dot, the id after the first
    };
    TPoi poi;
    poi.Url = "http://poi.example/get.php?file=a.ov2";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Format.toStdString());
        poi.Format = c.Format;
        EXPECT_EQ(poi.Extension(), c.Extension);
        EXPECT_EQ(poi.FormatId(), c.FormatId);
    }
}
