#include "sites/fCommit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "widgets/uGuiPrompt.h"

namespace {

QString DecimalText(double value) { return QString::number(value, 'g', 15); }

// The number the user typed, with either decimal separator.
double DecimalValue(const QString& text)
{
    bool ok = false;
    const double value = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok)
        throw EUserError(Tr(Msg::InvalidFloat).arg(EscapeControls(text)));
    return value;
}

} // namespace

TfmCommit::TfmCommit(
    const QStringList& sites, const TCommitEntry& entry, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent)
    , Prompt(prompt)
    , cbSites(new QComboBox(this))
    , cbCountries(new QComboBox(this))
    , cbGroups(new QComboBox(this))
    , lbPois(new QListWidget(this))
    , edLongitude(new QLineEdit(DecimalText(entry.Longitude), this))
    , edLatitude(new QLineEdit(DecimalText(entry.Latitude), this))
    , edDescription(new QLineEdit(entry.Description, this))
    , laAddFormat(new QLabel(this))
    , laNote(new QLabel(this))
    , Buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(tr("Commit to a site..."));
    cbSites->setObjectName(QStringLiteral("cbSites"));
    cbCountries->setObjectName(QStringLiteral("cbCountries"));
    cbGroups->setObjectName(QStringLiteral("cbGroups"));
    lbPois->setObjectName(QStringLiteral("lbPois"));
    laAddFormat->setObjectName(QStringLiteral("laAddFormat"));
    laNote->setObjectName(QStringLiteral("laNote"));
    laAddFormat->setWordWrap(true);
    laNote->setWordWrap(true);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Description:"), edDescription);
    form->addRow(tr("Longitude:"), edLongitude);
    form->addRow(tr("Latitude:"), edLatitude);
    form->addRow(tr("Site:"), cbSites);
    form->addRow(laAddFormat);
    form->addRow(tr("Country:"), cbCountries);
    form->addRow(tr("Group:"), cbGroups);
    form->addRow(tr("POI file:"), lbPois);
    form->addRow(laNote);
    form->addRow(Buttons);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TfmCommit::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &TfmCommit::reject);
    connect(cbSites, &QComboBox::currentIndexChanged, this, &TfmCommit::SiteChosen);
    connect(cbCountries, &QComboBox::currentIndexChanged, this, &TfmCommit::CountryChosen);
    connect(cbGroups, &QComboBox::currentIndexChanged, this, &TfmCommit::GroupChosen);
    connect(lbPois, &QListWidget::currentRowChanged, this, &TfmCommit::PoiChosen);
    cbSites->addItems(sites);
    cbSites->setCurrentIndex(
        std::max(0, cbSites->findText(Settings().PrevCommitSite, Qt::MatchFixedString)));
    SiteChosen();
}

TSite* TfmCommit::ChosenSite() const
{
    return cbSites->currentIndex() < 0 ? nullptr : &GetSite(cbSites->currentText());
}

TCountry* TfmCommit::ChosenCountry() const
{
    TSite* site = ChosenSite();
    const int index = cbCountries->currentIndex();
    return site && index >= 0 ? site->Countries[size_t(index)].get() : nullptr;
}

void TfmCommit::SiteChosen()
{
    const QSignalBlocker blocker(cbCountries);
    cbCountries->clear();
    TSite* site = nullptr;
    try {
        site = ChosenSite();
    } catch (const EUserError& e) { // an index this program cannot use offers no countries
        Prompt.ShowError(AsSentence(e.Message()));
    }
    laAddFormat->setText(site ? site->AddFormat : QString());
    laAddFormat->setVisible(!laAddFormat->text().isEmpty());
    if (site)
        for (const auto& country : site->Countries)
            cbCountries->addItem(country->Name);
    cbCountries->setCurrentIndex(-1);
    CountryChosen();
}

void TfmCommit::CountryChosen()
{
    const QSignalBlocker blocker(cbGroups);
    cbGroups->clear();
    if (const TCountry* country = ChosenCountry()) {
        const QStringList captions = CommitGroupCaptions(*ChosenSite(), *country);
        for (int i = 0; i < captions.size(); ++i)
            cbGroups->addItem(captions[i], country->CommitGroupNames[i]);
    }
    cbGroups->setCurrentIndex(-1);
    GroupChosen();
}

void TfmCommit::GroupChosen()
{
    const QSignalBlocker blocker(lbPois);
    lbPois->clear();
    if (const TCountry* country = ChosenCountry(); country && cbGroups->currentIndex() >= 0)
        for (const TPoi* poi : CommitPois(*country, cbGroups->currentData().toString()))
            lbPois->addItem(poi->Description);
    if (lbPois->count() == 1)
        lbPois->setCurrentRow(0);
    PoiChosen();
}

void TfmCommit::PoiChosen()
{
    const TCountry* country = ChosenCountry();
    const TPoi* poi = country && lbPois->currentItem()
        ? country->FindPoi(lbPois->currentItem()->text())
        : nullptr;
    laNote->setText(
        !poi ? QString() : (poi->Note.isEmpty() ? Tr(Msg::NoAdditionalInfo) : poi->Note));
    UpdateOk();
}

void TfmCommit::UpdateOk()
{
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(lbPois->currentItem() != nullptr);
}

TCommitEntry TfmCommit::EnteredEntry() const
{
    return { edDescription->text(), DecimalValue(edLongitude->text()),
        DecimalValue(edLatitude->text()), lbPois->currentItem()->text() };
}

void TfmCommit::accept()
{
    try {
        const TSite& site = *ChosenSite();
        {
            const TWaitCursor wait;
            CommitToSite(site, EnteredEntry());
        }
        Settings().PrevCommitSite = site.Location();
        Prompt.ShowMessage(Tr(Msg::CommitSucceeded).arg(site.Location()));
        QDialog::accept();
    } catch (const EUserError& e) {
        Prompt.ShowError(AsSentence(e.Message()));
    }
}

void CommitEntryToSite(const TCommitEntry& entry, IUserPrompt& prompt, QWidget* parent)
{
    const QStringList sites = CommitSites(Settings().Sites, Settings().HiddenSites);
    TfmCommit window(sites, entry, prompt, parent);
    window.exec();
}
