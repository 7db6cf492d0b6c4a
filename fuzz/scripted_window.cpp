// SPDX-License-Identifier: MIT
#include "fuzz/scripted_window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace calc::fuzzing {
namespace {

// Option1 to Option10 pair up, Option11 to Option19 choose the FoLD mode, Option20 to Option29
// pair up again.
constexpr std::size_t kFoldGroup = 5;
constexpr int kFirstFoldButton = 11;
constexpr int kFirstIfButton = 20;

void Require(bool property, const char *what)
{
    if (!property) {
        std::fprintf(stderr, "calculation_run_fuzzer: violated: %s\n", what);
        std::abort();
    }
}

} // namespace

std::size_t GroupSize(std::size_t group)
{
    return group == kFoldGroup ? kFoldModeCount : 2;
}

OptionButton ButtonOf(std::size_t group, std::size_t choice)
{
    int number = 0;
    if (group < kFoldGroup) {
        number = 1 + 2 * static_cast<int>(group);
    } else if (group == kFoldGroup) {
        number = kFirstFoldButton;
    } else {
        number = kFirstIfButton + 2 * static_cast<int>(group - kFoldGroup - 1);
    }
    return static_cast<OptionButton>(number + static_cast<int>(choice));
}

bool IsSelected(const OptionChoices &choices, OptionButton button)
{
    for (std::size_t group = 0; group < kOptionGroupCount; ++group) {
        if (ButtonOf(group, choices[group]) == button) {
            return true;
        }
    }
    return false;
}

OptionChoices DefaultChoices()
{
    // Option1, 3, 6, 8, 9, 11, 21, 23, 24, 27 and 29.
    return { 0, 0, 1, 1, 0, 0, 1, 1, 0, 1, 1 };
}

ScriptedWindow::ScriptedWindow(Side side, NumberFormat format, OptionChoices choices,
    int closeAtYield, std::int64_t quietYields, SweepCrew *crew)
    : m_profile(ProfileOf(side))
    , m_format(std::move(format))
    , m_choices(choices)
    , m_closeAtYield(closeAtYield)
    , m_quietYields(quietYields)
    , m_crew(crew)
{
    for (auto &field : m_fields) {
        field = std::make_unique<std::string>();
    }
}

void ScriptedWindow::SetField(Box box, std::string_view text)
{
    m_fields[static_cast<std::size_t>(box)] = std::make_unique<std::string>(text);
}

std::string_view ScriptedWindow::FieldText(Box box)
{
    RequireOpen();
    CountQuietYields();
    const auto index = static_cast<std::size_t>(box);
    m_handedOut[index] = true;
    return *m_fields[index];
}

bool ScriptedWindow::OptionSelected(OptionButton button)
{
    RequireOpen();
    CountQuietYields();
    return IsSelected(m_choices, button);
}

void ScriptedWindow::SetMatchCount(Box counter, std::string_view text)
{
    RequireOpen();
    CountQuietYields();
    Require(counter == m_profile.matchCount, "the count goes into the side's own counter");
    matchCounts.emplace_back(text);
}

void ScriptedWindow::SetPaneText(std::string_view text)
{
    RequireOpen();
    CountQuietYields();
    pane = text;
}

void ScriptedWindow::AppendPaneText(std::string_view text)
{
    RequireOpen();
    CountQuietYields();
    pane += text;
}

void ScriptedWindow::SetProgressMaximum(std::int64_t maximum)
{
    RequireOpen();
    progressMaximum = maximum;
}

void ScriptedWindow::SetProgressMinimum(std::int64_t minimum)
{
    RequireOpen();
    Require(progressMaximum.has_value(), "the bar's maximum is set before its minimum");
    progressMinimum = minimum;
}

void ScriptedWindow::SetProgressValue(std::int64_t value)
{
    RequireOpen();
    CountQuietYields();
    // The dividers since the last one recorded were tried in a block, each after a yield the
    // run left out.
    for (std::int64_t r = m_lastDivider ? *m_lastDivider + 1 : value; r < value; ++r) {
        LeaveOutYield(r);
    }
    progressValues.push_back(value);
    m_dividerStarted = true;
}

void ScriptedWindow::ShowErrorBox(std::string_view title, std::string_view text)
{
    RequireOpen();
    CountQuietYields();
    errorBoxes.push_back({ std::string(title), std::string(text) });
    ++m_events;
    ApplyEdits(false);
}

AfterYield ScriptedWindow::Yield()
{
    RequireOpen();
    ++m_events;
    ++m_yields;
    const bool betweenDividers = m_dividerStarted;
    m_dividerStarted = false;
    ApplyEdits(betweenDividers);
    if (m_yields >= m_closeAtYield) {
        closed = true;
        return AfterYield::Close;
    }
    if (betweenDividers) {
        RecordDivider(progressValues.back());
    }
    return AfterYield::Continue;
}

std::int64_t ScriptedWindow::QuietYields()
{
    RequireOpen();
    const int next = std::min(NextScheduledEvent(), m_events + (m_closeAtYield - m_yields));
    return std::min<std::int64_t>(m_quietYields, next - m_events - 1);
}

std::int64_t ScriptedWindow::SweepQuietly(
    SweepPath path, const HeldReadings &held, std::int64_t first, std::int64_t last)
{
    RequireOpen();
    return m_crew ? m_crew->FindStoppingDivider(path, held, first, last)
                  : WindowOps::SweepQuietly(path, held, first, last);
}

void ScriptedWindow::CountQuietYields()
{
    if (!m_dividerStarted) {
        return;
    }
    // The run went on after setting the progress value without yielding: the divider's yield
    // was one it was let leave out.
    m_dividerStarted = false;
    LeaveOutYield(progressValues.back());
}

void ScriptedWindow::LeaveOutYield(std::int64_t r)
{
    const int next = NextScheduledEvent();
    ++m_events;
    ++m_yields;
    Require(m_quietYields > 0, "a yield is left out only where the window lets it be");
    Require(m_events < next && m_yields < m_closeAtYield,
        "no yield at which the window edits or closes is left out");
    RecordDivider(r);
}

void ScriptedWindow::RecordDivider(std::int64_t r)
{
    dividers.push_back({ r, *m_fields[static_cast<std::size_t>(m_profile.crystal.box)],
        *m_fields[static_cast<std::size_t>(m_profile.wanted.box)],
        *m_fields[static_cast<std::size_t>(m_profile.maxError.box)], m_choices });
    m_lastDivider = r;
}

int ScriptedWindow::NextScheduledEvent() const
{
    int next = std::numeric_limits<int>::max();
    for (const FieldEdit &edit : m_fieldEdits) {
        if (edit.event > m_events) {
            next = std::min(next, edit.event);
        }
    }
    for (const OptionEdit &edit : m_optionEdits) {
        if (edit.event > m_events) {
            next = std::min(next, edit.event);
        }
    }
    return next;
}

NumberFormat ScriptedWindow::UserNumberFormat()
{
    RequireOpen();
    return m_format;
}

void ScriptedWindow::ApplyEdits(bool betweenDividers)
{
    // Every text handed out so far moves, edited or not: the run's views of them are now stale.
    for (std::size_t index = 0; index < m_fields.size(); ++index) {
        if (m_handedOut[index]) {
            m_fields[index] = std::make_unique<std::string>(*m_fields[index]);
            m_handedOut[index] = false;
        }
    }
    for (const FieldEdit &edit : m_fieldEdits) {
        if (edit.event == m_events) {
            SetField(edit.box, edit.text);
        }
    }
    if (!betweenDividers) {
        return;
    }
    for (const OptionEdit &edit : m_optionEdits) {
        if (edit.event == m_events) {
            m_choices[edit.group] = edit.choice;
        }
    }
}

void ScriptedWindow::RequireOpen() const
{
    Require(!closed, "nothing reaches the window after it said it was closing");
}

} // namespace calc::fuzzing
