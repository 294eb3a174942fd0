#include "editor/fMain.h"

#include <algorithm>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "device/Rapi.h"
#include "device/fMobileBrowser.h"
#include "device/uMobileBrowse.h"
#include "editor/fAbout.h"
#include "editor/fBatchConvert.h"
#include "editor/fChooseFormat.h"
#include "editor/fFindDups.h"
#include "editor/fMDIChild.h"
#include "editor/fMinimize.h"
#include "editor/fPreferences.h"
#include "editor/fReport.h"
#include "editor/fStartup.h"
#include "editor/uFileCommands.h"
#include "editor/uLanguage.h"
#include "locations/uLocations.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "sites/fAutoUpdateManager.h"
#include "sites/fAutoUpdateWizard.h"
#include "sites/fCommit.h"
#include "sites/fRetrieveVersionInfo.h"
#include "sites/fStatus.h"
#include "sites/uDeviceConnect.h"
#include "sites/uUpdateItems.h"
#include "widgets/fCoordsCalculator.h"
#include "widgets/fDialogs.h"
#include "widgets/uBrowser.h"
#include "widgets/uCursors.h"
#include "widgets/uWindowBounds.h"

namespace {

constexpr int RecentFileActions = 9;

// The open dialog's filter rows: row 1 is every supported type, row k >= 2 importer k - 2.
QStringList OpenNameFilters() { return DialogNameFilters(OpenFilter()); }

// The importer format id of an open dialog's filter row (0-based); empty for the first.
QString FormatIdOfOpenFilter(int row) { return row >= 1 ? ImporterFormatId(row - 1) : QString(); }

QString LocalLocation(const QString& path) { return QStringLiteral("FILE://") + path; }

} // namespace

TfmMarivelMainForm::TfmMarivelMainForm(const TCommandLine& commandLine)
    : CommandLine(commandLine)
    , Prompt(this)
    , Area(new QMdiArea(this))
    , tiAutoUpdate(new QTimer(this))
{
    setWindowTitle(QLatin1String(Msg::ApplicationTitle));
    setAcceptDrops(true);
    Area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(Area);
    CreateActions();
    CreateMenus();
    CreateStatusBar();
    CreateTrayIcon();
    ApplyCloseShortcuts();
    Cursors = std::make_unique<TCursors>();
    ApplyStoredBounds();
    LoadPlugins();
    connect(Area, &QMdiArea::subWindowActivated, this, [this] {
        UpdateStatus();
        UpdateActions();
    });
    connect(qApp, &QApplication::focusChanged, this,
        [this](QWidget*, QWidget* now) { TrackFocus(now); });
    UpdateRecentFiles();
    UpdateStatus();
    UpdateActions();
    QTimer::singleShot(100, this, &TfmMarivelMainForm::OpenCommandLineFiles);
    tiAutoUpdate->setObjectName(QStringLiteral("tiAutoUpdate"));
    tiAutoUpdate->setSingleShot(true);
    connect(tiAutoUpdate, &QTimer::timeout, this, &TfmMarivelMainForm::RunScheduledAutoUpdate);
    if (CommandLine.Update)
        StartAutoUpdate(CommandLine.Silent);
    QTimer::singleShot(1000, this, &TfmMarivelMainForm::WeeklyVersionCheck);
    WatchForDevices();
}

TfmMarivelMainForm::~TfmMarivelMainForm()
{
    // The documents and the focus would still report to a window whose members are gone.
    disconnect(qApp, nullptr, this, nullptr);
    Area->disconnect(this);
    for (TMDIChild* document : findChildren<TMDIChild*>())
        document->disconnect(this);
}

QAction* TfmMarivelMainForm::AddAction(const QString& category, const QString& caption,
    const QKeySequence& shortcut, void (TfmMarivelMainForm::*slot)())
{
    auto* action = new QAction(caption, this);
    action->setShortcut(shortcut);
    action->setProperty("category", category);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
}

void TfmMarivelMainForm::CreateActions()
{
    const QString file = tr("File"), edit = tr("Edit"), window = tr("Window"), help = tr("Help"),
                  autoUpdate = tr("AutoUpdate");
    acFileNew =
        AddAction(file, tr("&New"), QKeySequence(tr("Ctrl+N")), &TfmMarivelMainForm::FileNew);
    acFileOpen =
        AddAction(file, tr("&Open"), QKeySequence(tr("Ctrl+O")), &TfmMarivelMainForm::FileOpen);
    acFileAppend = AddAction(file, tr("A&ppend"), {}, &TfmMarivelMainForm::FileAppend);
    acFileSave =
        AddAction(file, tr("&Save"), QKeySequence(tr("Ctrl+S")), &TfmMarivelMainForm::FileSave);
    acFileSaveAs = AddAction(file, tr("Save &As..."), {}, &TfmMarivelMainForm::FileSaveAs);
    acFileClose =
        AddAction(file, tr("&Close"), QKeySequence(tr("Ctrl+F4")), &TfmMarivelMainForm::FileClose);
    acFileReconnect = AddAction(file, tr("Reconnec&t"), {}, &TfmMarivelMainForm::FileReconnect);
    acFileRemote = AddAction(file, tr("Open &Remote..."), QKeySequence(tr("Ctrl+D")),
        &TfmMarivelMainForm::FileOpenRemote);
    acFileSaveRemote =
        AddAction(file, tr("Sa&ve Remote..."), {}, &TfmMarivelMainForm::FileSaveRemote);
    // Until the preferences dialog offers it.
    acHide = AddAction(file, tr("&Hide In Tray"), {}, &TfmMarivelMainForm::HideInTray);
    acFileExit = AddAction(file, tr("E&xit"), {}, &TfmMarivelMainForm::Exit);
    for (int i = 0; i < RecentFileActions; ++i) {
        auto* recent = new QAction(this);
        recent->setProperty("category", QStringLiteral("MRU"));
        connect(recent, &QAction::triggered, this, [this, i] {
            const TSafeStringList& recentFiles = Settings().MRU;
            const QString location = recentFiles.NameAt(i);
            if (TMDIChild* open = DocumentOf(location))
                Activate(open);
            else
                OpenFile(nullptr, location, TDocument::lmOpen, recentFiles.ValueAt(i));
        });
        RecentActions.append(recent);
    }
    acEditUndo = AddAction(edit, tr("&Undo"), QKeySequence::Undo, &TfmMarivelMainForm::EditUndo);
    acEditRedo = AddAction(edit, tr("&Redo"), {}, &TfmMarivelMainForm::EditRedo);
    acEditRedo->setShortcuts({ QKeySequence(tr("Ctrl+Y")), QKeySequence(tr("Ctrl+Shift+Z")) });
    acEditCopy =
        AddAction(edit, tr("&Copy"), QKeySequence(tr("Ctrl+C")), &TfmMarivelMainForm::EditCopy);
    acCopyText = AddAction(edit, tr("Copy as te&xt"), QKeySequence(tr("Ctrl+Shift+C")),
        &TfmMarivelMainForm::EditCopyText);
    acEditCut =
        AddAction(edit, tr("Cu&t"), QKeySequence(tr("Ctrl+X")), &TfmMarivelMainForm::EditCut);
    acEditPaste =
        AddAction(edit, tr("&Paste"), QKeySequence(tr("Ctrl+V")), &TfmMarivelMainForm::EditPaste);
    acEditDelete =
        AddAction(edit, tr("&Delete"), QKeySequence::Delete, &TfmMarivelMainForm::EditDelete);
    acEditInsert = AddAction(edit, tr("&Insert"), Qt::Key_Insert, &TfmMarivelMainForm::EditInsert);
    // The document's own Insert and Delete take these keys where its list has the focus; the
    // menu only shows them, as two actions on one key would leave the key to neither.
    acEditInsert->setShortcutContext(Qt::WidgetShortcut);
    acEditDelete->setShortcutContext(Qt::WidgetShortcut);
    acEditSelectAll = AddAction(
        edit, tr("Select &All"), QKeySequence(tr("Ctrl+A")), &TfmMarivelMainForm::EditSelectAll);
    acInvertSelection = AddAction(edit, tr("In&vert Selection"), QKeySequence(tr("Ctrl+I")),
        &TfmMarivelMainForm::EditInvertSelection);
    acFind =
        AddAction(edit, tr("&Find"), QKeySequence(tr("Ctrl+F")), &TfmMarivelMainForm::EditFind);
    acFindNext = AddAction(edit, tr("Find &Next"), Qt::Key_F3, &TfmMarivelMainForm::EditFindNext);
    acFindDups =
        AddAction(edit, tr("Find Dup&licates..."), Qt::Key_F4, &TfmMarivelMainForm::EditFindDups);
    // Each column both ways; the accelerators keep apart in every pair.
    const struct {
        const char* Caption;
        TDocument::TColumn Column;
        Qt::SortOrder Direction;
    } sorts[] = {
        { QT_TR_NOOP("&Description, ascending"), TDocument::colDescription, Qt::AscendingOrder },
        { QT_TR_NOOP("D&escription, descending"), TDocument::colDescription, Qt::DescendingOrder },
        { QT_TR_NOOP("&Latitude, ascending"), TDocument::colLatitude, Qt::AscendingOrder },
        { QT_TR_NOOP("L&atitude, descending"), TDocument::colLatitude, Qt::DescendingOrder },
        { QT_TR_NOOP("L&ongitude, ascending"), TDocument::colLongitude, Qt::AscendingOrder },
        { QT_TR_NOOP("Lo&ngitude, descending"), TDocument::colLongitude, Qt::DescendingOrder },
    };
    for (const auto& sort : sorts) {
        auto* action = new QAction(tr(sort.Caption), this);
        action->setProperty("category", edit);
        connect(action, &QAction::triggered, this, [this, sort] {
            OnDocument([&](TMDIChild& d) { d.Sort(sort.Column, sort.Direction); });
        });
        SortActions.append(action);
    }
    const auto arrangeAction = [&](const QString& caption, std::function<void()> arrange) {
        auto* action = new QAction(caption, this);
        action->setProperty("category", window);
        connect(action, &QAction::triggered, this, arrange);
        WindowArrangeActions.append(action);
    };
    arrangeAction(tr("&Cascade"), [this] { Area->cascadeSubWindows(); });
    arrangeAction(tr("Tile &Horizontally"), [this] { Tile(Qt::Vertical); });
    arrangeAction(tr("Tile &Vertically"), [this] { Tile(Qt::Horizontal); });
    arrangeAction(tr("&Minimize All"), [this] {
        for (QMdiSubWindow* sub : Area->subWindowList())
            sub->showMinimized();
    });
    arrangeAction(tr("&Arrange All"), [this] { Area->tileSubWindows(); });
    acWindowNext = AddAction(
        window, tr("&Next Window"), QKeySequence(tr("Ctrl+F6")), &TfmMarivelMainForm::WindowNext);
    acAutoUpdateNow = AddAction(
        autoUpdate, tr("AutoUpdate &Now..."), Qt::Key_F9, &TfmMarivelMainForm::AutoUpdateNow);
    acAutoUpdateManager = AddAction(autoUpdate, tr("AutoUpdate &Manager..."), Qt::Key_F8,
        &TfmMarivelMainForm::ShowAutoUpdateManager);
    acCommit = AddAction(edit, tr("Co&mmit to a site..."), {}, &TfmMarivelMainForm::CommitToSite);
    acAutoUpdateWizard = AddAction(
        autoUpdate, tr("AutoUpdate &Wizard..."), {}, &TfmMarivelMainForm::AutoUpdateWizard);
    const QString tools = tr("Tools");
    acCalc =
        AddAction(tools, tr("&Coordinates Calculator..."), {}, &TfmMarivelMainForm::ShowCalculator);
    actToolsBatchConvert =
        AddAction(tools, tr("&Batch Convert..."), {}, &TfmMarivelMainForm::BatchConvert);
    actPrefs = AddAction(tools, tr("&Preferences..."), {}, &TfmMarivelMainForm::ShowPreferences);
}

void TfmMarivelMainForm::CreateMenus()
{
    FileMenu = menuBar()->addMenu(tr("&File"));
    FileMenu->addActions(
        { acFileNew, acFileOpen, acFileAppend, acFileSave, acFileSaveAs, acFileClose });
    FileMenu->addSeparator();
    FileMenu->addActions({ acFileRemote, acFileSaveRemote });
    FileMenu->addSeparator();
    FileMenu->addAction(acFileReconnect);
    FileMenu->addSeparator();
    FileMenu->addActions(RecentActions);
    FileMenu->addSeparator();
    FileMenu->addActions({ acHide, acFileExit });

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addActions({ acEditUndo, acEditRedo });
    edit->addSeparator();
    edit->addActions(
        { acEditCut, acEditCopy, acCopyText, acEditPaste, acEditDelete, acEditInsert });
    edit->addSeparator();
    edit->addActions({ acEditSelectAll, acInvertSelection });
    edit->addSeparator();
    edit->addMenu(tr("&Sort"))->addActions(SortActions);
    edit->addSeparator();
    edit->addActions({ acFind, acFindNext, acFindDups });
    edit->addSeparator();
    edit->addAction(acCommit);

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->addActions({ acCalc, actToolsBatchConvert });
    tools->addSeparator();
    tools->addAction(actPrefs);

    QMenu* autoUpdate = menuBar()->addMenu(tr("&AutoUpdate"));
    autoUpdate->addAction(acAutoUpdateWizard);
    autoUpdate->addActions({ acAutoUpdateNow, acAutoUpdateManager });
    autoUpdate->addSeparator();
    autoUpdate->addAction(
        tr("Go to the &Sites Status Page..."), this, &TfmMarivelMainForm::GotoSiteStatus);

    QMenu* language = menuBar()->addMenu(tr("&Language"));
    language->addAction(tr("&English"), this, &TfmMarivelMainForm::LanguageEnglish);
    language->addAction(tr("&Nederlands"), this, &TfmMarivelMainForm::LanguageDutch);

    WindowMenu = menuBar()->addMenu(tr("&Window"));
    WindowMenu->addActions(WindowArrangeActions);
    WindowMenu->addAction(acWindowNext);
    connect(WindowMenu, &QMenu::aboutToShow, this, &TfmMarivelMainForm::ListDocumentsInWindowMenu);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("Go to Marivel &Page..."), this, &TfmMarivelMainForm::GotoHomePage);
    help->addAction(tr("Online Marivel &FAQ..."), this, &TfmMarivelMainForm::GotoFaq);
    help->addAction(tr("Go to Marivel f&orum..."), this, &TfmMarivelMainForm::GotoForum);
    help->addSeparator();
    help->addAction(
        tr("Check for Marivel &updates..."), this, &TfmMarivelMainForm::CheckForUpdates);
    QAction* weekly = help->addAction(tr("Check every &week"));
    weekly->setCheckable(true);
    weekly->setChecked(Settings().CheckEveryWeek);
    connect(weekly, &QAction::toggled, this, &TfmMarivelMainForm::CheckEveryWeek);
    help->addSeparator();
    help->addAction(tr("&System Info..."), this, &TfmMarivelMainForm::ShowSystemInfo);
    help->addAction(tr("&About..."), this, &TfmMarivelMainForm::ShowAbout);

    // The desktop's icons by their freedesktop names; the toolbar's own pictures where the
    // desktop has no icon theme, so that no button of it is left with text only.
    const struct {
        QAction* Action;
        const char* Name;
        bool Bundled;
    } icons[] = {
        { acFileNew, "document-new", true },
        { acFileOpen, "document-open", true },
        { acFileSave, "document-save", true },
        { acFileSaveAs, "document-save-as", false },
        { acFileClose, "window-close", false },
        { acFileExit, "application-exit", false },
        { acEditUndo, "edit-undo", true },
        { acEditRedo, "edit-redo", true },
        { acEditCut, "edit-cut", true },
        { acEditCopy, "edit-copy", true },
        { acEditPaste, "edit-paste", true },
        { acEditDelete, "edit-delete", false },
        { acEditInsert, "list-add", false },
        { acEditSelectAll, "edit-select-all", false },
        { acFind, "edit-find", true },
        { acFindNext, "go-down-search", true },
        { actPrefs, "preferences-system", false },
    };
    for (const auto& [action, name, bundled] : icons) {
        const QString theme = QLatin1String(name);
        action->setIcon(bundled
                ? QIcon::fromTheme(theme, QIcon(QStringLiteral(":/icons/%1.png").arg(theme)))
                : QIcon::fromTheme(theme));
    }
    // The buttons keep their width; their tips name the step, as the menu does.
    acEditUndo->setIconText(tr("Undo"));
    acEditRedo->setIconText(tr("Redo"));
    QToolBar* toolBar = addToolBar(tr("Standard"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setObjectName(QStringLiteral("StandardToolBar"));
    toolBar->addActions({ acFileNew, acFileOpen, acFileSave });
    toolBar->addSeparator();
    toolBar->addActions({ acEditCut, acEditCopy, acEditPaste });
    toolBar->addSeparator();
    toolBar->addActions({ acEditUndo, acEditRedo });
    toolBar->addSeparator();
    toolBar->addActions({ acFind, acFindNext });
}

void TfmMarivelMainForm::CreateStatusBar()
{
    // The second panel is wide enough for the map's "-89.12345 -179.12345 (16384 8192)".
    constexpr int Widths[] = { 0, 250, 175, 70 };
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(this);
        StatusPanels[i]->setFrameShape(QFrame::StyledPanel);
        if (Widths[i] > 0)
            StatusPanels[i]->setFixedWidth(Widths[i]);
        statusBar()->addWidget(StatusPanels[i], i == 0 ? 1 : 0);
    }
    // The hint of the control under the mouse goes to the first panel.
    connect(statusBar(), &QStatusBar::messageChanged, StatusPanels[0], &QLabel::setText);
}

void TfmMarivelMainForm::CreateTrayIcon()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return; // closing then minimizes, so the program can always be reached
    Tray = new QSystemTrayIcon(
        windowIcon().isNull() ? QApplication::windowIcon() : windowIcon(), this);
    Tray->setToolTip(QLatin1String(Msg::ApplicationTitle));
    auto* menu = new QMenu(this);
    QAction* show = menu->addAction(tr("&Marivel..."), this, &TfmMarivelMainForm::ShowFromTray);
    menu->setDefaultAction(show);
    menu->addAction(acAutoUpdateNow);
    menu->addAction(acFileExit);
    Tray->setContextMenu(menu);
    connect(
        Tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
                ShowFromTray();
        });
    Tray->show();
}

// Alt+F4 closes to the tray when the user wants the program kept running, else it ends it.
void TfmMarivelMainForm::ApplyCloseShortcuts()
{
    const QKeySequence altF4(Qt::ALT | Qt::Key_F4);
    const bool minimizes = Settings().CloseMinimizes;
    acHide->setShortcut(minimizes ? altF4 : QKeySequence());
    acFileExit->setShortcut(minimizes ? QKeySequence() : altF4);
}

void TfmMarivelMainForm::ApplyStoredBounds()
{
    const TSettings& settings = Settings();
    const TStoredBounds stored { settings.Left, settings.Top, settings.Width, settings.Height };
    QScreen* screen = QGuiApplication::screenAt(QPoint(stored.Left, stored.Top));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    // A first start gets most of the screen, so that a document shows its list beside its map.
    const QSize designed = (screen->availableGeometry().size() * 0.85).expandedTo(QSize(800, 600));
    const TWindowBounds bounds = FitBounds(stored, designed, screen->availableGeometry());
    Restoring = true;
    // A window's position is its frame's, so the title bar starts where it was left.
    if (bounds.FramePosition)
        move(*bounds.FramePosition);
    resize(bounds.Size);
    if (settings.WindowStateMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    Restoring = false;
}

void TfmMarivelMainForm::StoreBounds()
{
    TSettings& settings = Settings();
    settings.WindowStateMaximized = isMaximized();
    if (settings.WindowStateMaximized)
        return;
    const QSize screen = this->screen() ? this->screen()->size() : size();
    settings.Left = std::max(0, frameGeometry().left());
    settings.Top = std::max(0, frameGeometry().top());
    settings.Width = std::min(screen.width(), width());
    settings.Height = std::min(screen.height(), height());
}

void TfmMarivelMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (MovedByUser())
        Settings().BoundsUserSet = true;
}

void TfmMarivelMainForm::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (MovedByUser())
        Settings().BoundsUserSet = true;
}

// The window manager answers a placement late, with events of its own.
bool TfmMarivelMainForm::MovedByUser() const
{
    return !Restoring && isVisible() && QRect(frameGeometry().topLeft(), size()) != Placed;
}

void TfmMarivelMainForm::LoadPlugins()
{
    if (Plugins.Load(PluginFiles(PluginFolders()), CallBack))
        return;
    QString message = Tr(Msg::PluginsNotLoaded);
    if (!Plugins.Refused().isEmpty())
        message += QStringLiteral("\r\r") + Plugins.Refused().join(QLatin1Char('\r'));
    QTimer::singleShot(0, this, [this, message] { Prompt.ShowError(message); });
}

TScreenArea TfmMarivelMainForm::DocumentScreen() const
{
    const TMDIChild* document = ActiveDocument();
    const QScreen* shown = document ? document->screen() : screen();
    return { shown->geometry(), shown->availableGeometry(),
        shown == QGuiApplication::primaryScreen() };
}

QRect TfmMarivelMainForm::MainWindowBounds() const
{
    return QRect(frameGeometry().topLeft(), size());
}

void TfmMarivelMainForm::PlaceMainWindow(const QRect& bounds)
{
    Restoring = true;
    Placed = bounds;
    if (isMaximized())
        showNormal();
    move(bounds.topLeft());
    resize(bounds.size());
    Restoring = false;
}

void TfmMarivelMainForm::ShowPreferences()
{
    TfmPluginSettings dialog(Plugins, this);
    dialog.exec();
    ApplyCloseShortcuts();
    if (dialog.DeviceFolderChanged())
        DoneRapi();
    for (TMDIChild* document : Documents())
        document->UpdateView(); // the precision may have changed
    UpdateActions();
}

TMDIChild* TfmMarivelMainForm::ActiveDocument() const
{
    QMdiSubWindow* active = Area->activeSubWindow();
    if (!active && !Area->subWindowList().isEmpty())
        active = Area->subWindowList().first();
    return active ? qobject_cast<TMDIChild*>(active->widget()) : nullptr;
}

QList<TMDIChild*> TfmMarivelMainForm::Documents() const
{
    QList<TMDIChild*> documents;
    for (QMdiSubWindow* sub : Area->subWindowList())
        if (auto* document = qobject_cast<TMDIChild*>(sub->widget()))
            documents.append(document);
    return documents;
}

TMDIChild* TfmMarivelMainForm::DocumentOf(const QString& location) const
{
    const QString wanted = NormalizedLocation(location);
    for (TMDIChild* document : Documents())
        if (NormalizedLocation(document->Document.FileName).compare(wanted, Qt::CaseInsensitive)
            == 0)
            return document;
    return nullptr;
}

void TfmMarivelMainForm::Activate(TMDIChild* document)
{
    for (QMdiSubWindow* sub : Area->subWindowList())
        if (sub->widget() == document) {
            if (sub->isMinimized())
                sub->showNormal(); // from an icon; a maximized one stays maximized
            Area->setActiveSubWindow(sub);
        }
}

TMDIChild* TfmMarivelMainForm::NewDocument()
{
    auto* document = new TMDIChild;
    document->SetPlugins(Plugins, *this);
    document->AddListCommands({ acCopyText });
    QMdiSubWindow* sub = Area->addSubWindow(document);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The frame's Close (Ctrl+F4) stands for the window menu's own; one key, one action.
    if (QMenu* systemMenu = sub->systemMenu())
        for (QAction* action : systemMenu->actions())
            action->setShortcut(QKeySequence());
    connect(document, &TMDIChild::ViewChanged, this, [this, document] {
        if (document == ActiveDocument())
            UpdateStatus();
        UpdateActions();
    });
    connect(document, &TMDIChild::SelectionChanged, this, &TfmMarivelMainForm::UpdateActions);
    connect(document, &TMDIChild::MapPointerMoved, StatusPanels[1], &QLabel::setText);
    connect(document, &TMDIChild::MapMessage, statusBar(),
        [this](const QString& text) { statusBar()->showMessage(text); });
    connect(sub, &QMdiSubWindow::windowStateChanged, this,
        [](Qt::WindowStates, Qt::WindowStates state) {
            if (!(state & Qt::WindowMinimized))
                Settings().ChildrenMaximized = state & Qt::WindowMaximized;
        });
    connect(document, &QObject::destroyed, this, [this] {
        UpdateStatus();
        UpdateActions();
    });
    if (Settings().ChildrenMaximized) {
        sub->showMaximized();
    } else {
        // Room for the list and its edit fields, cascaded so the earlier windows' captions
        // stay in sight.
        const QSize area = Area->viewport()->size();
        const int step = 24 * (static_cast<int>(Area->subWindowList().size()) - 1);
        const int offset = step % std::max(24, area.height() / 4);
        sub->setGeometry(offset, offset, std::max(area.width() * 4 / 5, 480),
            std::max(area.height() * 3 / 4 - offset / 2, 320));
        sub->show();
    }
    return document;
}

void TfmMarivelMainForm::UpdateStatus()
{
    TMDIChild* document = ActiveDocument();
    if (!document)
        StatusPanels[1]->clear(); // where the pointer was on a map no longer shown
    StatusPanels[2]->setText(document ? document->Document.CountText() : QString());
    const bool changed = document && document->Document.Changed();
    StatusPanels[3]->setText(changed ? Tr(Msg::Changed) : QString());
    // As a multiple-document frame shows it, so the desktop's window list tells the file.
    QString title = QLatin1String(Msg::ApplicationTitle);
    if (document)
        title += QStringLiteral(" - [%1]").arg(document->Document.Caption());
    setWindowTitle(title);
}

void TfmMarivelMainForm::TrackFocus(QWidget* now)
{
    if (now && isAncestorOf(now) && !qobject_cast<QMenuBar*>(now))
        LastFocus = now;
    UpdateActions();
}

// The document's commands follow the active document and its selection wherever the focus is
// in its window, except in a text field being edited, which keeps its own clipboard and undo.
void TfmMarivelMainForm::UpdateActions()
{
    TMDIChild* document = ActiveDocument();
    const bool exists = document != nullptr;
    const bool reaches = exists
        && !(qobject_cast<QLineEdit*>(LastFocus.data()) && document->isAncestorOf(LastFocus));
    const bool selected = reaches && document->HasSelection();
    for (QAction* action : { acFileAppend, acFileSave, acFileSaveAs, acFileSaveRemote, acFileClose,
             acEditSelectAll, acInvertSelection, acFind, acFindDups })
        action->setEnabled(exists);
    for (QAction* action : SortActions)
        action->setEnabled(exists);
    for (QAction* action : { acEditCopy, acCopyText, acEditCut, acEditDelete })
        action->setEnabled(selected);
    acEditPaste->setEnabled(reaches);
    acEditInsert->setEnabled(reaches);
    acFindNext->setEnabled(exists && !FindText.isEmpty());
    UpdateHistoryActions(document, reaches);
    acFileReconnect->setEnabled(RapiConnected());
    acWindowNext->setEnabled(Area->subWindowList().size() >= 2);
    acAutoUpdateNow->setEnabled(AutoUpdateItems().Count() > 0);
    acCommit->setEnabled(exists && document->OneRowSelected());
}

// "Undo Delete", "Redo Sort": the step each takes, while the commands reach the document.
void TfmMarivelMainForm::UpdateHistoryActions(const TMDIChild* document, bool reaches)
{
    const QUndoStack* history = document ? &document->Document.History : nullptr;
    const QString undo = history ? history->undoText() : QString();
    const QString redo = history ? history->redoText() : QString();
    acEditUndo->setText(undo.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(undo));
    acEditRedo->setText(redo.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(redo));
    acEditUndo->setEnabled(reaches && history->canUndo());
    acEditRedo->setEnabled(reaches && history->canRedo());
}

void TfmMarivelMainForm::UpdateRecentFiles()
{
    const TSafeStringList& recentFiles = Settings().MRU;
    for (int i = 0; i < RecentActions.size(); ++i) {
        RecentActions[i]->setVisible(i < recentFiles.size());
        if (i < recentFiles.size())
            RecentActions[i]->setText(RecentFileCaption(i + 1, recentFiles.NameAt(i)));
    }
}

// A file that cannot be opened is reported, and the others still open.
void TfmMarivelMainForm::OpenCommandLineFiles()
{
    for (const QString& location : CommandLine.Locations) {
        try {
            OpenLocation(location);
        } catch (const EUserError& e) {
            Prompt.ShowError(AsSentence(e.Message()));
        }
    }
    if (Settings().ShowStartupScreen && CommandLine.Locations.isEmpty() && !CommandLine.Update
        && !CommandLine.Tray)
        ShowStartupScreen();
}

void TfmMarivelMainForm::ShowStartupScreen()
{
    TfmMarivelStartup startup(Prompt, this);
    // Shown so soon after start, the window manager may not have placed the main window yet,
    // so the screen is centred over where it will be.
    startup.adjustSize();
    startup.move(geometry().center() - startup.rect().center());
    startup.exec();
    switch (startup.Choice()) {
    case TStartupChoice::NewFile:
        FileNew();
        ShowFromTray();
        break;
    case TStartupChoice::AutoUpdateNow:
        AutoUpdateNow();
        break;
    case TStartupChoice::Wizard:
        AutoUpdateWizard();
        break;
    case TStartupChoice::Manager:
        ShowAutoUpdateManager();
        break;
    case TStartupChoice::None:
        break;
    }
}

void TfmMarivelMainForm::AutoUpdateWizard()
{
    TfmAutoUpdateWizard wizard(Prompt, this);
    wizard.exec();
    UpdateActions();
    if (wizard.FollowUp() == TWizardFollowUp::AutoUpdateNow)
        AutoUpdateNow();
    else if (wizard.FollowUp() == TWizardFollowUp::Manager)
        ShowAutoUpdateManager();
}

void TfmMarivelMainForm::GotoSiteStatus() { ShowInBrowser(Settings().SitesStatusUrl, Prompt); }

// Waits for a window the user is answering, such as the startup screen, instead of stacking
// its own on top.
void TfmMarivelMainForm::WeeklyVersionCheck()
{
    if (QApplication::activeModalWidget())
        return QTimer::singleShot(1000, this, &TfmMarivelMainForm::WeeklyVersionCheck);
    CheckForNewVersionWeekly(Prompt, this);
}

void TfmMarivelMainForm::CheckForUpdates() { CheckForNewVersion(Prompt, this); }

void TfmMarivelMainForm::CheckEveryWeek(bool on) { Settings().CheckEveryWeek = on; }

// While "AutoUpdate upon device connect" is on, a navigator or card that shows up starts a
// run at the tray, as the login start with "--tray" would.
void TfmMarivelMainForm::WatchForDevices()
{
    delete DeviceWatcher;
    DeviceWatcher = nullptr;
    if (!UpdateOnConnectEnabled())
        return;
    DeviceWatcher = new TDeviceWatcher(MediaRoots(), Settings().DeviceFolder, this);
    connect(
        DeviceWatcher, &TDeviceWatcher::DeviceConnected, this, [this] { StartAutoUpdate(false); });
}

void TfmMarivelMainForm::CommitToSite()
{
    TMDIChild* document = ActiveDocument();
    if (!document || document->SelectedRows().size() != 1)
        return;
    const TEntry& entry = document->Document.Entries.Items(document->SelectedRows().front());
    try {
        CommitEntryToSite(
            { Utf8ToUnicode(entry.Description()), entry.Longitude(), entry.Latitude(), QString() },
            Prompt, this);
    } catch (const EUserError& e) {
        Prompt.ShowError(AsSentence(e.Message()));
    }
}

void TfmMarivelMainForm::OpenLocation(const QString& location)
{
    if (TMDIChild* open = DocumentOf(location))
        Activate(open);
    else
        OpenFile(nullptr, location, TDocument::lmOpen, QString());
}

void TfmMarivelMainForm::OpenFile(
    TMDIChild* document, const QString& given, TDocument::TLoadMode mode, const QString& formatId)
{
    // One spelling per file, so the document and the recent files compare equal to any other.
    const QString location = NormalizedLocation(given);
    TWaitCursor wait;
    QProgressDialog progress(Tr(Msg::Loading), QString(), 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    TEntries loaded;
    const auto choose = [&](const TFormatOffer& offer, const QString& error) {
        // Stopped, not only hidden: a hidden progress window shows itself when its delay runs
        // out, over the dialog, which then takes no input.
        progress.reset();
        progress.hide();
        QGuiApplication::restoreOverrideCursor();
        std::optional<TFormatChoice> choice = TfmChooseFormat::Ask(
            this, StripLocationPrefixes(location), error, offer.Names, offer.Preselected);
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        return choice;
    };
    const std::optional<TLoadedAs> used = LoadLocationAsChosen(
        location, formatId, loaded, [&](int percent) { progress.setValue(percent); }, choose);
    if (!used)
        return;
    TMDIChild* target = document ? document : NewDocument();
    target->LoadFromList(loaded, location, mode, used->FormatId);
    const QString icon = IconBeside(StripFilePrefix(location));
    if (!IsMobileLocation(location) && QFileInfo::exists(icon))
        target->parentWidget()->setWindowIcon(QIcon(icon));
    Settings().AddRecentFile(location, used->FormatId);
    UpdateRecentFiles();
    Activate(target);
    // Told, not asked: the file did open, only with less than the user may have expected.
    QStringList sentences;
    for (const QString& warning : used->Warnings)
        sentences << AsSentence(LocationFileName(location) + QStringLiteral(": ") + warning);
    statusBar()->showMessage(sentences.join(QLatin1Char(' ')));
}

void TfmMarivelMainForm::FileNew() { NewDocument(); }

void TfmMarivelMainForm::FileOpen()
{
    const QStringList filters = OpenNameFilters();
    const TOpenChoice chosen = ChooseFileToOpen(this, tr("Open"), Settings().InitialDir, filters);
    if (chosen.File.isEmpty())
        return;
    if (TMDIChild* open = DocumentOf(chosen.File)) {
        Activate(open);
        return;
    }
    const TCodePageScope codePage(chosen.CodePage);
    OpenFile(nullptr, LocalLocation(chosen.File), TDocument::lmOpen,
        FormatIdOfOpenFilter(static_cast<int>(filters.indexOf(chosen.Filter))));
}

void TfmMarivelMainForm::FileAppend()
{
    TMDIChild* document = ActiveDocument();
    if (!document)
        return;
    const QStringList filters = OpenNameFilters();
    const TOpenChoice chosen = ChooseFileToOpen(this, tr("Append"), Settings().InitialDir, filters);
    if (chosen.File.isEmpty())
        return;
    const TCodePageScope codePage(chosen.CodePage);
    OpenFile(document, LocalLocation(chosen.File), TDocument::lmAppend,
        FormatIdOfOpenFilter(static_cast<int>(filters.indexOf(chosen.Filter))));
}

template <typename Command> void TfmMarivelMainForm::OnDocument(Command command)
{
    if (TMDIChild* document = ActiveDocument())
        command(*document);
}

void TfmMarivelMainForm::FileSave()
{
    OnDocument([this](TMDIChild& document) {
        document.Save();
        UpdateRecentFiles();
    });
}

void TfmMarivelMainForm::FileSaveAs()
{
    OnDocument([this](TMDIChild& document) {
        document.SaveAs();
        UpdateRecentFiles();
    });
}

void TfmMarivelMainForm::FileClose()
{
    if (QMdiSubWindow* active = Area->activeSubWindow())
        active->close();
}

// The next device operation connects anew.
void TfmMarivelMainForm::FileReconnect()
{
    DoneRapi();
    UpdateActions();
}

namespace {

void ConnectDevice()
{
    TWaitCursor wait;
    InitRapi();
}

} // namespace

void TfmMarivelMainForm::FileOpenRemote()
{
    ConnectDevice();
    UpdateActions();
    TfmMobileBrowser browser(this, false);
    browser.SetFileName(RemoteOpenStartName());
    if (browser.exec() != QDialog::Accepted)
        return;
    RememberRemoteFolder(browser.FileName());
    OpenFile(nullptr, QStringLiteral("MOBILE://") + browser.FileName(), TDocument::lmOpen,
        browser.TypeFormatId());
}

void TfmMarivelMainForm::FileSaveRemote()
{
    OnDocument([this](TMDIChild& document) {
        ConnectDevice();
        UpdateActions();
        const QString old = document.Document.FileName;
        TfmMobileBrowser browser(this, true);
        browser.SetExtraCaption(Tr(Msg::CopyBmp));
        browser.SetExtraVisible(true);
        const QString start = RemoteSaveStartName(old);
        browser.SetFileName(start);
        browser.SetTypeIndex(FindExporter(LowerExtOf(start).mid(1), document.Document.FormatId));
        if (browser.exec() != QDialog::Accepted)
            return;
        const QString name = WithRemoteDefaultExt(browser.FileName());
        const QString location = QStringLiteral("MOBILE://") + name;
        if (!document.SaveTo(location, browser.TypeFormatId()))
            return;
        if (browser.ExtraChecked()) {
            TWaitCursor wait;
            CopyIconToDevice(old, name, Prompt);
        }
        RememberRemoteFolder(name);
        Settings().AddRecentFile(location, browser.TypeFormatId());
        UpdateRecentFiles();
    });
}

void TfmMarivelMainForm::HideInTray()
{
    HideRequested = true;
    close();
}

void TfmMarivelMainForm::Exit()
{
    ExitRequested = true;
    close();
}

void TfmMarivelMainForm::EditUndo()
{
    OnDocument([](TMDIChild& d) { d.Undo(); });
}
void TfmMarivelMainForm::EditRedo()
{
    OnDocument([](TMDIChild& d) { d.Redo(); });
}
void TfmMarivelMainForm::EditCopy()
{
    OnDocument([](TMDIChild& d) { d.CopySelection(); });
}
void TfmMarivelMainForm::EditCopyText()
{
    OnDocument([](TMDIChild& d) { d.CopyAsText(); });
}
void TfmMarivelMainForm::EditCut()
{
    OnDocument([](TMDIChild& d) { d.Cut(); });
}
void TfmMarivelMainForm::EditPaste()
{
    OnDocument([](TMDIChild& d) { d.Paste(); });
}
void TfmMarivelMainForm::EditDelete()
{
    OnDocument([](TMDIChild& d) { d.Delete(); });
}
void TfmMarivelMainForm::EditInsert()
{
    OnDocument([](TMDIChild& d) { d.Insert(); });
}
void TfmMarivelMainForm::EditSelectAll()
{
    OnDocument([](TMDIChild& d) { d.SelectAll(); });
}
void TfmMarivelMainForm::EditInvertSelection()
{
    OnDocument([](TMDIChild& d) { d.InvertSelection(); });
}

void TfmMarivelMainForm::EditFind()
{
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, Tr(Msg::FindCaption), Tr(Msg::FindPrompt), QLineEdit::Normal, FindText, &ok);
    if (!ok)
        return;
    if (text.isEmpty())
        throw EUserError(Tr(Msg::NoSearchString));
    FindText = text;
    UpdateActions();
    OnDocument([this](TMDIChild& d) { d.Find(FindText); });
}

void TfmMarivelMainForm::EditFindNext()
{
    OnDocument([this](TMDIChild& d) { d.FindNext(FindText); });
}

void TfmMarivelMainForm::EditFindDups()
{
    OnDocument([this](TMDIChild& d) {
        TfmFindDups tool(
            d.Document, [&d] { d.UpdateView(); }, this);
        tool.exec();
    });
}

void TfmMarivelMainForm::LanguageEnglish()
{
    SwitchLanguage(QLatin1String(::LanguageEnglish), tr("English"));
}
void TfmMarivelMainForm::LanguageDutch()
{
    SwitchLanguage(QLatin1String(::LanguageDutch), tr("Nederlands"));
}

void TfmMarivelMainForm::SwitchLanguage(const QString& code, const QString& name)
{
    if (!ChooseLanguage(code)) {
        Prompt.ShowMessage(
            tr("Marivel has no %1 translation yet, so it keeps its present language.").arg(name));
        return;
    }
    if (Prompt.Ask(Tr(Msg::RestartForLanguage), false) != IUserPrompt::TAnswer::Yes)
        return;
    Exit();
    // A document the user kept open cancels the exit, and with it the restart.
    Restart = ExitRequested;
}

// The open documents, the active one checked; as many as the digits choose.
void TfmMarivelMainForm::ListDocumentsInWindowMenu()
{
    constexpr int Listed = 9;
    qDeleteAll(DocumentActions);
    DocumentActions.clear();
    const QList<TMDIChild*> documents = Documents();
    if (!documents.isEmpty())
        DocumentActions.append(WindowMenu->addSeparator());
    for (int i = 0; i < std::min<int>(Listed, static_cast<int>(documents.size())); ++i) {
        TMDIChild* document = documents[i];
        QAction* action =
            WindowMenu->addAction(NumberedCaption(i + 1, document->Document.Caption()), this,
                [this, document] { Activate(document); });
        action->setCheckable(true);
        action->setChecked(document == ActiveDocument());
        DocumentActions.append(action);
    }
}

void TfmMarivelMainForm::WindowNext() { Area->activateNextSubWindow(); }

// The open windows side by side along `direction`, each taking an equal share of the area.
void TfmMarivelMainForm::Tile(Qt::Orientation direction)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : Area->subWindowList())
        if (!sub->isMinimized())
            windows.append(sub);
    if (windows.isEmpty())
        return;
    const QRect area = Area->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        windows[i]->showNormal();
        if (direction == Qt::Vertical)
            windows[i]->setGeometry(
                0, area.height() * i / count, area.width(), area.height() / count);
        else
            windows[i]->setGeometry(
                area.width() * i / count, 0, area.width() / count, area.height());
    }
}

void TfmMarivelMainForm::GotoHomePage() { ShowInBrowser(Settings().HomePageUrl, Prompt); }
void TfmMarivelMainForm::GotoFaq() { ShowInBrowser(Settings().HelpUrl, Prompt); }
void TfmMarivelMainForm::GotoForum() { ShowInBrowser(Settings().ForumUrl, Prompt); }

void TfmMarivelMainForm::ShowSystemInfo()
{
    TfmSysInfo info(this);
    info.exec();
}

void TfmMarivelMainForm::ShowAbout()
{
    TfmAbout about(this);
    about.exec();
}

void TfmMarivelMainForm::ShowCalculator()
{
    TfmCoordsCalculator calculator(this, acCalc->text().remove(QLatin1Char('&')));
    calculator.exec();
}

void TfmMarivelMainForm::BatchConvert()
{
    TfmBatchConvert batch(this, [this](const QString& location, const QString& formatId) {
        OpenFile(nullptr, location, TDocument::lmOpen, formatId);
    });
    batch.exec();
}

void TfmMarivelMainForm::StartAutoUpdate(bool silent)
{
    SilentUpdate = silent;
    // A device that just connected needs a moment to settle; a minute is waiting enough.
    tiAutoUpdate->setInterval(std::clamp(Settings().AutoUpdateDelay, 0, 60) * 1000);
    tiAutoUpdate->start();
}

void TfmMarivelMainForm::AutoUpdateNow() { RunAutoUpdate(false); }

// An automatic run does not stack over a dialog the user is answering: it starts once the
// dialog has closed.
void TfmMarivelMainForm::RunScheduledAutoUpdate()
{
    constexpr int DialogRecheckMs = 500;
    if (!AutoUpdating && QApplication::activeModalWidget())
        return tiAutoUpdate->start(DialogRecheckMs);
    RunAutoUpdate(SilentUpdate);
}

// Without the main window on screen the run shows itself at the tray, the way it does when
// a device connection started the program.
void TfmMarivelMainForm::RunAutoUpdate(bool silent)
{
    if (AutoUpdating)
        return; // the run under way covers the request
    AutoUpdating = true;
    TfmStatus status(AutoUpdateItems(), silent || isHidden(), this);
    status.exec();
    AutoUpdating = false;
    if (SiteManager)
        SiteManager->Refresh();
    UpdateActions();
}

void TfmMarivelMainForm::ShowAutoUpdateManager()
{
    TfmSiteManager manager(this);
    SiteManager = &manager;
    manager.exec();
    SiteManager = nullptr;
    WatchForDevices(); // the manager's settings may have turned the watch on or off
    UpdateActions();
    if (manager.WantsWizard())
        AutoUpdateWizard();
}

void TfmMarivelMainForm::ShowFromTray()
{
    if (isHidden() || isMinimized())
        showNormal();
    raise();
    activateWindow();
}

bool TfmMarivelMainForm::CloseAllDocuments()
{
    for (TMDIChild* document : Documents())
        if (!document->AskSave())
            return false;
    for (QMdiSubWindow* sub : Area->subWindowList()) {
        if (auto* document = qobject_cast<TMDIChild*>(sub->widget()))
            document->Document.History.setClean(); // asked already
        sub->close();
    }
    return true;
}

void TfmMarivelMainForm::closeEvent(QCloseEvent* event)
{
    if (!CloseAllDocuments()) {
        HideRequested = false;
        ExitRequested = false;
        event->ignore();
        return;
    }
    if (!Settings().CloseMinimizes && !HideRequested)
        ExitRequested = true;
    if (!ExitRequested) {
        event->ignore();
        if (Tray) {
            hide();
            if (!HideRequested)
                TfmMinimize::ShowUnlessHidden(this);
        } else {
            showMinimized(); // no tray to come back from
        }
        HideRequested = false;
        return;
    }
    StoreBounds();
    event->accept();
    QApplication::quit();
}

void TfmMarivelMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Minimizing goes to the tray the way closing does, when there is a tray.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && Tray
        && Settings().CloseMinimizes)
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                close();
        });
}

void TfmMarivelMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfmMarivelMainForm::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            OpenLocation(url.toLocalFile());
}
