#include "platform/uRegistry.h"

#include <bit>
#include <utility>

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QVariant>
#include <QtEndian>

#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

// QSettings forgets a group without entries, so every key created here holds this entry. No
// stored name can equal it, because encoding turns each "%" into "%25".
const QString KeyMarker = QStringLiteral("%");

// The INI file keeps only text; the prefix tells which type was written.
const QString IntegerType = QStringLiteral("dword:");
const QString StringType = QStringLiteral("sz:");
const QString DateType = QStringLiteral("hex:");

// QSettings takes "/" and "\" as group separators; "%" is encoded as well so that decoding
// gives back exactly the name that was written.
QString Encode(QString name)
{
    return name.replace('%', "%25").replace('/', "%2F").replace('\\', "%5C");
}

QString Decode(const QString& stored) { return QUrl::fromPercentEncoding(stored.toUtf8()); }

QStringList Decoded(QStringList stored)
{
    for (QString& name : stored)
        name = Decode(name);
    return stored;
}

// Names match without regard to case; the stored spelling wins.
std::optional<QString> MatchName(const QStringList& stored, const QString& wanted)
{
    for (const QString& name : stored) {
        if (Decode(name).compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    }
    return std::nullopt;
}

QString Join(const QString& group, const QString& name)
{
    return group.isEmpty() ? name : group + '/' + name;
}

QStringList KeyNames(const QString& key) { return key.split('\\', Qt::SkipEmptyParts); }

QString DisplayPath(const QString& group)
{
    return Decoded(group.split('/', Qt::SkipEmptyParts)).join('\\');
}

// QSettings lists only the children of its current group.
QStringList Children(QSettings& store, const QString& group, QStringList (QSettings::*list)() const)
{
    store.beginGroup(group);
    QStringList names = (store.*list)();
    store.endGroup();
    return names;
}

QString ConfigFolder()
{
    QString folder = qEnvironmentVariable("MARIVEL_CONFIG_DIR");
    if (folder.isEmpty())
        folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/marivel";
    return folder;
}

QString DateText(double value)
{
    QByteArray bytes(sizeof(value), '\0');
    qToLittleEndian(std::bit_cast<quint64>(value), bytes.data());
    return QString::fromLatin1(bytes.toHex());
}

std::optional<double> DateFromText(const QString& text)
{
    QByteArray hex = text.toLatin1();
    QByteArray bytes = QByteArray::fromHex(hex);
    // fromHex skips stray characters, so only an exact round trip proves the text was valid.
    if (bytes.size() != sizeof(double) || bytes.toHex() != hex)
        return std::nullopt;
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes.constData()));
}

ERegistryException InvalidType(const QString& name)
{
    return ERegistryException(Tr(Msg::InvalidDataType).arg(name));
}

template <typename T> T Required(const std::optional<T>& value, const QString& name)
{
    if (!value)
        throw InvalidType(name);
    return *value;
}

// The text after the type's prefix; nothing for a value of another type. QSettings reads a
// hand-written value with unquoted commas as a list, which gives no text here.
std::optional<QString> Typed(const QVariant& value, const QString& type)
{
    QString text = value.toString();
    if (!text.startsWith(type))
        return std::nullopt;
    return text.mid(type.size());
}

const QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

// QSettings rewrites its file through a temporary one that takes over the mode of the file it
// replaces, so a file made private before the first write stays so.
void MakePrivateFile(const QString& file)
{
    MakePrivateFolder(QFileInfo(file).absolutePath());
    QFile(file).open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerOnly);
}

QByteArray FileBytes(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// After a write that failed, the file as it was, if the disk takes it: that is still better
// than a file cut short.
void PutBack(const QString& name, const QByteArray& bytes)
{
    QSaveFile file(name);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush())
        file.commit();
}

} // namespace

TRegistry::TRegistry(TRegRoot root)
    : File(FileName(root))
    , Store(std::make_unique<QSettings>(File, QSettings::IniFormat))
{
}

TRegistry::~TRegistry()
{
    Store->sync(); // a failure is the business of `Sync`, which writers call first
    // Also closes a file that was readable by others before.
    if (Changed)
        QFile::setPermissions(File, OwnerOnly);
}

QString TRegistry::FileName(TRegRoot root)
{
    return ConfigFolder()
        + (root == TRegRoot::CurrentUser ? "/current-user.ini" : "/local-machine.ini");
}

void TRegistry::Sync()
{
    const QByteArray before = FileBytes(File);
    Store->sync();
    if (Store->status() != QSettings::AccessError && WrittenWhole())
        return;
    PutBack(File, before);
    throw EUserError(Tr(Msg::SettingsNotSaved).arg(File));
}

// Qt's writer loses the error of its last flush, so a full disk can leave the file cut short
// while the write reports success. It writes one line per value, and a cut file has fewer.
bool TRegistry::WrittenWhole() const
{
    QFile file(File);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    qsizetype lines = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (line.endsWith('\n') && line.contains('='))
            ++lines;
    }
    return lines == Store->allKeys().size();
}

bool TRegistry::OpenKey(const QString& key, bool canCreate)
{
    std::optional<QString> group = FindKey(key);
    if (!group && !canCreate)
        return false;
    Enter(group ? *group : CreateKey(key), false);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const QString& key)
{
    std::optional<QString> group = FindKey(key);
    if (group)
        Enter(*group, true);
    return group.has_value();
}

void TRegistry::CloseKey() { Enter(QString(), false); }

bool TRegistry::KeyExists(const QString& key) const { return FindKey(key).has_value(); }

bool TRegistry::DeleteKey(const QString& key)
{
    std::optional<QString> group = FindKey(key);
    // The root is no key of its own; removing it would empty the whole file.
    if (!group || group->isEmpty())
        return false;
    // Removing the group by its own name would also take a value of the same name in the parent.
    const QStringList contents = Children(*Store, *group, &QSettings::childKeys)
        + Children(*Store, *group, &QSettings::childGroups);
    BeforeChange();
    for (const QString& name : contents)
        Store->remove(Join(*group, name));
    return true;
}

QStringList TRegistry::GetKeyNames() const
{
    return Decoded(Children(*Store, Group, &QSettings::childGroups));
}

bool TRegistry::ValueExists(const QString& name) const { return FindValue(name).has_value(); }

bool TRegistry::DeleteValue(const QString& name)
{
    std::optional<QString> stored = FindValue(name);
    if (ReadOnly || !stored)
        return false;
    RemoveValueOnly(Join(Group, *stored));
    return true;
}

QStringList TRegistry::GetValueNames() const { return Decoded(StoredValueNames()); }

std::optional<bool> TRegistry::TryReadBool(const QString& name) const
{
    if (std::optional<int> value = TryReadInteger(name))
        return *value != 0;
    return std::nullopt;
}

std::optional<int> TRegistry::TryReadInteger(const QString& name) const
{
    std::optional<QString> text = ReadTyped(name, IntegerType);
    bool ok = false;
    int value = text ? text->toInt(&ok) : 0;
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<QString> TRegistry::TryReadString(const QString& name) const
{
    return ReadTyped(name, StringType);
}

std::optional<double> TRegistry::TryReadDate(const QString& name) const
{
    std::optional<QString> text = ReadTyped(name, DateType);
    return text ? DateFromText(*text) : std::nullopt;
}

bool TRegistry::ReadBool(const QString& name) const { return Required(TryReadBool(name), name); }

int TRegistry::ReadInteger(const QString& name) const
{
    return Required(TryReadInteger(name), name);
}

QString TRegistry::ReadString(const QString& name) const
{
    return Required(TryReadString(name), name);
}

double TRegistry::ReadDate(const QString& name) const { return Required(TryReadDate(name), name); }

QHash<QString, QString> TRegistry::StringValues() const
{
    QHash<QString, QString> values;
    const QHash<QString, QString> names = StoredNamesByName();
    for (auto name = names.cbegin(); name != names.cend(); ++name) {
        if (std::optional<QString> text = Typed(Store->value(Join(Group, *name)), StringType))
            values.insert(name.key(), *text);
    }
    return values;
}

void TRegistry::WriteStrings(const QList<std::pair<QString, QString>>& values)
{
    const QHash<QString, QString> stored = StoredNamesByName();
    for (const auto& [name, text] : values)
        Put(name, stored.value(name.toCaseFolded(), Encode(name)), StringType + text);
}

void TRegistry::DeleteValues(const QStringList& names)
{
    if (ReadOnly)
        return;
    const QHash<QString, QString> stored = StoredNamesByName();
    for (const QString& name : names) {
        auto found = stored.constFind(name.toCaseFolded());
        if (found != stored.cend())
            RemoveValueOnly(Join(Group, *found));
    }
}

void TRegistry::WriteBool(const QString& name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TRegistry::WriteInteger(const QString& name, int value)
{
    WriteTyped(name, IntegerType, QString::number(value));
}

void TRegistry::WriteString(const QString& name, const QString& value)
{
    WriteTyped(name, StringType, value);
}

void TRegistry::WriteDate(const QString& name, double value)
{
    WriteTyped(name, DateType, DateText(value));
}

std::optional<QString> TRegistry::FindKey(const QString& key) const
{
    QString group = StartGroup(key);
    for (const QString& name : KeyNames(key)) {
        std::optional<QString> child = FindChildKey(group, name);
        if (!child)
            return std::nullopt;
        group = Join(group, *child);
    }
    return group;
}

QString TRegistry::CreateKey(const QString& key)
{
    QString group = StartGroup(key);
    for (const QString& name : KeyNames(key)) {
        std::optional<QString> child = FindChildKey(group, name);
        group = Join(group, child.value_or(Encode(name)));
        if (!child) {
            BeforeChange();
            Store->setValue(Join(group, KeyMarker), QString());
        }
    }
    return group;
}

QString TRegistry::StartGroup(const QString& key) const
{
    return key.startsWith('\\') ? QString() : Group;
}

std::optional<QString> TRegistry::FindChildKey(const QString& group, const QString& name) const
{
    return MatchName(Children(*Store, group, &QSettings::childGroups), name);
}

std::optional<QString> TRegistry::FindValue(const QString& name) const
{
    return MatchName(StoredValueNames(), name);
}

QStringList TRegistry::StoredValueNames() const
{
    QStringList names = Children(*Store, Group, &QSettings::childKeys);
    names.removeAll(KeyMarker);
    return names;
}

QHash<QString, QString> TRegistry::StoredNamesByName() const
{
    QHash<QString, QString> names;
    for (const QString& stored : StoredValueNames()) {
        // Of names that differ in case only, the first wins, as in a lookup of one name.
        QString folded = Decode(stored).toCaseFolded();
        if (!names.contains(folded))
            names.insert(folded, stored);
    }
    return names;
}

std::optional<QString> TRegistry::ReadTyped(const QString& name, const QString& type) const
{
    std::optional<QString> stored = FindValue(name);
    if (!stored)
        return std::nullopt;
    return Typed(Store->value(Join(Group, *stored)), type);
}

void TRegistry::WriteTyped(const QString& name, const QString& type, const QString& text)
{
    Put(name, FindValue(name).value_or(Encode(name)), type + text);
}

void TRegistry::Put(const QString& name, const QString& stored, const QString& typedText)
{
    // A nameless value would land in the parent key under this key's name.
    if (ReadOnly || Group.isEmpty() || name.isEmpty())
        throw Exception(Tr(Msg::SetDataFailed).arg(name));
    BeforeChange();
    Store->setValue(Join(Group, stored), typedText);
}

// QSettings removes a name together with everything below it, so a sub-key that shares the
// value's name is put back.
void TRegistry::RemoveValueOnly(const QString& path)
{
    QList<std::pair<QString, QVariant>> below;
    Store->beginGroup(path);
    for (const QString& name : Store->allKeys())
        below.append({ name, Store->value(name) });
    Store->endGroup();
    BeforeChange();
    Store->remove(path);
    for (const auto& [name, value] : below)
        Store->setValue(Join(path, name), value);
}

void TRegistry::Enter(const QString& group, bool readOnly)
{
    Group = group;
    Current = DisplayPath(group);
    ReadOnly = readOnly;
}

void TRegistry::BeforeChange()
{
    if (!Changed)
        MakePrivateFile(File);
    Changed = true;
}

TStoreLock::TStoreLock(const QString& name, std::chrono::milliseconds wait, const QString& busy)
    : Lock(ConfigFolder() + QLatin1Char('/') + name)
{
    MakePrivateFolder(ConfigFolder());
    // Only a dead owner makes the lock stale: a long run holds its lock for as long as it goes.
    Lock.setStaleLockTime(0);
    if (Lock.tryLock(int(wait.count())))
        return;
    if (Lock.error() == QLockFile::LockFailedError)
        throw EUserError(busy);
    throw EUserError(Tr(Msg::CannotLock).arg(Lock.fileName()));
}
