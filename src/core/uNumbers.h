#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

// Rounding shared by the entries and every format: to the nearest integer, halves to even,
// computed in extended precision.

inline long double RoundHalfEven(long double value)
{
    // Adding and taking away 2^(mantissa bits - 1) leaves no bits below the point, and the
    // addition rounds in the default mode: to nearest, halves to even. Much faster than the
    // library's nearbyintl, which saves and restores the whole FPU state on every call.
    constexpr long double Shift = [] {
        long double power = 1;
        for (int i = 1; i < std::numeric_limits<long double>::digits; ++i)
            power *= 2;
        return power;
    }();
    if (!(std::fabs(value) < Shift))
        return value; // too large to have a fraction, or not a number
    return value < 0 ? (value - Shift) + Shift : (value + Shift) - Shift;
}

// An integral extended value as a whole number. Going through double (exact below 2^53)
// lets the compiler use the SSE conversion; a direct conversion switches the x87 rounding
// mode twice, which stalls the processor and made it the largest cost of reading a file.
inline int64_t WholeNumber(long double integral)
{
    return static_cast<int64_t>(static_cast<double>(integral));
}

// Sixty times a fraction (0 <= fraction < 1) as its whole part and the rest below one, the
// rest rounded once to a double: the same as multiplying in extended precision, where the
// product is exact, and subtracting the whole part. Done in double arithmetic, as 64x - 4x
// with the rounding error of the difference kept, it runs several times faster.
struct TSixtieths {
    int Whole;
    double Rest;
};

inline TSixtieths SplitSixtieths(double fraction)
{
    const double times64 = fraction * 64.0, times4 = fraction * 4.0; // both exact
    const double sum = times64 - times4;
    const double part = sum - times64;
    const double error = (times64 - (sum - part)) + (-times4 - part); // sum + error is exact
    int whole = static_cast<int>(sum);
    if (whole == sum && error < 0)
        --whole; // the exact product lies just below the whole number the sum reached
    return { whole, (sum - whole) + error };
}

// 10^exponent in extended precision, for exponents from -18 to 18; a negative exponent is
// taken as 1 / 10^-exponent, so 10^-5 is the extended value nearest to 0.00001. From a table,
// as every coordinate read asks for it.
inline long double PowerOf10(int exponent)
{
    static const auto powers = [] {
        std::array<long double, 37> table;
        long double power = 1.0L;
        for (int i = 0; i <= 18; ++i, power *= 10.0L) {
            table[18 + i] = power;
            table[18 - i] = 1.0L / power;
        }
        return table;
    }();
    return powers.at(static_cast<size_t>(exponent + 18));
}

// `value` rounded to `digits` decimals: divided by 10^-digits and rounded in extended
// precision, then divided by the exact 10^digits as a double, which gives the double nearest
// the decimal number (multiplying back by the inexact 10^-digits can land one unit off, and
// 52.12346 would not read back as 52.12346).
inline double RoundToDecimals(long double value, int digits)
{
    const auto units = static_cast<double>(RoundHalfEven(value / PowerOf10(-digits)));
    return units / static_cast<double>(PowerOf10(digits));
}

// 10^digits for the precisions of coordinates (the settings allow 4 to 6; up to 9 keeps every
// coordinate in sixtieths of a second within 64 bits); from a table of whole numbers, as
// converting the extended power is slow.
inline int64_t WholePowerOf10(int digits)
{
    static constexpr std::array<int64_t, 10> Powers { 1, 10, 100, 1000, 10000, 100000, 1000000,
        10000000, 100000000, 1000000000 };
    return Powers.at(static_cast<size_t>(digits));
}

// A position on one axis as degrees, minutes, seconds and sixtieths of a second (the seconds'
// fraction, 0 <= SecFrac < 60).
struct TSexagesimal {
    int Deg;
    int Min;
    int Sec;
    double SecFrac;
};

// The value in degrees rounded to `digits` decimals (0..6), as a whole number of 10^-digits
// degrees: the parts summed in extended precision, then rounded, halves to even.
int64_t DecimalUnitsExtended(TSexagesimal value, int digits);
// The same number, found with whole-number arithmetic wherever its rounding is certain and
// with the extended sum only within a hair of a half: several times faster. Inline, as writers
// ask it twice for each of millions of entries.
inline int64_t DecimalUnits(TSexagesimal value, int digits)
{
    constexpr int64_t SixtiethsPerDegree = 216000;
    // One test of the parts or-ed together: tested one by one, the compiler reads two of them
    // from memory as one word just after writing them apart, which stalls the processor.
    if ((value.Deg | value.Min | value.Sec) == 0 && value.SecFrac == 0)
        return 0; // a new entry: spares importers the arithmetic
    if (!(value.SecFrac >= 0 && value.SecFrac < 60))
        return DecimalUnitsExtended(value, digits);
    // In sixtieths of a second times 10^digits the whole parts are an exact integer, leaving
    // only the fraction's share to floating point, where it is far smaller than the error
    // that could move a rounding.
    const int64_t power = WholePowerOf10(digits);
    const int64_t whole = ((int64_t(value.Deg) * 60 + value.Min) * 60 + value.Sec) * 60 * power;
    const int64_t quotient = whole / SixtiethsPerDegree;
    // Multiplied by the inverse, as dividing is several times slower; the product's error, a
    // few units in the last place, is far below the doubt that sends halves elsewhere.
    constexpr double PerSixtieth = 1.0 / SixtiethsPerDegree;
    const double rest = (static_cast<double>(whole % SixtiethsPerDegree)
                            + value.SecFrac * static_cast<double>(power))
        * PerSixtieth;
    const auto below = static_cast<int64_t>(rest); // rest is not negative
    const double fraction = rest - static_cast<double>(below);
    // Both ways are off by far less than this from the exact sum; nearer a half, only the
    // extended rounding (halves to even) gives the number the program has always written.
    constexpr double Doubt = 1e-6;
    if (std::fabs(fraction - 0.5) < Doubt)
        return DecimalUnitsExtended(value, digits);
    return quotient + below + (fraction > 0.5 ? 1 : 0);
}

// A fixed-point integer as degrees: the double nearest the exact quotient.
inline double FromFixedPoint(int32_t units, double scale) { return units / scale; }

// Degrees as a fixed-point integer, e.g. scale 100000 for 1/100000 degree.
inline int32_t ToFixedPoint(double degrees, long double scale)
{
    return static_cast<int32_t>(
        WholeNumber(RoundHalfEven(static_cast<long double>(degrees) * scale)));
}

// Number text in files: "." as decimal separator whatever the user's locale.

// Appends `value` in its shortest general form of up to 15 significant digits, as the XML
// formats write coordinates: fixed notation, and scientific ("1.5E-7") only for magnitudes
// below 0.00001 or from 10^15.
void AppendGeneral(std::string& out, double value);
// Appends `units` x 10^-decimals as AppendGeneral writes the double nearest it.
void AppendDecimalUnits(std::string& out, int64_t units, int decimals);
// Appends `units` x 10^-decimals with all `decimals` decimals, "-" only for a value other than
// zero.
void AppendFixedUnits(std::string& out, int64_t units, int decimals);
// Appends a whole number.
void AppendInteger(std::string& out, int64_t value);

// For writers that compose a record in place: the texts above, written at `out`, which has
// room for `NumberRoom` characters; each returns the end of its text.
inline constexpr size_t NumberRoom = 32;
char* PutDecimalUnits(char* out, int64_t units, int decimals);
char* PutFixedUnits(char* out, int64_t units, int decimals);
char* PutInteger(char* out, int64_t value);
// Copies a literal without its terminating zero to `out`; returns its end.
template <size_t N> char* PutText(char* out, const char (&text)[N])
{
    std::memcpy(out, text, N - 1);
    return out + N - 1;
}

// The decimal separator of the user's locale when it is not ".", else 0. Files written under
// such a locale by other programs may use it, so the locale-aware formats accept it too.
char LocaleDecimalSeparator();
// A decimal number with optional sign, decimals and exponent, blanks around it allowed; "."
// and `otherSeparator` (unless 0) mark the decimals. Fails with "'%1' is not a valid floating
// point value".
double ParseFloat(std::string_view text, char otherSeparator = 0);
// A 32-bit whole number with optional sign and leading blanks. Fails with "'%1' is not a
// valid integer value".
int32_t ParseInteger(std::string_view text);
