#pragma once

#include <QDialog>

#include "sites/uCommit.h"

class IUserPrompt;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;

// "Commit to a site...": sends one entry to a site that takes new POIs, into a POI file and
// group the user picks. A failure keeps the window open, so the user can correct and retry.
class TfmCommit : public QDialog {
    Q_OBJECT
public:
    // `sites` are those `CommitSites` found; the last one committed to is chosen first.
    TfmCommit(const QStringList& sites, const TCommitEntry& entry, IUserPrompt& prompt,
        QWidget* parent = nullptr);

    void accept() override;

private:
    void SiteChosen();
    void CountryChosen();
    void GroupChosen();
    void PoiChosen();
    void UpdateOk();
    TSite* ChosenSite() const;
    TCountry* ChosenCountry() const;
    TCommitEntry EnteredEntry() const;

    IUserPrompt& Prompt;
    QComboBox* cbSites;
    QComboBox* cbCountries;
    QComboBox* cbGroups;
    QListWidget* lbPois;
    QLineEdit* edLongitude;
    QLineEdit* edLatitude;
    QLineEdit* edDescription;
    QLabel* laAddFormat;
    QLabel* laNote;
    QDialogButtonBox* Buttons;
};

// Opens the window for `entry` over the sites of the settings that take commits; fails with
// "No sites detected ..." when none does.
void CommitEntryToSite(const TCommitEntry& entry, IUserPrompt& prompt, QWidget* parent);
