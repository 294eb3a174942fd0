#pragma once

#include <functional>

#include <QString>
#include <QStringList>

#include "sites/uUpdateItems.h"

class IUserPrompt;
class TSite;

// The AutoUpdate wizard's rules apart from its window: the pages in their order with the ones
// that do not apply skipped, the checks made on leaving a page, the groups offered, and the
// items it subscribes for one site.

enum class TWizardPage { Default, Sites, Authentication, Groups, Target, Ready, Finish };

// Where the POI files go, in the order of the "Target" choices.
enum class TWizardTarget { LocalFolder, DeviceMap, TomTomGo };

// One choice of the group combo. An empty name stands for "Other groups...".
struct TWizardGroup {
    QString Name;
    QString Caption;
};

// Fetches a web site's index into its local copy (the window shows its progress); `force`
// bypasses the internet cache.
using TSiteFetch = std::function<void(const QString& location, bool force)>;

class TAutoUpdateWizard {
public:
    TAutoUpdateWizard(IUserPrompt& prompt, TSiteFetch fetch);

    TWizardPage Page() const { return FPage; }
    // Leaves the page, running its check, and moves on past the pages that do not apply.
    // False when the page keeps the user: a No to clearing the site's items. On "Ready" this
    // subscribes the POI files. Failures keep the page and carry their message.
    bool Next();
    void Back();

    // The user's choices.
    QString SiteLocation;
    bool ForceDownload = false;
    TSiteCredentials Credentials;
    QString Country;
    // Empty: every POI file of the country, as for a country without groups.
    QString Group;
    TWizardTarget Target = TWizardTarget::LocalFolder;
    // A local path, or the map path on the device.
    QString Folder;
    // The export format of a local folder.
    QString FormatId;

    // Loaded on leaving "Sites".
    TSite* Site() const { return FSite; }
    // The chosen country's groups as the combo offers them: with groups marked for the wizard
    // only those, then "Other groups..."; else every group of the country.
    QStringList CountryNames() const;
    std::vector<TWizardGroup> Groups() const;

    // The items "Ready" subscribes, one per POI file of the chosen group.
    std::vector<std::unique_ptr<TUpdateItem>> NewItems() const;

private:
    bool Applies(TWizardPage page) const;
    bool LeaveSites();
    // Fails with "Destination directory does not exist".
    void CheckFolder() const;
    void Apply();

    IUserPrompt& Prompt;
    TSiteFetch Fetch;
    TWizardPage FPage = TWizardPage::Default;
    TSite* FSite = nullptr;
};
