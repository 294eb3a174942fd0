#include "sites/uAutoUpdateWizard.h"

#include <QFileInfo>

#include "convert/uConvertBase.h"
#include "core/uUserPrompt.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "sites/uAutoUpdate.h"
#include "sites/uSite.h"

namespace {

TWizardPage Step(TWizardPage page, int by) { return TWizardPage(int(page) + by); }

// The folder of a target with its separator: the device names paths with "\".
QString TargetFolder(TWizardTarget target, const QString& folder)
{
    if (target == TWizardTarget::DeviceMap)
        return QStringLiteral("MOBILE://") + folder
            + (folder.endsWith(QLatin1Char('\\')) ? QString() : QStringLiteral("\\"));
    return QStringLiteral("FILE://") + folder
        + (folder.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/"));
}

} // namespace

TAutoUpdateWizard::TAutoUpdateWizard(IUserPrompt& prompt, TSiteFetch fetch)
    : Prompt(prompt)
    , Fetch(std::move(fetch))
{
}

bool TAutoUpdateWizard::Applies(TWizardPage page) const
{
    return page != TWizardPage::Authentication
        || (FSite && FSite->Authorization() != TAuthorization::None);
}

bool TAutoUpdateWizard::Next()
{
    switch (FPage) {
    case TWizardPage::Sites:
        if (!LeaveSites())
            return false;
        break;
    case TWizardPage::Authentication:
        WriteSiteCredentials(SiteLocation, Credentials);
        break;
    case TWizardPage::Target:
        CheckFolder();
        break;
    case TWizardPage::Ready:
        Apply();
        break;
    case TWizardPage::Finish:
        return false;
    default:
        break;
    }
    do
        FPage = Step(FPage, 1);
    while (!Applies(FPage));
    return true;
}

void TAutoUpdateWizard::Back()
{
    if (FPage == TWizardPage::Default)
        return;
    do
        FPage = Step(FPage, -1);
    while (!Applies(FPage));
}

bool TAutoUpdateWizard::LeaveSites()
{
    if (AutoUpdateItems().SiteHasItems(SiteLocation)) {
        if (Prompt.Ask(Tr(Msg::ClearSiteItems), false) != IUserPrompt::TAnswer::Yes)
            return false;
        AutoUpdateItems().RemoveSite(SiteLocation);
    }
    if (!IsFileLocation(SiteLocation))
        Fetch(SiteLocation, ForceDownload);
    if (!QFileInfo::exists(LocalCopyName(SiteLocation)))
        throw EUserError(Tr(Msg::SiteXmlMissing));
    TSite& site = GetSite(SiteLocation);
    site.LoadFromCache();
    FSite = &site;
    Credentials = ReadSiteCredentials(SiteLocation);
    return true;
}

QStringList TAutoUpdateWizard::CountryNames() const
{
    QStringList names;
    if (FSite)
        for (const auto& country : FSite->Countries)
            names.append(country->Name);
    return names;
}

std::vector<TWizardGroup> TAutoUpdateWizard::Groups() const
{
    std::vector<TWizardGroup> groups;
    const TCountry* country = FSite ? FSite->FindCountry(Country) : nullptr;
    if (!country)
        return groups;
    const bool wizardOnly = FSite->HasWizardGroups();
    for (const QString& name : country->GroupNames) {
        const int index = FSite->FindGroup(name);
        const TGroup* group = index < 0 ? nullptr : FSite->Groups[size_t(index)].get();
        if (wizardOnly && !(group && group->Wizard))
            continue;
        groups.push_back({ name, group ? group->Description : name });
    }
    if (wizardOnly)
        groups.push_back({ QString(), Tr(Msg::OtherGroups) });
    return groups;
}

// A local folder must be there; the device's map path is the device's to know.
void TAutoUpdateWizard::CheckFolder() const
{
    if (Folder.isEmpty() || (Target != TWizardTarget::DeviceMap && !QFileInfo(Folder).isDir()))
        throw EUserError(Tr(Msg::DestDirMissing));
}

std::vector<std::unique_ptr<TUpdateItem>> TAutoUpdateWizard::NewItems() const
{
    std::vector<std::unique_ptr<TUpdateItem>> items;
    const TCountry* country = FSite ? FSite->FindCountry(Country) : nullptr;
    if (!country)
        return items;
    // A navigator reads OV2 files whatever the site offers; the update converts them.
    const bool ov2 = Target != TWizardTarget::LocalFolder;
    const int exporter = std::max(0, IndexOfExporterFormat(FormatId));
    const QString format = ov2 ? QStringLiteral("ttov2") : ExporterFormatId(exporter);
    const QString extension = ov2 ? QStringLiteral(".ov2") : ExporterExt(exporter);
    for (const TPoi* poi : Group.isEmpty() ? country->AllPois() : country->PoisOfGroup(Group)) {
        auto item = std::make_unique<TUpdateItem>();
        item->Target = TargetFolder(Target, Folder) + SafeFileName(poi->Description) + extension;
        item->Poi = poi->Description;
        item->Country = country->Name;
        item->Format = format;
        item->Site = SiteLocation;
        items.push_back(std::move(item));
    }
    return items;
}

void TAutoUpdateWizard::Apply()
{
    std::vector<std::unique_ptr<TUpdateItem>> items = NewItems();
    QStringList targets;
    for (const auto& item : items)
        targets.append(item->Target);
    AutoUpdateItems().AddSubscriptions(std::move(items));
    for (const QString& target : targets)
        ForgetTargetTime(target);
}
