#include "tools/uBatchConvert.h"

#include <algorithm>
#include <string>
#include <utility>

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "convert/uConvertBase.h"
#include "core/uModel.h"
#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "core/uUtils.h"
#include "locations/uDownload.h"
#include "locations/uLocations.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

[[noreturn]] void Refuse(const char* message) { throw EUserError(Tr(message)); }

// Exporters sharing an extension would write the same target; the first such extension.
QString DuplicateExtension(const QStringList& formatIds)
{
    QStringList seen;
    for (const QString& id : formatIds) {
        const QString ext = ExporterExt(IndexOfExporterFormat(id)).toLower();
        if (seen.contains(ext))
            return ext;
        seen << ext;
    }
    return QString();
}

bool AskOverwrite(
    IUserPrompt& prompt, const QString& file, IUserPrompt::TAnswer& answer, bool withCancel)
{
    if (!QFileInfo::exists(file))
        return true;
    answer = prompt.Ask(Tr(Msg::AskOverwriteFile).arg(EscapeControls(file)), withCancel);
    return answer == IUserPrompt::TAnswer::Yes;
}

// The entries an append read from a file that then failed are taken out again, so a file
// reported as failed adds nothing.
void DropFrom(TEntries& entries, int first)
{
    while (entries.Count() > first)
        entries.Delete(entries.Count() - 1);
}

// The target of `file` in the job's folder, but for the extension each format gives it.
QString TargetBase(const TBatchJob& job, const QString& file)
{
    return QDir(job.DestDir).filePath(LocationFileName(LocationForDisplay(file)));
}

QString ExistingFolderOr(const QString& folder, const QString& fallback)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : fallback;
}

QStringList FilesOf(const QString& folder, const QString& pattern, const char* missing)
{
    if (folder.isEmpty())
        return {};
    if (!QFileInfo(folder).isDir())
        Refuse(missing);
    return QDir(folder).entryList(
        { pattern }, QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
}

} // namespace

TBatchConvert::TBatchConvert(IUserPrompt& prompt)
    : Prompt(prompt)
{
}

void TBatchConvert::Check(const TBatchJob& job) const
{
    if (job.SelectedOnly && job.Files.isEmpty())
        Refuse(Msg::NoFilesSelected);
    if (!job.MultipleFormats) {
        const QString id = job.DestFormatIds.value(0);
        if (!job.Append && job.SourceFormatId == id)
            Refuse(Msg::TypesEqual);
        const QString ext =
            MismatchedExtension(job.DestFile, ExporterExt(IndexOfExporterFormat(id)));
        if (!ext.isEmpty())
            throw EUserError(Tr(Msg::ExtensionMismatch).arg(ext));
    }
    if (job.Append && job.DestFile.isEmpty())
        Refuse(Msg::DestFileNotSet);
    if (job.MultipleFormats) {
        if (job.DestFormatIds.isEmpty())
            Refuse(Msg::NoDestTypes);
        const QString duplicate = DuplicateExtension(job.DestFormatIds);
        if (!duplicate.isEmpty())
            throw EUserError(Tr(Msg::DestTypeConflict).arg(duplicate));
    }
    // Every file would fail on its own otherwise, each with a question.
    if (!job.Append && !QFileInfo(job.DestDir).isDir())
        Refuse(Msg::DestDirMissing);
}

TBatchResult TBatchConvert::Run(const TBatchJob& job)
{
    Check(job);
    TBatchResult result;
    IUserPrompt::TAnswer answer {};
    if (job.Append && !AskOverwrite(Prompt, job.DestFile, answer, false))
        return result;
    TEntries entries;
    const int total = static_cast<int>(job.Files.size());
    for (int done = 0; done < total; ++done) {
        if (!ConvertFile(job, job.Files[done], entries, result))
            return result;
        if (OnProgress)
            OnProgress(done + 1, total);
    }
    if (total == 0)
        Refuse(Msg::NoSourceFiles);
    if (job.Append) {
        const TSaved saved = Save(job, job.Files.value(0), job.DestFile, entries, result.Warnings);
        if (saved == TSaved::Cancelled)
            return result;
        if (saved == TSaved::Skipped)
            result.Skipped = std::exchange(result.Converted, 0);
        if (saved == TSaved::Written && job.OpenAfterAppend && !job.MultipleFormats) {
            const QString id = job.DestFormatIds.value(0);
            result.OpenLocation =
                ChangeFileExt(job.DestFile, ExporterExt(IndexOfExporterFormat(id)));
            result.OpenFormatId = id;
        }
    }
    result.Finished = true;
    return result;
}

bool TBatchConvert::ConvertFile(
    const TBatchJob& job, const QString& file, TEntries& entries, TBatchResult& result)
{
    const int first = job.Append ? entries.Count() : 0;
    try {
        TLocationInput input(file);
        std::string icon;
        const QStringList warnings =
            entries.LoadFromStream(input.Stream(), ImportExt(file, job.SourceFormatId),
                job.SourceFormatId, job.Append, &icon)
            + KeepIconBeside(file, icon);
        for (const QString& warning : warnings)
            result.Warnings << MessageAbout(file, warning);
        if (job.Append) {
            if (job.AddNames)
                AddFileNames(entries, first, file);
            ++result.Converted;
            return true;
        }
        const TSaved saved = Save(job, file, TargetBase(job, file), entries, result.Warnings);
        if (saved == TSaved::Cancelled)
            return false;
        ++(saved == TSaved::Written ? result.Converted : result.Skipped);
        return true;
    } catch (const EInitRapi&) {
        throw; // no device: every other device file fails the same way
    } catch (const Exception& e) {
        DropFrom(entries, first);
        ++result.Failed;
        result.Failures << MessageAbout(file, e.Message());
        return GoOnAfter(result.Failures.last());
    }
}

bool TBatchConvert::GoOnAfter(const QString& error)
{
    if (OnFileError)
        return OnFileError(error);
    return Prompt.Ask(Tr(Msg::AskContinueBatch).arg(error), false) == IUserPrompt::TAnswer::Yes;
}

TBatchConvert::TSaved TBatchConvert::Save(const TBatchJob& job, const QString& document,
    const QString& baseName, TEntries& entries, QStringList& warnings)
{
    TSaved saved = TSaved::Skipped;
    for (const QString& id : job.DestFormatIds) {
        const int index = IndexOfExporterFormat(id);
        const QString target = ChangeFileExt(baseName, ExporterExt(index));
        IUserPrompt::TAnswer answer {};
        if (!AskOverwrite(Prompt, target, answer, true)) {
            if (answer == IUserPrompt::TAnswer::Cancel)
                return TSaved::Cancelled;
            continue;
        }
        const std::unique_ptr<TConvertToBase> exporter = CreateExporterAt(index);
        exporter->SetTarget(LocationFileName(target));
        GiveIconBeside(document, *exporter);
        TSafeFileStream stream(target);
        exporter->Execute(entries, stream);
        stream.Commit();
        saved = TSaved::Written;
        if (!exporter->WritesUnicode())
            if (const TEntries::TUnencodable found = entries.Unencodable(); found.Entries)
                warnings << MessageAbout(target, UnencodableWarning(found));
    }
    return saved;
}

QString BatchSummary(const TBatchResult& result)
{
    QString summary =
        Tr(Msg::BatchSummary).arg(result.Converted).arg(result.Failed).arg(result.Skipped);
    if (!result.Failures.isEmpty())
        summary += QStringLiteral("\r\r") + Tr(Msg::BatchFailures) + QLatin1Char('\r')
            + result.Failures.join(QLatin1Char('\r'));
    return summary;
}

void CheckDistinctTargets(const TBatchJob& job)
{
    const QString ext = ExporterExt(IndexOfExporterFormat(job.DestFormatIds.value(0)));
    QHash<QString, QString> fileOfTarget;
    for (const QString& file : job.Files) {
        const QString target = ChangeFileExt(TargetBase(job, file), ext);
        const QString earlier = fileOfTarget.value(target);
        if (!earlier.isEmpty())
            throw EUserError(Tr(Msg::SameTarget).arg(earlier, file, target));
        fileOfTarget.insert(target, file);
    }
}

QString ImportExt(const QString& location, const QString& formatId)
{
    return formatId.isEmpty() ? LocationFileExt(location)
                              : ImporterExt(IndexOfImporterFormat(formatId));
}

QString ExportExt(const QString& location, const QString& formatId)
{
    return formatId.isEmpty() ? LocationFileExt(location)
                              : ExporterExt(IndexOfExporterFormat(formatId));
}

QStringList ListSourceFolder(const QString& folder, int importerIndex)
{
    return FilesOf(folder, '*' + ImporterExt(importerIndex), Msg::SourceDirMissing);
}

QStringList ListDestFolder(const QString& folder, int exporterIndex)
{
    return FilesOf(folder,
        exporterIndex < 0 ? QStringLiteral("*") : '*' + ExporterExt(exporterIndex),
        Msg::DestDirMissing);
}

QString ChangeFileExt(const QString& path, const QString& ext)
{
    const qsizetype folderEnd = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    const qsizetype dot = path.lastIndexOf('.');
    return (dot > folderEnd ? path.left(dot) : path) + ext;
}

QString DestFileForFormat(const QString& file, int exporterIndex)
{
    if (file.isEmpty())
        return file;
    return ChangeFileExt(file, exporterIndex < 0 ? QString() : ExporterExt(exporterIndex));
}

QString DestFileChosen(const QString& file, int exporterIndex)
{
    return QFileInfo(file).suffix().isEmpty() ? file + ExporterExt(exporterIndex) : file;
}

void AddFileNames(TEntries& entries, int first, const QString& location)
{
    const std::string prefix =
        (QFileInfo(LocationFileName(LocationForDisplay(location))).completeBaseName()
            + QStringLiteral(" - "))
            .toStdString();
    for (int i = first; i < entries.Count(); ++i) {
        TEntry& entry = entries.Items(i);
        entry.SetDescription(prefix + std::string(entry.Description()));
    }
}

TBatchSettings LoadBatchSettings()
{
    const TSettings& settings = Settings();
    TBatchSettings stored;
    stored.SourceDir = ExistingFolderOr(settings.BatchConvertSource, ApplicationDir());
    stored.DestDir = ExistingFolderOr(settings.BatchConvertDest, ApplicationDir());
    stored.DestFormat = settings.BatchConvertDestFormatID == QLatin1String("*")
        ? -1
        : std::max(0, IndexOfExporterFormat(settings.BatchConvertDestFormatID));
    for (const QString& id : settings.BatchConvertDestFormatIDs.split(';', Qt::SkipEmptyParts))
        if (IndexOfExporterFormat(id) >= 0)
            stored.CheckedIds << id;
    return stored;
}

void StoreBatchSettings(
    const QString& sourceDir, const QString& destDir, int destFormat, const QStringList& checkedIds)
{
    TSettings& settings = Settings();
    settings.BatchConvertSource = sourceDir;
    settings.BatchConvertDest = destDir;
    settings.BatchConvertDestFormatID =
        destFormat < 0 ? QStringLiteral("*") : ExporterFormatId(destFormat);
    settings.BatchConvertDestFormatIDs.clear();
    for (const QString& id : checkedIds)
        settings.BatchConvertDestFormatIDs += ';' + id;
}
