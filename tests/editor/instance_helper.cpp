// A second start of the program for the single-instance tests, on the channel named by the
// first argument. Exits with 0 when it handed its command line over, 3 when it would have
// become a running instance itself. "--send-exit" sends the exit request instead, as another
// program may.

#include <QCoreApplication>
#include <QDir>

#include "editor/uInstance.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString channel = arguments.takeFirst();
    if (arguments == QStringList { QStringLiteral("--send-exit") })
        return SendToRunningInstance(channel, { TInstanceMessage::Exit() }) ? 0 : 1;
    TSingleInstance instance(channel);
    return instance.Start(TCommandLine::Parse(arguments, QDir::currentPath())) ? 3 : 0;
}
