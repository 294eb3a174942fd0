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
