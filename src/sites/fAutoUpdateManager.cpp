#include "sites/fAutoUpdateManager.h"

#include <utility>

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "device/Rapi.h"
#include "device/fMobileFolder.h"
#include "locations/uDownload.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "sites/fProgress.h"
#include "sites/fStatus.h"
#include "sites/uAutoUpdate.h"
#include "sites/uDeviceConnect.h"
#include "sites/uSite.h"
#include "sites/uUpdateItems.h"
#include "widgets/fDialogs.h"
#include "widgets/uWindowBounds.h"

namespace {

// The item a row of the POI list or the item list stands for.
constexpr int TargetRole = Qt::UserRole;
constexpr int PoiRole = Qt::UserRole + 1;

QTreeWidget* ReportList(const QStringList& columns, QWidget* parent, bool multi)
{
    auto* list = new QTreeWidget(parent);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(
        multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    return list;
}

// The list styles in their stored numbering. A report list has no icons to show, so it shows
// the first three styles as a list of names alone; the site list has no columns, so it shows
// the last two alike.
constexpr uint8_t IconStyle = 0;
constexpr uint8_t ListStyle = 2;
constexpr uint8_t DetailsStyle = 3;

uint8_t ShownStyle(const QAbstractItemView* list, uint8_t stored)
{
    if (qobject_cast<const QTreeWidget*>(list))
        return stored == DetailsStyle ? DetailsStyle : ListStyle;
    return stored == IconStyle ? IconStyle : ListStyle;
}

void ApplyListStyle(QAbstractItemView* list, uint8_t stored)
{
    const uint8_t style = ShownStyle(list, stored);
    if (auto* report = qobject_cast<QTreeWidget*>(list)) {
        report->setHeaderHidden(style != DetailsStyle);
        for (int column = 1; column < report->columnCount(); ++column)
            report->setColumnHidden(column, style != DetailsStyle);
    } else if (auto* names = qobject_cast<QListWidget*>(list)) {
        names->setViewMode(style == IconStyle ? QListView::IconMode : QListView::ListMode);
    }
}

QPushButton* Button(const QString& caption, QWidget* parent, std::function<void()> clicked)
{
    auto* button = new QPushButton(caption, parent);
    QObject::connect(button, &QPushButton::clicked, parent, std::move(clicked));
    return button;
}

QString AccessKind(const TSite& site)
{
    if (IsFileLocation(site.Location()))
        return QObject::tr("Local");
    switch (site.Authorization()) {
    case TAuthorization::Registered:
        return QObject::tr("Registered");
    case TAuthorization::Subscribed:
        return QObject::tr("Subscribed");
    case TAuthorization::None:
        break;
    }
    return QObject::tr("Free");
}

// A page of the site shown in the manager as its text (or why it could not be fetched), with
// the way out to the user's browser.
QString PageHtml(const QString& url, const QString& text)
{
    return QStringLiteral("<p><a href=\"%1\">%2</a></p><p>%3</p><hr><p style=\"white-space: "
                          "pre-wrap\">%4</p>")
        .arg(url.toHtmlEscaped(), QObject::tr("Open in browser"), url.toHtmlEscaped(),
            text.toHtmlEscaped());
}

// A page's HTML in the encoding it declares, UTF-8 when it declares none.
QString DecodedHtml(const std::string& html)
{
    const QByteArrayView bytes(html.data(), qsizetype(html.size()));
    QStringDecoder decoder(
        QStringConverter::encodingForHtml(bytes).value_or(QStringConverter::Utf8));
    return decoder(bytes);
}

// The text the HTML shows, without its pictures, styles or anything else it would load.
QString PageText(const QString& html)
{
    QTextDocument page;
    page.setHtml(html);
    return page.toPlainText().trimmed();
}

// Runs `fetch` off the window's thread, so a slow site never stalls the lists, and hands its
// result to `show` on the window's thread while `window` still exists.
template <typename TFetch, typename TShow>
void FetchOffThread(QObject* window, TFetch fetch, TShow show)
{
    const QPointer<QObject> alive(window);
    QThread* thread = QThread::create([alive, fetch, show] {
        auto result = fetch();
        QMetaObject::invokeMethod(qApp, [alive, show, result] {
            if (alive)
                show(result);
        });
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

QString ItemDate(const QDateTime& date)
{
    return date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : QString();
}

} // namespace

TUrlOpener& DesktopOpener()
{
    static TUrlOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

TfmAddSite::TfmAddSite(QWidget* parent)
    : QDialog(parent)
    , edLocation(new QLineEdit(this))
{
    setWindowTitle(tr("Add site"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Location of the site xml:"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(edLocation);
    row->addWidget(Button(tr("Browse..."), this, [this] {
        const QString file = QFileDialog::getOpenFileName(
            this, tr("Site xml"), QString(), tr("Xml files (*.xml);;All files (*)"));
        if (!file.isEmpty())
            edLocation->setText(QStringLiteral("FILE://") + file);
    }));
    layout->addLayout(row);
    layout->addWidget(OkCancelButtons(this));
    edLocation->setText(QStringLiteral("http://"));
    resize(480, sizeHint().height());
}

QString TfmAddSite::Location() const { return TAutoUpdateManager::SiteAddress(edLocation->text()); }

void TfmAddSite::accept()
{
    try {
        TAutoUpdateManager::CheckNewSite(Location());
    } catch (const EUserError& error) {
        TGuiPrompt(this).ShowError(AsSentence(error.Message()));
        return;
    }
    QDialog::accept();
}

TfmAuthorization::TfmAuthorization(const TSiteCredentials& credentials, QWidget* parent)
    : QDialog(parent)
    , edUsername(new QLineEdit(credentials.Username, this))
    , edPassword(new QLineEdit(credentials.Password, this))
{
    setWindowTitle(tr("Authorization"));
    edPassword->setEchoMode(QLineEdit::Password);
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("Username:"), edUsername);
    layout->addRow(tr("Password:"), edPassword);
    layout->addRow(OkCancelButtons(this));
}

TSiteCredentials TfmAuthorization::Credentials() const
{
    return { edUsername->text(), edPassword->text() };
}

TfmSiteManager::TfmSiteManager(QWidget* parent)
    : QDialog(parent)
    , Prompt(this)
    , Manager(Prompt,
          [this](const QString& location) -> TSite& {
              return RefreshSiteXmlShowingProgress(location, true, this);
          })
    , Pages(new QTabWidget(this))
{
    setWindowTitle(tr("AutoUpdate Manager"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    Pages->addTab(CreateSitesTab(), tr("Sites"));
    Pages->addTab(CreateItemsTab(), tr("All Items / Pocket Marivel"));
    Pages->addTab(CreateSettingsTab(), tr("Settings"));
    // On a screen smaller than the tabs, they scroll, so the window and its Close button fit
    // the work area.
    auto* scroller = new QScrollArea(this);
    scroller->setWidget(Pages);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroller);
    auto* close = new QPushButton(tr("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);

    AskLocalFile = [this](const TTargetProposal& proposal, int& formatIndex) {
        const QStringList filters = DialogNameFilters(ExporterFilter());
        QString filter = filters.value(proposal.FormatIndex);
        // An existing file is no question yet: only the next update writes it.
        const QString file = QFileDialog::getSaveFileName(this, tr("Set Target File..."),
            QDir(proposal.Folder).filePath(proposal.FileName), filters.join(QStringLiteral(";;")),
            &filter, QFileDialog::DontConfirmOverwrite);
        formatIndex = std::max<int>(int(filters.indexOf(filter)), 0);
        return file;
    };
    AskLocalFolder = [this](int& formatIndex) {
        const QString folder = QFileDialog::getExistingDirectory(
            this, tr("Select target folder..."), Settings().InitialDir);
        if (folder.isEmpty())
            return QString();
        QStringList names;
        FillExporterNames(names);
        bool chosen = false;
        const QString type = QInputDialog::getItem(this, tr("Select target folder..."),
            tr("Target file type:"), names,
            std::max(FindExporter(QString(), Settings().LastSaveFormat), 0), false, &chosen);
        formatIndex = std::max<int>(int(names.indexOf(type)), 0);
        return chosen ? QStringLiteral("FILE://") + folder : QString();
    };
    AskDeviceFolder = [this](int& formatIndex) {
        InitRapi();
        TfmMobileFolder dialog(this);
        dialog.SetPath(Settings().PrevRemoteDir);
        dialog.ShowFileType(true);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        formatIndex = dialog.FileType();
        Settings().PrevRemoteDir = dialog.Path();
        return QStringLiteral("MOBILE://\\") + dialog.Path();
    };
    RestoreState();
}

TfmSiteManager::~TfmSiteManager() = default;

QWidget* TfmSiteManager::CreateSitesTab()
{
    auto* tab = new QWidget(this);
    Splitter = new QSplitter(tab);
    auto* left = new QWidget(Splitter);
    auto* leftLayout = new QVBoxLayout(left);
    lvSites = new QListWidget(left);
    laSites = new QLabel(left);
    connect(laSites, &QLabel::linkActivated, this, [this] { Command([this] { Unhide(); }); });
    leftLayout->addWidget(lvSites);
    leftLayout->addWidget(laSites);
    auto* siteButtons = new QHBoxLayout;
    buDeleteSite = Button(tr("Del"), left, [this] { Command([this] { DeleteSite(); }); });
    siteButtons->addWidget(Button(tr("Add"), left, [this] { Command([this] { AddSite(); }); }));
    siteButtons->addWidget(buDeleteSite);
    siteButtons->addWidget(
        Button(tr("Update"), left, [this] { Command([this] { UpdateSite(); }); }));
    siteButtons->addWidget(Button(tr("View"), left, [this] { Command([this] { ViewRawXml(); }); }));
    siteButtons->addWidget(Button(tr("Status"), left,
        [] { DesktopOpener()(QUrl::fromUserInput(Settings().SitesStatusUrl)); }));
    leftLayout->addLayout(siteButtons);
    Splitter->addWidget(left);
    Splitter->addWidget(CreateCatalogue());
    Splitter->setStretchFactor(1, 3);
    connect(lvSites, &QListWidget::currentRowChanged, this,
        [this] { Command([this] { SiteChosen(); }); });
    (new QVBoxLayout(tab))->addWidget(Splitter);
    return tab;
}

QWidget* TfmSiteManager::CreateCatalogue()
{
    auto* right = new QWidget(Splitter);
    auto* layout = new QVBoxLayout(right);
    auto* head = new QHBoxLayout;
    laAccess = new QLabel(right);
    buPassword =
        Button(tr("Set/Change password..."), right, [this] { Command([this] { SetPassword(); }); });
    buWebsite = Button(tr("Show Info Page"), right, [this] { ToggleInfoPage(); });
    head->addWidget(laAccess, 1);
    head->addWidget(buPassword);
    head->addWidget(buWebsite);
    layout->addLayout(head);

    Catalogue = new QStackedWidget(right);
    auto* lists = new QWidget(Catalogue);
    auto* grid = new QGridLayout(lists);
    lvMaps = ReportList({ tr("Map/Country name") }, lists, false);
    lvGroups = ReportList({ tr("Group name") }, lists, false);
    lvItems = ReportList(
        { tr("Name"), tr("Map"), tr("Auth"), tr("Subscribed"), tr("Target") }, lists, true);
    meNote = new QTextBrowser(lists);
    imPoi = new QLabel(lists);
    grid->addWidget(lvMaps, 0, 0);
    grid->addWidget(lvGroups, 0, 1);
    grid->addWidget(lvItems, 1, 0, 1, 2);
    grid->addWidget(meNote, 2, 0);
    grid->addWidget(imPoi, 2, 1);
    grid->setRowStretch(1, 3);
    // Names of POI files are long; the note needs a few lines only.
    lvItems->setColumnWidth(0, 260);
    meNote->setMaximumHeight(120);
    auto* subscribe = new QHBoxLayout;
    subscribe->addWidget(new QLabel(tr("Subscribe to:"), lists));
    subscribe->addWidget(
        Button(tr("Local"), lists, [this] { Command([this] { SubscribeLocal(); }); }));
    subscribe->addWidget(
        Button(tr("Device"), lists, [this] { Command([this] { SubscribeDevice(); }); }));
    subscribe->addWidget(
        Button(tr("Unsubscribe"), lists, [this] { Command([this] { Unsubscribe(lvItems); }); }));
    subscribe->addWidget(
        Button(tr("Update"), lists, [this] { Command([this] { UpdateSelected(lvItems); }); }));
    subscribe->addStretch();
    subscribe->addWidget(Button(tr("Start Wizard..."), lists, [this] {
        WizardRequested = true;
        accept();
    }));
    subscribe->addWidget(
        Button(tr("AutoUpdate Now"), lists, [this] { Command([this] { AutoUpdateNow(); }); }));
    grid->addLayout(subscribe, 3, 0, 1, 2);
    Catalogue->addWidget(lists);

    wbPage = new QTextBrowser(Catalogue);
    wbPage->setOpenLinks(false);
    connect(
        wbPage, &QTextBrowser::anchorClicked, this, [](const QUrl& url) { DesktopOpener()(url); });
    Catalogue->addWidget(wbPage);
    layout->addWidget(Catalogue);

    connect(lvMaps, &QTreeWidget::currentItemChanged, this, [this] { MapChosen(); });
    connect(lvGroups, &QTreeWidget::currentItemChanged, this, [this] { GroupChosen(); });
    connect(lvItems, &QTreeWidget::currentItemChanged, this, [this] { ItemChosen(); });
    return right;
}

QWidget* TfmSiteManager::CreateItemsTab()
{
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    lvSubscribed = ReportList({ tr("Name"), tr("Site"), tr("Map"), tr("Target"), tr("Format"),
                                  tr("Last checked"), tr("Last updated") },
        tab, true);
    for (const auto& [column, width] : { std::pair { 0, 220 }, { 1, 320 }, { 3, 320 } })
        lvSubscribed->setColumnWidth(column, width);
    layout->addWidget(lvSubscribed);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button(tr("Update Selection"), tab,
        [this] { Command([this] { UpdateSelected(lvSubscribed); }); }));
    buttons->addWidget(
        Button(tr("Unsubscribe"), tab, [this] { Command([this] { Unsubscribe(lvSubscribed); }); }));
    buttons->addStretch();
    buttons->addWidget(Button(tr("Send Selected to Pocket Marivel"), tab, [this] {
        Command([this] { Manager.SendToPocketMarivel(SelectedTargets(lvSubscribed)); });
    }));
    layout->addLayout(buttons);
    return tab;
}

QWidget* TfmSiteManager::CreateSettingsTab()
{
    auto* page = new QWidget(this);
    auto* tab = new QWidget(page);
    // A maximized manager would otherwise stretch the fields across the whole screen.
    tab->setMaximumWidth(720);
    (new QVBoxLayout(page))->addWidget(tab, 0, Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QFormLayout(tab);
    TSettings& settings = Settings();
    const auto check = [&](const QString& caption, bool TSettings::*field) {
        auto* box = new QCheckBox(caption, tab);
        box->setChecked(settings.*field);
        connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
            Settings().*field = on;
            Command(TAutoUpdateManager::KeepSettings);
        });
        layout->addRow(box);
        return box;
    };
    layout->addRow(UpdateOnConnectBox(tab));
    check(tr("Download Images"), &TSettings::DownloadImages);
    check(tr("Always overwrite"), &TSettings::AlwaysOverwrite);
    check(tr("Close Status Window Automatically"), &TSettings::StatusAutoClose);
    auto* delay = new QSpinBox(tab);
    delay->setRange(0, 60);
    delay->setMaximumWidth(140);
    delay->setSuffix(tr(" seconds"));
    delay->setValue(std::clamp(settings.AutoUpdateDelay, 0, 60));
    connect(delay, &QSpinBox::valueChanged, this, [this](int seconds) {
        Settings().AutoUpdateDelay = seconds;
        Command(TAutoUpdateManager::KeepSettings);
    });
    layout->addRow(tr("Delay time:"), delay);

    check(tr("After AutoUpdate start this application:"), &TSettings::AutoUpdateApplicationEnabled);
    edApplication = new QLineEdit(settings.AutoUpdateApplication, tab);
    connect(edApplication, &QLineEdit::editingFinished, this, [this] {
        Command([this] { TAutoUpdateManager::SetApplication(edApplication->text().trimmed()); });
    });
    auto* application = new QHBoxLayout;
    application->addWidget(edApplication);
    application->addWidget(Button(tr("Browse..."), tab, [this] { ChooseApplication(); }));
    layout->addRow(tr("Application:"), application);
    auto* parameters = new QLineEdit(settings.AutoUpdateAppParams, tab);
    connect(parameters, &QLineEdit::textChanged, this, [this](const QString& text) {
        Settings().AutoUpdateAppParams = text;
        Command(TAutoUpdateManager::KeepSettings);
    });
    layout->addRow(tr("Parameters:"), parameters);

    auto* alternate = new QCheckBox(
        tr("Pocket Marivel is installed to an alternate installation directory"), tab);
    auto* directory = new QLineEdit(settings.PMVAlternateDir, tab);
    alternate->setChecked(!settings.PMVAlternateDir.isEmpty());
    directory->setEnabled(alternate->isChecked());
    const auto keepDirectory = [this, alternate, directory] {
        directory->setEnabled(alternate->isChecked());
        Settings().PMVAlternateDir =
            alternate->isChecked() ? directory->text().trimmed() : QString();
        Command(TAutoUpdateManager::KeepSettings);
    };
    connect(alternate, &QCheckBox::toggled, this, keepDirectory);
    connect(directory, &QLineEdit::textChanged, this, keepDirectory);
    layout->addRow(alternate);
    layout->addRow(tr("Directory:"), directory);
    return page;
}

// The box shows whether the autostart entry is there, so a change made elsewhere shows too.
QCheckBox* TfmSiteManager::UpdateOnConnectBox(QWidget* tab)
{
    auto* box = new QCheckBox(tr("AutoUpdate upon device connect"), tab);
    box->setChecked(UpdateOnConnectEnabled());
    connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
        Command([on] { SetUpdateOnConnect(on, QApplication::applicationFilePath()); });
        const QSignalBlocker block(box);
        box->setChecked(UpdateOnConnectEnabled());
    });
    return box;
}

void TfmSiteManager::Command(const std::function<void()>& command)
{
    try {
        command();
    } catch (const EUserError& error) {
        Prompt.ShowError(AsSentence(error.Message()));
        Refresh();
    }
}

void TfmSiteManager::FillSites(const QString& selected)
{
    const QSignalBlocker block(lvSites);
    lvSites->clear();
    const QStringList shown = Manager.ShownSites();
    for (const QString& site : shown) {
        auto* row = new QListWidgetItem(LocationForDisplay(site), lvSites);
        row->setData(Qt::UserRole, site);
        row->setIcon(style()->standardIcon(
            IsFileLocation(site) ? QStyle::SP_DriveHDIcon : QStyle::SP_DriveNetIcon));
        if (site.compare(selected, Qt::CaseInsensitive) == 0)
            lvSites->setCurrentItem(row);
    }
    laSites->setText(tr("%1 sites (%2 hidden, <a href=\"unhide\">unhide</a>)")
                         .arg(shown.size())
                         .arg(Manager.HiddenCount()));
    if (!lvSites->currentItem() && lvSites->count() > 0)
        lvSites->setCurrentRow(0);
    SiteChosen();
}

QString TfmSiteManager::CurrentSite() const
{
    const QListWidgetItem* row = lvSites->currentItem();
    return row ? row->data(Qt::UserRole).toString() : QString();
}

void TfmSiteManager::SiteChosen()
{
    const QString site = CurrentSite();
    buDeleteSite->setText(TAutoUpdateManager::DeleteCaption(site));
    Site = nullptr;
    ShowSite(nullptr);
    if (!site.isEmpty()) {
        const TWaitCursor wait;
        ShowSite(Manager.OpenSite(site));
    }
}

void TfmSiteManager::ShowSite(TSite* site, const QString& map, const QString& group)
{
    Site = site;
    {
        const QSignalBlocker block(lvMaps);
        lvMaps->clear();
        if (site)
            for (const auto& country : site->Countries)
                new QTreeWidgetItem(lvMaps, { TAutoUpdateManager::CountryCaption(*country) });
    }
    laAccess->setText(site ? AccessKind(*site) : QString());
    buPassword->setVisible(site && site->Authorization() != TAuthorization::None);
    buWebsite->setEnabled(site && !site->InfoUrl.isEmpty());
    const bool managerPage = site && !site->ManagerPage.isEmpty();
    if (managerPage)
        ShowSitePage(site->ManagerPage);
    Catalogue->setCurrentIndex(managerPage ? 1 : 0);
    buWebsite->setText(tr("Show Info Page"));
    const QString chosen = map.isEmpty() ? Settings().SiteManagerMap : map;
    QTreeWidgetItem* first = lvMaps->topLevelItem(0);
    for (int i = 0; i < lvMaps->topLevelItemCount(); ++i)
        if (lvMaps->topLevelItem(i)->text(0) == chosen)
            first = lvMaps->topLevelItem(i);
    lvMaps->setCurrentItem(first);
    MapChosen(group);
}

const TCountry* TfmSiteManager::CurrentCountry() const
{
    const int row = lvMaps->indexOfTopLevelItem(lvMaps->currentItem());
    return Site && row >= 0 ? Site->Countries[size_t(row)].get() : nullptr;
}

void TfmSiteManager::MapChosen(const QString& group)
{
    const QSignalBlocker block(lvGroups);
    lvGroups->clear();
    const QString chosen = group.isEmpty() ? Settings().SiteManagerGroup : group;
    if (const TCountry* country = CurrentCountry()) {
        for (const TGroupRow& row : TAutoUpdateManager::GroupRows(*Site, *country)) {
            auto* item = new QTreeWidgetItem(lvGroups, { row.Caption });
            item->setData(0, Qt::UserRole, row.Name);
            if (row.Caption == chosen)
                lvGroups->setCurrentItem(item);
        }
        if (!lvGroups->currentItem())
            lvGroups->setCurrentItem(lvGroups->topLevelItem(0));
    }
    GroupChosen();
}

void TfmSiteManager::GroupChosen()
{
    const QSignalBlocker block(lvItems);
    const TCountry* country = CurrentCountry();
    const QTreeWidgetItem* group = lvGroups->currentItem();
    ShownPois = country && group ? TAutoUpdateManager::PoisOf(
                    *country, { group->text(0), group->data(0, Qt::UserRole).toString() })
                                 : std::vector<TPoi*> {};
    lvItems->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(qsizetype(ShownPois.size()));
    for (size_t i = 0; i < ShownPois.size(); ++i) {
        const TPoi& poi = *ShownPois[i];
        const TUpdateItem* item = AutoUpdateItems().FindByPoi(poi.Site, poi.Description);
        auto* row = new QTreeWidgetItem(
            { poi.Description, country->Name, TAutoUpdateManager::AuthorizationCaption(poi),
                item ? tr("Yes") : tr("No"), item ? LocationForDisplay(item->Target) : QString() });
        row->setData(0, PoiRole, qulonglong(i));
        rows.append(row);
    }
    lvItems->addTopLevelItems(rows);
    ItemChosen();
}

void TfmSiteManager::ItemChosen()
{
    const QTreeWidgetItem* row = lvItems->currentItem();
    const TPoi* poi = row ? ShownPois[row->data(0, PoiRole).toULongLong()] : nullptr;
    meNote->setPlainText(poi ? poi->Note : QString());
    ShowPoiImage(poi && Site && !poi->Image.isEmpty()
            ? MakeAbsoluteUrl(poi->Image, Site->Location())
            : QString());
}

// A site's picture is fetched off the window's thread, so a slow site never stalls the lists;
// only the answer to the latest choice is shown.
void TfmSiteManager::ShowPoiImage(const QString& address)
{
    const int request = ++ImageRequest;
    imPoi->clear();
    if (address.isEmpty())
        return;
    if (IsFileLocation(address))
        return SetPoiImage(QImage(StripFilePrefix(address)));
    FetchOffThread(
        this,
        [address] {
            QImage image;
            try {
                image.load(DownloadToCacheFile(address, TDownloadKind::Answer));
            } catch (const std::exception&) {
                // No picture is shown; the POI file itself is what matters.
            }
            return image;
        },
        [this, request](const QImage& image) {
            if (ImageRequest == request)
                SetPoiImage(image);
        });
}

// Only the answer to the latest page asked for is shown.
void TfmSiteManager::ShowSitePage(const QString& address)
{
    const int request = ++PageRequest;
    const QString site = Site->Location();
    QString url = address;
    try {
        url = MakeAbsoluteUrl(address, site);
    } catch (const EUserError&) { // the fetch below says so
    }
    wbPage->setHtml(PageHtml(url, QString()));
    // Fetched and decoded off the window's thread; the text is made from the HTML on it.
    using TFetched = std::pair<bool, QString>; // a page's HTML, or why there is none
    FetchOffThread(
        this,
        [address, site] {
            try {
                return TFetched { true, DecodedHtml(TAutoUpdateManager::FetchPage(address, site)) };
            } catch (const Exception& e) {
                return TFetched { false, AsSentence(e.Message()) };
            }
        },
        [this, request, url](const TFetched& fetched) {
            if (PageRequest == request)
                wbPage->setHtml(
                    PageHtml(url, fetched.first ? PageText(fetched.second) : fetched.second));
        });
}

void TfmSiteManager::SetPoiImage(const QImage& image)
{
    // Pictures meant for a navigator's screen are small; a large one is shown scaled down.
    constexpr int Largest = 120;
    imPoi->setPixmap(QPixmap::fromImage(image.width() > Largest || image.height() > Largest
            ? image.scaled(Largest, Largest, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : image));
}

std::vector<TPoi*> TfmSiteManager::SelectedPois() const
{
    std::vector<TPoi*> pois;
    for (const QTreeWidgetItem* row : lvItems->selectedItems())
        pois.push_back(ShownPois[row->data(0, PoiRole).toULongLong()]);
    return pois;
}

QStringList TfmSiteManager::SelectedTargets(QTreeWidget* list) const
{
    QStringList targets;
    if (list == lvSubscribed) {
        for (const QTreeWidgetItem* row : list->selectedItems())
            targets.append(row->data(0, TargetRole).toString());
        return targets;
    }
    for (const TPoi* poi : SelectedPois())
        if (const TUpdateItem* item = AutoUpdateItems().FindByPoi(poi->Site, poi->Description))
            targets.append(item->Target);
    return targets;
}

void TfmSiteManager::FillSubscribed()
{
    lvSubscribed->clear();
    TUpdateItems& items = AutoUpdateItems();
    for (int i = 0; i < items.Count(); ++i) {
        const TUpdateItem& item = items.Items(i);
        auto* row = new QTreeWidgetItem(lvSubscribed,
            { item.Poi, LocationForDisplay(item.Site), item.Country,
                LocationForDisplay(item.Target), item.Format, ItemDate(item.LastChecked),
                ItemDate(item.LastUpdated) });
        row->setData(0, TargetRole, item.Target);
    }
}

// After a change the lists stay on the country, group and POI files the user was at.
void TfmSiteManager::Refresh()
{
    FillSubscribed();
    if (!Site)
        return;
    const auto currentText = [](const QTreeWidget* list) {
        const QTreeWidgetItem* row = list->currentItem();
        return row ? row->text(0) : QString();
    };
    const QString current = currentText(lvItems);
    QStringList selected;
    for (const QTreeWidgetItem* row : lvItems->selectedItems())
        selected.append(row->text(0));
    const QSignalBlocker block(lvSites);
    ShowSite(Site, currentText(lvMaps), currentText(lvGroups));
    for (int i = 0; i < lvItems->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = lvItems->topLevelItem(i);
        if (row->text(0) == current)
            lvItems->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
        row->setSelected(selected.contains(row->text(0)));
    }
}

void TfmSiteManager::AddSite()
{
    TfmAddSite dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        FillSites(Manager.AddSite(dialog.Location()));
}

void TfmSiteManager::DeleteSite()
{
    if (Manager.DeleteSite(CurrentSite()))
        FillSites(QString());
    FillSubscribed();
}

void TfmSiteManager::Unhide()
{
    if (Manager.UnhideSites())
        FillSites(CurrentSite());
}

void TfmSiteManager::UpdateSite()
{
    const QString site = CurrentSite();
    if (!site.isEmpty())
        ShowSite(&Manager.UpdateSite(site));
}

void TfmSiteManager::ViewRawXml()
{
    DesktopOpener()(QUrl::fromLocalFile(TAutoUpdateManager::SiteXmlFile(CurrentSite())));
}

// The information page is shown in the manager on the first click, in the browser from there.
void TfmSiteManager::ToggleInfoPage()
{
    if (!Site)
        return;
    const bool showing =
        Catalogue->currentIndex() == 1 && buWebsite->text() == tr("Hide Info Page");
    if (showing) {
        ShowSite(Site);
        return;
    }
    ShowSitePage(Site->InfoUrl);
    Catalogue->setCurrentIndex(1);
    buWebsite->setText(tr("Hide Info Page"));
}

void TfmSiteManager::SubscribeLocal()
{
    const std::vector<TPoi*> pois = SelectedPois();
    if (!Site || pois.empty())
        return;
    TAutoUpdateManager::CheckSameTargetKind(*Site, pois);
    int formatIndex = 0;
    if (pois.size() == 1) {
        const QString file = AskLocalFile(Manager.ProposeLocalTarget(*Site, *pois[0]), formatIndex);
        if (!file.isEmpty())
            Manager.SubscribeLocal(*Site, *pois[0], file, formatIndex);
    } else if (const QString folder = AskLocalFolder(formatIndex); !folder.isEmpty()) {
        Manager.SubscribeMany(*Site, pois, folder, formatIndex);
        Settings().InitialDir = StripFilePrefix(folder);
    }
    Refresh();
}

void TfmSiteManager::SubscribeDevice()
{
    const std::vector<TPoi*> pois = SelectedPois();
    if (!Site || pois.empty())
        return;
    TAutoUpdateManager::CheckSameTargetKind(*Site, pois);
    int formatIndex = 0;
    if (const QString folder = AskDeviceFolder(formatIndex); !folder.isEmpty())
        Manager.SubscribeMany(*Site, pois, folder, formatIndex);
    Refresh();
}

void TfmSiteManager::Unsubscribe(QTreeWidget* list)
{
    if (Manager.Unsubscribe(SelectedTargets(list)))
        Refresh();
}

void TfmSiteManager::UpdateSelected(QTreeWidget* list)
{
    TUpdateItems items;
    TAutoUpdateManager::ItemsOf(SelectedTargets(list), items);
    if (items.Count() == 0)
        return;
    TfmStatus status(items, false, this);
    status.exec();
    Refresh();
}

void TfmSiteManager::AutoUpdateNow()
{
    TfmStatus status(AutoUpdateItems(), false, this);
    status.exec();
    Refresh();
}

void TfmSiteManager::SetPassword()
{
    const QString site = CurrentSite();
    TfmAuthorization dialog(ReadSiteCredentials(site), this);
    if (dialog.exec() == QDialog::Accepted)
        WriteSiteCredentials(site, dialog.Credentials());
}

// Any program the desktop can run: scripts and programs alike carry no telling extension here.
void TfmSiteManager::ChooseApplication()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("Application"),
        edApplication->text(), {}, nullptr, QFileDialog::DontResolveSymlinks);
    if (file.isEmpty())
        return;
    edApplication->setText(file);
    Command([&] { TAutoUpdateManager::SetApplication(file); });
}

// The user picks a list's style from its context menu; the manager keeps it when it closes.
void TfmSiteManager::OfferListStyles(QAbstractItemView* list, uint8_t TSettings::*style)
{
    ApplyListStyle(list, Settings().*style);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [list, style](const QPoint& at) {
        QMenu menu(list);
        auto* styles = new QActionGroup(&menu); // one style at a time, shown as a radio choice
        const std::pair<QString, uint8_t> choices[] = { { tr("Icons"), IconStyle },
            { tr("List"), ListStyle }, { tr("Details"), DetailsStyle } };
        for (const auto& [caption, value] : choices) {
            if (ShownStyle(list, value) != value)
                continue; // a style this list shows as another
            QAction* choice = menu.addAction(caption);
            choice->setCheckable(true);
            styles->addAction(choice);
            choice->setChecked(ShownStyle(list, Settings().*style) == value);
            connect(choice, &QAction::triggered, list, [list, style, value] {
                Settings().*style = value;
                ApplyListStyle(list, value);
            });
        }
        menu.exec(list->viewport()->mapToGlobal(at));
    });
}

void TfmSiteManager::RestoreState()
{
    const TSettings& settings = Settings();
    OfferListStyles(lvSites, &TSettings::SiteManagerSitesView);
    OfferListStyles(lvMaps, &TSettings::SiteManagerMapsView);
    OfferListStyles(lvGroups, &TSettings::SiteManagerGroupsView);
    OfferListStyles(lvItems, &TSettings::SiteManagerItemsView);
    // Within the work area of its screen, whatever size and place were stored.
    const TStoredBounds stored { settings.SiteManagerLeft, settings.SiteManagerTop,
        settings.SiteManagerWidth, settings.SiteManagerHeight };
    const QScreen* screen = QGuiApplication::screenAt(QPoint(stored.Left, stored.Top));
    const TWindowBounds bounds =
        FitBounds(stored, QSize(960, 640), (screen ? screen : this->screen())->availableGeometry());
    if (bounds.FramePosition)
        move(*bounds.FramePosition);
    resize(bounds.Size);
    if (settings.SiteManagerMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (settings.SiteManagerLeftPanel > 0)
        Splitter->setSizes({ settings.SiteManagerLeftPanel, width() });
    FillSubscribed();
    Command([this] { FillSites(Settings().SiteManagerUrl); });
}

// Once shown the frame is known: the whole window, its buttons included, stays within the
// work area, not under a panel.
void TfmSiteManager::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, [this] {
        if (isMaximized())
            return;
        const TWindowBounds fitted =
            FitFrame(frameGeometry(), size(), screen()->availableGeometry());
        resize(fitted.Size);
        move(*fitted.FramePosition);
    });
}

void TfmSiteManager::StoreState()
{
    TSettings& settings = Settings();
    settings.SiteManagerUrl = CurrentSite();
    settings.SiteManagerMap = lvMaps->currentItem() ? lvMaps->currentItem()->text(0) : QString();
    settings.SiteManagerGroup =
        lvGroups->currentItem() ? lvGroups->currentItem()->text(0) : QString();
    settings.SiteManagerMaximized = isMaximized();
    if (!isMaximized()) {
        settings.SiteManagerLeft = pos().x(); // the frame's, as the window is moved back
        settings.SiteManagerTop = pos().y();
        settings.SiteManagerWidth = width();
        settings.SiteManagerHeight = height();
    }
    settings.SiteManagerLeftPanel = Splitter->sizes().value(0);
}

void TfmSiteManager::done(int result)
{
    StoreState();
    QDialog::done(result);
}
