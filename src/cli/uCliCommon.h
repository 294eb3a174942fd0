#pragma once

#include <csignal>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "core/uModel.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

// What the command-line programs share: their usage errors and progress bars.

// The arguments do not make a command; the program shows its usage and exits with 2.
class EUsageError : public Exception {
public:
    using Exception::Exception;
};

inline const QCommandLineOption ProgressOption(
    QStringLiteral("progress"), QStringLiteral("Show progress on standard error."));
inline const QCommandLineOption HelpOption(
    { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help."));

// The options part of `parser`'s help, for a usage text; Qt's first line names the binary's path.
inline QString OptionsHelp(const QCommandLineParser& parser)
{
    QString options = parser.helpText();
    return options.remove(0, options.indexOf(QLatin1Char('\n')) + 1);
}

// A message for the terminal: its line breaks kept, any other control character escaped, as
// a message may quote what a file or a server sent.
inline QString ForTerminal(const QString& message)
{
    QStringList lines = ForDisplay(message).split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = EscapeControls(line);
    return lines.join(QLatin1Char('\n'));
}

// What a shell reports for a program that SIGPIPE ended, so that a pipeline's status reads the
// same whether the signal ended the program or the program saw the broken pipe itself.
constexpr int BrokenPipeStatus = 128 + SIGPIPE;

// Runs `command` and returns its exit status; a usage error prints the message and `usage()`
// and gives 2, a broken pipe gives BrokenPipeStatus quietly, any other failure prints its
// message and gives 1.
template <typename Command, typename Usage>
int ExitStatusOf(QTextStream& err, Usage usage, Command command)
{
    try {
        return command();
    } catch (const EUsageError& e) {
        err << e.Message() << "\n\n" << usage();
        return 2;
    } catch (const EBrokenPipe&) {
        return BrokenPipeStatus;
    } catch (const Exception& e) {
        err << ForTerminal(AsSentence(e.Message())) << "\n";
    } catch (const std::exception& e) {
        err << "Internal error: " << e.what() << '\n';
    }
    return 1;
}

// A one-line bar on a terminal's error stream, redrawn in place.
class TProgressBar {
public:
    TProgressBar(QTextStream& stream, const QString& label)
        : Stream(stream)
        , Label(label)
    {
        Show(0);
    }
    ~TProgressBar() { Stream << Qt::endl; }

    void Show(int percent)
    {
        constexpr int Width = 30;
        int filled = percent * Width / 100;
        Stream << '\r' << Label << " [" << QString(filled, QLatin1Char('#'))
               << QString(Width - filled, QLatin1Char(' ')) << "] " << qSetFieldWidth(3) << percent
               << qSetFieldWidth(0) << '%' << Qt::flush;
    }

private:
    QTextStream& Stream;
    QString Label;
};

// Runs `step` with a progress bar when asked for; the bar is fed through `onProgress`.
template <typename Step>
void WithProgress(
    bool show, QTextStream& stream, const QString& label, TProgressEvent& onProgress, Step step)
{
    if (!show)
        return step();
    TProgressBar bar(stream, label);
    struct TDetach { // the event must not outlive the bar, also when `step` fails
        TProgressEvent& Event;
        ~TDetach() { Event = nullptr; }
    } detach { onProgress };
    onProgress = [&bar](int percent) { bar.Show(percent); };
    step();
    bar.Show(100);
}
