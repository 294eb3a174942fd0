#include "core/uNumbers.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <iomanip>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testing.h"

TEST(NumberText, ParsesWhatOtherProgramsWrite)
{
    EXPECT_EQ(ParseFloat(" 04.88969 "), 4.88969);
    EXPECT_EQ(ParseFloat("+1.5e2"), 150);
    EXPECT_EQ(ParseFloat("-.5"), -0.5);
    for (const char* bad : { "", "-", "4,5", "nan", "inf", "1.2.3", "1 2", "0x10" })
        EXPECT_EQ(ErrorOf<EConvertError>([&] { ParseFloat(bad); }),
            QStringLiteral("'%1' is not a valid floating point value").arg(bad));

    EXPECT_EQ(ParseInteger(" -488969"), -488969);
    EXPECT_EQ(ParseInteger("+4"), 4);
    for (const char* bad : { "4.5", "99999999999", "4 " })
        EXPECT_THROW(ParseInteger(bad), EConvertError) << bad;

    // A message quoting a file must not hand its terminal escapes, or a zero byte that would cut
    // the message short, to the terminal.
    const std::string hostile("\x1b[2J4\0!\x01", 8);
    EXPECT_EQ(ErrorOf<EConvertError>([&] { ParseFloat(hostile); }),
        "'\\x1b[2J4\\x00!\\x01' is not a valid floating point value");
    EXPECT_EQ(ErrorOf<EConvertError>([&] { ParseInteger(hostile); }),
        "'\\x1b[2J4\\x00!\\x01' is not a valid integer value");
}

// The whole-number way for plain decimals must give the very double the general parser
// gives, bit for bit, on both sides of its 15-digit limit and for every other form.
TEST(NumberText, ParsesPlainDecimalsExactlyAsTheGeneralParser)
{
    const auto reference = [](const std::string& text) {
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return std::bit_cast<uint64_t>(value);
    };
    std::mt19937_64 random(11);
    std::vector<std::string> texts { "0", "-0", "0.0", "-0.000", "5", "180", "-180.000000000",
        "999999999999999", "9999999999999999", "0.000000000000001", "0.0000000000000001",
        "1.00000000000000", "123456789.012345", "-89.999999999999999", "4503599627370497.5",
        "9007199254740993", "0.1", "0.3", "2.675", "1e5", "1.5E-3" };
    for (int i = 0; i < 300000; ++i) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const int whole = static_cast<int>(random() % 12);
        const int decimals = static_cast<int>(random() % 13);
        text +=
            std::to_string(random() % 1000000000000ULL).substr(0, static_cast<size_t>(whole + 1));
        if (decimals > 0) {
            text += '.';
            for (int d = 0; d < decimals; ++d)
                text += static_cast<char>('0' + random() % 10);
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts)
        ASSERT_EQ(std::bit_cast<uint64_t>(ParseFloat(text)), reference(text)) << text;
}

TEST(NumberText, GeneralFormIsShortestUpToFifteenDigits)
{
    const auto general = [](double value) {
        std::string out;
        AppendGeneral(out, value);
        return out;
    };
    // Rounded to 15 digits, not the 17 that read back; scientific below 0.00001, also for values
    // of many digits, which take the general way.
    for (const auto& [value, text] :
        std::initializer_list<std::pair<double, const char*>> { { 4.88969, "4.88969" },
            { -52.37403, "-52.37403" }, { 0.1 + 0.2, "0.3" }, { 1.0 / 3, "0.333333333333333" },
            { 2.0 / 3 * 100, "66.6666666666667" }, { 9.9999999999999995, "10" }, { 180, "180" },
            { 0, "0" }, { -0.0, "0" }, { 0.00001, "0.00001" }, { 0.000123, "0.000123" },
            { 0.000001, "1E-6" }, { -0.0000015, "-1.5E-6" },
            { -1.0 / 70000, "-0.0000142857142857143" }, { 1.0 / 110000, "9.09090909090909E-6" },
            { 1e15, "1E15" }, { 123456789012345, "123456789012345" } })
        EXPECT_EQ(general(value), text) << value;
}

namespace {

// Both ways of finding an axis's decimal value, for one value at every precision.
void ExpectSameUnits(const TSexagesimal& value)
{
    for (int digits = 0; digits <= 6; ++digits)
        ASSERT_EQ(DecimalUnits(value, digits), DecimalUnitsExtended(value, digits))
            << value.Deg << ' ' << value.Min << ' ' << value.Sec << ' ' << value.SecFrac << " at "
            << digits;
}

// An entry given `degrees` keeps the value whole until its parts are asked for: read whole, it
// must give the units its parts give, also where a rounding is closest.
void ExpectEntryReadsAsItsParts(double degrees)
{
    TEntry entry;
    entry.SetLongitude(degrees);
    const TSexagesimal parts { entry.LonDeg(), entry.LonMin(), entry.LonSec(), entry.LonSecFrac() };
    ExpectSameUnits(parts);
    const int64_t sign = entry.LonWest() ? -1 : 1;
    for (int digits = 0; digits <= 6; ++digits)
        ASSERT_EQ(entry.LongitudeUnits(digits), sign * DecimalUnitsExtended(parts, digits))
            << std::setprecision(17) << degrees << " at " << digits;
}

} // namespace

// The whole-number way must give the number the extended sum gives for every value, also
// where a rounding is closest: decimal halves, 59.999... seconds, the ends of the axes.
TEST(DecimalUnits, AgreeWithTheExtendedSum)
{
    for (int deg : { 0, 1, 89, 90, 179, 180 })
        for (int min : { 0, 1, 30, 59, 60, 255 })
            for (int sec : { 0, 9, 30, 59, 255 })
                for (double frac : { 0.0, 0.5, 30.0, 59.94, 59.999999, std::nextafter(60.0, 0.0) })
                    ExpectSameUnits({ deg, min, sec, frac });

    for (const double edge :
        { 0.0, -0.0, 1e-300, 180.0, 179.99999999999997, 200.0, -0.000005, -0.0000005, 89.9999995 })
        ExpectEntryReadsAsItsParts(edge);
    std::mt19937_64 engine(7);
    for (int i = 0; i < 20000; ++i) {
        // A decimal half at some precision, which rounding to one fewer decimal splits, and the
        // doubles next to it; numbers of a few decimals, as most files hold; any double.
        const int decimals = 1 + static_cast<int>(engine() % 9);
        const double scale = std::pow(10.0, decimals);
        const auto units = static_cast<int64_t>(engine() % static_cast<uint64_t>(180 * scale));
        const double half = (static_cast<double>(units) + 0.5) / scale;
        const double sign = i % 2 ? 1 : -1;
        for (const double value : { half, std::nextafter(half, 0.0), std::nextafter(half, 200.0),
                 static_cast<double>(units) / scale,
                 std::ldexp(static_cast<double>(engine() >> 11), -53) * 180 })
            ExpectEntryReadsAsItsParts(sign * value);
        ExpectSameUnits({ static_cast<int>(engine() % 181), static_cast<int>(engine() % 256),
            static_cast<int>(engine() % 256),
            std::ldexp(static_cast<double>(engine() >> 11), -53) * 60 });
    }
    for (double seconds = 59.9; seconds < 60; seconds = (seconds + 60) / 2)
        ExpectEntryReadsAsItsParts(10 + 59 / 60.0 + seconds / 3600);
}

// Written from whole numbers, coordinates must read exactly as the double they stand for.
TEST(DecimalUnits, AreWrittenAsTheGeneralFormOfTheirValue)
{
    std::mt19937_64 engine(11);
    std::vector<int64_t> values { 0, 1, -1, 9, 10, 99, 100, 12345, 180000000, -90000000, 5, -50 };
    for (int i = 0; i < 20000; ++i)
        values.push_back(static_cast<int64_t>(engine() % 360000001) - 180000000);
    for (int digits = 0; digits <= 6; ++digits)
        for (const int64_t units : values) {
            std::string general, decimal;
            AppendGeneral(general, static_cast<double>(units) / std::pow(10.0, digits));
            AppendDecimalUnits(decimal, units, digits);
            ASSERT_EQ(decimal, general) << units << " at " << digits;
        }
}
