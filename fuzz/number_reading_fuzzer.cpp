// SPDX-License-Identifier: MIT
// Fuzzes the three number readings. No text may crash them; a number written in their grammar
// must read as the double std::from_chars gives for its "." form, rounded half to even within
// 32 bits when read as an integer; and text after a complete max-error number, starting with a
// character that cannot continue it, must not change what is read.
#include "calc/number_reading.h"
#include "fuzz/number_formats.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace {

using calc::IntegerReading;
using calc::NumberFormat;
using calc::ReadingStatus;
using calc::RealReading;

void Require(bool property, const char *what)
{
    if (!property) {
        std::fprintf(stderr, "number_reading_fuzzer: violated: %s\n", what);
        std::abort();
    }
}

std::string Digits(FuzzedDataProvider &input, std::size_t count, int radix)
{
    std::string digits;
    for (std::size_t i = 0; i < count; ++i) {
        const int digit = input.ConsumeIntegralInRange(0, radix - 1);
        digits += static_cast<char>(digit < 10 ? '0' + digit : 'A' + digit - 10);
    }
    return digits;
}

// A decimal number as its parts, and its value as std::from_chars reads the "." form.
struct DecimalNumber {
    bool negative = false;
    std::string whole;
    bool point = false;
    std::string fraction;
    bool exponent = false;
    bool exponentNegative = false;
    std::string exponentDigits;

    std::string DotForm() const
    {
        std::string text = whole;
        if (point) {
            text += '.' + fraction;
        }
        if (exponent) {
            text += (exponentNegative ? "e-" : "e+") + exponentDigits;
        }
        return text;
    }

    // Whether the number lies above 1, judged from where its first significant digit stands
    // and the exponent; exponents of more than twelve digits count as huge.
    bool AboveOne() const
    {
        const std::string digits = whole + fraction;
        const std::size_t first = digits.find_first_not_of('0');
        if (first == std::string::npos) {
            return false;
        }
        long long decade = static_cast<long long>(whole.size()) - static_cast<long long>(first);
        if (exponent) {
            const std::size_t significant = exponentDigits.find_first_not_of('0');
            long long value = 0;
            if (significant != std::string::npos) {
                const std::string_view kept = std::string_view(exponentDigits).substr(significant);
                value = kept.size() > 12 ? 1'000'000'000'000'000LL : std::stoll(std::string(kept));
            }
            decade += exponentNegative ? -value : value;
        }
        return decade > 0;
    }
};

// The reading a decimal number should give: the nearest double, 0 when it is too small for
// one, out of range when too large.
RealReading Expected(const DecimalNumber &number)
{
    const std::string text = number.DotForm();
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    Require(end == text.data() + text.size(), "from_chars reads the whole dot form");
    if (ec == std::errc::result_out_of_range) {
        if (number.AboveOne()) {
            return { ReadingStatus::OutOfRange, 0.0 };
        }
        value = 0.0;
    } else {
        Require(ec == std::errc {}, "from_chars accepts the dot form");
    }
    return { ReadingStatus::Ok, number.negative ? -value : value };
}

// A format without a decimal separator writes whole numbers only.
DecimalNumber MakeDecimalNumber(FuzzedDataProvider &input, bool fractions = true)
{
    DecimalNumber number;
    number.negative = input.ConsumeBool();
    number.whole = Digits(input, input.ConsumeIntegralInRange<std::size_t>(0, 40), 10);
    number.point = input.ConsumeBool() && fractions;
    if (number.point) {
        number.fraction = Digits(input, input.ConsumeIntegralInRange<std::size_t>(0, 40), 10);
    }
    if (number.whole.empty() && number.fraction.empty()) {
        number.whole = Digits(input, 1, 10);
    }
    number.exponent = input.ConsumeBool();
    if (number.exponent) {
        number.exponentNegative = input.ConsumeBool();
        number.exponentDigits = Digits(input, input.ConsumeIntegralInRange<std::size_t>(1, 24), 10);
    }
    return number;
}

// The whole part grouped by threes from the right: "1234567" -> "1,234,567".
std::string Grouped(const std::string &whole, const std::string &group)
{
    std::string text;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) {
            text += group;
        }
        text += whole[i];
    }
    return text;
}

std::string Blanks(FuzzedDataProvider &input)
{
    std::string blanks;
    for (std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 3); count > 0; --count) {
        blanks += input.ConsumeBool() ? ' ' : '\t';
    }
    return blanks;
}

// The number as a user of `format` types it, with an optional "+", grouping and blanks.
std::string UserText(
    FuzzedDataProvider &input, const DecimalNumber &number, const NumberFormat &format)
{
    std::string text = Blanks(input);
    if (number.negative) {
        text += '-';
    } else if (input.ConsumeBool()) {
        text += '+';
    }
    const bool groups = !format.groupSeparator.empty()
        && format.groupSeparator != format.decimalSeparator && input.ConsumeBool();
    text += groups ? Grouped(number.whole, format.groupSeparator) : number.whole;
    if (number.point) {
        text += format.decimalSeparator + number.fraction;
    }
    if (number.exponent) {
        text += input.ConsumeBool() ? 'e' : 'E';
        if (number.exponentNegative) {
            text += '-';
        } else if (input.ConsumeBool()) {
            text += '+';
        }
        text += number.exponentDigits;
    }
    return text + Blanks(input);
}

// An integer reading must be the real reading rounded to the nearest whole number, halves to
// the even one, and out of range beyond 32 bits.
void CheckInteger(const RealReading &real, const IntegerReading &integer)
{
    if (real.status != ReadingStatus::Ok) {
        Require(integer.status == real.status, "an unreadable real is an unreadable integer");
        return;
    }
    const double lower = std::floor(real.value);
    const double upper = std::ceil(real.value);
    double nearest = lower;
    if (real.value - lower > upper - real.value
        || (real.value - lower == upper - real.value && std::fmod(lower, 2.0) != 0.0)) {
        nearest = upper;
    }
    if (nearest < -2147483648.0 || nearest > 2147483647.0) {
        Require(integer.status == ReadingStatus::OutOfRange, "integers beyond 32 bits are refused");
        return;
    }
    Require(integer.status == ReadingStatus::Ok, "integers within 32 bits are read");
    Require(integer.value == static_cast<std::int32_t>(nearest), "integers round half to even");
}

// Whatever the text, the readings hold together and never give what a field cannot hold.
void CheckAnyText(std::string_view text, const NumberFormat &format)
{
    const RealReading real = calc::ReadReal(text, format);
    Require(real.status != ReadingStatus::Ok || std::isfinite(real.value), "reals are finite");
    Require(real.status == ReadingStatus::Ok || real.value == 0.0, "unread reals are 0");
    CheckInteger(real, calc::ReadInteger(text, format));
    Require(!std::isnan(calc::ReadLeadingNumber(text)), "a max error is never NaN");
}

void CheckWellFormedNumber(FuzzedDataProvider &input, const NumberFormat &format)
{
    const DecimalNumber number = MakeDecimalNumber(input, !format.decimalSeparator.empty());
    const std::string text = UserText(input, number, format);
    const RealReading expected = Expected(number);
    const RealReading real = calc::ReadReal(text, format);
    Require(real.status == expected.status, "a well-formed number reads with the right status");
    Require(real.value == expected.value, "a well-formed number reads as its nearest double");
    CheckInteger(real, calc::ReadInteger(text, format));
}

// Spaces, tabs and line feeds anywhere in a max error are ignored, so they may be sprinkled
// between any two characters of it.
std::string Sprinkled(FuzzedDataProvider &input, std::string_view packed)
{
    static constexpr std::array<char, 3> kIgnored = { ' ', '\t', '\n' };
    std::string text;
    for (char c : packed) {
        // Mostly none, sometimes one or two; none once the input runs out.
        for (int count = input.ConsumeIntegralInRange(0, 7) - 5; count > 0; --count) {
            text += kIgnored[input.ConsumeIntegralInRange<std::size_t>(0, kIgnored.size() - 1)];
        }
        text += c;
    }
    return text;
}

// Text that cannot continue the number before it: its first character is none of the digits,
// signs, point, exponent letters and ignored blanks, nor a hexadecimal digit after "&H".
std::string Tail(FuzzedDataProvider &input, bool afterHex)
{
    const auto first = input.ConsumeIntegral<unsigned char>();
    const auto c = static_cast<char>(first);
    const bool continues = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e'
        || c == 'E' || c == ' ' || c == '\t' || c == '\n'
        || (afterHex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    const char start = continues ? 'x' : c;
    return start + input.ConsumeRandomLengthString(64);
}

void CheckLeadingNumber(FuzzedDataProvider &input)
{
    const int kind = input.ConsumeIntegralInRange(0, 2); // decimal, "&H", "&O"
    std::string packed;
    double expected = 0.0;
    bool knownValue = true;
    if (kind == 0) {
        const DecimalNumber number = MakeDecimalNumber(input);
        packed = (number.negative ? "-" : (input.ConsumeBool() ? "+" : "")) + number.DotForm();
        const RealReading reading = Expected(number);
        if (reading.status == ReadingStatus::OutOfRange) {
            expected = number.negative ? -std::numeric_limits<double>::infinity()
                                       : std::numeric_limits<double>::infinity();
        } else {
            expected = reading.value;
        }
    } else {
        const int radix = kind == 1 ? 16 : 8;
        packed
            = kind == 1 ? (input.ConsumeBool() ? "&H" : "&h") : (input.ConsumeBool() ? "&O" : "&o");
        std::string digits = Digits(input, input.ConsumeIntegralInRange<std::size_t>(0, 20), radix);
        std::uint64_t value = 0;
        for (char c : digits) {
            value = value * static_cast<std::uint64_t>(radix)
                + static_cast<std::uint64_t>(c <= '9' ? c - '0' : c - 'A' + 10);
        }
        // Up to 2^53 every whole number is a double, whatever order it was summed in.
        knownValue = digits.size() <= (radix == 16 ? 13U : 17U);
        expected = static_cast<double>(value);
        for (char &c : digits) {
            if (c >= 'A' && c <= 'F' && input.ConsumeBool()) {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        packed += digits;
    }
    const std::string text = Sprinkled(input, packed);
    const double value = calc::ReadLeadingNumber(text);
    if (knownValue) {
        Require(value == expected, "a max error reads as its number");
    }
    const double followed = calc::ReadLeadingNumber(text + Tail(input, kind == 1));
    Require(followed == value, "text after a max error does not change it");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const NumberFormat &format
        = calc::fuzzing::kNumberFormats[data[0] % calc::fuzzing::kNumberFormats.size()];
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);
    CheckAnyText(text, format);

    FuzzedDataProvider input(data + 1, size - 1);
    CheckWellFormedNumber(input, format);
    CheckLeadingNumber(input);
    return 0;
}
