#pragma once

#include <QCoreApplication>
#include <QString>

// The program's one message table. Texts are marked for translation and looked up through
// `Tr`, so a translated build shows them in the user's language; "%1", "%2" receive the
// arguments.
namespace Msg {
// The program's name, as windows and the requests to POI sites give it.
inline constexpr char ApplicationTitle[] = "Marivel";
// clang-format off
inline constexpr char AssertionFailure[]   = QT_TRANSLATE_NOOP("Marivel", "Assertion failure");
inline constexpr char EnumError[]          = QT_TRANSLATE_NOOP("Marivel", "Enum error");
inline constexpr char ExtWithEquals[]      = QT_TRANSLATE_NOOP("Marivel", "Extensions may not contain equal (=) signs");
inline constexpr char CannotLoadFormat[]   = QT_TRANSLATE_NOOP("Marivel", "Currently it is not possible to load files from this format (extension %1)");
inline constexpr char CannotSaveFormat[]   = QT_TRANSLATE_NOOP("Marivel", "Currently it is not possible to save files in this format (extension %1)");
inline constexpr char NoSuchOption[]       = QT_TRANSLATE_NOOP("Marivel", "Format %1 has no option %2");
inline constexpr char OptionTakesOnOff[]   = QT_TRANSLATE_NOOP("Marivel", "Option %1 (\"%2\") takes on or off, not \"%3\"");
inline constexpr char OptionTakesNumber[]  = QT_TRANSLATE_NOOP("Marivel", "Option %1 (\"%2\") takes a whole number from %3 to %4, not \"%5\"");
inline constexpr char AllSupportedTypes[]  = QT_TRANSLATE_NOOP("Marivel", "All supported file types");
inline constexpr char AllFiles[]           = QT_TRANSLATE_NOOP("Marivel", "All files");
inline constexpr char InvalidDataType[]    = QT_TRANSLATE_NOOP("Marivel", "Invalid data type for '%1'");
inline constexpr char SetDataFailed[]      = QT_TRANSLATE_NOOP("Marivel", "Failed to set data for '%1'");
inline constexpr char StreamReadError[]    = QT_TRANSLATE_NOOP("Marivel", "Stream read error");
inline constexpr char FileNotFound[]       = QT_TRANSLATE_NOOP("Marivel", "File %1 not found");
inline constexpr char CannotOpenFile[]     = QT_TRANSLATE_NOOP("Marivel", "Cannot open file %1: %2");
inline constexpr char CannotReadFile[]     = QT_TRANSLATE_NOOP("Marivel", "Cannot read file %1: %2");
inline constexpr char CannotWriteFile[]    = QT_TRANSLATE_NOOP("Marivel", "Cannot write file %1: %2");
inline constexpr char FileChanged[]        = QT_TRANSLATE_NOOP("Marivel", "File changed while it was read");
inline constexpr char InvalidOv2File[]     = QT_TRANSLATE_NOOP("Marivel", "Invalid ov2 file");
inline constexpr char InvalidFloat[]       = QT_TRANSLATE_NOOP("Marivel", "'%1' is not a valid floating point value");
inline constexpr char InvalidInteger[]     = QT_TRANSLATE_NOOP("Marivel", "'%1' is not a valid integer value");
inline constexpr char AscGenerated[]       = QT_TRANSLATE_NOOP("Marivel", "This Ascii PoiFile was generated");
inline constexpr char AscGeneratedOn[]     = QT_TRANSLATE_NOOP("Marivel", "on");
inline constexpr char AscGeneratedBy[]     = QT_TRANSLATE_NOOP("Marivel", "by Marivel, the POI editor and converter of Orvik Software");
// Converter options: the caption is also the name the choice is stored under, so it stays.
inline constexpr char AscMaxPrecision[]    = QT_TRANSLATE_NOOP("Marivel", "Save using maximum precision");
inline constexpr char AscMaxPrecisionHint[] = QT_TRANSLATE_NOOP("Marivel", "The precision of the POI coordinates is adjustable in the Marivel configuration screen. When\rthis option is checked, the coordinates will be saved using the specified precision, else they\rwill be saved using the default precision of 5 decimals.");
inline constexpr char GarminColumn3[]      = QT_TRANSLATE_NOOP("Marivel", "Treat column 3 as the description");
inline constexpr char GarminColumn3Hint[]  = QT_TRANSLATE_NOOP("Marivel", "Garmin CSV files can contain 3 or 4 columns. The last 1 or 2 columns are used for the\rdescription field inside Marivel. When this option is checked, Marivel will be forced to treat\rthe third column as the description instead of using the fourth when it is available.");
inline constexpr char GpxUseDesc[]         = QT_TRANSLATE_NOOP("Marivel", "Use desc tag instead of name tag when available");
inline constexpr char GpxUseDescHint[]     = QT_TRANSLATE_NOOP("Marivel", "The GPX format defines 2 possible places where the description of the POI may be entered.\rIf you check this option, Marivel will use the \"desc\" tag as the POI description instead of the\r\"name\" tag. When the preferred tag is not available, Marivel will automatically try the other tag.");
inline constexpr char GpxRetainExtra[]     = QT_TRANSLATE_NOOP("Marivel", "Retain extra poi information present in GPX file");
inline constexpr char GpxRetainExtraHint[] = QT_TRANSLATE_NOOP("Marivel", "If you check this option, Marivel will load the extra POI information that might be present in\rthe GPX file. When saving back to the same file, or another GPX file, Marivel will reinsert\rthis information.");
inline constexpr char ValuesExpected[]     = QT_TRANSLATE_NOOP("Marivel", "%1 to %2 values expected, %3 found");
inline constexpr char InvalidOvrFile[]     = QT_TRANSLATE_NOOP("Marivel", "Invalid ovr file");
inline constexpr char InvalidGpiFile[]     = QT_TRANSLATE_NOOP("Marivel", "Invalid gpi file");
inline constexpr char GpiUnreadable[]      = QT_TRANSLATE_NOOP("Marivel", "This GPI file is encrypted or uses an unknown code page and cannot be read");
inline constexpr char GpiCodePageUnfit[]   = QT_TRANSLATE_NOOP("Marivel", "Garmin POI files hold texts in windows-1250 to windows-1257, not in %1. Choose one of these code pages, or uncheck the option \"%2\"");
inline constexpr char GpiWindowsCodePage[] = QT_TRANSLATE_NOOP("Marivel", "Write texts in the Windows code page for older devices");
inline constexpr char GpiWindowsCodePageHint[] = QT_TRANSLATE_NOOP("Marivel", "Current Garmin devices read texts in UTF-8. Older ones need a Windows code page: when this\roption is checked, texts are written in the code page chosen in the preferences, which must be\rone of windows-1250 to windows-1257.");
inline constexpr char GpiNoAlerts[]        = QT_TRANSLATE_NOOP("Marivel", "Write no alerts for descriptions ending in @speed");
inline constexpr char GpiNoAlertsHint[]    = QT_TRANSLATE_NOOP("Marivel", "A description ending in @ and a speed, such as \"Flitser A2@100\", gets a speed alert of that\rspeed and a proximity alert at the proximity alert distance, as speed camera files have them,\runless this option is checked.");
inline constexpr char GpiBitmapUnreadable[] = QT_TRANSLATE_NOOP("Marivel", "The bitmap %1 beside the file is not a BMP picture that can be read. Repair it, or move it away to write the file without a category picture");
inline constexpr char GpiBitmapTooLarge[]  = QT_TRANSLATE_NOOP("Marivel", "The bitmap %1 beside the file is %2 by %3 pixels; a category picture has at most %4 pixels a side (devices show 24 by 24). Make it smaller, or move it away to write the file without a category picture");
inline constexpr char GpiCategory[]        = QT_TRANSLATE_NOOP("Marivel", "Category name");
inline constexpr char GpiCategoryHint[]    = QT_TRANSLATE_NOOP("Marivel", "The name of the category that holds the points, as the device lists it. When empty, the\rcategory is named after the file written.");
inline constexpr char GpiProximity[]       = QT_TRANSLATE_NOOP("Marivel", "Proximity alert distance in metres");
inline constexpr char GpiProximityHint[]   = QT_TRANSLATE_NOOP("Marivel", "How far from a point whose description ends in @speed the device starts to warn.");
inline constexpr char GpiMph[]             = QT_TRANSLATE_NOOP("Marivel", "Alert speeds are in mph");
inline constexpr char GpiMphHint[]         = QT_TRANSLATE_NOOP("Marivel", "When this option is checked, the speed after the @ of a description is in miles per hour,\relse in kilometres per hour.");
inline constexpr char GpiKeepBitmap[]      = QT_TRANSLATE_NOOP("Marivel", "Write the category bitmap beside the file");
inline constexpr char GpiKeepBitmapHint[]  = QT_TRANSLATE_NOOP("Marivel", "When this option is checked, reading a file on this computer whose category has a bitmap\rwrites it as a .bmp file of the same name beside the file, where saving to a device and\rwriting Garmin POI files look for it. A different file of that name is never replaced.");
inline constexpr char GpiBitmapUnknown[]   = QT_TRANSLATE_NOOP("Marivel", "The file's category bitmap is damaged or of a kind that cannot be read, so it was not written beside the file");
inline constexpr char IconBesideTaken[]    = QT_TRANSLATE_NOOP("Marivel", "The category bitmap was not written to %1: a different file of that name is there");
inline constexpr char InvalidGdbHeader[]   = QT_TRANSLATE_NOOP("Marivel", "Invalid gdb file header");
inline constexpr char InvalidGdbVersion[]  = QT_TRANSLATE_NOOP("Marivel", "Invalid gdb file version");
inline constexpr char NoCfgItems[]         = QT_TRANSLATE_NOOP("Marivel", "No items found in this TomTom Navigator configuration file. Are you sure you are opening a configuration file that belongs to version 5 of TomTom Navigator?");
inline constexpr char ValueCountExpected[] = QT_TRANSLATE_NOOP("Marivel", "%1 values expected, %2 found");
inline constexpr char MinValuesExpected[]  = QT_TRANSLATE_NOOP("Marivel", "at least %1 values expected, %2 found");
inline constexpr char LineNotInFormat[]    = QT_TRANSLATE_NOOP("Marivel", "Line %1 does not fit this format: %2. Open the file in the format it was written in, or correct that line");
inline constexpr char InvalidDatFile[]     = QT_TRANSLATE_NOOP("Marivel", "Invalid dat file");
inline constexpr char InvalidXml[]         = QT_TRANSLATE_NOOP("Marivel", "Invalid xml");
inline constexpr char InvalidXmlNoRoot[]   = QT_TRANSLATE_NOOP("Marivel", "Invalid xml, no document element found");
inline constexpr char InvalidXmlPath[]     = QT_TRANSLATE_NOOP("Marivel", "Invalid xml path %1: %2");
inline constexpr char InvalidXmlText[]     = QT_TRANSLATE_NOOP("Marivel", "Invalid xml: %1...");
inline constexpr char XmlFaultAt[]         = QT_TRANSLATE_NOOP("Marivel", "%1 at line %2, column %3");
inline constexpr char XmlUnexpectedEnd[]   = QT_TRANSLATE_NOOP("Marivel", "unexpected end of text");
inline constexpr char XmlNotClosed[]       = QT_TRANSLATE_NOOP("Marivel", "unexpected end of text, <%1> not closed");
inline constexpr char XmlNoElement[]       = QT_TRANSLATE_NOOP("Marivel", "no element");
inline constexpr char XmlBadMarkup[]       = QT_TRANSLATE_NOOP("Marivel", "malformed %1");
inline constexpr char XmlBadName[]         = QT_TRANSLATE_NOOP("Marivel", "invalid name");
inline constexpr char XmlBadAttribute[]    = QT_TRANSLATE_NOOP("Marivel", "malformed attribute");
inline constexpr char XmlMismatchedTag[]   = QT_TRANSLATE_NOOP("Marivel", "end tag </%1> does not match <%2>");
inline constexpr char XmlStrayEndTag[]     = QT_TRANSLATE_NOOP("Marivel", "end tag </%1> without a start tag");
inline constexpr char XmlTooDeep[]         = QT_TRANSLATE_NOOP("Marivel", "Invalid xml: nesting deeper than %1 levels");
inline constexpr char InvalidGpxEntry[]    = QT_TRANSLATE_NOOP("Marivel", "Invalid entry found in GPX format");
inline constexpr char Build[]              = QT_TRANSLATE_NOOP("Marivel", "build");
inline constexpr char CharacterReplaced[]  = QT_TRANSLATE_NOOP("Marivel", "%1 character that the code page %2 lacks was replaced by \"?\"");
inline constexpr char CharactersReplaced[] = QT_TRANSLATE_NOOP("Marivel", "%1 characters that the code page %2 lacks were replaced by \"?\"");
inline constexpr char InvalidUtf8Sequence[] = QT_TRANSLATE_NOOP("Marivel", "%1 byte sequence that is no UTF-8 was read as \"�\"");
inline constexpr char InvalidUtf8Sequences[] = QT_TRANSLATE_NOOP("Marivel", "%1 byte sequences that are no UTF-8 were read as \"�\"");
inline constexpr char XmlUnknownEncoding[] = QT_TRANSLATE_NOOP("Marivel", "The XML text declares the encoding \"%1\", which Marivel cannot read");
inline constexpr char UndeclaredPrefixLeftOut[] = QT_TRANSLATE_NOOP("Marivel", "Extra information with the namespace prefix \"%1:\", which the file never declares, was left out, as other programs refuse such XML");
inline constexpr char UnencodableInEntry[] = QT_TRANSLATE_NOOP("Marivel", "%1, in %2 entry: %3");
inline constexpr char UnencodableInEntries[] = QT_TRANSLATE_NOOP("Marivel", "%1, in %2 entries: %3");
inline constexpr char SaveUnencodable[] = QT_TRANSLATE_NOOP("Marivel", "%1 of %2 entries hold characters that the code page %3 lacks: %4.\n\nYes: save them with \"?\" in their place.\nNo: save the file in UTF-8, which keeps every character (not every navigator shows it).\nCancel: do not save.");
inline constexpr char TextEncoding[] = QT_TRANSLATE_NOOP("Marivel", "Text encoding of 8-bit files:");
inline constexpr char InvalidKml[]         = QT_TRANSLATE_NOOP("Marivel", "Invalid kml: %1...");
inline constexpr char NoGpxPoints[]        = QT_TRANSLATE_NOOP("Marivel", "no waypoints; the file holds %1, which GPX import does not read");
inline constexpr char NoKmlPoints[]        = QT_TRANSLATE_NOOP("Marivel", "no placemarks with a point; the file holds %1, which KML import does not read");
inline constexpr char RoutePoint[]         = QT_TRANSLATE_NOOP("Marivel", "%1 route point");
inline constexpr char RoutePoints[]        = QT_TRANSLATE_NOOP("Marivel", "%1 route points");
inline constexpr char MultiGeometryPoint[] = QT_TRANSLATE_NOOP("Marivel", "%1 point in MultiGeometry");
inline constexpr char MultiGeometryPoints[] = QT_TRANSLATE_NOOP("Marivel", "%1 points in MultiGeometry");
inline constexpr char TrackPoint[]         = QT_TRANSLATE_NOOP("Marivel", "%1 gx:Track point");
inline constexpr char TrackPoints[]        = QT_TRANSLATE_NOOP("Marivel", "%1 gx:Track points");
inline constexpr char PrefixedElement[]    = QT_TRANSLATE_NOOP("Marivel", "%1 %2 element");
inline constexpr char PrefixedElements[]   = QT_TRANSLATE_NOOP("Marivel", "%1 %2 elements");
inline constexpr char InvalidGeoJson[]     = QT_TRANSLATE_NOOP("Marivel", "Invalid GeoJSON at byte %1: %2");
inline constexpr char GeoJsonTooDeep[]     = QT_TRANSLATE_NOOP("Marivel", "Invalid GeoJSON: nesting deeper than %1 levels");
inline constexpr char NotGeoJson[]         = QT_TRANSLATE_NOOP("Marivel", "This JSON text is no GeoJSON: its outermost value is not an object with a GeoJSON \"type\"");
inline constexpr char InvalidGeoJsonPoint[] = QT_TRANSLATE_NOOP("Marivel", "Invalid GeoJSON before byte %1: the coordinates of a Point or MultiPoint are not positions of two numbers or more");
inline constexpr char GeoJsonSkippedOne[]  = QT_TRANSLATE_NOOP("Marivel", "%1 geometry that is no point, or feature without geometry, was skipped");
inline constexpr char GeoJsonSkippedMany[] = QT_TRANSLATE_NOOP("Marivel", "%1 geometries that are no points, and features without geometry, were skipped");
inline constexpr char KmzNotZip[]          = QT_TRANSLATE_NOOP("Marivel", "This is no KMZ file: it is not a zip archive (%1)");
inline constexpr char KmzWithoutKml[]      = QT_TRANSLATE_NOOP("Marivel", "The KMZ archive holds no KML file");
inline constexpr char KmzTooLarge[]        = QT_TRANSLATE_NOOP("Marivel", "The KML file %1 in the KMZ archive unpacks to more than 1 GiB or to more than 100 times its packed size, and is refused");
inline constexpr char KmzCannotUnpack[]    = QT_TRANSLATE_NOOP("Marivel", "Cannot unpack %1 from the KMZ archive: %2");
inline constexpr char KmzCannotPack[]      = QT_TRANSLATE_NOOP("Marivel", "Cannot make the KMZ archive: %1");
inline constexpr char InvalidCoordinates[] = QT_TRANSLATE_NOOP("Marivel", "Invalid value found in coordinates node");
inline constexpr char NoWorksheets[]       = QT_TRANSLATE_NOOP("Marivel", "File does not contain any worksheets");
inline constexpr char LongitudeExpected[]  = QT_TRANSLATE_NOOP("Marivel", "Longitude expected in column %1 of row %2");
inline constexpr char LatitudeExpected[]   = QT_TRANSLATE_NOOP("Marivel", "Latitude expected in column %1 of row %2");
// Locations, downloads and the handheld device.
inline constexpr char DownloadFailed[]       = QT_TRANSLATE_NOOP("Marivel", "Unable to download %1: %2");
inline constexpr char HttpStatus[]           = QT_TRANSLATE_NOOP("Marivel", "HTTP %1 %2");
inline constexpr char ConnectionRefused[]    = QT_TRANSLATE_NOOP("Marivel", "connection refused");
inline constexpr char DownloadIdle[]         = QT_TRANSLATE_NOOP("Marivel", "timed out after %1 s");
inline constexpr char DownloadTooLarge[]     = QT_TRANSLATE_NOOP("Marivel", "larger than %1 MiB");
inline constexpr char DownloadTooLong[]      = QT_TRANSLATE_NOOP("Marivel", "took longer than %1 min");
inline constexpr char AnswerTooLarge[]       = QT_TRANSLATE_NOOP("Marivel", "the answer is larger than %1 KiB");
inline constexpr char NotAWebAddress[]       = QT_TRANSLATE_NOOP("Marivel", "only web addresses (http, https) are downloaded");
inline constexpr char WebSiteAddress[]       = QT_TRANSLATE_NOOP("Marivel", "The site names the address %1, which was refused: a site on the web may only name web addresses (http, https)");
inline constexpr char LocalSiteAddress[]     = QT_TRANSLATE_NOOP("Marivel", "The site names the address %1, which was refused: a local site may only name local (FILE://) and web (http, https) addresses");
inline constexpr char RedirectRefused[]      = QT_TRANSLATE_NOOP("Marivel", "the server redirected to %1, which is no web address");
inline constexpr char CopyFileFailed[]       = QT_TRANSLATE_NOOP("Marivel", "Could not copy file %1 to file %2");
inline constexpr char OperationAborted[]     = QT_TRANSLATE_NOOP("Marivel", "Operation aborted");
inline constexpr char NeedsNewerVersion[]    = QT_TRANSLATE_NOOP("Marivel", "The selected site is not supported by this version of Marivel. You need to update to a newer version of Marivel (minimal version %1) to use this site");
inline constexpr char ExtensionMismatch[]    = QT_TRANSLATE_NOOP("Marivel", "The extension \"%1\" of the file name does not match the chosen file type.");
inline constexpr char RegistryWriteFailed[]  = QT_TRANSLATE_NOOP("Marivel", "Could not access registry for writing");
inline constexpr char SettingsNotSaved[]     = QT_TRANSLATE_NOOP("Marivel", "Could not save the settings to %1: the disk may be full, or the file may not be writable");
inline constexpr char CannotLock[]           = QT_TRANSLATE_NOOP("Marivel", "Could not create the lock file %1");
inline constexpr char RapiNotFound[]         = QT_TRANSLATE_NOOP("Marivel", "The library that reaches the device (%1) could not be loaded; please reinstall Marivel");
inline constexpr char RapiConnectFailed[]    = QT_TRANSLATE_NOOP("Marivel", "No device found%1. Connect and mount the navigator or its memory card, or choose the folder that stands for the device in Tools > Preferences > General > Device Folder");
inline constexpr char DeviceFolderTried[]    = QT_TRANSLATE_NOOP("Marivel", " (device folder %1)");
inline constexpr char NoDeviceFolder[]       = QT_TRANSLATE_NOOP("Marivel", " (no device folder is set and no navigator is mounted)");
inline constexpr char RapiNotLoaded[]        = QT_TRANSLATE_NOOP("Marivel", "Rapi not loaded");
inline constexpr char SpecialFolderNotLoaded[] = QT_TRANSLATE_NOOP("Marivel", "CeGetSpecialFolderPath function not loaded");
inline constexpr char RemoteOpenFailed[]     = QT_TRANSLATE_NOOP("Marivel", "Could not open remote file %1");
inline constexpr char RemoteReadFailed[]     = QT_TRANSLATE_NOOP("Marivel", "Could not read from remote file %1");
inline constexpr char RemoteCreateFailed[]   = QT_TRANSLATE_NOOP("Marivel", "Could not create remote file %1");
inline constexpr char RemoteWriteFailed[]    = QT_TRANSLATE_NOOP("Marivel", "Could not write remote file %1: %2");
inline constexpr char RemoteKeyCreateFailed[] = QT_TRANSLATE_NOOP("Marivel", "Unable to create key in remote registry");
inline constexpr char RemoteValueWriteFailed[] = QT_TRANSLATE_NOOP("Marivel", "Cannot write remote registry value %1");
inline constexpr char RemoteValueCountFailed[] = QT_TRANSLATE_NOOP("Marivel", "Unable to determine number of values in remote registry key");
inline constexpr char RemoteValueReadFailed[] = QT_TRANSLATE_NOOP("Marivel", "Cannot read remote registry value");
// Browsing the device.
inline constexpr char MyDevice[]             = QT_TRANSLATE_NOOP("Marivel", "My Device");
inline constexpr char MyDocuments[]          = QT_TRANSLATE_NOOP("Marivel", "My Documents");
inline constexpr char Other[]                = QT_TRANSLATE_NOOP("Marivel", "Other");
inline constexpr char RemoteOverwrite[]      = QT_TRANSLATE_NOOP("Marivel", "Remote file %1 already exists. Do you want to overwrite it?");
inline constexpr char RemoteDeleteAsk[]      = QT_TRANSLATE_NOOP("Marivel", "Are you sure you want to delete remote file %1?");
inline constexpr char RemoteDeleteFailed[]   = QT_TRANSLATE_NOOP("Marivel", "Could not delete remote file %1");
inline constexpr char DeleteCompanions[]     = QT_TRANSLATE_NOOP("Marivel", "Delete bmp and inf files as well");
inline constexpr char CopyBmp[]              = QT_TRANSLATE_NOOP("Marivel", "Copy bmp file if available");
inline constexpr char NoMapOrFolder[]        = QT_TRANSLATE_NOOP("Marivel", "No map or folder specified");
inline constexpr char InitRapiNotCalled[]    = QT_TRANSLATE_NOOP("Marivel", "InitRapi not called");
inline constexpr char RemoteNameInvalid[]    = QT_TRANSLATE_NOOP("Marivel", "The file name %1 holds characters that the device does not allow in names: %2");
inline constexpr char RemoteNameTooLong[]    = QT_TRANSLATE_NOOP("Marivel", "The file name %1 is too long for the device, whose paths hold at most %2 characters");
// The editor.
inline constexpr char Untitled[]           = QT_TRANSLATE_NOOP("Marivel", "Untitled");
inline constexpr char Items[]              = QT_TRANSLATE_NOOP("Marivel", "items");
inline constexpr char Changed[]            = QT_TRANSLATE_NOOP("Marivel", "Changed");
inline constexpr char NewEntry[]           = QT_TRANSLATE_NOOP("Marivel", "New entry");
inline constexpr char NoItemsFound[]       = QT_TRANSLATE_NOOP("Marivel", "No items found");
inline constexpr char NoMoreItemsFound[]   = QT_TRANSLATE_NOOP("Marivel", "No more items found");
inline constexpr char PrecisionLoss[]      = QT_TRANSLATE_NOOP("Marivel", "When the data is saved as \"%1\", one or more coordinates lose their precision, because this format uses a precision of %2 decimals.\r\rDo you want to continue the save?");
inline constexpr char SaveChanges[]        = QT_TRANSLATE_NOOP("Marivel", "The current data has changed. Do you want to save the changes?");
inline constexpr char RenamePrompt[]       = QT_TRANSLATE_NOOP("Marivel", "Enter the new description to apply to the selection");
inline constexpr char CleaningUp[]         = QT_TRANSLATE_NOOP("Marivel", "Cleaning up, please wait...");
inline constexpr char Loading[]            = QT_TRANSLATE_NOOP("Marivel", "Loading, please wait...");
inline constexpr char FindCaption[]        = QT_TRANSLATE_NOOP("Marivel", "Find items");
inline constexpr char FindPrompt[]         = QT_TRANSLATE_NOOP("Marivel", "Enter search string below");
inline constexpr char NoSearchString[]     = QT_TRANSLATE_NOOP("Marivel", "No search string entered");
inline constexpr char Remote[]             = QT_TRANSLATE_NOOP("Marivel", "Remote");
inline constexpr char FindDupsCaption[]    = QT_TRANSLATE_NOOP("Marivel", "Marivel Find Duplicates...");
inline constexpr char NoDuplicatesFound[]  = QT_TRANSLATE_NOOP("Marivel", "No duplicate items found");
inline constexpr char SearchingDuplicates[] = QT_TRANSLATE_NOOP("Marivel", "Searching for duplicates...");

// Batch conversion and the coordinates calculator.
inline constexpr char NoFilesSelected[]    = QT_TRANSLATE_NOOP("Marivel", "No files selected");
inline constexpr char TypesEqual[]         = QT_TRANSLATE_NOOP("Marivel", "Source and destination types are equal");
inline constexpr char DestFileNotSet[]     = QT_TRANSLATE_NOOP("Marivel", "Destination filename not set");
inline constexpr char NoDestTypes[]        = QT_TRANSLATE_NOOP("Marivel", "No destination type(s) selected");
inline constexpr char DestTypeConflict[]   = QT_TRANSLATE_NOOP("Marivel", "Destination type conflict, you can have only one destination format per file extension (duplicate extension: %1)");
inline constexpr char SameTarget[]         = QT_TRANSLATE_NOOP("Marivel", "%1 and %2 would both be written to %3");
inline constexpr char AskOverwriteFile[]   = QT_TRANSLATE_NOOP("Marivel", "File %1 already exists. Do you want to overwrite?");
inline constexpr char AskContinueBatch[]   = QT_TRANSLATE_NOOP("Marivel", "An error occurred during conversion:\r\r%1\r\rDo you want to continue the conversion?");
inline constexpr char NoSourceFiles[]      = QT_TRANSLATE_NOOP("Marivel", "No source files selected");
inline constexpr char BatchSummary[]       = QT_TRANSLATE_NOOP("Marivel", "Batch conversion finished: %1 converted, %2 failed, %3 skipped.");
inline constexpr char BatchFailures[]      = QT_TRANSLATE_NOOP("Marivel", "These files failed:");
inline constexpr char SourceDirMissing[]   = QT_TRANSLATE_NOOP("Marivel", "Source directory does not exist");
inline constexpr char DestDirMissing[]     = QT_TRANSLATE_NOOP("Marivel", "Destination directory does not exist");
inline constexpr char MultipleFormats[]    = QT_TRANSLATE_NOOP("Marivel", "Multiple formats...");
// The hemisphere buttons of the coordinate fields.
inline constexpr char North[]              = QT_TRANSLATE_NOOP("Marivel", "N");
inline constexpr char South[]              = QT_TRANSLATE_NOOP("Marivel", "S");
inline constexpr char East[]               = QT_TRANSLATE_NOOP("Marivel", "E");
inline constexpr char West[]               = QT_TRANSLATE_NOOP("Marivel", "W");
inline constexpr char EnterCoordinates[]   = QT_TRANSLATE_NOOP("Marivel", "Please enter the longitude and latitude");
inline constexpr char LatitudeOutOfRange[] = QT_TRANSLATE_NOOP("Marivel", "A latitude lies from -90 to 90 degrees, not %1");
inline constexpr char LongitudeOutOfRange[] = QT_TRANSLATE_NOOP("Marivel", "A longitude lies from -180 to 180 degrees, not %1");

// The map beside each document.
inline constexpr char CalibrationLoadFailed[] = QT_TRANSLATE_NOOP("Marivel", "Loading of calibration data failed: %1\r\rPlease calibrate the map properly.");
inline constexpr char NeedsCalibration[]   = QT_TRANSLATE_NOOP("Marivel", "needs calibration");
inline constexpr char CalibrationClose[]   = QT_TRANSLATE_NOOP("Marivel", "The calibration points are very close to each other, so precise location calculations cannot be guaranteed. Are you sure you want to use this calibration?");
inline constexpr char SelectCalibrationPoint[] = QT_TRANSLATE_NOOP("Marivel", "First select a Calibration Point in the \"Calibrate...\" dialog");
inline constexpr char MapHint[]            = QT_TRANSLATE_NOOP("Marivel", "%1\rLat/Lon: %2/%3");
inline constexpr char MoveMapHint[]        = QT_TRANSLATE_NOOP("Marivel", "Turns the cursor into move map mode");
inline constexpr char SetPositionHint[]    = QT_TRANSLATE_NOOP("Marivel", "Turns the cursor into set position mode");
inline constexpr char SelectOnMapHint[]    = QT_TRANSLATE_NOOP("Marivel", "Allows you to select the POIs on the map by clicking and dragging the mouse");
inline constexpr char TilesUnavailable[]   = QT_TRANSLATE_NOOP("Marivel", "Map tiles cannot be loaded: %1");
inline constexpr char TileUrlPlaceholders[] = QT_TRANSLATE_NOOP("Marivel", "The tile address must contain {z}, {x} and {y}, for the zoom, column and row of a tile.");
inline constexpr char TileNotAPicture[]    = QT_TRANSLATE_NOOP("Marivel", "the server sent no picture the map can show");

// The desktop program's start-up and language switch.
inline constexpr char UnableToLoadCursor[] = QT_TRANSLATE_NOOP("Marivel", "Unable to load cursor %1");
inline constexpr char RestartForLanguage[] = QT_TRANSLATE_NOOP("Marivel", "To activate the chosen language, the application needs to be restarted. Do you want to close the application now?");
// POI sites and their AutoUpdate items.
inline constexpr char MissingNode[]        = QT_TRANSLATE_NOOP("Marivel", "Missing %1 node");
inline constexpr char PoiNotInSite[]       = QT_TRANSLATE_NOOP("Marivel", "POI item not found in the site xml");
inline constexpr char SiteInfoInvalid[]    = QT_TRANSLATE_NOOP("Marivel", "Downloaded information invalid, please try again or use the Update button next to the sites list");
inline constexpr char UpdateItemNotFound[] = QT_TRANSLATE_NOOP("Marivel", "AutoUpdate item for %1 not found");
inline constexpr char TargetsTaken[]       = QT_TRANSLATE_NOOP("Marivel", "One or more target files are already updated by another item. Please remove the updating of these files before assigning them to other items");
inline constexpr char TargetFolderCollides[] = QT_TRANSLATE_NOOP("Marivel", "The specified target directory causes 2 or more AutoUpdate items to update the same file. Please change or remove the target of the conflicting items first");
inline constexpr char TargetTaken[]        = QT_TRANSLATE_NOOP("Marivel", "The target file is already updated by another item. Please remove the updating of this file before assigning it to another item");
inline constexpr char ItemNotText[]        = QT_TRANSLATE_NOOP("Marivel", "AutoUpdate item %1 is not stored as text and was skipped");
inline constexpr char ItemsBusy[]          = QT_TRANSLATE_NOOP("Marivel", "Another program keeps the AutoUpdate items locked; please try again later");
inline constexpr char RunBusy[]            = QT_TRANSLATE_NOOP("Marivel", "Another AutoUpdate run is busy; please try again when it has finished");
// The AutoUpdate manager.
inline constexpr char SiteListed[]         = QT_TRANSLATE_NOOP("Marivel", "This address already exists in the site list");
inline constexpr char ConfirmHideSite[]    = QT_TRANSLATE_NOOP("Marivel", "Are you sure you want to hide this site and remove all of its AutoUpdate items?");
inline constexpr char ConfirmRemoveSite[]  = QT_TRANSLATE_NOOP("Marivel", "Are you sure you want to remove this site and all its AutoUpdate items?");
inline constexpr char NoHiddenSites[]      = QT_TRANSLATE_NOOP("Marivel", "No hidden sites to show!");
inline constexpr char ConfirmUnhide[]      = QT_TRANSLATE_NOOP("Marivel", "Are you sure you want to show all hidden sites?");
inline constexpr char NoSiteXmlFile[]      = QT_TRANSLATE_NOOP("Marivel", "Cannot find the site xml index file");
inline constexpr char LocalSiteGone[]      = QT_TRANSLATE_NOOP("Marivel", "File %1 no longer exists. Please restore it or remove it from the AutoUpdate Manager site list");
inline constexpr char SiteNotDownloaded[]  = QT_TRANSLATE_NOOP("Marivel", "Site information of %1 has not yet been downloaded. Do you want to download it now?");
inline constexpr char InvalidSiteLocation[] = QT_TRANSLATE_NOOP("Marivel", "Invalid location specified, the xml location must be prefixed with http:// for internet locations or file:// for local files");
inline constexpr char ConfirmUnsubscribe[] = QT_TRANSLATE_NOOP("Marivel", "Are you sure you want to unsubscribe these files from AutoUpdate?");
inline constexpr char TargetsExist[]       = QT_TRANSLATE_NOOP("Marivel", "One or more files already exist. Setting these files to AutoUpdate causes them to be overwritten on the next update. Do you really want these files to be updated automatically?");
inline constexpr char MixedTargets[]       = QT_TRANSLATE_NOOP("Marivel", "Selection contains local and PDA files. Please only select local OR PDA files");
inline constexpr char ApplicationMissing[] = QT_TRANSLATE_NOOP("Marivel", "The entered application does not exist on this location.");
inline constexpr char NoDeviceItems[]      = QT_TRANSLATE_NOOP("Marivel", "No items in the selection configured with a Mobile Device as their target, please check the destination of the AutoUpdate items");
inline constexpr char PmvCannotConvert[]   = QT_TRANSLATE_NOOP("Marivel", "At this moment PocketMarivel cannot convert between POI file formats, therefore the format of item %1 must match the format in which the site offers this POI (which is %2).\r\rPlease review your settings and try again.");
inline constexpr char PmvNotInstalled[]    = QT_TRANSLATE_NOOP("Marivel", "Make sure you have installed Pocket Marivel, it is installed either to the default directory, or to an alternate install directory (as set up in the Settings tab of the AutoUpdate Manager)");
inline constexpr char PmvSaved[]           = QT_TRANSLATE_NOOP("Marivel", "AutoUpdate configuration saved to your Mobile Device.");
inline constexpr char OtherCaption[]       = QT_TRANSLATE_NOOP("Marivel", "[Other]");
inline constexpr char AllCaption[]         = QT_TRANSLATE_NOOP("Marivel", "[All]");
inline constexpr char AuthNone[]           = QT_TRANSLATE_NOOP("Marivel", "None");
inline constexpr char AuthRegistered[]     = QT_TRANSLATE_NOOP("Marivel", "Registered");
inline constexpr char AuthSubscribed[]     = QT_TRANSLATE_NOOP("Marivel", "Subscribed");
// The AutoUpdate engine and its runs.
inline constexpr char CheckingNewVersion[] = QT_TRANSLATE_NOOP("Marivel", "Checking for new version...");
inline constexpr char DownloadingOrCached[] = QT_TRANSLATE_NOOP("Marivel", "Downloading or getting cached version...");
inline constexpr char SavingNewVersion[]   = QT_TRANSLATE_NOOP("Marivel", "Saving new version...");
inline constexpr char DownloadingImage[]   = QT_TRANSLATE_NOOP("Marivel", "Downloading image...");
inline constexpr char SavingImage[]        = QT_TRANSLATE_NOOP("Marivel", "Saving image...");
inline constexpr char Finishing[]          = QT_TRANSLATE_NOOP("Marivel", "Finishing...");
inline constexpr char PoiVanished[]        = QT_TRANSLATE_NOOP("Marivel", "AutoUpdate item \"%1\" does not exist (or no longer exists) in the downloaded site's index. Please remove it from the \"All Items\" tab in the AutoUpdate Manager");
inline constexpr char SiteReportedError[]  = QT_TRANSLATE_NOOP("Marivel", "The following error occurred:");
inline constexpr char WhileQuerying[]      = QT_TRANSLATE_NOOP("Marivel", "while querying item");
inline constexpr char WhileChecking[]      = QT_TRANSLATE_NOOP("Marivel", "while checking for a newer version of this POI file");
inline constexpr char WhileDownloading[]   = QT_TRANSLATE_NOOP("Marivel", "while downloading item");
inline constexpr char ImageSuffix[]        = QT_TRANSLATE_NOOP("Marivel", " image");
inline constexpr char CannotDownload[]     = QT_TRANSLATE_NOOP("Marivel", "Cannot download \"%1\" because of the following error: \r\r%2.");
inline constexpr char CheckCredentials[]   = QT_TRANSLATE_NOOP("Marivel", "The site refused the request: check the site's username and password (AutoUpdate Manager, \"Set/Change password...\")");
inline constexpr char CheckInternet[]      = QT_TRANSLATE_NOOP("Marivel", "Please check your internet connection");
inline constexpr char CheckAddress[]       = QT_TRANSLATE_NOOP("Marivel", "The server has nothing at this address: check the address, or update the site's index (AutoUpdate Manager, \"Update\")");
inline constexpr char NotASiteIndex[]      = QT_TRANSLATE_NOOP("Marivel", "%1 is not a POI site index (%2): check the site's address");
inline constexpr char SiteStatusHint[]     = QT_TRANSLATE_NOOP("Marivel", "When your connection works, the site itself may be down for a while; the site list of the program's home page tells which sites are known to be unavailable");
inline constexpr char DownloadCancelled[]  = QT_TRANSLATE_NOOP("Marivel", "Download cancelled by user");
inline constexpr char ConfirmOverwrite[]   = QT_TRANSLATE_NOOP("Marivel", "The up-to-date POI was downloaded successfully. Are you sure you want to overwrite the existing one (%1)?");
inline constexpr char InvalidTarget[]      = QT_TRANSLATE_NOOP("Marivel", "Invalid target filename");
inline constexpr char InvalidUrl[]         = QT_TRANSLATE_NOOP("Marivel", "Invalid address %1");
inline constexpr char InvalidRemoteTime[]  = QT_TRANSLATE_NOOP("Marivel", "'%1' is not a valid date and time");
inline constexpr char CannotStoreTime[]    = QT_TRANSLATE_NOOP("Marivel", "Could not store time in %1");
inline constexpr char CannotWriteTime[]    = QT_TRANSLATE_NOOP("Marivel", "Could not write time to %1");
inline constexpr char CannotReadTime[]     = QT_TRANSLATE_NOOP("Marivel", "Could not read or check file for existence");
inline constexpr char WaitingForRow[]      = QT_TRANSLATE_NOOP("Marivel", "Waiting to be processed...");
inline constexpr char Starting[]           = QT_TRANSLATE_NOOP("Marivel", "Starting...");
inline constexpr char UpdatingFile[]       = QT_TRANSLATE_NOOP("Marivel", "Updating file %1 of %2");
inline constexpr char CheckingSiteXml[]    = QT_TRANSLATE_NOOP("Marivel", "Checking updated site xml file...");
inline constexpr char CheckedSiteXml[]     = QT_TRANSLATE_NOOP("Marivel", "Checked site xml file...");
inline constexpr char NoSiteXml[]          = QT_TRANSLATE_NOOP("Marivel", "Unable to download associated site xml");
inline constexpr char Checking[]           = QT_TRANSLATE_NOOP("Marivel", "Checking...");
inline constexpr char Updated[]            = QT_TRANSLATE_NOOP("Marivel", "Updated");
inline constexpr char AlreadyUpToDate[]    = QT_TRANSLATE_NOOP("Marivel", "Already up to date");
inline constexpr char Failed[]             = QT_TRANSLATE_NOOP("Marivel", "Failed");
inline constexpr char Cancelled[]          = QT_TRANSLATE_NOOP("Marivel", "Cancelled");
inline constexpr char NotOverwrittenUnattended[] = QT_TRANSLATE_NOOP("Marivel", "Skipped: the file exists, and a run at the tray asks no questions (\"Always overwrite\" in the AutoUpdate Manager's settings lets it replace the file)");
inline constexpr char Finished[]           = QT_TRANSLATE_NOOP("Marivel", "Finished");
inline constexpr char AskContinue[]        = QT_TRANSLATE_NOOP("Marivel", "Do you want to continue?");
inline constexpr char ContinueOnErrors[]   = QT_TRANSLATE_NOOP("Marivel", "Continue on subsequent errors");
inline constexpr char CountUpdated[]       = QT_TRANSLATE_NOOP("Marivel", "%1 updated");
inline constexpr char CountUpToDate[]      = QT_TRANSLATE_NOOP("Marivel", "%1 already up-to-date");
inline constexpr char CountFailed[]        = QT_TRANSLATE_NOOP("Marivel", "%1 failed");
inline constexpr char CountSkipped[]       = QT_TRANSLATE_NOOP("Marivel", "%1 skipped");
inline constexpr char CannotStartApp[]     = QT_TRANSLATE_NOOP("Marivel", "Cannot execute the AutoUpdate application that is specified in the AutoUpdate manager settings:\r%1\r\rPlease check if the application exists in the specified location.");
// The program version check.
inline constexpr char RetrievingVersion[]  = QT_TRANSLATE_NOOP("Marivel", "Retrieving version information...");
inline constexpr char NoOnlineVersion[]    = QT_TRANSLATE_NOOP("Marivel", "Unable to retrieve online version information.");
inline constexpr char OnlineVersionInvalid[] = QT_TRANSLATE_NOOP("Marivel", "Online version information invalid");
inline constexpr char LatestVersion[]      = QT_TRANSLATE_NOOP("Marivel", "You have the latest version of %1.");
inline constexpr char NewVersionAvailable[] = QT_TRANSLATE_NOOP("Marivel", "There is a new version of %1 available for download. Do you wish to go to the download page on %2?");
inline constexpr char NoVersionUrl[]       = QT_TRANSLATE_NOOP("Marivel", "No address of the version document is set. Set \"VersionUrl\" in the settings file");
inline constexpr char VersionCheckError[]  = QT_TRANSLATE_NOOP("Marivel", "Error checking for new version");
// Committing a POI to a site.
inline constexpr char NoCommitSites[]      = QT_TRANSLATE_NOOP("Marivel", "No sites detected that support committing POIs. Please update the site you are trying to commit to by clicking \"Update\" in the AutoUpdate manager screen");
inline constexpr char CommitSucceeded[]    = QT_TRANSLATE_NOOP("Marivel", "Your POI was committed successfully to %1...");
inline constexpr char CannotCommit[]       = QT_TRANSLATE_NOOP("Marivel", "Cannot commit to \"%1\" because of the following error: \r\r%2.");
inline constexpr char NoAdditionalInfo[]   = QT_TRANSLATE_NOOP("Marivel", "No additional information available...");
// The AutoUpdate wizard and the startup screen.
inline constexpr char CancelWizard[]       = QT_TRANSLATE_NOOP("Marivel", "Are you sure you want to cancel the AutoUpdate Wizard?");
inline constexpr char ClearSiteItems[]     = QT_TRANSLATE_NOOP("Marivel", "You have already set up AutoUpdate POI items from this site. To continue you need to clear these. Do you want to do this?");
inline constexpr char SiteXmlMissing[]     = QT_TRANSLATE_NOOP("Marivel", "Cannot find the site xml index file");
inline constexpr char OtherGroups[]        = QT_TRANSLATE_NOOP("Marivel", "Other groups...");
inline constexpr char OtherGroupsAsk[]     = QT_TRANSLATE_NOOP("Marivel", "To set up other groups not available in the Wizard, the Wizard needs to be closed and the AutoUpdate Manager needs to be opened. Do you want to do this?");
inline constexpr char NoGroups[]           = QT_TRANSLATE_NOOP("Marivel", "No groups available: all POIs within this country are selected...");
inline constexpr char SetupItemsFirst[]    = QT_TRANSLATE_NOOP("Marivel", "You must first set up your AutoUpdate items using the AutoUpdate Wizard or Manager");
// Map-application plugins.
inline constexpr char PluginsNotLoaded[]   = QT_TRANSLATE_NOOP("Marivel", "One or more plugins could not be loaded");
inline constexpr char CannotAddToPlugin[]  = QT_TRANSLATE_NOOP("Marivel", "Could not add the POI to %1 because of the following error:\r\"%2\"");
inline constexpr char PluginFailed[]       = QT_TRANSLATE_NOOP("Marivel", "The plugin %1 failed without saying why");
inline constexpr char PluginThrew[]        = QT_TRANSLATE_NOOP("Marivel", "The plugin %1 failed: %2");
inline constexpr char PluginWritable[]     = QT_TRANSLATE_NOOP("Marivel", "The plugin %1 was not loaded: others can write to %2");
inline constexpr char PluginNotOwned[]     = QT_TRANSLATE_NOOP("Marivel", "The plugin %1 was not loaded: it belongs to neither you nor root");
// clang-format on
}

inline QString Tr(const char* text) { return QCoreApplication::translate("Marivel", text); }

// Message texts keep the line breaks of their tables ("\r"); a message box or a terminal
// wants "\n".
inline QString ForDisplay(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
}
