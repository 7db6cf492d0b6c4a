// SPDX-License-Identifier: MIT
#include "calc/report_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

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

// The report is written a row at a time, so its pieces are appended to the row in place rather
// than built as strings of their own.
void AppendDecimal(std::string &out, std::int64_t value)
{
    std::array<char, 24>
        buffer; // NOLINT(cppcoreguidelines-pro-type-member-init): to_chars fills it
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    out.append(buffer.data(), end);
}

void AppendByteHex(std::string &out, std::uint8_t value)
{
    const unsigned high = value / 16U;
    const unsigned low = value - 16U * high;
    out += HexDigit(high);
    out += HexDigit(low);
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

// 15 significant digits with an exponent, "1.23456789012346E+17", for magnitudes the fixed form
// cannot show within 15 digits.
std::string ScientificText(double magnitude)
{
    std::array<char, 64>
        buffer; // NOLINT(cppcoreguidelines-pro-type-member-init): to_chars fills it
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
        std::chars_format::scientific, kMaxSignificantDigits - 1)
                         .ptr;
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const std::size_t e = text.find('e');
    std::string_view mantissa = text.substr(0, e);
    while (mantissa.ends_with('0')) {
        mantissa.remove_suffix(1);
    }
    if (mantissa.ends_with('.')) {
        mantissa.remove_suffix(1);
    }
    std::string result(mantissa);
    result += 'E';
    result.append(text.substr(e + 1));
    return result;
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
    line.reserve(96);
    AppendDecimal(line, candidate.r);
    line.append("\t\t");
    AppendReportNumber(line, candidate.fRef);
    line.append(" Hz\t");
    AppendDecimal(line, candidate.n);
    line.append("\t\t");
    AppendReportNumber(line, candidate.error);
    line.append(" Hz        \t");
    AppendWordHex(line, words.rWord);
    line.append("\t");
    AppendWordHex(line, words.nWord);
    line.append(kLineEnd);
    return line;
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
    if (std::isnan(value)) {
        out.append(" NaN");
        return;
    }
    if (std::isinf(value)) {
        out.append(value < 0 ? "-Infinity" : " Infinity");
        return;
    }
    // Fixed notation with one decimal is exact decimal rounding of the double, halves to even:
    // 0.25 gives 0.2, 88888.888... gives 88888.9. The largest double needs 309 digits.
    std::array<char, 400>
        buffer; // NOLINT(cppcoreguidelines-pro-type-member-init): to_chars fills it
    const auto end = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 1)
                         .ptr;
    std::string_view digits(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const bool negative = digits.starts_with('-');
    if (negative) {
        digits.remove_prefix(1);
    }
    while (digits.ends_with('0') && digits.find('.') != std::string_view::npos) {
        digits.remove_suffix(1);
    }
    if (digits.ends_with('.')) {
        digits.remove_suffix(1);
    }
    if (digits == "0") {
        out.append(" 0"); // never "-0" for a small negative error
        return;
    }
    if (digits.starts_with("0.")) {
        digits.remove_prefix(1);
    }
    out += negative ? '-' : ' ';
    if (SignificantDigits(digits) > kMaxSignificantDigits) {
        out.append(ScientificText(std::fabs(value)));
    } else {
        out.append(digits);
    }
}

std::string ReportNumber(double value)
{
    std::string text;
    AppendReportNumber(text, value);
    return text;
}

std::string DecimalText(std::int64_t value)
{
    std::string text;
    AppendDecimal(text, value);
    return text;
}

std::string ByteToHex(std::uint8_t value)
{
    std::string text;
    AppendByteHex(text, value);
    return text;
}

void AppendWordHex(std::string &out, std::int64_t value)
{
    constexpr std::int64_t kLargestWord = 0xFFFFFF;
    if (value >= 0 && value <= kLargestWord) {
        const std::int64_t hi = value / 65536;
        const std::int64_t rest = value - 65536 * hi;
        const std::int64_t mid = rest / 256;
        const std::int64_t lo = rest - 256 * mid;
        AppendByteHex(out, static_cast<std::uint8_t>(hi));
        AppendByteHex(out, static_cast<std::uint8_t>(mid));
        AppendByteHex(out, static_cast<std::uint8_t>(lo));
        return;
    }
    std::array<char, 24>
        buffer; // NOLINT(cppcoreguidelines-pro-type-member-init): to_chars fills it
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, 16).ptr;
    for (const char *c = buffer.data(); c != end; ++c) {
        out += (*c >= 'a' && *c <= 'f') ? static_cast<char>(*c - 'a' + 'A') : *c;
    }
}

std::string WordToHex(std::int64_t value)
{
    std::string text;
    AppendWordHex(text, value);
    return text;
}

} // namespace calc
