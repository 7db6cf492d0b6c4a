// SPDX-License-Identifier: MIT
// The calculator's one window on the desktop: Qt widgets built from the layout table, which draw
// what the window's model holds and pass it what the user does. The model does everything else.
#pragma once

#include "calc/sweep_crew.h"
#include "form/layout.h"
#include "form/window.h"
#include "ui/usable_cores.h"

#include <QWidget>

#include <array>
#include <string>

class QProgressBar;

namespace ui {

class ReportView;

class Form1 : public QWidget, public form::Surface {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    // The report exactly as the run wrote it, CR LF line ends included.
    std::string PaneText() const { return m_window.Pane().Report().Text(); }
    bool IsRunning() const { return m_window.IsRunning(); }
    // A run whose report grows beyond this many bytes is stopped, with a box that says why.
    void SetLargestReport(std::size_t bytes) { m_window.SetLargestReport(bytes); }
    form::Window &Model() { return m_window; }

    void DrawBoxText(form::ControlId box, std::string_view text) override;
    void DrawOption(form::ControlId option, bool selected) override;
    void DrawProgress(const form::Progress &progress) override;
    void DrawPane() override;
    void DrawEnabled(form::ControlId control, bool enabled) override;
    std::optional<form::ControlId> FocusedControl() override;
    void Focus(form::ControlId control) override;
    void PaneTextReplacing() override;
    void ShowErrorBox(std::string_view title, std::string_view text) override;
    void TurnEventLoop() override;
    calc::NumberFormat UserNumberFormat() override;
    std::optional<std::int64_t> SweepElsewhere(calc::SweepPath path, const calc::HeldReadings &held,
        std::int64_t first, std::int64_t last) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateWindow();
    template <typename T> T *Control(form::ControlId id) const
    {
        return static_cast<T *>(m_controls.at(form::Index(id)));
    }

    form::Window m_window { *this };
    // The threads the runs sweep on, one a core the program may use; they start with the first
    // long sweep and end with the window.
    calc::SweepCrew m_crew { UsableCores() };
    // Every control by its identity.
    std::array<QWidget *, form::kControlCount> m_controls {};
    ReportView *RichTextBox1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
};

} // namespace ui
