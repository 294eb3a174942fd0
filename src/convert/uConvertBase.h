#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include <QString>
#include <QStringList>

#include "core/uModel.h"
#include "platform/uCodePage.h"

class TStream;

// What an option of a format holds; the numbers are those `OptionKind` answers.
enum TOptionKind { okCheckBox = 0, okText = 1, okNumber = 2 };

// An option of a format: its caption, which is also the name of its stored value, the longer
// explanation shown with it, and its kind. A text is empty until set; a number is `Default`
// until set to a whole number from `Minimum` to `Maximum`.
struct TConvertOption {
    const char* Caption;
    const char* Hint;
    TOptionKind Kind = okCheckBox;
    int Default = 0;
    int Minimum = 0;
    int Maximum = 0;
};

// What every format's converter shares: its options in the registry store and its progress.
class TConvertBase {
public:
    virtual ~TConvertBase() = default;

    // The registry sub-key of the format's options: "Exporters" or "Importers".
    virtual QString Section() const = 0;
    virtual QString FormatId() const = 0;
    virtual int OptionCount() const { return static_cast<int>(Options().size()); }
    // The caption of option `index`, also the name of its registry value. Asking for an
    // option the format does not have fails with "Assertion failure".
    virtual QString OptionCaption(int index) const;
    // The caption and the explanation as the user reads them, in the program's language.
    QString OptionLabel(int index) const;
    virtual QString OptionHint(int index) const;
    // A `TOptionKind`.
    virtual int OptionKind(int index) const;
    // Option `index` whole; fails with "Assertion failure" for an option the format lacks.
    const TConvertOption& OptionAt(int index) const;

    // An exporter writes every entry to `stream` from its position; an importer reads
    // `stream` and appends entries.
    virtual void Execute(TEntries& entries, TStream& stream) = 0;

    // The stored value of option `index`, or `fallback` when none was stored.
    bool GetOption(int index, bool fallback) const;
    void SetOption(int index, bool value) const;
    // A text option's stored value, empty when none was stored.
    QString GetText(int index) const;
    void SetText(int index, const QString& value) const;
    // A number option's stored value, its default when none within its range was stored.
    int GetNumber(int index) const;
    void SetNumber(int index, int value) const;

    TProgressEvent OnProgress;
    int Progress() const { return FProgress; }
    // Reports the whole-number part of `percent` when it differs from the last one.
    void SetProgress(double percent);

protected:
    // The format's options, none unless the format has some.
    virtual std::span<const TConvertOption> Options() const { return {}; }

    // For the formats whose text is 8-bit: the file's bytes as the entries' UTF-8, and an
    // entry's text as the file's bytes, in the code page (see uCodePage.h). A view is valid
    // until the next call with the same `slot`.
    std::string_view EntryText(std::string_view bytes, int slot = 0)
    {
        return DecodeText(bytes, Scratch[slot]);
    }
    std::string_view FileText(std::string_view utf8, int slot = 0)
    {
        return EncodeText(utf8, Scratch[slot]);
    }

private:
    friend void OverrideOption(const QString& formatId, int index, const QString& value);
    QString OptionsKey() const;
    // The value set for this run, when one was.
    const QString* Overridden(int index) const;

    int FProgress = 0;
    std::string Scratch[2];
};

class TConvertToBase : public TConvertBase {
public:
    QString Section() const override { return QStringLiteral("Exporters"); }
    // Decimals the format keeps; -1 when it keeps everything.
    virtual int Precision() const { return -1; }
    // Whether the format holds every character; else its text is 8-bit, in the code page.
    virtual bool WritesUnicode() const { return false; }
    // The name of the file to be written, without its folder, when the caller knows it: a
    // format may name its contents after it.
    void SetTarget(const QString& fileName) { FTarget = fileName; }
    // Whether the format keeps a picture for what it holds: the caller then hands it the
    // bitmap file beside the document, by its name (for messages) and bytes.
    virtual bool TakesIcon() const { return false; }
    void SetIcon(const QString& fileName, std::string bytes)
    {
        FIconName = fileName;
        FIcon = std::move(bytes);
    }

protected:
    const QString& Target() const { return FTarget; }
    const QString& IconName() const { return FIconName; }
    // Empty when there is no bitmap.
    const std::string& Icon() const { return FIcon; }

private:
    QString FTarget;
    QString FIconName;
    std::string FIcon;
};

class TConvertFromBase : public TConvertBase {
public:
    QString Section() const override { return QStringLiteral("Importers"); }
    // What an import that succeeded found worth telling the user, such as points of a kind
    // the format does not read when it read none.
    const QStringList& Warnings() const { return FWarnings; }
    // The picture the file holds for its contents, as the bytes of a BMP file, when the
    // format keeps one and its reader was asked to hand it out; else empty.
    const std::string& Icon() const { return FIcon; }

protected:
    // For the line-oriented formats: calls `readLine` with each line of the stream's text and
    // its 0-based index, reporting progress after each line, and leaves the stream at its end.
    // `entries` gets room for an entry a line. A user error of a line ends the import with a
    // message that names the line, counted from 1.
    void ReadLines(TStream& stream, TEntries& entries,
        const std::function<void(std::string_view line, int index)>& readLine);
    void Warn(const QString& warning) { FWarnings.append(warning); }
    void KeepIcon(std::string bmp) { FIcon = std::move(bmp); }

private:
    QStringList FWarnings;
    std::string FIcon;
};

// A converter class is the function that makes a fresh instance of it.
using TConvertToClass = std::unique_ptr<TConvertToBase> (*)();
using TConvertFromClass = std::unique_ptr<TConvertFromBase> (*)();

template <class TConverter> TConvertToClass ExporterClassOf()
{
    return []() -> std::unique_ptr<TConvertToBase> { return std::make_unique<TConverter>(); };
}

template <class TConverter> TConvertFromClass ImporterClassOf()
{
    return []() -> std::unique_ptr<TConvertFromBase> { return std::make_unique<TConverter>(); };
}

enum TRegisterPosition {
    rpLast = 0,
    rpFirst = 1,
    rpBeforeSameExt = 2, // before the first converter of the same extension, else at the end
};

// `ext` without its dot; fails with "Enum error" for a position outside the three.
void RegisterExporter(TConvertToClass converterClass, const QString& name, const QString& ext,
    TRegisterPosition position);
void RegisterImporter(TConvertFromClass converterClass, const QString& name, const QString& ext,
    TRegisterPosition position);
void UnregisterExporter(TConvertToClass converterClass);
void UnregisterImporter(TConvertFromClass converterClass);

// A format that is both read and written, under one name and extension.
template <class TExporter, class TImporter>
void RegisterFormat(const QString& name, const QString& ext, TRegisterPosition position)
{
    RegisterExporter(ExporterClassOf<TExporter>(), name, ext, position);
    RegisterImporter(ImporterClassOf<TImporter>(), name, ext, position);
}

template <class TExporter, class TImporter> void UnregisterFormat()
{
    UnregisterExporter(ExporterClassOf<TExporter>());
    UnregisterImporter(ImporterClassOf<TImporter>());
}

// A format's options as the command line numbers them: its writer's in order, then those of
// its reader that the writer lacks; an option of both is one. Sets option `index` of
// `formatId` to `value` for the rest of this run, without storing it: "on" or "off" for a
// check box, any text for a text, a whole number within its range for a number. Fails with
// a user error when the format has no such option, and as `CheckOptionValue` does.
void OverrideOption(const QString& formatId, int index, const QString& value);
// Fails with a user error that names the option and what it takes when `value` does not fit
// option `index` of `formatId`; an option the format lacks is left to `OverrideOption`.
void CheckOptionValue(const QString& formatId, int index, const QString& value);
// Back to the stored options.
void ClearOptionOverrides();

// Queries by 0-based position in registry order. An extension may be given with or without
// its dot and in any case.
int ExporterCount();
int ImporterCount();
QString ExporterName(int index);
QString ImporterName(int index);
QString ExporterExt(int index); // with its dot
QString ImporterExt(int index);
QString ExporterFormatId(int index); // empty for a negative index
QString ImporterFormatId(int index); // empty outside the list
TConvertFromClass ImporterClass(int index); // null outside the list

// The converter for (`ext`, `formatId`): the one with both, else the first with the
// extension, else -1. A format id never selects a converter of another extension.
int FindExporter(const QString& ext, const QString& formatId);
int FindImporter(const QString& ext, const QString& formatId);
// The converter of `formatId` (in any case), whatever its extension; -1 when there is none.
int IndexOfExporterFormat(const QString& formatId);
int IndexOfImporterFormat(const QString& formatId);
// The 1-based row of a file dialog's filter list; 1 when nothing is found.
int ExporterFilterIndex(const QString& ext, const QString& formatId);
int ImporterFilterIndex(const QString& ext, const QString& formatId);
// Sets `name` to the display name of the converter found; leaves it when none is.
void ExporterNameFor(const QString& ext, const QString& formatId, QString& name);
void ImporterNameFor(const QString& ext, const QString& formatId, QString& name);
bool ImporterMatchesExt(int index, const QString& ext);
int ImporterCountForExt(const QString& ext);

// A fresh converter; fails with the "Currently it is not possible ..." user error when no
// converter has the extension.
std::unique_ptr<TConvertToBase> CreateExporter(const QString& ext, const QString& formatId);
std::unique_ptr<TConvertFromBase> CreateImporter(const QString& ext, const QString& formatId);
std::unique_ptr<TConvertToBase> CreateExporterAt(int index);
std::unique_ptr<TConvertFromBase> CreateImporterAt(int index);

// Dialog texts: "Name (*.ext)" lines, and "|"-separated filters.
void FillExporterNames(QStringList& names);
void FillImporterNames(QStringList& names);
QString ExporterFilter();
QString ImporterFilter();
QString OpenFilter();

// A writer's text, gathered in blocks of about a mebibyte that go to the stream whole: a file
// of millions of records then takes a few hundred writes, not millions. A full block is
// written by a second thread while the next one fills, so the system's copying of the bytes
// costs no time of the writer's.
class TBlockWriter {
public:
    explicit TBlockWriter(TStream& stream);
    // Waits for a block still being written; its failure is dropped, as the writer is done.
    ~TBlockWriter();
    TBlockWriter(const TBlockWriter&) = delete;
    TBlockWriter& operator=(const TBlockWriter&) = delete;

    // The block being filled; records are appended to it.
    std::string& Text() { return Block; }
    // Starts writing the block once it is full; true when it did.
    bool EndRecord()
    {
        if (Block.size() < BlockSize)
            return false;
        WriteFullBlock();
        return true;
    }
    // Writes what the block holds, after the blocks before it, and fails as the first failed
    // write did. A writer calls it at its end: text left in the block when the writer is
    // destroyed is dropped, as after a failure.
    void Flush();

private:
    static constexpr size_t BlockSize = 1 << 20;

    void WriteFullBlock();
    // Waits until no block is on its way, and rethrows the failure of the last one written.
    void AwaitWriting();
    // The second thread: writes each block handed over until the writer is destroyed.
    void WriteHandedBlocks();

    TStream& Stream;
    std::string Block;
    std::string Writing; // the block on its way to the stream
    std::mutex Lock; // guards the three below
    bool Handed = false; // `Writing` waits for or is in the second thread's write
    bool Closing = false;
    std::exception_ptr Failure;
    std::condition_variable HandedChanged;
    // Started with the first full block: a small file is written without a thread.
    std::thread Writer;
};

// Appends every entry's record to `out` by `append(text, entry)`, in list order, and reports
// the share written as blocks fill.
template <class TAppend>
void WriteEntryRecords(
    TConvertBase& converter, const TEntries& entries, TBlockWriter& out, TAppend&& append)
{
    // Millions of entries and their texts lie far apart in memory: both are asked for some
    // records ahead, the entry first, as its texts' address is in it.
    constexpr int Ahead = 32;
    const int count = entries.Count();
    for (int i = 0; i < count; ++i) {
        if (i + 2 * Ahead < count)
            __builtin_prefetch(&entries.Items(i + 2 * Ahead));
        if (i + Ahead < count)
            __builtin_prefetch(entries.Items(i + Ahead).TextsAddress());
        append(out.Text(), entries.Items(i));
        if (out.EndRecord())
            converter.SetProgress(static_cast<double>(i + 1) / count * 100);
    }
}

// Reads `count` bytes (-1: as many as the stream's size) into `text`, fewer at the end.
void ReadChars(TStream& stream, int64_t count, std::string& text);
