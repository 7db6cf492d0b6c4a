// SPDX-License-Identifier: MIT
// How the calculator reads numbers out of the window's boxes. There are three readings, one
// reader each, and one rounding helper; nothing here looks at the C or C++ global locale.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

enum class ReadingStatus : std::uint8_t {
    Ok,
    NotANumber, // the text is not a number in the reading's grammar
    OutOfRange, // a number, but too large for a double (or, for an integer, for 32 bits)
};

// How the user writes numbers, from the window's locale: "." and "," in English, "," and "."
// in German. An empty group separator means that digits are not grouped.
struct NumberFormat {
    std::string decimalSeparator = ".";
    std::string groupSeparator;
};

struct RealReading {
    ReadingStatus status = ReadingStatus::NotANumber;
    double value = 0.0;
};

struct IntegerReading {
    ReadingStatus status = ReadingStatus::NotANumber;
    std::int32_t value = 0;
};

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, -0.5 -> -0),
// bit for bit as std::nearbyint does in the default rounding mode, which nothing in the program
// changes. Every rounding to an integer in the calculator goes through here; it is inline
// because the sweep rounds once per divider, and a call into the C library costs more there
// than the rest of the arithmetic.
inline double RoundHalfEven(double x)
{
    // From 2^52 on every double is whole. Below, adding 2^52 leaves no bits for a fraction, so
    // the addition itself rounds to the nearest whole number, ties to even.
    constexpr double kWholeFrom = 4503599627370496.0;
    const double magnitude = std::fabs(x);
    if (!(magnitude < kWholeFrom)) {
        return x;
    }
    return std::copysign((magnitude + kWholeFrom) - kWholeFrom, x);
}

// A frequency as the user types it in the format of their locale: optional blanks, an optional
// sign, digits with at most one decimal separator (at least one digit in all), an optional
// exponent ("e" or "E", optional sign, digits), optional blanks; blanks are spaces and tabs.
// The whole part may be grouped by threes ("16,800" in English); a group separator anywhere
// else makes the text unreadable. The value is the double nearest to the decimal number; one
// too small for a double reads as 0, one too large is OutOfRange.
RealReading ReadReal(std::string_view text, const NumberFormat &format);

// The same text rounded half to even to a whole number; outside -2147483648..2147483647 it is
// OutOfRange.
IntegerReading ReadInteger(std::string_view text, const NumberFormat &format);

// The max-error reading, which never fails: spaces, tabs and line feeds anywhere in the text are
// ignored, then the longest leading number is taken ("." as decimal point whatever the locale,
// optional exponent; "&H" and "&O" introduce a hexadecimal or octal whole number). Reading stops
// at the first character that cannot continue the number; no number at the start reads as 0.
// A number too large for a double reads as +/- infinity, one too small as 0.
double ReadLeadingNumber(std::string_view text);

} // namespace calc
