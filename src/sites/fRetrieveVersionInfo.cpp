#include "sites/fRetrieveVersionInfo.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "sites/uVersionCheck.h"
#include "widgets/uBrowser.h"

TfmRetrieveVersionInfo::TfmRetrieveVersionInfo(
    IUserPrompt& prompt, QWidget* parent, const TProgramVersion& running)
    : QDialog(parent)
    , Prompt(prompt)
    , Running(running)
    , laStatus(new QLabel(Tr(Msg::RetrievingVersion), this))
    , pbAnimation(new QProgressBar(this))
    , buClose(new QPushButton(tr("Close"), this))
{
    setWindowTitle(Tr(Msg::RetrievingVersion));
    laStatus->setObjectName(QStringLiteral("laStatus"));
    laStatus->setWordWrap(true);
    pbAnimation->setObjectName(QStringLiteral("pbAnimation"));
    pbAnimation->setTextVisible(false);
    buClose->setObjectName(QStringLiteral("buClose"));
    connect(buClose, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(laStatus);
    layout->addWidget(pbAnimation);
    layout->addWidget(buClose, 0, Qt::AlignRight);
    setMinimumWidth(360);
}

void TfmRetrieveVersionInfo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!Started) {
        Started = true;
        // Lets the window paint before the request holds it.
        QTimer::singleShot(100, this, &TfmRetrieveVersionInfo::Check);
    }
}

void TfmRetrieveVersionInfo::Check()
{
    pbAnimation->setRange(0, 0); // the busy animation while the request runs
    try {
        const TProgramVersion online = FetchOnlineVersion(Settings().VersionUrl);
        pbAnimation->hide(); // the answer is in
        if (!IsNewerVersion(online, Running)) {
            laStatus->setText(Tr(Msg::LatestVersion).arg(QLatin1String(Msg::ApplicationTitle)));
            return;
        }
        laStatus->clear();
        if (Prompt.Ask(NewVersionQuestion(Settings().DownloadUrl), false)
            == IUserPrompt::TAnswer::Yes)
            ShowInBrowser(Settings().DownloadUrl, Prompt);
        accept(); // the answer was the question; an empty window would be left otherwise
    } catch (const EUserError& e) {
        pbAnimation->hide();
        laStatus->setText(Tr(Msg::VersionCheckError));
        laStatus->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
        Prompt.ShowError(AsSentence(e.Message()));
    }
}

void CheckForNewVersion(IUserPrompt& prompt, QWidget* parent)
{
    TfmRetrieveVersionInfo window(prompt, parent);
    window.exec();
    StoreLastVersionCheck(QDate::currentDate());
}

void CheckForNewVersionWeekly(IUserPrompt& prompt, QWidget* parent)
{
    if (Settings().CheckEveryWeek && !Settings().VersionUrl.isEmpty()
        && WeeklyCheckDue(LastVersionCheck(), QDate::currentDate()))
        CheckForNewVersion(prompt, parent);
}
