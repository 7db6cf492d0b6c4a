// SPDX-License-Identifier: MIT
#include "calc/number_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace calc {
namespace {

const NumberFormat kEnglish { ".", "," };
const NumberFormat kGerman { ",", "." };

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0.0);
    EXPECT_TRUE(std::signbit(RoundHalfEven(-0.5)));
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.5000000000000004), 3.0);
    EXPECT_EQ(RoundHalfEven(-3.7), -4.0);
}

// Bit for bit what the C library's nearbyint gives, across magnitudes, signs and the edges
// where a double stops having a fraction.
TEST(RoundHalfEven, AgreesWithNearbyint)
{
    std::vector<double> values = { 0.0, -0.0, 0.49999999999999994, 4503599627370495.5,
        4503599627370496.0, 9007199254740993.0, 1e300, std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::denorm_min(), 2147483647.5, -2147483648.5 };
    std::uint64_t bits = 0x9E3779B97F4A7C15ULL;
    for (int i = 0; i < 100000; ++i) {
        bits ^= bits << 13;
        bits ^= bits >> 7;
        bits ^= bits << 17;
        const double unit = static_cast<double>(bits >> 11) / 9007199254740992.0;
        const double scale = std::ldexp(1.0, static_cast<int>(bits % 64) - 8);
        values.push_back((unit - 0.5) * scale);
        values.push_back(std::floor(unit * scale) + 0.5); // a tie
    }
    for (double x : values) {
        const double expected = std::nearbyint(x);
        EXPECT_EQ(std::signbit(RoundHalfEven(x)), std::signbit(expected)) << x;
        EXPECT_EQ(RoundHalfEven(x), expected) << x;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

TEST(ReadReal, ReadsTheNumbersUsersType)
{
    struct Case {
        std::string text;
        double value;
    };
    const std::vector<Case> cases = {
        { "16800000", 16800000.0 },
        { "100e6", 100e6 },
        { "16.8E6", 16800000.0 },
        { "  12500\t", 12500.0 },
        { "+5", 5.0 },
        { "-5", -5.0 },
        { ".5", 0.5 },
        { "5.", 5.0 },
        { "1e-3", 0.001 },
        { "2.5E+9", 2.5e9 },
        { "0.1", 0.1 },
        { "16,800", 16800.0 },
        { "1,234,567.25", 1234567.25 },
        { "1e-400", 0.0 },
        { "000000000000000000000000000001", 1.0 },
    };
    for (const Case &c : cases) {
        const RealReading reading = ReadReal(c.text, kEnglish);
        EXPECT_EQ(reading.status, ReadingStatus::Ok) << c.text;
        EXPECT_EQ(reading.value, c.value) << c.text;
    }
}

TEST(ReadReal, RejectsWhatIsNotANumber)
{
    for (const std::string text :
        { "", " ", "abc", "5 Hz", "1 000", "1e", "e5", ".", "+", "-", "1.2.3", "0x10", "inf", "nan",
            "16,8", "1234,567", ",800", "1,000,00", "1e5.5", "--5", "5-", "1,5" }) {
        EXPECT_EQ(ReadReal(text, kEnglish).status, ReadingStatus::NotANumber) << text;
    }
}

TEST(ReadReal, NumbersBeyondADoubleAreOutOfRange)
{
    EXPECT_EQ(ReadReal("1e400", kEnglish).status, ReadingStatus::OutOfRange);
    EXPECT_EQ(ReadReal("-1e400", kEnglish).status, ReadingStatus::OutOfRange);
    EXPECT_EQ(ReadReal("1e99999999999999999999", kEnglish).status, ReadingStatus::OutOfRange);
    EXPECT_EQ(ReadReal("0.000001e309", kEnglish).value, 1e303);

    const RealReading tiny = ReadReal("-1e-99999999999999999999", kEnglish);
    EXPECT_EQ(tiny.status, ReadingStatus::Ok);
    EXPECT_EQ(tiny.value, 0.0);
}

TEST(ReadReal, FollowsTheUsersDecimalSeparator)
{
    EXPECT_EQ(ReadReal("16,8E6", kGerman).value, 16800000.0);
    EXPECT_EQ(ReadReal("1.000.000,5", kGerman).value, 1000000.5);
    EXPECT_EQ(ReadReal(" 0,25 ", kGerman).value, 0.25);
    EXPECT_EQ(ReadReal("16.8", kGerman).status, ReadingStatus::NotANumber);
    EXPECT_EQ(ReadReal("100e6", kGerman).value, 100e6);

    // A separator of several bytes, as some locales have; and a format without grouping.
    EXPECT_EQ(ReadReal("2\u066B5", NumberFormat { "\u066B", "\u066C" }).value, 2.5);
    EXPECT_EQ(ReadReal("16,800", NumberFormat { ".", "" }).status, ReadingStatus::NotANumber);
}

TEST(ReadInteger, RoundsHalfToEvenWithinThirtyTwoBits)
{
    struct Case {
        std::string text;
        std::int32_t value;
    };
    const std::vector<Case> cases = {
        { "2.5", 2 },
        { "3.5", 4 },
        { "-2.5", -2 },
        { "-0.5", 0 },
        { "16.8E6", 16800000 },
        { "2147483647", 2147483647 },
        { "2147483647.4", 2147483647 },
        { "-2147483648", -2147483648 },
        { "-2147483648.5", -2147483648 },
    };
    for (const Case &c : cases) {
        const IntegerReading reading = ReadInteger(c.text, kEnglish);
        EXPECT_EQ(reading.status, ReadingStatus::Ok) << c.text;
        EXPECT_EQ(reading.value, c.value) << c.text;
    }
    for (const std::string text : { "2147483647.5", "-2147483649", "1e10", "1e400" }) {
        EXPECT_EQ(ReadInteger(text, kEnglish).status, ReadingStatus::OutOfRange) << text;
    }
    EXPECT_EQ(ReadInteger("12 500", kEnglish).status, ReadingStatus::NotANumber);
}

TEST(ReadLeadingNumber, TakesTheLongestLeadingNumber)
{
    struct Case {
        std::string text;
        double value;
    };
    const std::vector<Case> cases = {
        { "abc", 0.0 },
        { "", 0.0 },
        { "5 Hz", 5.0 },
        { "1 000", 1000.0 },
        { " \t\n7", 7.0 },
        { "- 3", -3.0 },
        { "+2", 2.0 },
        { "2.5.1", 2.5 },
        { "1,5", 1.0 },
        { "1e3", 1000.0 },
        { "1E-2", 0.01 },
        { "1e", 1.0 },
        { "1e+", 1.0 },
        { "1e+x", 1.0 },
        { ".5", 0.5 },
        { "&H1F", 31.0 },
        { "&hff", 255.0 },
        { "&O17", 15.0 },
        { "&o19", 1.0 },
        { "&H", 0.0 },
        { "&Hxyz", 0.0 },
        { "&X12", 0.0 },
        { "1e-400", 0.0 },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ReadLeadingNumber(c.text), c.value) << c.text;
    }
    EXPECT_EQ(ReadLeadingNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadLeadingNumber("-1e400"), -std::numeric_limits<double>::infinity());
}

TEST(ReadLeadingNumber, TextAfterACompleteNumberDoesNotChangeIt)
{
    for (const std::string number : { "12.5", "-3e2", "&H1F", "0" }) {
        for (const std::string tail : { "kHz", " Hz", ",5", "&H", "x9" }) {
            EXPECT_EQ(ReadLeadingNumber(number + tail), ReadLeadingNumber(number)) << number + tail;
        }
    }
}

} // namespace
} // namespace calc
