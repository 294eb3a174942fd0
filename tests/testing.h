#pragma once

#include <csignal>
#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "core/uModel.h"
#include "core/uSettings.h"
#include "core/uUserPrompt.h"
#include "device/Rapi.h"
#include "platform/uBytes.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uStreams.h"

// Sets an environment variable for as long as it lives; null unsets it.
class TEnvironment {
public:
    TEnvironment(const char* name, const QString& value)
        : Name(name)
        , Previous(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        Set(name, value.isNull() ? std::nullopt : std::optional(QFile::encodeName(value)));
    }
    ~TEnvironment() { Set(Name, Previous); }

private:
    static void Set(const char* name, const std::optional<QByteArray>& value)
    {
        value ? qputenv(name, *value) : qunsetenv(name);
    }

    const char* Name;
    std::optional<QByteArray> Previous;
};

// Points the registry store at a fresh, empty folder for as long as it lives. The settings
// object is made again from the new folder, so what an earlier test in the same process left
// there does not carry over.
class TTempConfig {
public:
    TTempConfig() { ReleaseSettings(false); }
    ~TTempConfig() { ReleaseSettings(false); }
    QString Path() const { return Dir.path(); }

private:
    QTemporaryDir Dir;
    TEnvironment Variable { "MARIVEL_CONFIG_DIR", Dir.path() };
};

// The bytes of a file below tests/data.
inline std::string TestData(const char* name)
{
    QFile file(QStringLiteral(MARIVEL_TEST_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// The lines of a table below tests/data, blank lines and "#" comments left out.
inline QStringList TestDataLines(const char* name)
{
    QStringList lines;
    for (const QString& line : QString::fromStdString(TestData(name)).split('\n'))
        if (!line.isEmpty() && !line.startsWith('#'))
            lines << line;
    return lines;
}

// The bytes of the file at `path`, "<missing>" when it cannot be read.
inline std::string FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

inline void WriteFileBytes(const QString& path, const std::string& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes.data(), qint64(bytes.size()));
}

// How other programs write XML in UTF-16: `utf8` with or without a byte order mark.
inline std::string Utf16Bytes(const std::string& utf8, bool bigEndian, bool mark = true)
{
    std::string bytes;
    for (char16_t unit : (mark ? u"\uFEFF" : u"") + QString::fromStdString(utf8).toStdU16String()) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string { high, low } : std::string { low, high };
    }
    return bytes;
}

// Failures show text, not UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* os) { *os << text.toStdString(); }

// The message `action` fails with, typed as `E`; "no error" when it succeeds.
template <class E = Exception> QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return QStringLiteral("no error");
}

// One OV2 record of `type` holding `texts`, its length field off by `lengthError`.
inline std::string Ov2Record(uint8_t type, int32_t lon, int32_t lat,
    std::initializer_list<std::string> texts, int lengthError = 0)
{
    std::string body;
    AppendInt32(body, lon);
    AppendInt32(body, lat);
    for (const std::string& text : texts)
        body += text + '\0';
    std::string record(1, static_cast<char>(type));
    AppendInt32(record, static_cast<int32_t>(body.size() + 5) + lengthError);
    return record + body;
}

inline std::string Ov2BlockHeader(uint8_t type)
{
    std::string header(1, static_cast<char>(type));
    AppendInt32(header, 12345); // the length of a block is not checked
    return header + std::string(16, '\x7f');
}

// The user's coordinate precision, for as long as it lives.
class TPrecision {
public:
    explicit TPrecision(int digits)
        : Previous(Settings().Precision)
    {
        Settings().Precision = digits;
    }
    ~TPrecision() { Settings().Precision = Previous; }

private:
    int Previous;
};

// The user's locale, for as long as it lives.
class TLocale {
public:
    explicit TLocale(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
    ~TLocale() { QLocale::setDefault(Previous); }

private:
    QLocale Previous;
};

// The descriptions of `entries`, each followed by a blank.
inline std::string Descriptions(const TEntries& entries)
{
    std::string text;
    for (int i = 0; i < entries.Count(); ++i)
        text += std::string(entries.Items(i).Description()) + ' ';
    return text;
}

// An entry as a test compares it: its description and its position.
struct TReadPoint {
    std::string Description;
    double Longitude;
    double Latitude;
    bool operator==(const TReadPoint&) const = default;
};

inline void PrintTo(const TReadPoint& read, std::ostream* os)
{
    *os << '{' << read.Description << " | " << read.Longitude << ", " << read.Latitude << '}';
}

inline std::vector<TReadPoint> ReadPoints(const TEntries& entries)
{
    std::vector<TReadPoint> read;
    for (int i = 0; i < entries.Count(); ++i)
        read.push_back({ std::string(entries.Items(i).Description()), entries.Items(i).Longitude(),
            entries.Items(i).Latitude() });
    return read;
}

// The bytes a converter writes for `entries`.
template <class TExporter>
std::string Exported(TEntries& entries, TExporter&& exporter = TExporter())
{
    TMemoryStream stream;
    exporter.Execute(entries, stream);
    return stream.Bytes();
}

// Reads `bytes` with a converter into `entries`.
template <class TImporter>
void ImportInto(TEntries& entries, const std::string& bytes, TImporter&& importer = TImporter())
{
    TMemoryStream stream(bytes);
    importer.Execute(entries, stream);
}

// Reads `bytes` with a fresh `TImporter` into `entries`; returns the importer's warnings.
template <class TImporter> QStringList ImportWarnings(TEntries& entries, const std::string& bytes)
{
    TImporter importer;
    ImportInto(entries, bytes, importer);
    return importer.Warnings();
}

// `inner` wrapped in `depth` nested elements named `name`.
inline std::string Nested(int depth, const std::string& inner, const std::string& name = "d")
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += '<' + name + '>';
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += "</" + name + '>';
    return text;
}

// A handheld device served by librapi from a temporary folder, for as long as it lives; the
// library it names is the one bound meanwhile.
class TTempDevice {
public:
    explicit TTempDevice(const char* library = MARIVEL_RAPI_FULL)
        : Library("MARIVEL_RAPI_LIBRARY", QString::fromLocal8Bit(library))
        , DeviceRoot("MARIVEL_DEVICE_ROOT", Root.path())
    {
        ReleaseRapi();
    }
    ~TTempDevice() { ReleaseRapi(); }
    TTempDevice(const TTempDevice&) = delete;
    TTempDevice& operator=(const TTempDevice&) = delete;

    QString Path() const { return Root.path(); }
    // The local file that stands for `path` below the device folder.
    QString Local(const QString& path) const { return Root.filePath(path); }

    void Put(const QString& path, const std::string& bytes) const
    {
        QDir().mkpath(QFileInfo(Local(path)).path());
        WriteFileBytes(Local(path), bytes);
    }

    // Lists the map `name` in folder `folder` in the device registry, as the navigator does.
    static void SetMap(const QString& name, const QString& folder)
    {
        bool created = false;
        TRemoteKey key =
            CreateRemoteKey(RemoteCurrentUser, "Software\\TomTom\\TomTom Navigator\\Maps", created);
        SetRemoteString(key, name, folder);
        CloseRemoteKey(key);
    }

    std::string Get(const QString& path) const { return FileBytes(Local(path)); }

private:
    QTemporaryDir Root;
    TEnvironment Library;
    TEnvironment DeviceRoot;
};

// Answers questions from a script, cancelling when it runs out, and remembers everything it
// showed and asked.
class TScriptedPrompt : public IUserPrompt {
public:
    void ShowMessage(const QString& text) override { Shown.append(text); }
    TAnswer Ask(const QString& question, bool) override
    {
        Asked.append(question);
        return Answers.empty() ? TAnswer::Cancel : Answers.takeFirst();
    }

    QStringList Shown;
    QStringList Asked;
    QList<TAnswer> Answers;
};

// Files this process writes cannot grow past `bytes` for as long as it lives: a write beyond
// fails with "File too large", as a full disk fails with its own reason.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &Previous);
        PreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = Previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &Previous);
        std::signal(SIGXFSZ, PreviousHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit Previous {};
    void (*PreviousHandler)(int) = nullptr;
};

// The id of a process that has ended, as a killed writer's temporary files name it.
inline qint64 EndedProcessId()
{
    QProcess ended;
    ended.start("true");
    ended.waitForStarted();
    const qint64 pid = ended.processId();
    ended.waitForFinished();
    return pid;
}

// The names in `folder`, to see that nothing was left behind.
inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}
