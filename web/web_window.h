// SPDX-License-Identifier: MIT
// The calculator's window in a web page: it builds the page's controls from the layout table,
// keeps every setting the run reads and everything it shows, and lends the run the operations it
// needs. The page's script draws; this class computes nothing itself.
#pragma once

#include "calc/side_profile.h"
#include "calc/sweep_kernel.h"
#include "calc/window_ops.h"
#include "form/pane_text.h"
#include "form/report_limit.h"
#include "form/yield_pacer.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace web {

class WebWindow final : public calc::WindowOps {
public:
    WebWindow();

    // A click on a start button, by its control number (1 for Command1). It returns when the
    // run has ended; while it yields, the page goes on handling events, and a second click
    // starts nothing.
    void ButtonClicked(int number);
    // The page has put `bytes` bytes of UTF-8 into the box's text: the box's new text.
    char *FieldBuffer(int number, std::size_t bytes);
    // The user has selected an option button; the others of its frame are cleared.
    void OptionSelectedByUser(int number);

    const form::PaneText<> &Pane() const { return m_pane; }
    // Lines `first` to `last` as the pane copies them, kept until the next call.
    std::string_view CopyLines(std::size_t first, std::size_t last);
    std::string_view Copied() const { return m_copied; }
    bool IsRunning() const { return m_running; }
    void SetLargestReport(std::size_t bytes) { m_largestReport = bytes; }

    std::string_view FieldText(calc::Box box) override;
    bool OptionSelected(calc::OptionButton button) override;
    void SetMatchCount(calc::Box counter, std::string_view text) override;
    void SetPaneText(std::string_view text) override;
    void AppendPaneText(std::string_view text) override;
    void SetProgressMaximum(std::int64_t maximum) override;
    void SetProgressMinimum(std::int64_t minimum) override;
    void SetProgressValue(std::int64_t value) override;
    void ShowErrorBox(std::string_view title, std::string_view text) override;
    calc::AfterYield Yield() override;
    std::int64_t QuietYields() override;
    calc::NumberFormat UserNumberFormat() override;

private:
    void CreateControls();
    void ApplyDefaults();
    void Calculate(calc::Side side);
    calc::AfterYield StopTooLongReport();
    // Brings the match counters, the progress bar and the pane on the page up to what the run
    // has set.
    void ShowRunState();

    // Each box's text as UTF-8, by control number, kept current as the user edits, so a run
    // reads it for free; likewise each option button's state.
    std::array<std::string, 16> m_fieldTexts;
    std::array<bool, 30> m_options {};
    // What a run has set and the page shows from the next frame on.
    std::array<std::optional<std::string>, 16> m_pendingCounts;
    form::PaneText<> m_pane;
    std::string m_copied;
    form::YieldPacer m_pacer;
    std::chrono::steady_clock::time_point m_lastClockReading;
    std::int64_t m_progressMaximum = 100;
    std::int64_t m_progressMinimum = 0;
    std::int64_t m_progressValue = -1;
    std::size_t m_largestReport = form::kLargestReport;
    bool m_paneReset = false; // the pane's text was replaced since the page last showed it
    bool m_reportTooLong = false;
    bool m_running = false;
};

} // namespace web
