// marivel-convert: converts POI files between the formats the program knows, for scripts.

#include <cstdio>

#include <QCoreApplication>
#include <QTextStream>

#include "cli/uConvertCli.h"
#include "convert/uFormats.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TBuiltInFormats formats;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunConvertCommand(QCoreApplication::arguments().mid(1), out, err);
}
