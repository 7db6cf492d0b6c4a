// SPDX-License-Identifier: MIT
// The window's model on a fake face, with a clock the test moves: what a run writes and draws,
// when it turns the event loop and shows a frame, and how it ends.
#include "form/window.h"

#include "recording_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using form::detail::Named;
using TimePoint = std::chrono::steady_clock::time_point;

enum class User { Waits, ClosesInATurn, ClosesInTheBox, ClicksInATurn };

// A face that notes what the window asks of it. Its clock moves by `step` at each reading, as if
// the run swept that long between two, and by a millisecond in each turn, where the user acts.
struct FakeFace : form::Surface {
    form::Window window { *this };
    std::chrono::nanoseconds step = 1ms;
    User user = User::Waits;
    TimePoint now {};
    std::vector<TimePoint> turns; // when each began
    int frames = 0;
    bool unframed = false; // a box or the bar drawn since the last frame
    std::vector<bool> runs;
    std::optional<form::ControlId> focused; // a disabled button loses it
    std::vector<std::string> boxes;
    form::Progress progress;

    void DrawBoxText(form::ControlId, std::string_view) override { unframed = window.IsRunning(); }
    void DrawOption(form::ControlId, bool) override { }
    void DrawRunning(bool running) override { runs.push_back(running); }
    void DrawEnabled(form::ControlId control, bool enabled) override
    {
        if (!enabled && focused == control) {
            focused.reset();
        }
    }
    std::optional<form::ControlId> FocusedControl() override { return focused; }
    void Focus(form::ControlId control) override { focused = control; }
    void DrawProgress(const form::Progress &shown) override
    {
        unframed = window.IsRunning();
        progress = shown;
    }
    void DrawPane() override
    {
        EXPECT_EQ(window.Pane().LineCount(), window.Pane().Report().LineCount());
        ++frames;
        unframed = false;
    }
    void ShowErrorBox(std::string_view, std::string_view text) override
    {
        EXPECT_FALSE(unframed) << "the box comes up over a frame";
        boxes.emplace_back(text);
        if (user == User::ClosesInTheBox) {
            window.Closing();
        }
    }
    void TurnEventLoop() override
    {
        EXPECT_FALSE(unframed) << "a box or the bar drawn without its frame";
        turns.push_back(now);
        now += 1ms;
        if (user == User::ClosesInATurn) {
            window.Closing();
        } else if (user == User::ClicksInATurn) {
            window.ButtonClicked(Named("Command1"));
            window.ButtonClicked(Named("Command2"));
        }
    }
    calc::NumberFormat UserNumberFormat() override { return { ".", "," }; }
    TimePoint Now() override { return now += step; }
};

struct RunCase {
    const char *name;
    std::vector<std::pair<const char *, const char *>> edits; // box, text
    const char *button;
    std::chrono::nanoseconds step;
    User user;
    std::size_t largestReport;
    const char *report; // the whole report, if given
    bool footer;
    std::vector<std::string> boxes;
    std::optional<std::int64_t> lastDivider;
};

TEST(WindowTest, RunsDrawAtFramesTurnAtTheirPaceAndEndAsTheyShould)
{
    const std::size_t kCap = form::kLargestReport;
    const std::vector<RunCase> cases = {
        { "start-up settings, RF", {}, "Command1", 1ms, User::Waits, kCap, "default_rf_report.txt",
            true, {}, 1345 },
        { "a clock that stands still never turns", {}, "Command2", 0ns, User::Waits, kCap,
            "default_if_report.txt", true, {}, 1345 },
        { "a long sweep turns every 5 ms and shows about 30 frames a second",
            { { "Text6", "1000" }, { "Text8", "1000" } }, "Command1", 1ms, User::Waits, kCap, "",
            true, {}, 16801 },
        { "a click on either button during a run starts nothing", {}, "Command1", 1ms,
            User::ClicksInATurn, kCap, "default_rf_report.txt", true, {}, 1345 },
        { "the B counter's overflow: its box, then the footer", { { "Text8", "2.5e9" } },
            "Command1", 1ms, User::Waits, kCap, "", true,
            { "N-counter overflow (B-reg > 2047), Increase Ref low or change Prescaler to 64! " },
            441 },
        { "the report's cap stops the sweep with its box", { { "Text9", "1e9" } }, "Command1", 1ms,
            User::Waits, 4096, "", true, { form::ReportTooLongMessage(4096) }, {} },
        { "a close ends the run at its next yield, with nothing more written", {}, "Command1", 1ms,
            User::ClosesInATurn, kCap, "", false, {}, {} },
        { "a close while the cap's box is open ends the run there", { { "Text9", "1e9" } },
            "Command1", 1ms, User::ClosesInTheBox, 4096, "", false,
            { form::ReportTooLongMessage(4096) }, {} },
    };
    const std::string rfReport = calc::testing::ReadTestData("default_rf_report.txt");
    for (const RunCase &c : cases) {
        SCOPED_TRACE(c.name);
        FakeFace face;
        face.window.ApplyDefaults();
        face.window.SetLargestReport(c.largestReport);
        for (const auto &[box, text] : c.edits) {
            face.window.BoxEdited(Named(box), text);
        }
        face.step = c.step;
        face.user = c.user;
        face.focused = Named(c.button);
        face.window.ButtonClicked(Named(c.button));

        EXPECT_EQ(face.runs, (std::vector { true, false }));
        // The focus comes back to the button that started the run, unless the window closed.
        EXPECT_EQ(face.focused, c.footer ? std::optional(Named(c.button)) : std::nullopt);
        const std::string report = face.window.Pane().Report().Text();
        if (*c.report != '\0') {
            EXPECT_TRUE(report == calc::testing::ReadTestData(c.report));
        }
        EXPECT_EQ(report.ends_with("Over and Out...\r\n"), c.footer);
        EXPECT_TRUE(c.user != User::ClosesInATurn || rfReport.starts_with(report));
        EXPECT_EQ(face.boxes, c.boxes);
        if (c.lastDivider) {
            EXPECT_EQ(face.progress.value, c.lastDivider);
        }
        if (c.footer && c.largestReport < kCap) {
            // The sweep stops at the first yield after the row that took the report past the cap.
            const std::size_t rowsEnd = report.rfind("\r\n---") + 2;
            EXPECT_GT(rowsEnd, c.largestReport);
            EXPECT_LE(report.rfind("\r\n", rowsEnd - 3) + 2, c.largestReport);
        }
        // A turn comes 5 ms after the end of the one before, and a frame about every 30 ms.
        EXPECT_EQ(face.turns.empty(), c.step == 0ns);
        for (std::size_t i = 1; i < face.turns.size(); ++i) {
            EXPECT_GE(face.turns[i] - face.turns[i - 1], 6ms);
        }
        if (c.step > 0ns && c.footer && c.boxes.empty()) {
            const auto runTime = face.now - face.turns.front();
            EXPECT_GE(face.frames, runTime / 45ms);
            EXPECT_LE(face.frames, runTime / 25ms + 3);
        }
    }
}

} // namespace
