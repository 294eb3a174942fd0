#pragma once

#include <string>

#include <QString>

#include "testing.h"

// How reading `bytes` with a fresh `TImporter` into a list holding "kept" ends: the failure's
// message ("no error" without one), " | ", and the descriptions the list then holds.
template <class TImporter> QString ReadOutcome(const std::string& bytes)
{
    TEntries entries;
    entries.AddValues("kept", "", 0, 0);
    const QString error = ErrorOf<EUserError>([&] { ImportInto<TImporter>(entries, bytes); });
    return error + " | " + QString::fromStdString(Descriptions(entries));
}
