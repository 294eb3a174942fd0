#include "sites/uAutoUpdateWizard.h"

#include "platform/uMessages.h"
#include "sitefixture.h"
#include "sites/uSite.h"

namespace {

using TPage = TWizardPage;
using TAnswer = IUserPrompt::TAnswer;

// "speed" (Speed cameras), marked for the wizard, and "fuel" (Fuel stations).
const std::string WizardGroups = TestData("sites/wizard-groups.xml");

std::string Poi(const std::string& name, const std::string& group, const std::string& extra = "")
{
    return "<poi><description>" + name + "</description><url>http://x/" + name
        + ".csv</url><format>csv</format><map>Holland</map><group>" + group + "</group>" + extra
        + "</poi>";
}

class WizardTest : public SiteTest {
protected:
    WizardTest()
        : Wizard(Prompt, [this](const QString& location, bool force) {
            Fetched.append(location + (force ? " fresh" : " cached"));
        })
    {
    }

    // A local site with `body`, chosen on the "Sites" page.
    void ChooseSite(const std::string& body, const char* name = "site.xml")
    {
        Wizard.SiteLocation = LocalSite(name, body);
        while (Wizard.Page() > TPage::Sites)
            Wizard.Back();
        if (Wizard.Page() == TPage::Default) {
            ASSERT_TRUE(Wizard.Next());
        }
    }

    // Through every page to "Finish", subscribing `group` of Holland into the test folder.
    void RunThrough(const QString& group, TWizardTarget target, const QString& format = {})
    {
        ASSERT_TRUE(Wizard.Next()); // Sites
        while (Wizard.Page() != TPage::Groups)
            ASSERT_TRUE(Wizard.Next());
        Wizard.Country = QStringLiteral("holland");
        Wizard.Group = group;
        Wizard.Target = target;
        Wizard.Folder = Dir.path();
        Wizard.FormatId = format;
        while (Wizard.Page() != TPage::Finish)
            ASSERT_TRUE(Wizard.Next());
    }

    TScriptedPrompt Prompt;
    QStringList Fetched;
    TAutoUpdateWizard Wizard;
};

} // namespace

TEST_F(WizardTest, SitesPageFetchesWebSitesAndAuthenticationIsOnlyForSitesThatNeedIt)
{
    const QString web = Server.Url(QStringLiteral("/never-fetched.xml"));
    Wizard.SiteLocation = web;
    Wizard.ForceDownload = true;
    ASSERT_TRUE(Wizard.Next());
    EXPECT_EQ(ErrorOf<EUserError>([&] { Wizard.Next(); }), Tr(Msg::SiteXmlMissing));
    EXPECT_EQ(Wizard.Page(), TPage::Sites);

    ChooseSite(Poi("Fixed", "speed"));
    ASSERT_TRUE(Wizard.Next());
    EXPECT_EQ(Wizard.Page(), TPage::Groups);
    Wizard.Back();
    EXPECT_EQ(Wizard.Page(), TPage::Sites) << "back skips it too";

    ChooseSite(Poi("Fixed", "speed", "<authorization>Registered</authorization>"), "auth.xml");
    ASSERT_TRUE(Wizard.Next());
    EXPECT_EQ(Wizard.Page(), TPage::Authentication);
    Wizard.Credentials = { QStringLiteral("bob"), QStringLiteral("pw") };
    ASSERT_TRUE(Wizard.Next());
    EXPECT_EQ(Wizard.Page(), TPage::Groups);
    EXPECT_EQ(ReadSiteCredentials(Wizard.SiteLocation).Username, "bob");
    Wizard.Back();
    EXPECT_EQ(Wizard.Page(), TPage::Authentication);
    EXPECT_EQ(Fetched, QStringList { web + " fresh" }) << "a local index is read where it is";
}

TEST_F(WizardTest, GroupsOfferedFollowTheWizardMarks)
{
    ChooseSite(WizardGroups + Poi("Fixed", "speed") + Poi("Shell", "fuel") + Poi("Hotel", "sleep"));
    ASSERT_TRUE(Wizard.Next());
    EXPECT_EQ(Wizard.CountryNames(), QStringList { "Holland" });
    Wizard.Country = QStringLiteral("Holland");
    auto groups = Wizard.Groups();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].Caption, "Speed cameras");
    EXPECT_EQ(groups[1].Caption, Tr(Msg::OtherGroups));
    EXPECT_TRUE(groups[1].Name.isEmpty());

    ChooseSite(Poi("Shell", "fuel") + Poi("Hotel", "sleep")
            + "<groups><group><name>fuel</name><description>Fuel stations</description>"
              "</group></groups>",
        "plain.xml");
    ASSERT_TRUE(Wizard.Next());
    groups = Wizard.Groups();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].Caption, "Fuel stations");
    EXPECT_EQ(groups[1].Caption, "sleep") << "a group the site does not describe shows its name";
}

TEST_F(WizardTest, TargetPageNeedsAnExistingFolder)
{
    ChooseSite(Poi("Shell", "fuel"));
    while (Wizard.Page() != TPage::Target)
        ASSERT_TRUE(Wizard.Next());
    EXPECT_EQ(ErrorOf<EUserError>([&] { Wizard.Next(); }), Tr(Msg::DestDirMissing));
    Wizard.Folder = Dir.filePath("gone");
    EXPECT_EQ(ErrorOf<EUserError>([&] { Wizard.Next(); }), Tr(Msg::DestDirMissing));
    EXPECT_EQ(Wizard.Page(), TPage::Target);
    Wizard.Target = TWizardTarget::DeviceMap; // a path on the device
    EXPECT_TRUE(Wizard.Next());
}

TEST_F(WizardTest, LocalFolderTakesTheChosenFormatAndAllPoisWithoutAGroup)
{
    ChooseSite(Poi("Shell", "fuel") + Poi("Hotel", "sleep"));
    RunThrough(QString(), TWizardTarget::LocalFolder, QStringLiteral("gengpx"));
    EXPECT_EQ(Targets(), QStringList({ Target("Shell.gpx"), Target("Hotel.gpx") }));
    EXPECT_EQ(AutoUpdateItems().Items(0).Format, "gengpx");
}

// A navigator's targets are OV2 files named after the POIs, whatever the site offers.
TEST_F(WizardTest, TargetsFollowTheChosenKindAreNotTakenFromOthersAndASecondRunAsksToClear)
{
    ChooseSite(
        WizardGroups + Poi("Fixed", "speed") + Poi("Mobile/Radar", "speed") + Poi("Shell", "fuel"));
    RunThrough(QStringLiteral("speed"), TWizardTarget::TomTomGo);
    EXPECT_EQ(Targets(), QStringList({ Target("Fixed.ov2"), Target("Mobile_Radar.ov2") }));
    const TUpdateItem& item = AutoUpdateItems().Items(0);
    EXPECT_EQ(item.Format, "ttov2");
    EXPECT_EQ(item.Poi, "Fixed");
    EXPECT_EQ(item.Country, "Holland");
    EXPECT_EQ(item.Site, Wizard.SiteLocation);
    AutoUpdateItems().Load();
    ASSERT_EQ(AutoUpdateItems().Count(), 2) << "saved";

    TAutoUpdateWizard second(Prompt, {});
    second.SiteLocation = Wizard.SiteLocation;
    ASSERT_TRUE(second.Next());
    Prompt.Answers = { TAnswer::No };
    EXPECT_FALSE(second.Next());
    EXPECT_EQ(second.Page(), TPage::Sites);
    EXPECT_EQ(AutoUpdateItems().Count(), 2);
    Prompt.Answers = { TAnswer::Yes };
    EXPECT_TRUE(second.Next());
    EXPECT_EQ(Prompt.Asked, QStringList(2, Tr(Msg::ClearSiteItems)));
    AutoUpdateItems().Load();
    EXPECT_EQ(AutoUpdateItems().Count(), 0) << "removed and saved";

    // Targets another item writes are refused.
    Subscribe("http://other/index.xml", "Else", Target("FIXED.ov2"));
    ChooseSite(Poi("Fixed", "speed"), "taken.xml");
    EXPECT_EQ(ErrorOf<EUserError>([&] { RunThrough("speed", TWizardTarget::TomTomGo); }),
        Tr(Msg::TargetsTaken));
    EXPECT_EQ(Wizard.Page(), TPage::Ready);
    EXPECT_EQ(Targets(), QStringList { Target("FIXED.ov2") }) << "the earlier item is kept";

    ChooseSite(Poi("A:B", "x") + Poi("A/B", "x"), "twins.xml");
    EXPECT_EQ(ErrorOf<EUserError>([&] { RunThrough("x", TWizardTarget::TomTomGo); }),
        Tr(Msg::TargetFolderCollides));
    EXPECT_EQ(Targets(), QStringList { Target("FIXED.ov2") });
}
