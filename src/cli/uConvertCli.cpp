#include "cli/uConvertCli.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <unistd.h>

#include "cli/uCliCommon.h"
#include "convert/uConvertBase.h"
#include "core/uEntryPool.h"
#include "core/uModel.h"
#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "core/uUtils.h"
#include "device/Rapi.h"
#include "locations/uDownload.h"
#include "locations/uLocations.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uStreams.h"
#include "tools/uBatchConvert.h"
#include "tools/uFindDups.h"

namespace {

const QCommandLineOption FromOption(QStringLiteral("from"),
    QStringLiteral("Read every input as format ID (see --list-formats)."), QStringLiteral("ID"));
const QCommandLineOption ToOption(QStringLiteral("to"),
    QStringLiteral("Write the output as format ID; with --into, repeat it for several formats."),
    QStringLiteral("ID"));
const QCommandLineOption ListOption(QStringLiteral("list-formats"),
    QStringLiteral("List the formats that can be read (r) and written (w)."));
const QCommandLineOption DevOption(
    QStringLiteral("dev"), QStringLiteral("Leave today's date out of generated file headers."));
const QCommandLineOption OptionOption(QStringLiteral("option"),
    QStringLiteral("Set option N of format ID for this run only, without storing it: on or off "
                   "for a check box, else a text or a number (repeatable; e.g. garmincsv:0=on, "
                   "garmingpi:4=200)."),
    QStringLiteral("ID:N=VALUE"));
// Converting each input on its own into a folder.
const QCommandLineOption IntoOption(QStringLiteral("into"),
    QStringLiteral("Convert each INPUT on its own into folder DIR, named after it with the "
                   "extension of each --to format; OUTPUT is not given."),
    QStringLiteral("DIR"));
const QCommandLineOption StopOnErrorOption(QStringLiteral("stop-on-error"),
    QStringLiteral("With --into, stop at the first INPUT that fails instead of going on."));
const QCommandLineOption AddNamesOption(QStringLiteral("add-names"),
    QStringLiteral("Begin each entry's description with its file's name (without extension) "
                   "and \" - \" when inputs are appended."));
const QCommandLineOption EncodingOption(QStringLiteral("encoding"),
    QStringLiteral("Code page of the 8-bit text of files: windows-1252 (the default unless the "
                   "setting CodePage names another), utf-8, or another single-byte code page."),
    QStringLiteral("NAME"));
const QCommandLineOption DropDuplicatesOption(QStringLiteral("drop-duplicates"),
    QStringLiteral("Leave out every entry closer than METRES to an earlier one that is kept."),
    QStringLiteral("METRES"));

void AddOptions(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({ FromOption, ToOption, EncodingOption, OptionOption, DropDuplicatesOption,
        ListOption, ProgressOption, DevOption, HelpOption });
    parser.addOptions({ IntoOption, StopOnErrorOption, AddNamesOption });
    parser.addPositionalArgument(
        QStringLiteral("INPUT..."), QStringLiteral("POI files to read; - reads standard input."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"),
        QStringLiteral("POI file to write, unless --into is given; - writes standard output."));
}

// Runs `step`, naming `location` in the message of a failure, as the user may have named
// several files. A failed device connection concerns no file.
template <typename Step> auto InFile(const QString& location, Step step)
{
    try {
        return step();
    } catch (const EInitRapi&) {
        throw;
    } catch (const Exception& e) {
        throw EUserError(MessageAbout(location, e.Message()));
    }
}

// "-" as INPUT is standard input, as OUTPUT standard output.
const QString StandardStream = QStringLiteral("-");

QString InputName(const QString& input)
{
    return input == StandardStream ? QStringLiteral("standard input") : input;
}

QString OutputName(const QString& output)
{
    return output == StandardStream ? QStringLiteral("standard output") : output;
}

std::unique_ptr<TLocationInput> OpenInput(
    const QString& location, bool showProgress, QTextStream& stream)
{
    std::unique_ptr<TLocationInput> input;
    TProgressEvent percent;
    WithProgress(showProgress && IsHttpLocation(location), stream,
        QStringLiteral("Downloading ") + LocationForDisplay(location), percent, [&] {
            input =
                std::make_unique<TLocationInput>(location, [&](int64_t done, int64_t total, bool&) {
                    if (percent && total > 0)
                        percent(static_cast<int>(done * 100 / total));
                });
        });
    return input;
}

// One INPUT's bytes: a location's, or all of standard input for "-", as the formats read
// whole files.
class TInput {
public:
    TInput(const QString& input, bool showProgress, QTextStream& progress)
    {
        if (input == StandardStream)
            StandardInput.emplace(ReadToEnd(STDIN_FILENO, InputName(input)));
        else
            Location = OpenInput(input, showProgress, progress);
    }

    TStream& Stream() { return Location ? Location->Stream() : *StandardInput; }

private:
    std::unique_ptr<TLocationInput> Location;
    std::optional<TMemoryStream> StandardInput;
};

// All the bytes of a stream that keeps them in memory, else none.
std::string_view InputBytes(const TStream& stream)
{
    const char* memory = stream.Memory();
    return memory ? std::string_view(memory, static_cast<size_t>(stream.Size()))
                  : std::string_view();
}

// Writes what `write` produces to a local file through a temporary one, or whole to a device
// file, naming `location` in the message of a failure. `beforeCommit` can still call the
// output off; its failures name what they concern themselves.
template <typename Write, typename Check>
void WriteOutput(const QString& location, Write write, Check beforeCommit)
{
    if (location == StandardStream) {
        // Passed on as it is made: a pipe holds no old output to keep.
        THandleWriteStream output(STDOUT_FILENO, OutputName(location));
        write(output);
        beforeCommit();
        return;
    }
    if (IsMobileLocation(location)) {
        TMemoryStream bytes;
        InFile(location, [&] { write(bytes); });
        beforeCommit();
        InFile(location, [&] { SaveStreamToLocation(location, bytes); });
        return;
    }
    std::optional<TSafeFileStream> file;
    InFile(location, [&] {
        file.emplace(StripFilePrefix(location));
        write(*file);
    });
    beforeCommit();
    InFile(location, [&] { file->Commit(); });
}

// "ID:N=VALUE", the value fitting the option.
TConvertRequest::TOption ParseOption(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([^:]+):(\\d+)=(.*)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        throw EUsageError(QStringLiteral("--option takes ID:N=VALUE, not \"%1\".").arg(text));
    bool inRange = false;
    const int index = match.captured(2).toInt(&inRange);
    if (!inRange) // no format has that many options
        throw EUserError(Tr(Msg::NoSuchOption).arg(match.captured(1), match.captured(2)));
    try {
        CheckOptionValue(match.captured(1), index, match.captured(3));
    } catch (const EUserError& error) {
        throw EUsageError(ForTerminal(AsSentence(error.Message())));
    }
    return { match.captured(1), index, match.captured(3) };
}

// Fails with a usage error that lists the ids there are unless `id` is among them.
void CheckFormatId(const QString& id, int count, QString (*idAt)(int), const char* done)
{
    QStringList ids;
    for (int i = 0; i < count; ++i)
        ids << idAt(i);
    if (!ids.contains(id, Qt::CaseInsensitive))
        throw EUsageError(QStringLiteral("No format with id \"%1\" is %2; known are: %3.")
                              .arg(id, QLatin1String(done), ids.join(QStringLiteral(", "))));
}

// "-" has no extension that names a format, and standard input can be read once only.
void CheckStandardStreams(const TConvertRequest& request)
{
    const qsizetype readers = request.Inputs.count(StandardStream);
    if (readers > 0 && request.FromId.isEmpty())
        throw EUsageError(QStringLiteral("Reading standard input (-) needs --from ID."));
    if (readers > 1)
        throw EUsageError(QStringLiteral("Standard input (-) can be read only once."));
    if (readers > 0 && !request.Into.isEmpty())
        throw EUsageError(
            QStringLiteral("--into names each output after its INPUT; standard input (-) has no "
                           "name."));
    if (request.Output == StandardStream && request.ToIds.isEmpty())
        throw EUsageError(QStringLiteral("Writing standard output (-) needs --to ID."));
}

void CheckFormatIds(const TConvertRequest& request)
{
    if (!request.FromId.isEmpty())
        CheckFormatId(request.FromId, ImporterCount(), ImporterFormatId, "read");
    for (const QString& id : request.ToIds)
        CheckFormatId(id, ExporterCount(), ExporterFormatId, "written");
}

std::optional<int> ParseTolerance(const QCommandLineParser& parser)
{
    if (!parser.isSet(DropDuplicatesOption))
        return std::nullopt;
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QString text = parser.value(DropDuplicatesOption);
    bool ok = false;
    const int metres = text.toInt(&ok);
    if (!ok || !digits.match(text).hasMatch())
        throw EUsageError(
            QStringLiteral("--drop-duplicates takes a whole number of metres, not \"%1\".")
                .arg(text));
    return metres;
}

// The options that choose between appending into OUTPUT and converting into a folder.
void ReadIntoOptions(const QCommandLineParser& parser, TConvertRequest& request)
{
    request.Into = parser.value(IntoOption);
    request.ToIds = parser.values(ToOption);
    request.StopOnError = parser.isSet(StopOnErrorOption);
    request.AddNames = parser.isSet(AddNamesOption);
    if (request.Into.isEmpty()) {
        if (request.ToIds.size() > 1)
            throw EUsageError(QStringLiteral("Name one --to format, or several with --into."));
        if (request.StopOnError)
            throw EUsageError(QStringLiteral("--stop-on-error goes with --into."));
        return;
    }
    if (request.ToIds.isEmpty())
        throw EUsageError(QStringLiteral("--into needs at least one --to format."));
    if (request.AddNames)
        throw EUsageError(QStringLiteral("--add-names goes with appending, not with --into."));
}

} // namespace

TConvertRequest ParseConvertArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(QStringList { QStringLiteral("marivel-convert") } + arguments))
        throw EUsageError(parser.errorText());

    TConvertRequest request;
    if (parser.isSet(HelpOption)) {
        request.Action = TConvertRequest::TAction::Help;
        return request;
    }
    if (parser.isSet(ListOption)) {
        request.Action = TConvertRequest::TAction::ListFormats;
        return request;
    }
    QStringList files = parser.positionalArguments();
    ReadIntoOptions(parser, request);
    if (request.Into.isEmpty()) {
        if (files.size() < 2)
            throw EUsageError(QStringLiteral("Name at least one input and the output."));
        request.Output = files.takeLast();
        if (IsHttpLocation(request.Output))
            throw EUsageError(QStringLiteral("OUTPUT cannot be a web address."));
    } else if (files.isEmpty()) {
        throw EUsageError(QStringLiteral("Name at least one input."));
    }
    request.Inputs = files;
    request.FromId = parser.value(FromOption);
    CheckFormatIds(request);
    CheckStandardStreams(request);
    request.Progress = parser.isSet(ProgressOption);
    request.Dev = parser.isSet(DevOption);
    for (const QString& option : parser.values(OptionOption))
        request.Options.push_back(ParseOption(option));
    request.DropDuplicates = ParseTolerance(parser);
    if (request.DropDuplicates && !request.Into.isEmpty())
        throw EUsageError(
            QStringLiteral("--drop-duplicates goes with appending, not with --into."));
    if (parser.isSet(EncodingOption)) {
        request.Encoding = KnownCodePageName(parser.value(EncodingOption));
        if (request.Encoding.isEmpty())
            throw EUsageError(
                QStringLiteral("Unknown encoding \"%1\"; known are: %2.")
                    .arg(parser.value(EncodingOption), CodePageNames().join(QStringLiteral(", "))));
    }
    return request;
}

QString ConvertUsage()
{
    QCommandLineParser parser;
    AddOptions(parser);
    const QString options = OptionsHelp(parser);
    return QStringLiteral(
               "Usage: marivel-convert [options] INPUT... OUTPUT\n"
               "  or:  marivel-convert [options] --into DIR --to ID [--to ID]... INPUT...\n"
               "  or:  marivel-convert --list-formats\n"
               "Converts POI files. Each INPUT is read in the format its extension names, or\n"
               "in format --from whatever its name; several inputs are appended in order.\n"
               "OUTPUT is written in the format its extension names, or in format --to.\n"
               "With --into, each INPUT becomes a file of its own in DIR for every --to format;\n"
               "two INPUTs whose names differ in the extension only are refused. An INPUT that\n"
               "fails is named and the others are still converted, and the exit status is\n"
               "then 1.\n"
               "INPUT may be a local path, FILE://path, MOBILE://\\device\\path (a file on\n"
               "the handheld device) or a web address (http://...); OUTPUT may be a local\n"
               "path, FILE://path or MOBILE://\\device\\path. MARIVEL_DEVICE_ROOT names the\n"
               "folder that stands for the device; without it, the setting DeviceFolder, else\n"
               "a navigator mounted in /media/$USER or /run/media/$USER.\n"
               "An INPUT of - reads standard input and an OUTPUT of - writes standard output;\n"
               "as they have no extension, --from and --to name their formats. Messages go to\n"
               "standard error only. A reader that closes the pipe early ends the program\n"
               "quietly with status %1.\n")
               .arg(BrokenPipeStatus)
        + options;
}

QString FormatList()
{
    QString list;
    for (int i = 0; i < ImporterCount(); ++i)
        list += QStringLiteral("r\t%1\t%2\t%3\n")
                    .arg(ImporterFormatId(i), ImporterExt(i), ImporterName(i));
    for (int i = 0; i < ExporterCount(); ++i)
        list += QStringLiteral("w\t%1\t%2\t%3\n")
                    .arg(ExporterFormatId(i), ExporterExt(i), ExporterName(i));
    return list;
}

namespace {

// What a run sets for its own duration: the dev switch, the options and the code page given,
// and a device connection, which ends with it.
class TRunScope {
public:
    explicit TRunScope(const TConvertRequest& request)
        : CodePageBefore(CodePageName())
    {
        SetDevSwitch(request.Dev);
        SelectCodePage(request.Encoding.isEmpty() ? Settings().CodePage : request.Encoding);
        ReplacedBefore = ReplacedCharacters();
        for (const auto& option : request.Options)
            OverrideOption(option.FormatId, option.Index, option.Value);
    }
    ~TRunScope()
    {
        ClearOptionOverrides();
        SelectCodePage(CodePageBefore);
    }
    TRunScope(const TRunScope&) = delete;
    TRunScope& operator=(const TRunScope&) = delete;

    // The warning about characters the code page lacked in `entries`, named while the code
    // page holds.
    void AddReplacementWarning(QStringList& warnings, const TEntries& entries) const
    {
        if (ReplacedCharacters() != ReplacedBefore)
            warnings << UnencodableWarning(entries.Unencodable());
    }

private:
    QString CodePageBefore;
    size_t ReplacedBefore = 0;
    TRapiSession Device;
};

// The command line replaces outputs that exist, as it always has for OUTPUT.
class TReplaceExisting : public IUserPrompt {
public:
    void ShowMessage(const QString&) override { }
    TAnswer Ask(const QString&, bool) override { return TAnswer::Yes; }
};

} // namespace

QStringList RunConversion(
    const TConvertRequest& request, QTextStream& progress, TEntriesAtEnd atEnd)
{
    const TRunScope scope(request);
    // The exporter is made first, so an output format that cannot be written fails at once.
    const QString toId = request.ToIds.value(0);
    auto exporter = InFile(OutputName(request.Output),
        [&] { return CreateExporter(ExportExt(request.Output, toId), toId); });
    if (request.Output != StandardStream)
        exporter->SetTarget(LocationFileName(request.Output));
    // The first input is the document the output comes from.
    if (request.Inputs.value(0) != StandardStream)
        GiveIconBeside(request.Inputs.value(0), *exporter);
    // Open until the entries are gone, as these keep the texts they read where they lie in
    // the inputs' bytes.
    std::vector<std::unique_ptr<TInput>> files;
    // On the heap, so that it can be left to the end of the process whole.
    auto owned = std::make_unique<TEntries>();
    TEntries& entries = *owned;
    QStringList warnings;
    for (const QString& input : request.Inputs) {
        const int first = entries.Count();
        const QString name = InputName(input);
        InFile(name, [&] {
            TStream& stream =
                files.emplace_back(std::make_unique<TInput>(input, request.Progress, progress))
                    ->Stream();
            const TextArena::TBorrowing borrowing(InputBytes(stream));
            WithProgress(request.Progress, progress,
                QStringLiteral("Reading ") + LocationForDisplay(name), entries.OnProgress, [&] {
                    std::string icon;
                    QStringList read = entries.LoadFromStream(
                        stream, ImportExt(input, request.FromId), request.FromId, first > 0, &icon);
                    if (input != StandardStream)
                        read += KeepIconBeside(input, icon);
                    for (const QString& warning : read)
                        warnings << MessageAbout(name, warning);
                });
        });
        if (request.AddNames)
            AddFileNames(entries, first, input);
    }
    if (request.DropDuplicates)
        progress << "Removed " << DropDuplicates(entries, *request.DropDuplicates)
                 << " duplicates\n";
    WriteOutput(
        request.Output,
        [&](TStream& output) {
            WithProgress(request.Progress, progress,
                QStringLiteral("Writing ") + OutputName(request.Output), exporter->OnProgress,
                [&] { exporter->Execute(entries, output); });
        },
        [&] {
            // Texts written from an input that changed since it was read would be wrong.
            for (size_t i = 0; i < files.size(); ++i)
                InFile(InputName(request.Inputs[static_cast<qsizetype>(i)]),
                    [&] { files[i]->Stream().CheckUnchanged(); });
        });
    if (atEnd == TEntriesAtEnd::LeftToProcessEnd)
        static_cast<void>(owned.release()); // never freed, on purpose, nor read again
    scope.AddReplacementWarning(warnings, entries);
    return warnings;
}

TIntoResult RunConversionInto(const TConvertRequest& request, QTextStream& err)
{
    const TRunScope scope(request);
    if (!QFileInfo(request.Into).isDir())
        throw EUserError(MessageAbout(request.Into, Tr(Msg::DestDirMissing)));
    TBatchJob job;
    job.Files = request.Inputs;
    job.SourceFormatId = request.FromId;
    job.DestDir = request.Into;
    job.DestFormatIds = request.ToIds;
    job.MultipleFormats = request.ToIds.size() > 1;
    // Outputs are replaced unasked here, so one input must not replace another's.
    CheckDistinctTargets(job);
    TReplaceExisting replace;
    TBatchConvert batch(replace);
    TIntoResult result;
    batch.OnFileError = [&](const QString& error) {
        err << (request.Progress ? "\n" : "") << ForDisplay(AsSentence(error)) << '\n';
        return !request.StopOnError;
    };
    TProgressEvent percent;
    TBatchResult run;
    WithProgress(
        request.Progress, err, QStringLiteral("Converting into ") + request.Into, percent, [&] {
            batch.OnProgress = [&](int done, int total) {
                if (percent)
                    percent(done * 100 / total);
            };
            run = batch.Run(job);
        });
    result.Warnings = run.Warnings;
    result.Succeeded = run.Finished && run.Failed == 0;
    return result;
}

namespace {

void PrintWarnings(const QStringList& warnings, QTextStream& err)
{
    for (const QString& warning : warnings)
        err << "warning: " << warning << ".\n";
}

} // namespace

int RunConvertCommand(
    const QStringList& arguments, QTextStream& out, QTextStream& err, TEntriesAtEnd atEnd)
{
    return ExitStatusOf(err, ConvertUsage, [&] {
        TConvertRequest request = ParseConvertArguments(arguments);
        switch (request.Action) {
        case TConvertRequest::TAction::Help:
            out << ConvertUsage();
            break;
        case TConvertRequest::TAction::ListFormats:
            out << FormatList();
            break;
        case TConvertRequest::TAction::Convert:
            if (!request.Into.isEmpty()) {
                const TIntoResult result = RunConversionInto(request, err);
                PrintWarnings(result.Warnings, err);
                return result.Succeeded ? 0 : 1;
            }
            PrintWarnings(RunConversion(request, err, atEnd), err);
            break;
        }
        return 0;
    });
}
