#include "core/uNumbers.h"

#include <cmath>
#include <cstdio>
#include <random>

#include <gtest/gtest.h>

#include "testing.h"

TEST(NumberText, FixedNotationWithAPoint)
{
    std::string out;
    AppendFixed(out, 4.889685, 5);
    out += ' ';
    AppendFixed(out, -0.000001, 5);
    out += ' ';
    AppendFixed(out, -12.5, 0);
    out += ' ';
    AppendInteger(out, -5237403);
    EXPECT_EQ(out, "4.88969 0.00000 -12 -5237403") << "halves to even, no negative zero";
}

TEST(NumberText, ParsesWhatOtherProgramsWrite)
{
    EXPECT_EQ(ParseFloat(" 04.88969 "), 4.88969);
    EXPECT_EQ(ParseFloat("+1.5e2"), 150);
    EXPECT_EQ(ParseFloat("-.5"), -0.5);
    EXPECT_EQ(ParseFloat("4,5", ','), 4.5);
    EXPECT_EQ(ParseFloat("4.5", ','), 4.5) << "the point stays good in a comma locale";
    for (const char* bad : { "", "-", "4,5", "nan", "inf", "1.2.3", "1 2", "0x10" })
        EXPECT_EQ(ErrorOf<EConvertError>([&] { ParseFloat(bad); }),
            QStringLiteral("'%1' is not a valid floating point value").arg(bad));

    EXPECT_EQ(ParseInteger(" -488969"), -488969);
    EXPECT_EQ(ParseInteger("+4"), 4);
    EXPECT_EQ(
        ErrorOf<EConvertError>([] { ParseInteger("4.5"); }), "'4.5' is not a valid integer value");
    EXPECT_THROW(ParseInteger("99999999999"), EConvertError);
    EXPECT_THROW(ParseInteger("4 "), EConvertError);
}

// A message quoting a file must not hand its terminal escapes, or a zero byte that would cut
// the message short, to the terminal.
TEST(NumberText, MessagesShowControlCharactersOfTheInputEscaped)
{
    const std::string hostile("\x1b[2J4\0!\x01", 8);
    EXPECT_EQ(ErrorOf<EConvertError>([&] { ParseFloat(hostile); }),
        "'\\x1b[2J4\\x00!\\x01' is not a valid floating point value");
    EXPECT_EQ(ErrorOf<EConvertError>([&] { ParseInteger(hostile); }),
        "'\\x1b[2J4\\x00!\\x01' is not a valid integer value");
}

TEST(NumberText, FixedPointRoundsHalvesToEven)
{
    EXPECT_EQ(ToFixedPoint(0.625, 4), 2);
    EXPECT_EQ(ToFixedPoint(0.875, 4), 4);
    EXPECT_EQ(ToFixedPoint(-0.625, 4), -2);
    EXPECT_EQ(ToFixedPoint(-180, 100000), -18000000);
    EXPECT_EQ(RoundToDecimals(2.5L, 0), 2);
    for (long double v : { 0.5L, 1.5L, -2.5L, 1e17L + 0.5L, 0.49999999999999999995L, -1e30L })
        EXPECT_EQ(RoundHalfEven(v), std::nearbyintl(v)) << static_cast<double>(v);
    EXPECT_EQ(RoundToDecimals(-2295191e-5L, 5), -22.95191) << "the double nearest the decimals";
}

TEST(NumberText, GeneralFormIsShortestUpToFifteenDigits)
{
    const auto general = [](double value) {
        std::string out;
        AppendGeneral(out, value);
        return out;
    };
    EXPECT_EQ(general(4.88969), "4.88969");
    EXPECT_EQ(general(-52.37403), "-52.37403");
    EXPECT_EQ(general(0.1 + 0.2), "0.3") << "rounded to 15 digits, not the 17 that read back";
    EXPECT_EQ(general(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(general(2.0 / 3 * 100), "66.6666666666667");
    EXPECT_EQ(general(9.9999999999999995), "10");
    EXPECT_EQ(general(180), "180");
    EXPECT_EQ(general(0), "0");
    EXPECT_EQ(general(-0.0), "0");
    EXPECT_EQ(general(0.00001), "0.00001");
    EXPECT_EQ(general(0.000123), "0.000123");
    EXPECT_EQ(general(0.000001), "1E-6") << "scientific below 0.00001";
    EXPECT_EQ(general(-0.0000015), "-1.5E-6");
    // Values of many digits take the general way; the threshold holds there too.
    EXPECT_EQ(general(-1.0 / 70000), "-0.0000142857142857143");
    EXPECT_EQ(general(1.0 / 110000), "9.09090909090909E-6");
    EXPECT_EQ(general(1e15), "1E15");
    EXPECT_EQ(general(123456789012345), "123456789012345");
    for (double value : { 4.88969, -0.000001, 1.0 / 7, 179.99999999999997 })
        EXPECT_NEAR(ParseFloat(general(value)), value, std::fabs(value) * 1e-14);
}

TEST(NumberText, GeneralFormAgreesWithPrintfOverManyValues)
{
    // printf's "%.15g" is the same form between 0.0001 and 10^15.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> degrees(-180, 180);
    for (int i = 0; i < 200000; ++i) {
        double value = degrees(random);
        if (i % 2 == 0) // the doubles nearest a few decimals, as read from most files
            value = std::round(value * std::pow(10, i % 10)) / std::pow(10, i % 10);
        if (std::fabs(value) < 0.0001)
            continue;
        char expected[40];
        std::snprintf(expected, sizeof expected, "%.15g", value);
        std::string out;
        AppendGeneral(out, value);
        ASSERT_EQ(out, expected);
    }
}
