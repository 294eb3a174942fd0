#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "locations/uDownload.h"

class IUserPrompt;
class TConvertToBase;
class TMemoryStream;
class TXmlDocument;

// Locations name every file the program reads or writes: a local path, "FILE://" followed by
// a local path, "MOBILE://" followed by a device path ("\My Documents\a.ov2"), or a web
// address beginning "HTTP://". Prefixes match in any letter case; a secure web address is
// none of these, so it counts as a local path.
bool IsMobileLocation(const QString& location);
bool IsFileLocation(const QString& location);
bool IsHttpLocation(const QString& location);
QString StripMobilePrefix(const QString& location);
QString StripFilePrefix(const QString& location);
QString StripHttpPrefix(const QString& location);
// The file, then the device, then the web prefix, each removed once.
QString StripLocationPrefixes(const QString& location);
// The file-name part of a location of either kind; device paths use backslashes.
QString LocationFileName(const QString& location);
// The extension of the file a location names, without its dot; a web address's query is no
// part of it.
QString LocationFileExt(const QString& location);
// A location as messages may show it: a web address without credentials and query.
QString LocationForDisplay(const QString& location);
// `message` about `location`, led by the location's name unless it names it already, as a run
// over several files must tell which one failed.
QString MessageAbout(const QString& location, const QString& message);
// One spelling per local file, so that a file compares equal however it was named: a local
// path or "FILE://" location becomes a plain path, absolute against `baseDir` (empty: the
// current folder), without "." and "..", with links resolved as far as the path exists.
// Device and web locations, and anything else with a "://", come back as they are.
QString NormalizedLocation(const QString& location, const QString& baseDir = QString());
// Up to and including the first "://"; empty when there is none.
QString LocationScheme(const QString& url);
// The address without user name, password and query, for messages and lists; a very long one
// is cut, ending in "…".
QString UrlForDisplay(const QString& url);
// The extension, with its dot, of the part before the query.
QString UrlFileExt(const QString& url);
QString EncodeUrlSpaces(const QString& url);
// The web address without its prefix and with each character a file name may not hold
// (and "/", "\", ":") replaced by "_".
QString SafeFileName(const QString& url);
// Where the last downloaded copy of a site index is kept: the file itself for a "FILE://"
// location, else a file in the application folder named after the location without its
// credentials and query.
QString LocalCopyName(const QString& location);

// Reading and writing through a location. A location without the device prefix is a local
// path; only `SaveStreamToLocation` also accepts "FILE://". Device files move whole.
bool LocationExists(const QString& location);
// Fails with "File %1 not found". A device file's bytes come unchanged; a local file's lines
// come each ended by CR LF.
std::string LoadTextFromLocation(const QString& location);
// A local file gets each line of `text` ended by CR LF.
void SaveTextToLocation(std::string_view text, const QString& location);
void SaveStreamToLocation(const QString& location, const TMemoryStream& stream);

// The bitmap that stands for the POI file at `location`: beside it, with its name and the
// extension ".bmp".
QString IconBeside(const QString& location);
// Hands `exporter` the bitmap beside the local document `document` when the format keeps a
// picture and there is one; a device or web document has none to give.
void GiveIconBeside(const QString& document, TConvertToBase& exporter);
// Writes `icon`, the bytes of a BMP file an importer handed out, as the bitmap beside the local
// document `document`. Returns what the user should be told: a different file of that name is
// never replaced. Nothing is written for no icon or a device or web document.
QStringList KeepIconBeside(const QString& document, const std::string& icon);

// A site index or other XML document by location: a "FILE://" location is read in place;
// anything else is downloaded (through the cache unless `bypassCache`) into its local copy
// (`LocalCopyName`), which stays as the offline copy, and parsed from there.
TXmlDocument LoadXmlDocument(
    const QString& location, bool bypassCache, const TDownloadProgress& progress = {});

// Tells the user and clears `ok` when the extension of `fileName` is not the default one of
// the exporter at 1-based `exportFormatIndex`; leaves `ok` alone otherwise.
void CheckFileExtension(
    const QString& fileName, int exportFormatIndex, bool& ok, IUserPrompt& prompt);
// The lower-cased extension of `fileName` with its dot when it has one other than `ext` (with
// its dot, any case); empty otherwise.
QString MismatchedExtension(const QString& fileName, const QString& ext);
