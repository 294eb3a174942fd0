// marivel-update: subscribes POI files of POI sites to target files and keeps them up to date.

#include <cstdio>

#include <QCoreApplication>
#include <QTextStream>

#include <unistd.h>

#include "cli/uUpdateCli.h"
#include "convert/uFormats.h"
#include "core/uSettings.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TBuiltInFormats formats;
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    const int status = RunUpdateCommand(
        QCoreApplication::arguments().mid(1), out, err, isatty(STDIN_FILENO) ? &in : nullptr);
    ReleaseSettings(false);
    return status;
}
