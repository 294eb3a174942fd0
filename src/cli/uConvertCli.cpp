#include "cli/uConvertCli.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include "cli/uCliCommon.h"
#include "convert/uConvertBase.h"
#include "core/uDownload.h"
#include "core/uFindDups.h"
#include "core/uModel.h"
#include "core/uSettings.h"
#include "core/uUtils.h"
#include "device/Rapi.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uStreams.h"

namespace {

const QCommandLineOption FromOption(QStringLiteral("from"),
    QStringLiteral("Read every input as format ID (see --list-formats)."), QStringLiteral("ID"));
const QCommandLineOption ToOption(
    QStringLiteral("to"), QStringLiteral("Write the output as format ID."), QStringLiteral("ID"));
const QCommandLineOption ListOption(QStringLiteral("list-formats"),
    QStringLiteral("List the formats that can be read (r) and written (w)."));
const QCommandLineOption DevOption(
    QStringLiteral("dev"), QStringLiteral("Leave today's date out of generated file headers."));
const QCommandLineOption OptionOption(QStringLiteral("option"),
    QStringLiteral("Set option N of format ID for this run only, without storing it "
                   "(repeatable; e.g. garmincsv:0=on)."),
    QStringLiteral("ID:N=on|off"));
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
    parser.addPositionalArgument(QStringLiteral("INPUT..."), QStringLiteral("POI files to read."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("POI file to write."));
}

// The extension of the file a location names, without its dot.
QString Extension(const QString& location)
{
    if (IsHttpLocation(location))
        return UrlFileExt(location).mid(1);
    const QString path = StripLocationPrefixes(location);
    return QFileInfo(path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1)).suffix();
}

// A location as messages may show it: a web address without credentials.
QString DisplayName(const QString& location)
{
    return IsHttpLocation(location) ? UrlForDisplay(location) : location;
}

// Runs `step`, naming `location` in the message of a failure that does not name it already,
// as the user may have named several files. A failed device connection concerns no file.
template <typename Step> auto InFile(const QString& location, Step step)
{
    try {
        return step();
    } catch (const EInitRapi&) {
        throw;
    } catch (const Exception& e) {
        const QString name = DisplayName(location);
        if (e.Message().contains(name))
            throw;
        throw EUserError(name + QStringLiteral(": ") + e.Message());
    }
}

std::unique_ptr<TLocationInput> OpenInput(
    const QString& location, bool showProgress, QTextStream& stream)
{
    std::unique_ptr<TLocationInput> input;
    TProgressEvent percent;
    WithProgress(showProgress && IsHttpLocation(location), stream,
        QStringLiteral("Downloading ") + DisplayName(location), percent, [&] {
            input =
                std::make_unique<TLocationInput>(location, [&](int64_t done, int64_t total, bool&) {
                    if (percent && total > 0)
                        percent(static_cast<int>(done * 100 / total));
                });
        });
    return input;
}

// Writes what `write` produces to a local file through a temporary one, or whole to a device
// file.
template <typename Write> void WriteOutput(const QString& location, Write write)
{
    if (IsMobileLocation(location)) {
        TMemoryStream bytes;
        write(bytes);
        SaveStreamToLocation(location, bytes);
        return;
    }
    TSafeFileStream file(StripFilePrefix(location));
    write(file);
    file.Commit();
}

// "ID:N=on" or "ID:N=off".
TConvertRequest::TOption ParseOption(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([^:]+):(\\d+)=(on|off)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        throw EUsageError(
            QStringLiteral("--option takes ID:N=on or ID:N=off, not \"%1\".").arg(text));
    return { match.captured(1), match.captured(2).toInt(),
        match.captured(3) == QLatin1String("on") };
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
    if (files.size() < 2)
        throw EUsageError(QStringLiteral("Name at least one input and the output."));
    request.Output = files.takeLast();
    if (IsHttpLocation(request.Output))
        throw EUsageError(QStringLiteral("OUTPUT cannot be a web address."));
    request.Inputs = files;
    request.FromId = parser.value(FromOption);
    request.ToId = parser.value(ToOption);
    request.Progress = parser.isSet(ProgressOption);
    request.Dev = parser.isSet(DevOption);
    for (const QString& option : parser.values(OptionOption))
        request.Options.push_back(ParseOption(option));
    request.DropDuplicates = ParseTolerance(parser);
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
               "       marivel-convert --list-formats\n"
               "Converts POI files. Each INPUT is read in the format its extension names (or\n"
               "--from); several inputs are appended in order. OUTPUT is written in the format\n"
               "its extension names (or --to).\n"
               "INPUT may be a local path, FILE://path, MOBILE://\\device\\path (a file on\n"
               "the handheld device) or a web address (http://...); OUTPUT may be a local\n"
               "path, FILE://path or MOBILE://\\device\\path. MARIVEL_DEVICE_ROOT names the\n"
               "folder that stands for the device; without it, the setting DeviceFolder, else\n"
               "a navigator mounted in /media/$USER or /run/media/$USER.\n")
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

QStringList RunConversion(
    const TConvertRequest& request, QTextStream& progress, TEntriesAtEnd atEnd)
{
    SetDevSwitch(request.Dev);
    struct TRunOptions { // the options given hold for this conversion only
        ~TRunOptions() { ClearOptionOverrides(); }
    } runOptions;
    struct TRunCodePage { // so does the encoding
        QString Before = CodePageName();
        ~TRunCodePage() { SelectCodePage(Before); }
    } runCodePage;
    SelectCodePage(request.Encoding.isEmpty() ? Settings().CodePage : request.Encoding);
    const size_t replacedBefore = ReplacedCharacters();
    for (const auto& option : request.Options)
        OverrideOption(option.FormatId, option.Index, option.On);
    // The exporter is made first, so an output format that cannot be written fails at once.
    auto exporter = InFile(
        request.Output, [&] { return CreateExporter(Extension(request.Output), request.ToId); });
    TRapiSession device; // a device connection made for this run ends with it
    TEntries entries;
    QStringList warnings;
    bool append = false;
    for (const QString& input : request.Inputs) {
        InFile(input, [&] {
            auto file = OpenInput(input, request.Progress, progress);
            WithProgress(request.Progress, progress,
                QStringLiteral("Reading ") + DisplayName(input), entries.OnProgress, [&] {
                    for (const QString& warning : entries.LoadFromStream(
                             file->Stream(), Extension(input), request.FromId, append))
                        warnings << DisplayName(input) + QStringLiteral(": ") + warning;
                });
        });
        append = true;
    }
    if (request.DropDuplicates)
        progress << "Removed " << DropDuplicates(entries, *request.DropDuplicates)
                 << " duplicates\n";
    InFile(request.Output, [&] {
        WriteOutput(request.Output, [&](TStream& output) {
            WithProgress(request.Progress, progress, QStringLiteral("Writing ") + request.Output,
                exporter->OnProgress, [&] { exporter->Execute(entries, output); });
        });
    });
    if (atEnd == TEntriesAtEnd::LeftToProcessEnd)
        static_cast<void>(new auto(entries.ExtractAll())); // never freed, on purpose
    if (const size_t replaced = ReplacedCharacters() - replacedBefore)
        warnings << ReplacementWarning(replaced); // named while the code page holds
    return warnings;
}

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
            for (const QString& warning : RunConversion(request, err, atEnd))
                err << "warning: " << warning << ".\n";
            break;
        }
        return 0;
    });
}
