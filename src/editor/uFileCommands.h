#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

#include "core/uModel.h"

class IUserPrompt;

// The rules of the main window's file commands, apart from its dialogs.

// The format to open `location` with when none is chosen: the user's default for its
// extension, when a format of that id exists.
QString DefaultFormatFor(const QString& location);

// Reads a location (local, device or web) into `entries` with the importer of (its extension,
// `formatId`), reporting progress. Returns the importer's warnings.
QStringList LoadLocation(const QString& location, const QString& formatId, TEntries& entries,
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

// The format the user chose after a failed open: an index into the offered names, and
// whether that format becomes the default of the extension.
struct TFormatChoice {
    int Index = 0;
    bool UseAsDefault = false;
};
// Asks the user for another format after `error`; nothing when the user cancels.
using TChooseFormat =
    std::function<std::optional<TFormatChoice>(const TFormatOffer& offer, const QString& error)>;

// What a load that succeeded used and has to tell.
struct TLoadedAs {
    QString FormatId; // the one asked for
    QStringList Warnings; // the importer's
};

// Loads `location` into `entries` with `formatId` (empty: the user's default for the
// extension, else its first importer). When that fails and other formats share the
// extension, `choose` picks one to try next. Nothing when the user cancelled. A failure with
// no other format to try propagates.
std::optional<TLoadedAs> LoadLocationAsChosen(const QString& location, const QString& formatId,
    TEntries& entries, const TProgressEvent& progress, const TChooseFormat& choose);

// A menu entry the digit `number` (from 1) chooses: "&1 name", an "&" of the name shown as one.
QString NumberedCaption(int number, const QString& name);
// The caption of recent-file action `number` (from 1) for `location`.
QString RecentFileCaption(int number, const QString& location);

// "Open Remote...": the device path the browser starts from, the folder of the last one.
QString RemoteOpenStartName();
// "Save Remote...": the device path of a device document, else the last device folder
// followed by the document's file name.
QString RemoteSaveStartName(const QString& documentLocation);
// A chosen device name without extension gets ".ov2".
QString WithRemoteDefaultExt(const QString& devicePath);
// "Copy bmp file if available": the icon beside `oldLocation` (device or local) goes beside
// the device file `devicePath`, asking before it replaces one. Nothing when there is none.
void CopyIconToDevice(const QString& oldLocation, const QString& devicePath, IUserPrompt& prompt);
// Remembers the folder of a device file chosen in the browser.
void RememberRemoteFolder(const QString& devicePath);
