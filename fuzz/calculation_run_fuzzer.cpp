// SPDX-License-Identifier: MIT
// Fuzzes whole calculation runs. The input is text: a line of settings, the five boxes of the
// side, then edits the user makes while the run yields (see DecodeInput). Each run is checked
// against what the sweep must do: it ends with the footer unless the window closed, counts
// every match, lists well-formed rows in ascending R whose register words decode back to their
// R, B, A, control bits and options, and shows at most one error box, for the reason it stopped.
// That run yields at every divider. The same input is then run again on every sweep path of the
// machine with a window that lets the run try dividers in blocks between its events, swept on
// one, two and three threads, and each must leave the same record: report, counts, boxes, and
// every divider tried with what it read.
#include "calc/calculation_run.h"
#include "calc/number_reading.h"
#include "calc/report_text.h"
#include "fuzz/number_formats.h"
#include "fuzz/scripted_window.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calc::fuzzing {
namespace {

// Huge divider ranges are cut short by closing the window; a real user would do the same.
constexpr int kYieldCap = 2000;
// How many yields at a time a window in blocks lets the run leave out, unless the input says.
constexpr std::int64_t kQuietYields = std::int64_t { 1 } << 40;
constexpr std::size_t kEditCap = 16;
constexpr std::int64_t kMaxBCounter = 2047;
constexpr std::int64_t kRFieldLimit = 32768; // R has 15 bits

void Require(bool property, const char *what)
{
    if (!property) {
        std::fprintf(stderr, "calculation_run_fuzzer: violated: %s\n", what);
        std::abort();
    }
}

// A settings character counts from '0', so "0" and "1" pick the first and second choice.
std::size_t Pick(char c, std::size_t count)
{
    return static_cast<unsigned char>(c - '0') % count;
}

std::optional<std::int64_t> ParseDecimal(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc {} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// A register word as the report writes it: six upper-case digits within 24 bits, else in full.
std::optional<std::int64_t> ParseWord(std::string_view text)
{
    const bool negative = text.starts_with('-');
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789ABCDEF") != std::string_view::npos) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (ec != std::errc {} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    value = negative ? -value : value;
    const bool inWord = value >= 0 && value <= 0xFFFFFF;
    if (inWord != (text.size() == 6) || (!inWord && digits.starts_with('0'))) {
        return std::nullopt;
    }
    return value;
}

struct Run {
    Side side = Side::RF;
    std::array<std::string, 5> texts; // crystal, wanted, ref low, ref high, max error
    NumberFormat format;
};

std::array<Box, 5> BoxesOf(const SideProfile &profile)
{
    return { profile.crystal.box, profile.wanted.box, profile.refLow.box, profile.refHigh.box,
        profile.maxError.box };
}

// The input, line by line:
//   settings   side, number format, then one choice per option group ('0' first), e.g.
//              "00" + "00110011011"; a number after a blank closes the window at that yield,
//              and a second number caps the yields a window in blocks lets the run leave out
//   5 lines    crystal, wanted, ref low, ref high and max error, as typed
//   edits      "F<box> <event> <text>" puts text into box 0-4 of the list above at that event
//              (yields and error boxes, counted from 1); "O<group><choice> <event>" clicks a
//              button if the event is the yield between two dividers
// Missing settings and boxes keep the window's start-up values.
// `inBlocks`: a window that lets the run leave out yields, whose dividers `crew` sweeps if set;
// otherwise one that never does.
std::optional<ScriptedWindow> DecodeInput(
    std::string_view input, Run &run, bool inBlocks, SweepCrew *crew = nullptr)
{
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        lines.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    const std::string_view settings = lines[0].substr(0, lines[0].find(' '));
    run.side = !settings.empty() && Pick(settings[0], 2) == 1 ? Side::IF : Side::RF;
    run.format = kNumberFormats[settings.size() > 1 ? Pick(settings[1], kNumberFormats.size()) : 0];
    OptionChoices choices = DefaultChoices();
    for (std::size_t group = 0; group < kOptionGroupCount && group + 2 < settings.size(); ++group) {
        choices[group] = Pick(settings[group + 2], GroupSize(group));
    }
    int closeAt = kYieldCap;
    std::int64_t quietYields = kQuietYields;
    if (const std::size_t blank = lines[0].find(' '); blank != std::string_view::npos) {
        const std::string_view numbers = lines[0].substr(blank + 1);
        const std::size_t second = numbers.find(' ');
        if (const auto yield = ParseDecimal(numbers.substr(0, second))) {
            closeAt = static_cast<int>(std::clamp<std::int64_t>(*yield, 1, kYieldCap));
        }
        if (second != std::string_view::npos) {
            if (const auto cap = ParseDecimal(numbers.substr(second + 1))) {
                quietYields = std::clamp<std::int64_t>(*cap, 1, kQuietYields);
            }
        }
    }

    run.texts = { "16800000", "100e6", "12500", "100000", "0" };
    for (std::size_t i = 0; i < run.texts.size() && i + 1 < lines.size(); ++i) {
        run.texts[i] = lines[i + 1];
    }
    const SideProfile &profile = ProfileOf(run.side);
    const std::array<Box, 5> boxes = BoxesOf(profile);
    std::optional<ScriptedWindow> window(
        std::in_place, run.side, run.format, choices, closeAt, inBlocks ? quietYields : 0, crew);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        window->SetField(boxes[i], run.texts[i]);
    }

    std::size_t edits = 0;
    for (std::size_t i = 6; i < lines.size() && edits < kEditCap; ++i) {
        const std::string_view line = lines[i];
        const std::size_t blank = line.find(' ');
        if (line.size() < 3 || blank == std::string_view::npos || blank < 2) {
            continue;
        }
        const std::size_t textStart = std::min(line.find(' ', blank + 1), line.size());
        const auto event = ParseDecimal(line.substr(blank + 1, textStart - blank - 1));
        if (!event || *event < 1 || *event > 2 * kYieldCap) {
            continue;
        }
        if (line[0] == 'F') {
            const std::string_view text
                = textStart < line.size() ? line.substr(textStart + 1) : std::string_view {};
            window->AddEdit(ScriptedWindow::FieldEdit {
                static_cast<int>(*event), boxes[Pick(line[1], boxes.size())], std::string(text) });
            ++edits;
        } else if (line[0] == 'O' && blank >= 3) {
            const std::size_t group = Pick(line[1], kOptionGroupCount);
            window->AddEdit(ScriptedWindow::OptionEdit {
                static_cast<int>(*event), group, Pick(line[2], GroupSize(group)) });
            ++edits;
        }
    }
    return window;
}

// A row the report must list, from the reference sweep below.
struct ExpectedRow {
    std::int64_t r = 0;
    double fRef = 0.0;
    std::int64_t n = 0;
    double error = 0.0;
    std::int64_t modulus = 0;
    OptionChoices choices {};
};

// How the sweep must go, divider by divider, from the texts the window held at each one.
struct ExpectedSweep {
    std::int64_t matches = 0;
    std::vector<ExpectedRow> rows;
    std::optional<std::string> stopMessage; // the start of the error box that ended it
    bool stoppedEarly = false;
};

ExpectedSweep SweepAsWritten(
    const SideProfile &profile, const ScriptedWindow &window, const NumberFormat &format)
{
    // Each reading is a function of its text alone; reading again only when the text changed
    // keeps long sweeps quick to check.
    const DividerState *previous = nullptr;
    RealReading crystal;
    RealReading wanted;
    double maxError = 0.0;
    ExpectedSweep sweep;
    for (const DividerState &divider : window.dividers) {
        Require(!sweep.stoppedEarly, "no divider is tried after the sweep stopped");
        if (!previous || previous->crystal != divider.crystal) {
            crystal = ReadReal(divider.crystal, format);
        }
        if (!previous || previous->wanted != divider.wanted) {
            wanted = ReadReal(divider.wanted, format);
        }
        if (!previous || previous->maxError != divider.maxError) {
            maxError = ReadLeadingNumber(divider.maxError);
        }
        previous = &divider;
        if (crystal.status != ReadingStatus::Ok) {
            sweep.stopMessage = std::string(profile.crystal.caption);
            sweep.stoppedEarly = true;
            continue;
        }
        const double fRef = crystal.value / static_cast<double>(divider.r);
        if (wanted.status != ReadingStatus::Ok) {
            sweep.stopMessage = std::string(profile.wanted.caption);
            sweep.stoppedEarly = true;
            continue;
        }
        const double n = RoundHalfEven(wanted.value / fRef);
        if (!(n >= -2147483648.0 && n <= 2147483647.0)) {
            sweep.stopMessage = "N-counter beyond the 32-bit range at R = ";
            sweep.stoppedEarly = true;
            continue;
        }
        const double error = fRef * n - wanted.value;
        if (!(std::fabs(error) <= maxError)) {
            continue;
        }
        ++sweep.matches;
        const bool small = IsSelected(divider.choices, profile.smallPrescaler);
        const std::int64_t modulus = small ? profile.smallModulus : profile.largeModulus;
        const auto whole = static_cast<std::int64_t>(n);
        const std::int64_t b = whole / modulus;
        const std::int64_t a = whole - b * modulus;
        if (a <= b) {
            sweep.rows.push_back({ divider.r, fRef, whole, error, modulus, divider.choices });
        }
        if (b > kMaxBCounter) {
            sweep.stopMessage = std::string(
                small ? profile.overflowSmallPrescaler : profile.overflowLargePrescaler);
            sweep.stoppedEarly = true;
        }
    }
    return sweep;
}

std::int64_t Bit(bool set, int position)
{
    return set ? std::int64_t { 1 } << position : 0;
}

// The R and N words of a row against the chip's layout: within their fields the counters and
// option bits must read back; a counter beyond its field must have been added, not masked.
void CheckWords(
    const SideProfile &profile, const ExpectedRow &row, std::int64_t rWord, std::int64_t nWord)
{
    const bool polarityPositive = !IsSelected(row.choices, profile.polarityNegative);
    const bool chargePumpHigh = !IsSelected(row.choices, profile.chargePumpLow);
    const bool threeState = !IsSelected(row.choices, profile.threeStateNormal);
    const bool largePrescaler = !IsSelected(row.choices, profile.smallPrescaler);
    const bool powerDown = !IsSelected(row.choices, profile.powerUp);
    std::size_t fold = 0;
    while (!IsSelected(row.choices, ButtonOf(5, fold))) {
        ++fold;
    }
    const std::int64_t foldBits = profile.foldBits[fold];
    const std::int64_t b = row.n / row.modulus;
    const std::int64_t a = row.n - b * row.modulus;

    const std::int64_t rFlags = Bit(polarityPositive, 17) + Bit(chargePumpHigh, 18)
        + Bit(threeState, 19) + (foldBits << 20);
    if (row.r < kRFieldLimit) {
        Require((rWord & 3) == profile.rControl, "R word: control bits");
        Require(((rWord >> 2) & 0x7FFF) == row.r, "R word: R");
        Require((rWord & (0xF << 17)) == (rFlags & (0xF << 17)), "R word: polarity, pump, 3-state");
        Require(((rWord >> 20) & 3) == foldBits, "R word: FoLD bits");
        Require((rWord >> 22) == 0, "R word: nothing above bit 21");
    } else {
        Require(rWord == row.r * 4 + profile.rControl + rFlags, "R word: R carried, not masked");
    }

    const std::int64_t nFlags = Bit(largePrescaler, 20) + Bit(powerDown, 21);
    if (a >= 0 && b >= 0 && b <= kMaxBCounter) {
        Require((nWord & 3) == profile.nControl, "N word: control bits");
        Require(((nWord >> 2) & 0x7F) == a, "N word: A");
        Require(((nWord >> 9) & 0x7FF) == b, "N word: B");
        Require(((nWord >> 20) & 1) == (largePrescaler ? 1 : 0), "N word: prescaler bit");
        Require(((nWord >> 21) & 1) == (powerDown ? 1 : 0), "N word: power-down bit");
        Require((nWord >> 22) == 0, "N word: nothing above bit 21");
    } else {
        Require(nWord == a * 4 + profile.nControl + b * 512 + nFlags,
            "N word: B or A carried, not masked");
    }
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

// One listed row, read back column by column and compared with the reference sweep's row.
void CheckRow(const SideProfile &profile, std::string_view line, const ExpectedRow &expected)
{
    const std::vector<std::string_view> columns = Split(line, '\t');
    Require(columns.size() == 8, "a row has eight columns");
    Require(columns[1].empty() && columns[4].empty(), "R and N are followed by two tabs");
    const std::optional<std::int64_t> r = ParseDecimal(columns[0]);
    Require(r.has_value() && *r == expected.r, "a row lists its R");
    Require(columns[2] == ReportNumber(expected.fRef) + " Hz", "a row lists crystal / R");
    const std::optional<std::int64_t> n = ParseDecimal(columns[3]);
    Require(n.has_value() && *n == expected.n, "a row lists the nearest N");
    Require(columns[5] == ReportNumber(expected.error) + " Hz        ", "a row lists its error");
    const std::optional<std::int64_t> rWord = ParseWord(columns[6]);
    const std::optional<std::int64_t> nWord = ParseWord(columns[7]);
    Require(rWord.has_value() && nWord.has_value(), "register words are hexadecimal");
    CheckWords(profile, expected, *rWord, *nWord);
}

void CheckRun(const Run &run, const ScriptedWindow &window)
{
    const SideProfile &profile = ProfileOf(run.side);
    const std::string &crystal = run.texts[0];
    const std::string &refLow = run.texts[2];
    const std::string &refHigh = run.texts[3];
    const std::string top = HeaderLine(crystal, run.texts[1], refLow, refHigh)
        + HeadingLine(run.side) + SeparatorLine();
    Require(window.pane.starts_with(top), "the report opens with header, headings, separator");
    const std::string closing = SeparatorLine() + FooterLines();
    Require(window.closed || window.pane.ends_with(closing), "an ended run closes its report");
    Require(window.errorBoxes.size() <= 1, "a run shows at most one error box");
    for (const ErrorBox &box : window.errorBoxes) {
        Require(box.title == kErrorBoxTitle, "error boxes have the one title");
    }

    // The divider range, from the texts as they were at the start.
    const auto bound = [&run](const std::string &text) { return ReadInteger(text, run.format); };
    const std::array<std::pair<IntegerReading, const InputField *>, 3> bounds = {
        std::pair { bound(crystal), &profile.crystal },
        std::pair { bound(refHigh), &profile.refHigh },
        std::pair { bound(refLow), &profile.refLow },
    };
    for (const auto &[reading, field] : bounds) {
        if (reading.status != ReadingStatus::Ok
            || (field != &profile.crystal && reading.value == 0)) {
            Require(window.errorBoxes.size() == 1
                    && window.errorBoxes[0].text.starts_with(field->caption),
                "an unusable bound is named in the error box");
            Require(!window.progressMaximum && window.progressValues.empty()
                    && window.matchCounts.empty(),
                "no divider is tried without bounds");
            Require(window.pane == top + closing, "a run without bounds lists nothing");
            return;
        }
    }
    const std::int64_t rMin = std::int64_t { bounds[0].first.value } / bounds[1].first.value;
    const std::int64_t rEnd = std::int64_t { bounds[0].first.value } / bounds[2].first.value + 1;
    Require(window.progressMaximum == rEnd && window.progressMinimum == rMin,
        "the bar spans crystal / ref high to crystal / ref low + 1");
    const std::int64_t rStart = std::max<std::int64_t>(rMin, 1);
    for (std::size_t i = 0; i < window.progressValues.size(); ++i) {
        Require(window.progressValues[i] == rStart + static_cast<std::int64_t>(i)
                && window.progressValues[i] <= rEnd,
            "dividers are tried one by one upwards from max(rMin, 1) to rEnd");
    }

    const ExpectedSweep sweep = SweepAsWritten(profile, window, run.format);
    Require(window.dividers.size() == window.progressValues.size()
            || (window.closed && window.dividers.size() + 1 == window.progressValues.size()),
        "every divider gets past its yield unless the window closed there");
    Require(window.matchCounts.size() == static_cast<std::size_t>(sweep.matches),
        "the counter is written once per match");
    for (std::size_t i = 0; i < window.matchCounts.size(); ++i) {
        Require(window.matchCounts[i] == std::to_string(i + 1), "the counter counts up from 1");
    }
    if (sweep.stopMessage) {
        Require(window.errorBoxes.size() == 1
                && window.errorBoxes[0].text.starts_with(*sweep.stopMessage),
            "a stopped sweep says why");
    } else {
        Require(window.errorBoxes.empty(), "a sweep that went on showed no box");
        Require(window.closed
                || (window.progressValues.empty() ? rStart > rEnd
                                                  : window.progressValues.back() == rEnd),
            "a sweep that is not stopped goes on to rEnd");
    }

    // The rows lie between the first separator and the closing one, or the end of the pane
    // when the window closed. A close at the row's yield drops the last expected row.
    std::string_view body = std::string_view(window.pane).substr(top.size());
    if (!window.closed) {
        body.remove_suffix(closing.size());
    }
    std::vector<ExpectedRow> rows = sweep.rows;
    if (window.closed && !window.dividers.empty()
        && window.dividers.size() == window.progressValues.size()) {
        Require(!rows.empty() && rows.back().r == window.dividers.back().r,
            "a divider yields a second time only for its row");
        rows.pop_back();
    }
    std::int64_t lastR = 0;
    std::size_t listed = 0;
    while (!body.empty()) {
        const std::size_t end = body.find("\r\n");
        Require(end != std::string_view::npos, "every row ends in CR LF");
        Require(listed < rows.size(), "no row beyond the matches with A <= B");
        const std::string_view line = body.substr(0, end);
        CheckRow(profile, line, rows[listed]);
        Require(rows[listed].r > lastR, "rows ascend strictly in R");
        lastR = rows[listed].r;
        ++listed;
        body.remove_prefix(end + 2);
    }
    Require(listed == rows.size(), "every match with A <= B is listed");
}

// A run in blocks against the same run divider by divider.
void CheckSameRecord(const ScriptedWindow &inBlocks, const ScriptedWindow &oneByOne)
{
    Require(inBlocks.pane == oneByOne.pane, "blocks write the same report");
    Require(inBlocks.matchCounts == oneByOne.matchCounts, "blocks count the same matches");
    Require(inBlocks.errorBoxes == oneByOne.errorBoxes, "blocks show the same box");
    Require(inBlocks.closed == oneByOne.closed, "blocks end the same way");
    Require(inBlocks.dividers == oneByOne.dividers,
        "blocks try the same dividers, each with the same texts and options");
    Require(inBlocks.progressMaximum == oneByOne.progressMaximum
            && inBlocks.progressMinimum == oneByOne.progressMinimum
            && inBlocks.progressValues.empty() == oneByOne.progressValues.empty()
            && (oneByOne.progressValues.empty()
                || inBlocks.progressValues.back() == oneByOne.progressValues.back()),
        "blocks leave the bar where it was left divider by divider");
}

} // namespace
} // namespace calc::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace calc::fuzzing;
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    Run run;
    std::optional<ScriptedWindow> oneByOne = DecodeInput(input, run, false);
    calc::RunCalculation(run.side, *oneByOne, calc::SweepPath::Plain);
    CheckRun(run, *oneByOne);
    // Stretches split into parts of a few dividers, so that short sweeps are shared too.
    constexpr calc::SweepSharing kSharing { .leadPart = 7, .smallestPart = 5, .partsPerCore = 4 };
    std::array<calc::SweepCrew, 3> crews { calc::SweepCrew(1, kSharing),
        calc::SweepCrew(2, kSharing), calc::SweepCrew(3, kSharing) };
    for (calc::SweepPath path : calc::SweepPathsOfThisMachine()) {
        for (calc::SweepCrew &crew : crews) {
            std::optional<ScriptedWindow> inBlocks = DecodeInput(input, run, true, &crew);
            calc::RunCalculation(run.side, *inBlocks, path);
            CheckSameRecord(*inBlocks, *oneByOne);
        }
    }
    return 0;
}
