#include "sites/fAutoUpdateWizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "device/Rapi.h"
#include "device/fMobileFolder.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "sites/fProgress.h"
#include "sites/uSite.h"
#include "widgets/uBrowser.h"

namespace {

QLabel* Text(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

TfmAutoUpdateWizard::TfmAutoUpdateWizard(IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent)
    , Prompt(prompt)
    , Wizard(prompt,
          [this](const QString& location, bool force) {
              RefreshSiteXmlShowingProgress(location, force, this);
          })
    , Pages(new QStackedWidget(this))
    , buBack(new QPushButton(tr("< Back"), this))
    , buNext(new QPushButton(this))
    , buCancel(new QPushButton(this))
{
    setWindowTitle(tr("AutoUpdate Wizard"));
    for (QWidget* page : { WelcomePage(), SitesPage(), AuthenticationPage(), GroupsPage(),
             TargetPage(), ReadyPage(), FinishPage() })
        Pages->addWidget(page);
    buBack->setObjectName(QStringLiteral("buBack"));
    buNext->setObjectName(QStringLiteral("buNext"));
    buCancel->setObjectName(QStringLiteral("buCancel"));
    buNext->setDefault(true);
    connect(buBack, &QPushButton::clicked, this, &TfmAutoUpdateWizard::GoBack);
    connect(buNext, &QPushButton::clicked, this, &TfmAutoUpdateWizard::GoNext);
    connect(buCancel, &QPushButton::clicked, this, &TfmAutoUpdateWizard::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buBack);
    buttons->addWidget(buNext);
    buttons->addWidget(buCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages, 1);
    layout->addLayout(buttons);
    resize(520, 360);
    ShowPage();
}

QWidget* TfmAutoUpdateWizard::WelcomePage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Text(tr("This wizard sets up AutoUpdate of the POI files of one site: "
                              "choose the site, a country and a group, and where the files go. "
                              "AutoUpdate then keeps them up to date."),
        page));
    layout->addStretch();
    return page;
}

QWidget* TfmAutoUpdateWizard::SitesPage()
{
    auto* page = new QWidget(this);
    cbSites = new QComboBox(page);
    cbSites->setObjectName(QStringLiteral("cbSites"));
    for (const QString& site : Settings().Sites)
        if (!Settings().HiddenSites.contains(site, Qt::CaseInsensitive))
            cbSites->addItem(site);
    cbForce = new QCheckBox(tr("Force site information download in the next step"), page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        Text(tr("Choose the site whose POI files you want to keep up to date:"), page));
    layout->addWidget(cbSites);
    layout->addWidget(cbForce);
    layout->addStretch();
    return page;
}

QWidget* TfmAutoUpdateWizard::AuthenticationPage()
{
    auto* page = new QWidget(this);
    laSiteName = Text(QString(), page);
    edUsername = new QLineEdit(page);
    edPassword = new QLineEdit(page);
    edPassword->setEchoMode(QLineEdit::Password);
    auto* website = new QPushButton(tr("Website"), page);
    connect(website, &QPushButton::clicked, this, [this] {
        if (const TSite* site = Wizard.Site())
            ShowInBrowser(site->InfoUrl, Prompt);
    });
    auto* layout = new QFormLayout(page);
    layout->addRow(laSiteName);
    layout->addRow(
        Text(tr("This site needs an account. Enter your user name and password:"), page));
    layout->addRow(tr("User name:"), edUsername);
    layout->addRow(tr("Password:"), edPassword);
    layout->addRow(website);
    return page;
}

QWidget* TfmAutoUpdateWizard::GroupsPage()
{
    auto* page = new QWidget(this);
    cbCountries = new QComboBox(page);
    cbCountries->setObjectName(QStringLiteral("cbCountries"));
    cbGroups = new QComboBox(page);
    cbGroups->setObjectName(QStringLiteral("cbGroups"));
    laGroupNote = Text(QString(), page);
    laGroupNote->setObjectName(QStringLiteral("laGroupNote"));
    connect(
        cbCountries, &QComboBox::currentIndexChanged, this, &TfmAutoUpdateWizard::CountryChosen);
    connect(cbGroups, &QComboBox::activated, this, &TfmAutoUpdateWizard::GroupChosen);
    auto* layout = new QFormLayout(page);
    layout->addRow(tr("Country:"), cbCountries);
    layout->addRow(tr("Group:"), cbGroups);
    layout->addRow(laGroupNote);
    return page;
}

QWidget* TfmAutoUpdateWizard::TargetPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    rgTarget = new QButtonGroup(page);
    const QString captions[] = { tr("Folder on local machine"), tr("Navigator on the device"),
        tr("TomTom GO") };
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(captions[i], page);
        rgTarget->addButton(radio, i);
        layout->addWidget(radio);
    }
    rgTarget->button(0)->setChecked(true);
    edFolder = new QLineEdit(page);
    edFolder->setObjectName(QStringLiteral("edFolder"));
    auto* browse = new QPushButton(tr("Browse..."), page);
    connect(browse, &QPushButton::clicked, this, &TfmAutoUpdateWizard::BrowseFolder);
    auto* folder = new QHBoxLayout;
    folder->addWidget(edFolder, 1);
    folder->addWidget(browse);
    cbFormat = new QComboBox(page);
    cbFormat->setObjectName(QStringLiteral("cbFormat"));
    for (int i = 0; i < ExporterCount(); ++i)
        cbFormat->addItem(ExporterName(i), ExporterFormatId(i));
    connect(rgTarget, &QButtonGroup::idClicked, this, &TfmAutoUpdateWizard::TargetChosen);
    auto* form = new QFormLayout;
    form->addRow(tr("Folder:"), folder);
    form->addRow(tr("File type:"), cbFormat);
    layout->addLayout(form);
    layout->addStretch();
    return page;
}

QWidget* TfmAutoUpdateWizard::ReadyPage()
{
    auto* page = new QWidget(this);
    laReady = Text(QString(), page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(laReady);
    layout->addStretch();
    return page;
}

QWidget* TfmAutoUpdateWizard::FinishPage()
{
    auto* page = new QWidget(this);
    auto* now = new QPushButton(tr("AutoUpdate now"), page);
    auto* manager = new QPushButton(tr("Go to AutoUpdate Manager"), page);
    connect(now, &QPushButton::clicked, this, [this] { CloseFor(TWizardFollowUp::AutoUpdateNow); });
    connect(manager, &QPushButton::clicked, this, [this] { CloseFor(TWizardFollowUp::Manager); });
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Text(tr("The AutoUpdate items are set up."), page));
    layout->addWidget(now);
    layout->addWidget(manager);
    layout->addStretch();
    return page;
}

void TfmAutoUpdateWizard::TakeChoices()
{
    Wizard.SiteLocation = cbSites->currentText();
    Wizard.ForceDownload = cbForce->isChecked();
    Wizard.Credentials = { edUsername->text(), edPassword->text() };
    Wizard.Country = cbCountries->currentText();
    Wizard.Group = cbGroups->currentData().toString();
    Wizard.Target = TWizardTarget(rgTarget->checkedId());
    Wizard.Folder = edFolder->text();
    Wizard.FormatId = cbFormat->currentData().toString();
}

void TfmAutoUpdateWizard::GoNext()
{
    TakeChoices();
    try {
        if (!Wizard.Next())
            return;
    } catch (const EUserError& e) {
        Prompt.ShowError(AsSentence(e.Message()));
        return;
    }
    ShowPage();
}

void TfmAutoUpdateWizard::GoBack()
{
    TakeChoices();
    Wizard.Back();
    ShowPage();
}

// Entering a page fills it from the wizard's state.
void TfmAutoUpdateWizard::ShowPage()
{
    const TWizardPage page = Wizard.Page();
    Pages->setCurrentIndex(int(page));
    buBack->setEnabled(page != TWizardPage::Default && page != TWizardPage::Finish);
    buNext->setVisible(page != TWizardPage::Finish);
    buNext->setText(page == TWizardPage::Ready ? tr("Finish") : tr("Next") + QStringLiteral(" >"));
    buCancel->setText(page == TWizardPage::Finish ? tr("Close") : tr("Cancel"));
    const QString siteName = Wizard.SiteLocation;
    if (page == TWizardPage::Authentication) {
        laSiteName->setText(siteName);
        edUsername->setText(Wizard.Credentials.Username);
        edPassword->setText(Wizard.Credentials.Password);
    } else if (page == TWizardPage::Groups && cbCountries->count() == 0) {
        cbCountries->addItems(Wizard.CountryNames());
    } else if (page == TWizardPage::Ready) {
        laReady->setText(tr("The wizard is ready to set up AutoUpdate of %1 POI files from %2. "
                            "Click Finish to do so.")
                             .arg(Wizard.NewItems().size())
                             .arg(siteName));
    }
}

void TfmAutoUpdateWizard::CountryChosen()
{
    cbGroups->clear();
    Wizard.Country = cbCountries->currentText();
    for (const TWizardGroup& group : Wizard.Groups())
        cbGroups->addItem(group.Caption, group.Name);
    if (cbGroups->count() == 0) {
        laGroupNote->setText(Tr(Msg::NoGroups));
        return;
    }
    GroupChosen();
}

void TfmAutoUpdateWizard::GroupChosen()
{
    const QString name = cbGroups->currentData().toString();
    if (name.isEmpty() && cbGroups->currentIndex() >= 0) { // "Other groups..."
        if (Prompt.Ask(Tr(Msg::OtherGroupsAsk), false) == IUserPrompt::TAnswer::Yes)
            return CloseFor(TWizardFollowUp::Manager);
        cbGroups->setCurrentIndex(-1);
        laGroupNote->clear();
        return;
    }
    const TSite* site = Wizard.Site();
    const int index = site ? site->FindGroup(name) : -1;
    const QString note = index < 0 ? QString() : site->Groups[size_t(index)]->Note;
    laGroupNote->setText(note.isEmpty() ? Tr(Msg::NoAdditionalInfo) : note);
}

void TfmAutoUpdateWizard::TargetChosen()
{
    cbFormat->setEnabled(rgTarget->checkedId() == int(TWizardTarget::LocalFolder));
    // A local path is no device path and the other way round.
    const bool device = rgTarget->checkedId() == int(TWizardTarget::DeviceMap);
    if (device != edFolder->text().startsWith(QLatin1Char('\\')))
        edFolder->clear();
}

void TfmAutoUpdateWizard::BrowseFolder()
{
    if (rgTarget->checkedId() == int(TWizardTarget::DeviceMap)) {
        BrowseDeviceFolder();
        return;
    }
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Select target folder..."),
        edFolder->text().isEmpty() ? Settings().InitialDir : edFolder->text());
    if (!folder.isEmpty())
        edFolder->setText(folder);
}

// The navigator's maps are offered as shortcuts to their folders; device paths start at "\".
void TfmAutoUpdateWizard::BrowseDeviceFolder()
{
    InitRapi();
    TfmMobileFolder dialog(this);
    const QString current = edFolder->text().startsWith(QLatin1Char('\\'))
        ? edFolder->text().mid(1)
        : Settings().PrevRemoteDir;
    dialog.SetPath(current);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Settings().PrevRemoteDir = dialog.Path();
    edFolder->setText(QLatin1Char('\\') + dialog.Path());
}

void TfmAutoUpdateWizard::CloseFor(TWizardFollowUp followUp)
{
    FFollowUp = followUp;
    QDialog::accept();
}

void TfmAutoUpdateWizard::reject()
{
    if (Wizard.Page() != TWizardPage::Finish
        && Prompt.Ask(Tr(Msg::CancelWizard), false) != IUserPrompt::TAnswer::Yes)
        return;
    QDialog::reject();
}
