#include "sites/fAutoUpdateManager.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include "convert/uConvertBase.h"
#include "sitefixture.h"
#include "sites/uDeviceConnect.h"

namespace {

class ManagerWindowTest : public SiteTest {
protected:
    ManagerWindowTest()
        : Site(LocalSite("index.xml",
            "<poi><description>Cams</description><url>/c.ov2</url><map>NL</map><group>speed</group>"
            "<note>Fixed cameras</note></poi>"
            "<poi><description>Fuel</description><url>/f.ov2</url><map>BE</map></poi>"))
    {
        Settings().Sites.append(Site);
        Settings().SiteManagerUrl = Site;
        Settings().SiteManagerMaximized = false;
        DesktopOpener() = [this](const QUrl& url) {
            Opened.append(url);
            return true;
        };
    }
    ~ManagerWindowTest() override
    {
        DesktopOpener() = [](const QUrl&) { return false; };
    }

    QString Site;
    QList<QUrl> Opened;
};

} // namespace

TEST_F(ManagerWindowTest, OpensOnTheStoredSiteAndKeepsTheChoiceBoundsAndStyles)
{
    {
        TfmSiteManager manager;
        EXPECT_EQ(manager.SiteList()->currentItem()->data(Qt::UserRole).toString(), Site);
        EXPECT_EQ(manager.DeleteSiteButton()->text(), "Del");
        EXPECT_EQ(manager.MapList()->topLevelItemCount(), 2);
        ASSERT_EQ(manager.GroupList()->topLevelItemCount(), 2);
        EXPECT_EQ(manager.GroupList()->topLevelItem(1)->text(0), "[All]");
        EXPECT_EQ(manager.ItemList()->topLevelItemCount(), 1);
        EXPECT_TRUE(manager.SiteCount()->text().startsWith(
            QString::number(Settings().Sites.size()) + " sites (0 hidden"));

        manager.MapList()->setCurrentItem(manager.MapList()->topLevelItem(1));
        EXPECT_EQ(manager.ItemList()->topLevelItem(0)->text(0), "Fuel");
        manager.ViewRawXml();
        EXPECT_EQ(Opened, QList<QUrl> { QUrl::fromLocalFile(Dir.filePath("index.xml")) });
        manager.reject();
    }
    EXPECT_EQ(Settings().SiteManagerMap, "BE");
    EXPECT_EQ(Settings().SiteManagerGroup, "[All]");

    // However large or far off the stored bounds, the manager opens within the work area; its
    // lists open in their stored styles.
    TSettings& settings = Settings();
    std::tie(settings.SiteManagerLeft, settings.SiteManagerTop, settings.SiteManagerWidth,
        settings.SiteManagerHeight) = std::tuple(5000, 5000, 4000, 3000);
    std::tie(settings.SiteManagerItemsView, settings.SiteManagerMapsView,
        settings.SiteManagerSitesView) = std::tuple(2, 3, 0);
    TfmSiteManager again;
    EXPECT_EQ(again.MapList()->currentItem()->text(0), "BE");
    again.show();
    QCoreApplication::processEvents();
    const QRect available = again.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(again.frameGeometry()))
        << again.frameGeometry().width() << "x" << again.frameGeometry().height() << " at "
        << again.frameGeometry().x() << "," << again.frameGeometry().y();
    EXPECT_TRUE(again.ItemList()->isHeaderHidden());
    EXPECT_TRUE(again.ItemList()->isColumnHidden(4)) << "a list shows the names alone";
    EXPECT_FALSE(again.MapList()->isHeaderHidden());
    EXPECT_EQ(again.SiteList()->viewMode(), QListView::IconMode);
}

// The lists stay on the country and POI file just subscribed, not on the first country.
TEST_F(ManagerWindowTest, SubscribingShowsTheTargetInBothLists)
{
    TfmSiteManager manager;
    manager.AskLocalFile = [&](const TTargetProposal& proposal, int& formatIndex) {
        EXPECT_EQ(proposal.FileName, "Fuel.ov2");
        formatIndex = IndexOfExporterFormat("ttov2");
        return Dir.filePath("fuel.ov2");
    };
    manager.MapList()->setCurrentItem(manager.MapList()->topLevelItem(1));
    manager.ItemList()->setCurrentItem(manager.ItemList()->topLevelItem(0));
    EXPECT_NE(ButtonOf(&manager, "Device"), nullptr)
        << "the device, not the Windows program of old";
    ButtonOf(&manager, "Local")->click();
    ASSERT_EQ(AutoUpdateItems().Count(), 1);
    EXPECT_EQ(manager.MapList()->currentItem()->text(0), "BE");
    const QTreeWidgetItem* fuel = manager.ItemList()->topLevelItem(0);
    EXPECT_TRUE(manager.ItemList()->currentItem() == fuel && fuel->isSelected());
    EXPECT_EQ(fuel->text(3), "Yes");
    EXPECT_EQ(fuel->text(4), "FILE://" + Dir.filePath("fuel.ov2"));
    ASSERT_EQ(manager.SubscribedList()->topLevelItemCount(), 1);
    EXPECT_EQ(manager.SubscribedList()->topLevelItem(0)->text(0), "Fuel");
}

TEST(SiteDialogs, HandTheTrimmedLocationAndTheAccountOver)
{
    TfmAddSite dialog;
    dialog.LocationEdit()->setText("  http://a.example/index.xml ");
    EXPECT_EQ(dialog.Location(), "http://a.example/index.xml");
    TfmAuthorization account({ "ann", "pw" });
    EXPECT_EQ(account.Credentials().Username, "ann");
    EXPECT_EQ(account.Credentials().Password, "pw");
}

// The chosen POI file's picture comes from disk or the web; "Show Info Page" shows the text of
// the page, fetched, with the way out to the browser.
TEST_F(ManagerWindowTest, ShowsThePictureOfTheChosenPoiFileAndTheInfoPage)
{
    Server.Serve("/fuel.png", QByteArray::fromStdString(TestData("sites/small.png"))); // 40x30
    WriteFileBytes(Dir.filePath("info.html"),
        "<html><head><style>h1 { color: red }</style></head><body><h1>Cameras</h1>"
        "<p>Fixed &amp; mobile</p></body></html>");
    LocalSite("index.xml",
        "<infourl>info.html</infourl><poi><description>Cams</description><url>/c.ov2</url><map>NL</"
        "map>"
        "<image>" MARIVEL_TEST_DATA "/sites/wide.png</image></poi>" // 300x150
        "<poi><description>Fuel</description><url>/f.ov2</url><map>NL</map><image>"
            + Server.Url("/fuel.png").toStdString() + "</image></poi>");

    TfmSiteManager manager;
    QTreeWidget* items = manager.ItemList();
    ASSERT_EQ(items->topLevelItemCount(), 2);
    items->setCurrentItem(items->topLevelItem(0));
    EXPECT_EQ(manager.PoiImage()->pixmap().size(), QSize(120, 60)) << "a large one is scaled";

    items->setCurrentItem(items->topLevelItem(1));
    QTRY_COMPARE(manager.PoiImage()->pixmap().size(), QSize(40, 30));

    items->setCurrentItem(items->topLevelItem(0));
    items->setCurrentItem(items->topLevelItem(1));
    items->setCurrentItem(items->topLevelItem(0));
    QTest::qWait(200); // the web answer to the earlier choice arrives and is not shown
    EXPECT_EQ(manager.PoiImage()->pixmap().size(), QSize(120, 60));

    ButtonOf(&manager, "Show Info Page")->click();
    const auto* page = manager.findChild<QTextBrowser*>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->toPlainText().contains("Fixed & mobile"); }))
        << page->toPlainText().toStdString();
    EXPECT_TRUE(page->toPlainText().startsWith(
        "Open in browser\n" + Site.section('/', 0, -2) + "/info.html"));
    EXPECT_FALSE(page->toPlainText().contains("color")) << "the text, not the markup";
}

TEST_F(ManagerWindowTest, SettingsTabWritesTheAutostartEntryAndTheWizardButtonHandsOver)
{
    QTemporaryDir config;
    const TEnvironment xdg("XDG_CONFIG_HOME", config.path());
    TfmSiteManager manager;
    auto* onConnect = ButtonOf<QCheckBox>(&manager, "AutoUpdate upon device connect");
    ASSERT_NE(onConnect, nullptr);
    EXPECT_FALSE(onConnect->isChecked());
    onConnect->setChecked(true);
    EXPECT_EQ(AutostartFile(), config.filePath("autostart/marivel.desktop"));
    const std::string entry = FileBytes(AutostartFile());
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(
        entry.find("\nExec=\"" + QApplication::applicationFilePath().toStdString() + "\" --tray\n"),
        std::string::npos)
        << entry;
    onConnect->setChecked(false);
    EXPECT_FALSE(QFileInfo::exists(AutostartFile()));
    EXPECT_TRUE(QDir(config.filePath("autostart")).isEmpty()) << "no file left behind";

    EXPECT_FALSE(manager.WantsWizard());
    ButtonOf(&manager, "Start Wizard...")->click();
    EXPECT_TRUE(manager.WantsWizard());
    EXPECT_EQ(manager.result(), QDialog::Accepted);
}
