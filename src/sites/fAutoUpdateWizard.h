#pragma once

#include <QDialog>

#include "sites/uAutoUpdateWizard.h"

class IUserPrompt;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

// What the user wants after the wizard closed.
enum class TWizardFollowUp { None, AutoUpdateNow, Manager };

// "AutoUpdate Wizard": sets up AutoUpdate items for one site in a few pages. The rules live in
// `TAutoUpdateWizard`; the window fills each page and hands the choices over.
class TfmAutoUpdateWizard : public QDialog {
    Q_OBJECT
public:
    explicit TfmAutoUpdateWizard(IUserPrompt& prompt, QWidget* parent = nullptr);

    TWizardFollowUp FollowUp() const { return FFollowUp; }
    void reject() override;

private:
    QWidget* WelcomePage();
    QWidget* SitesPage();
    QWidget* AuthenticationPage();
    QWidget* GroupsPage();
    QWidget* TargetPage();
    QWidget* ReadyPage();
    QWidget* FinishPage();
    void GoNext();
    void GoBack();
    void TakeChoices();
    void ShowPage();
    void CountryChosen();
    void GroupChosen();
    void TargetChosen();
    void BrowseFolder();
    void BrowseDeviceFolder();
    void CloseFor(TWizardFollowUp followUp);

    IUserPrompt& Prompt;
    TAutoUpdateWizard Wizard;
    QStackedWidget* Pages;
    QComboBox* cbSites;
    QCheckBox* cbForce;
    QLabel* laSiteName;
    QLineEdit* edUsername;
    QLineEdit* edPassword;
    QComboBox* cbCountries;
    QComboBox* cbGroups;
    QLabel* laGroupNote;
    QButtonGroup* rgTarget;
    QLineEdit* edFolder;
    QComboBox* cbFormat;
    QLabel* laReady;
    QPushButton* buBack;
    QPushButton* buNext;
    QPushButton* buCancel;
    TWizardFollowUp FFollowUp = TWizardFollowUp::None;
};
