// SPDX-License-Identifier: MIT
#include "calc/calculation_run.h"

#include "calc/match_candidate.h"
#include "calc/number_reading.h"
#include "calc/register_words.h"
#include "calc/report_text.h"
#include "calc/sweep_kernel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace calc {
namespace {

// The chip's B counter has 11 bits.
constexpr std::int64_t kMaxBCounter = 2047;

constexpr double kLowestN = std::numeric_limits<std::int32_t>::min();
constexpr double kHighestN = std::numeric_limits<std::int32_t>::max();

// Error messages quote what the user typed, but not a whole pasted page.
constexpr std::size_t kLongestQuote = 40;

// The "Output FoLD" buttons, in the order of FoldMode.
constexpr std::array<OptionButton, kFoldModeCount> kFoldButtons = {
    OptionButton::Option11,
    OptionButton::Option12,
    OptionButton::Option13,
    OptionButton::Option14,
    OptionButton::Option15,
    OptionButton::Option16,
    OptionButton::Option17,
    OptionButton::Option18,
    OptionButton::Option19,
};

std::uint64_t Load8(const char *p)
{
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

std::uint32_t Load4(const char *p)
{
    std::uint32_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Whether two texts of `size` bytes are the same. Box texts are short and compared three times
// per divider, where a call into memcmp would cost more than the sweep's arithmetic: up to 16
// bytes, two overlapping words (or bytes) cover them all.
[[gnu::always_inline]] inline bool SameBytes(const char *a, const char *b, std::size_t size)
{
    if (size > 16) {
        return std::memcmp(a, b, size) == 0;
    }
    if (size >= 8) {
        return Load8(a) == Load8(b) && Load8(a + size - 8) == Load8(b + size - 8);
    }
    if (size >= 4) {
        return Load4(a) == Load4(b) && Load4(a + size - 4) == Load4(b + size - 4);
    }
    return size == 0 || (a[0] == b[0] && a[size / 2] == b[size / 2] && a[size - 1] == b[size - 1]);
}

// The sweep reads the crystal, wanted and max-error boxes at every divider. While a box's text
// stays the same so does its reading, so the reading is kept with the text it came from.
struct KeptReading {
    std::string text;
    double value = 0.0;
    bool valid = false;

    bool Holds(std::string_view current) const
    {
        return valid && current.size() == text.size()
            && SameBytes(current.data(), text.data(), text.size());
    }
};

std::string Quote(std::string_view text)
{
    std::size_t cut = text.size();
    if (cut > kLongestQuote) {
        cut = kLongestQuote;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0U) == 0x80U) {
            --cut; // never split a UTF-8 character
        }
    }
    std::string quoted(1, '"');
    quoted.append(text.substr(0, cut));
    if (cut < text.size()) {
        quoted.append("...");
    }
    quoted += '"';
    return quoted;
}

std::string FieldMessage(const InputField &field, std::string_view text, std::string_view what)
{
    return std::string(field.caption) + " " + Quote(text) + " " + std::string(what);
}

std::string_view Complaint(ReadingStatus status, std::string_view outOfRange)
{
    return status == ReadingStatus::NotANumber ? "is not a number" : outOfRange;
}

// Adds one to a decimal count in place, as the counter shows it: no number is converted at each
// match.
void CountUp(std::string &count)
{
    for (std::size_t digit = count.size(); digit-- > 0;) {
        if (count[digit] != '9') {
            ++count[digit];
            return;
        }
        count[digit] = '0';
    }
    count.insert(count.begin(), '1');
}

enum class Outcome : std::uint8_t {
    Finished, // swept to the end or stopped with an error box: the footer follows
    Closed, // the window is closing: nothing more is written
};

enum class Step : std::uint8_t {
    Next, // no match: on to the next divider
    Matched, // a match, and the sweep goes on; the window has been called since the yield
    Stop,
    Closed,
};

Outcome OutcomeOf(Step step)
{
    return step == Step::Closed ? Outcome::Closed : Outcome::Finished;
}

Step StepAfter(AfterYield afterYield)
{
    switch (afterYield) {
    case AfterYield::Continue:
        break;
    case AfterYield::StopSweep:
        return Step::Stop;
    case AfterYield::Close:
        return Step::Closed;
    }
    return Step::Next;
}

class Sweep {
public:
    Sweep(const SideProfile &profile, WindowOps &window, SweepPath path)
        : m_profile(profile)
        , m_window(window)
        , m_path(path)
        , m_format(window.UserNumberFormat())
    {
    }

    Outcome Run()
    {
        const std::optional<std::int32_t> crystalForMin = ReadDividerBound(m_profile.crystal);
        if (!crystalForMin) {
            return Outcome::Finished;
        }
        const std::optional<std::int32_t> refHigh = ReadDivisor(m_profile.refHigh);
        if (!refHigh) {
            return Outcome::Finished;
        }
        const std::optional<std::int32_t> crystalForEnd = ReadDividerBound(m_profile.crystal);
        if (!crystalForEnd) {
            return Outcome::Finished;
        }
        const std::optional<std::int32_t> refLow = ReadDivisor(m_profile.refLow);
        if (!refLow) {
            return Outcome::Finished;
        }
        // In 64 bits, -2^31 / -1 + 1 is an ordinary number rather than an overflow.
        const std::int64_t rMin = std::int64_t { *crystalForMin } / *refHigh;
        const std::int64_t rEnd = std::int64_t { *crystalForEnd } / *refLow + 1;
        m_window.SetProgressMaximum(rEnd);
        m_window.SetProgressMinimum(rMin);

        // A divider below 1 would divide by zero or give a negative comparison frequency.
        std::int64_t r = std::max<std::int64_t>(rMin, 1);
        while (r <= rEnd) {
            m_window.SetProgressValue(r);
            Step step = StepAfter(m_window.Yield());
            if (step != Step::Next) {
                return OutcomeOf(step);
            }
            const std::int64_t quiet = m_window.QuietYields();
            step = TryDivider(r++);
            if (step == Step::Next && quiet > 0 && r <= rEnd) {
                // No event can come before the window's next turn, so the readings just taken
                // hold for the dividers up to it, and the kernel tries them without the window.
                const std::int64_t blockEnd = quiet > rEnd - r ? rEnd : r + quiet - 1;
                const HeldReadings held { .crystal = m_crystal.value,
                    .wanted = m_wanted.value,
                    .maxError = m_maxError.value };
                r = m_window.SweepQuietly(m_path, held, r, blockEnd);
                if (r <= blockEnd) {
                    m_window.SetProgressValue(r);
                    step = TryDivider(r++);
                } else if (blockEnd == rEnd) {
                    m_window.SetProgressValue(rEnd); // the bar ends where the sweep did
                }
            }
            if (step == Step::Stop || step == Step::Closed) {
                return OutcomeOf(step);
            }
        }
        return Outcome::Finished;
    }

private:
    // One divider, after its yield: Next when it does not match, Matched when it does and the
    // sweep goes on.
    Step TryDivider(std::int64_t r)
    {
        if (!ReadFrequency(m_profile.crystal, m_crystal)) {
            return Step::Stop;
        }
        const double fRef = m_crystal.value / static_cast<double>(r);
        if (!ReadFrequency(m_profile.wanted, m_wanted)) {
            return Step::Stop;
        }
        const double wanted = m_wanted.value;
        // Division, rounding, one multiplication and one subtraction, in this order and in
        // double precision: with exact divisors of the crystal most errors come out exactly 0.
        const double n = RoundHalfEven(wanted / fRef);
        if (!(n >= kLowestN && n <= kHighestN)) {
            ReportNOutOfRange(r);
            return Step::Stop;
        }
        const double error = fRef * n - wanted;
        if (!(std::fabs(error) <= ReadMaxError())) {
            return Step::Next;
        }

        CountUp(m_matchCount);
        m_window.SetMatchCount(m_profile.matchCount, m_matchCount);

        const bool smallPrescaler = m_window.OptionSelected(m_profile.smallPrescaler);
        const std::int64_t modulus
            = smallPrescaler ? m_profile.smallModulus : m_profile.largeModulus;
        MatchCandidate candidate {
            .r = r, .fRef = fRef, .n = static_cast<std::int64_t>(n), .error = error
        };
        candidate.b = candidate.n / modulus;
        candidate.a = candidate.n - candidate.b * modulus;

        // The divider that overflowed the B counter is still listed; none after it is tried.
        const bool overflow = candidate.b > kMaxBCounter;
        if (overflow) {
            m_window.ShowErrorBox(kErrorBoxTitle,
                smallPrescaler ? m_profile.overflowSmallPrescaler
                               : m_profile.overflowLargePrescaler);
        }
        // A above B cannot be loaded into the dual-modulus prescaler: counted, but not listed.
        if (candidate.a <= candidate.b) {
            if (const Step step = StepAfter(m_window.Yield()); step != Step::Next) {
                return step;
            }
            const ChipOptions options = ReadChipOptions(!smallPrescaler);
            const FoldMode fold = ReadFoldMode();
            const RegisterWords words = EncodeRegisterWords(
                m_profile.side, candidate.r, candidate.b, candidate.a, options, fold);
            m_row.clear();
            AppendRowLine(m_row, candidate, words);
            m_window.AppendPaneText(m_row);
        }
        return overflow ? Step::Stop : Step::Matched;
    }

    // The crystal or a ref bound as a whole number for the divider range.
    std::optional<std::int32_t> ReadDividerBound(const InputField &field)
    {
        const std::string_view text = m_window.FieldText(field.box);
        const IntegerReading reading = ReadInteger(text, m_format);
        if (reading.status != ReadingStatus::Ok) {
            Fail(
                FieldMessage(field, text, Complaint(reading.status, "is beyond the 32-bit range")));
            return std::nullopt;
        }
        return reading.value;
    }

    // Ref low or ref high, which the crystal frequency is divided by.
    std::optional<std::int32_t> ReadDivisor(const InputField &field)
    {
        const std::optional<std::int32_t> value = ReadDividerBound(field);
        if (value && *value == 0) {
            Fail(FieldMessage(field, m_window.FieldText(field.box),
                "is 0, and the crystal frequency cannot be divided by 0"));
            return std::nullopt;
        }
        return value;
    }

    // Reads the crystal or wanted box into `kept`; false, after the error box, when its text is
    // not a usable number.
    bool ReadFrequency(const InputField &field, KeptReading &kept)
    {
        const std::string_view text = m_window.FieldText(field.box);
        return kept.Holds(text) || Reread(field, text, kept);
    }

    [[gnu::noinline]] bool Reread(const InputField &field, std::string_view text, KeptReading &kept)
    {
        const RealReading reading = ReadReal(text, m_format);
        if (reading.status != ReadingStatus::Ok) {
            kept.valid = false;
            Fail(FieldMessage(field, text, Complaint(reading.status, "is too large")));
            return false;
        }
        kept = { std::string(text), reading.value, true };
        return true;
    }

    double ReadMaxError()
    {
        const std::string_view text = m_window.FieldText(m_profile.maxError.box);
        if (!m_maxError.Holds(text)) {
            RereadMaxError(text);
        }
        return m_maxError.value;
    }

    [[gnu::noinline]] void RereadMaxError(std::string_view text)
    {
        m_maxError = { std::string(text), ReadLeadingNumber(text), true };
    }

    void ReportNOutOfRange(std::int64_t r)
    {
        const std::string wanted = Quote(m_window.FieldText(m_profile.wanted.box));
        const std::string crystal = Quote(m_window.FieldText(m_profile.crystal.box));
        Fail("N-counter beyond the 32-bit range at R = " + DecimalText(r) + " ("
            + std::string(m_profile.wanted.caption) + " " + wanted + ", "
            + std::string(m_profile.crystal.caption) + " " + crystal + ")");
    }

    // The options of the row being written. The prescaler is the one B and A were split for:
    // read again after the row's yield, a click in between would give an N word whose prescaler
    // bit disagrees with its counters, a word the chip cannot lock with.
    ChipOptions ReadChipOptions(bool largePrescaler)
    {
        ChipOptions options;
        options.polarityPositive = !m_window.OptionSelected(m_profile.polarityNegative);
        options.chargePumpHigh = !m_window.OptionSelected(m_profile.chargePumpLow);
        options.threeState = !m_window.OptionSelected(m_profile.threeStateNormal);
        options.largePrescaler = largePrescaler;
        options.powerDown = !m_window.OptionSelected(m_profile.powerUp);
        return options;
    }

    FoldMode ReadFoldMode()
    {
        for (std::size_t mode = 0; mode < kFoldButtons.size(); ++mode) {
            if (m_window.OptionSelected(kFoldButtons[mode])) {
                return static_cast<FoldMode>(mode);
            }
        }
        return FoldMode::Disabled;
    }

    void Fail(std::string_view message) { m_window.ShowErrorBox(kErrorBoxTitle, message); }

    const SideProfile &m_profile;
    WindowOps &m_window;
    const SweepPath m_path;
    const NumberFormat m_format;
    KeptReading m_crystal;
    KeptReading m_wanted;
    KeptReading m_maxError;
    std::string m_matchCount = "0"; // in decimal, as the counter shows it
    std::string m_row; // the row being written, kept to save an allocation per row
};

} // namespace

void RunCalculation(Side side, WindowOps &window)
{
    RunCalculation(side, window, BestSweepPath());
}

void RunCalculation(Side side, WindowOps &window, SweepPath path)
{
    const SideProfile &profile = ProfileOf(side);
    window.SetPaneText({});
    const std::string_view crystal = window.FieldText(profile.crystal.box);
    const std::string_view wanted = window.FieldText(profile.wanted.box);
    const std::string_view refLow = window.FieldText(profile.refLow.box);
    const std::string_view refHigh = window.FieldText(profile.refHigh.box);
    window.SetPaneText(HeaderLine(crystal, wanted, refLow, refHigh));
    window.AppendPaneText(HeadingLine(side));
    window.AppendPaneText(SeparatorLine());

    Sweep sweep(profile, window, path);
    if (sweep.Run() == Outcome::Closed) {
        return;
    }
    window.AppendPaneText(SeparatorLine());
    window.AppendPaneText(FooterLines());
}

} // namespace calc
