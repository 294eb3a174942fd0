#include "convert/uConvertBase.h"

#include <cmath>
#include <map>
#include <system_error>
#include <vector>

#include "core/uSettings.h"
#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uRegistry.h"
#include "platform/uStreams.h"

const TConvertOption& TConvertBase::OptionAt(int index) const
{
    const auto options = Options();
    if (index < 0 || static_cast<size_t>(index) >= options.size())
        throw EAssertionFailed(Tr(Msg::AssertionFailure));
    return options[static_cast<size_t>(index)];
}

QString TConvertBase::OptionCaption(int index) const
{
    return QLatin1String(OptionAt(index).Caption);
}

QString TConvertBase::OptionLabel(int index) const { return Tr(OptionAt(index).Caption); }

QString TConvertBase::OptionHint(int index) const { return Tr(OptionAt(index).Hint); }

int TConvertBase::OptionKind(int index) const { return OptionAt(index).Kind; }

QString TConvertBase::OptionsKey() const
{
    return MainKey + QLatin1Char('\\') + Section() + QLatin1Char('\\') + FormatId();
}

void TConvertFromBase::ReadLines(TStream& stream, TEntries& entries,
    const std::function<void(std::string_view line, int index)>& readLine)
{
    // Counted first and then read, as a list of a large file's lines would cost memory.
    const TStreamBytes bytes(stream);
    size_t count = 0;
    ForEachLine(bytes.Bytes(), [&](std::string_view) { ++count; });
    entries.Reserve(count);
    size_t i = 0;
    ForEachLine(bytes.Bytes(), [&](std::string_view line) {
        try {
            readLine(line, static_cast<int>(i));
        } catch (const EUserError& error) {
            // Said with the line as an editor counts it, from 1, and what the user can do.
            throw EUserError(Tr(Msg::LineNotInFormat).arg(i + 1).arg(error.Message()));
        }
        SetProgress(static_cast<double>(i) / static_cast<double>(count) * 100);
        ++i;
    });
    stream.Seek(0, TSeekOrigin::End);
}

namespace {

// Options set for this run only, as given, by options key and caption.
std::map<std::pair<QString, QString>, QString>& OptionOverrides()
{
    static std::map<std::pair<QString, QString>, QString> overrides;
    return overrides;
}

} // namespace

const QString* TConvertBase::Overridden(int index) const
{
    const auto overridden = OptionOverrides().find({ OptionsKey(), OptionCaption(index) });
    return overridden == OptionOverrides().end() ? nullptr : &overridden->second;
}

bool TConvertBase::GetOption(int index, bool fallback) const
{
    if (const QString* value = Overridden(index))
        return *value == QLatin1String("on");
    TRegistry reg;
    if (reg.OpenKeyReadOnly(OptionsKey()))
        return reg.TryReadBool(OptionCaption(index)).value_or(fallback);
    return fallback;
}

void TConvertBase::SetOption(int index, bool value) const
{
    TRegistry reg;
    if (reg.OpenKey(OptionsKey(), true))
        reg.WriteBool(OptionCaption(index), value);
}

QString TConvertBase::GetText(int index) const
{
    if (const QString* value = Overridden(index))
        return *value;
    TRegistry reg;
    if (reg.OpenKeyReadOnly(OptionsKey()))
        return reg.TryReadString(OptionCaption(index)).value_or(QString());
    return {};
}

void TConvertBase::SetText(int index, const QString& value) const
{
    TRegistry reg;
    if (reg.OpenKey(OptionsKey(), true))
        reg.WriteString(OptionCaption(index), value);
}

int TConvertBase::GetNumber(int index) const
{
    const TConvertOption& option = OptionAt(index);
    if (const QString* value = Overridden(index))
        return value->toInt();
    TRegistry reg;
    // A hand-edited value out of range is no value: the format could not hold it.
    const std::optional<int> stored =
        reg.OpenKeyReadOnly(OptionsKey()) ? reg.TryReadInteger(OptionCaption(index)) : std::nullopt;
    return stored && *stored >= option.Minimum && *stored <= option.Maximum ? *stored
                                                                            : option.Default;
}

void TConvertBase::SetNumber(int index, int value) const
{
    TRegistry reg;
    if (reg.OpenKey(OptionsKey(), true))
        reg.WriteInteger(OptionCaption(index), value);
}

void TConvertBase::SetProgress(double percent)
{
    // Converters ask after every record; nearly always the percentage is still the last one.
    if (FProgress >= 0 && percent >= FProgress && percent < FProgress + 1)
        return;
    auto whole = static_cast<int>(std::trunc(percent));
    if (whole == FProgress)
        return;
    FProgress = whole;
    if (OnProgress)
        OnProgress(whole);
}

namespace {

template <class TClass> struct TConvertItem {
    QString Name;
    QString Ext; // lower case, without its dot
    QString FormatId;
    TClass ConverterClass;
};

using TConvertToItems = std::vector<TConvertItem<TConvertToClass>>;
using TConvertFromItems = std::vector<TConvertItem<TConvertFromClass>>;

// Made on first use, so they exist before any format registers, whatever the order in which
// the program's parts start.
TConvertToItems& Exporters()
{
    static TConvertToItems items;
    return items;
}

TConvertFromItems& Importers()
{
    static TConvertFromItems items;
    return items;
}

QString WithoutDot(const QString& ext)
{
    return ext.startsWith(QLatin1Char('.')) ? ext.mid(1) : ext;
}

bool SameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

template <class TItems> bool ValidIndex(const TItems& items, int index)
{
    return index >= 0 && static_cast<size_t>(index) < items.size();
}

template <class TItems, class TClass>
void Register(TItems& items, TClass converterClass, const QString& name, const QString& ext,
    TRegisterPosition position)
{
    if (ext.contains(QLatin1Char('=')))
        throw EAssertionFailed(Tr(Msg::ExtWithEquals));
    auto at = items.end();
    switch (position) {
    case rpLast:
        break;
    case rpFirst:
        at = items.begin();
        break;
    case rpBeforeSameExt:
        at = std::find_if(
            items.begin(), items.end(), [&](const auto& item) { return SameText(item.Ext, ext); });
        break;
    default:
        throw Exception(Tr(Msg::EnumError));
    }
    items.insert(at, { name, ext.toLower(), converterClass()->FormatId(), converterClass });
}

template <class TItems, class TClass> void Unregister(TItems& items, TClass converterClass)
{
    std::erase_if(items, [&](const auto& item) { return item.ConverterClass == converterClass; });
}

template <class TItems> int Find(const TItems& items, const QString& ext, const QString& formatId)
{
    const QString wanted = WithoutDot(ext);
    int first = -1;
    for (int i = 0; ValidIndex(items, i); ++i) {
        if (!SameText(items[i].Ext, wanted))
            continue;
        if (first < 0)
            first = i;
        if (SameText(items[i].FormatId, formatId))
            return i;
    }
    return first;
}

template <class TItems> int IndexOfFormat(const TItems& items, const QString& formatId)
{
    auto found = std::find_if(items.begin(), items.end(),
        [&](const auto& item) { return SameText(item.FormatId, formatId); });
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

template <class TItems>
void NameFor(const TItems& items, const QString& ext, const QString& formatId, QString& name)
{
    int index = Find(items, ext, formatId);
    if (index >= 0)
        name = items[index].Name;
}

template <class TItems>
auto Create(const TItems& items, const QString& ext, const QString& formatId, const char* message)
{
    int index = Find(items, ext, formatId);
    if (index < 0)
        throw EUserError(Tr(message).arg(WithoutDot(ext)));
    return items[index].ConverterClass();
}

template <class TItems> void FillNames(const TItems& items, QStringList& names)
{
    names.clear();
    for (const auto& item : items)
        names.append(QStringLiteral("%1 (*.%2)").arg(item.Name, item.Ext));
}

template <class TItems> QString Filter(const TItems& items)
{
    QStringList pairs;
    for (const auto& item : items)
        pairs.append(QStringLiteral("%1 (*.%2)|*.%2").arg(item.Name, item.Ext));
    return pairs.join(QLatin1Char('|'));
}

} // namespace

void RegisterExporter(TConvertToClass converterClass, const QString& name, const QString& ext,
    TRegisterPosition position)
{
    Register(Exporters(), converterClass, name, ext, position);
}

void RegisterImporter(TConvertFromClass converterClass, const QString& name, const QString& ext,
    TRegisterPosition position)
{
    Register(Importers(), converterClass, name, ext, position);
}

void UnregisterExporter(TConvertToClass converterClass) { Unregister(Exporters(), converterClass); }
void UnregisterImporter(TConvertFromClass converterClass)
{
    Unregister(Importers(), converterClass);
}

int ExporterCount() { return static_cast<int>(Exporters().size()); }
int ImporterCount() { return static_cast<int>(Importers().size()); }
QString ExporterName(int index) { return Exporters().at(index).Name; }
QString ImporterName(int index) { return Importers().at(index).Name; }
QString ExporterExt(int index) { return QLatin1Char('.') + Exporters().at(index).Ext; }
QString ImporterExt(int index) { return QLatin1Char('.') + Importers().at(index).Ext; }

QString ExporterFormatId(int index)
{
    return index < 0 ? QString() : Exporters().at(index).FormatId;
}

QString ImporterFormatId(int index)
{
    return ValidIndex(Importers(), index) ? Importers()[index].FormatId : QString();
}

TConvertFromClass ImporterClass(int index)
{
    return ValidIndex(Importers(), index) ? Importers()[index].ConverterClass : nullptr;
}

int FindExporter(const QString& ext, const QString& formatId)
{
    return Find(Exporters(), ext, formatId);
}
int FindImporter(const QString& ext, const QString& formatId)
{
    return Find(Importers(), ext, formatId);
}

int IndexOfExporterFormat(const QString& formatId) { return IndexOfFormat(Exporters(), formatId); }
int IndexOfImporterFormat(const QString& formatId) { return IndexOfFormat(Importers(), formatId); }

int ExporterFilterIndex(const QString& ext, const QString& formatId)
{
    return std::max(FindExporter(ext, formatId), 0) + 1;
}

int ImporterFilterIndex(const QString& ext, const QString& formatId)
{
    return std::max(FindImporter(ext, formatId), 0) + 1;
}

void ExporterNameFor(const QString& ext, const QString& formatId, QString& name)
{
    NameFor(Exporters(), ext, formatId, name);
}

void ImporterNameFor(const QString& ext, const QString& formatId, QString& name)
{
    NameFor(Importers(), ext, formatId, name);
}

bool ImporterMatchesExt(int index, const QString& ext)
{
    return SameText(Importers().at(index).Ext, WithoutDot(ext));
}

int ImporterCountForExt(const QString& ext)
{
    const QString wanted = WithoutDot(ext);
    return static_cast<int>(std::count_if(Importers().begin(), Importers().end(),
        [&](const auto& item) { return SameText(item.Ext, wanted); }));
}

std::unique_ptr<TConvertToBase> CreateExporter(const QString& ext, const QString& formatId)
{
    return Create(Exporters(), ext, formatId, Msg::CannotSaveFormat);
}

std::unique_ptr<TConvertFromBase> CreateImporter(const QString& ext, const QString& formatId)
{
    return Create(Importers(), ext, formatId, Msg::CannotLoadFormat);
}

std::unique_ptr<TConvertToBase> CreateExporterAt(int index)
{
    return Exporters().at(index).ConverterClass();
}
std::unique_ptr<TConvertFromBase> CreateImporterAt(int index)
{
    return Importers().at(index).ConverterClass();
}

void FillExporterNames(QStringList& names) { FillNames(Exporters(), names); }
void FillImporterNames(QStringList& names) { FillNames(Importers(), names); }
QString ExporterFilter() { return Filter(Exporters()); }
QString ImporterFilter() { return Filter(Importers()); }

QString OpenFilter()
{
    QStringList patterns;
    for (const auto& item : Importers())
        patterns.append(QStringLiteral("*.") + item.Ext);
    const QString all = patterns.join(QLatin1Char(';'));
    return QStringLiteral("%1 (%2)|%2|%3|%4 (*.*)|*.*")
        .arg(Tr(Msg::AllSupportedTypes), all, ImporterFilter(), Tr(Msg::AllFiles));
}

TBlockWriter::TBlockWriter(TStream& stream)
    : Stream(stream)
{
    // Room for the record that fills a block, so it rarely has to grow.
    Block.reserve(BlockSize + BlockSize / 16);
    Writing.reserve(Block.capacity());
}

TBlockWriter::~TBlockWriter()
{
    if (!Writer.joinable())
        return;
    {
        const std::lock_guard lock(Lock);
        Closing = true;
    }
    HandedChanged.notify_all();
    Writer.join();
}

void TBlockWriter::AwaitWriting()
{
    std::unique_lock lock(Lock);
    HandedChanged.wait(lock, [this] { return !Handed; });
    if (Failure)
        std::rethrow_exception(std::exchange(Failure, nullptr));
}

void TBlockWriter::WriteHandedBlocks()
{
    std::unique_lock lock(Lock);
    for (;;) {
        HandedChanged.wait(lock, [this] { return Handed || Closing; });
        if (!Handed)
            return;
        lock.unlock();
        std::exception_ptr failure;
        try {
            Stream.Write(Writing);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        Failure = failure;
        Handed = false;
        HandedChanged.notify_all();
    }
}

void TBlockWriter::WriteFullBlock()
{
    AwaitWriting();
    std::swap(Block, Writing);
    Block.clear();
    if (!Writer.joinable()) {
        try {
            Writer = std::thread([this] { WriteHandedBlocks(); });
        } catch (const std::system_error&) {
            Stream.Write(Writing); // no thread to be had: written here
            return;
        }
    }
    {
        const std::lock_guard lock(Lock);
        Handed = true;
    }
    HandedChanged.notify_all();
}

void TBlockWriter::Flush()
{
    AwaitWriting();
    Stream.Write(Block);
    Block.clear();
}

void ReadChars(TStream& stream, int64_t count, std::string& text)
{
    if (count < 0)
        count = stream.Size();
    text.assign(static_cast<size_t>(
                    std::max<int64_t>(0, std::min(count, stream.Size() - stream.Position()))),
        '\0');
    text.resize(static_cast<size_t>(stream.Read(text.data(), static_cast<int64_t>(text.size()))));
}

namespace {

// The converters of `formatId`: its writer, then its reader.
std::vector<std::unique_ptr<TConvertBase>> ConvertersOf(const QString& formatId)
{
    std::vector<std::unique_ptr<TConvertBase>> converters;
    for (int i = 0; i < ExporterCount(); ++i)
        if (SameText(ExporterFormatId(i), formatId))
            converters.push_back(CreateExporterAt(i));
    for (int i = 0; i < ImporterCount(); ++i)
        if (SameText(ImporterFormatId(i), formatId))
            converters.push_back(CreateImporterAt(i));
    return converters;
}

// Option `index` of a format as the command line counts them: each converter that has it,
// with its own index of it; none when the format has no such option.
std::vector<std::pair<const TConvertBase*, int>> OptionHolders(
    const std::vector<std::unique_ptr<TConvertBase>>& converters, int index)
{
    QStringList captions;
    for (const auto& converter : converters)
        for (int i = 0; i < converter->OptionCount(); ++i)
            if (!captions.contains(converter->OptionCaption(i)))
                captions.append(converter->OptionCaption(i));
    std::vector<std::pair<const TConvertBase*, int>> holders;
    if (index < 0 || index >= captions.size())
        return holders;
    for (const auto& converter : converters)
        for (int i = 0; i < converter->OptionCount(); ++i)
            if (converter->OptionCaption(i) == captions[index])
                holders.emplace_back(converter.get(), i);
    return holders;
}

// Fails with a message that names the option as the command line does (`name`) when `value`
// does not fit option `option` of `converter`.
void CheckValue(
    const TConvertBase& converter, int option, const QString& name, const QString& value)
{
    const TConvertOption& kind = converter.OptionAt(option);
    const QString label = converter.OptionLabel(option);
    switch (kind.Kind) {
    case okCheckBox:
        if (value != QLatin1String("on") && value != QLatin1String("off"))
            throw EUserError(Tr(Msg::OptionTakesOnOff).arg(name, label, value));
        return;
    case okNumber: {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || value.trimmed() != value || number < kind.Minimum || number > kind.Maximum)
            throw EUserError(Tr(Msg::OptionTakesNumber)
                                 .arg(name, label)
                                 .arg(kind.Minimum)
                                 .arg(kind.Maximum)
                                 .arg(value));
        return;
    }
    case okText:
        return;
    }
}

} // namespace

void CheckOptionValue(const QString& formatId, int index, const QString& value)
{
    const auto converters = ConvertersOf(formatId);
    for (const auto& [converter, option] : OptionHolders(converters, index))
        CheckValue(*converter, option, QStringLiteral("%1:%2").arg(formatId).arg(index), value);
}

void OverrideOption(const QString& formatId, int index, const QString& value)
{
    const auto converters = ConvertersOf(formatId);
    const auto holders = OptionHolders(converters, index);
    if (holders.empty())
        throw EUserError(Tr(Msg::NoSuchOption).arg(formatId).arg(index));
    for (const auto& [converter, option] : holders) {
        CheckValue(*converter, option, QStringLiteral("%1:%2").arg(formatId).arg(index), value);
        OptionOverrides()[{ converter->OptionsKey(), converter->OptionCaption(option) }] = value;
    }
}

void ClearOptionOverrides() { OptionOverrides().clear(); }
