#pragma once

#include <memory>

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include "editor/uDocument.h"
#include "editor/uInstance.h"
#include "plugins/uPluginActions.h"
#include "widgets/uGuiPrompt.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class TCursors;
class TDeviceWatcher;
class TMDIChild;
class TfmSiteManager;

// The frame of the program: the document windows, the commands, the recent files, the status
// bar and the tray icon.
class TfmMarivelMainForm : public QMainWindow, public IPluginWindows {
    Q_OBJECT

public:
    explicit TfmMarivelMainForm(const TCommandLine& commandLine);
    ~TfmMarivelMainForm() override;

    // Brings the document of `location` to the front when it is open, else opens it.
    void OpenLocation(const QString& location);
    // Opens `location` into a new document (`document` null) or appends it to `document`.
    void OpenFile(TMDIChild* document, const QString& location, TDocument::TLoadMode mode,
        const QString& formatId);
    TMDIChild* ActiveDocument() const;
    QList<TMDIChild*> Documents() const;
    TMDIChild* NewDocument();

    // From the tray menu, a second program start or the instance channel.
    void ShowFromTray();
    void Exit();
    // Runs AutoUpdate once `AutoUpdateDelay` seconds have passed; a silent run asks nothing
    // when an item fails. From "/update" and from a second program start.
    void StartAutoUpdate(bool silent);
    // The program ended to come back in the language the user chose.
    bool RestartRequested() const { return Restart; }

    const TPluginList& LoadedPlugins() const { return Plugins; }
    TScreenArea DocumentScreen() const override;
    QRect MainWindowBounds() const override;
    void PlaceMainWindow(const QRect& bounds) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* AddAction(const QString& category, const QString& caption,
        const QKeySequence& shortcut, void (TfmMarivelMainForm::*slot)());
    void CreateActions();
    void CreateMenus();
    void CreateStatusBar();
    void CreateTrayIcon();
    void ApplyCloseShortcuts();
    void ApplyStoredBounds();
    void StoreBounds();
    void TrackFocus(QWidget* now);
    void UpdateActions();
    void UpdateHistoryActions(const TMDIChild* document, bool reaches);
    void UpdateStatus();
    void UpdateRecentFiles();
    void OpenCommandLineFiles();
    TMDIChild* DocumentOf(const QString& location) const;
    void Activate(TMDIChild* document);
    bool CloseAllDocuments();
    // The document commands act on the active document, when there is one.
    template <typename Command> void OnDocument(Command command);

    void FileNew();
    void FileOpen();
    void FileAppend();
    void FileSave();
    void FileSaveAs();
    void FileClose();
    void FileReconnect();
    void FileOpenRemote();
    void FileSaveRemote();
    void LoadPlugins();
    void ShowPreferences();
    // Whether the window now is where the user put it, not where the plugins placed it.
    bool MovedByUser() const;
    void HideInTray();
    void EditUndo();
    void EditRedo();
    void EditCopy();
    void EditCopyText();
    void EditCut();
    void EditPaste();
    void EditDelete();
    void EditInsert();
    void EditSelectAll();
    void EditInvertSelection();
    void EditFind();
    void EditFindNext();
    void EditFindDups();
    void LanguageEnglish();
    void LanguageDutch();
    void SwitchLanguage(const QString& code, const QString& name);
    void ListDocumentsInWindowMenu();
    void WindowNext();
    void Tile(Qt::Orientation direction);
    void GotoHomePage();
    void GotoFaq();
    void GotoForum();
    void ShowSystemInfo();
    void ShowAbout();
    void AutoUpdateNow();
    void ShowAutoUpdateManager();
    void ShowCalculator();
    void BatchConvert();
    void RunAutoUpdate(bool silent);
    void RunScheduledAutoUpdate();
    void ShowStartupScreen();
    void AutoUpdateWizard();
    void GotoSiteStatus();
    void WeeklyVersionCheck();
    void CheckForUpdates();
    void CheckEveryWeek(bool on);
    void WatchForDevices();
    void CommitToSite();

    TCommandLine CommandLine;
    TGuiPrompt Prompt;
    std::unique_ptr<TCursors> Cursors;
    QMdiArea* Area;
    QSystemTrayIcon* Tray = nullptr;
    QLabel* StatusPanels[4] = {};
    QList<QAction*> RecentActions;
    QMenu* FileMenu = nullptr;
    QAction* acFileNew;
    QAction* acFileOpen;
    QAction* acFileAppend;
    QAction* acFileSave;
    QAction* acFileSaveAs;
    QAction* acFileClose;
    QAction* acFileReconnect;
    QAction* acFileRemote;
    QAction* acFileSaveRemote;
    QAction* acHide;
    QAction* acFileExit;
    QAction* acEditUndo;
    QAction* acEditRedo;
    QAction* acEditCopy;
    QAction* acCopyText;
    QAction* acEditCut;
    QAction* acEditPaste;
    QAction* acEditDelete;
    QAction* acEditInsert;
    QAction* acEditSelectAll;
    QAction* acInvertSelection;
    QAction* acFind;
    QAction* acFindNext;
    QAction* acFindDups;
    QList<QAction*> SortActions;
    QAction* acWindowNext;
    QAction* acAutoUpdateNow;
    QAction* acAutoUpdateManager;
    // Refreshed after a run while it is open.
    TfmSiteManager* SiteManager = nullptr;
    QAction* acCalc;
    QAction* actToolsBatchConvert;
    QAction* acCommit;
    QAction* acAutoUpdateWizard;
    QAction* actPrefs;
    QTimer* tiAutoUpdate;
    TDeviceWatcher* DeviceWatcher = nullptr;
    QList<QAction*> WindowArrangeActions;
    QMenu* WindowMenu = nullptr;
    // The open documents' entries of the Window menu, made anew each time it opens.
    QList<QAction*> DocumentActions;
    QString FindText;
    // The widget of this window that last had the focus; the menu bar and other windows
    // (menus, dialogs) taking it leave it as it was, so the commands stay as the user left them.
    QPointer<QWidget> LastFocus;
    bool ExitRequested = false;
    bool HideRequested = false;
    bool Restart = false;
    bool SilentUpdate = false;
    bool AutoUpdating = false;
    bool Restoring = false; // the stored bounds are being applied, not set by the user
    QRect Placed; // where the plugins last placed the window
    // The callback outlives the plugins, which let go of it as they are released.
    TPluginCallBack CallBack { *this };
    TPluginList Plugins;
};
