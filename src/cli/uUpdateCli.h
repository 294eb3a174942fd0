#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// marivel-update: AutoUpdate items from the command line, for scripts and timers.

QString UpdateUsage();
// The whole command: 0 on success and after a run in which no item failed, 1 otherwise, 2
// after a usage error. The overwrite question of a run is asked on `terminal` (answers read
// from it, the question written to `err`); without one it is answered No, unless "--yes".
int RunUpdateCommand(
    const QStringList& arguments, QTextStream& out, QTextStream& err, QTextStream* terminal);
