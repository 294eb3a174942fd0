#include "core/uUtils.h"

#include <algorithm>

#include "platform/uRegistry.h"

const QLocale& InvariantFormatSettings()
{
    static const QLocale invariant = [] {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::OmitGroupSeparator);
        return c;
    }();
    return invariant;
}

namespace {

// Opens `key` read-only for one read and closes it again whatever happens.
template <typename Read>
auto ReadRegValue(
    TRegistry& reg, const QString& key, const QString& name, Read read, decltype(read()) fallback)
{
    struct TCloser {
        TRegistry& Reg;
        ~TCloser() { Reg.CloseKey(); }
    };
    if (!reg.OpenKeyReadOnly(key))
        return fallback;
    TCloser closer { reg };
    return reg.ValueExists(name) ? read() : fallback;
}

} // namespace

bool ReadRegBool(TRegistry& reg, const QString& key, const QString& name, bool fallback)
{
    return ReadRegValue(
        reg, key, name, [&] { return reg.ReadBool(name); }, fallback);
}

QString ReadRegString(
    TRegistry& reg, const QString& key, const QString& name, const QString& fallback)
{
    return ReadRegValue(
        reg, key, name, [&] { return reg.ReadString(name); }, fallback);
}

int ReadRegInteger(
    TRegistry& reg, const QString& key, const QString& name, int high, int low, int fallback)
{
    return ReadRegValue(
        reg, key, name, [&] { return std::min(std::max(reg.ReadInteger(name), low), high); },
        fallback);
}

void ReadRegStrings(TRegistry& reg, QStringList& list, bool unique)
{
    for (int i = 0;; ++i) {
        QString name = QString::number(i);
        if (!reg.ValueExists(name))
            return;
        QString value = reg.ReadString(name);
        if (!unique || !list.contains(value, Qt::CaseInsensitive))
            list.append(value);
    }
}

void WriteRegStrings(TRegistry& reg, const QStringList& list)
{
    for (int i = 0; i < list.size(); ++i)
        reg.WriteString(QString::number(i), list[i]);
    for (auto i = list.size(); reg.DeleteValue(QString::number(i)); ++i) { }
}

static bool DevSwitchOn = false;

bool DevSwitch() { return DevSwitchOn; }
void SetDevSwitch(bool on) { DevSwitchOn = on; }

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    const char* const end = text.data() + text.size();
    const char* start = text.data();
    while (start < end) {
        const char* stop = start;
        while (stop < end && *stop != '\n' && *stop != '\r')
            ++stop;
        lines.emplace_back(start, static_cast<size_t>(stop - start));
        start = stop + 1;
        if (stop + 1 < end && stop[0] == '\r' && stop[1] == '\n')
            ++start;
    }
    return lines;
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

static void TrimInPlace(std::string& text)
{
    const std::string_view trimmed = Trim(text);
    if (trimmed.size() != text.size())
        text = std::string(trimmed);
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

void SplitCommaText(std::string_view text, std::vector<std::string>& fields)
{
    size_t count = 0;
    auto field = [&]() -> std::string& {
        if (count == fields.size())
            fields.emplace_back();
        fields[count].clear();
        return fields[count];
    };
    std::string* current = &field();
    bool quoted = false;
    size_t run = 0; // start of the characters not yet copied into the field
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '"' && (c != ',' || quoted))
            continue;
        current->append(text.substr(run, i - run));
        run = i + 1;
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        TrimInPlace(*current);
        ++count;
        current = &field();
    }
    current->append(text.substr(run));
    TrimInPlace(*current);
    fields.resize(count + 1);
}

std::string RemoveLineBreaks(std::string_view text)
{
    std::string kept;
    for (char c : text)
        if (c != '\r' && c != '\n')
            kept.push_back(c);
    return std::string(Trim(kept));
}
