#include "core/uUtils.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

#include "core/uSettings.h"
#include "platform/uBytes.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uRegistry.h"
#include "platform/uStreams.h"
#include "platform/uVersion.h"
#include "platform/uXml.h"

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
auto ReadRegValue(TRegistry& reg, const QString& key, Read read) -> decltype(read())
{
    struct TCloser {
        TRegistry& Reg;
        ~TCloser() { Reg.CloseKey(); }
    };
    if (!reg.OpenKeyReadOnly(key))
        return std::nullopt;
    TCloser closer { reg };
    return read();
}

} // namespace

bool ReadRegBool(TRegistry& reg, const QString& key, const QString& name, bool fallback)
{
    return ReadRegValue(reg, key, [&] { return reg.TryReadBool(name); }).value_or(fallback);
}

QString ReadRegString(
    TRegistry& reg, const QString& key, const QString& name, const QString& fallback)
{
    return ReadRegValue(reg, key, [&] { return reg.TryReadString(name); }).value_or(fallback);
}

int ReadRegInteger(
    TRegistry& reg, const QString& key, const QString& name, int high, int low, int fallback)
{
    std::optional<int> value = ReadRegValue(reg, key, [&] { return reg.TryReadInteger(name); });
    return value ? std::min(std::max(*value, low), high) : fallback;
}

void ReadRegStrings(TRegistry& reg, QStringList& list, bool unique)
{
    const QHash<QString, QString> values = reg.StringValues();
    QSet<QString> present;
    if (unique) {
        for (const QString& line : std::as_const(list))
            present.insert(line.toCaseFolded());
    }
    for (int i = 0;; ++i) {
        auto value = values.constFind(QString::number(i));
        if (value == values.cend())
            return;
        if (unique) {
            QString folded = value->toCaseFolded();
            if (present.contains(folded))
                continue;
            present.insert(folded);
        }
        list.append(*value);
    }
}

void WriteRegStrings(TRegistry& reg, const QStringList& list)
{
    QList<std::pair<QString, QString>> numbered;
    numbered.reserve(list.size());
    for (qsizetype i = 0; i < list.size(); ++i)
        numbered.append({ QString::number(i), list[i] });
    reg.WriteStrings(numbered);

    const QStringList names = reg.GetValueNames();
    const QSet<QString> stored(names.cbegin(), names.cend());
    QStringList leftOver;
    for (auto i = list.size(); stored.contains(QString::number(i)); ++i)
        leftOver.append(QString::number(i));
    reg.DeleteValues(leftOver);
}

static bool DevSwitchOn = false;

bool DevSwitch() { return DevSwitchOn; }
void SetDevSwitch(bool on) { DevSwitchOn = on; }

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
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

namespace {

// Searches that look at eight bytes a step, for the texts of millions of lines: a byte equal to
// the one sought leaves a zero in the exclusive or, and a zero byte is one whose subtraction
// borrows into its top bit. Borrows only run upwards, so the lowest byte flagged is exact.
constexpr uint64_t Ones = 0x0101010101010101, Tops = 0x8080808080808080;
constexpr size_t WordSize = sizeof(uint64_t);

// The eight bytes at `at`, the first of them lowest.
uint64_t WordAt(const char* at)
{
    uint64_t word;
    std::memcpy(&word, at, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

// The top bit of the bytes of `word` that equal `byte`.
uint64_t BytesEqual(uint64_t word, char byte)
{
    const uint64_t xored = word ^ (Ones * static_cast<uint8_t>(byte));
    return (xored - Ones) & ~xored & Tops;
}

bool HasLineBreak(std::string_view text)
{
    size_t i = 0;
    for (; i + WordSize <= text.size(); i += WordSize) {
        const uint64_t word = WordAt(text.data() + i);
        if (BytesEqual(word, '\r') | BytesEqual(word, '\n'))
            return true;
    }
    for (; i < text.size(); ++i)
        if (text[i] == '\r' || text[i] == '\n')
            return true;
    return false;
}

// The first comma or double quote at or after `from`, else the text's size.
size_t FindCommaOrQuote(std::string_view text, size_t from)
{
    size_t i = from;
    for (; i + WordSize <= text.size(); i += WordSize) {
        const uint64_t word = WordAt(text.data() + i);
        if (const uint64_t found = BytesEqual(word, ',') | BytesEqual(word, '"'))
            return i + static_cast<size_t>(std::countr_zero(found)) / 8;
    }
    for (; i < text.size(); ++i)
        if (text[i] == ',' || text[i] == '"')
            return i;
    return text.size();
}

// The double quote that closes the one before `from`, else the text's size.
size_t FindQuote(std::string_view text, size_t from)
{
    const size_t found = text.find('"', from);
    return found == std::string_view::npos ? text.size() : found;
}

} // namespace

void TCommaFields::Split(std::string_view text)
{
    Fields.clear();
    Unquoted.clear();
    Unquoted.reserve(text.size()); // room for every field without its quotes
    size_t start = 0;
    bool hadQuote = false;
    // The end of the text ends the last field as a comma would, even within quotes.
    for (size_t i = 0;;) {
        i = FindCommaOrQuote(text, i);
        if (i < text.size() && text[i] == '"') {
            hadQuote = true;
            i = FindQuote(text, i + 1);
            if (i < text.size()) {
                ++i;
                continue;
            }
        }
        AddField(text.substr(start, i - start), hadQuote);
        if (i == text.size())
            return;
        start = ++i;
        hadQuote = false;
    }
}

void TCommaFields::AddField(std::string_view field, bool hadQuote)
{
    if (hadQuote) {
        // Most quoted fields are one text between two quotes, which is kept where it lies.
        const size_t open = field.find('"');
        const size_t close = field.find('"', open + 1);
        if (close != std::string_view::npos && field.find('"', close + 1) == std::string_view::npos
            && Trim(field.substr(0, open)).empty() && Trim(field.substr(close + 1)).empty()) {
            Fields.push_back(Trim(field.substr(open + 1, close - open - 1)));
            return;
        }
        const size_t from = Unquoted.size();
        for (size_t quote; (quote = field.find('"')) != std::string_view::npos;
             field.remove_prefix(quote + 1))
            Unquoted.append(field.substr(0, quote));
        Unquoted.append(field);
        field = std::string_view(Unquoted).substr(from);
    }
    Fields.push_back(Trim(field));
}

void AppendOnOneLine(std::string& line, std::string_view text)
{
    const size_t start = line.size();
    line.append(text);
    if (!HasLineBreak(text))
        return;
    char* const end = line.data() + line.size();
    for (char* c = line.data() + start; c != end; ++c)
        if (*c == '\r' || *c == '\n')
            *c = ' ';
}

std::string RemoveLineBreaks(std::string_view text)
{
    std::string kept;
    for (char c : text)
        if (c != '\r' && c != '\n')
            kept.push_back(c);
    return std::string(Trim(kept));
}

QString XPathLiteral(const QString& text)
{
    const QLatin1Char apostrophe('\''), quote('"');
    if (!text.contains(apostrophe))
        return apostrophe + text + apostrophe;
    if (!text.contains(quote))
        return quote + text + quote;
    QStringList pieces;
    for (const QString& piece : text.split(apostrophe))
        pieces.append(apostrophe + piece + apostrophe);
    return QStringLiteral("concat(") + pieces.join(QStringLiteral(", \"'\", ")) + QLatin1Char(')');
}

bool RunsFromBuildTree()
{
    const QString build = QDir(QStringLiteral(MARIVEL_BINARY_DIR)).canonicalPath();
    return !build.isEmpty()
        && QDir(QCoreApplication::applicationDirPath())
               .canonicalPath()
               .startsWith(build + QLatin1Char('/'));
}

QString ApplicationDir()
{
    QString dir = qEnvironmentVariable("MARIVEL_HOME");
    if (dir.isEmpty())
        dir = RunsFromBuildTree()
            ? QCoreApplication::applicationDirPath()
            : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                + QStringLiteral("/marivel");
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString ProgramLibraryDir()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    return RunsFromBuildTree()
        ? programDir
        : QDir::cleanPath(programDir + QStringLiteral("/../" MARIVEL_INSTALL_LIBDIR "/marivel"));
}

QString UserGuideUrl(const char* section)
{
    // The guide that ships with this copy of the program comes first; the README stands in
    // where only it shipped, without the guide's sections.
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList folders { programDir, programDir + QStringLiteral("/../share/doc/marivel"),
        InstallDataDir(), QStringLiteral(MARIVEL_SOURCE_DIR) };
    for (const QString& folder : folders)
        for (const char* page : { "/docs/user-guide.md", "/README.md" }) {
            const QFileInfo candidate(folder + QLatin1String(page));
            if (!candidate.isFile())
                continue;
            QUrl url = QUrl::fromLocalFile(candidate.canonicalFilePath());
            if (section && candidate.fileName() != QLatin1String("README.md"))
                url.setFragment(QLatin1String(section));
            return url.toString();
        }
    return QString();
}

QString InstallDataDir()
{
    return QDir::cleanPath(
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/marivel"));
}

QString EnsureLeadingBackslash(const QString& path)
{
    return path.startsWith(QLatin1Char('\\')) ? path : QLatin1Char('\\') + path;
}

QString ExcludeTrailingBackslashExceptRoot(const QString& path)
{
    return path != QLatin1String("\\") && path.endsWith(QLatin1Char('\\')) ? path.chopped(1) : path;
}

namespace {

// Day 1 of time-stamp files is 1 January of year 1.
const qint64 TimeStampDayZero = QDate(1, 1, 1).toJulianDay() - 1;

} // namespace

QDateTime ReadTimeStampFile(const QString& file)
{
    TMappedFile stamp(file);
    TByteCursor record(TStreamBytes(stamp.Stream()).Bytes(), Msg::StreamReadError);
    const int32_t milliseconds = record.Int32();
    const int32_t day = record.Int32();
    return QDateTime(QDate::fromJulianDay(TimeStampDayZero + day),
        QTime::fromMSecsSinceStartOfDay(milliseconds));
}

void WriteTimeStampFile(const QString& file, const QDateTime& time)
{
    std::string record;
    AppendInt32(record, time.time().msecsSinceStartOfDay());
    AppendInt32(record, static_cast<int32_t>(time.date().toJulianDay() - TimeStampDayZero));
    SaveFileBytes(file, record);
}

std::array<int, 4> ParseVersion(const QString& text)
{
    std::array<int, 4> parts { -1, -1, -1, -1 };
    const QStringList texts = text.split(QLatin1Char('.'));
    for (size_t i = 0; i < parts.size() && i < size_t(texts.size()); ++i) {
        bool ok = false;
        parts[i] = texts[qsizetype(i)].trimmed().toInt(&ok);
        if (!ok)
            throw EConvertError(Tr(Msg::InvalidInteger).arg(EscapeControls(texts[qsizetype(i)])));
    }
    return parts;
}

void CheckMinimumVersion(const QString& required, const TProgramVersion& program)
{
    const std::array<int, 4> have { program.Major, program.Minor, program.Release, program.Build };
    const std::array<int, 4> needed = ParseVersion(required);
    for (size_t i = 0; i < needed.size(); ++i) {
        if (needed[i] > have[i])
            throw EUserError(Tr(Msg::NeedsNewerVersion).arg(required));
        if (needed[i] < have[i])
            return;
    }
}

void CheckSiteXmlVersion(const TXmlDocument& document)
{
    if (const TXmlNode version = document.Root().SelectNode(QStringLiteral("pois/marivel/version")))
        CheckMinimumVersion(version.Text());
}

QString AutoUpdateKey() { return MainKey + QStringLiteral("\\AutoUpdateItems"); }

namespace {

QString SiteKey(const QString& site)
{
    return AutoUpdateKey() + QLatin1Char('\\')
        + QString(site).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// Passwords are stored scrambled, not encrypted: they only must not show as plain text to
// someone reading the settings file. Byte i of the password's UTF-8 form becomes
//     s[i] = (b[i] XOR k[i]) + s[i-1]  (mod 256), with s[-1] = 0x5A,
// where k is a key stream of the generator x = x * 1103515245 + 12345 (mod 2^32), seeded
// with 0x4D617269 and stepped once per byte, k[i] = (x >> 16) & 0xFF. Chaining each byte to
// the one before keeps repeated characters from showing. "Password.v2" holds s as two
// hexadecimal digits per byte; the older "Password" held the bytes s themselves.
constexpr uint8_t ScrambleStart = 0x5A;

class TKeyStream {
public:
    uint8_t Next()
    {
        State = State * 1103515245u + 12345u;
        return static_cast<uint8_t>(State >> 16);
    }

private:
    uint32_t State = 0x4D617269;
};

QByteArray Scramble(const QByteArray& plain)
{
    QByteArray scrambled(plain.size(), '\0');
    TKeyStream key;
    uint8_t previous = ScrambleStart;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        previous = static_cast<uint8_t>((static_cast<uint8_t>(plain[i]) ^ key.Next()) + previous);
        scrambled[i] = static_cast<char>(previous);
    }
    return scrambled;
}

QByteArray Unscramble(const QByteArray& scrambled)
{
    QByteArray plain(scrambled.size(), '\0');
    TKeyStream key;
    uint8_t previous = ScrambleStart;
    for (qsizetype i = 0; i < scrambled.size(); ++i) {
        const auto byte = static_cast<uint8_t>(scrambled[i]);
        plain[i] = static_cast<char>(static_cast<uint8_t>(byte - previous) ^ key.Next());
        previous = byte;
    }
    return plain;
}

} // namespace

QString ReadAutoUpdateValue(const QString& site, const QString& name)
{
    TRegistry reg;
    return ReadRegString(reg, SiteKey(site), name, QString());
}

void WriteAutoUpdateValue(const QString& site, const QString& name, const QString& text)
{
    TRegistry reg;
    if (!reg.OpenKey(AutoUpdateKey(), true) || !reg.OpenKey(SiteKey(site), true))
        throw Exception(Tr(Msg::RegistryWriteFailed));
    reg.WriteString(name, text);
    reg.CloseKey();
}

QString ReadAutoUpdatePassword(const QString& site)
{
    QByteArray scrambled =
        QByteArray::fromHex(ReadAutoUpdateValue(site, QStringLiteral("Password.v2")).toLatin1());
    if (scrambled.isEmpty())
        scrambled = ReadAutoUpdateValue(site, QStringLiteral("Password")).toLatin1();
    return QString::fromUtf8(Unscramble(scrambled));
}

QString ScrambledPassword(const QString& password)
{
    return QString::fromLatin1(Scramble(password.toUtf8()).toHex());
}

namespace {

const QString LocalesKey = QStringLiteral("\\software\\borland\\locales");

} // namespace

QString GetLanguageExtension()
{
    TRegistry reg;
    return ReadRegString(reg, LocalesKey, QCoreApplication::applicationFilePath(), QString());
}

void SetLanguageExtension(const QString& extension)
{
    TRegistry reg;
    if (!reg.OpenKey(LocalesKey, true))
        throw Exception(Tr(Msg::RegistryWriteFailed));
    reg.WriteString(QCoreApplication::applicationFilePath(), extension);
    reg.CloseKey();
}
