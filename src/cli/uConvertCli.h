#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

class QTextStream;

// What one run of marivel-convert was asked to do.
struct TConvertRequest {
    enum class TAction { Convert, ListFormats, Help };
    TAction Action = TAction::Convert;
    QStringList Inputs;
    QString Output;
    QString FromId; // format id for every input; empty: the first format of its extension
    QStringList ToIds; // output format ids: at most one unless `Into` is given
    bool Progress = false;
    bool Dev = false;
    QString Encoding; // code page of the files' 8-bit text; empty: the setting CodePage
    struct TOption {
        QString FormatId;
        int Index;
        QString Value;
    };
    std::vector<TOption> Options; // converter options for this run only
    // Entries within this many metres of an earlier one are left out of the output.
    std::optional<int> DropDuplicates;
    // Each input converted on its own into this folder, instead of appended into `Output`.
    QString Into;
    bool StopOnError = false; // with `Into`: the first input that fails ends the run
    bool AddNames = false; // descriptions begin with their input's name when appending
};

// Reads the arguments (without the program name); a usage error throws EUsageError.
TConvertRequest ParseConvertArguments(const QStringList& arguments);
QString ConvertUsage();
// One line per importer, then one per exporter: r or w, format id, extension, name.
QString FormatList();
// What becomes of the entries read when a conversion ends: freed, or left to the end of the
// process, which returns all its memory at once; freeing a million entries one by one takes
// a tenth of a second.
enum class TEntriesAtEnd { Freed, LeftToProcessEnd };

// Reads every input, appending, and writes the output through a temporary file, so a failed
// run leaves an existing output as it was. Progress, when asked for, goes to `progress`.
// Returns the warnings: each input's import warnings, named by the input, then the one about
// characters the code page lacked.
// Duplicates to drop go before the output is written; how many went is told to `progress`.
QStringList RunConversion(const TConvertRequest& request, QTextStream& progress,
    TEntriesAtEnd atEnd = TEntriesAtEnd::Freed);
struct TIntoResult {
    bool Succeeded = false; // every input converted
    QStringList Warnings;
};
// Converts each input on its own into the folder `Into`, once per output format, replacing
// files that exist. An input that fails is reported on `err`, named, and the others go on
// unless `StopOnError`; progress, when asked for, goes to `err` too.
TIntoResult RunConversionInto(const TConvertRequest& request, QTextStream& err);
// The whole command: 0 on success, 1 after an error, 2 after a usage error.
int RunConvertCommand(const QStringList& arguments, QTextStream& out, QTextStream& err,
    TEntriesAtEnd atEnd = TEntriesAtEnd::Freed);
