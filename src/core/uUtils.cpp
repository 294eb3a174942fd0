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
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++start;
    }
    return lines;
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

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
    std::string field;
    auto finish = [&] {
        std::string_view trimmed = Trim(field);
        if (count < fields.size())
            fields[count].assign(trimmed);
        else
            fields.emplace_back(trimmed);
        ++count;
        field.clear();
    };
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            finish();
        else
            field.push_back(c);
    }
    finish();
    fields.resize(count);
}

std::string RemoveLineBreaks(std::string_view text)
{
    std::string kept;
    for (char c : text)
        if (c != '\r' && c != '\n')
            kept.push_back(c);
    return std::string(Trim(kept));
}
