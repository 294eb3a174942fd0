#pragma once

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include <QLocale>
#include <QString>
#include <QStringList>

class TRegistry;

// Numbers in files are written and read with "." whatever the user's locale.
const QLocale& InvariantFormatSettings();

// Each opens `key` read-only and answers the value `name` when it exists, else `fallback`.
bool ReadRegBool(TRegistry& reg, const QString& key, const QString& name, bool fallback);
QString ReadRegString(
    TRegistry& reg, const QString& key, const QString& name, const QString& fallback);
// The value is first raised to `low`, then lowered to `high`.
int ReadRegInteger(
    TRegistry& reg, const QString& key, const QString& name, int high, int low, int fallback);

// Lists live in a key as string values named "0", "1", ...; reading stops at the first
// missing number. With `unique`, strings already in `list` (ignoring case) are passed over.
void ReadRegStrings(TRegistry& reg, QStringList& list, bool unique);
// Writes the list into the open key and deletes the numbered values left over from a longer
// list written before.
void WriteRegStrings(TRegistry& reg, const QStringList& list);

// The "/dev" switch of the command line: generated files leave out today's date, so they
// compare equal from run to run.
bool DevSwitch();
void SetDevSwitch(bool on);

// Text of the line-oriented formats: 8-bit, lines ended by CR, LF or CR LF.

// The lines of `text`; a line break at the very end starts no further line.
std::vector<std::string_view> SplitLines(std::string_view text);
// Without leading and trailing blanks and control characters.
std::string_view Trim(std::string_view text);
// Comma-separated fields: a double quote toggles quoting and is dropped, a comma outside
// quotes ends a field, and each field is trimmed. There is always a last field, so an empty
// text gives one empty field. `fields` is reused, to spare allocations on long files.
void SplitCommaText(std::string_view text, std::vector<std::string>& fields);
// Without CR and LF, trimmed.
std::string RemoveLineBreaks(std::string_view text);
