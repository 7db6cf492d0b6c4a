// SPDX-License-Identifier: MIT
#include "calc/report_text.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace calc {
namespace {

TEST(ReportNumber, RoundsToOneDecimalAndTrims)
{
    struct Case {
        double value;
        std::string text;
    };
    const std::vector<Case> cases = {
        { 100000.0, " 100000" },
        { 16800000.0 / 189, " 88888.9" },
        { 12509.3075, " 12509.3" },
        { -1.26, "-1.3" },
        { 0.25, " .2" }, // a tie in binary too: to the even digit
        { 0.75, " .8" }, // likewise
        { 0.35, " .3" }, // 0.35 is a little below 0.35 in binary
        { -0.05, "-.1" }, // and -0.05 a little beyond
        { 2.5, " 2.5" },
        { 1.0, " 1" },
        { 10.04, " 10" },
        { 0.0, " 0" },
        { -0.0, " 0" },
        { -0.04, " 0" }, // never "-0"
        { -12500.0, "-12500" },
        { 123456789012345.0, " 123456789012345" },
        { 123456789012345.6, " 1.23456789012346E+14" },
        { 1e20, " 1E+20" },
        { -2.5e300, "-2.5E+300" },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ReportNumber(c.value), c.text) << c.value;
    }
}

// The report number through decimal conversion: the C library's printf rounds the exact value
// of the double to one decimal, halves to even (with the "." of the C locale the tests run in);
// then the zeros, the point and the sign are trimmed.
std::string ByDecimalConversion(double value)
{
    std::array<char, 64> buffer {};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.1f", value);
    std::string digits(buffer.data(), static_cast<std::size_t>(length));
    const bool negative = digits.front() == '-';
    digits.erase(0, negative ? 1 : 0);
    digits.erase(digits.ends_with(".0") ? digits.size() - 2 : digits.size());
    if (digits == "0") {
        return " 0";
    }
    digits.erase(0, digits.starts_with("0.") ? 1 : 0);
    return (negative ? "-" : " ") + digits;
}

TEST(ReportNumber, AgreesWithDecimalConversionOfTheExactValue)
{
    std::mt19937_64 random(2330);
    for (int i = 0; i < 50'000; ++i) {
        // Every bit of the mantissa in play, from 2^43 down to the smallest fractions.
        const double value = std::ldexp(
            static_cast<double>(random() >> 11U), -static_cast<int>(10 + random() % 80));
        // A hundredth ending in 5, where the digits decide the rounding; and its neighbours.
        const double nearTie = static_cast<double>(random() % 100'000'000) / 20.0;
        for (double v : { value, -value, nearTie, std::nextafter(nearTie, 0.0),
                 std::nextafter(nearTie, 1e300), -nearTie }) {
            ASSERT_EQ(ReportNumber(v), ByDecimalConversion(v)) << v;
        }
    }
}

// The window sets the C locale from the user's desktop, where printf may write a decimal comma.
// CTest builds a German locale for this (LOCPATH); where none can be set, there is no comma.
class GermanNumbers {
public:
    GermanNumbers()
        : m_previous(std::setlocale(LC_NUMERIC, nullptr))
    {
        m_comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr
            && std::string(std::localeconv()->decimal_point) == ",";
    }
    ~GermanNumbers() { std::setlocale(LC_NUMERIC, m_previous.c_str()); }
    GermanNumbers(const GermanNumbers &) = delete;
    GermanNumbers &operator=(const GermanNumbers &) = delete;
    bool Comma() const { return m_comma; }

private:
    std::string m_previous;
    bool m_comma = false;
};

TEST(ReportNumber, KeepsItsPointUnderACommaLocale)
{
    // Numbers the exact integer path leaves to the C library, then one it writes itself.
    const std::vector<double> values = { 123456789012345.0, 123456789012345.6, 1e15, 1e20, -2.5e300,
        std::numeric_limits<double>::max(), 12509.3075 };
    std::vector<std::string> inC;
    for (double value : values) {
        inC.push_back(ReportNumber(value));
    }
    const GermanNumbers german;
    if (!german.Comma()) {
        GTEST_SKIP() << "no German locale to set (CTest builds one into LOCPATH)";
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(ReportNumber(values[i]), inC[i]) << values[i];
    }
}

TEST(WordToHex, SixUpperCaseDigitsWithinTheWord)
{
    EXPECT_EQ(WordToHex(0), "000000");
    EXPECT_EQ(WordToHex(131746), "0202A2");
    EXPECT_EQ(WordToHex(0xABCDEF), "ABCDEF");
    EXPECT_EQ(WordToHex(16777215), "FFFFFF");
    for (int value = 0; value < 256; ++value) {
        const std::string hex = ByteToHex(static_cast<std::uint8_t>(value));
        ASSERT_EQ(hex.size(), 2U);
        EXPECT_EQ(std::stoi(hex, nullptr, 16), value) << hex;
        EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
    }
}

TEST(WordToHex, CarriedWordsAreWrittenInFull)
{
    EXPECT_EQ(WordToHex(16777216), "1000000");
    EXPECT_EQ(WordToHex(0x2ABCDEF12), "2ABCDEF12");
    EXPECT_EQ(WordToHex(-1), "-1");
    EXPECT_EQ(WordToHex(-0x1A2B), "-1A2B");
}

TEST(ReportLines, HeaderHeadingsAndSeparator)
{
    EXPECT_EQ(HeaderLine("16800000", "100e6", "12500", "100000"),
        "Xtal = 16800000 Hz    Freq = 100e6 Hz    Ref low = 12500 Hz    Ref high = 100000 Hz    "
        "\r\n");
    EXPECT_EQ(HeaderLine("", " x ", "", ""),
        "Xtal =  Hz    Freq =  x  Hz    Ref low =  Hz    Ref high =  Hz    \r\n");
    EXPECT_EQ(HeadingLine(Side::RF),
        "RF R-counter\tRef frequency\tRF N-counter\tError\t\tRF R-reg\tRF N-reg\r\n");
    EXPECT_EQ(HeadingLine(Side::IF),
        "IF R-counter\tRef frequency\tIF N-counter\tError\t\tIF R-reg\tIF N-reg\r\n");
    EXPECT_EQ(SeparatorLine(), std::string(117, '-') + "\r\n");
}

TEST(ReportLines, RowColumnsAndBlanks)
{
    const MatchCandidate first {
        .r = 168, .fRef = 100000.0, .n = 1000, .error = 0.0, .b = 31, .a = 8
    };
    EXPECT_EQ(RowLine(first, { 0x0202A2, 0x003E23 }),
        "168\t\t 100000 Hz\t1000\t\t 0 Hz        \t0202A2\t003E23\r\n");

    const MatchCandidate negative {
        .r = 7, .fRef = 2.4e6, .n = -3, .error = -1.26, .b = 0, .a = 0
    };
    EXPECT_EQ(RowLine(negative, { 16777216, 5 }),
        "7\t\t 2400000 Hz\t-3\t\t-1.3 Hz        \t1000000\t000005\r\n");
}

TEST(ReportLines, FooterHasItsSevenLines)
{
    const std::string footer = FooterLines();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = footer.find("\r\n"); end != std::string::npos;
         end = footer.find("\r\n", start)) {
        lines.push_back(footer.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, footer.size()); // nothing after the last CR LF
    ASSERT_EQ(lines.size(), 7U);
    EXPECT_EQ(lines[0], "Thank you for using this software.");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2],
        "This is a free software and if you like it you are welcome to send a small donation.");
    EXPECT_TRUE(lines[3].starts_with("Donation can be sent to "));
    EXPECT_NE(lines[3].find(" by using PayPal ("), std::string::npos);
    EXPECT_TRUE(lines[3].ends_with(")"));
    EXPECT_EQ(lines[4], "");
    EXPECT_TRUE(lines[5].starts_with("LMX2330 can be found at "));
    EXPECT_EQ(lines[6], "Over and Out...");
}

} // namespace
} // namespace calc
