// SPDX-License-Identifier: MIT
#include "calc/report_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace calc {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kSeparatorWidth = 117;
constexpr int kMaxSignificantDigits = 15;

// The footer's addresses. The contact and the chip's page are placeholders under reserved
// example domains until the project has addresses of its own.
constexpr std::string_view kDonationAddress = "donations@example.org";
constexpr std::string_view kPaymentServiceAddress = "https://www.paypal.com/";
constexpr std::string_view kChipPageAddress = "https://www.example.com/lmx2330";

char HexDigit(unsigned digit)
{
    return static_cast<char>(digit < 10 ? digit + 48 : digit + 55);
}

// A row is written into a buffer on the stack, piece by piece, and added to the report at
// once: each writer puts its text at `at` and returns the end of what it wrote.
constexpr std::size_t kLongestDecimal = 20; // "-9223372036854775808"
constexpr std::size_t kLongestWordHex = 17; // "-8000000000000000"
constexpr std::size_t kLongestReportNumber = 32; // at most 23: "-1.23456789012346E+308"

char *Put(char *at, std::string_view text)
{
    return std::copy(text.begin(), text.end(), at);
}

// Fixed text, whose length the compiler knows: a move or two rather than a call.
template <std::size_t kSize> char *Put(char *at, const char (&text)[kSize])
{
    std::memcpy(at, text, kSize - 1);
    return at + kSize - 1;
}

// "00" to "99", so that the digits of a decimal number are written two at a time.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs {};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

char *PutDecimal(char *at, std::int64_t value)
{
    auto magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *at++ = '-';
        magnitude = 0 - magnitude;
    }
    std::size_t digits = 1;
    for (std::uint64_t rest = magnitude; rest >= 10; rest /= 10) {
        ++digits;
    }
    char *const end = at + digits;
    char *next = end;
    for (; magnitude >= 100; magnitude /= 100) {
        next -= 2;
        std::memcpy(next, &kDigitPairs[2 * (magnitude % 100)], 2);
    }
    if (magnitude >= 10) {
        std::memcpy(next - 2, &kDigitPairs[2 * static_cast<std::size_t>(magnitude)], 2);
    } else {
        next[-1] = static_cast<char>('0' + magnitude);
    }
    return end;
}

char *PutByteHex(char *at, std::uint8_t value)
{
    const unsigned high = value / 16U;
    const unsigned low = value - 16U * high;
    *at++ = HexDigit(high);
    *at++ = HexDigit(low);
    return at;
}

char *PutWordHex(char *at, std::int64_t value)
{
    constexpr std::int64_t kLargestWord = 0xFFFFFF;
    if (value >= 0 && value <= kLargestWord) {
        // value / 65536, then the rest / 256 and what remains, as shifts and masks.
        const auto word = static_cast<std::uint32_t>(value);
        const std::uint32_t hi = word >> 16U;
        const std::uint32_t mid = (word >> 8U) & 0xFFU;
        const std::uint32_t lo = word & 0xFFU;
        at = PutByteHex(at, static_cast<std::uint8_t>(hi));
        at = PutByteHex(at, static_cast<std::uint8_t>(mid));
        return PutByteHex(at, static_cast<std::uint8_t>(lo));
    }
    char *const end = std::to_chars(at, at + kLongestWordHex, value, 16).ptr;
    for (char *c = at; c != end; ++c) {
        *c = (*c >= 'a' && *c <= 'f') ? static_cast<char>(*c - 'a' + 'A') : *c;
    }
    return end;
}

// Digits that count toward the 15 significant digits of a fixed-point text: all of them but
// the sign, the point and leading zeros.
int SignificantDigits(std::string_view digits)
{
    int count = 0;
    bool leading = true;
    for (char c : digits) {
        if (c == '.' || (leading && c == '0')) {
            continue;
        }
        leading = false;
        ++count;
    }
    return count;
}

// The C library's printf gives the exact decimal rounding of a double, halves to even, in every
// C library the program is built with (glibc, musl, macOS's); std::to_chars would too, but the
// standard libraries of WebAssembly and of older macOS lack it for doubles. printf writes its
// decimal point in the C locale's LC_NUMERIC, which the window sets from the user's desktop
// (',' for a German user), so only the digits, the sign and the exponent are taken out of it.
std::string PrintfDigits(const char *format, double value)
{
    std::array<char, 400> buffer {}; // the largest double has 309 whole digits
    const int length = std::snprintf(buffer.data(), buffer.size(), format, value);
    const std::string_view text(
        buffer.data(), std::min(static_cast<std::size_t>(std::max(length, 0)), buffer.size() - 1));
    std::string digits;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || c == 'e' || c == '+' || c == '-') {
            digits += c;
        }
    }
    return digits;
}

// 15 significant digits with an exponent, "1.23456789012346E+17", for magnitudes the fixed form
// cannot show within 15 digits.
std::string ScientificText(double magnitude)
{
    // "d<point>ddddddddddddddde+xx" without its point: the first digit comes before the point.
    const std::string text = PrintfDigits("%.14e", magnitude);
    const std::size_t e = text.find('e');
    std::string_view fraction = std::string_view(text).substr(1, e - 1);
    while (fraction.ends_with('0')) {
        fraction.remove_suffix(1);
    }
    std::string result(1, text.front());
    if (!fraction.empty()) {
        result.append(".").append(fraction);
    }
    result += 'E';
    result.append(text.substr(e + 1));
    return result;
}

// The report number of most values, by exact integer arithmetic rather than through decimal
// conversion: a finite double is m x 2^-k with m below 2^53, so ten times it is (10 m) / 2^k,
// and the bits shifted out decide the rounding, halves to even. Writes the text and returns
// its end when the value rounds to fewer than 10^15 tenths (at most 15 significant digits, so
// never the exponent form); otherwise returns null and writes nothing.
char *PutReportNumberOfTenths(char *at, double value)
{
    constexpr int kMantissaBits = 52;
    constexpr int kExponentBias = 1075; // the exponent field of 1, plus the mantissa's 52 bits
    constexpr int kLargestShift = 60; // 10 m < 2^57 must keep its top bits within 64
    constexpr std::uint64_t kTenthsLimit = 1'000'000'000'000'000;

    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63U) != 0;
    const auto exponent = static_cast<int>((bits >> kMantissaBits) & 0x7FFU);
    if (exponent == 0x7FF) {
        return nullptr; // infinite, or not a number
    }
    std::uint64_t tenths = 0;
    const int shift = kExponentBias - exponent;
    if (shift < 0) {
        return nullptr; // 2^53 or more
    }
    // Below 2^-8, subnormals included, everything rounds to 0 tenths.
    if (exponent != 0 && shift <= kLargestShift) {
        const std::uint64_t mantissa = (bits & ((std::uint64_t { 1 } << kMantissaBits) - 1))
            | (std::uint64_t { 1 } << kMantissaBits);
        const std::uint64_t scaled = mantissa * 10;
        tenths = scaled >> static_cast<unsigned>(shift);
        if (shift > 0) {
            const std::uint64_t rest
                = scaled & ((std::uint64_t { 1 } << static_cast<unsigned>(shift)) - 1);
            const std::uint64_t half = std::uint64_t { 1 } << static_cast<unsigned>(shift - 1);
            if (rest > half || (rest == half && (tenths & 1U) != 0)) {
                ++tenths;
            }
        }
    }
    if (tenths >= kTenthsLimit) {
        return nullptr;
    }
    if (tenths == 0) {
        return Put(at, " 0"); // never "-0" for a small negative error
    }
    *at++ = negative ? '-' : ' ';
    const std::uint64_t whole = tenths / 10;
    const auto tenth = static_cast<unsigned>(tenths - 10 * whole);
    if (whole != 0) {
        at = PutDecimal(at, static_cast<std::int64_t>(whole));
    }
    if (tenth != 0) {
        *at++ = '.';
        *at++ = static_cast<char>('0' + tenth);
    }
    return at;
}

// The report number of what the integer path leaves: not a number, infinities, and magnitudes
// of 10^14 and more.
std::string ReportNumberInGeneral(double value)
{
    std::string out;
    if (std::isnan(value)) {
        out.append(" NaN");
        return out;
    }
    if (std::isinf(value)) {
        out.append(value < 0 ? "-Infinity" : " Infinity");
        return out;
    }
    // Fixed notation with one decimal is exact decimal rounding of the double, halves to even:
    // 0.25 gives 0.2, 88888.888... gives 88888.9. Without its point, the last digit is the tenth.
    std::string digits = PrintfDigits("%.1f", value);
    const bool negative = digits.starts_with('-');
    if (negative) {
        digits.erase(0, 1);
    }
    const char tenth = digits.back();
    digits.pop_back();
    if (tenth != '0') {
        digits.append(".").push_back(tenth);
    }
    out += negative ? '-' : ' ';
    if (SignificantDigits(digits) > kMaxSignificantDigits) {
        out.append(ScientificText(std::fabs(value)));
    } else {
        out.append(digits);
    }
    return out;
}

char *PutReportNumber(char *at, double value)
{
    if (char *end = PutReportNumberOfTenths(at, value)) {
        return end;
    }
    const std::string text = ReportNumberInGeneral(value);
    return Put(at, std::string_view(text).substr(0, kLongestReportNumber));
}

} // namespace

std::string HeaderLine(std::string_view crystal, std::string_view wanted, std::string_view refLow,
    std::string_view refHigh)
{
    std::string line;
    line.reserve(crystal.size() + wanted.size() + refLow.size() + refHigh.size() + 64);
    line.append("Xtal = ").append(crystal).append(" Hz    ");
    line.append("Freq = ").append(wanted).append(" Hz    ");
    line.append("Ref low = ").append(refLow).append(" Hz    ");
    line.append("Ref high = ").append(refHigh).append(" Hz    ");
    line.append(kLineEnd);
    return line;
}

std::string HeadingLine(Side side)
{
    const std::string_view name = ProfileOf(side).name;
    std::string line;
    line.append(name).append(" R-counter\tRef frequency\t");
    line.append(name).append(" N-counter\tError\t\t");
    line.append(name).append(" R-reg\t");
    line.append(name).append(" N-reg");
    line.append(kLineEnd);
    return line;
}

std::string SeparatorLine()
{
    std::string line(kSeparatorWidth, '-');
    line.append(kLineEnd);
    return line;
}

std::string RowLine(const MatchCandidate &candidate, const RegisterWords &words)
{
    std::string line;
    AppendRowLine(line, candidate, words);
    return line;
}

void AppendRowLine(std::string &out, const MatchCandidate &candidate, const RegisterWords &words)
{
    std::array<char,
        2 * (kLongestDecimal + kLongestReportNumber + kLongestWordHex) + 32>
        row; // NOLINT(cppcoreguidelines-pro-type-member-init): written up to `at`
    char *at = PutDecimal(row.data(), candidate.r);
    at = Put(at, "\t\t");
    at = PutReportNumber(at, candidate.fRef);
    at = Put(at, " Hz\t");
    at = PutDecimal(at, candidate.n);
    at = Put(at, "\t\t");
    at = PutReportNumber(at, candidate.error);
    at = Put(at, " Hz        \t");
    at = PutWordHex(at, words.rWord);
    at = Put(at, "\t");
    at = PutWordHex(at, words.nWord);
    at = Put(at, "\r\n");
    out.append(row.data(), at);
}

std::string FooterLines()
{
    std::string lines;
    lines.append("Thank you for using this software.").append(kLineEnd);
    lines.append(kLineEnd);
    lines
        .append("This is a free software and if you like it you are welcome to send a small "
                "donation.")
        .append(kLineEnd);
    lines.append("Donation can be sent to ")
        .append(kDonationAddress)
        .append(" by using PayPal (")
        .append(kPaymentServiceAddress)
        .append(")")
        .append(kLineEnd);
    lines.append(kLineEnd);
    lines.append("LMX2330 can be found at ").append(kChipPageAddress).append(kLineEnd);
    lines.append("Over and Out...").append(kLineEnd);
    return lines;
}

void AppendReportNumber(std::string &out, double value)
{
    std::array<char, kLongestReportNumber>
        text; // NOLINT(cppcoreguidelines-pro-type-member-init): written up to the end returned
    out.append(text.data(), PutReportNumber(text.data(), value));
}

std::string ReportNumber(double value)
{
    std::string text;
    AppendReportNumber(text, value);
    return text;
}

std::string DecimalText(std::int64_t value)
{
    std::array<char, kLongestDecimal>
        text; // NOLINT(cppcoreguidelines-pro-type-member-init): written up to the end returned
    return { text.data(), PutDecimal(text.data(), value) };
}

std::string ByteToHex(std::uint8_t value)
{
    std::array<char, 2> text; // NOLINT(cppcoreguidelines-pro-type-member-init): both written
    PutByteHex(text.data(), value);
    return { text.data(), text.size() };
}

void AppendWordHex(std::string &out, std::int64_t value)
{
    std::array<char, kLongestWordHex>
        text; // NOLINT(cppcoreguidelines-pro-type-member-init): written up to the end returned
    out.append(text.data(), PutWordHex(text.data(), value));
}

std::string WordToHex(std::int64_t value)
{
    std::string text;
    AppendWordHex(text, value);
    return text;
}

} // namespace calc
