#include "core/uNumbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include <QLocale>

#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"

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

// The text "00" to "99".
constexpr std::array<char, 200> DigitPairs = [] {
    std::array<char, 200> pairs {};
    for (size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes `rest` back from `end` with a point before its last `decimals` digits and at least
// one digit before the point. Two digits a step, and in 32 bits where the number fits, as each
// step waits for the multiplication of the one before.
template <class TUnsigned> void PutDigitsBack(char* end, TUnsigned rest, int decimals)
{
    char* p = end;
    const auto putPair = [&] {
        p -= 2;
        std::memcpy(p, &DigitPairs[2 * static_cast<size_t>(rest % 100)], 2);
        rest /= 100;
    };
    for (int left = decimals; left > 0; left -= 2) {
        if (left == 1) {
            *--p = static_cast<char>('0' + rest % 10);
            rest /= 10;
            break;
        }
        putPair();
    }
    if (decimals > 0)
        *--p = '.';
    while (rest >= 100)
        putPair();
    if (rest >= 10)
        putPair();
    else
        *--p = static_cast<char>('0' + rest);
}

// The number of decimal digits of `value`: from its bit width, corrected by one comparison.
int DigitCount(uint64_t value)
{
    static constexpr std::array<uint64_t, 20> Powers = [] {
        std::array<uint64_t, 20> powers {};
        uint64_t power = 1;
        for (uint64_t& entry : powers) {
            entry = power;
            power *= 10;
        }
        return powers;
    }();
    const auto log = static_cast<size_t>(std::bit_width(value | 1) * 1233 >> 12); // * log10(2)
    return static_cast<int>(log) + 1 - static_cast<int>(value < Powers[log]); // no branch to miss
}

// `units` of 10^-decimals as decimal text at `out`; of the decimals' trailing zeros only those
// that make up `keptDecimals` decimals stay. Returns the end of the text.
char* PutFixedPoint(char* out, int64_t units, int decimals, int keptDecimals)
{
    // Negated as unsigned, which holds the magnitude of the most negative number too.
    uint64_t rest = units < 0 ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
    for (; decimals > keptDecimals && rest % 10 == 0; --decimals)
        rest /= 10;
    if (units < 0)
        *out++ = '-';
    char* const end = out + std::max(DigitCount(rest), decimals + 1) + (decimals > 0 ? 1 : 0);
    if (rest <= UINT32_MAX)
        PutDigitsBack(end, static_cast<uint32_t>(rest), decimals);
    else
        PutDigitsBack(end, rest, decimals);
    return end;
}

void AppendFixedPoint(std::string& out, int64_t units, int decimals, int keptDecimals)
{
    char text[NumberRoom];
    out.append(
        text, static_cast<size_t>(PutFixedPoint(text, units, decimals, keptDecimals) - text));
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
    AppendFixedPoint(out, units, Decimals, 0);
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

char* PutDecimalUnits(char* out, int64_t units, int decimals)
{
    const uint64_t magnitude =
        units < 0 ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
    const auto power = static_cast<uint64_t>(WholePowerOf10(decimals));
    // Below 0.00001 the general form is scientific, and from 10^5 its digits could be more
    // than the double holds; coordinates are neither.
    if (units == 0 || magnitude < power / 100000 || magnitude >= power * 100000) {
        std::string general;
        AppendGeneral(general, static_cast<double>(units) / static_cast<double>(power));
        return std::copy(general.begin(), general.end(), out);
    }
    return PutFixedPoint(out, units, decimals, 0);
}

void AppendDecimalUnits(std::string& out, int64_t units, int decimals)
{
    char text[NumberRoom];
    out.append(text, static_cast<size_t>(PutDecimalUnits(text, units, decimals) - text));
}

char* PutFixedUnits(char* out, int64_t units, int decimals)
{
    return PutFixedPoint(out, units, decimals, decimals);
}

void AppendFixedUnits(std::string& out, int64_t units, int decimals)
{
    AppendFixedPoint(out, units, decimals, decimals);
}

char* PutInteger(char* out, int64_t value) { return PutFixedUnits(out, value, 0); }

int64_t DecimalUnitsExtended(TSexagesimal value, int digits)
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

void AppendInteger(std::string& out, int64_t value) { AppendFixedUnits(out, value, 0); }

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
    throw EConvertError(Tr(Msg::InvalidFloat).arg(EscapeControls(Utf8ToUnicode(text))));
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
        throw EConvertError(Tr(Msg::InvalidInteger).arg(EscapeControls(Utf8ToUnicode(text))));
    return value;
}
