// SPDX-License-Identifier: MIT
#include "calc/number_reading.h"

#include <fast_float/fast_float.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace calc {
namespace {

constexpr bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A number found at the start of a text, rewritten as fast_float reads it (digits, "." as
// point, "e" and a signed exponent), whatever separators the user wrote.
struct ScannedNumber {
    std::size_t length = 0; // characters of the text the number takes; 0 when there is none
    bool negative = false;
    std::string chars;
};

std::size_t DigitRun(std::string_view text, std::size_t pos)
{
    std::size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return end - pos;
}

// Whole-part digits, grouped by threes when the user's format groups them: "16,800" is sixteen
// thousand eight hundred, "16,8" stops before the separator.
std::size_t ScanWholeDigits(
    std::string_view text, std::size_t pos, std::string_view group, std::string &chars)
{
    const std::size_t first = DigitRun(text, pos);
    chars.append(text.substr(pos, first));
    pos += first;
    if (group.empty() || first == 0 || first > 3) {
        return pos;
    }
    while (text.substr(pos).starts_with(group)) {
        const std::size_t groupStart = pos + group.size();
        if (DigitRun(text, groupStart) != 3) {
            break;
        }
        chars.append(text.substr(groupStart, 3));
        pos = groupStart + 3;
    }
    return pos;
}

ScannedNumber ScanNumber(std::string_view text, std::string_view point, std::string_view group)
{
    ScannedNumber number;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        number.negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t wholeStart = number.chars.size();
    pos = ScanWholeDigits(text, pos, group, number.chars);
    std::size_t digits = number.chars.size() - wholeStart;
    if (!point.empty() && text.substr(pos).starts_with(point)) {
        const std::size_t fraction = DigitRun(text, pos + point.size());
        if (digits + fraction > 0) {
            number.chars += '.';
            number.chars.append(text.substr(pos + point.size(), fraction));
            pos += point.size() + fraction;
            digits += fraction;
        }
    }
    if (digits == 0) {
        return {};
    }
    // An exponent counts only when it has digits: "1e" is the number 1 followed by "e".
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t end = pos + 1;
        if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
            ++end;
        }
        const std::size_t exponentDigits = DigitRun(text, end);
        if (exponentDigits > 0) {
            number.chars += 'e';
            number.chars.append(text.substr(pos + 1, end + exponentDigits - pos - 1));
            pos = end + exponentDigits;
        }
    }
    number.length = pos;
    return number;
}

// The double nearest to a scanned number; nothing when it is too large for a double. The text
// holds only digits, a point and an exponent, so infinity can only mean overflow; fast_float
// reports neither overflow nor underflow as an error, it gives infinity and 0 (or a subnormal).
std::optional<double> ToDouble(const ScannedNumber &number)
{
    const char *first = number.chars.data();
    const char *last = first + number.chars.size();
    double value = 0.0;
    fast_float::from_chars(first, last, value, fast_float::chars_format::general);
    if (std::isinf(value)) {
        return std::nullopt;
    }
    return number.negative ? -value : value;
}

// The "&H" and "&O" whole numbers of the max-error reading; digits after the prefix are taken
// as far as they go, and no digit at all reads as 0.
double ReadRadixNumber(std::string_view digits, int radix)
{
    double value = 0.0;
    for (char c : digits) {
        int digit = 0;
        if (IsDigit(c)) {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        if (digit >= radix) {
            break;
        }
        value = value * radix + digit;
    }
    return value;
}

} // namespace

RealReading ReadReal(std::string_view text, const NumberFormat &format)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    const std::string_view group = format.groupSeparator == format.decimalSeparator
        ? std::string_view {}
        : format.groupSeparator;
    const ScannedNumber number = ScanNumber(text, format.decimalSeparator, group);
    if (number.length == 0 || number.length != text.size()) {
        return { ReadingStatus::NotANumber, 0.0 };
    }
    const std::optional<double> value = ToDouble(number);
    if (!value) {
        return { ReadingStatus::OutOfRange, 0.0 };
    }
    return { ReadingStatus::Ok, *value };
}

IntegerReading ReadInteger(std::string_view text, const NumberFormat &format)
{
    const RealReading real = ReadReal(text, format);
    if (real.status != ReadingStatus::Ok) {
        return { real.status, 0 };
    }
    const double rounded = RoundHalfEven(real.value);
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    if (!(rounded >= kLowest && rounded <= kHighest)) {
        return { ReadingStatus::OutOfRange, 0 };
    }
    return { ReadingStatus::Ok, static_cast<std::int32_t>(rounded) };
}

double ReadLeadingNumber(std::string_view text)
{
    std::string packed;
    packed.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            packed += c;
        }
    }
    const std::string_view rest(packed);
    if (rest.size() >= 2 && rest[0] == '&') {
        if (rest[1] == 'H' || rest[1] == 'h') {
            return ReadRadixNumber(rest.substr(2), 16);
        }
        if (rest[1] == 'O' || rest[1] == 'o') {
            return ReadRadixNumber(rest.substr(2), 8);
        }
    }
    const ScannedNumber number = ScanNumber(rest, ".", {});
    if (number.length == 0) {
        return 0.0;
    }
    const std::optional<double> value = ToDouble(number);
    if (!value) {
        return number.negative ? -std::numeric_limits<double>::infinity()
                               : std::numeric_limits<double>::infinity();
    }
    return *value;
}

} // namespace calc
