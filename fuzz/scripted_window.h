// SPDX-License-Identifier: MIT
// The window a fuzzed calculation run talks to: its boxes, buttons, edits and closing come from
// the fuzz input, and it records what the run writes. It moves every box text it handed out to
// fresh memory at each event, so a view kept across Yield or ShowErrorBox is a use after free.
// It can let the run try dividers in blocks without yielding, up to the next event at which it
// edits or closes: it then counts the yields the run left out, and records their dividers, from
// the progress values the run sets, so that a run in blocks is recorded as a run divider by
// divider is.
#pragma once

#include "calc/sweep_crew.h"
#include "calc/window_ops.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace calc::fuzzing {

// The window's option groups: each holds its buttons in order, and exactly one is selected.
inline constexpr std::size_t kOptionGroupCount = 11;
using OptionChoices = std::array<std::size_t, kOptionGroupCount>;

std::size_t GroupSize(std::size_t group);
OptionButton ButtonOf(std::size_t group, std::size_t choice);
bool IsSelected(const OptionChoices &choices, OptionButton button);

// The window's start-up selection.
OptionChoices DefaultChoices();

// What the boxes held and which buttons were selected when the run went on after a divider's
// first yield: the values the run then reads for that divider.
struct DividerState {
    std::int64_t r = 0;
    std::string crystal;
    std::string wanted;
    std::string maxError;
    OptionChoices choices {};

    friend bool operator==(const DividerState &, const DividerState &) = default;
};

struct ErrorBox {
    std::string title;
    std::string text;

    friend bool operator==(const ErrorBox &, const ErrorBox &) = default;
};

class ScriptedWindow : public WindowOps {
public:
    // The counter of events (yields and error boxes) starts at 1 for the first.
    struct FieldEdit {
        int event;
        Box box;
        std::string text;
    };
    // Applied only at the first yield of a divider, as a click between two dividers; a click
    // while a row is being built would set a prescaler bit that its B and A were not split for.
    struct OptionEdit {
        int event;
        std::size_t group;
        std::size_t choice;
    };

    // quietYields: the most yields the window lets the run leave out at a time; 0, none.
    // crew: the threads that sweep the dividers of those yields, if any.
    ScriptedWindow(Side side, NumberFormat format, OptionChoices choices, int closeAtYield,
        std::int64_t quietYields = 0, SweepCrew *crew = nullptr);

    void SetField(Box box, std::string_view text);
    void AddEdit(FieldEdit edit) { m_fieldEdits.push_back(std::move(edit)); }
    void AddEdit(OptionEdit edit) { m_optionEdits.push_back(edit); }

    std::string_view FieldText(Box box) override;
    bool OptionSelected(OptionButton button) override;
    void SetMatchCount(Box counter, std::string_view text) override;
    void SetPaneText(std::string_view text) override;
    void AppendPaneText(std::string_view text) override;
    void SetProgressMaximum(std::int64_t maximum) override;
    void SetProgressMinimum(std::int64_t minimum) override;
    void SetProgressValue(std::int64_t value) override;
    void ShowErrorBox(std::string_view title, std::string_view text) override;
    AfterYield Yield() override;
    std::int64_t QuietYields() override;
    std::int64_t SweepQuietly(
        SweepPath path, const HeldReadings &held, std::int64_t first, std::int64_t last) override;
    NumberFormat UserNumberFormat() override;

    // What the run wrote and did.
    std::string pane;
    std::vector<std::string> matchCounts; // texts written into the side's counter
    std::optional<std::int64_t> progressMaximum;
    std::optional<std::int64_t> progressMinimum;
    std::vector<std::int64_t> progressValues;
    std::vector<DividerState> dividers; // one per divider whose first yield let the run go on
    std::vector<ErrorBox> errorBoxes;
    bool closed = false;

private:
    void ApplyEdits(bool betweenDividers);
    void RequireOpen() const;
    // Accounts for the yields the run left out since its last one; called by every operation.
    void CountQuietYields();
    void LeaveOutYield(std::int64_t r);
    void RecordDivider(std::int64_t r);
    int NextScheduledEvent() const;

    const SideProfile &m_profile;
    const NumberFormat m_format;
    OptionChoices m_choices;
    const int m_closeAtYield;
    const std::int64_t m_quietYields;
    SweepCrew *const m_crew;
    std::array<std::unique_ptr<std::string>, 16> m_fields; // indexed by box number
    std::array<bool, 16> m_handedOut {};
    std::vector<FieldEdit> m_fieldEdits;
    std::vector<OptionEdit> m_optionEdits;
    int m_events = 0;
    int m_yields = 0;
    bool m_dividerStarted = false;
    std::optional<std::int64_t> m_lastDivider; // the last divider recorded as tried
};

} // namespace calc::fuzzing
