// SPDX-License-Identifier: MIT
// The calculator's window in a web page: the page's face of form::Window. It creates the page's
// controls from the layout table and has the page's script draw what the window shows; what
// the window does is form::Window's, and the page's script passes the user's actions to it.
#pragma once

#include "form/pane_layout.h"
#include "form/window.h"

#include <array>
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

    // What the user does on the page goes here, by the controls' identities.
    form::Window &Model() { return m_window; }
    // What the page last asked for (the pane's copied text, the controls' places), kept in the
    // module's memory until it asks again.
    std::string &Copied() { return m_copied; }
    std::vector<std::int32_t> &Places() { return m_places; }
    // Where the pane's text goes across the page, in the page's font, and the piece of a line
    // the page last asked for.
    form::PaneLayout &Layout() { return m_layout; }
    // The pane's text is drawn at another size: its widths are measured anew.
    void PaneFontChanged();
    std::array<double, 4> &Piece() { return m_piece; }

private:
    form::Window m_window { *this };
    std::string m_copied;
    std::vector<std::int32_t> m_places;
    form::PaneLayout m_layout;
    std::array<double, 4> m_piece {};
};

} // namespace web
