#include "editor/fMinimize.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "core/uSettings.h"
#include "widgets/fDialogs.h"

TfmMinimize::TfmMinimize(QWidget* parent)
    : QDialog(parent)
    , DoNotShow(new QCheckBox(tr("Do not show this message again"), this))
{
    setObjectName(QStringLiteral("fmMinimize"));
    setWindowTitle(tr("Minimize To Tray..."));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SelectableLabel(
        tr("Marivel keeps running in the tray (the notification area of the panel) when its "
           "window is closed, so that AutoUpdate can still do its work. Click the tray icon to "
           "bring the window back.\n\nTo end the program, choose File > Exit, or Exit in the "
           "menu of the tray icon."),
        this));
    layout->addWidget(DoNotShow);
    layout->addWidget(OkButton(this));
    setMinimumWidth(400);
}

bool TfmMinimize::DoNotShowAgain() const { return DoNotShow->isChecked(); }

void TfmMinimize::ShowUnlessHidden(QWidget* parent)
{
    if (Settings().HideMinimizeToTray)
        return;
    TfmMinimize notice(parent);
    notice.exec();
    if (notice.DoNotShowAgain())
        Settings().HideMinimizeToTray = true;
}
