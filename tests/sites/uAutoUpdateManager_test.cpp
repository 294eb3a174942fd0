#include "sites/uAutoUpdateManager.h"

#include <QDir>

#include "convert/uConvertBase.h"
#include "core/uUtils.h"
#include "platform/uMessages.h"
#include "platform/uRegistry.h"
#include "sitefixture.h"
#include "sites/uSite.h"

namespace {

using TAnswer = IUserPrompt::TAnswer;

class ManagerTest : public SiteTest {
protected:
    ManagerTest()
        : Manager(Prompt, [this](const QString& location) -> TSite& {
            Refreshed.append(location);
            return GetSite(location);
        })
    {
        WriteFileBytes(Dir.filePath("index.xml"), TestData("sites/manager.xml"));
        SiteLocation = Target("index.xml");
        Site = &GetSite(SiteLocation);
    }

    TPoi& Poi(const QString& description) const
    {
        for (const auto& country : Site->Countries)
            if (TPoi* poi = country->FindPoi(description))
                return *poi;
        throw std::logic_error("no such POI");
    }
    static int Ov2() { return IndexOfExporterFormat("ttov2"); }

    void AddItem(const QString& poi, const QString& target, const QString& site = QString())
    {
        Subscribe(site.isNull() ? SiteLocation : site, poi, target, "ttov2");
    }

    TScriptedPrompt Prompt;
    QStringList Refreshed;
    TAutoUpdateManager Manager;
    QString SiteLocation;
    TSite* Site = nullptr;
};

} // namespace

TEST_F(ManagerTest, SiteListAddsOnceHidesBuiltInDropsUserSitesAndIsKeptAtOnceAsIsTheApplication)
{
    const QString builtIn = BuiltInSites().first();
    EXPECT_EQ(Manager.DeleteCaption(builtIn), "Hide");
    EXPECT_EQ(Manager.AddSite("  " + SiteLocation + " "), SiteLocation);
    EXPECT_EQ(Manager.DeleteCaption(SiteLocation), "Del");
    EXPECT_EQ(ErrorOf<EUserError>([&] { Manager.AddSite(SiteLocation.toLower() + "\t"); }),
        Tr(Msg::SiteListed));

    AddItem("Cameras NL", Target("c.ov2"), builtIn);
    AddItem("Fuel NL", Target("f.ov2"));
    Prompt.Answers = { TAnswer::Yes, TAnswer::No, TAnswer::Yes };
    EXPECT_TRUE(Manager.DeleteSite(builtIn));
    EXPECT_FALSE(Manager.DeleteSite(SiteLocation));
    EXPECT_EQ(Targets(), QStringList { Target("f.ov2") }) << "a refused removal keeps the items";
    EXPECT_TRUE(Manager.DeleteSite(SiteLocation));
    const QString remove = Tr(Msg::ConfirmRemoveSite);
    EXPECT_EQ(Prompt.Asked, QStringList({ Tr(Msg::ConfirmHideSite), remove, remove }));
    EXPECT_TRUE(StoredTargets().isEmpty());
    EXPECT_TRUE(Settings().Sites.contains(builtIn)) << "a hidden site stays in the list";
    EXPECT_FALSE(Settings().Sites.contains(SiteLocation));
    EXPECT_FALSE(Manager.ShownSites().contains(builtIn));
    EXPECT_EQ(Manager.HiddenCount(), 1);
    EXPECT_EQ(ErrorOf<EUserError>([&] { TAutoUpdateManager::SetApplication(Dir.filePath("no")); }),
        Tr(Msg::ApplicationMissing));
    WriteFileBytes(Dir.filePath("run.sh"), "#!/bin/sh\n");
    TAutoUpdateManager::SetApplication(Dir.filePath("run.sh"));

    ReleaseSettings(false); // the lists and the application were kept as they changed
    EXPECT_EQ(Settings().HiddenSites, QStringList { builtIn });
    EXPECT_EQ(Settings().AutoUpdateApplication, Dir.filePath("run.sh"));
    Prompt.Answers = { TAnswer::No, TAnswer::Yes };
    EXPECT_FALSE(Manager.UnhideSites());
    EXPECT_TRUE(Manager.UnhideSites());
    EXPECT_TRUE(Manager.ShownSites().contains(builtIn));
    EXPECT_FALSE(Manager.UnhideSites());
    EXPECT_EQ(Prompt.Shown, QStringList { Tr(Msg::NoHiddenSites) });
}

TEST_F(ManagerTest, NewSiteNeedsAKnownPrefixAndAnExistingFileOrAHost)
{
    const auto error = [](const QString& location) {
        return ErrorOf<EUserError>([&] { TAutoUpdateManager::CheckNewSite(location); });
    };
    EXPECT_EQ(error("www.a.example/i.xml"), Tr(Msg::InvalidSiteLocation));
    const QString gone = "file://" + Dir.filePath("gone.xml");
    EXPECT_EQ(error(gone), Tr(Msg::FileNotFound).arg(gone));
    for (const QString bad : { "http://a.", "http://a b/i.xml" })
        EXPECT_EQ(error(bad), Tr(Msg::InvalidUrl).arg(bad));
    EXPECT_NO_THROW(TAutoUpdateManager::CheckNewSite("HTTP://a.b"));
    EXPECT_NO_THROW(TAutoUpdateManager::CheckNewSite(" " + SiteLocation));
    // A full address pasted behind the field's "http://" counts once.
    EXPECT_EQ(TAutoUpdateManager::SiteAddress(" http://HTTP://a.b/i.xml"), "HTTP://a.b/i.xml");
    EXPECT_EQ(TAutoUpdateManager::SiteAddress("http://http://file:///x.xml"), "file:///x.xml");
    EXPECT_EQ(TAutoUpdateManager::SiteAddress("http://a.b/?u=http://c"), "http://a.b/?u=http://c");
    EXPECT_NO_THROW(TAutoUpdateManager::CheckNewSite("http://http://a.b/i.xml"));
}

TEST_F(ManagerTest, OpeningASiteWithoutIndexFailsOrOffersTheDownload)
{
    EXPECT_EQ(Manager.OpenSite(SiteLocation), Site);
    EXPECT_EQ(&GetSite(SiteLocation.toUpper()), Site) << "each site is loaded once";
    const QString gone = "FILE://" + Dir.filePath("gone.xml");
    EXPECT_EQ(ErrorOf<EUserError>([&] { Manager.OpenSite(gone); }),
        Tr(Msg::LocalSiteGone).arg(Dir.filePath("gone.xml")));

    TEnvironment home("MARIVEL_HOME", Dir.path());
    const QString web = "http://site.example/never.xml";
    Prompt.Answers = { TAnswer::No, TAnswer::Yes };
    EXPECT_EQ(Manager.OpenSite(web), nullptr);
    EXPECT_TRUE(Refreshed.isEmpty());
    EXPECT_NE(Manager.OpenSite(web), nullptr);
    EXPECT_EQ(Refreshed, QStringList { web });
    EXPECT_EQ(Prompt.Asked.value(0), Tr(Msg::SiteNotDownloaded).arg(web));
    EXPECT_EQ(
        ErrorOf<EUserError>([&] { TAutoUpdateManager::SiteXmlFile(web); }), Tr(Msg::NoSiteXmlFile));
}

TEST_F(ManagerTest, GroupsShowTheSiteDescriptionAndEndWithAll)
{
    const TCountry& dutch = *Site->Countries[0];
    const std::vector<TGroupRow> rows = TAutoUpdateManager::GroupRows(*Site, dutch);
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0].Caption, "Speed") << "a group the site does not declare shows its name";
    EXPECT_EQ(rows[1].Caption, "Fuel stations");
    EXPECT_EQ(rows[2].Caption, "[All]");
    EXPECT_EQ(TAutoUpdateManager::PoisOf(dutch, rows[1]).size(), 2U);
    EXPECT_EQ(TAutoUpdateManager::PoisOf(dutch, rows[0]).size(), 1U);
    EXPECT_EQ(TAutoUpdateManager::PoisOf(dutch, rows[2]).size(), 2U);
    EXPECT_EQ(TAutoUpdateManager::CountryCaption(*Site->Countries.back()), "[Other]");
    EXPECT_EQ(TAutoUpdateManager::AuthorizationCaption(Poi("Fuel NL")), "Registered");
    EXPECT_EQ(TAutoUpdateManager::AuthorizationCaption(Poi("Loose")), "None");
}

TEST_F(ManagerTest, LocalSubscriptionStartsFromTheSiteFormatAndRefusesATakenTarget)
{
    Settings().InitialDir = Dir.path();
    TTargetProposal first = Manager.ProposeLocalTarget(*Site, Poi("a/b"));
    EXPECT_EQ(first.FileName, "a_b.ov2");
    EXPECT_EQ(first.Folder, Dir.path());
    EXPECT_EQ(first.FormatIndex, FindExporter(".ov2", ""));

    WriteFileBytes(Dir.filePath("mine.inf"), "stamp");
    Manager.SubscribeLocal(
        *Site, Poi("Cameras NL"), Dir.filePath("mine"), IndexOfExporterFormat("gengpx"));
    ASSERT_EQ(StoredTargets(), QStringList { Target("mine.gpx") })
        << "the filter's extension is added";
    const TUpdateItem& item = AutoUpdateItems().Items(0);
    EXPECT_EQ(item.Country, "Netherlands");
    EXPECT_EQ(item.Format, "gengpx");
    EXPECT_EQ(item.Site, SiteLocation);
    EXPECT_FALSE(QFile::exists(Dir.filePath("mine.inf")));

    const TTargetProposal again = Manager.ProposeLocalTarget(*Site, Poi("Cameras NL"));
    EXPECT_EQ(again.FileName, "Cameras NL.gpx");
    EXPECT_EQ(again.FormatIndex, IndexOfExporterFormat("gengpx"));

    Manager.SubscribeLocal(*Site, Poi("Cameras NL"), Dir.filePath("moved.ov2"), Ov2());
    EXPECT_EQ(StoredTargets(), QStringList { Target("moved.ov2") }) << "one item per POI file";

    AddItem("Fuel NL", Target("taken.ov2"));
    EXPECT_EQ(ErrorOf<EUserError>([&] {
        Manager.SubscribeLocal(*Site, Poi("Cameras NL"), Dir.filePath("TAKEN.ov2"), Ov2());
    }),
        Tr(Msg::TargetTaken));
    EXPECT_EQ(StoredTargets(), QStringList({ Target("moved.ov2"), Target("taken.ov2") }))
        << "the earlier items are kept";
}

TEST_F(ManagerTest, SeveralFilesRefuseCollisionsTakenTargetsAndMixedKinds)
{
    const std::vector<TPoi*> twins { &Poi("a/b"), &Poi("A|B") }; // targets compare ignoring case
    EXPECT_EQ(ErrorOf<EUserError>([&] { Manager.SubscribeMany(*Site, twins, Target(""), Ov2()); }),
        Tr(Msg::TargetFolderCollides));

    AddItem("Fuel NL", Target("Cameras NL.ov2"));
    const std::vector<TPoi*> two { &Poi("Cameras NL"), &Poi("Loose") };
    EXPECT_EQ(ErrorOf<EUserError>([&] { Manager.SubscribeMany(*Site, two, Target(""), Ov2()); }),
        Tr(Msg::TargetsTaken));
    EXPECT_EQ(StoredTargets(), QStringList { Target("Cameras NL.ov2") });

    AddItem("Cameras NL", "MOBILE://\\c.ov2");
    const std::vector<TPoi*> mixed { &Poi("Fuel NL"), &Poi("Cameras NL") };
    EXPECT_EQ(ErrorOf<EUserError>([&] { TAutoUpdateManager::CheckSameTargetKind(*Site, mixed); }),
        Tr(Msg::MixedTargets));
    EXPECT_NO_THROW(TAutoUpdateManager::CheckSameTargetKind(*Site, two));
}

TEST_F(ManagerTest, SeveralFilesAskBeforeTakingOverExistingFilesAndMayGoToTheDevice)
{
    QDir(Dir.path()).mkdir("out");
    const QString out = Target("out");
    WriteFileBytes(Dir.filePath("out/Loose.ov2"), "old");
    AddItem("Cameras NL", out + "/Cameras NL.ov2");
    const std::vector<TPoi*> two { &Poi("Cameras NL"), &Poi("Loose") };
    Prompt.Answers = { TAnswer::No, TAnswer::Yes };
    EXPECT_FALSE(Manager.SubscribeMany(*Site, two, out, Ov2()));
    EXPECT_EQ(StoredTargets(), QStringList { out + "/Cameras NL.ov2" });
    EXPECT_TRUE(Manager.SubscribeMany(*Site, two, out, Ov2()));
    EXPECT_EQ(StoredTargets(), QStringList({ out + "/Cameras NL.ov2", out + "/Loose.ov2" }))
        << "a file's own item is moved, not doubled";
    EXPECT_EQ(Prompt.Asked.size(), 2);

    Prompt.Asked.clear();
    EXPECT_TRUE(Manager.SubscribeMany(*Site, two, out, Ov2()));
    EXPECT_TRUE(Prompt.Asked.isEmpty()) << "files of the items themselves are no surprise";

    // Device targets are mobile locations in the chosen folder.
    TTempDevice device;
    device.Put("PMV/Fuel NL.inf", "stamp");
    EXPECT_TRUE(Manager.SubscribeMany(*Site, { &Poi("Fuel NL") }, "MOBILE://\\PMV", Ov2()));
    EXPECT_EQ(StoredTargets().value(2), "MOBILE://\\PMV\\Fuel NL.ov2");
    EXPECT_FALSE(QFile::exists(device.Local("PMV/Fuel NL.inf")));
}

TEST_F(ManagerTest, UnsubscribeAsksAndRunsGetSortedCopies)
{
    AddItem("Cameras NL", Target("z.ov2"), "http://z.example/i.xml");
    AddItem("Fuel NL", Target("a.ov2"));
    Prompt.Answers = { TAnswer::No };
    EXPECT_FALSE(Manager.Unsubscribe({ Target("a.ov2") }));
    TUpdateItems run;
    TAutoUpdateManager::ItemsOf({ Target("z.ov2"), Target("a.ov2") }, run);
    ASSERT_EQ(run.Count(), 2);
    EXPECT_EQ(run.Items(0).Target, Target("a.ov2")) << "sorted by site";

    Prompt.Answers = { TAnswer::Yes };
    EXPECT_TRUE(Manager.Unsubscribe({ Target("a.ov2") }));
    EXPECT_EQ(StoredTargets(), QStringList { Target("z.ov2") });
    EXPECT_EQ(Prompt.Asked.last(), Tr(Msg::ConfirmUnsubscribe));
}

TEST_F(ManagerTest, PocketMarivelGetsOnlyDeviceItemsInTheSiteFormat)
{
    TTempDevice device;
    AddItem("Fuel NL", Target("f.ov2"));
    EXPECT_EQ(ErrorOf<EUserError>([&] { Manager.SendToPocketMarivel({ Target("f.ov2") }); }),
        Tr(Msg::NoDeviceItems));

    AddItem("Fuel NL", "MOBILE://\\f.ov2");
    EXPECT_EQ(ErrorOf<EUserError>([&] { Manager.SendToPocketMarivel({ "MOBILE://\\f.ov2" }); }),
        Tr(Msg::PmvCannotConvert).arg("Fuel NL", "gengpx"));

    AddItem("Cameras NL", "MOBILE://\\c.ov2");
    Settings().PMVAlternateDir = "\\Missing";
    EXPECT_TRUE(ErrorOf<EUserError>([&] {
        Manager.SendToPocketMarivel({ "MOBILE://\\c.ov2" });
    }).startsWith(Tr(Msg::PmvNotInstalled)));

    device.Put("PMV/keep", "");
    Settings().PMVAlternateDir = "\\PMV";
    WriteSiteCredentials(SiteLocation, { "ann", "secret" });
    Manager.SendToPocketMarivel({ "MOBILE://\\c.ov2", Target("f.ov2") });
    EXPECT_EQ(Prompt.Shown, QStringList { Tr(Msg::PmvSaved) });
    EXPECT_EQ(QString::fromStdString(device.Get("PMV/settings.xml")),
        QString::fromStdString(TestData("sites/pmv-settings.xml"))
            .trimmed()
            .replace("SITE", SiteLocation));
}
