// SPDX-License-Identifier: MIT
// The calculator's one window. It holds every setting and everything a run shows, and lends
// the run the operations it needs; it computes nothing itself.
#pragma once

#include "calc/side_profile.h"
#include "calc/window_ops.h"
#include "form/report_limit.h"
#include "form/yield_pacer.h"

#include <QWidget>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace ui {

class ReportView;

class Form1 : public QWidget, public calc::WindowOps {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    // The report exactly as the run wrote it, CR LF line ends included.
    std::string PaneText() const;
    bool IsRunning() const { return m_running; }
    // A run whose report grows beyond this many bytes is stopped, with a box that says why.
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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateControls();
    void FitWindowFont();
    bool CaptionsFit() const;
    void ApplyDefaults();
    void ConnectSignals();
    void Calculate(calc::Side side);
    calc::AfterYield StopTooLongReport();
    enum class Drawing : std::uint8_t { Now, AtNextFrame };
    void ShowRunState(Drawing drawing);
    void ShowCounts();
    void ShowProgress();

    // Boxes and buttons by their control number: m_boxes[8] is Text8.
    std::array<QLineEdit *, 16> m_boxes {};
    std::array<QRadioButton *, 30> m_options {};
    std::array<QPushButton *, 2> m_startButtons {};
    // What shows a run's progress besides the pane: the two match counters and the bar.
    std::array<QWidget *, 3> m_runStateControls {};
    ReportView *RichTextBox1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;

    // Each box's text as UTF-8, kept current as the user edits, so a run reads it for free.
    std::array<std::string, 16> m_fieldTexts;

    // What a run has set and the screen shows from the next turn of the event loop on: nobody
    // can see a change between two turns, so none is drawn until then.
    std::array<std::optional<std::string>, 16> m_pendingCounts;
    form::YieldPacer m_pacer;
    std::int64_t m_progressMaximum = 100;
    std::int64_t m_progressMinimum = 0;
    std::int64_t m_progressValue = -1;
    std::size_t m_largestReport = form::kLargestReport;
    bool m_reportTooLong = false;
    bool m_running = false;
    bool m_closing = false;
};

} // namespace ui
