#pragma once

#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "platform/uVersion.h"

class TRegistry;
class TXmlDocument;

// Numbers in files are written and read with "." whatever the user's locale.
const QLocale& InvariantFormatSettings();

// Each opens `key` read-only and answers the value `name` when it exists, else `fallback`. A
// value of another type counts as missing, so a hand-edited file never stops the program.
bool ReadRegBool(TRegistry& reg, const QString& key, const QString& name, bool fallback);
QString ReadRegString(
    TRegistry& reg, const QString& key, const QString& name, const QString& fallback);
// The value is first raised to `low`, then lowered to `high`.
int ReadRegInteger(
    TRegistry& reg, const QString& key, const QString& name, int high, int low, int fallback);

// Lists live in a key as string values named "0", "1", ...; reading stops at the first
// missing number (or one of another type). With `unique`, strings already in `list` (ignoring
// case) are passed over.
void ReadRegStrings(TRegistry& reg, QStringList& list, bool unique);
// Writes the list into the open key and deletes the numbered values left over from a longer
// list written before.
void WriteRegStrings(TRegistry& reg, const QStringList& list);

// The "/dev" switch of the command line: generated files leave out today's date, so they
// compare equal from run to run.
bool DevSwitch();
void SetDevSwitch(bool on);

// Text of the line-oriented formats: 8-bit, lines ended by CR, LF or CR LF.

// Calls `visit` with each line of `text`; a line break at the very end starts no further
// line. Keeps none of them, for texts too large to hold a list of their lines.
template <class TVisit> void ForEachLine(std::string_view text, TVisit visit)
{
    // memchr looks at many bytes a step. The next LF is kept from line to line, so that a
    // text of CR-ended lines is not searched to its end for each of them.
    const char* const end = text.data() + text.size();
    const char* lineFeed = nullptr;
    for (const char* start = text.data(); start < end;) {
        if (!lineFeed || lineFeed < start) {
            lineFeed = static_cast<const char*>(
                std::memchr(start, '\n', static_cast<size_t>(end - start)));
            if (!lineFeed)
                lineFeed = end;
        }
        const auto* stop = static_cast<const char*>(
            std::memchr(start, '\r', static_cast<size_t>(lineFeed - start)));
        if (!stop)
            stop = lineFeed;
        visit(std::string_view(start, static_cast<size_t>(stop - start)));
        start = stop + 1;
        if (stop + 1 < end && stop[0] == '\r' && stop[1] == '\n')
            ++start;
    }
}
// The lines `ForEachLine` visits.
std::vector<std::string_view> SplitLines(std::string_view text);
// Without leading and trailing blanks and control characters.
std::string_view Trim(std::string_view text);
// Comma-separated fields: a double quote toggles quoting and is dropped, a comma outside
// quotes ends a field, and each field is trimmed. There is always a last field, so an empty
// text gives one empty field. Fields view the text split, so it must outlive them; a field
// that held quotes anywhere but around it views room of this object's own. Reused from line to
// line, to spare allocations on long files.
class TCommaFields {
public:
    void Split(std::string_view text);
    size_t size() const { return Fields.size(); }
    std::string_view operator[](size_t index) const { return Fields[index]; }

private:
    void AddField(std::string_view field, bool hadQuote);

    std::vector<std::string_view> Fields;
    std::string Unquoted; // never grows while views into it live
};
// Without CR and LF, trimmed.
std::string RemoveLineBreaks(std::string_view text);
// Appends `text` to a line of a line-oriented file, each CR and LF as a blank: a line break
// would end the record early, and the file would not read back.
void AppendOnOneLine(std::string& line, std::string_view text);

// `text` as an XPath string literal, quotes included, for a predicate such as
// "poi[description=%1]": XPath knows no escapes inside a literal, so a text holding both
// quote kinds becomes a concat() of pieces.
QString XPathLiteral(const QString& text);
// Whether the program runs from the folder it was built in, rather than from an installation.
bool RunsFromBuildTree();
// The folder of maps and of downloaded site indexes, with a trailing "/": MARIVEL_HOME when
// set, else the executable's folder in a build tree, else the user's data folder
// (~/.local/share/marivel), since an installation's folders are not the user's to write.
QString ApplicationDir();
// The folder of the program's own libraries, librapi and the shipped plugins (no trailing "/"):
// the executable's folder in a build tree, else the installation's "../lib/marivel".
QString ProgramLibraryDir();
// The user guide that ships with the program as a "file://" address, at the heading whose
// anchor is `section` when given, else its README: beside the executable, in the
// installation's documentation or data folder, or in the source tree of a build; empty when
// none of them holds either.
QString UserGuideUrl(const char* section = nullptr);
// The data folder of an installation, "../share/marivel" from the executable (no trailing
// "/"). A build tree lays out its generated data the same way beside its programs.
QString InstallDataDir();
QString EnsureLeadingBackslash(const QString& path);
QString ExcludeTrailingBackslashExceptRoot(const QString& path);

// Time-stamp files: 8 bytes, the milliseconds of the day and the day number counted from
// 1 January of year 1 as day 1, both 32-bit little-endian, in local time.
QDateTime ReadTimeStampFile(const QString& file);
void WriteTimeStampFile(const QString& file, const QDateTime& time);

// "a.b.c.d" as four numbers, -1 for the parts missing; fails with EConvertError on a part
// that is not a number.
std::array<int, 4> ParseVersion(const QString& text);
// Fails (a user error) when `program` is older than `required`.
void CheckMinimumVersion(const QString& required, const TProgramVersion& program = ProgramVersion);
// Checks the version a site index requires ("pois/marivel/version"), when it names one.
void CheckSiteXmlVersion(const TXmlDocument& document);

// The registry key of the AutoUpdate items; per-site values live in its sub-keys.
QString AutoUpdateKey();
// Per-site values of the AutoUpdate items (user name, password), empty when missing.
QString ReadAutoUpdateValue(const QString& site, const QString& name);
// Fails with "Could not access registry for writing".
void WriteAutoUpdateValue(const QString& site, const QString& name, const QString& text);
// The site's password, from its scrambled form.
QString ReadAutoUpdatePassword(const QString& site);
// The form in which a password is written as the value "Password.v2".
QString ScrambledPassword(const QString& password);

// The language code the program starts in, kept per executable; empty when none is set.
QString GetLanguageExtension();
void SetLanguageExtension(const QString& extension);
