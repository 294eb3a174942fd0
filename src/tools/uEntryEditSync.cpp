#include "tools/uEntryEditSync.h"

#include <algorithm>
#include <cmath>

#include <QRegularExpression>

#include "core/uModel.h"
#include "core/uNumbers.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

QString& TEditTexts::operator[](TEditField field)
{
    // In the order of the fields.
    static constexpr QString TEditTexts::*Members[] = { &TEditTexts::Description,
        &TEditTexts::Latitude, &TEditTexts::Longitude, &TEditTexts::LatDeg, &TEditTexts::LatMin,
        &TEditTexts::LatSec, &TEditTexts::LonDeg, &TEditTexts::LonMin, &TEditTexts::LonSec,
        &TEditTexts::LatSign, &TEditTexts::LonSign };
    return this->*Members[static_cast<size_t>(field)];
}

TEditTexts TEntryEditSync::FromEntry(const TEntry* entry)
{
    TEditTexts texts;
    if (!entry)
        return texts;
    texts.Enabled = true;
    texts.Description = Utf8ToUnicode(entry->Description());
    texts.Latitude = entry->LatitudeStr();
    texts.Longitude = entry->LongitudeStr();
    texts.LatDeg = QString::number(entry->LatDeg());
    texts.LatMin = QString::number(entry->LatMin());
    texts.LatSec = QString::number(entry->LatSec());
    texts.LonDeg = QString::number(entry->LonDeg());
    texts.LonMin = QString::number(entry->LonMin());
    texts.LonSec = QString::number(entry->LonSec());
    texts.LatSign = Tr(entry->LatSouth() ? Msg::South : Msg::North);
    texts.LonSign = Tr(entry->LonWest() ? Msg::West : Msg::East);
    return texts;
}

namespace {

// A hemisphere button's caption in the letters of the program's language (Dutch: N/O/Z/W) or
// in the English ones.
bool Shows(const QString& caption, const char* letter)
{
    return caption == QLatin1String(letter) || caption == Tr(letter);
}

double Decimal(const QString& text)
{
    return ParseFloat(text.toStdString(), LocaleDecimalSeparator());
}

// Degrees, minutes and seconds are whole: a fraction typed into one is cut off.
double Whole(const QString& text) { return std::clamp(std::trunc(Decimal(text)), 0.0, 255.0); }

// The largest whole value of a degree, minute or second field.
int LimitOf(TEditField field)
{
    switch (field) {
    case TEditField::LatDeg:
        return 90;
    case TEditField::LonDeg:
        return 180;
    default:
        return 59;
    }
}

bool TakesDecimals(TEditField field)
{
    return field == TEditField::LatSec || field == TEditField::LonSec;
}

// Only a value that differs reaches the entry, so an unchanged field leaves it unmarked.
template <typename T>
bool SetIfChanged(TEntry& entry, T (TEntry::*get)() const, void (TEntry::*set)(T), T value)
{
    if ((entry.*get)() == value)
        return false;
    (entry.*set)(value);
    return true;
}

bool SetPart(TEntry& entry, TEditField field, uint8_t (TEntry::*get)() const,
    void (TEntry::*set)(uint8_t), const QString& text)
{
    const double value = Whole(text);
    return value <= LimitOf(field) && SetIfChanged(entry, get, set, static_cast<uint8_t>(value));
}

// A value beyond the pole or the date line is refused rather than taken as the nearest one.
bool SetDecimal(TEntry& entry, double (TEntry::*get)() const, void (TEntry::*set)(double),
    const QString& text, double limit, const char* outOfRange)
{
    const double value = Decimal(text);
    if (std::fabs(value) > limit)
        throw EUserError(Tr(outOfRange).arg(text));
    return SetIfChanged(entry, get, set, value);
}

// A change of position counts only when the entry ends up elsewhere: a minute beyond the pole
// is taken back to it, and would leave an undo step that changes nothing.
template <typename TChange> bool MovesEntry(TEntry& entry, TChange change)
{
    TEntry moved = entry;
    if (!change(moved))
        return false;
    constexpr int Exactly = 9;
    if (moved.LatitudeUnits(Exactly) == entry.LatitudeUnits(Exactly)
        && moved.LongitudeUnits(Exactly) == entry.LongitudeUnits(Exactly)
        && moved.LatSouth() == entry.LatSouth() && moved.LonWest() == entry.LonWest())
        return false;
    entry = moved;
    return true;
}

bool SetPosition(TEntry& entry, TEditField field, const QString& text)
{
    switch (field) {
    case TEditField::Latitude:
        return SetDecimal(entry, &TEntry::Latitude, &TEntry::SetLatitude, text,
            LimitOf(TEditField::LatDeg), Msg::LatitudeOutOfRange);
    case TEditField::Longitude:
        return SetDecimal(entry, &TEntry::Longitude, &TEntry::SetLongitude, text,
            LimitOf(TEditField::LonDeg), Msg::LongitudeOutOfRange);
    case TEditField::LatDeg:
        return SetPart(entry, field, &TEntry::LatDeg, &TEntry::SetLatDeg, text);
    case TEditField::LatMin:
        return SetPart(entry, field, &TEntry::LatMin, &TEntry::SetLatMin, text);
    case TEditField::LatSec:
        return SetPart(entry, field, &TEntry::LatSec, &TEntry::SetLatSec, text);
    case TEditField::LonDeg:
        return SetPart(entry, field, &TEntry::LonDeg, &TEntry::SetLonDeg, text);
    case TEditField::LonMin:
        return SetPart(entry, field, &TEntry::LonMin, &TEntry::SetLonMin, text);
    case TEditField::LonSec:
        return SetPart(entry, field, &TEntry::LonSec, &TEntry::SetLonSec, text);
    case TEditField::LatSign:
        entry.SetLatSouth(!Shows(text, Msg::South));
        return true;
    case TEditField::LonSign:
        entry.SetLonWest(!Shows(text, Msg::West));
        return true;
    case TEditField::Description:
        break;
    }
    return false;
}

} // namespace

bool TEntryEditSync::ToEntry(TEntry& entry, TEditField field, const QString& text)
{
    if (field == TEditField::Description) {
        std::string description = text.toStdString();
        if (description == entry.Description())
            return false;
        entry.SetDescription(std::move(description));
        return true;
    }
    return MovesEntry(entry, [&](TEntry& moved) { return SetPosition(moved, field, text); });
}

QString TEntryEditSync::WithSign(const QString& text, bool negative)
{
    const bool hasMinus = text.startsWith('-');
    if (negative)
        return hasMinus ? text : '-' + text;
    return hasMinus ? text.mid(1) : text;
}

TDegreePartValidator::TDegreePartValidator(TEditField field, QObject* parent, bool wholeSeconds)
    : QValidator(parent)
    , Field(field)
    , WholeSeconds(wholeSeconds)
{
}

QValidator::State TDegreePartValidator::validate(QString& input, int&) const
{
    if (input.isEmpty())
        return Intermediate;
    QString separators = QStringLiteral(".");
    if (const char other = LocaleDecimalSeparator())
        separators += QLatin1Char(other);
    const QRegularExpression form(QRegularExpression::anchoredPattern(
        TakesDecimals(Field) && !WholeSeconds
            ? QStringLiteral("(\\d{1,3})([%1]\\d*)?").arg(QRegularExpression::escape(separators))
            : QStringLiteral("(\\d{1,3})")));
    const QRegularExpressionMatch match = form.match(input);
    return match.hasMatch() && match.captured(1).toInt() <= LimitOf(Field) ? Acceptable : Invalid;
}
