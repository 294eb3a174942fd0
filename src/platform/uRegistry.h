#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <utility>

#include <QHash>
#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>

class QSettings;

enum class TRegRoot { CurrentUser, LocalMachine };

// The registry store: keys and sub-keys named by backslash paths, holding typed values
// (32-bit integers, which also carry Booleans as 0/1, strings and 8-byte dates). Each root is
// one INI file in MARIVEL_CONFIG_DIR (default: the user's config folder, "marivel" below it).
// Key and value names match without regard to case, as on the platform this store replaces.
class TRegistry {
public:
    explicit TRegistry(TRegRoot root = TRegRoot::CurrentUser);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // A key beginning with "\" is taken from the root, any other below the current key.
    // Returns false when the key does not exist and may not be created.
    bool OpenKey(const QString& key, bool canCreate);
    bool OpenKeyReadOnly(const QString& key);
    void CloseKey();

    bool KeyExists(const QString& key) const;
    // Deletes the key with all its sub-keys and values; false when it did not exist.
    bool DeleteKey(const QString& key);
    QStringList GetKeyNames() const;

    bool ValueExists(const QString& name) const;
    bool DeleteValue(const QString& name);
    QStringList GetValueNames() const;

    // A value that is missing or of another type (a hand-edited file may hold anything) reads
    // as nothing.
    std::optional<bool> TryReadBool(const QString& name) const;
    std::optional<int> TryReadInteger(const QString& name) const;
    std::optional<QString> TryReadString(const QString& name) const;
    std::optional<double> TryReadDate(const QString& name) const;

    // For callers that want to know: a value that is missing or of another type fails with
    // "Invalid data type for '%1'" (ERegistryException).
    bool ReadBool(const QString& name) const;
    int ReadInteger(const QString& name) const;
    QString ReadString(const QString& name) const;
    double ReadDate(const QString& name) const;

    // Whole lists in one pass each, as a search of the key per value would make long lists
    // cost the square of their length. The string values of the open key by case-folded name;
    // values of other types are left out.
    QHash<QString, QString> StringValues() const;
    void WriteStrings(const QList<std::pair<QString, QString>>& values);
    // Deletes those of the named values that exist.
    void DeleteValues(const QStringList& names);

    // Writing into a key opened read-only, or with no key open, is a program fault.
    void WriteBool(const QString& name, bool value);
    void WriteInteger(const QString& name, int value);
    void WriteString(const QString& name, const QString& value);
    void WriteDate(const QString& name, double value);

    // Writes what was changed to the file now, rather than when the object ends, so that a
    // failure is heard of: fails with "Could not save the settings to %1..." (EUserError).
    void Sync();

    // The INI file that holds a root, for the user's eyes and for tests.
    static QString FileName(TRegRoot root);

private:
    // A group is a key's path in QSettings: stored (encoded) names joined by "/", the root
    // being empty. `Current` is the same path as the user writes it.
    std::optional<QString> FindKey(const QString& key) const;
    QString CreateKey(const QString& key);
    QString StartGroup(const QString& key) const;
    std::optional<QString> FindChildKey(const QString& group, const QString& name) const;
    std::optional<QString> FindValue(const QString& name) const;
    QStringList StoredValueNames() const;
    // Stored value names of the open key by their case-folded, decoded form.
    QHash<QString, QString> StoredNamesByName() const;
    std::optional<QString> ReadTyped(const QString& name, const QString& type) const;
    void WriteTyped(const QString& name, const QString& type, const QString& text);
    // Writes under the spelling `stored`, which the caller found or encoded.
    void Put(const QString& name, const QString& stored, const QString& typedText);
    void RemoveValueOnly(const QString& path);
    bool WrittenWhole() const;
    void Enter(const QString& group, bool readOnly);
    void BeforeChange();

    // The file holds the proxy password: only its owner may read it.
    QString File;
    std::unique_ptr<QSettings> Store;
    QString Current;
    QString Group;
    bool ReadOnly = false;
    bool Changed = false;
};

// A lock file in the store's folder, held for as long as the object lives, by which the
// programs that share the store take turns: while one of them reads a part of the store,
// changes it and writes it back, or does work that must not run twice at once. The lock of a
// program that died is taken over. Fails with `busy` when another program holds the lock for
// longer than `wait`.
class TStoreLock {
public:
    TStoreLock(const QString& name, std::chrono::milliseconds wait, const QString& busy);

private:
    QLockFile Lock;
};
