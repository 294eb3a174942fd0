#include "sites/uUpdateItems.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>

#include <QSet>
#include <QStringList>

#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uRegistry.h"

namespace {

using namespace std::chrono_literals;

bool SameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

const QDateTime ZeroDate(QDate(1899, 12, 30), QTime(0, 0));

// Written on every save and read back: from this version on the fields of a line are escaped.
constexpr int ItemsVersion = 301;
const QString VersionValue = QStringLiteral("version");

// Changes to the list are quick; a lock held longer belongs to a program that hangs.
const QString ItemsLockName = QStringLiteral("autoupdate-items.lock");
constexpr auto ItemsLockWait = 10s;

// What a field's separators are stored as; "%" first, as it starts every escape.
const std::array<std::pair<QChar, QLatin1String>, 3> FieldEscapes { {
    { QLatin1Char('%'), QLatin1String("%25") },
    { QLatin1Char('|'), QLatin1String("%7C") },
    { QLatin1Char('='), QLatin1String("%3D") },
} };

QString Escaped(const QString& field)
{
    QString escaped;
    escaped.reserve(field.size());
    for (const QChar c : field) {
        const auto escape = std::find_if(FieldEscapes.cbegin(), FieldEscapes.cend(),
            [&](const auto& each) { return each.first == c; });
        if (escape == FieldEscapes.cend())
            escaped += c;
        else
            escaped += escape->second;
    }
    return escaped;
}

// In one pass, so that an escaped "%" never starts another escape.
QString Unescaped(const QString& field)
{
    QString plain;
    plain.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QStringView rest = QStringView(field).sliced(i);
        const auto escape = std::find_if(FieldEscapes.cbegin(), FieldEscapes.cend(),
            [&](const auto& each) { return rest.startsWith(each.second, Qt::CaseInsensitive); });
        if (escape == FieldEscapes.cend()) {
            plain += field[i];
        } else {
            plain += escape->first;
            i += escape->second.size() - 1;
        }
    }
    return plain;
}

} // namespace

QString ItemLine(const TUpdateItem& item)
{
    QStringList fields { item.Site, item.Poi, item.Country, FormatItemDate(item.LastChecked),
        FormatItemDate(item.LastUpdated), item.Format };
    for (QString& field : fields)
        field = Escaped(field);
    return Escaped(item.Target) + QLatin1Char('=') + fields.join(QLatin1Char('|'));
}

std::unique_ptr<TUpdateItem> ParseItemLine(const QString& line, bool escaped)
{
    const auto field = [&](const QString& text) { return escaped ? Unescaped(text) : text; };
    auto item = std::make_unique<TUpdateItem>();
    const auto equals = line.indexOf(QLatin1Char('='));
    item->Target = field(line.left(equals));
    const QStringList fields =
        equals < 0 ? QStringList() : line.mid(equals + 1).split(QLatin1Char('|'));
    item->Site = field(fields.value(0));
    item->Poi = field(fields.value(1));
    item->Country = field(fields.value(2));
    item->LastChecked = ParseItemDate(field(fields.value(3)));
    item->LastUpdated = ParseItemDate(field(fields.value(4)));
    item->Format = field(fields.value(5));
    return item;
}

QString FormatItemDate(const QDateTime& date)
{
    return (date.isValid() ? date : ZeroDate).toString(QStringLiteral("ddMMyyyyHHmmss"));
}

QDateTime ParseItemDate(const QString& text)
{
    // By position, as the dates were always written; anything after the seconds is ignored.
    auto number = [&](int from, int length) {
        bool ok = false;
        const int value = text.mid(from, length).toInt(&ok);
        return ok ? value : -1;
    };
    const QDate day(number(4, 4), number(2, 2), number(0, 2));
    const QTime time(number(8, 2), number(10, 2), number(12, 2));
    // Checked apart: a date with an invalid time would stand for the start of its day.
    if (!day.isValid() || !time.isValid())
        return QDateTime();
    const QDateTime date(day, time);
    return date != ZeroDate ? date : QDateTime();
}

TUpdateItem* TUpdateItems::Find(const QString& target) const
{
    for (const auto& item : List)
        if (SameText(item->Target, target))
            return item.get();
    return nullptr;
}

TUpdateItem* TUpdateItems::FindByPoi(const QString& site, const QString& poi) const
{
    for (const auto& item : List)
        if (SameText(item->Site, site) && SameText(item->Poi, poi))
            return item.get();
    return nullptr;
}

bool TUpdateItems::SiteHasItems(const QString& site) const
{
    return std::any_of(
        List.cbegin(), List.cend(), [&](const auto& item) { return SameText(item->Site, site); });
}

void TUpdateItems::Remove(const QString& target)
{
    const auto found = std::find_if(
        List.begin(), List.end(), [&](const auto& item) { return SameText(item->Target, target); });
    if (found == List.end())
        throw EUserError(Tr(Msg::UpdateItemNotFound).arg(target));
    List.erase(found);
}

void TUpdateItems::RemoveSite(const QString& site)
{
    ChangeStored([&](TUpdateItems& stored) {
        std::erase_if(stored.List, [&](const auto& item) { return SameText(item->Site, site); });
    });
}

void TUpdateItems::AddSubscriptions(std::vector<std::unique_ptr<TUpdateItem>> items)
{
    ChangeStored([&](TUpdateItems& stored) {
        QStringList targets;
        for (const auto& item : items) {
            if (targets.contains(item->Target, Qt::CaseInsensitive))
                throw EUserError(Tr(Msg::TargetFolderCollides));
            if (stored.Find(item->Target))
                throw EUserError(Tr(Msg::TargetsTaken));
            targets.append(item->Target);
        }
        for (auto& item : items)
            stored.Add(std::move(item));
    });
}

void TUpdateItems::StoreTimes(const TUpdateItem& checked)
{
    // Copied first: loading the stored list overwrites `checked` when it is one of these.
    const QString target = checked.Target;
    const QDateTime lastChecked = checked.LastChecked;
    const QDateTime lastUpdated = checked.LastUpdated;
    ChangeStored([&](TUpdateItems& stored) {
        if (TUpdateItem* item = stored.Find(target)) {
            item->LastChecked = lastChecked;
            item->LastUpdated = lastUpdated;
        }
    });
}

void TUpdateItems::ChangeStored(const std::function<void(TUpdateItems&)>& change)
{
    const TStoreLock lock(ItemsLockName, ItemsLockWait, Tr(Msg::ItemsBusy));
    Load();
    change(*this);
    Save();
}

void TUpdateItems::SortBySite()
{
    std::stable_sort(List.begin(), List.end(), [](const auto& a, const auto& b) {
        return a->Site.compare(b->Site, Qt::CaseInsensitive) < 0;
    });
}

void TUpdateItems::CopyTo(TUpdateItems& other) const
{
    other.Clear();
    for (const auto& item : List)
        other.Add(std::make_unique<TUpdateItem>(*item));
}

void TUpdateItems::Load()
{
    std::vector<std::unique_ptr<TUpdateItem>> loaded;
    TRegistry reg;
    if (reg.OpenKeyReadOnly(AutoUpdateKey())) {
        const bool escaped = reg.TryReadInteger(VersionValue).value_or(0) >= ItemsVersion;
        const QHash<QString, QString> lines = reg.StringValues();
        const QStringList names = reg.GetValueNames();
        const QSet<QString> stored(names.cbegin(), names.cend());
        // A value of another type must not hide the items after it: the next save would
        // drop them.
        for (int i = 0; stored.contains(QString::number(i)); ++i) {
            const auto line = lines.constFind(QString::number(i));
            if (line != lines.cend())
                loaded.push_back(ParseItemLine(*line, escaped));
            else
                qWarning("%s", qPrintable(Tr(Msg::ItemNotText).arg(i)));
        }
    }
    Adopt(std::move(loaded));
}

void TUpdateItems::Adopt(std::vector<std::unique_ptr<TUpdateItem>> loaded)
{
    QHash<QString, std::unique_ptr<TUpdateItem>*> current;
    for (auto& item : List)
        current.insert(item->Target.toCaseFolded(), &item);
    for (auto& item : loaded) {
        auto own = current.take(item->Target.toCaseFolded());
        if (own) {
            **own = std::move(*item);
            item = std::move(*own);
        }
    }
    List = std::move(loaded);
}

void TUpdateItems::Save() const
{
    TRegistry reg;
    reg.OpenKey(AutoUpdateKey(), true);
    QStringList lines;
    for (const auto& item : List)
        lines.append(ItemLine(*item));
    WriteRegStrings(reg, lines);
    reg.WriteInteger(VersionValue, ItemsVersion);
    reg.Sync();
}

TUpdateItems& AutoUpdateItems()
{
    static TUpdateItems items = [] {
        TUpdateItems loaded;
        loaded.Load();
        return loaded;
    }();
    return items;
}

TSiteCredentials ReadSiteCredentials(const QString& site)
{
    return { ReadAutoUpdateValue(site, QStringLiteral("Username")), ReadAutoUpdatePassword(site) };
}

void WriteSiteCredentials(const QString& site, const TSiteCredentials& credentials)
{
    WriteAutoUpdateValue(site, QStringLiteral("Username"), credentials.Username);
    WriteAutoUpdateValue(
        site, QStringLiteral("Password.v2"), ScrambledPassword(credentials.Password));
    // An empty new password must not let the reader fall back to one stored the old way.
    WriteAutoUpdateValue(site, QStringLiteral("Password"), QString());
}
