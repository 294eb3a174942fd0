#include "sites/fAutoUpdateManager.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "sites/uUpdateItems.h"
#include "testing.h"

namespace {

class ManagerWindowTest : public ::testing::Test {
protected:
    ManagerWindowTest()
    {
        AutoUpdateItems().Clear();
        WriteFileBytes(Dir.filePath("index.xml"),
            "<pois><poi><description>Cams</description><url>/c.ov2</url><map>NL</map>"
            "<group>speed</group><note>Fixed cameras</note></poi>"
            "<poi><description>Fuel</description><url>/f.ov2</url><map>BE</map></poi></pois>");
        Site = "FILE://" + Dir.filePath("index.xml");
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
        AutoUpdateItems().Clear();
    }

    TTempConfig Config;
    TBuiltInFormats Formats;
    QTemporaryDir Dir;
    QString Site;
    QList<QUrl> Opened;
};

} // namespace

TEST_F(ManagerWindowTest, OpensOnTheStoredSiteAndKeepsTheChoiceWhenClosed)
{
    {
        TfmSiteManager manager;
        EXPECT_EQ(manager.windowTitle(), "AutoUpdate Manager");
        EXPECT_EQ(manager.Tabs()->count(), 3);
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
    TfmSiteManager again;
    EXPECT_EQ(again.MapList()->currentItem()->text(0), "BE");
}

TEST_F(ManagerWindowTest, SubscribingShowsTheTargetInBothLists)
{
    TfmSiteManager manager;
    manager.AskLocalFile = [&](const TTargetProposal& proposal, int& formatIndex) {
        EXPECT_EQ(proposal.FileName, "Cams.ov2");
        formatIndex = IndexOfExporterFormat("ttov2");
        return Dir.filePath("cams.ov2");
    };
    manager.ItemList()->topLevelItem(0)->setSelected(true);
    for (QPushButton* button : manager.findChildren<QPushButton*>())
        if (button->text() == "Local")
            button->click();
    ASSERT_EQ(AutoUpdateItems().Count(), 1);
    EXPECT_EQ(manager.ItemList()->topLevelItem(0)->text(3), "Yes");
    EXPECT_EQ(manager.ItemList()->topLevelItem(0)->text(4), "FILE://" + Dir.filePath("cams.ov2"));
    ASSERT_EQ(manager.SubscribedList()->topLevelItemCount(), 1);
    EXPECT_EQ(manager.SubscribedList()->topLevelItem(0)->text(0), "Cams");
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
