#pragma once

#include <functional>
#include <vector>

#include <QDialog>
#include <QUrl>

#include "core/uSettings.h"
#include "sites/uAutoUpdateManager.h"
#include "sites/uUpdateItems.h"
#include "widgets/uGuiPrompt.h"

class QAbstractItemView;
class QCheckBox;
class QImage;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class TCountry;
class TSite;

// The AutoUpdate manager's windows: the manager with its sites, subscriptions and settings,
// and the two small dialogs of a site's location and account.

// How the manager hands a page or file to the desktop; tests put a recorder in its place.
using TUrlOpener = std::function<bool(const QUrl& url)>;
TUrlOpener& DesktopOpener();

// "Add site": a web or "FILE://" location of a site index, checked on OK.
class TfmAddSite : public QDialog {
    Q_OBJECT
public:
    explicit TfmAddSite(QWidget* parent = nullptr);
    QString Location() const;
    QLineEdit* LocationEdit() const { return edLocation; }
    void accept() override;

private:
    QLineEdit* edLocation;
};

// "Authorization": the user name and password of a site.
class TfmAuthorization : public QDialog {
    Q_OBJECT
public:
    TfmAuthorization(const TSiteCredentials& credentials, QWidget* parent = nullptr);
    TSiteCredentials Credentials() const;
    QLineEdit* UsernameEdit() const { return edUsername; }
    QLineEdit* PasswordEdit() const { return edPassword; }

private:
    QLineEdit* edUsername;
    QLineEdit* edPassword;
};

// "AutoUpdate Manager": the POI sites with their catalogues, every AutoUpdate item, and the
// AutoUpdate settings. Its selections and window state are kept when it closes.
class TfmSiteManager : public QDialog {
    Q_OBJECT
public:
    explicit TfmSiteManager(QWidget* parent = nullptr);
    ~TfmSiteManager() override;

    // Fills the lists anew from the catalogue and the items, as after a run.
    void Refresh();

    // The parts a test or bench drives.
    QTabWidget* Tabs() const { return Pages; }
    QListWidget* SiteList() const { return lvSites; }
    QTreeWidget* MapList() const { return lvMaps; }
    QTreeWidget* GroupList() const { return lvGroups; }
    QTreeWidget* ItemList() const { return lvItems; }
    QTreeWidget* SubscribedList() const { return lvSubscribed; }
    QLabel* SiteCount() const { return laSites; }
    QLabel* PoiImage() const { return imPoi; }
    QPushButton* DeleteSiteButton() const { return buDeleteSite; }
    void ViewRawXml();
    // "Start Wizard..." closed the manager to open the wizard.
    bool WantsWizard() const { return WizardRequested; }
    // Asks for a file like a save dialog would; tests answer instead of the user.
    std::function<QString(const TTargetProposal& proposal, int& formatIndex)> AskLocalFile;
    std::function<QString(int& formatIndex)> AskLocalFolder;
    std::function<QString(int& formatIndex)> AskDeviceFolder;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* CreateSitesTab();
    QWidget* CreateCatalogue();
    QWidget* CreateItemsTab();
    QWidget* CreateSettingsTab();
    QCheckBox* UpdateOnConnectBox(QWidget* tab);
    void OfferListStyles(QAbstractItemView* list, uint8_t TSettings::*style);
    void Command(const std::function<void()>& command);

    void FillSites(const QString& selected);
    void SiteChosen();
    // An empty `map` or `group` is the one chosen when the window was last closed.
    void ShowSite(TSite* site, const QString& map = QString(), const QString& group = QString());
    void MapChosen(const QString& group = QString());
    void GroupChosen();
    void ItemChosen();
    void ShowPoiImage(const QString& address);
    // Shows the text of a page the site's index names, fetched off the window's thread.
    void ShowSitePage(const QString& address);
    void SetPoiImage(const QImage& image);
    void FillSubscribed();
    QString CurrentSite() const;
    const TCountry* CurrentCountry() const;
    std::vector<TPoi*> SelectedPois() const;
    QStringList SelectedTargets(QTreeWidget* list) const;

    void AddSite();
    void DeleteSite();
    void Unhide();
    void UpdateSite();
    void ToggleInfoPage();
    void SubscribeLocal();
    void SubscribeDevice();
    void Unsubscribe(QTreeWidget* list);
    void UpdateSelected(QTreeWidget* list);
    void AutoUpdateNow();
    void SetPassword();
    void ChooseApplication();
    void RestoreState();
    void StoreState();

    TGuiPrompt Prompt;
    TAutoUpdateManager Manager;
    TSite* Site = nullptr;
    std::vector<TPoi*> ShownPois;

    QTabWidget* Pages;
    QSplitter* Splitter;
    QListWidget* lvSites;
    QLabel* laSites;
    QPushButton* buDeleteSite;
    QLabel* laAccess;
    QPushButton* buPassword;
    QPushButton* buWebsite;
    QStackedWidget* Catalogue;
    QTextBrowser* wbPage;
    QTreeWidget* lvMaps;
    QTreeWidget* lvGroups;
    QTreeWidget* lvItems;
    QTextBrowser* meNote;
    QLabel* imPoi;
    QTreeWidget* lvSubscribed;
    QLineEdit* edApplication;
    bool WizardRequested = false;
    int ImageRequest = 0;
    int PageRequest = 0;
};
