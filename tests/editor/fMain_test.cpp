#include "editor/fMain.h"

#include <array>
#include <functional>
#include <optional>
#include <tuple>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "core/uUtils.h"
#include "editor/fAbout.h"
#include "editor/fFindDups.h"
#include "editor/fMDIChild.h"
#include "editor/uLanguage.h"
#include "modal.h"
#include "platform/uMessages.h"
#include "sites/fStatus.h"
#include "sites/uUpdateItems.h"
#include "testing.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        // Their windows wait for the user, who is not there.
        Settings().ShowStartupScreen = false;
        Settings().CheckEveryWeek = false;
        Write("a.ov2", Ov2Record(2, 488969, 5237403, { "Dam" }));
        Write("b.ov2", Ov2Record(2, 100000, 200000, { "B" }) + Ov2Record(2, 1, 2, { "C" }));
    }

    void Write(const QString& name, const std::string& bytes)
    {
        WriteFileBytes(Dir.filePath(name), bytes);
    }
    QString Path(const QString& name) const { return Dir.filePath(name); }

    // A main window opened without files, shown and active.
    TfmMarivelMainForm& ShownForm()
    {
        Form.emplace(TCommandLine());
        Form->show();
        QApplication::setActiveWindow(&*Form);
        return *Form;
    }

    TBuiltInFormats Formats;
    QTemporaryDir Dir;
    std::optional<TfmMarivelMainForm> Form;
};

// The texts the status bar's panels show.
QStringList StatusTexts(const TfmMarivelMainForm& form)
{
    QStringList texts;
    for (const QLabel* panel : form.statusBar()->findChildren<QLabel*>())
        texts << panel->text();
    return texts;
}

// Captions compare without their keys' marks, which tell nothing of the command.
bool SameCaption(const QAction& action, const QString& caption)
{
    return QString(action.text()).remove('&') == QString(caption).remove('&');
}

// An action of the window itself, else of its menus and the documents.
QAction* MenuAction(QWidget& form, const QString& text)
{
    for (QAction* action : form.actions() + form.findChildren<QAction*>())
        if (SameCaption(*action, text))
            return action;
    ADD_FAILURE() << "no action " << text.toStdString();
    return nullptr;
}

// The text of the message box `action` shows, answered with `button`; its icon into `icon`.
QString MessageOf(const std::function<void()>& action, QMessageBox::StandardButton button,
    QMessageBox::Icon* icon = nullptr)
{
    QString text;
    WhenShown<QMessageBox>([&](QMessageBox& box) {
        text = box.text();
        if (icon)
            *icon = box.icon();
        box.button(button)->click();
    });
    action();
    return text;
}

} // namespace

TEST_F(MainWindowTest, OpensEachFileOnceAndShowsItInTitleAndStatus)
{
    TCommandLine commandLine;
    commandLine.Locations = { Path("a.ov2") };
    TfmMarivelMainForm form(commandLine);
    form.show();
    // The command line's files open shortly after the window.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.Documents().size() == 1; }));

    form.OpenLocation(Path("b.ov2"));
    // Another spelling of an open file, as a second start or the open dialog may hand over,
    // brings it to the front instead. Which spellings are one file, the locations' test pins.
    form.OpenLocation("FILE://" + Path("sub/../A.OV2"));
    EXPECT_EQ(form.Documents().size(), 2);
    EXPECT_EQ(form.ActiveDocument()->Document.Caption(), "a.ov2");

    form.OpenFile(form.ActiveDocument(), Path("b.ov2"), TDocument::lmAppend, QString());
    EXPECT_EQ(form.windowTitle(), "Marivel - [a.ov2*]");

    form.OpenFile(nullptr, Path("sub/../a.ov2"), TDocument::lmOpen, QString());
    EXPECT_EQ(form.Documents().size(), 3) << "opened on purpose";
    EXPECT_EQ(form.ActiveDocument()->Document.FileName, Path("a.ov2")) << "in its one spelling";
}

// An open that fails offers the other formats in a window no progress window covers. A file
// whose points are all of a kind its format does not read opens empty and unchanged, and the
// status bar says what it holds, until the next open that reads.
TEST_F(MainWindowTest, AnOpenThatFailsOrReadsNoneOfTheFilesPointsSaysWhy)
{
    // Three columns: not Destinator's layout, the first reader of csv files.
    Write("garmin.csv", "4.88969, 52.37403, \"Dam\"\r\n");
    Write("route.gpx", "<gpx><rte><rtept lat='1' lon='2'/><rtept lat='3' lon='4'/></rte></gpx>");
    TfmMarivelMainForm& form = ShownForm();
    QString asked;
    WhenShown([&](QDialog& modal) {
        asked = modal.objectName();
        for (QProgressDialog* progress : form.findChildren<QProgressDialog*>()) {
            EXPECT_FALSE(progress->isVisible());
            for (QTimer* timer : progress->findChildren<QTimer*>())
                EXPECT_FALSE(timer->isActive())
                    << "a hidden progress window shows itself again when its delay runs out";
        }
        modal.reject();
    });
    form.OpenLocation(Path("garmin.csv"));
    EXPECT_EQ(asked, "fmChooseFormat");
    EXPECT_TRUE(form.Documents().isEmpty());

    form.OpenLocation(Path("route.gpx"));
    ASSERT_EQ(form.Documents().size(), 1);
    EXPECT_EQ(form.ActiveDocument()->Document.Entries.Count(), 0);
    EXPECT_EQ(form.windowTitle(), "Marivel - [route.gpx]") << "opened unchanged";
    const QString warning = "route.gpx: no waypoints; the file holds 2 route points, which GPX "
                            "import does not read.";
    EXPECT_EQ(form.statusBar()->currentMessage(), warning);
    EXPECT_TRUE(StatusTexts(form).contains(warning)) << StatusTexts(form).join(" | ").toStdString();

    form.OpenLocation(Path("a.ov2"));
    EXPECT_EQ(form.statusBar()->currentMessage(), "") << "the next open that reads says nothing";
    EXPECT_FALSE(StatusTexts(form).contains(warning));

    // The map pointer's position is forgotten once no document is open.
    emit form.ActiveDocument()->MapPointerMoved("52.1 4.9");
    EXPECT_TRUE(StatusTexts(form).contains("52.1 4.9"));
    for (TMDIChild* document : form.Documents())
        document->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(StatusTexts(form).contains("52.1 4.9"));
}

// Which commands can be used in each state of the window, one state after the other: the
// document's follow the active document and its selection wherever the focus is in the window
// (the menu bar, the map), except in a text field. Commands nothing disables, and those the
// other tests here reach by their keys or menus (Open, Find, Find Duplicates, Copy as text,
// Insert), are left out: those would do nothing when disabled.
TEST_F(MainWindowTest, ActionsAreEnabledByTheDocumentsAndTheirSelection)
{
    enum TState {
        NoDocument,
        EditFieldFocused,
        ListFocused,
        MenuBarFocused,
        MapFocused,
        FindTextSet,
        TwoDocuments, // the new one without a selection
        OneAgain,
        States
    };
    const struct {
        const char* Caption;
        std::array<bool, States> Enabled;
    } rules[] = {
        { "A&ppend", { 0, 1, 1, 1, 1, 1, 1, 1 } },
        { "&Save", { 0, 1, 1, 1, 1, 1, 1, 1 } },
        { "Save &As...", { 0, 1, 1, 1, 1, 1, 1, 1 } },
        { "&Close", { 0, 1, 1, 1, 1, 1, 1, 1 } },
        { "Copy", { 0, 0, 1, 1, 1, 1, 0, 1 } },
        { "Cut", { 0, 0, 1, 1, 1, 1, 0, 1 } },
        { "Paste", { 0, 0, 1, 1, 1, 1, 1, 1 } },
        { "&Delete", { 0, 0, 1, 1, 1, 1, 0, 1 } },
        { "Select &All", { 0, 1, 1, 1, 1, 1, 1, 1 } },
        { "I&nvert Selection", { 0, 1, 1, 1, 1, 1, 1, 1 } },
        { "Find &Next", { 0, 0, 0, 0, 0, 1, 1, 1 } },
        { "Next Window", { 0, 0, 0, 0, 0, 0, 1, 0 } },
    };
    TfmMarivelMainForm& form = ShownForm();
    // Offscreen, as on a desktop without an icon theme, each toolbar button still has an icon.
    for (QAction* action : form.findChild<QToolBar*>("StandardToolBar")->actions())
        EXPECT_TRUE(action->isSeparator() || !action->icon().isNull())
            << action->text().toStdString();
    const auto expectState = [&](TState state) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const auto& rule : rules) {
            QAction* action = MenuAction(form, rule.Caption);
            ASSERT_NE(action, nullptr) << rule.Caption;
            EXPECT_EQ(action->isEnabled(), rule.Enabled[state])
                << rule.Caption << " in state " << state;
        }
    };
    const auto focus = [&](QWidget* widget) {
        widget->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), widget);
    };
    const auto focusList = [&] { focus(form.ActiveDocument()->findChild<QTableView*>()); };

    expectState(NoDocument);
    form.OpenLocation(Path("a.ov2"));
    form.ActiveDocument()->SelectOnly(0); // the edit fields take the focus with an entry only
    focus(form.ActiveDocument()->findChild<QLineEdit*>("edDescription"));
    expectState(EditFieldFocused);
    focusList();
    expectState(ListFocused);
    focus(form.menuBar());
    expectState(MenuBarFocused);
    focus(form.ActiveDocument()->findChild<QComboBox*>("cbMap"));
    expectState(MapFocused);
    WhenShown<QInputDialog>([](QInputDialog& dialog) {
        dialog.setTextValue("Dam");
        dialog.accept();
    });
    MenuAction(form, "&Find")->trigger();
    QApplication::setActiveWindow(&form);
    focusList();
    expectState(FindTextSet);
    form.OpenLocation(Path("b.ov2"));
    focusList();
    expectState(TwoDocuments);
    form.ActiveDocument()->parentWidget()->close();
    focusList();
    expectState(OneAgain);
}

// Ctrl+Shift+C, Delete, Insert and Ctrl+F4 reach the document in the frame; Ctrl+Z and Ctrl+Y
// (or Ctrl+Shift+Z) step its history while its list has the focus, and a text field keeps the
// keys for its own undo.
TEST_F(MainWindowTest, DocumentKeysReachTheDocumentInTheFrame)
{
    TfmMarivelMainForm& form = ShownForm();
    QAction* undo = MenuAction(form, "Undo");
    QAction* redo = MenuAction(form, "Redo");
    form.OpenLocation(Path("b.ov2"));
    TMDIChild* document = form.ActiveDocument();
    auto* list = document->findChild<QTableView*>();
    document->SelectOnly(0);
    list->setFocus();
    const auto descriptions = [&] { return Descriptions(document->Document.Entries); };
    EXPECT_TRUE(list->actions().contains(MenuAction(form, "Copy as text")))
        << "offered in the list's context menu";
    QApplication::clipboard()->clear();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), document->Document.PlainTextOf({ 0 }));
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(descriptions(), "C ");
    EXPECT_EQ(undo->text(), "&Undo Delete");
    EXPECT_EQ(undo->toolTip(), "Undo Delete") << "the toolbar button's tip";
    EXPECT_EQ(document->windowTitle(), "b.ov2*");

    document->SelectOnly(0);
    auto* description = document->findChild<QLineEdit*>("edDescription");
    description->setFocus();
    EXPECT_FALSE(undo->isEnabled());
    QTest::keyClick(description, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(descriptions(), "C ");

    list->setFocus();
    EXPECT_TRUE(undo->isEnabled());
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(descriptions(), "B C ");
    EXPECT_EQ(document->windowTitle(), "b.ov2") << "back as opened";
    EXPECT_EQ(redo->text(), "&Redo Delete");
    QTest::keyClick(list, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(descriptions(), "C ");
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(descriptions(), "C ");
    EXPECT_EQ(redo->text(), "&Redo");

    QTest::keyClick(list, Qt::Key_Insert);
    EXPECT_EQ(document->Document.Entries.Count(), 2);
    document->Document.History.setClean();
    QTest::keyClick(list, Qt::Key_F4, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.Documents().isEmpty()) << "Ctrl+F4 closes the document";
}

TEST_F(MainWindowTest, OpenDialogMatchesEverySupportedFileWithItsFirstRow)
{
    TfmMarivelMainForm& form = ShownForm();
    form.OpenLocation(Path("a.ov2")); // for Append
    for (const QString caption : { "&Open", "A&ppend" }) {
        QStringList rows, patterns;
        WhenShown<QFileDialog>([&](QFileDialog& dialog) {
            rows = dialog.nameFilters();
            // What the dialog lists the folder with: the patterns of the chosen row.
            patterns = dialog.findChild<QFileSystemModel*>()->nameFilters();
            dialog.reject();
        });
        MenuAction(form, caption)->trigger();
        ASSERT_EQ(rows.size(), ImporterCount() + 2) << caption.toStdString();
        EXPECT_EQ(rows[0],
            "All supported file types (*.ov2 *.itn *.cfg *.ovr *.asc *.csv *.dat *.gdb *.gpx "
            "*.xml *.kml *.gpi *.geojson *.kmz)");
        EXPECT_EQ(rows[1], "TomTom Binary (*.ov2)");
        EXPECT_EQ(rows.last(), "All files (*.*)");
        for (const char* file : { "a.ov2", "b.csv", "c.kml", "d.gpi", "e.geojson", "f.kmz" })
            EXPECT_TRUE(QDir::match(patterns, file)) << file;
        EXPECT_FALSE(QDir::match(patterns, "notes.txt"));
    }
}

// Stored bounds off the screen keep the title bar in sight. Exit asks to save a changed document,
// closes the window, as there is no tray to go to, and stores its bounds.
TEST_F(MainWindowTest, StoredBoundsKeepTheTitleBarInSightAndExitAsksThenStoresThem)
{
    Settings().CloseMinimizes = false;
    Settings().Left = -200;
    Settings().Top = -20;
    Settings().Width = 640;
    Settings().Height = 480;
    TfmMarivelMainForm form({});
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(form.frameGeometry().topLeft(), available.topLeft());
    EXPECT_EQ(form.size(), QSize(640, 480).boundedTo(available.size()));
    form.show();
    form.OpenLocation(Path("a.ov2"));
    form.ActiveDocument()->Document.Rename({ 0 }, "changed");
    form.move(50, 60);
    MessageOf([&] { form.Exit(); }, QMessageBox::No); // the question is the document window's
    EXPECT_TRUE(form.Documents().isEmpty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(QPoint(Settings().Left, Settings().Top), form.frameGeometry().topLeft());
    EXPECT_EQ(QSize(Settings().Width, Settings().Height), form.size());
}

// Alt+W and a digit bring a document to the front; tiled side by side, each document keeps its
// edit fields whole, scrolling them when narrow.
TEST_F(MainWindowTest, WindowMenuListsTheOpenDocumentsByNumberAndTilesThem)
{
    TfmMarivelMainForm& form = ShownForm();
    form.resize(640, 480);
    QMenu* window = MenuAction(form, "&Window")->menu();
    const auto listed = [&] {
        emit window->aboutToShow();
        QStringList shown;
        for (const QAction* action : window->actions())
            if (action->isCheckable())
                shown << action->text() + (action->isChecked() ? "*" : "");
        return shown.join(' ').toStdString();
    };
    EXPECT_EQ(listed(), "");
    form.OpenLocation(Path("a.ov2"));
    form.OpenLocation(Path("b.ov2"));
    EXPECT_EQ(listed(), "&1 a.ov2 &2 b.ov2*");
    MenuAction(form, "&1 a.ov2")->trigger();
    EXPECT_EQ(form.ActiveDocument()->Document.Caption(), "a.ov2");
    EXPECT_EQ(listed(), "&1 a.ov2* &2 b.ov2");

    form.NewDocument();
    form.NewDocument();
    MenuAction(form, "Tile &Vertically")->trigger();
    const QList<TMDIChild*> documents = form.Documents();
    for (TMDIChild* document : documents) {
        for (TMDIChild* other : documents) {
            if (other != document) {
                EXPECT_FALSE(document->parentWidget()->geometry().intersects(
                    other->parentWidget()->geometry()));
            }
        }
        auto* fields = document->findChild<QLineEdit*>("edLonSec")->parentWidget();
        EXPECT_GE(fields->width(), fields->minimumSizeHint().width());
    }
}

namespace {

// Where the desktop would have opened an address.
class TBrowser : public QObject {
    Q_OBJECT
public:
    QStringList Opened;
public slots:
    void Open(const QUrl& url) { Opened << url.toString(); }
};

} // namespace

// The language is kept for the next start, Dutch with its built translation; the program
// restarts at once only when the user agrees.
TEST_F(MainWindowTest, AChosenLanguageIsKeptAndRestartsTheProgramWhenTheUserAgrees)
{
    ASSERT_NE(FindTranslation(LanguageDutch, TranslationFolders()), "");
    TfmMarivelMainForm& form = ShownForm();
    for (const auto& [item, code, answer] : { std::tuple { "Nederlands", "NLD", QMessageBox::No },
             { "English", "ENG", QMessageBox::Yes } }) {
        SCOPED_TRACE(std::string(item) + (answer == QMessageBox::Yes ? ", yes" : ", no"));
        EXPECT_EQ(MessageOf([&] { MenuAction(form, item)->trigger(); }, answer),
            ForDisplay(Tr(Msg::RestartForLanguage)));
        EXPECT_EQ(GetLanguageExtension(), code);
        EXPECT_EQ(form.isVisible(), answer == QMessageBox::No);
        EXPECT_EQ(form.RestartRequested(), answer == QMessageBox::Yes);
    }
}

TEST_F(MainWindowTest, HelpPagesOpenTheUserGuideOrSayWhyNot)
{
    TBrowser browser;
    QDesktopServices::setUrlHandler("file", &browser, "Open");
    TfmMarivelMainForm form({});
    MenuAction(form, "Go to Marivel Page...")->trigger();
    MenuAction(form, "Online Marivel FAQ...")->trigger();
    MenuAction(form, "Go to Marivel forum...")->trigger();
    TfmAbout about(&form);
    auto* link = about.findChild<QLabel*>("HomePageLink");
    ASSERT_NE(link, nullptr);
    emit link->linkActivated(link->text());
    QDesktopServices::unsetUrlHandler("file");
    // Each page is the user guide unless set; the settings' test pins that address.
    EXPECT_EQ(browser.Opened, QStringList(4, Settings().HomePageUrl)) << "the About box's too";

    form.show();
    Settings().HelpUrl = "http://[not an address";
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    EXPECT_EQ(MessageOf([&] { MenuAction(form, "Online Marivel FAQ...")->trigger(); },
                  QMessageBox::Ok, &icon),
        "No web browser could be started to show http://[not an address.");
    EXPECT_EQ(icon, QMessageBox::Critical) << "an error shows as one";
    Settings().ForumUrl.clear();
    EXPECT_EQ(
        MessageOf([&] { MenuAction(form, "Go to Marivel forum...")->trigger(); }, QMessageBox::Ok),
        "No address is set for this page.");
}

#include "fMain_test.moc"

TEST_F(MainWindowTest, FindDuplicatesWorksOnTheActiveDocument)
{
    TfmMarivelMainForm& form = ShownForm();
    QAction* findDups = MenuAction(form, "Find Duplicates...");
    Write(
        "dups.ov2", Ov2Record(2, 100000, 200000, { "B" }) + Ov2Record(2, 100001, 200000, { "B2" }));
    form.OpenLocation(Path("a.ov2"));
    form.OpenLocation(Path("dups.ov2"));
    WhenShown<TfmFindDups>([](TfmFindDups& tool) {
        tool.Find();
        tool.ResultTree()->topLevelItem(0)->child(0)->setSelected(true);
        tool.Delete();
        tool.close();
    });
    findDups->trigger();
    EXPECT_EQ(Descriptions(form.ActiveDocument()->Document.Entries), "B ");
    EXPECT_TRUE(MenuAction(form, "Undo Delete Duplicates")->isEnabled());
}

// "AutoUpdate Now" needs items and runs them in the status window; the update switch waits the
// delay, of at most a minute; a run a device connection starts waits for the dialog the user is
// answering to close.
TEST_F(MainWindowTest, AutoUpdateNeedsItemsAndAnAutomaticRunWaitsForAnOpenDialog)
{
    // The delay before the run, -1 for none.
    const auto delay = [](bool update) {
        TCommandLine commandLine;
        commandLine.Update = update;
        TfmMarivelMainForm form(commandLine);
        EXPECT_FALSE(MenuAction(form, "AutoUpdate Now...")->isEnabled());
        const QTimer* timer = form.findChild<QTimer*>("tiAutoUpdate");
        return timer->isActive() ? timer->interval() : -1;
    };
    EXPECT_EQ(delay(false), -1);
    EXPECT_EQ(delay(true), 5000);
    Settings().AutoUpdateDelay = 600;
    EXPECT_EQ(delay(true), 60000);
    auto item = std::make_unique<TUpdateItem>();
    item->Site = QStringLiteral("FILE://") + Path("missing.xml");
    item->Poi = QStringLiteral("Cams");
    item->Target = QStringLiteral("FILE://") + Path("cams.ov2");
    item->Format = QStringLiteral("ttov2");
    AutoUpdateItems().Add(std::move(item));
    Settings().AutoUpdateDelay = 0;
    TfmMarivelMainForm& form = ShownForm();
    QDialog dialog(&form);
    QStringList runs;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* status = qobject_cast<TfmStatus*>(QApplication::activeModalWidget());
        if (status && status->Finished()) {
            runs.append(dialog.isVisible() ? "over the dialog" : status->windowTitle());
            status->close();
        }
    });
    watcher.start(20);
    QAction* now = MenuAction(form, "AutoUpdate Now...");
    ASSERT_TRUE(now->isEnabled());
    now->trigger();
    EXPECT_EQ(runs, QStringList { "Marivel AutoUpdate Status..." });

    form.StartAutoUpdate(false);
    QTimer::singleShot(300, &dialog, &QDialog::reject);
    dialog.exec();
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs.size() == 2; }));
    EXPECT_EQ(runs.value(1), "Marivel AutoUpdate Status...") << "after the dialog";
}
