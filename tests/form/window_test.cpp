// SPDX-License-Identifier: MIT
// The window's model on a fake face, with a clock the test moves: what a run writes and draws,
// when it turns the event loop and shows a frame, and how it ends (its footer, its boxes, a
// close, the report's cap).
#include "form/window.h"

#include "calc/calculation_run.h"
#include "recording_window.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using form::ControlId;
using form::detail::Named;
using TimePoint = std::chrono::steady_clock::time_point;

// A face that notes what the window asks of it. Its clock moves by `step` at every reading, as
// if the run swept that long between two, and by a millisecond in every turn of the event loop.
class FakeFace : public form::Surface {
public:
    struct Turn {
        TimePoint start;
        TimePoint end;
    };

    // During a run, the boxes and the bar are drawn only with the pane, at a frame.
    void DrawBoxText(ControlId box, std::string_view text) override
    {
        unframed = window->IsRunning();
        boxes[form::Index(box)] = text;
    }
    void DrawOption(ControlId option, bool selected) override
    {
        options[form::Index(option)] = selected;
    }
    void DrawProgress(const form::Progress &shown) override
    {
        unframed = window->IsRunning();
        progress = shown;
    }
    // A frame shows every row written so far.
    void DrawPane() override
    {
        EXPECT_EQ(window->Pane().LineCount(), window->Pane().Report().LineCount());
        frames.push_back(now);
        unframed = false;
    }
    void DrawRunning(bool running) override { runs.push_back(running); }
    void ShowErrorBox(std::string_view /*title*/, std::string_view text) override
    {
        errorBoxes.emplace_back(text);
        EXPECT_EQ(frames.back(), now) << "the box comes up over a frame";
        if (closeInBox) {
            window->Closing();
        }
    }
    void TurnEventLoop() override
    {
        EXPECT_FALSE(unframed) << "a box or the bar drawn without its frame";
        const TimePoint start = now;
        now += 1ms;
        turns.push_back({ start, now });
        if (onTurn) {
            onTurn(*window, turns.size());
        }
    }
    calc::NumberFormat UserNumberFormat() override { return { ".", "," }; }
    TimePoint Now() override { return now += step; }

    form::Window *window = nullptr;
    std::chrono::nanoseconds step {};
    std::function<void(form::Window &, std::size_t)> onTurn;
    bool closeInBox = false;
    TimePoint now {};
    bool unframed = false;
    std::array<std::string, form::kControlCount> boxes;
    std::array<bool, form::kControlCount> options {};
    std::optional<form::Progress> progress;
    std::vector<bool> runs;
    std::vector<TimePoint> frames;
    std::vector<Turn> turns;
    std::vector<std::string> errorBoxes;
};

struct RunCase {
    const char *name = "";
    std::vector<std::pair<std::string_view, std::string_view>> edits {}; // box, text
    std::string_view option {}; // selected before the click, if any
    std::string_view button = "Command1";
    std::chrono::nanoseconds step = 1ms;
    std::function<void(form::Window &, std::size_t)> onTurn {};
    std::size_t largestReport = form::kLargestReport;
    bool closeInBox = false; // the user closes the window while an error box is open
    // What the run leaves.
    std::string_view reportFile {}; // the whole report, when given
    bool footer = true;
    std::vector<std::string> errorBoxes {};
    std::optional<form::Progress> progress {}; // the bar at the end, when given
    bool turns = true;
};

const std::string kFooter = "Over and Out...\r\n";

void CloseAtFirstTurn(form::Window &window, std::size_t turn)
{
    if (turn == 1) {
        window.Closing();
    }
}

TEST(WindowTest, RunsDrawAtFramesTurnAtTheirPaceAndEndAsTheyShould)
{
    const std::vector<std::pair<std::string_view, std::string_view>> kEveryDividerListed
        = { { "Text6", "168" }, { "Text8", "1e6" }, { "Text9", "1e9" } };
    const std::vector<RunCase> cases = {
        { .name = "start-up settings, RF",
            .reportFile = "default_rf_report.txt",
            .progress = form::Progress { 168, 1345, 1345 } },
        { .name = "start-up settings, IF",
            .button = "Command2",
            .reportFile = "default_if_report.txt",
            .progress = form::Progress { 168, 1345, 1345 } },
        { .name = "a clock that stands still never turns the event loop",
            .step = 0ns,
            .reportFile = "default_rf_report.txt",
            .turns = false },
        { .name = "a long sweep turns every 5 ms and shows about 30 frames a second",
            .edits = { { "Text6", "1000" }, { "Text8", "1000" } },
            .progress = form::Progress { 168, 16801, 16801 } },
        { .name = "a click on either button during a run starts nothing",
            .onTurn =
                [](form::Window &window, std::size_t) {
                    window.ButtonClicked(Named("Command1"));
                    window.ButtonClicked(Named("Command2"));
                },
            .reportFile = "default_rf_report.txt" },
        { .name = "the B counter's overflow: its box, then the footer",
            .edits = { { "Text8", "2.5e9" } },
            .errorBoxes
            = { "N-counter overflow (B-reg > 2047), Increase Ref low or change Prescaler to 64! " },
            .progress = form::Progress { 168, 1345, 441 } },
        { .name = "the report's cap stops the sweep with its box",
            .edits = kEveryDividerListed,
            .option = "Option4",
            .largestReport = 4096,
            .errorBoxes = { form::ReportTooLongMessage(4096) } },
        { .name = "a close ends the run at its next yield, with nothing more written",
            .onTurn = CloseAtFirstTurn,
            .footer = false },
        { .name = "a close while the cap's box is open ends the run there",
            .edits = kEveryDividerListed,
            .option = "Option4",
            .largestReport = 4096,
            .closeInBox = true,
            .footer = false,
            .errorBoxes = { form::ReportTooLongMessage(4096) } },
        { .name = "a range the bar cannot take shows no progress",
            .edits = { { "Text6", "200000" } },
            .progress = form::Progress { 85, 85, std::nullopt },
            .turns = false },
    };
    for (const RunCase &c : cases) {
        SCOPED_TRACE(c.name);
        FakeFace face;
        form::Window window(face);
        face.window = &window;
        window.ApplyDefaults();
        window.SetLargestReport(c.largestReport);
        for (const auto &[box, text] : c.edits) {
            window.BoxEdited(Named(box), text);
        }
        if (!c.option.empty()) {
            window.OptionChosen(Named(c.option));
        }
        face.step = c.step;
        face.onTurn = c.onTurn;
        face.closeInBox = c.closeInBox;
        window.ButtonClicked(Named(c.button));

        EXPECT_EQ(face.runs, (std::vector { true, false }));
        EXPECT_FALSE(face.unframed);
        const std::string report = window.Pane().Report().Text();
        if (!c.reportFile.empty()) {
            EXPECT_TRUE(report == calc::testing::ReadTestData(std::string(c.reportFile)));
        }
        EXPECT_EQ(report.ends_with(kFooter), c.footer);
        EXPECT_EQ(face.errorBoxes, c.errorBoxes);
        if (c.footer && c.largestReport < form::kLargestReport) {
            // The sweep stops at the first yield after the row that took the report past the cap.
            const std::size_t rowsEnd = report.rfind("\r\n---") + 2;
            EXPECT_GT(rowsEnd, c.largestReport);
            EXPECT_LE(report.rfind("\r\n", rowsEnd - 3) + 2, c.largestReport);
        }
        if (!c.footer && c.edits.empty()) {
            EXPECT_TRUE(calc::testing::ReadTestData("default_rf_report.txt").starts_with(report));
        }
        ASSERT_TRUE(face.progress.has_value());
        if (c.progress) {
            EXPECT_EQ(face.progress->minimum, c.progress->minimum);
            EXPECT_EQ(face.progress->maximum, c.progress->maximum);
            EXPECT_EQ(face.progress->value, c.progress->value);
        }
        // The last frame shows the report whole, with the count the run wrote last.
        EXPECT_EQ(window.Pane().LineCount(), window.Pane().Report().LineCount());
        const bool rf = c.button == "Command1";
        EXPECT_EQ(face.boxes[form::Index(Named(rf ? "Text10" : "Text11"))],
            window.BoxText(Named(rf ? "Text10" : "Text11")));

        EXPECT_EQ(!face.turns.empty(), c.turns);
        // A turn comes no sooner than 5 ms after the one before, and about 30 frames a second.
        for (std::size_t i = 1; i < face.turns.size(); ++i) {
            EXPECT_GE(face.turns[i].start - face.turns[i - 1].end, form::Pacing().turnInterval);
        }
        if (c.turns && c.footer && c.errorBoxes.empty()) {
            const auto runTime = face.now - face.turns.front().start;
            const auto frames = static_cast<std::int64_t>(face.frames.size());
            EXPECT_GE(frames, runTime / 45ms);
            EXPECT_LE(frames, runTime / 25ms + 2);
        }
    }
}

// The start-up state, the option groups, and how full the bar is.
TEST(WindowTest, StartsAtTheTableAndKeepsOneOptionPerFrame)
{
    FakeFace face;
    form::Window window(face);
    face.window = &window;
    window.ApplyDefaults();
    for (std::size_t i = 0; i < form::kControlCount; ++i) {
        const form::ControlRow &row = form::kControls.at(i);
        if (row.kind == form::ControlKind::TextBox) {
            EXPECT_EQ(face.boxes.at(i), row.caption) << row.name;
        }
        EXPECT_EQ(face.options.at(i), row.selected) << row.name;
    }
    EXPECT_EQ(face.progress->Fraction(), 0.0);

    window.OptionChosen(Named("Option2")); // RF charge pump "High"
    window.OptionChosen(Named("Option19")); // FoLD "Fastlock"
    for (const auto &[option, selected] : { std::pair { "Option1", false }, { "Option2", true },
             { "Option29", true }, { "Option28", false }, { "Option11", false },
             { "Option19", true }, { "Option3", true } }) {
        EXPECT_EQ(window.IsSelected(Named(option)), selected) << option;
    }

    for (const auto &[progress, fraction] : { std::pair { form::Progress { 0, 200, 50 }, 0.25 },
             { form::Progress { 168, 1345, 168 }, 0.0 }, { form::Progress { 5, 5, 5 }, 1.0 },
             { form::Progress { 0, 100, std::nullopt }, 0.0 } }) {
        EXPECT_EQ(progress.Fraction(), fraction);
    }
}

} // namespace
