#include "widgets/uBrowser.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include "core/uUserPrompt.h"
#include "platform/uExceptions.h"

void ShowInBrowser(const QString& address, IUserPrompt& prompt)
{
    if (address.isEmpty())
        prompt.ShowError(QObject::tr("No address is set for this page."));
    else if (!QDesktopServices::openUrl(QUrl(address)))
        prompt.ShowError(QObject::tr("No web browser could be started to show %1.")
                             .arg(EscapeControls(address)));
}
