#pragma once

#include <QString>
#include <QStringList>

#include "core/uModel.h"

// The rules of the main window's file commands, apart from its dialogs.

// The format to open `location` with when none is chosen: the user's default for its
// extension, when a format of that id exists.
QString DefaultFormatFor(const QString& location);

// Reads a location (local, device or web) into `entries` with the importer of (its extension,
// `formatId`), reporting progress.
void LoadLocation(const QString& location, const QString& formatId, TEntries& entries,
    const TProgressEvent& progress);

// What the "File open error..." dialog offers after `failedId` (empty: the extension's first
// importer) could not read `location`; empty names when no other format shares the extension.
struct TFormatOffer {
    QStringList Names; // display names of the extension's importers, in registry order
    QStringList Ids;
    int Preselected = 0; // the first whose format id is not the one that failed
};
TFormatOffer FormatOfferFor(const QString& location, const QString& failedId);
// "In the future, use this format as the default": the extension as typed, with its dot.
void RememberDefaultFormat(const QString& location, const QString& formatId);

// The caption of recent-file action `number` (from 1) for `location`.
QString RecentFileCaption(int number, const QString& location);
