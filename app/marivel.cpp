// Marivel, the desktop editor: one instance per user, which later starts hand their files to.

#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QTranslator>

#include "convert/uFormats.h"
#include "core/uSettings.h"
#include "core/uUtils.h"
#include "editor/fCrashReport.h"
#include "editor/fMain.h"
#include "editor/uInstance.h"
#include "editor/uLanguage.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"

int main(int argc, char** argv)
{
    TMarivelApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Marivel"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/marivel.png")));
    app.setQuitOnLastWindowClosed(false); // the tray keeps it running
    const TCommandLine commandLine =
        TCommandLine::Parse(app.arguments().mid(1), QDir::currentPath());
    TSingleInstance instance;
    if (!instance.Start(commandLine))
        return 0;
    SetDevSwitch(commandLine.Dev);
    SelectCodePage(Settings().CodePage);
    const TTranslations translations = LoadTranslation(GetLanguageExtension());
    const TBuiltInFormats formats;
    int result = 0;
    try {
        TfmMarivelMainForm mainForm(commandLine);
        if (TInstanceServer* server = instance.Server()) {
            QObject::connect(server, &TInstanceServer::openLocation, &mainForm,
                [&](const QString& location) { mainForm.OpenLocation(location); });
            QObject::connect(server, &TInstanceServer::showRequested, &mainForm,
                [&] { mainForm.ShowFromTray(); });
            QObject::connect(
                server, &TInstanceServer::exitRequested, &mainForm, [&] { mainForm.Exit(); });
        }
        if (!commandLine.Tray)
            mainForm.show();
        result = app.exec();
    } catch (const Exception& e) {
        // The window could not be made (a resource of the program is missing).
        QMessageBox::critical(nullptr, app.applicationName(), e.Message() + '.');
        return 1;
    }
    ReleaseSettings(true);
    return result;
}
