#include "core/uNumbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include <QLocale>

#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

void AppendFixed(std::string& out, double value, int decimals)
{
    // Whole numbers are much faster to write than floating point; coordinates are far from
    // the range where the scaled value stops being exact.
    const long double scaled = RoundHalfEven(value * PowerOf10(decimals));
    if (!(std::fabs(scaled) < 9e15L)) { // beyond that a double no longer holds every whole number
        char buffer[400];
        auto [end, error] = std::to_chars(
            buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        out.append(buffer, end);
        return;
    }
    const int64_t units = WholeNumber(scaled);
    const auto width = static_cast<size_t>(decimals);
    // The digits, with leading zeros up to one before the point, then the point put in.
    char digits[48];
    auto [end, error] =
        std::to_chars(digits, digits + 24, static_cast<uint64_t>(units < 0 ? -units : units));
    auto length = static_cast<size_t>(end - digits);
    if (length <= width) {
        const size_t zeros = width + 1 - length;
        std::memmove(digits + zeros, digits, length);
        std::memset(digits, '0', zeros);
        length += zeros;
    }
    char text[48];
    size_t size = 0;
    if (units < 0)
        text[size++] = '-';
    const size_t whole = length - width;
    std::memcpy(text + size, digits, whole);
    size += whole;
    if (width > 0) {
        text[size++] = '.';
        std::memcpy(text + size, digits + whole, width);
        size += width;
    }
    out.append(text, size);
}

namespace {

// A finite value's significant digits, without trailing zeros, and its decimal exponent:
// value = d1.d2d3... * 10^Exponent, so 150 has the digits "15" and the exponent 2.
struct TDecimalDigits {
    bool Negative = false;
    char Digits[24] = {};
    size_t Count = 0;
    int Exponent = 0;
};

TDecimalDigits GeneralDigits(double value, int precision)
{
    char buffer[64];
    // The shortest text that reads back as `value` is also its rounding to `precision`
    // digits whenever it is no longer than that, and it is much faster to make.
    char* end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    const char* e = std::find(buffer, end, 'e');
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (std::count_if(static_cast<const char*>(buffer), e, isDigit) > precision) {
        end = std::to_chars(
            buffer, buffer + sizeof buffer, value, std::chars_format::scientific, precision - 1)
                  .ptr;
        e = std::find(buffer, end, 'e');
    }
    TDecimalDigits result;
    const char* c = buffer;
    if (*c == '-') {
        result.Negative = true;
        ++c;
    }
    for (; c < e; ++c)
        if (*c != '.')
            result.Digits[result.Count++] = *c;
    while (result.Count > 1 && result.Digits[result.Count - 1] == '0')
        --result.Count;
    std::from_chars(e + 1 + (e[1] == '+'), end, result.Exponent);
    return result;
}

// `units` of 10^-decimals as decimal text, without the decimals' trailing zeros; built from
// the last digit back.
static void AppendFixedPoint(std::string& out, int64_t units, int decimals)
{
    char text[32];
    char* const end = text + sizeof text;
    char* p = end;
    auto rest = static_cast<uint64_t>(units < 0 ? -units : units);
    for (; decimals > 0 && rest % 10 == 0; --decimals)
        rest /= 10;
    for (int i = 0; i < decimals; ++i, rest /= 10)
        *--p = static_cast<char>('0' + rest % 10);
    if (decimals > 0)
        *--p = '.';
    do
        *--p = static_cast<char>('0' + rest % 10);
    while ((rest /= 10) != 0);
    if (units < 0)
        *--p = '-';
    out.append(p, end);
}

// Coordinates are mostly the doubles nearest to numbers of a few decimals. Such a number,
// having at most 15 significant digits, is the value's 15-digit form too, and whole-number
// arithmetic finds it much faster than the general way.
bool AppendFewDecimals(std::string& out, double value)
{
    constexpr int Decimals = 9;
    constexpr double Scale = 1e9;
    if (!(std::fabs(value) >= 0.00001 && std::fabs(value) < 1e5))
        return false;
    const auto units = static_cast<int64_t>(std::nearbyint(value * Scale));
    if (static_cast<double>(units) / Scale != value)
        return false;
    AppendFixedPoint(out, units, Decimals);
    return true;
}

} // namespace

void AppendGeneral(std::string& out, double value)
{
    constexpr int Precision = 15;
    if (value == 0 || !std::isfinite(value)) {
        out += value == 0 ? "0" : std::isnan(value) ? "NAN" : value > 0 ? "INF" : "-INF";
        return;
    }
    if (AppendFewDecimals(out, value))
        return;
    const TDecimalDigits number = GeneralDigits(value, Precision);
    const std::string_view digits(number.Digits, number.Count);
    if (number.Negative)
        out += '-';
    if (number.Exponent < -5 || number.Exponent >= Precision) {
        out += digits.front();
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        AppendInteger(out, number.Exponent);
    } else if (number.Exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-number.Exponent - 1), '0');
        out += digits;
    } else {
        const auto whole = static_cast<size_t>(number.Exponent) + 1;
        out += digits.substr(0, whole);
        if (digits.size() < whole)
            out.append(whole - digits.size(), '0');
        else if (digits.size() > whole) {
            out += '.';
            out += digits.substr(whole);
        }
    }
}

int64_t WholePowerOf10(int digits)
{
    static constexpr std::array<int64_t, 10> Powers { 1, 10, 100, 1000, 10000, 100000, 1000000,
        10000000, 100000000, 1000000000 };
    return Powers.at(static_cast<size_t>(digits));
}

void AppendDecimalUnits(std::string& out, int64_t units, int decimals)
{
    const auto magnitude = static_cast<uint64_t>(units < 0 ? -units : units);
    const auto power = static_cast<uint64_t>(WholePowerOf10(decimals));
    // Below 0.00001 the general form is scientific, and from 10^5 its digits could be more
    // than the double holds; coordinates are neither.
    if (units == 0 || magnitude < power / 100000 || magnitude >= power * 100000) {
        AppendGeneral(out, static_cast<double>(units) / static_cast<double>(power));
        return;
    }
    AppendFixedPoint(out, units, decimals);
}

int64_t DecimalUnitsExtended(const TSexagesimal& value, int digits)
{
    // Minutes and seconds are whole numbers, so their parts of a degree come from tables.
    static const auto divided = [](long double divisor) {
        std::array<long double, 256> table;
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = i / divisor;
        return table;
    };
    static const auto minuteParts = divided(60.0L), secondParts = divided(3600.0L);
    const long double degrees = value.Deg + minuteParts.at(static_cast<size_t>(value.Min))
        + secondParts.at(static_cast<size_t>(value.Sec)) + (value.SecFrac / 60.0L) / 3600.0L;
    return WholeNumber(RoundHalfEven(degrees / PowerOf10(-digits)));
}

int64_t DecimalUnits(const TSexagesimal& value, int digits)
{
    constexpr int64_t SixtiethsPerDegree = 216000;
    if (value.Deg == 0 && value.Min == 0 && value.Sec == 0 && value.SecFrac == 0)
        return 0; // a new entry: spares importers the arithmetic
    if (!(value.SecFrac >= 0 && value.SecFrac < 60))
        return DecimalUnitsExtended(value, digits);
    // In sixtieths of a second times 10^digits the whole parts are an exact integer, leaving
    // only the fraction's share to floating point, where it is far smaller than the error
    // that could move a rounding.
    const int64_t power = WholePowerOf10(digits);
    const int64_t whole = ((int64_t(value.Deg) * 60 + value.Min) * 60 + value.Sec) * 60 * power;
    const int64_t quotient = whole / SixtiethsPerDegree;
    const double rest = (static_cast<double>(whole % SixtiethsPerDegree)
                            + value.SecFrac * static_cast<double>(power))
        / SixtiethsPerDegree;
    const auto below = static_cast<int64_t>(rest); // rest is not negative
    const double fraction = rest - static_cast<double>(below);
    // Both ways are off by far less than this from the exact sum; nearer a half, only the
    // extended rounding (halves to even) gives the number the program has always written.
    constexpr double Doubt = 1e-6;
    if (std::fabs(fraction - 0.5) < Doubt)
        return DecimalUnitsExtended(value, digits);
    return quotient + below + (fraction > 0.5 ? 1 : 0);
}

void AppendInteger(std::string& out, int64_t value)
{
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

char LocaleDecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point[0] != QLatin1Char('.') && point[0].unicode() < 0x80
        ? static_cast<char>(point[0].unicode())
        : 0;
}

static std::string_view WithoutLeadingBlanks(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    return text;
}

[[noreturn]] static void FailFloat(std::string_view text)
{
    throw EConvertError(Tr(Msg::InvalidFloat).arg(EscapeControls(CodePageToUnicode(text))));
}

// Plain decimals such as "-5.60438", the numbers files hold, with at most 15 digits: both
// the digits as a whole number and the power of ten are exact doubles, so their quotient is
// the correctly rounded value, as from_chars gives it, at a fraction of the cost. Other
// forms answer false.
static bool ParsePlainDecimal(std::string_view text, double& value)
{
    constexpr size_t MaxDigits = 15;
    static constexpr double Powers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
        1e11, 1e12, 1e13, 1e14, 1e15 };
    const bool negative = text.starts_with('-');
    size_t i = negative ? 1 : 0;
    uint64_t digits = 0;
    size_t count = 0;
    size_t point = std::string_view::npos;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<uint64_t>(c - '0');
            ++count;
        } else if (c == '.' && point == std::string_view::npos && count > 0) {
            point = count;
        } else {
            return false;
        }
    }
    if (count == 0 || count > MaxDigits || point == count)
        return false;
    const double magnitude =
        static_cast<double>(digits) / Powers[point == std::string_view::npos ? 0 : count - point];
    value = negative ? -magnitude : magnitude;
    return true;
}

double ParseFloat(std::string_view text, char otherSeparator)
{
    std::string_view number = WithoutLeadingBlanks(text);
    while (!number.empty() && static_cast<unsigned char>(number.back()) <= ' ')
        number.remove_suffix(1);
    double value = 0;
    // A plain decimal needs no separator replaced, unless the other one is a character it holds.
    const bool separatorIsPlain =
        otherSeparator == '-' || (otherSeparator >= '0' && otherSeparator <= '9');
    if (!separatorIsPlain && ParsePlainDecimal(number, value))
        return value;
    char buffer[64];
    if (number.size() >= sizeof buffer)
        FailFloat(text);
    size_t length = 0;
    for (char c : number)
        buffer[length++] = c == otherSeparator && c != 0 ? '.' : c;
    std::string_view digits(buffer, length);
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-')
        digits.remove_prefix(1);
    // from_chars would also take "inf" and "nan", which are no numbers in a file.
    const size_t lead = !digits.empty() && digits[0] == '-' ? 1 : 0;
    if (digits.size() <= lead
        || !(digits[lead] == '.' || (digits[lead] >= '0' && digits[lead] <= '9')))
        FailFloat(text);
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        FailFloat(text);
    return value;
}

int32_t ParseInteger(std::string_view text)
{
    std::string_view number = WithoutLeadingBlanks(text);
    if (!number.empty() && number.front() == '+' && number.size() > 1 && number[1] != '-')
        number.remove_prefix(1);
    int32_t value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size())
        throw EConvertError(Tr(Msg::InvalidInteger).arg(EscapeControls(CodePageToUnicode(text))));
    return value;
}
