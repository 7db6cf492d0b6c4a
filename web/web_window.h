// SPDX-License-Identifier: MIT
// The calculator's window in a web page: the page's face of form::Window. It creates the page's
// controls from the layout table and has the page's script draw what the window shows; what
// the window does is form::Window's, and the page's script passes the user's actions to it.
#pragma once

#include "calc/sweep_parts.h"
#include "form/window.h"

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
    // ...shows the error box, hands the browser a turn, and writes numbers in its language.
    void ShowErrorBox(std::string_view title, std::string_view text) override;
    void TurnEventLoop() override;
    calc::NumberFormat UserNumberFormat() override;
    // ...and sweeps the run's quiet stretches on its workers while it has them, in longer blocks
    // between turns, since each part goes to a worker and back by message.
    std::optional<std::int64_t> SweepElsewhere(calc::SweepPath path, const calc::HeldReadings &held,
        std::int64_t first, std::int64_t last) override;

    // What the user does on the page goes here, by the controls' identities.
    form::Window &Model() { return m_window; }
    // What the page last asked for (the pane's copied text, a line's cell starts, the controls'
    // places), kept in the module's memory until it asks again.
    std::string &Copied() { return m_copied; }
    std::vector<double> &CellStarts() { return m_cellStarts; }
    std::vector<std::int32_t> &Places() { return m_places; }
    // The stretch the workers are sweeping, while the run awaits them: the page hands out its
    // parts and reports their stops; the part handed out last.
    calc::SweepParts *PartsOnWorkers() { return m_partsOnWorkers; }
    calc::SweepPart &PartHandedOut() { return m_partHandedOut; }

private:
    form::Window m_window { *this };
    std::string m_copied;
    std::vector<double> m_cellStarts;
    std::vector<std::int32_t> m_places;
    calc::SweepParts *m_partsOnWorkers = nullptr;
    calc::SweepPart m_partHandedOut;
    bool m_lastStretchStopped = true;
};

} // namespace web
