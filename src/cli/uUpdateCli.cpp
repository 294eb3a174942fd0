#include "cli/uUpdateCli.h"

#include <optional>

#include <QCommandLineParser>
#include <QTextStream>

#include "cli/uCliCommon.h"
#include "convert/uConvertBase.h"
#include "core/uSettings.h"
#include "device/Rapi.h"
#include "locations/uLocations.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "sites/uAutoUpdate.h"
#include "sites/uProgress.h"
#include "sites/uSite.h"
#include "sites/uSiteXmlUpdater.h"
#include "sites/uUpdateItems.h"
#include "sites/uUpdateRun.h"

namespace {

const QCommandLineOption ToOption(QStringLiteral("to"),
    QStringLiteral("subscribe: write the target as format ID (default: the first format that "
                   "writes the target's extension)."),
    QStringLiteral("ID"));
const QCommandLineOption YesOption(QStringLiteral("yes"),
    QStringLiteral("run: overwrite existing targets without asking (Yes to All)."));
const QCommandLineOption ForceSiteOption(QStringLiteral("force-site"),
    QStringLiteral("run: fetch each site index fresh instead of through the internet cache."));

void AddOptions(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({ ToOption, YesOption, ForceSiteOption, ProgressOption, HelpOption });
    parser.addPositionalArgument(
        QStringLiteral("COMMAND"), QStringLiteral("subscribe, unsubscribe, list or run."));
}

// A site as the console shows it: a web address without user name, password and query.
QString Shown(const QString& site) { return EscapeControls(LocationForDisplay(site)); }

// A target as items keep it: a device location as given, a local file as "FILE://" and its
// absolute path.
QString TargetLocation(const QString& target)
{
    if (IsHttpLocation(target))
        throw EUsageError(QStringLiteral("TARGET cannot be a web address."));
    if (IsMobileLocation(target))
        return target;
    return QStringLiteral("FILE://") + NormalizedLocation(target);
}

// The format of `--to`, or the first that writes the target's extension.
QString TargetFormat(const QString& target, const QString& formatId)
{
    if (!formatId.isEmpty()) {
        if (IndexOfExporterFormat(formatId) < 0)
            throw EUsageError(QStringLiteral("No format with id \"%1\" can be written.")
                                  .arg(EscapeControls(formatId)));
        return ExporterFormatId(IndexOfExporterFormat(formatId));
    }
    const QString ext = UrlFileExt(target);
    const int exporter = FindExporter(ext, QString());
    if (exporter < 0)
        throw EUserError(Tr(Msg::CannotSaveFormat).arg(ext));
    return ExporterFormatId(exporter);
}

// Runs `step`, with a bar on the error stream while the site index arrives when asked for.
template <typename Step>
void WithDownloadBar(bool show, QTextStream& err, const QString& label, Step step)
{
    std::optional<TProgressBar> bar;
    if (show)
        bar.emplace(err, label);
    step([&](int64_t done, int64_t total, bool&) {
        if (const int percent = ProgressPercent(done, total); bar && percent >= 0)
            bar->Show(percent);
    });
}

void Subscribe(const QStringList& args, const QString& formatId, bool progress, QTextStream& out,
    QTextStream& err)
{
    if (args.size() != 3)
        throw EUsageError(QStringLiteral("subscribe takes SITE, POI and TARGET."));
    const QString& siteLocation = args[0];
    const QString target = TargetLocation(args[2]);
    const QString format = TargetFormat(target, formatId);
    TSite* site = nullptr;
    WithDownloadBar(progress, err, QStringLiteral("Downloading ") + siteLocation,
        [&](const TDownloadProgress& bar) { site = &RefreshSiteXml(siteLocation, false, bar); });
    const TCountry* country = nullptr;
    const TPoi* poi = nullptr;
    for (const auto& each : site->Countries)
        if (!poi && (poi = each->FindPoi(args[1])))
            country = each.get();
    if (!poi)
        throw EUserError(Tr(Msg::PoiNotInSite));
    const TRapiSession device; // a device connection made for the side file ends with it
    AutoUpdateItems().ChangeStored([&](TUpdateItems& items) {
        if (items.Exists(target))
            throw EUserError(Tr(Msg::TargetTaken));
        ForgetTargetTime(target);
        auto item = std::make_unique<TUpdateItem>();
        item->Country = country->Name;
        item->Poi = poi->Description;
        item->Site = site->Location();
        item->Target = target;
        item->Format = format;
        items.Add(std::move(item));
    });
    out << QStringLiteral("Subscribed %1 to \"%2\" of %3 as %4.\n")
               .arg(EscapeControls(target), EscapeControls(poi->Description),
                   Shown(site->Location()), format);
}

void Unsubscribe(const QStringList& args)
{
    if (args.size() != 1)
        throw EUsageError(QStringLiteral("unsubscribe takes TARGET."));
    const QString target = TargetLocation(args[0]);
    AutoUpdateItems().ChangeStored([&](TUpdateItems& items) { items.Remove(target); });
}

QString ListedDate(const QDateTime& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

void List(QTextStream& out)
{
    const TUpdateItems& items = AutoUpdateItems();
    for (int i = 0; i < items.Count(); ++i) {
        const TUpdateItem& item = items.Items(i);
        out << QStringList { Shown(item.Site), EscapeControls(item.Country),
            EscapeControls(item.Poi), EscapeControls(item.Target), EscapeControls(item.Format),
            ListedDate(item.LastChecked), ListedDate(item.LastUpdated) }
                   .join(QLatin1Char('\t'))
            << '\n';
    }
}

// A message on one line of the console, its line breaks as blanks and any other control
// character escaped.
QString OneLine(QString text)
{
    return EscapeControls(text.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
                              .replace(QLatin1Char('\r'), QLatin1Char(' '))
                              .replace(QLatin1Char('\n'), QLatin1Char(' '))
                              .simplified());
}

// A run on the console: a line per row as it ends, the questions on the terminal.
class TConsoleRun : public IUpdateRunView, public IOverwriteQuestion {
public:
    TConsoleRun(QTextStream& out, QTextStream& err, QTextStream* terminal, bool yes, bool progress)
        : Out(out)
        , Err(err)
        , Terminal(terminal)
        , Yes(yes)
        , ShowProgress(progress)
    {
    }

    void Overall(const QString&, int) override { }

    void RowStatus(int, const QString& text, int percent) override
    {
        if (!ShowProgress)
            return;
        if (!Bar)
            Bar.emplace(Err, text);
        if (percent >= 0)
            Bar->Show(percent);
    }

    void RowFinished(int, const TRunRow& row) override
    {
        Bar.reset();
        QString line = (row.IsSite ? Shown(row.Title) : EscapeControls(row.Title))
            + QStringLiteral(": ") + OneLine(row.Text);
        if (row.Result == TRowResult::UpToDate && Declined)
            line += QStringLiteral(" (the existing target was kept: overwriting it needs %1)")
                        .arg(Terminal ? QStringLiteral("a Yes") : QStringLiteral("--yes"));
        Declined = false;
        Out << line << '\n' << Qt::flush;
    }

    bool AskContinue(const QString& question, bool& continueOnErrors) override
    {
        if (Yes || !Terminal) { // nobody to ask: every item gets its turn
            continueOnErrors = true;
            return true;
        }
        const QChar answer = Ask(question,
            QStringLiteral("[y]es, [n]o, [a]lways (%1)").arg(Tr(Msg::ContinueOnErrors)), "yna");
        continueOnErrors = answer == QLatin1Char('a');
        return answer != QLatin1Char('n');
    }

    void ShowMessage(const QString& text) override { Err << ForTerminal(text) << '\n'; }

    TOverwriteAnswer AskOverwrite(const QString& question) override
    {
        if (Yes)
            return TOverwriteAnswer::YesToAll;
        if (!Terminal) {
            Declined = true;
            return TOverwriteAnswer::No;
        }
        switch (Ask(question,
            QStringLiteral("[y]es, [n]o, [c]ancel, yes to [a]ll, yes to all [A]lways"), "yncaA")
                    .unicode()) {
        case 'y':
            return TOverwriteAnswer::Yes;
        case 'c':
            return TOverwriteAnswer::Cancel;
        case 'a':
            return TOverwriteAnswer::YesToAll;
        case 'A':
            return TOverwriteAnswer::YesToAllAlways;
        default:
            Declined = true;
            return TOverwriteAnswer::No;
        }
    }

private:
    // Asks until one of `letters` is answered; the end of the input answers "n".
    QChar Ask(const QString& question, const QString& choices, const char* letters)
    {
        Bar.reset();
        for (;;) {
            Err << ForTerminal(question) << ' ' << choices << ' ' << Qt::flush;
            const QString line = Terminal->readLine();
            if (line.isNull())
                return QLatin1Char('n');
            const QString answer = line.trimmed();
            if (answer.size() == 1 && QLatin1String(letters).contains(answer[0]))
                return answer[0];
        }
    }

    QTextStream& Out;
    QTextStream& Err;
    QTextStream* Terminal;
    bool Yes;
    bool ShowProgress;
    std::optional<TProgressBar> Bar;
    bool Declined = false; // the current row's target was kept at the user's answer
};

int Run(const QCommandLineParser& parser, QTextStream& out, QTextStream& err, QTextStream* terminal)
{
    if (parser.positionalArguments().size() != 1)
        throw EUsageError(QStringLiteral("run takes no further arguments."));
    TConsoleRun console(out, err, terminal, parser.isSet(YesOption), parser.isSet(ProgressOption));
    const bool alwaysOverwrite = Settings().AlwaysOverwrite;
    TUpdateRun run(AutoUpdateItems(), console, console, false, parser.isSet(ForceSiteOption));
    TRapiSession device; // a device connection made for this run ends with it
    run.Execute();
    out << run.Summary() << '\n';
    if (Settings().AlwaysOverwrite != alwaysOverwrite)
        Settings().Save(); // the user chose "Yes to All" for good
    return run.Counts().Failed == 0 ? 0 : 1;
}

} // namespace

QString UpdateUsage()
{
    QCommandLineParser parser;
    AddOptions(parser);
    const QString options = OptionsHelp(parser);
    return QStringLiteral(
               "Usage: marivel-update subscribe SITE POI TARGET [--to ID]\n"
               "  or:  marivel-update unsubscribe TARGET\n"
               "  or:  marivel-update list\n"
               "  or:  marivel-update run [--yes] [--force-site] [--progress]\n"
               "Keeps target files up to date with POI files of POI sites (AutoUpdate items).\n"
               "SITE is the address of a site index (http://... or FILE://path), POI the\n"
               "description of a POI file in that index, TARGET a local path, FILE://path or\n"
               "MOBILE://\\device\\path. list prints one tab-separated line per item: site,\n"
               "country, POI, target, format, last checked, last updated; addresses are shown\n"
               "without user name, password and query. run prints a line per site and item\n"
               "and a summary, and exits with 1 when an item failed or another run is busy.\n"
               "Without --yes an existing target is only overwritten when confirmed on the\n"
               "terminal.\n")
        + options;
}

int RunUpdateCommand(
    const QStringList& arguments, QTextStream& out, QTextStream& err, QTextStream* terminal)
{
    return ExitStatusOf(err, UpdateUsage, [&] {
        QCommandLineParser parser;
        AddOptions(parser);
        if (!parser.parse(QStringList { QStringLiteral("marivel-update") } + arguments))
            throw EUsageError(parser.errorText());
        if (parser.isSet(HelpOption)) {
            out << UpdateUsage();
            return 0;
        }
        const TCodePageScope codePage(Settings().CodePage); // of the files it converts
        QStringList args = parser.positionalArguments();
        const QString command = args.isEmpty() ? QString() : args.takeFirst();
        if (command == QLatin1String("subscribe"))
            Subscribe(args, parser.value(ToOption), parser.isSet(ProgressOption), out, err);
        else if (command == QLatin1String("unsubscribe"))
            Unsubscribe(args);
        else if (command == QLatin1String("list"))
            List(out);
        else if (command == QLatin1String("run"))
            return Run(parser, out, err, terminal);
        else
            throw EUsageError(
                QStringLiteral("Name a command: subscribe, unsubscribe, list or run."));
        return 0;
    });
}
