// SPDX-License-Identifier: MIT
#include "calc/calculation_run.h"

#include "calc/report_text.h"
#include "tests/calc/recording_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace calc {
namespace {

using testing::ReadTestData;
using testing::RecordingWindow;

// The report's lines, split at CR LF.
std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos;
         end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The rows of a report: the lines between the two separators.
std::vector<std::string> Rows(const std::string &text)
{
    const std::vector<std::string> lines = Lines(text);
    const std::string separator(117, '-');
    const auto first = std::find(lines.begin(), lines.end(), separator);
    const auto second = std::find(first + 1, lines.end(), separator);
    return { first + 1, second };
}

std::string Field(const std::string &row, std::size_t column)
{
    std::vector<std::string> columns;
    std::size_t start = 0;
    for (std::size_t tab = row.find('\t'); tab != std::string::npos; tab = row.find('\t', start)) {
        columns.push_back(row.substr(start, tab - start));
        start = tab + 1;
    }
    columns.push_back(row.substr(start));
    return columns.at(column);
}

bool EndsWithSeparatorAndFooter(const std::string &pane)
{
    return pane.ends_with(SeparatorLine() + FooterLines());
}

TEST(RunCalculation, DefaultRfRunWritesTheExpectedReport)
{
    RecordingWindow window;
    RunCalculation(Side::RF, window);

    EXPECT_EQ(window.pane, ReadTestData("default_rf_report.txt"));
    EXPECT_EQ(window.fields[Box::Text10], "48");
    EXPECT_EQ(window.fields[Box::Text11], "0");
    EXPECT_EQ(window.progressMaximum, 1345);
    EXPECT_EQ(window.progressMinimum, 168);
    EXPECT_EQ(window.progressValue, 1345);
    EXPECT_EQ(window.dividersTried.size(), 1178U);
    EXPECT_TRUE(window.errorBoxes.empty());
}

TEST(RunCalculation, DefaultIfRunWritesTheExpectedReport)
{
    RecordingWindow window;
    RunCalculation(Side::IF, window);

    EXPECT_EQ(window.pane, ReadTestData("default_if_report.txt"));
    EXPECT_EQ(window.fields[Box::Text11], "48");
    EXPECT_EQ(window.fields[Box::Text10], "0");
    EXPECT_TRUE(window.errorBoxes.empty());
}

// The calls of a run, in order, up to the first row: the pane is emptied before the header,
// the bar's maximum comes before its minimum, and each divider moves the bar, then yields,
// then reads its fields.
TEST(RunCalculation, CallsTheWindowInOrder)
{
    RecordingWindow window;
    RunCalculation(Side::RF, window);

    const std::vector<std::string> expected = {
        "SetPaneText",
        "FieldText Text5",
        "FieldText Text8",
        "FieldText Text6",
        "FieldText Text7",
        "SetPaneText",
        "AppendPaneText",
        "AppendPaneText",
        "UserNumberFormat",
        "FieldText Text5",
        "FieldText Text7",
        "FieldText Text5",
        "FieldText Text6",
        "SetProgressMaximum 1345",
        "SetProgressMinimum 168",
        "SetProgressValue 168",
        "Yield",
        "FieldText Text5",
        "FieldText Text8",
        "FieldText Text9",
        "SetMatchCount Text10 1",
        "OptionSelected Option3",
        "Yield",
        "OptionSelected Option7",
        "OptionSelected Option1",
        "OptionSelected Option9",
        "OptionSelected Option6",
        "OptionSelected Option11",
        "AppendPaneText",
        "SetProgressValue 169",
        "Yield",
    };
    ASSERT_GE(window.log.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(window.log.begin(),
                  window.log.begin() + static_cast<std::ptrdiff_t>(expected.size())),
        expected);
    EXPECT_EQ(window.log.back(), "AppendPaneText");
}

// A wanted frequency of 2.5 GHz needs a B counter of 2050 at R = 441: the run says so once,
// still lists 441, tries nothing after it and closes the report.
TEST(RunCalculation, BCounterOverflowStopsAfterTheDividerThatRaisedIt)
{
    RecordingWindow window;
    window.fields[Box::Text8] = "2.5e9";
    RunCalculation(Side::RF, window);

    ASSERT_EQ(window.errorBoxes.size(), 1U);
    EXPECT_EQ(window.errorBoxes[0].title, "PLL register ERROR");
    EXPECT_EQ(window.errorBoxes[0].text,
        "N-counter overflow (B-reg > 2047), Increase Ref low or change Prescaler to 64! ");
    EXPECT_EQ(window.fields[Box::Text10], "14");
    EXPECT_EQ(window.dividersTried.back(), 441);
    EXPECT_EQ(window.progressValue, 441);

    const std::vector<std::string> rows = Rows(window.pane);
    ASSERT_EQ(rows.size(), 14U);
    EXPECT_EQ(Field(rows.back(), 0), "441");
    EXPECT_EQ(Field(rows.back(), 3), "65625");
    EXPECT_EQ(Field(rows.back(), 7), "100467"); // 2050 has carried into bit 20
    EXPECT_TRUE(EndsWithSeparatorAndFooter(window.pane));
}

// The message names the way out for the prescaler the user has selected, on either side.
TEST(RunCalculation, OverflowMessageDependsOnSideAndPrescaler)
{
    struct Case {
        Side side;
        OptionButton largePrescaler;
        bool large;
        std::string message;
    };
    const std::vector<Case> cases = {
        { Side::RF, OptionButton::Option4, false,
            "N-counter overflow (B-reg > 2047), Increase Ref low or change Prescaler to 64! " },
        { Side::RF, OptionButton::Option4, true,
            "N-counter overflow (N_RF > 2047), Increase Ref low! " },
        { Side::IF, OptionButton::Option26, false,
            "N-counter overflow (B-reg > 2047), Increase Ref low or change Prescaler to 16! " },
        { Side::IF, OptionButton::Option26, true,
            "N-counter overflow (N_IF > 2047), Increase Ref low! " },
    };
    for (const Case &c : cases) {
        RecordingWindow window;
        window.fields[c.side == Side::RF ? Box::Text8 : Box::Text13] = "1e11"; // N 10^6 at R 168
        if (c.large) {
            window.Select(c.largePrescaler);
        }
        RunCalculation(c.side, window);

        ASSERT_EQ(window.errorBoxes.size(), 1U) << c.message;
        EXPECT_EQ(window.errorBoxes[0].text, c.message);
        EXPECT_EQ(window.dividersTried, std::vector<std::int64_t> { 168 });
        EXPECT_EQ(Rows(window.pane).size(), 1U) << c.message;
    }
}

// N 100 with the 32/33 prescaler gives B 3 and A 4, which the chip cannot count.
TEST(RunCalculation, MatchWithAAboveBIsCountedButNotListed)
{
    RecordingWindow window;
    window.fields[Box::Text8] = "1e7";
    window.fields[Box::Text6] = "100000"; // dividers 168 and 169 only
    RunCalculation(Side::RF, window);

    EXPECT_EQ(window.dividersTried, (std::vector<std::int64_t> { 168, 169 }));
    EXPECT_EQ(window.fields[Box::Text10], "1");
    EXPECT_TRUE(Rows(window.pane).empty());
    EXPECT_TRUE(window.errorBoxes.empty());
}

TEST(RunCalculation, RunWithoutMatchesLeavesTheCounterAlone)
{
    RecordingWindow window;
    window.fields[Box::Text8] = "100000001";
    window.fields[Box::Text10] = "7";
    RunCalculation(Side::RF, window);

    EXPECT_EQ(window.fields[Box::Text10], "7");
    EXPECT_TRUE(window.pane.ends_with(SeparatorLine() + SeparatorLine() + FooterLines()));
}

// Grouped numbers are read in the user's format; the last divider, 1001, lies below ref low.
TEST(RunCalculation, GroupedRefLowEndsTheSweepAtItsQuotientPlusOne)
{
    RecordingWindow window;
    window.fields[Box::Text6] = "16,800";
    window.fields[Box::Text7] = "100,000";
    RunCalculation(Side::RF, window);

    EXPECT_EQ(window.progressMaximum, 1001);
    EXPECT_EQ(window.progressMinimum, 168);
    EXPECT_EQ(window.dividersTried.front(), 168);
    EXPECT_EQ(window.dividersTried.back(), 1001);
    EXPECT_EQ(window.dividersTried.size(), 834U);
}

TEST(RunCalculation, ReadsNumbersWithACommaDecimalSeparator)
{
    RecordingWindow window;
    window.format = { ",", "." };
    window.fields[Box::Text5] = "16,8E6";
    window.fields[Box::Text7] = "100.000";
    window.fields[Box::Text8] = "100,0e6";
    RunCalculation(Side::RF, window);

    EXPECT_TRUE(window.errorBoxes.empty());
    EXPECT_EQ(window.fields[Box::Text10], "48");
    EXPECT_EQ(Rows(window.pane).front(), Rows(ReadTestData("default_rf_report.txt")).front());
}

// N is rounded half to even: 105.65 MHz over 100 kHz is 1056.5, which gives 1056, not 1057.
TEST(RunCalculation, NearestNTiesGoToEven)
{
    RecordingWindow window;
    window.fields[Box::Text8] = "105650000";
    window.fields[Box::Text9] = "1e6";
    window.fields[Box::Text6] = "100000";
    RunCalculation(Side::RF, window);

    const std::vector<std::string> rows = Rows(window.pane);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(Field(rows[0], 3), "1056");
    EXPECT_EQ(Field(rows[0], 5), "-50000 Hz        ");
}

// The divider 231 is an exact divisor, yet in doubles its error is a few nanohertz: a max error
// of 0 rejects it, which only holds without fused multiply-add.
TEST(RunCalculation, ErrorIsComputedInDoublesInTheWrittenOrder)
{
    RecordingWindow window;
    window.fields[Box::Text6] = "72727"; // dividers 168 to 232
    window.fields[Box::Text9] = "1e-6";
    RunCalculation(Side::RF, window);
    EXPECT_EQ(window.fields[Box::Text10], "4"); // 168, 189, 210 and 231
    EXPECT_EQ(Rows(window.pane).size(), 4U);

    RecordingWindow strict;
    strict.fields[Box::Text6] = "72727";
    RunCalculation(Side::RF, strict);
    EXPECT_EQ(strict.fields[Box::Text10], "3");
}

// Every field is read anew at each use: an edit made while the run yields counts from the
// next read on, and an option changed before a row enters that row.
TEST(RunCalculation, EditsDuringTheRunTakeEffectAtTheNextRead)
{
    RecordingWindow window;
    window.onYield = [](RecordingWindow &w, int) {
        if (w.progressValue == 189) {
            w.fields[Box::Text9] = "1e9"; // from 189 on, every divider matches
            w.Select(OptionButton::Option19); // Fastlock
        }
        return AfterYield::Continue;
    };
    RunCalculation(Side::RF, window);

    EXPECT_EQ(window.fields[Box::Text10], std::to_string(1 + (1345 - 189 + 1)));
    const std::vector<std::string> rows = Rows(window.pane);
    EXPECT_EQ(Field(rows[0], 6), "0202A2");
    EXPECT_EQ(Field(rows[1], 6), "2202F6"); // bit 21 from Fastlock
}

// The prescaler clicked between the split of N and the row's yield: the row keeps the prescaler
// its B and A were split for, so that the N word's bit 20 agrees with its counters.
TEST(RunCalculation, RowKeepsThePrescalerItsCountersWereSplitFor)
{
    RecordingWindow window;
    window.fields[Box::Text6] = "100000"; // dividers 168 and 169
    window.onYield = [](RecordingWindow &w, int yields) {
        if (yields == 2) { // the yield before the row for 168
            w.Select(OptionButton::Option4);
        }
        return AfterYield::Continue;
    };
    RunCalculation(Side::RF, window);

    const std::vector<std::string> rows = Rows(window.pane);
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(Field(rows[0], 7), "003E23"); // B 31, A 8 of 32/33, and no 64/65 bit
}

TEST(RunCalculation, FieldEditedIntoTextThatIsNotANumberStopsTheRun)
{
    RecordingWindow window;
    window.onYield = [](RecordingWindow &w, int) {
        if (w.progressValue == 200) {
            w.fields[Box::Text5] = "16.8 MHz";
        }
        return AfterYield::Continue;
    };
    RunCalculation(Side::RF, window);

    ASSERT_EQ(window.errorBoxes.size(), 1U);
    EXPECT_EQ(window.errorBoxes[0].text, "Crystal Frequency (Hz) : \"16.8 MHz\" is not a number");
    EXPECT_EQ(window.dividersTried.back(), 200);
    EXPECT_EQ(Rows(window.pane).size(), 2U); // 168 and 189
    EXPECT_TRUE(EndsWithSeparatorAndFooter(window.pane));
}

// Each setting the sweep cannot work with gives one error box that names the box by its
// caption, and the report still closes with its separator and footer.
TEST(RunCalculation, UnusableSettingsAreReportedAndTheReportIsClosed)
{
    struct Case {
        Box box;
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        { Box::Text7, "abc", "Ref high (Hz) : \"abc\" is not a number" },
        { Box::Text5, "", "Crystal Frequency (Hz) : \"\" is not a number" },
        { Box::Text6, "0",
            "Ref low (Hz) : \"0\" is 0, and the crystal frequency cannot be divided by 0" },
        { Box::Text7, "0.4",
            "Ref high (Hz) : \"0.4\" is 0, and the crystal frequency cannot be divided by 0" },
        { Box::Text5, "2147483648",
            "Crystal Frequency (Hz) : \"2147483648\" is beyond the 32-bit range" },
        { Box::Text6, "-1e10", "Ref low (Hz) : \"-1e10\" is beyond the 32-bit range" },
        { Box::Text8, "100 MHz", "Freq (MHz) : \"100 MHz\" is not a number" },
        { Box::Text8, "1e999", "Freq (MHz) : \"1e999\" is too large" },
        { Box::Text8, "1e15",
            "N-counter beyond the 32-bit range at R = 168 (Freq (MHz) : \"1e15\", Crystal "
            "Frequency "
            "(Hz) : \"16800000\")" },
        { Box::Text5, "0",
            "N-counter beyond the 32-bit range at R = 1 (Freq (MHz) : \"100e6\", Crystal Frequency "
            "(Hz) : \"0\")" },
        { Box::Text7, std::string(100, '7'),
            "Ref high (Hz) : \"7777777777777777777777777777777777777777...\" is beyond the 32-bit "
            "range" },
    };
    for (const Case &c : cases) {
        RecordingWindow window;
        window.fields[c.box] = c.text;
        RunCalculation(Side::RF, window);

        ASSERT_EQ(window.errorBoxes.size(), 1U) << c.message;
        EXPECT_EQ(window.errorBoxes[0].title, "PLL register ERROR");
        EXPECT_EQ(window.errorBoxes[0].text, c.message);
        EXPECT_TRUE(Rows(window.pane).empty()) << c.message;
        EXPECT_TRUE(EndsWithSeparatorAndFooter(window.pane)) << c.message;
        EXPECT_EQ(window.fields[Box::Text10], "0") << c.message;
    }
}

// Below 1 a divider would divide by zero or flip the comparison frequency's sign.
TEST(RunCalculation, DividersBelowOneAreNeverTried)
{
    RecordingWindow window;
    window.fields[Box::Text5] = "50000"; // rMin 0, rEnd 5
    RunCalculation(Side::RF, window);
    EXPECT_EQ(window.progressMinimum, 0);
    EXPECT_EQ(window.progressMaximum, 5);
    EXPECT_EQ(window.dividersTried, (std::vector<std::int64_t> { 1, 2, 3, 4, 5 }));

    RecordingWindow negative;
    negative.fields[Box::Text5] = "-16800000"; // rMin -168, rEnd -1343: nothing to try
    RunCalculation(Side::RF, negative);
    EXPECT_TRUE(negative.dividersTried.empty());
    EXPECT_TRUE(negative.errorBoxes.empty());
    EXPECT_TRUE(EndsWithSeparatorAndFooter(negative.pane));
}

// -2^31 / -1 overflows 32 bits; the sweep's bounds and divider must not.
TEST(RunCalculation, ExtremeBoundsDoNotOverflow)
{
    RecordingWindow window;
    window.fields[Box::Text5] = "-2147483648";
    window.fields[Box::Text6] = "-1";
    window.fields[Box::Text7] = "-2147483648";
    window.onYield = [](RecordingWindow &, int yields) {
        return yields < 3 ? AfterYield::Continue : AfterYield::Close;
    };
    RunCalculation(Side::RF, window);

    EXPECT_EQ(window.progressMaximum, 2147483649);
    EXPECT_EQ(window.progressMinimum, 1);
    EXPECT_EQ(window.dividersTried, (std::vector<std::int64_t> { 1, 2, 3 }));
}

// A window that stops the sweep (its report has grown too long) still gets the footer.
TEST(RunCalculation, WindowCanStopTheSweepWithTheFooter)
{
    RecordingWindow window;
    window.onYield = [](RecordingWindow &w, int) {
        return w.progressValue == 200 ? AfterYield::StopSweep : AfterYield::Continue;
    };
    RunCalculation(Side::RF, window);

    EXPECT_EQ(window.dividersTried.back(), 200);
    EXPECT_EQ(Rows(window.pane).size(), 2U);
    EXPECT_TRUE(window.errorBoxes.empty());
    EXPECT_TRUE(EndsWithSeparatorAndFooter(window.pane));
}

// Closing the window ends the run at its next yield: nothing more is written or shown.
TEST(RunCalculation, ClosingTheWindowEndsTheRunAtOnce)
{
    RecordingWindow window;
    window.fields[Box::Text8] = "2.5e9"; // would raise the overflow box at 441
    window.onYield = [](RecordingWindow &w, int) {
        return w.progressValue < 300 ? AfterYield::Continue : AfterYield::Close;
    };
    RunCalculation(Side::RF, window);

    EXPECT_EQ(window.log.back(), "Yield");
    EXPECT_EQ(window.dividersTried.back(), 300);
    EXPECT_TRUE(window.errorBoxes.empty());
    EXPECT_EQ(window.pane.find("Over and Out"), std::string::npos);
}

} // namespace
} // namespace calc
