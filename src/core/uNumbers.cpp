#include "core/uNumbers.h"

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
    throw EConvertError(Tr(Msg::InvalidFloat).arg(CodePageToUnicode(text)));
}

double ParseFloat(std::string_view text, char otherSeparator)
{
    std::string_view number = WithoutLeadingBlanks(text);
    while (!number.empty() && static_cast<unsigned char>(number.back()) <= ' ')
        number.remove_suffix(1);
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
    double value = 0;
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
        throw EConvertError(Tr(Msg::InvalidInteger).arg(CodePageToUnicode(text)));
    return value;
}
