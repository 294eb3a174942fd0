// Marivel, the desktop editor: one instance per user, which later starts hand their files to.

#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QProcess>
#include <QTextStream>
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

namespace {

// The arguments as given, before the application takes Qt's own options out of them.
QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before the application exists, so that help needs no display.
    if (TCommandLine::Parse(ArgumentsOf(argc, argv), QDir::currentPath()).Help) {
        QTextStream(stdout) << ProgramUsage();
        return 0;
    }
    TMarivelApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Marivel"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/marivel.png")));
    app.setQuitOnLastWindowClosed(false); // the tray keeps it running
    const TCommandLine commandLine =
        TCommandLine::Parse(app.arguments().mid(1), QDir::currentPath());
    if (!commandLine.UsageError.isEmpty()) {
        QTextStream(stderr) << commandLine.UsageError << "\n\n" << ProgramUsage();
        return 2;
    }
    TSingleInstance instance;
    if (!instance.Start(commandLine))
        return 0;
    SetDevSwitch(commandLine.Dev);
    SelectCodePage(Settings().CodePage);
    const TTranslations translations = LoadTranslation(GetLanguageExtension());
    const TBuiltInFormats formats;
    int result = 0;
    bool restart = false;
    try {
        TfmMarivelMainForm mainForm(commandLine);
        if (TInstanceServer* server = instance.Server()) {
            QObject::connect(server, &TInstanceServer::openLocation, &mainForm,
                [&](const QString& location) { mainForm.OpenLocation(location); });
            QObject::connect(server, &TInstanceServer::showRequested, &mainForm,
                [&] { mainForm.ShowFromTray(); });
            QObject::connect(server, &TInstanceServer::startAutoUpdate, &mainForm,
                [&](bool silent) { mainForm.StartAutoUpdate(silent); });
            QObject::connect(
                server, &TInstanceServer::exitRequested, &mainForm, [&] { mainForm.Exit(); });
        }
        if (!commandLine.Tray)
            mainForm.show();
        result = app.exec();
        restart = mainForm.RestartRequested();
    } catch (const Exception& e) {
        // The window could not be made (a resource of the program is missing).
        QMessageBox::critical(nullptr, app.applicationName(), AsSentence(e.Message()));
        return 1;
    }
    try {
        ReleaseSettings(true);
    } catch (const EUserError& e) {
        QMessageBox::warning(nullptr, app.applicationName(), AsSentence(e.Message()));
    }
    if (restart) {
        // The new start must find no one listening, or it would hand itself back to this one.
        instance.Stop();
        QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
    }
    return result;
}
