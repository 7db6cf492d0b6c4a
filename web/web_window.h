// SPDX-License-Identifier: MIT
// The calculator's window in a web page: the page's face of form::Window. It creates the page's
// controls from the layout table and has the page's script draw what the window shows; what
// the window does is form::Window's, and the page's script passes the user's actions to it.
#pragma once

#include "form/window.h"
#include "web/page_pane.h"
#include "web/page_workers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace web {

class WebWindow final : public form::Surface {
public:
    WebWindow();

    // The page draws what the window shows, by the controls' identities...
    void DrawBoxText(form::ControlId box, std::string_view text) override;
    void DrawOption(form::ControlId option, bool selected) override;
    void DrawProgress(const form::Progress &progress) override;
    void DrawPane() override;
    void DrawRunning(bool running) override;
    void DrawEnabled(form::ControlId control, bool enabled) override;
    // ...moves the focus, shows the error box, hands the browser a turn, and writes numbers in its
    // language.
    std::optional<form::ControlId> FocusedControl() override;
    void Focus(form::ControlId control) override;
    void ShowErrorBox(std::string_view title, std::string_view text) override;
    void TurnEventLoop() override;
    calc::NumberFormat UserNumberFormat() override;
    // ...and sweeps the run's quiet stretches on its workers while it has them, in longer blocks
    // between turns, since each part goes to a worker and back by message.
    std::optional<std::int64_t> SweepElsewhere(calc::SweepPath path, const calc::HeldReadings &held,
        std::int64_t first, std::int64_t last) override;

    // What the user does on the page goes here, by the controls' identities.
    form::Window &Model() { return m_window; }
    // What the page keeps in the module between its calls: the controls' places it last asked
    // for, and its result pane's layout and text.
    std::vector<std::int32_t> &Places() { return m_places; }
    PagePane &PaneOnPage() { return m_pane; }
    // The workers, while the run awaits them: the page hands out parts and reports stops.
    PageWorkers &Workers() { return m_workers; }

private:
    form::Window m_window { *this };
    std::vector<std::int32_t> m_places;
    PagePane m_pane;
    PageWorkers m_workers;
};

} // namespace web
