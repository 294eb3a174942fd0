// marivel-convert: converts POI files between the formats the program knows, for scripts.

#include <cstdio>

#include <QCoreApplication>
#include <QTextStream>

#include <malloc.h>

#include "cli/uConvertCli.h"
#include "convert/uFormats.h"

int main(int argc, char** argv)
{
    // A million entries are a million small blocks; glibc's fast bins keep each freed one
    // apart and then merge them all in one long pass, which made freeing a big list cost as
    // much as reading it.
    mallopt(M_MXFAST, 0);
    QCoreApplication app(argc, argv);
    TBuiltInFormats formats;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunConvertCommand(
        QCoreApplication::arguments().mid(1), out, err, TEntriesAtEnd::LeftToProcessEnd);
}
