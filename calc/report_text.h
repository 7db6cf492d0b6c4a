// SPDX-License-Identifier: MIT
// Every character of the report a run writes into the result pane: the lines, the number format
// and the hexadecimal register words. Lines end in CR LF; columns are separated by TABs.
#pragma once

#include "calc/match_candidate.h"
#include "calc/register_words.h"
#include "calc/side_profile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

// "Xtal = ... Hz    Freq = ... Hz    Ref low = ... Hz    Ref high = ... Hz    ", with the four
// texts exactly as the user typed them.
std::string HeaderLine(std::string_view crystal, std::string_view wanted, std::string_view refLow,
    std::string_view refHigh);

// The column headings of the side's rows.
std::string HeadingLine(Side side);

// 117 hyphens.
std::string SeparatorLine();

// R, fRef, N, the error and the two words of one listed divider pair.
std::string RowLine(const MatchCandidate &candidate, const RegisterWords &words);
void AppendRowLine(std::string &out, const MatchCandidate &candidate, const RegisterWords &words);

// The seven closing lines.
std::string FooterLines();

// A frequency or error in Hz as the report shows it: rounded to one decimal, halves to even;
// a blank or "-" first; "." as decimal point whatever the locale; no trailing zeros, no point
// for whole values and no zero before the point (" .2", "-1.3", " 100000"). A value that rounds
// to zero is " 0". A value that would need more than 15 significant digits is written with 15
// and an exponent (" 1.23456789012346E+17").
std::string ReportNumber(double value);
void AppendReportNumber(std::string &out, double value);

// A decimal integer: no blank, no grouping, "-" when negative.
std::string DecimalText(std::int64_t value);

// Two upper-case hexadecimal digits.
std::string ByteToHex(std::uint8_t value);

// Six upper-case hexadecimal digits of 0 <= value <= FFFFFF. A word that carried beyond its 22
// bits, or any other value outside that range, is written in full (more digits, "-" first when
// negative) rather than as characters that are not hexadecimal digits.
std::string WordToHex(std::int64_t value);
void AppendWordHex(std::string &out, std::int64_t value);

} // namespace calc
