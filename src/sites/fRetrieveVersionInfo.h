#pragma once

#include <QDialog>

#include "platform/uVersion.h"

class IUserPrompt;
class QLabel;
class QProgressBar;
class QPushButton;

// "Retrieving version information...": asks the maker's site for the newest version shortly
// after it shows, tells whether this program is the newest and offers the download page when
// it is not. A failure turns the label red and shows the error.
class TfmRetrieveVersionInfo : public QDialog {
    Q_OBJECT
public:
    TfmRetrieveVersionInfo(IUserPrompt& prompt, QWidget* parent = nullptr,
        const TProgramVersion& running = ProgramVersion);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Check();

    IUserPrompt& Prompt;
    TProgramVersion Running;
    QLabel* laStatus;
    QProgressBar* pbAnimation;
    QPushButton* buClose;
    bool Started = false;
};

// The check on demand: the window, then today as the last check.
void CheckForNewVersion(IUserPrompt& prompt, QWidget* parent);
// At start, when "Check every week" is on and the last check is more than a week ago.
void CheckForNewVersionWeekly(IUserPrompt& prompt, QWidget* parent);
