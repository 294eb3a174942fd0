#include "device/fMobileBrowser.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "device/TreeViewCe.h"
#include "device/fMobileFolder.h"
#include "editor/fMDIChild.h"
#include "editor/fMain.h"
#include "modal.h"
#include "testing.h"

namespace {

class DeviceDialogTest : public ::testing::Test, public TTempDevice {
protected:
    DeviceDialogTest()
    {
        Put("My Documents/cams.ov2", Ov2Record(2, 488969, 5237403, { "Cam" }));
        InitRapi();
    }

    // The main window, shown, without the windows that wait for a user who is not there.
    static std::unique_ptr<TfmMarivelMainForm> ShownMainForm()
    {
        Settings().ShowStartupScreen = false;
        Settings().CheckEveryWeek = false;
        auto form = std::make_unique<TfmMarivelMainForm>(TCommandLine {});
        form->show();
        return form;
    }
    static QAction* Action(const QWidget& form, const QString& text)
    {
        for (QAction* action : form.actions())
            if (action->text() == text)
                return action;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }

    TBuiltInFormats Formats;
};

TEST_F(DeviceDialogTest, ChoosingAFileFillsTheFieldAndTheTypeSetsItsExtension)
{
    TfmMobileBrowser browser(nullptr, true);
    browser.SetFileName("\\My Documents\\new.gpx");
    browser.show();
    EXPECT_EQ(browser.windowTitle(), "Save Remote...");
    EXPECT_TRUE(browser.TypeCombo()->isVisible());
    QAction* remove = browser.FileList()->actions().value(1);
    ASSERT_TRUE(remove);
    EXPECT_EQ(remove->text(), "Delete");
    EXPECT_FALSE(remove->isEnabled()) << "nothing chosen to delete";
    browser.FileList()->setCurrentIndex(browser.FileList()->model()->index(0, 0));
    EXPECT_EQ(browser.FileEdit()->text(), "cams.ov2");
    EXPECT_TRUE(remove->isEnabled());
    const int gpx = browser.TypeCombo()->findText("GPS eXchange Format", Qt::MatchStartsWith);
    ASSERT_GE(gpx, 0);
    browser.TypeCombo()->setCurrentIndex(gpx);
    emit browser.TypeCombo()->activated(browser.TypeCombo()->currentIndex());
    EXPECT_EQ(browser.FileEdit()->text(), "cams.gpx");

    browser.FolderEdit()->setText("..");
    browser.FileEdit()->setText("..");
    browser.OkButton()->click();
    EXPECT_EQ(browser.FolderEdit()->text(), "\\") << "\"..\" enters the folder above";
    EXPECT_TRUE(browser.isVisible());
}

TEST_F(DeviceDialogTest, TheFolderPickerFollowsTheMaps)
{
    QDir().mkpath(Local("SD Card/Benelux-map"));
    QDir().mkpath(Local("SD Card/Other"));
    TfmMobileFolder picker;
    picker.ShowFileType(false);
    picker.show();
    ASSERT_EQ(picker.MapsCombo()->count(), 2);
    emit picker.MapsCombo()->activated(1);
    EXPECT_EQ(picker.Path(), "SD Card\\Benelux-map");
    EXPECT_EQ(picker.SelectedPath()->text(), "SD Card\\Benelux-map");
    picker.SetPath("\\SD Card\\Other\\");
    EXPECT_EQ(picker.Path(), "SD Card\\Other");
    EXPECT_EQ(picker.MapsCombo()->currentIndex(), 0) << "a folder of no map is [Other]";
    emit picker.MapsCombo()->activated(0);
    EXPECT_EQ(picker.Path(), "") << "[Other] clears the choice";
}

// The file field takes the keys, and Enter opens.
TEST_F(DeviceDialogTest, OpenRemoteOpensTheChosenFile)
{
    const auto form = ShownMainForm();
    QAction* remote = Action(*form, "Open &Remote...");
    ASSERT_TRUE(remote);
    EXPECT_EQ(remote->shortcut(), QKeySequence("Ctrl+D"));
    WhenShown<TfmMobileBrowser>([](TfmMobileBrowser& browser) {
        browser.activateWindow(); // as the desktop does, for the focus
        ASSERT_TRUE(QTest::qWaitForWindowActive(&browser));
        EXPECT_EQ(browser.windowTitle(), "Open Remote...");
        EXPECT_EQ(browser.OkButton()->text(), "Open");
        EXPECT_FALSE(browser.TypeCombo()->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), browser.FileEdit());
        EXPECT_EQ(browser.PlacesList()->currentItem()->text(), "My Device");
        EXPECT_EQ(browser.PlacesList()->item(1)->text(), "My Documents");
        QTest::keyClicks(QApplication::focusWidget(), "My Documents\\cams.ov2");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    remote->trigger();
    ASSERT_EQ(form->Documents().size(), 1);
    EXPECT_EQ(form->ActiveDocument()->Document.FileName, "MOBILE://\\My Documents\\cams.ov2");
    EXPECT_EQ(Settings().PrevRemoteDir, "\\My Documents\\");
}

TEST_F(DeviceDialogTest, SaveRemoteWritesTheDocumentAndItsIconButLosesNoEditsToAnUnpluggedDevice)
{
    QTemporaryDir local;
    WriteFileBytes(local.filePath("poi.ov2"), Ov2Record(2, 1, 2, { "A" }));
    WriteFileBytes(local.filePath("poi.bmp"), "icon");
    Settings().PrevRemoteDir = "\\My Documents\\";
    const auto form = ShownMainForm();
    form->OpenLocation(local.filePath("poi.ov2"));
    form->ActiveDocument()->Document.Entries.Items(0).SetDescription("changed");
    QAction* save = Action(*form, "Sa&ve Remote...");
    ASSERT_TRUE(save);
    WhenShown<TfmMobileBrowser>([](TfmMobileBrowser& browser) {
        EXPECT_EQ(browser.FileEdit()->text(), "poi.ov2");
        EXPECT_EQ(browser.FolderEdit()->text(), "\\My Documents\\");
        auto* extra = browser.findChild<QCheckBox*>();
        ASSERT_TRUE(extra);
        EXPECT_EQ(extra->text(), "Copy bmp file if available");
        extra->setChecked(true);
        browser.FileEdit()->setText("copy");
        browser.OkButton()->click();
    });
    save->trigger();
    EXPECT_EQ(Get("My Documents/copy.bmp"), "icon");
    EXPECT_NE(Get("My Documents/copy.ov2"), "<missing>");
    EXPECT_EQ(form->ActiveDocument()->Document.FileName, "MOBILE://\\My Documents\\copy.ov2");
    EXPECT_FALSE(form->ActiveDocument()->Document.Entries.Changed());
    EXPECT_EQ(Settings().MRU.NameAt(0), "MOBILE://\\My Documents\\copy.ov2");

    form->ActiveDocument()->Document.Insert();
    WhenShown<TfmMobileBrowser>([this](TfmMobileBrowser& browser) {
        QDir(Path()).removeRecursively(); // pulled while the dialog is open
        browser.FileEdit()->setText("new");
        browser.OkButton()->click();
    });
    EXPECT_THROW(save->trigger(), EInitRapi);
    ASSERT_EQ(form->Documents().size(), 1);
    EXPECT_TRUE(form->ActiveDocument()->Document.Entries.Changed());
}

TEST_F(DeviceDialogTest, TheTreeViewOpensFoldersOnTheWayToAPath)
{
    QDir().mkpath(Local("My Documents/Maps/Europe"));
    QStringList read;
    TTreeViewCe tree(nullptr, [&](const QString& folder) {
        read.append(folder);
        return RemoteSubfolders(folder);
    });
    tree.SetCacheDirs(false);
    tree.Reload();
    tree.show();
    tree.SetPath("\\My Documents\\Maps\\");
    EXPECT_EQ(read, QStringList({ "\\", "\\My Documents\\" }))
        << "each folder on the way read once, also without the cache";
    const QModelIndex maps = tree.currentIndex();
    tree.expand(maps);
    tree.collapse(maps);
    tree.expand(maps);
    EXPECT_EQ(read.count("\\My Documents\\Maps\\"), 2) << "read at every expansion";
}

} // namespace
