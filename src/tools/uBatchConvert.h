#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class IUserPrompt;
class TEntries;

// The rules of batch conversion, apart from its window: what the folders offer, the checks
// before a run, the run itself and the settings it keeps. The command line converts into a
// folder through the same run, so nothing here needs a window.

// What the user asked for, as the window (or the command line) collected it.
struct TBatchJob {
    QStringList Files; // the locations to convert, in list order
    bool SelectedOnly = false; // "Selected" source mode: an empty `Files` is refused at once
    QString SourceFormatId; // the importer's; empty: the first of each file's extension
    bool Append = false; // all files into `DestFile`, else each into `DestDir`
    QString DestDir;
    QString DestFile; // as typed; a single format checks its extension even in Multiple mode
    bool MultipleFormats = false; // "Multiple formats...": every id in `DestFormatIds`
    QStringList DestFormatIds; // the exporters, in registry order
    bool AddNames = false; // Append mode: descriptions begin with their file's name
    bool OpenAfterAppend = false;
};

struct TBatchResult {
    bool Finished = false; // false: the user ended the run with No or Cancel
    int Converted = 0; // files written (for an append: read into the file that was written)
    int Failed = 0; // files that failed and were passed over
    int Skipped = 0; // files whose every target the user chose not to replace
    QStringList Failures; // what went wrong with each failed file, naming it
    QStringList Warnings; // the importers' warnings, each named by its file
    // The file an append wrote, to open in a new document window; empty when none is.
    QString OpenLocation;
    QString OpenFormatId;
};

// One batch run. Questions go to the prompt; failed files go to `OnFileError` when set.
class TBatchConvert {
public:
    explicit TBatchConvert(IUserPrompt& prompt);

    // Checks `job`, failing with the first fault found (a user error, before anything is read
    // or written), then converts. A file whose reading or writing fails is reported and the
    // run goes on or ends as the answer says.
    TBatchResult Run(const TBatchJob& job);

    // Called after each file with how many files are done and of how many.
    std::function<void(int done, int total)> OnProgress;
    // Whether the run goes on after a file failed with `error`, which names the file; unset,
    // the user is asked.
    std::function<bool(const QString& error)> OnFileError;

private:
    enum class TSaved { Written, Skipped, Cancelled };
    void Check(const TBatchJob& job) const;
    // Whether the run goes on.
    bool ConvertFile(
        const TBatchJob& job, const QString& file, TEntries& entries, TBatchResult& result);
    bool GoOnAfter(const QString& error);
    // Writes `entries`, read from `document`, in each destination format, asking before
    // replacing a file.
    TSaved Save(const TBatchJob& job, const QString& document, const QString& baseName,
        TEntries& entries, QStringList& warnings);

    IUserPrompt& Prompt;
};

// What a finished run says: how many files were converted, failed and skipped, and why each
// failure failed.
QString BatchSummary(const TBatchResult& result);

// Fails, naming both, when two of the job's files would be written to the same targets in its
// folder, their names differing in the extension only: the second would replace the first's.
void CheckDistinctTargets(const TBatchJob& job);

// The extension that chooses the converter for `location`: that of format `formatId` when one
// is named, so that it reads or writes the file whatever its name; else the location's own.
QString ImportExt(const QString& location, const QString& formatId);
QString ExportExt(const QString& location, const QString& formatId);

// The file names of `folder` that the importer at `importerIndex` reads (by its extension,
// in any case), sorted by name as the user reads them; no names for an empty folder.
// A folder that does not exist fails with "Source directory does not exist".
QStringList ListSourceFolder(const QString& folder, int importerIndex);
// The file names of `folder` of the exporter at `exporterIndex`, or every file for -1
// ("Multiple formats..."). Fails with "Destination directory does not exist".
QStringList ListDestFolder(const QString& folder, int exporterIndex);

// `path` with its extension, if any, replaced by `ext` (with its dot; empty removes it).
QString ChangeFileExt(const QString& path, const QString& ext);
// The destination file after the destination format changed to the exporter at
// `exporterIndex` (-1: "Multiple formats...", which takes the extension away). Empty stays
// empty.
QString DestFileForFormat(const QString& file, int exporterIndex);
// A name chosen in the destination-file dialog: without an extension it gets the one of the
// exporter whose filter row was chosen.
QString DestFileChosen(const QString& file, int exporterIndex);

// Prefixes the descriptions of the entries from `first` on with the name of `location`
// without its extension, and " - ".
void AddFileNames(TEntries& entries, int first, const QString& location);

// The window's remembered choices.
struct TBatchSettings {
    QString SourceDir, DestDir; // existing folders, else the program folder
    int DestFormat = 0; // an exporter index, -1 for "Multiple formats..."
    QStringList CheckedIds; // the known exporter ids among those stored
};
TBatchSettings LoadBatchSettings();
void StoreBatchSettings(const QString& sourceDir, const QString& destDir, int destFormat,
    const QStringList& checkedIds);
