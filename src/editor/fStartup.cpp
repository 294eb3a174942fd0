#include "editor/fStartup.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "platform/uMessages.h"
#include "sites/uUpdateItems.h"

TfmMarivelStartup::TfmMarivelStartup(IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent)
    , Prompt(prompt)
    , cbDontShow(new QCheckBox(tr("Next time do not show this startup screen "), this))
{
    setWindowTitle(tr("Marivel Startup..."));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("What do you want to do?"), this));
    const auto button = [&](const QString& caption, const char* name, TStartupChoice choice) {
        auto* push = new QPushButton(caption, this);
        push->setObjectName(QLatin1String(name));
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, [this, choice] { Choose(choice); });
        layout->addWidget(push);
    };
    button(tr("&Create a new POI File"), "buNew", TStartupChoice::NewFile);
    button(tr("&AutoUpdate Now (F9)"), "buAutoUpdate", TStartupChoice::AutoUpdateNow);
    button(tr("&Start AutoUpdate Wizard"), "buWizard", TStartupChoice::Wizard);
    button(tr("&Open AutoUpdate Manager (F8)"), "buManager", TStartupChoice::Manager);
    cbDontShow->setObjectName(QStringLiteral("cbDontShow"));
    cbDontShow->setChecked(!Settings().ShowStartupScreen);
    layout->addWidget(cbDontShow);
}

void TfmMarivelStartup::Choose(TStartupChoice choice)
{
    if (choice == TStartupChoice::AutoUpdateNow && AutoUpdateItems().Count() == 0) {
        Prompt.ShowMessage(Tr(Msg::SetupItemsFirst) + QLatin1Char('.'));
        return;
    }
    FChoice = choice;
    accept();
}

void TfmMarivelStartup::done(int result)
{
    Settings().ShowStartupScreen = !cbDontShow->isChecked();
    QDialog::done(result);
}
